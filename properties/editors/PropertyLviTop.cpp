#include "properties/editors/PropertyLviTop.h"

#include <QSpinBox>

PropertyLviTop::PropertyLviTop(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                               const char* name)
    : PropertyLviNumber(parent, view, entry, name) {
    start(0, screenSize().height() - objHeight);
}

void PropertyLviTop::slotSetTop(int height) {
    m_spinBox->setRange(0, screenSize().height() - height);
}
