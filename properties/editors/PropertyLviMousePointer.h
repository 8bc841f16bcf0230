// Mouse pointer of a hyperlink's pointer event (editor type 22).
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviMousePointer : public PropertyLviChoice {
  public:
    PropertyLviMousePointer(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                            const char* name, int eventIndex);
    static const QStringList& words();

  protected:
    void apply() override;
};
