#include "properties/editors/PropertyLviFillMode.h"

PropertyLviFillMode::PropertyLviFillMode(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                         const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviFillMode::words() {
    static const QStringList list{"Opaque", "Transparent"};
    return list;
}
