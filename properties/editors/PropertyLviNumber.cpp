#include "properties/editors/PropertyLviNumber.h"

#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"

#include <QSpinBox>

PropertyLviNumber::PropertyLviNumber(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                     const char* name)
    : PropertyLviBase(parent, view, entry, name, 0), m_spinBox(new QSpinBox(this)) {
    setGeometry(0, 0, 0, 0);
    setFocusProxy(m_spinBox);
}

void PropertyLviNumber::start(int minimum, int maximum) {
    m_spinBox->setRange(minimum, maximum);
    m_spinBox->setValue(entry ? entry->value.toInt() : 0);
    connect(m_spinBox, qOverload<int>(&QSpinBox::valueChanged), this, &PropertyLviNumber::returnPressed);
}

QString PropertyLviNumber::getText() {
    return m_spinBox ? m_spinBox->cleanText() : QString();
}

void PropertyLviNumber::returnPressed() {
    if (!entry)
        return;
    entry->value = QString::number(m_spinBox->value());
    refreshItem();
}

bool PropertyLviNumber::holdsBitmapSize() const {
    if (!entry || entry->data != QLatin1String("BITMAPOBJECT") || !selectedItem || !view)
        return false;
    // The bitmap's own Stretch row decides; a "No" chosen in another
    // object's list must not shrink a stretched bitmap.
    EditPropertyBase* store = view->getEditPropertyBase(selectedItem);
    return store && store->getPropValue(QStringLiteral("Stretch")) == QLatin1String("No");
}

void PropertyLviNumber::applyBitmapHold() {
    entry->value = QStringLiteral("50");
    m_spinBox->setValue(50);
}

void PropertyLviNumber::resizeEvent(QResizeEvent*) {
    m_spinBox->setGeometry(0, 0, width() - 15, height() + 1);
}
