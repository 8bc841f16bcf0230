// Validation target of a hyperlink event (editor type 8): "[None]" or one of
// the current frame's validation fields. A choice also stores the field's
// position (from 1) in the entry's valueId.
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviValidateTarget : public PropertyLviChoice {
  public:
    PropertyLviValidateTarget(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                              const char* name, int eventIndex);
    int getIndex();

  protected:
    void chosen(const QString& word) override;
    void apply() override;

  private:
    int32_t fieldCount = 0;
};
