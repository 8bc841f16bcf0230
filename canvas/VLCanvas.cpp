#include "canvas/VLCanvas.h"

#include "canvas/VLImageHolder.h"

#include <QImage>
#include <QPixmap>
#include <QResizeEvent>
#include <QScrollBar>

VLCanvas::VLCanvas(VelmoraView* view, QWidget* parent, const char* name) : QScrollArea(parent), m_view(view) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    // The holder decides the contents size (it takes the frame image's size).
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_holder = new VLImageHolder(view, this);
    setWidget(m_holder);
    m_holder->move(0, 0);
}

// The scroll area deletes the holder with itself.
VLCanvas::~VLCanvas() = default;

void VLCanvas::setImageClient(const QPixmap& pixmap, _XImage* image, short mode) {
    m_holder->set_image_pixmap(pixmap, image, mode);
}

void VLCanvas::set_image(const QImage& image) {
    m_holder->set_image_pixmap(QPixmap::fromImage(image));
    m_holder->show();
    emit image_size_changed();
}

int VLCanvas::load(const char* fileName) {
    QPixmap pixmap(QString::fromLocal8Bit(fileName ? fileName : ""));
    m_holder->move(0, 0);
    m_holder->set_image_pixmap(pixmap);
    m_holder->show();
    return 0;
}

int VLCanvas::loadfromdata(const unsigned char*, unsigned int) {
    return 0;
}

void VLCanvas::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    emit image_size_changed();
}

void VLCanvas::line_left() {
    horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}
void VLCanvas::line_right() {
    horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}
void VLCanvas::page_left() {
    horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
}
void VLCanvas::page_right() {
    horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
}
void VLCanvas::line_up() {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}
void VLCanvas::line_down() {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}
void VLCanvas::page_up() {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
}
void VLCanvas::page_down() {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
}
