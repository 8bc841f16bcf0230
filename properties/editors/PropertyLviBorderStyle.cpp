#include "properties/editors/PropertyLviBorderStyle.h"

PropertyLviBorderStyle::PropertyLviBorderStyle(QWidget* parent, PropertyBoxClient* view,
                                               EditPropertyEntry* entry, const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviBorderStyle::words() {
    static const QStringList list{"Null", "Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"};
    return list;
}
