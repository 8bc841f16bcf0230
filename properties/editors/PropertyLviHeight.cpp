#include "properties/editors/PropertyLviHeight.h"

#include "properties/EditPropertyEntry.h"

#include <QPointer>
#include <QSpinBox>

namespace {
constexpr int MIN_SIZE = 5;
} // namespace

PropertyLviHeight::PropertyLviHeight(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                     const char* name)
    : PropertyLviNumber(parent, view, entry, name) {
    start(MIN_SIZE, screenSize().height() - objTop);
}

void PropertyLviHeight::returnPressed() {
    if (!entry)
        return;
    entry->value = QString::number(m_spinBox->value());
    if (holdsBitmapSize()) {
        // Setting the spin box commits "50" once more, and that apply may
        // rebuild the list this editor is in.
        QPointer<PropertyLviHeight> self(this);
        applyBitmapHold();
        if (!self)
            return;
    }
    refreshItem();
}

void PropertyLviHeight::slotSetHeight(int top) {
    m_spinBox->setRange(MIN_SIZE, screenSize().height() - top);
    if (entry && holdsBitmapSize()) {
        entry->value = QStringLiteral("50");
        m_spinBox->setValue(entry->value.toInt());
    }
}
