// Transition speed of a frame event (editor type 21).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviTransitionSpeed : public PropertyLviChoice {
  public:
    PropertyLviTransitionSpeed(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                               const char* name, int eventIndex);
    static const QStringList& words();

  protected:
    void apply() override;
};
