#include "properties/editors/PropertyLviBool.h"

#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>

PropertyLviBool::PropertyLviBool(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                 const char* name, int eventIndex)
    : PropertyLviChoice(parent, view, entry, name, eventIndex) {
    const QString data = entry ? entry->data : QString();
    const QString value = entry ? entry->value : QString();
    if (data == QLatin1String("On/Off")) {
        m_comboBox->addItems({"Off", "On"});
        selectWord(value, 0);
    } else if (data == QLatin1String("Enable/Disable")) {
        m_comboBox->addItems({"Disable", "Enable"});
        m_comboBox->setCurrentIndex(1);
        // "Disable" is shown only when the object confirms it: the frame's
        // user-action byte, or a mouse-click target's own flag.
        if (value == QLatin1String("Disable") && selectedItem && view &&
            view->isUserActionDisabled(selectedItem))
            m_comboBox->setCurrentIndex(0);
    } else {
        m_comboBox->addItems({"No", "Yes"});
        const bool startsOnNo = data == QLatin1String("HYPERLINK") || data == QLatin1String("TEXTFIELD");
        m_comboBox->setCurrentIndex(startsOnNo ? 0 : 1);
    }
    if (value == QLatin1String("No")) {
        m_comboBox->setCurrentIndex(0);
    } else if (value == QLatin1String("Yes")) {
        m_comboBox->setCurrentIndex(1);
        stretchFlag = 1;
    }
    connectList();
}

void PropertyLviBool::chosen(const QString& word) {
    stretchFlag = word == QLatin1String("No") ? 0 : 1;
}

void PropertyLviBool::apply() {
    if (onEventsPage()) {
        const int kind = selectedKind();
        if (kind == HYPERLINK || kind == FRAMEOBJECT)
            applyEvent(eventIndex);
        return;
    }
    refreshItem();
}
