// The base of the objects shown by an in-place editor (text field,
// instruction box, validation field, bitmap). The editor holds the record and
// the move and resize frame; the owner passes the canvas's calls and mouse
// events on to it, relays its notices to the holder while the frame may be
// edited, and is never visible itself: showing the owner shows the editor at
// the record's rectangle, so every holder repaint re-places it.
#pragma once

#include "canvas/DrawTools.h"

#include <QRect>
#include <QString>

#include <string>

class InPlaceEditorFrame;
class InteractiveHost;
class QMouseEvent;

class InPlaceEditorOwner : public DrawTools {
    Q_OBJECT

  public:
    InPlaceEditorOwner(QWidget* parent, const char* name);
    ~InPlaceEditorOwner() override;

    // The editor widget and its frame; null until the subclass made them.
    virtual QWidget* editorWidget() const = 0;
    virtual InPlaceEditorFrame* editorFrame() const = 0;
    // Copies the editor's whole record into target.
    virtual void copyRecord(NVAllObjects& target) const = 0;

    // The interaction flag: set while a press forwarded by the holder is held.
    bool interacting() const { return m_interacting; }

    bool select(QPoint point) override;
    void select() override;
    void select(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    QRegion getRegion() override;
    void updatePosition(int dx, int dy) override;
    int getIndex() const override;
    // Sets the record's rectangle and places the editor at it.
    void restoreGeometry(QRect rect) override;
    // Copies the record but keeps the target's object ID.
    bool getAllObjectStructure(NVAllObjects* target) override;
    // False while the rectangle has no width or no height.
    bool keepWithinVLI() override;
    // Shows or hides the editor; the owner itself stays hidden.
    void setVisible(bool visible) override;
    void setGeometryEntrys(int* x, int* y, int* width, int* height) override;
    // Applies the row selected in the Properties list (applyProperty), sends
    // the geometry rows, repaints and makes the holder's selection current.
    void repaintItem() override;
    // Applies one property row by name; the base applies none.
    virtual void applyProperty(const QString& row);
    // The value text of a property row; empty when there is none.
    QString Prop2Str(const QString& name);

    // Row values of the codes the control kinds share; null for other codes.
    static QString colorName(const NVColor& color);
    static QString attributeWord(uint8_t attribute);

  signals:
    void signalSelectedEditObject(DrawTools* object);
    void signalMovedEditObject(QRect before);

  public slots:
    // The editor's notices, passed on while the frame may be edited.
    void relaySelected();
    void relayMoved(QRect before);

  protected:
    // Emits the holder's selected signal; a kind that declares another name
    // emits that one.
    virtual void emitSelectedEditObject();
    // Sets a property value; a null value (a code outside the listed ones)
    // sets none.
    void setProp(const QString& name, const QString& value);
    // The payload fields the shared rows write.
    struct ControlFields {
        std::string& name;
        NVColor& backColor;
        NVColor& foreColor;
    };
    // Applies the rows every control kind has (Name, Left, Top, Width,
    // Height, Back Color, Fore Color) to the record and the editor; false for
    // any other row. A name longer than nameLimit is refused; one of spaces
    // only gives back initialName.
    bool applyControlRow(const QString& row, ControlFields fields, int nameLimit, const QString& initialName);
    void emitGeometry();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    InteractiveHost* m_host = nullptr; // not owned

  private:
    void sendToEditor(QMouseEvent* event);
    bool locked() const;

    bool m_interacting = false;
};
