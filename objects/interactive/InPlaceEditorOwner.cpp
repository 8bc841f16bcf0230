#include "objects/interactive/InPlaceEditorOwner.h"

#include "canvas/records/StoredText.h"
#include "objects/interactive/InPlaceEditorFrame.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyEntry.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPalette>

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

void InPlaceEditorOwner::setGeometryEntrys(int* x, int* y, int* width, int* height) {
    InPlaceEditorFrame* f = editorFrame();
    if (!f)
        return;
    const InPlaceEditorFrame::Box b = f->rect();
    if (x)
        *x = b.x;
    if (y)
        *y = b.y;
    if (width)
        *width = b.w;
    if (height)
        *height = b.h;
}

void InPlaceEditorOwner::repaintItem() {
    // The property box makes the committing row current while it applies.
    if (m_host)
        applyProperty(m_host->selectedPropertyRow());
    emitGeometry();
    if (m_host) {
        m_host->drawContents();
        m_host->setCurrentObject(m_host->selectedItem());
    }
}

void InPlaceEditorOwner::applyProperty(const QString&) {}

QString InPlaceEditorOwner::Prop2Str(const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProp(name) : nullptr;
    return e ? e->value : QString();
}

void InPlaceEditorOwner::setProp(const QString& name, const QString& value) {
    if (value.isNull())
        return;
    if (EditPropertyBase* props = getEditPropertyBase())
        props->setProp_Value(name, value);
}

QString InPlaceEditorOwner::colorName(const NVColor& c) {
    return QColor(c.red, c.green, c.blue).name();
}

QString InPlaceEditorOwner::attributeWord(uint8_t attribute) {
    switch (attribute) {
    case 0:
        return QStringLiteral("None");
    case 1:
        return QStringLiteral("Rectangle");
    case 3:
        return QStringLiteral("3D");
    default:
        return QString();
    }
}

bool InPlaceEditorOwner::applyControlRow(const QString& row, ControlFields fields, int nameLimit,
                                         const QString& initialName) {
    InPlaceEditorFrame* frame = editorFrame();
    QWidget* editor = editorWidget();
    if (!frame || !editor)
        return false;
    const QString v = Prop2Str(row);
    InPlaceEditorFrame::Box r = frame->rect();
    if (row == QLatin1String("Name")) {
        // The limit applies to the text as entered, before trimming.
        if (v.size() > nameLimit)
            return true;
        QString name = v.trimmed();
        if (name.isEmpty())
            name = initialName;
        fields.name = toStoredText(name);
        setProp(QStringLiteral("Name"), name);
    } else if (row == QLatin1String("Left") || row == QLatin1String("Top")) {
        if (v.isEmpty())
            return true;
        (row == QLatin1String("Left") ? r.x : r.y) = v.toInt();
        frame->setRect(r);
        editor->move(r.x, r.y);
    } else if (row == QLatin1String("Width") || row == QLatin1String("Height")) {
        if (v.isEmpty())
            return true;
        (row == QLatin1String("Width") ? r.w : r.h) = v.toInt();
        frame->setRect(r);
        editor->resize(r.w, r.h);
    } else if (row == QLatin1String("Back Color") || row == QLatin1String("Fore Color")) {
        if (v.isEmpty())
            return true;
        const bool back = row == QLatin1String("Back Color");
        NVColor& target = back ? fields.backColor : fields.foreColor;
        const QColor c = QColor::fromString(v);
        // A text that names no colour changes nothing; the row shows the
        // colour in use again.
        if (!c.isValid()) {
            setProp(row, colorName(target));
            return true;
        }
        target = NVColor{c.red(), c.green(), c.blue()};
        QPalette pal = editor->palette();
        pal.setColor(back ? QPalette::Base : QPalette::Text, c);
        editor->setPalette(pal);
    } else {
        return false;
    }
    return true;
}
