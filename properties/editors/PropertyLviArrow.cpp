#include "properties/editors/PropertyLviArrow.h"

PropertyLviArrow::PropertyLviArrow(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                   const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviArrow::words() {
    static const QStringList list{"None", "Start", "End", "Both"};
    return list;
}
