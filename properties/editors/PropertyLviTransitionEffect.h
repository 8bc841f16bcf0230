// Transition effect of a frame event (editor type 20).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviTransitionEffect : public PropertyLviChoice {
  public:
    PropertyLviTransitionEffect(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                const char* name, int eventIndex);
    static const QStringList& words();

  protected:
    void apply() override;
};
