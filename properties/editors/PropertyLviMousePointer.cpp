#include "properties/editors/PropertyLviMousePointer.h"

#include "store/DrawingObjectType.h"

PropertyLviMousePointer::PropertyLviMousePointer(QWidget* parent, PropertyBoxClient* view,
                                                 EditPropertyEntry* entry, const char* name, int eventIndex)
    : PropertyLviChoice(parent, view, entry, name, eventIndex) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviMousePointer::words() {
    static const QStringList list{"Finger", "Arrow", "Hourglass", "Crosshair", "Ibeam"};
    return list;
}

// Only a hyperlink's event takes it, and only from the Events page.
void PropertyLviMousePointer::apply() {
    if (onEventsPage() && selectedKind() == HYPERLINK)
        applyEvent(eventIndex);
}
