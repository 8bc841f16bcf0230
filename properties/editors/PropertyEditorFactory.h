// Chooses the in-place editor of a row by the entry's editor type and the
// list the row is in: the same type gives different editors, or none, in the
// Properties list and in the three kinds of event set.
#pragma once

#include "properties/PropertyRowEditors.h"

class QWidget;
class EditPropertyEntry;
class PropertyBoxClient;
class PropertyLviBase;

class PropertyEditorFactory {
  public:
    using ListKind = PropertyRowEditors::ListKind;

    // Makes create() the property box's maker of row editors.
    static void install();

    // The editor for the entry, made hidden with `parent`; null when the row
    // gets none. `first` and `second` are the context numbers: 0 and 0 in the
    // Properties list, 0 and the event in an event set, the string and the
    // key in a validation set. Editors with one number take `second`.
    static PropertyLviBase* create(ListKind list, int editorType, QWidget* parent, PropertyBoxClient* view,
                                   EditPropertyEntry* entry, int first, int second);
};
