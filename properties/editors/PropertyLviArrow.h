// Arrow heads of a line (editor type 7).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviArrow : public PropertyLviChoice {
  public:
    PropertyLviArrow(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);
    static const QStringList& words();
};
