#include "properties/editors/PropertyLviButtonStyle.h"

PropertyLviButtonStyle::PropertyLviButtonStyle(QWidget* parent, PropertyBoxClient* view,
                                               EditPropertyEntry* entry, const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviButtonStyle::words() {
    static const QStringList list{"Push Button", "Radio", "Check Box"};
    return list;
}
