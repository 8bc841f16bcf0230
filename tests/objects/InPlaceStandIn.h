// A stand-in in-place editor and its owner, for the tests of the move and
// resize frame until the widget kinds exist: a frame with a child that passes
// its mouse events on (as the text entry does), a record with a text-field
// payload, and a log of what the editor told its owner.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "objects/interactive/InPlaceEditorFrame.h"
#include "objects/interactive/InPlaceEditorOwner.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

namespace inplacetest {

class StandInEditor;

// A child of the editor that hands its mouse events to the editor as they
// arrive, in its own coordinates.
class PassingChild : public QWidget {
  public:
    explicit PassingChild(StandInEditor* editor);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    StandInEditor* m_editor;
};

class StandInOwner;

class StandInEditor : public QFrame, public InPlaceEditorFrame::Client {
  public:
    StandInEditor(StandInOwner* owner, QWidget* holder, const InPlaceEditorFrame::Policy& policy,
                  InteractiveHost* host);

    InPlaceEditorFrame::Box frameRect() const override {
        const sTextField* p = record.get<sTextField>();
        return InPlaceEditorFrame::Box{p->x, p->y, p->width, p->height};
    }
    void setFrameRect(const InPlaceEditorFrame::Box& b) override {
        sTextField* p = record.get<sTextField>();
        p->x = b.x;
        p->y = b.y;
        p->width = b.w;
        p->height = b.h;
    }
    QWidget* frameWidget() const override { return const_cast<StandInEditor*>(this); }
    void emitSelected() override;
    void emitMoved(const QRect& before) override;
    bool forwarded() const override;
    bool mayMove() const override { return alignNone; }
    bool mayResize() const override { return stretched; }

    void passPress(QMouseEvent* e) { frame.mousePressEvent(e); }
    void passMove(QMouseEvent* e) { frame.mouseMoveEvent(e); }
    void passRelease(QMouseEvent* e) { frame.mouseReleaseEvent(e); }

    StandInOwner* owner;
    NVAllObjects record;
    InPlaceEditorFrame frame;
    PassingChild* child = nullptr;
    // "selected" and "moved x,y,w,h", in order.
    std::vector<std::string> notices;
    bool alignNone = true;
    bool stretched = true;

  protected:
    void mousePressEvent(QMouseEvent* e) override { frame.mousePressEvent(e); }
    void mouseMoveEvent(QMouseEvent* e) override { frame.mouseMoveEvent(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { frame.mouseReleaseEvent(e); }
};

class StandInOwner : public InPlaceEditorOwner {
  public:
    StandInOwner(QWidget* holder, const InPlaceEditorFrame::Policy& policy, InPlaceEditorFrame::Box rect)
        : InPlaceEditorOwner(nullptr, nullptr) {
        if (EditPropertyBase* props = getEditPropertyBase()) {
            props->addProp("Left", "", "Geometry", PE_LEFT, "", 0);
            props->addProp("Top", "", "Geometry", PE_TOP, "", 0);
            props->addProp("Width", "", "Geometry", PE_WIDTH, "", 0);
            props->addProp("Height", "", "Geometry", PE_HEIGHT, "", 0);
        }
        m_editor = new StandInEditor(this, holder, policy, m_host);
        m_editor->setFrameRect(rect);
        m_editor->setGeometry(rect.x, rect.y, rect.w, rect.h);
        drawingObject = TEXTFIELD;
    }
    // The editor is the holder's child: it may have gone with the holder.
    ~StandInOwner() override { delete m_editor.data(); }

    QWidget* editorWidget() const override { return m_editor.data(); }
    InPlaceEditorFrame* editorFrame() const override { return m_editor ? &m_editor->frame : nullptr; }
    void copyRecord(NVAllObjects& target) const override { target = m_editor->record; }
    StandInEditor* editor() const { return m_editor.data(); }

    // The rows of the property store as x, y, w, h; "" for an unwritten row.
    std::string rows() {
        EditPropertyBase* p = getEditPropertyBase();
        return (p->getPropValue("Left") + "," + p->getPropValue("Top") + "," + p->getPropValue("Width") +
                "," + p->getPropValue("Height"))
            .toStdString();
    }

  private:
    QPointer<StandInEditor> m_editor;
};

inline PassingChild::PassingChild(StandInEditor* editor) : QWidget(editor), m_editor(editor) {}
inline void PassingChild::mousePressEvent(QMouseEvent* e) {
    m_editor->passPress(e);
}
inline void PassingChild::mouseMoveEvent(QMouseEvent* e) {
    m_editor->passMove(e);
}
inline void PassingChild::mouseReleaseEvent(QMouseEvent* e) {
    m_editor->passRelease(e);
}

inline StandInEditor::StandInEditor(StandInOwner* o, QWidget* holder,
                                    const InPlaceEditorFrame::Policy& policy, InteractiveHost* host)
    : QFrame(holder), owner(o), frame(policy, this, o, holder, host) {
    record.drawingObject = TEXTFIELD;
    record.payload = sTextField{};
    setMouseTracking(true);
    child = new PassingChild(this);
    child->setGeometry(10, 10, 20, 20);
}

inline void StandInEditor::emitSelected() {
    notices.push_back("selected");
    owner->relaySelected();
}

inline void StandInEditor::emitMoved(const QRect& r) {
    notices.push_back("moved " + std::to_string(r.x()) + "," + std::to_string(r.y()) + "," +
                      std::to_string(r.width()) + "," + std::to_string(r.height()));
    owner->relayMoved(r);
}

inline bool StandInEditor::forwarded() const {
    return owner->interacting();
}

} // namespace inplacetest
