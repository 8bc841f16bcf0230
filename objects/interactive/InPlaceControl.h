// An in-place editor owner whose editor widget (Editor) holds a record with
// a payload (Payload) that keeps a name and a rectangle: the accessors the
// canvas asks for,
// and the editor's lifetime. The editor is a child of the image holder and
// may have gone with it, so it is held through a guarded pointer.
#pragma once

#include "objects/interactive/InPlaceEditorOwner.h"

#include <QPoint>
#include <QPointer>

template <class Editor, class Payload> class InPlaceControl : public InPlaceEditorOwner {
  public:
    InPlaceControl() : InPlaceEditorOwner(nullptr, nullptr) {}
    ~InPlaceControl() override { delete m_editor.data(); }

    Editor* editor() const { return m_editor.data(); }
    QWidget* editorWidget() const override { return m_editor.data(); }
    InPlaceEditorFrame* editorFrame() const override { return m_editor ? &m_editor->frame() : nullptr; }
    void copyRecord(NVAllObjects& target) const override {
        if (m_editor)
            target = m_editor->record();
    }
    void setPastingPosition() override {
        if (!m_editor)
            return;
        m_editor->clearFocus();
        m_pasting = QPoint(payloadOf(m_editor).x, payloadOf(m_editor).y);
    }
    QPoint getPastingPosition() const override { return m_pasting; }
    const char* getObjectName() const override { return m_editor ? payloadOf(m_editor).name.c_str() : ""; }
    void* getObjectStructure() override { return m_editor ? &payloadOf(m_editor) : nullptr; }

  protected:
    static Payload& payloadOf(Editor* editor) { return *editor->record().template get<Payload>(); }

    QPointer<Editor> m_editor;
    QPoint m_pasting;
};
