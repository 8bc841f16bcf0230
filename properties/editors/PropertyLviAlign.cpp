#include "properties/editors/PropertyLviAlign.h"

#include "properties/EditPropertyEntry.h"

PropertyLviAlign::PropertyLviAlign(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                   const char* name)
    : PropertyLviChoice(parent, view, entry, name, 0) {
    const QString data = entry ? entry->data : QString();
    if (data == QLatin1String("BITMAPOBJECT"))
        fill({"[None]", "Center", "Top Right", "Bottom Right", "Top Left", "Bottom Left"}, 0);
    else if (data == QLatin1String("VALIDATIONFIELD"))
        fill({"Left", "Center", "Right"}, 0);
    else
        fill({"Center", "Left", "Right", "Top", "Bottom"}, 0);
    connectList();
}
