// Fill mode of a shape (editor type 18).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviFillMode : public PropertyLviChoice {
  public:
    PropertyLviFillMode(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);
    static const QStringList& words();
};
