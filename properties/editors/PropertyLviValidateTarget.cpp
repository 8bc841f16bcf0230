#include "properties/editors/PropertyLviValidateTarget.h"

#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>

namespace {
const QString NONE_WORD = QStringLiteral("[None]");
} // namespace

PropertyLviValidateTarget::PropertyLviValidateTarget(QWidget* parent, PropertyBoxClient* view,
                                                     EditPropertyEntry* entry, const char* name,
                                                     int eventIndex)
    : PropertyLviChoice(parent, view, entry, name, eventIndex) {
    fieldCount = view ? view->getNumValidationFields() : 0;
    m_comboBox->addItem(NONE_WORD);
    for (int i = 1; i <= fieldCount; ++i)
        m_comboBox->addItem(view->getValidationObjName(i));
    const QString value = entry ? entry->value : QString();
    if (!value.isEmpty()) {
        if (value == NONE_WORD) {
            m_comboBox->setCurrentIndex(0);
        } else {
            for (int i = 1; i <= fieldCount; ++i)
                if (m_comboBox->itemText(i) == value)
                    m_comboBox->setCurrentIndex(i);
        }
    }
    connectList();
}

int PropertyLviValidateTarget::getIndex() {
    return m_comboBox->currentIndex();
}

void PropertyLviValidateTarget::chosen(const QString& word) {
    // "[None]" clears the target, so no earlier field survives in valueId.
    if (word == NONE_WORD) {
        entry->valueId = 0;
        return;
    }
    for (int i = 1; i <= fieldCount; ++i)
        if (view && view->getValidationObjName(i) == word)
            entry->valueId = i;
}

void PropertyLviValidateTarget::apply() {
    if (onEventsPage() && selectedKind() == HYPERLINK)
        applyEvent(eventIndex);
}
