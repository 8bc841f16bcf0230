#include "properties/editors/PropertyLviValidationFrame.h"

#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>

namespace {
constexpr int FIXED_ITEMS = 3; // "0", "Next", "Previous"
} // namespace

PropertyLviValidationFrame::PropertyLviValidationFrame(QWidget* parent, PropertyBoxClient* view,
                                                       EditPropertyEntry* entry, const char* name,
                                                       int stringIndex, int eventIndex)
    : PropertyLviChoice(parent, view, entry, name, eventIndex), stringIndex(stringIndex) {
    frameCount = view ? view->getTotalFrames() : 0;
    m_comboBox->addItems({"0", "Next", "Previous"});
    for (int i = 0; i < frameCount; ++i)
        m_comboBox->addItem(view->getFrameObjName(i));
    m_comboBox->adjustSize();
    const QString value = entry ? entry->value : QString();
    if (value == QLatin1String("0")) {
        m_comboBox->setCurrentIndex(0);
    } else if (value == QLatin1String("Next")) {
        m_comboBox->setCurrentIndex(1);
    } else if (value == QLatin1String("Previous")) {
        m_comboBox->setCurrentIndex(2);
    } else {
        // With repeated names the later frame wins.
        for (int i = 0; i < frameCount; ++i)
            if (m_comboBox->itemText(i + FIXED_ITEMS) == value)
                m_comboBox->setCurrentIndex(i + FIXED_ITEMS);
    }
    connectList();
}

void PropertyLviValidationFrame::chosen(const QString& word) {
    for (int i = 0; i < frameCount; ++i)
        if (view && view->getFrameObjName(i) == word)
            entry->valueId = i;
}

void PropertyLviValidationFrame::apply() {
    if (!onEventsPage()) {
        refreshItem();
        return;
    }
    const int kind = selectedKind();
    if (kind == HYPERLINK)
        applyEvent(eventIndex);
    else if (kind == VALIDATIONFIELD)
        applyEvent(stringIndex, eventIndex);
}

void PropertyLviValidationFrame::resizeEvent(QResizeEvent* e) {
    PropertyLviChoice::resizeEvent(e);
    m_comboBox->adjustSize();
}
