// Frame attribute of a hyperlink, text field or validation field (editor
// type 10); the data "HYPERLINK" gives the hyperlink's six attributes.
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviAttribute : public PropertyLviChoice {
  public:
    PropertyLviAttribute(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                         const char* name);
};
