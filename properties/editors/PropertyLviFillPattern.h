// Fill pattern of a shape (editor type 17).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviFillPattern : public PropertyLviChoice {
  public:
    PropertyLviFillPattern(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                           const char* name);
    static const QStringList& words();
};
