#include "properties/editors/PropertyLviWidth.h"

#include "properties/EditPropertyEntry.h"

#include <QPointer>
#include <QSpinBox>

namespace {
constexpr int MIN_SIZE = 5;
} // namespace

PropertyLviWidth::PropertyLviWidth(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                   const char* name)
    : PropertyLviNumber(parent, view, entry, name) {
    start(MIN_SIZE, screenSize().width() - objLeft);
}

void PropertyLviWidth::returnPressed() {
    if (!entry)
        return;
    entry->value = QString::number(m_spinBox->value());
    if (holdsBitmapSize()) {
        // Setting the spin box commits "50" once more, and that apply may
        // rebuild the list this editor is in.
        QPointer<PropertyLviWidth> self(this);
        applyBitmapHold();
        if (!self)
            return;
    }
    refreshItem();
}

void PropertyLviWidth::slotSetWidth(int left) {
    m_spinBox->setRange(MIN_SIZE, screenSize().width() - left);
    if (entry && holdsBitmapSize()) {
        entry->value = QStringLiteral("50");
        m_spinBox->setValue(entry->value.toInt());
    }
}
