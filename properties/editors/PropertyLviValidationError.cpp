#include "properties/editors/PropertyLviValidationError.h"

#include "properties/editors/ValidationError.h"
#include "store/DrawingObjectType.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

const char* const PropertyLviValidationError::CAPTION = "Validation Error Message";
const char* const PropertyLviValidationError::PROMPT = "     Enter Validation Error Message ";

PropertyLviValidationError::PropertyLviValidationError(QWidget* parent, PropertyBoxClient* view,
                                                       EditPropertyEntry* entry, const char* name,
                                                       int eventIndex)
    : PropertyLviExtEdit(parent, view, entry, name), eventIndex(eventIndex),
      messageDialog(new ValidationError(this, "Error Messages")) {
    lineEdit->setReadOnly(true);
    connect(button, &QPushButton::clicked, this, &PropertyLviValidationError::btnPressed);
}

void PropertyLviValidationError::btnPressed() {
    const QPointer<PropertyLviValidationError> self(this);
    messageDialog->editRecord(m_sValidError, bNotFirstError, QString::fromLatin1(CAPTION),
                              QString::fromLatin1(PROMPT), true);
    if (!self)
        return;
    if (!onEventsPage())
        refreshItem();
    else if (selectedKind() == HYPERLINK)
        applyEvent(eventIndex);
}
