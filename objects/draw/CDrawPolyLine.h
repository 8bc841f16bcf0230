// The open polyline of a frame: a row of points joined by straight segments,
// drawn with one thickness and one colour.
//
// Like DrawRect it is a widget that is never shown: the image holder forwards
// its mouse events in holder coordinates, asks it to paint into the holder's
// pixmap through the holder's own X connection, and keeps its record. With
// the polyline tool every press adds a vertex and a rubber band follows the
// pointer from the last one; a double-click or a change of tool ends the
// entry. With the selection tool a press on a vertex drags that vertex, a
// press on a segment drags the whole polyline. Previews are thin XOR lines
// on the holder's window.
//
// Xlib stays out of this header: X types appear as Xlib's own struct tags.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/HolderObjectFactory.h"
#include "canvas/records/ObjectRecords.h"

#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <vector>

class QPaintDevice;
class VLImageHolder;

class CDrawPolyLine : public DrawTools {
  public:
    // Longest name the "Name" row may apply, in characters.
    static constexpr int NAME_LIMIT = 30;
    // The payload's name field holds 31 Latin-1 bytes and a terminator.
    static constexpr int NAME_FIELD = 32;

    // A new polyline at a press with the polyline tool; number is the kind's
    // counter, already raised. It has no points until its entry ends.
    CDrawPolyLine(VLImageHolder* holder, QPaintDevice* device, int number);
    // A pasted polyline: the record's points moved by offset, with a new
    // name from number.
    CDrawPolyLine(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // A polyline of a stored record; keeps the stored name.
    CDrawPolyLine(VLImageHolder* holder, sPoly payload);
    ~CDrawPolyLine() override;

    // ---- operations of every frame object ----
    // Ends an entry in progress (the rubber band's end becomes the last
    // vertex) and answers whether the polyline is acceptable: at least two
    // points, not all on one spot.
    bool keepWithinVLI() override;
    void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    using DrawTools::select;
    // Hit test: vertices from the last to the first, then the segment bands;
    // notes the vertex hit (-1 for a segment) for the drag that follows.
    bool select(QPoint point) override;
    // Selection marks: a blue 6 x 6 square on every point.
    void select(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    QRegion getRegion() override;
    QPolygon getArrayPoints() override;
    // Moves the polyline with other selected objects, with an XOR preview.
    void updatePosition(int dx, int dy) override;
    int getIndex() const override;
    void setPastingPosition() override;
    QPoint getPastingPosition() const override;
    const char* getObjectName() const override;
    void* getObjectStructure() override;
    // Sets the points back, as far as both arrays reach (undo).
    void restorePoly(QPolygon points) override;
    // True without points or when all points coincide.
    bool isInvalidDoubleClick() override;
    bool getAllObjectStructure(NVAllObjects* target) override;
    void repaintItem() override;
    void changeForeColor(QColor& color) override;

    virtual void addMyPropEntrys();

    // ---- small members ----
    VLImageHolder* getVLImageHolder() const { return m_pImageHolder; }
    // Value of the named row, empty when there is none.
    QString Prop2Str(const QString& name);
    // One step of a whole-polyline drag: the preview follows the pointer as
    // long as every point stays strictly inside the canvas.
    void Move(QMouseEvent* event, const sPoly& payload);

    const NVAllObjects& record() const { return m_record; }
    const sPoly& payload() const { return *m_record.get<sPoly>(); }
    // The vertices of an entry in progress.
    const std::vector<QPoint>& enteredVertices() const { return m_entry; }
    bool isEntering() const { return m_bEntering; }

    // Paints a finished payload into a drawable with the given GC, as draw()
    // does, and leaves the GC in the neutral state.
    static void paint(_XDisplay* display, _XGC* gc, unsigned long drawable, const sPoly& poly);

    // The holder's row of the kind: new, loaded and pasted polylines, and
    // the record's stored form, which carries the payload and its points.
    static HolderKindMakers holderKindMakers();
    static bool toStored(const NVAllObjects& record, sAllObjects& stored);
    static bool fromStored(const sAllObjects& stored, NVAllObjects& record);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    sPoly& poly() { return *m_record.get<sPoly>(); }
    void takeHolderContext();
    void commonRows();
    void setName(const QString& name);
    void appendToChooser(const QString& name);
    void setKind();
    unsigned long bandWindow() const;
    QRect canvasRect() const;
    bool strictlyInside(QPoint p) const;
    void finishEntry();
    // Thin XOR lines through the points on the holder's window, then a
    // round trip that keeps the connection's pending events.
    void drawXorPath(const std::vector<QPoint>& path);
    void moveVertexPreview(QPoint pointer);

    NVAllObjects m_record;
    VLImageHolder* m_pImageHolder = nullptr; // not owned
    QPaintDevice* m_pPaintDevice = nullptr;  // not owned
    _XDisplay* m_pDisplay = nullptr;
    _XGC* m_gcXor = nullptr;
    unsigned long m_window = 0;

    // Entry.
    bool m_bEntering = false;
    std::vector<QPoint> m_entry;
    QPoint m_ptRubberEnd;
    bool m_bRubberShown = false;

    // Drags.
    bool m_bMoving = false;
    bool m_bDragging = false;
    int m_nGrabbed = -1;
    QPoint m_ptPress;
    QPoint m_ptDrag;
    QPoint m_offset;
    std::vector<QPoint> m_previousPreview;
    bool m_bPreviewShown = false;

    // Moves with other selected objects.
    std::vector<QPoint> m_updatePreview;
    int m_nUpdatePreviewCount = 0;

    QString m_strOriginalName;
    int m_nIndex = 0;
    QPoint m_ptPasting;
};
