// The widget that shows an instruction box on the canvas: a frame holding
// the title bar above the text entry, the box's record and its move and
// resize frame. The record's text follows every change of the entry; every
// mouse release also writes the title bar's caption into "Caption".
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "objects/interactive/InPlaceEditorWidget.h"

#include <QRect>

class CEditInstructionBoxLabel;
class CEditInstructionBoxTextField;
class CInstructionBox;
class InteractiveHost;
class QVBoxLayout;

class CEditInstructionBox : public InPlaceEditorWidget {
    Q_OBJECT

  public:
    CEditInstructionBox(CInstructionBox* owner, QWidget* parent, InteractiveHost* host);

    NVAllObjects& record() { return m_record; }
    const NVAllObjects& record() const { return m_record; }
    sInstructionBox& box() { return *m_record.get<sInstructionBox>(); }
    const sInstructionBox& box() const { return *m_record.get<sInstructionBox>(); }
    CEditInstructionBoxLabel* label() const { return m_label; }
    CEditInstructionBoxTextField* entry() const { return m_entry; }
    QVBoxLayout* boxLayout() const { return m_layout; }

    // The entry's text.
    QString getWrittenText() const;

    // InPlaceEditorFrame::Client
    InPlaceEditorFrame::Box frameRect() const override;
    void setFrameRect(const InPlaceEditorFrame::Box& rect) override;
    void emitSelected() override;
    void emitMoved(const QRect& before) override;
    bool forwarded() const override;
    // Writes "Caption" from the title bar.
    void releaseHook() override;

  signals:
    void signalSelectedInstructionBox(DrawTools* object);
    void signalMovedInstructionBox(QRect before);

  public slots:
    // Copies the entry's text into the record.
    void returnPressed();

  protected:
    // While the frame may be edited the record takes the entry's text; the
    // key goes nowhere else.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CInstructionBox* m_owner; // not owned
    InteractiveHost* m_host;  // not owned
    NVAllObjects m_record;
    CEditInstructionBoxLabel* m_label = nullptr;
    CEditInstructionBoxTextField* m_entry = nullptr;
    QVBoxLayout* m_layout = nullptr;
};
