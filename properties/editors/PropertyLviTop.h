// Editor of an object's top edge (editor type 28): 0 .. screen height - object height.
#pragma once

#include "properties/editors/PropertyLviNumber.h"

class PropertyLviTop : public PropertyLviNumber {
    Q_OBJECT
  public:
    PropertyLviTop(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);

  public slots:
    // The object's height changed.
    void slotSetTop(int height) override;
};
