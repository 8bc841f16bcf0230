#include "app/wm/NVToolBarItem.h"

NVToolBarItem::NVToolBarItem(QWidget* widget, itemType kind, int id, bool ownsWidget)
    : m_id(id), m_widget(widget), m_kind(kind), m_ownsWidget(ownsWidget) {}

NVToolBarItem::~NVToolBarItem() {
    if (m_ownsWidget)
        delete m_widget.data();
}

void NVToolBarItem::setEnabled(bool on) {
    if (m_widget)
        m_widget->setEnabled(on);
}

void NVToolBarItem::show() {
    if (m_widget)
        m_widget->show();
}

void NVToolBarItem::hide() {
    if (m_widget)
        m_widget->hide();
}

void NVToolBarItem::move(int x, int y) {
    if (m_widget)
        m_widget->move(x, y);
}

void NVToolBarItem::resize(int w, int h) {
    if (m_widget)
        m_widget->resize(w, h);
}
