// The mouse protocol of an object that lies in a box given by its edges
// (rectangles, ellipses, hyperlinks). With a drawing tool a left press
// starts the box at the pointer, a drag shows it as an XOR band and the
// release puts the edges in order. With the selection tool a press picks a
// handle, a drag moves or resizes a band and the release applies it.
#pragma once

#include "objects/draw/SelectionHandles.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

class QMouseEvent;
class VLImageHolder;

class BoxDrag {
  public:
    // The object's edges, written in place.
    struct Edges {
        int& left;
        int& top;
        int& right;
        int& bottom;
    };
    // The creation band drawn last, kept by the object's class.
    struct ToolBand {
        int& x;
        int& y;
        int& w;
        int& h;
    };
    // Where the XOR bands go.
    struct Surface {
        _XDisplay* display = nullptr;
        _XGC* xorGC = nullptr;
        unsigned long window = 0;
    };

    // The rectangle with corners a and b in either order; its width and
    // height are the plain differences.
    static void makeRect(QPoint a, QPoint b, QRect& rect);

    // A press; region is the object's area for the selection tool.
    void press(QMouseEvent* event, Edges box, bool drawing, VLImageHolder* holder, const QRegion& region);
    // A motion with a drawing tool: a left-only drag moves the box's
    // bottom-right edge and the creation band with it.
    void drawStep(QMouseEvent* event, Edges box, const Surface& surface, ToolBand last);
    // A motion with the selection tool: hovering shows the handle under the
    // pointer, a left-only drag steps the move or resize band.
    // sizeAllInside: a move shows the four-way cursor.
    void selectStep(QMouseEvent* event, Edges box, const Surface& surface, VLImageHolder* holder,
                    QSize screen, bool sizeAllInside);
    // A release: orders the drawn edges, or applies the band of a move or
    // resize.
    void release(QMouseEvent* event, Edges box, bool drawing, VLImageHolder* holder);

    // The next creation drag draws its first band without erasing one.
    void restartToolBand() { m_bFirstBand = true; }

  private:
    void releaseForSelector(Edges box, VLImageHolder* holder);

    // Where a drawing press started the box.
    QPoint m_ptStart;
    QPoint m_ptPress;
    QPoint m_ptBandTopLeft;
    QPoint m_ptBandBottomRight;
    bool m_bPressInside = false;
    bool m_bFirstBand = true;
    // A move or resize band is on the window (nothing to erase before the first).
    bool m_bBandShown = false;
    int m_nHandle = SelectionHandles::NOT_TESTED;
};
