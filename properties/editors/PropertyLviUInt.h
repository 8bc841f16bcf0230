// Editor of small unsigned numbers (editor type 13): line coordinates, counts, delays.
#pragma once

#include "properties/editors/PropertyLviNumber.h"

class PropertyLviUInt : public PropertyLviNumber {
    Q_OBJECT
  public:
    PropertyLviUInt(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);
};
