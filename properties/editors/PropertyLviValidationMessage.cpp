#include "properties/editors/PropertyLviValidationMessage.h"

#include "properties/editors/ValidationError.h"
#include "store/DrawingObjectType.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

const char* const PropertyLviValidationMessage::CAPTION = "Validation Message";
const char* const PropertyLviValidationMessage::PROMPT = "     Enter Validation Message ";

PropertyLviValidationMessage::PropertyLviValidationMessage(QWidget* parent, PropertyBoxClient* view,
                                                           EditPropertyEntry* entry, const char* name,
                                                           int stringIndex, int eventIndex)
    : PropertyLviExtEdit(parent, view, entry, name), messageDialog(new ValidationError(this, " Messages")),
      eventIndex(eventIndex), stringIndex(stringIndex) {
    lineEdit->setReadOnly(true);
    connect(button, &QPushButton::clicked, this, &PropertyLviValidationMessage::btnPressed);
}

void PropertyLviValidationMessage::btnPressed() {
    const QPointer<PropertyLviValidationMessage> self(this);
    messageDialog->editRecord(m_sValidMessage, bNotFirstMessage, QString::fromLatin1(CAPTION),
                              QString::fromLatin1(PROMPT), false);
    // On the Properties page nothing takes a message.
    if (!self || !onEventsPage())
        return;
    if (selectedKind() == HYPERLINK)
        applyEvent(eventIndex);
    else if (selectedKind() == VALIDATIONFIELD)
        applyEvent(stringIndex, eventIndex);
}
