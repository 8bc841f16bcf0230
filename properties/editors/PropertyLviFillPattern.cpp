#include "properties/editors/PropertyLviFillPattern.h"

PropertyLviFillPattern::PropertyLviFillPattern(QWidget* parent, PropertyBoxClient* view,
                                               EditPropertyEntry* entry, const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviFillPattern::words() {
    static const QStringList list{"Solid",         "Vertical",       "Horizontal",    "Cross",
                                  "Left Diagonal", "Right Diagonal", "Diagonal Cross"};
    return list;
}
