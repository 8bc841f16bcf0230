// A straight line on a frame (kind 1): two end points, a width, one of the
// six line styles, a colour and filled arrow heads at the start, the end or
// both ends.
//
// Like DrawRect, the object is a widget that is never shown: the image holder
// forwards its mouse events to it in holder coordinates, has it paint into
// the holder's pixmap through the holder's own X connection, and keeps its
// record. Previews of a new line, of an end-point drag and of a move are XOR
// lines on the holder's window.
//
// Undo of a move keeps the end points in the holder (getArrayPoints and
// restorePoly), so the line keeps no history of its own.
//
// Xlib stays out of this header: X types appear as Xlib's own struct tags.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/records/ObjectRecords.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QString>

class QPaintDevice;
class VLImageHolder;

class CDrawLine : public DrawTools {
    Q_OBJECT

  public:
    // Longest name the "Name" row may apply, in characters.
    static constexpr int NAME_LIMIT = 30;
    // The record's name field holds 31 Latin-1 bytes and a terminator.
    static constexpr int NAME_FIELD = 32;
    // Side of the square painted on each end of a selected line.
    static constexpr int HANDLE_SIZE = 6;

    // A new line at a press with the line tool; number is the line counter,
    // already raised.
    CDrawLine(VLImageHolder* holder, QPaintDevice* device, int number);
    // A pasted line: the record's line moved by offset, with a new name and
    // object ID from number.
    CDrawLine(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // The line of a stored record; keeps the stored name.
    CDrawLine(VLImageHolder* holder, sDrawLine payload);
    ~CDrawLine() override;

    // ---- operations of every frame object ----
    void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    bool select(QPoint point) override;
    using DrawTools::select;
    void select(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    QRegion getRegion() override;
    QPolygon getArrayPoints() override;
    void restorePoly(QPolygon points) override;
    void updatePosition(int dx, int dy) override;
    int getIndex() const override;
    void setPastingPosition() override;
    QPoint getPastingPosition() const override;
    const char* getObjectName() const override;
    void* getObjectStructure() override;
    bool getAllObjectStructure(NVAllObjects* target) override;
    void repaintItem() override;
    void changeForeColor(QColor& color) override;

    void addMyPropEntrys();

    // Paints the two end squares of a selected line in blue and remembers
    // them as the handles that hovering arms.
    void PaintBorderRects(_XDisplay* display, _XGC* gc, unsigned long drawable, int x1, int y1, int x2,
                          int y2);

    VLImageHolder* getVLImageHolder() const { return m_pImageHolder; }
    const NVAllObjects& record() const { return m_record; }
    const sDrawLine& payload() const { return *m_record.get<sDrawLine>(); }

    // Paints a line and its heads into a drawable with the given GC, as
    // draw() does, and leaves the GC in the neutral state (foreground 0,
    // width 0, solid, butt caps, miter joins, solid fill).
    static void paint(_XDisplay* display, _XGC* gc, unsigned long drawable, const sDrawLine& line);

    // The arrow words of the "Arrow" row ("None", "End", "Start", "Both"),
    // index = code.
    static const QStringList& arrowWords();

    // The last pointer position a line's mouse handlers took: the far end of
    // the preview being drawn and what a release applies.
    static QPoint last_pt;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    sDrawLine& line() { return *m_record.get<sDrawLine>(); }
    QPoint startPoint() const;
    QPoint endPoint() const;
    void takeHolderContext();
    void finishConstruction();
    void takeNewName(int number);
    unsigned long bandWindow() const;
    void drawPreview(const QLine& l) const;
    void setName(const QString& name);
    void setEndRows();
    void setStyleRows();
    QSize screenSize() const;
    bool editingDisabled() const;
    void hoverForSelector(QMouseEvent* event);
    void dragForSelector(QMouseEvent* event);
    void releaseForSelector(QMouseEvent* event);

    NVAllObjects m_record;
    VLImageHolder* m_pImageHolder = nullptr; // not owned
    QPaintDevice* m_pPaintDevice = nullptr;  // not owned
    _XDisplay* m_pDisplay = nullptr;
    _XGC* m_gcXor = nullptr;
    unsigned long m_window = 0;
    QString m_strNewName;
    QString m_strOriginalName;
    int m_nIndex = 0;
    QPoint m_ptPasting;

    // Handles as the last painting of the selection marks left them; none
    // before the first.
    QRect m_rcStartHandle;
    QRect m_rcEndHandle;

    bool m_bFirstDrawPreview = true;
    bool m_bGrabbed = false;
    bool m_bFirstMovePreview = false;
    // Set while the pointer arms a handle; the first drag move clears it.
    bool m_bFirstHandlePreview = false;
    bool m_bStartArmed = false;
    bool m_bEndArmed = false;
    bool m_bMoved = false;

    QPoint m_ptNewStart;
    QPoint m_ptPress;
    QPoint m_ptLastPreviewStart;
    QPoint m_ptFixed;
    QPoint m_ptStartHandlePrevious;
    QPoint m_ptEndHandlePrevious;
    QLine m_lnDrawPreview;
    QLine m_lnMovePreview;
    QLine m_lnUpdatePreview;
    // Lines drawn by updatePosition since the selection marks were painted.
    int m_nUpdatePreviews = 0;
};
