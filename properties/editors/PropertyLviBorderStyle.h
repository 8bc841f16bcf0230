// Border or line style (editor type 16).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviBorderStyle : public PropertyLviChoice {
  public:
    PropertyLviBorderStyle(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                           const char* name);
    static const QStringList& words();
};
