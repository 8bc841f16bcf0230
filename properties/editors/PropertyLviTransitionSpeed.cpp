#include "properties/editors/PropertyLviTransitionSpeed.h"

#include "store/DrawingObjectType.h"

PropertyLviTransitionSpeed::PropertyLviTransitionSpeed(QWidget* parent, PropertyBoxClient* view,
                                                       EditPropertyEntry* entry, const char* name,
                                                       int eventIndex)
    : PropertyLviChoice(parent, view, entry, name, eventIndex) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviTransitionSpeed::words() {
    static const QStringList list{"Slow", "Medium", "Fast"};
    return list;
}

// Only the frame object takes a transition, whichever page is shown.
void PropertyLviTransitionSpeed::apply() {
    if (selectedKind() == FRAMEOBJECT)
        applyEvent(eventIndex);
}
