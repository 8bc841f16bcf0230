// Border or line style (editor type 16).
#pragma once

#include "properties/PropertyLviChoice.h"

class PropertyLviBorderStyle : public PropertyLviChoice {
  public:
    PropertyLviBorderStyle(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                           const char* name);
    static const QStringList& words();
};
