#include "properties/editors/PropertyLviAttribute.h"

#include "properties/EditPropertyEntry.h"

PropertyLviAttribute::PropertyLviAttribute(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                           const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    if (entry && entry->data == QLatin1String("HYPERLINK"))
        fill({"Rectangle", "3D", "Rounded", "Shadowed", "Clear", "Windows 98"}, 1);
    else
        fill({"None", "Rectangle", "3D"}, 1);
    connectList();
}
