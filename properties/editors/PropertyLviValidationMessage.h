// Editor of a validation message (editor type 25): the message entry of a
// hyperlink click event and of a validation key. "..." runs its own message
// dialog on the shared message record; on the Events page the hyperlink
// takes the event's entries, the validation field the key's. The line is
// read-only and keeps the entry's text.
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

#include <cstdint>

class ValidationError;

class PropertyLviValidationMessage : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    // eventIndex is the key's number for a validation key; stringIndex is 0
    // for hyperlink events.
    PropertyLviValidationMessage(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                 const char* name, int stringIndex, int eventIndex);

    ValidationError* getMessageDialog() const { return messageDialog; }

    static const char* const CAPTION;
    static const char* const PROMPT;

  public slots:
    void btnPressed();

  private:
    ValidationError* messageDialog;
    int32_t eventIndex;
    int32_t stringIndex;
};
