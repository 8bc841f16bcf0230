// The widget that shows a validation field on the canvas: a read-only text
// edit without scroll bars that holds the field's record and its move and
// resize frame. At a press, a pick in the property box's chooser and a key
// chosen on the Events page it loads the field's strings, error and key
// message into the property editor's shared records.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "objects/interactive/InPlaceEditorFrame.h"

#include <QPlainTextEdit>
#include <QRect>

class CValidationField;
class InteractiveHost;

class CEditValidationField : public QPlainTextEdit, public InPlaceEditorFrame::Client {
    Q_OBJECT

  public:
    CEditValidationField(CValidationField* owner, QWidget* parent, InteractiveHost* host);

    NVAllObjects& record() { return m_record; }
    const NVAllObjects& record() const { return m_record; }
    sValidationField& field() { return *m_record.get<sValidationField>(); }
    const sValidationField& field() const { return *m_record.get<sValidationField>(); }
    InPlaceEditorFrame& frame() { return m_frame; }

    // The string whose key events the Events page shows.
    int currentString() const { return m_currentString; }
    void setCurrentString(int index) { m_currentString = index; }

    // Loads the field's strings and error into the shared records as a
    // chooser pick does.
    void selectValidationFromCombo();
    // Copies the field's strings into the shared working copy.
    void loadStrings();
    // Copies the field's error into the shared error record; with
    // textOnly the caption and icon stay as they are.
    void loadError(bool textOnly);

    // InPlaceEditorFrame::Client
    InPlaceEditorFrame::Box frameRect() const override;
    void setFrameRect(const InPlaceEditorFrame::Box& rect) override;
    QWidget* frameWidget() const override { return const_cast<CEditValidationField*>(this); }
    void emitSelected() override;
    void emitMoved(const QRect& before) override;
    bool forwarded() const override;
    void armedPressHook() override;
    void afterHandleTestHook() override;

  signals:
    void signalSelectedValidationField(DrawTools* object);
    void signalMovedValidationField(QRect before);

  public slots:
    // Lists the rows of key `key` of the current string and loads its message.
    void slotEventForKeys(int key);

  protected:
    // Mouse events sent to the edit itself (the owner forwards the holder's)
    // are the frame's too; a scroll area would pass them on to the holder.
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { m_frame.mousePressEvent(event); }
    void mouseMoveEvent(QMouseEvent* event) override { m_frame.mouseMoveEvent(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { m_frame.mouseReleaseEvent(event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { m_frame.mousePressEvent(event); }
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CValidationField* m_owner; // not owned
    InteractiveHost* m_host;   // not owned
    NVAllObjects m_record;
    InPlaceEditorFrame m_frame;
    int m_currentString = 0;
};
