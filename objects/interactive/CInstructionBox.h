// An instruction box (kind 14): a caption in a title bar above a text the
// author types, read by the end user in the player. The object is never
// shown itself; its editor (CEditInstructionBox), a child of the image
// holder, shows and keeps the record. The object applies the property rows,
// all of them in order, and relays the editor's notices to the holder.
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "objects/interactive/CEditInstructionBox.h"
#include "objects/interactive/InPlaceControl.h"

#include <QPalette>
#include <QPointer>
#include <QString>

class QPaintDevice;
class VLImageHolder;

class CInstructionBox : public InPlaceControl<CEditInstructionBox, sInstructionBox> {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 30;
    // The room the stored record keeps for the caption.
    static constexpr int CAPTION_LIMIT = 255;

    // A new box made by the tool, with its number.
    CInstructionBox(VLImageHolder* holder, QWidget* parent, QPaintDevice* device, int number);
    // A copy of another box at a position; nothing in the program makes one.
    CInstructionBox(VLImageHolder* holder, CInstructionBox& source, int number, QPoint position);
    // A pasted record, with a new number and the paste offset.
    CInstructionBox(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // Re-created from a frame's stored record.
    CInstructionBox(VLImageHolder* holder, const sInstructionBox& stored);

    static HolderKindMakers holderKindMakers();

    VLImageHolder* getVLImageHolder() const { return m_holder; }
    QString getWrittenText() const override;
    // Applies every property row, in order.
    void repaintItem() override;

  signals:
    void signalSetScrollBar(QString word);

  public slots:
    void slotSelectedInstructionBox(DrawTools* object);
    void slotMovedInstructionBox(QRect before);
    // The title bar's and the entry's mouse events, for the editor's frame.
    void slotInstructionBoxPressed(QMouseEvent* event);
    void slotInstructionBoxMoved(QMouseEvent* event);
    void slotInstructionBoxReleased(QMouseEvent* event);
    void slotFontSelected(QFont& font) override;

  private:
    void begin(VLImageHolder* holder, QWidget* parent);
    void finish();
    void addMyPropEntrys();
    void connectEditor();
    void setProp(const QString& name, const QString& value);
    // Name row and chooser entry for the record's name.
    void publishName();
    // A copied, pasted or stored record into the rows and widgets; the copy
    // writes no Caption row.
    void showRecord(bool captionRow);
    void showCaption();
    // The Title Bar and Scrolling rows and widgets from the record's bytes.
    void showTitleBar();
    void showScrolling(bool emitWord);
    void applyColor(const QString& row, NVColor& target, QPalette::ColorRole role);
    sInstructionBox& box();
    const sInstructionBox& box() const;

    VLImageHolder* m_holder = nullptr; // not owned
    QString m_constructionName;
};
