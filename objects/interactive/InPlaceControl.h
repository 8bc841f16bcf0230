// An in-place editor owner whose editor widget (Editor) holds a record with
// a control payload (name, rectangle): the accessors the canvas asks for,
// and the editor's lifetime. The editor is a child of the image holder and
// may have gone with it, so it is held through a guarded pointer.
#pragma once

#include "objects/interactive/InPlaceEditorOwner.h"

#include <QPoint>
#include <QPointer>

template <class Editor> class InPlaceControl : public InPlaceEditorOwner {
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
        m_pasting = QPoint(m_editor->field().x, m_editor->field().y);
    }
    QPoint getPastingPosition() const override { return m_pasting; }
    const char* getObjectName() const override { return m_editor ? m_editor->field().name.c_str() : ""; }
    void* getObjectStructure() override { return m_editor ? &m_editor->field() : nullptr; }

  protected:
    QPointer<Editor> m_editor;
    QPoint m_pasting;
};
