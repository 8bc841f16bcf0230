#include "properties/editors/PropertyLviLeft.h"

#include <QSpinBox>

PropertyLviLeft::PropertyLviLeft(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                 const char* name)
    : PropertyLviNumber(parent, view, entry, name) {
    start(0, screenSize().width() - objWidth);
}

// A clamp reports a value change, which commits the moved value.
void PropertyLviLeft::slotSetLeft(int width) {
    m_spinBox->setRange(0, screenSize().width() - width);
}
