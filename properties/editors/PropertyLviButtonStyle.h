// Button style of a hyperlink (editor type 19).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviButtonStyle : public PropertyLviChoice {
  public:
    PropertyLviButtonStyle(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                           const char* name);
    static const QStringList& words();
};
