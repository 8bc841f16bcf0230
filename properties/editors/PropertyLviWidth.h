// Editor of an object's width (editor type 29): 5 .. screen width - object left.
#pragma once

#include "properties/editors/PropertyLviNumber.h"

class PropertyLviWidth : public PropertyLviNumber {
    Q_OBJECT
  public:
    PropertyLviWidth(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);

  public slots:
    void returnPressed() override;
    // The object's left edge changed.
    void slotSetWidth(int left) override;
};
