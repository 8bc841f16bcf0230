// Editor of an object's height (editor type 30): 5 .. screen height - object top.
#pragma once

#include "properties/editors/PropertyLviNumber.h"

class PropertyLviHeight : public PropertyLviNumber {
    Q_OBJECT
  public:
    PropertyLviHeight(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);

  public slots:
    void returnPressed() override;
    // The object's top edge changed.
    void slotSetHeight(int top) override;
};
