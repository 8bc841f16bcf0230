// Two-choice list (editor type 2): "Off"/"On", "Disable"/"Enable" or
// "No"/"Yes" by the entry's data. A choice also sets the shared stretch flag.
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviBool : public PropertyLviChoice {
  public:
    PropertyLviBool(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name,
                    int eventIndex);

  protected:
    void chosen(const QString& word) override;
    void apply() override;
};
