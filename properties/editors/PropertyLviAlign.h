// Alignment (editor type 14); the words depend on the entry's data: a
// bitmap's placement, a validation field's text, or a hyperlink's text.
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviAlign : public PropertyLviChoice {
  public:
    PropertyLviAlign(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);
};
