#include "objects/interactive/InPlaceEditorOwner.h"

#include "objects/interactive/InPlaceEditorFrame.h"
#include "objects/interactive/InteractiveHost.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <string>

InPlaceEditorOwner::InPlaceEditorOwner(QWidget* parent, const char* name)
    : DrawTools(parent, name), m_host(InteractiveHost::current()) {
    // The holder passes hover moves on; without tracking they would not arrive.
    setMouseTracking(true);
}

InPlaceEditorOwner::~InPlaceEditorOwner() = default;

bool InPlaceEditorOwner::locked() const {
    return m_host && m_host->checkFrameStatus();
}

bool InPlaceEditorOwner::select(QPoint point) {
    InPlaceEditorFrame* f = editorFrame();
    return f && f->select(point);
}

void InPlaceEditorOwner::select() {}

void InPlaceEditorOwner::select(_XDisplay* display, _XGC* gc, unsigned long& drawable) {
    if (InPlaceEditorFrame* f = editorFrame())
        f->select(display, gc, drawable);
}

QRegion InPlaceEditorOwner::getRegion() {
    InPlaceEditorFrame* f = editorFrame();
    return f ? f->getRegion() : QRegion();
}

void InPlaceEditorOwner::updatePosition(int dx, int dy) {
    if (InPlaceEditorFrame* f = editorFrame())
        f->updatePosition(dx, dy);
}

int InPlaceEditorOwner::getIndex() const {
    InPlaceEditorFrame* f = editorFrame();
    return f ? f->getIndex() : 0;
}

void InPlaceEditorOwner::restoreGeometry(QRect rect) {
    InPlaceEditorFrame* f = editorFrame();
    if (!f)
        return;
    f->setRect(InPlaceEditorFrame::Box{rect.x(), rect.y(), rect.width(), rect.height()});
    if (QWidget* w = editorWidget())
        w->setGeometry(rect);
}

bool InPlaceEditorOwner::getAllObjectStructure(NVAllObjects* target) {
    if (!target)
        return false;
    const std::string id = target->objectID;
    copyRecord(*target);
    target->objectID = id;
    return true;
}

bool InPlaceEditorOwner::keepWithinVLI() {
    InPlaceEditorFrame* f = editorFrame();
    if (!f)
        return false;
    const InPlaceEditorFrame::Box b = f->rect();
    return b.w > 0 && b.h > 0;
}

void InPlaceEditorOwner::setVisible(bool visible) {
    // The owner is a stand-in for its editor on the canvas: never shown.
    QWidget* w = editorWidget();
    if (!w)
        return;
    if (visible) {
        if (InPlaceEditorFrame* f = editorFrame()) {
            const InPlaceEditorFrame::Box b = f->rect();
            w->setGeometry(b.x, b.y, b.w, b.h);
        }
        w->show();
    } else {
        w->hide();
    }
}

void InPlaceEditorOwner::relaySelected() {
    if (!locked())
        emitSelectedEditObject();
}

void InPlaceEditorOwner::relayMoved(QRect before) {
    if (!locked())
        emit signalMovedEditObject(before);
}

void InPlaceEditorOwner::emitSelectedEditObject() {
    emit signalSelectedEditObject(this);
}

void InPlaceEditorOwner::emitGeometry() {
    InPlaceEditorFrame* f = editorFrame();
    if (!f)
        return;
    const InPlaceEditorFrame::Box b = f->rect();
    const QRect r(b.x, b.y, b.w, b.h);
    emit signalSetLeft(r.x());
    emit signalSetWidth(r.width());
    emit signalSetTop(r.y());
    emit signalSetHeight(r.height());
}

void InPlaceEditorOwner::sendToEditor(QMouseEvent* e) {
    QWidget* w = editorWidget();
    if (!w)
        return;
    // The copy keeps the global position, from which the frame finds the
    // holder position.
    QMouseEvent copy(e->type(), e->position(), e->scenePosition(), e->globalPosition(), e->button(),
                     e->buttons(), e->modifiers());
    QCoreApplication::sendEvent(w, &copy);
}

void InPlaceEditorOwner::mousePressEvent(QMouseEvent* e) {
    m_interacting = true;
    sendToEditor(e);
    emitGeometry();
}

void InPlaceEditorOwner::mouseMoveEvent(QMouseEvent* e) {
    sendToEditor(e);
}

void InPlaceEditorOwner::mouseReleaseEvent(QMouseEvent* e) {
    sendToEditor(e);
    m_interacting = false;
    emitGeometry();
}
