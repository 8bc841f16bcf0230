#include "canvas/VelmoraView.h"
#include "store/Diagnostics.h"

#include "canvas/DrawTools.h"
#include "canvas/VLCanvas.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraDoc.h"
#include "properties/EditPropertyBox.h"
#include "properties/editors/PropertyEditorFactory.h"

#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

#include <cstdio>

namespace {
DrawTools* toObject(QObject* item) {
    return qobject_cast<DrawTools*>(item);
}
} // namespace

VelmoraView::VelmoraView(QWidget* parent, VelmoraDoc* doc) : QWidget(parent) {
    if (doc)
        connect(doc, &VelmoraDoc::documentChanged, this, &VelmoraView::slotDocumentChanged);
    m_canvas = new VLCanvas(this, this, "Canvas");
    m_canvas->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_canvas->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A modeless dialog with the view as parent; it asks the view about the
    // canvas. Its rows get the in-place editors of properties/editors.
    PropertyEditorFactory::install();
    m_editPropBox = new EditPropertyBox(this, this, "Edit", false, 0);
}

// The box goes first: it may still refer to objects of the canvas.
VelmoraView::~VelmoraView() {
    delete m_editPropBox;
    m_editPropBox = nullptr;
    delete m_canvas;
    m_canvas = nullptr;
}

void VelmoraView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_canvas)
        return;
    m_canvas->resize(width(), height());
    m_canvas->setGeometry(rect());
}

void VelmoraView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        diag::print("palette changed from view\n");
    QWidget::changeEvent(event);
}

void VelmoraView::slotDocumentChanged() {}

EditPropertyBox* VelmoraView::_get_editprop_box() {
    return m_editPropBox;
}

QObject* VelmoraView::getSelectedItem() {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    return holder ? holder->getSelectedItem() : nullptr;
}

QObject* VelmoraView::currentObject() {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    return holder ? holder->currentObject() : nullptr;
}

void VelmoraView::slotResetCombo() {
    if (VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr)
        holder->slotResetCombo();
}

int VelmoraView::getTotalFrames() {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    return holder ? holder->getTotalFrames() : 0;
}

QString VelmoraView::getFrameObjName(int frame) {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    const NVFrame* f = holder ? holder->frameRecord(frame) : nullptr;
    return f ? QString::fromLatin1(f->m_Caption.c_str()) : QString();
}

int VelmoraView::getNumValidationFields() {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    if (!holder)
        return 0;
    int n = 0;
    for (DrawTools* object : holder->liveObjects())
        if (object && object->drawingObject == VALIDATIONFIELD)
            ++n;
    return n;
}

QString VelmoraView::getValidationObjName(int n) {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    if (!holder)
        return QString();
    int seen = 0;
    for (DrawTools* object : holder->liveObjects())
        if (object && object->drawingObject == VALIDATIONFIELD && ++seen == n)
            return QString::fromLatin1(object->getObjectName());
    return QString();
}

QSize VelmoraView::getScreenResolution() {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    if (holder && !holder->screenSize().isEmpty())
        return holder->screenSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size();
    return QSize();
}

int VelmoraView::drawingObject(QObject* item) {
    DrawTools* object = toObject(item);
    return object ? object->drawingObject : SELECTION;
}

EditPropertyBase* VelmoraView::getEditPropertyBase(QObject* item) {
    DrawTools* object = toObject(item);
    return object ? object->getEditPropertyBase() : nullptr;
}

void VelmoraView::setGeometryEntrys(QObject* item, int* left, int* top, int* width, int* height) {
    if (DrawTools* object = toObject(item))
        object->setGeometryEntrys(left, top, width, height);
}

void VelmoraView::repaintItem(QObject* item, const QString&) {
    if (DrawTools* object = toObject(item))
        object->repaintItem();
}

void VelmoraView::setEventProperty(QObject* item, int event) {
    if (DrawTools* object = toObject(item))
        object->setEventProperty(event);
}

void VelmoraView::setEventProperty(QObject* item, int string, int key) {
    if (DrawTools* object = toObject(item))
        object->setEventProperty(string, key);
}

void VelmoraView::addEventPropEntrys(QObject* item, int event) {
    if (DrawTools* object = toObject(item))
        object->addEventPropEntrys(event);
}

void VelmoraView::addEventPropEntrys(QObject* item, int string, int key) {
    if (DrawTools* object = toObject(item))
        object->addEventPropEntrys(string, key);
}

void VelmoraView::removedKey(QObject* item, int string, int key) {
    if (DrawTools* object = toObject(item))
        object->removedKey(string, key);
}

void VelmoraView::resizeMultiStringVector(QObject* item, int string) {
    if (DrawTools* object = toObject(item))
        object->resizeMultiStringVector(string);
}

void VelmoraView::loadValidationStrings(QObject* item) {
    if (DrawTools* object = toObject(item))
        object->loadValidationStrings();
}

bool VelmoraView::isUserActionDisabled(QObject* item) {
    DrawTools* object = toObject(item);
    if (!object)
        return false;
    if (object->drawingObject != FRAMEOBJECT)
        return object->targetDisabled();
    const NVFrame* frame = object->getFrameObjectStructure();
    return frame && frame->userAction == 1;
}
