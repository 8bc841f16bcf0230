#include "objects/interactive/HolderInteractiveHost.h"

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "objects/draw/SelectionHandles.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"

#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTreeWidgetItem>

#include <X11/Xlib.h>
// X names a cursor constant like Qt's enum.
#undef CursorShape

HolderInteractiveHost::HolderInteractiveHost(VLImageHolder* holder) : m_holder(holder) {}

HolderInteractiveHost::~HolderInteractiveHost() {
    QObject::disconnect(m_chooserRoute);
}

EditPropertyBox* HolderInteractiveHost::box() const {
    VelmoraView* view = m_holder ? m_holder->getVelmoraView() : nullptr;
    return view ? view->_get_editprop_box() : nullptr;
}

int HolderInteractiveHost::currentFrame() const {
    return m_holder ? m_holder->getCurrentFrame() : -1;
}

const StrAllObjects* HolderInteractiveHost::frameRecords(unsigned long frame) const {
    if (!m_holder || frame >= m_holder->allObjects().size())
        return nullptr;
    const StrAllObjects& list = m_holder->allObjects()[frame];
    return list.AllObjects.empty() ? nullptr : &list;
}

DrawTools* HolderInteractiveHost::selectedItem() {
    return m_holder ? m_holder->getSelectedItem() : nullptr;
}

void HolderInteractiveHost::setCurrentObject(DrawTools* object) {
    if (m_holder)
        m_holder->setCurrentObject(object);
}

void HolderInteractiveHost::drawContents() {
    if (m_holder)
        m_holder->drawContents();
}

void HolderInteractiveHost::resetCombo() {
    if (VelmoraView* view = m_holder ? m_holder->getVelmoraView() : nullptr)
        view->slotResetCombo();
}

bool HolderInteractiveHost::objectSelection() const {
    return m_holder && m_holder->checkObjectSelection();
}

void HolderInteractiveHost::setObjectSelection(bool on) {
    if (m_holder)
        m_holder->setObjectSelection(on);
}

void HolderInteractiveHost::setHolderCursor(Qt::CursorShape shape) {
    if (m_holder)
        m_holder->setCursor(QCursor(shape));
}

void HolderInteractiveHost::drawBand(const QRect& band) {
    if (!m_holder)
        return;
    m_holder->initGC();
    const VLImageHolder::DrawTarget target = m_holder->drawTarget();
    SelectionHandles::drawXorBand(target.display, target.xorGC, target.window,
                                  SelectionHandles::Box{band.x(), band.y(), band.width(), band.height()});
}

QSize HolderInteractiveHost::screenSize() const {
    if (m_screen.isEmpty()) {
        if (Display* dpy = m_holder ? m_holder->drawTarget().display : nullptr) {
            m_screen = QSize(DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy)));
        } else if (QScreen* s = QGuiApplication::primaryScreen()) {
            m_screen = s->geometry().size();
        }
    }
    return m_screen;
}

bool HolderInteractiveHost::checkFrameStatus() const {
    return m_holder && m_holder->checkFrameStatus();
}

QWidget* HolderInteractiveHost::editorParent() const {
    return m_holder;
}

void HolderInteractiveHost::holderKeyPress(QKeyEvent* event) {
    if (m_holder && event)
        m_holder->keyPressFromEditor(event);
}

void HolderInteractiveHost::showPropertyBox() {
    if (EditPropertyBox* b = box())
        b->show();
}

bool HolderInteractiveHost::propertyBoxVisible() const {
    EditPropertyBox* b = box();
    return b && b->isVisible();
}

int HolderInteractiveHost::propertyPageIndex() const {
    EditPropertyBox* b = box();
    return b && b->tabWidget ? b->tabWidget->currentIndex() : -1;
}

bool HolderInteractiveHost::isPropertiesPage(QWidget* page) const {
    EditPropertyBox* b = box();
    return b && page && page == static_cast<QWidget*>(b->getListView());
}

bool HolderInteractiveHost::isEventsPage(QWidget* page) const {
    EditPropertyBox* b = box();
    return b && page && page == static_cast<QWidget*>(b->getEventListView());
}

QString HolderInteractiveHost::selectedPropertyRow() const {
    EditPropertyBox* b = box();
    QTreeWidgetItem* item = b && b->getListView() ? b->getListView()->currentItem() : nullptr;
    return item ? item->text(0) : QString();
}

QString HolderInteractiveHost::selectedEventRow() const {
    EditPropertyBox* b = box();
    QTreeWidgetItem* item = b && b->getEventListView() ? b->getEventListView()->currentItem() : nullptr;
    return item ? item->text(0) : QString();
}

void HolderInteractiveHost::setEventChooser(const QStringList& names, QObject* receiver,
                                            std::function<void(int)> activated) {
    EditPropertyBox* b = box();
    if (!b || !b->objectChooser)
        return;
    QObject::disconnect(m_chooserRoute);
    b->objectChooser->clear();
    b->objectChooser->addItems(names);
    if (receiver && activated)
        m_chooserRoute =
            QObject::connect(b->objectChooser, &QComboBox::activated, receiver, std::move(activated));
}

void HolderInteractiveHost::refillEventList(DrawTools* object, int event) {
    if (EditPropertyBox* b = box())
        b->refillEventList(object, event);
}

void HolderInteractiveHost::refillHyperEventList(DrawTools* object, int event) {
    if (EditPropertyBox* b = box())
        b->refillHyperEventList(object, event);
}

int HolderInteractiveHost::validationFieldCount() const {
    return m_holder ? m_holder->getNumValidationFields() : 0;
}

QString HolderInteractiveHost::validationFieldName(int position) const {
    return m_holder ? m_holder->getValidationObjName(position) : QString();
}

int HolderInteractiveHost::validationFieldId(int position) const {
    return m_holder ? m_holder->getValidationID(position) : 0;
}

int HolderInteractiveHost::nextValidationId() const {
    return m_holder ? m_holder->nextValidationID() : InteractiveHost::nextValidationId();
}

void HolderInteractiveHost::refillValidationEventList(DrawTools* object, int string, int key) {
    if (EditPropertyBox* b = box())
        b->refillEventList(object, string, key);
}

void HolderInteractiveHost::setEventsPageEnabled(bool enabled) {
    EditPropertyBox* b = box();
    if (b && b->tabWidget)
        b->tabWidget->setTabEnabled(1, enabled);
}

void HolderInteractiveHost::appendObjectName(const QString& name) {
    EditPropertyBox* b = box();
    if (b && b->objectChooser)
        b->objectChooser->addItem(name);
}
