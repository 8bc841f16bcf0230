// Rectangles, round rectangles and ellipses on a frame: one object class for
// the three kinds, told apart by the shape code of the payload.
//
// The object is a widget that is never shown. The image holder forwards its
// mouse events to it (QCoreApplication::sendEvent with positions in holder
// coordinates), asks it to paint into the holder's pixmap through the
// holder's own X connection, and keeps its record. Rubber bands and move
// outlines go straight onto the holder's window with the holder's XOR context.
//
// Xlib stays out of this header: X types appear as Xlib's own struct tags.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/records/ObjectRecords.h"
#include "objects/draw/BoxDrag.h"
#include "objects/draw/SelectionHandles.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

class QPaintDevice;
class QPixmap;
class VLImageHolder;

class DrawRect : public DrawTools {
    Q_OBJECT

  public:
    enum Shape : int32_t { SHAPE_RECTANGLE = 1, SHAPE_ROUNDRECT = 2, SHAPE_ELLIPSE = 3 };
    // Longest name the "Name" row may apply, in characters.
    static constexpr int NAME_LIMIT = 30;
    // The record's name field holds 31 Latin-1 bytes and a terminator.
    static constexpr int NAME_FIELD = 32;
    static constexpr int16_t NEW_CORNER_RADIUS = 7;
    static constexpr int32_t NEW_BORDER_WIDTH = 2;
    // "Width" and "Height" rows below this are refused.
    static constexpr int MIN_ROW_SIZE = 10;

    // Builds the members only.
    DrawRect();
    // A new object from a drag with the rectangle (shape 1), round rectangle
    // (2) or ellipse (3) tool; number is the kind's counter, already raised.
    DrawRect(VLImageHolder* holder, QPaintDevice* device, int shape, int number);
    // A pasted object: the record's shape and styles at its position plus
    // offset, with a new name from number.
    DrawRect(VLImageHolder* holder, NVAllObjects record, int number, QPoint offset);
    // An object of a stored record; keeps the stored name.
    DrawRect(VLImageHolder* holder, sDrawRect payload);
    // A copy of another object at a position, with a new name from number.
    DrawRect(VLImageHolder* holder, DrawRect& source, int number, QPoint position);
    ~DrawRect() override;

    // ---- operations of every frame object ----
    void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    bool select(QPoint point) override;
    void select() override;
    void select(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    QRegion getRegion() override;
    void updatePosition(int dx, int dy) override;
    int getIndex() const override;
    void setPastingPosition() override;
    QPoint getPastingPosition() const override;
    const char* getObjectName() const override;
    void restoreGeometry(QRect rect) override;
    void* getObjectStructure() override;
    bool getAllObjectStructure(NVAllObjects* target) override;
    void repaintItem() override;
    void setGeometryEntrys(int* x, int* y, int* width, int* height) override;
    void changeForeColor(QColor& color) override;
    void changeBackColor(QColor& color) override;
    // False while the object has no area (width or height 0): a creation
    // drag released in its start column or row made nothing to keep.
    bool keepWithinVLI() override;

    void addMyPropEntrys();

    // ---- small members ----
    VLImageHolder* getVLImageHolder() const { return m_pImageHolder; }
    static void makeRect(QPoint a, QPoint b, QRect& rect);
    // Value of the named row, empty when there is none.
    QString Prop2Str(const QString& name);
    void store(int, int) {}
    void select(QPixmap&) {}

    const NVAllObjects& record() const { return m_record; }
    const sDrawRect& payload() const { return *m_record.get<sDrawRect>(); }

    // Paints a payload into a drawable with the given GC, as draw() does,
    // and leaves the GC in the neutral state.
    static void paint(_XDisplay* display, _XGC* gc, unsigned long drawable, const sDrawRect& shape);

    // Kind code (2, 3, 4) of a shape code; rectangles for unknown codes.
    static int32_t kindOfShape(int32_t shape);
    // Shape code of a tool or kind (2, 3, 4); 0 for any other.
    static int32_t shapeOfKind(int32_t kind);
    // "Rectangle", "Round Rectangle", "Ellipse" by shape.
    static QString kindWord(int32_t shape);
    // Display words of the codes, index = code. Border styles are the
    // LineStyles the lines use too.
    static const QStringList& fillPatternWords();
    static const QStringList& fillModeWords();
    // Fill tile of a pattern (1..6): X bitmap rows, width 8.
    struct Tile {
        int height = 0;
        const unsigned char* bits = nullptr;
    };
    static Tile fillTile(int pattern);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    sDrawRect& rect() { return *m_record.get<sDrawRect>(); }
    QRect area() const;
    void takeHolderContext();
    void placeAsNew(QPoint topLeft, int number);
    unsigned long bandWindow() const;
    void setName(const QString& name);
    void appendToChooser(const QString& name);
    void setGeometryRows();
    void setStyleRows();
    void setColorRows();
    void setKindByShape();
    void emitGeometry();
    QSize screenSize() const;
    bool editingDisabled() const;
    BoxDrag::Edges edges();
    BoxDrag::Surface bandSurface() const;

    NVAllObjects m_record;
    BoxDrag m_drag;
    QPaintDevice* m_pPaintDevice = nullptr; // not owned
    QPoint m_ptPasting;
    int m_nIndex = 0;
    std::array<int, 4> m_rcOutline{};
    int m_nOutlineCount = 0;
    VLImageHolder* m_pImageHolder = nullptr; // not owned
    _XDisplay* m_pDisplay = nullptr;
    _XGC* m_gcXor = nullptr;
    unsigned long m_window = 0;
    QString m_strNewName;
    QString m_strOriginalName;

    // The creation band drawn last, shared by all objects of the class: only
    // one creation drag runs at a time.
    static int x_point;
    static int y_point;
    static int r_width;
    static int r_height;
};
