// The widget that shows a text field on the canvas: a frame around the text
// entry, holding the field's record and its move and resize frame. The
// record's written text follows every change of the entry.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "objects/interactive/InPlaceEditorWidget.h"

#include <QRect>

class CEditTextFieldTextField;
class CTextField;
class InteractiveHost;
class QVBoxLayout;

class CEditTextField : public InPlaceEditorWidget {
    Q_OBJECT

  public:
    CEditTextField(CTextField* owner, QWidget* parent, InteractiveHost* host);

    NVAllObjects& record() { return m_record; }
    const NVAllObjects& record() const { return m_record; }
    sTextField& field() { return *m_record.get<sTextField>(); }
    const sTextField& field() const { return *m_record.get<sTextField>(); }
    CEditTextFieldTextField* entry() const { return m_entry; }
    QVBoxLayout* boxLayout() const { return m_layout; }
    bool hasTextFile() const { return !field().fileName.empty(); }

    // InPlaceEditorFrame::Client
    InPlaceEditorFrame::Box frameRect() const override;
    void setFrameRect(const InPlaceEditorFrame::Box& rect) override;
    void emitSelected() override;
    void emitMoved(const QRect& before) override;
    bool forwarded() const override;

  signals:
    void signalSelectedTextField(DrawTools* object);
    void signalMovedTextField(QRect before);

  public slots:
    // Copies the entry's text into the record.
    void returnPressed();

  protected:
    // A key that reaches the frame while the entry lacks the focus goes to
    // the holder only.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CTextField* m_owner;     // not owned
    InteractiveHost* m_host; // not owned
    NVAllObjects m_record;
    CEditTextFieldTextField* m_entry = nullptr;
    QVBoxLayout* m_layout = nullptr;
};
