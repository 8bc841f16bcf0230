// The rubber band of a selection drag on the canvas: an XOR rectangle drawn
// straight onto the holder's window through the holder's own connection.
// Drawing the same rectangle twice erases it; the holder's redraw at the
// release wipes any trace.
#pragma once

#include "canvas/DrawTools.h"

#include <QPoint>
#include <QRect>

class QPaintDevice;
class VLImageHolder;

class CDrawSelection : public DrawTools {
    Q_OBJECT

  public:
    CDrawSelection();
    CDrawSelection(VLImageHolder* holder, QPaintDevice* device);
    ~CDrawSelection() override;

    VLImageHolder* getVLImageHolder() const { return m_holder; }
    static void makeRect(QPoint a, QPoint b, QRect& rect);
    QRect band() const { return m_band; }

    // The band drawn last, shared by every rubber band.
    static int lastX, lastY, lastWidth, lastHeight;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void drawLast();

    VLImageHolder* m_holder = nullptr; // not owned
    _XDisplay* m_display = nullptr;
    unsigned long m_window = 0;
    _XGC* m_xorGC = nullptr;
    int m_startX = 0, m_startY = 0;
    int m_currentX = 0, m_currentY = 0;
    bool m_firstMove = true;
    QRect m_band;
};
