// Editor of an object's left edge (editor type 27): 0 .. screen width - object width.
#pragma once

#include "properties/editors/PropertyLviNumber.h"

class PropertyLviLeft : public PropertyLviNumber {
    Q_OBJECT
  public:
    PropertyLviLeft(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);

  public slots:
    // The object's width changed.
    void slotSetLeft(int width) override;
};
