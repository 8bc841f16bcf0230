// Go-to frame of a hyperlink event or a validation key (editor type 26):
// "0" (no go-to), "Next", "Previous" or a frame name. A choice of a frame
// stores its number (from 0) in the entry's valueId.
#pragma once

#include "properties/editors/PropertyLviChoice.h"

class PropertyLviValidationFrame : public PropertyLviChoice {
  public:
    PropertyLviValidationFrame(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                               const char* name, int stringIndex, int eventIndex);

  protected:
    void chosen(const QString& word) override;
    void apply() override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    int32_t frameCount = 0;
    int32_t stringIndex;
};
