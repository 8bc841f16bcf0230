// Editor of a validation error message (editor type 24): a validation
// field's "Validation Error Message" property and a hyperlink click event's
// error entry. "..." runs its own message dialog on the shared error record;
// the object takes the record when the row is applied. The line is read-only
// and keeps the entry's text.
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

#include <cstdint>

class ValidationError;

class PropertyLviValidationError : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    PropertyLviValidationError(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                               const char* name, int eventIndex);

    ValidationError* getMessageDialog() const { return messageDialog; }

    static const char* const CAPTION;
    static const char* const PROMPT;

  public slots:
    void btnPressed();

  private:
    int32_t eventIndex;
    ValidationError* messageDialog;
};
