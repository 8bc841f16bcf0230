#include "properties/PropertyRowEditors.h"

namespace {
PropertyRowEditors::Maker& installed() {
    static PropertyRowEditors::Maker maker = nullptr;
    return maker;
}
} // namespace

void PropertyRowEditors::install(Maker maker) {
    installed() = maker;
}

PropertyLviBase* PropertyRowEditors::create(ListKind list, int editorType, QWidget* parent,
                                            PropertyBoxClient* view, EditPropertyEntry* entry, int first,
                                            int second) {
    Maker maker = installed();
    return maker ? maker(list, editorType, parent, view, entry, first, second) : nullptr;
}
