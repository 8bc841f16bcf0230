#include "properties/editors/PropertyLviTransitionEffect.h"

#include "store/DrawingObjectType.h"

PropertyLviTransitionEffect::PropertyLviTransitionEffect(QWidget* parent, PropertyBoxClient* view,
                                                         EditPropertyEntry* entry, const char* name,
                                                         int eventIndex)
    : PropertyLviChoice(parent, view, entry, name, eventIndex) {
    fill(words(), 0);
    connectList();
}

const QStringList& PropertyLviTransitionEffect::words() {
    static const QStringList list{"None",
                                  "Wipe left",
                                  "Wipe right",
                                  "Wipe top",
                                  "Wipe bottom",
                                  "Blinds left",
                                  "Blinds right",
                                  "Blinds top",
                                  "Blinds bottom",
                                  "Push left",
                                  "Push right",
                                  "Push top",
                                  "Push bottom",
                                  "Slide in left",
                                  "Slide in right",
                                  "Slide in top",
                                  "Slide in bottom",
                                  "Slide out left",
                                  "Slide out right",
                                  "Slide out top",
                                  "Slide out bottom"};
    return list;
}

// Only the frame object takes a transition, whichever page is shown.
void PropertyLviTransitionEffect::apply() {
    if (selectedKind() == FRAMEOBJECT)
        applyEvent(eventIndex);
}
