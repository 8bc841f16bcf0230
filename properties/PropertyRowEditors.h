// How the property box makes the in-place editor of a row. The editors live
// in a library that builds on the box (properties/editors), so the box does
// not name them: the program installs one maker at start-up
// (PropertyEditorFactory::install() does it) and the box asks it. Without a
// maker, rows show their values without an editor.
#pragma once

class QWidget;
class EditPropertyEntry;
class PropertyBoxClient;
class PropertyLviBase;

struct PropertyRowEditors {
    enum ListKind {
        PROPERTIES,     // the Properties list
        LONG_SET,       // a hyperlink's click event
        SHORT_SET,      // a frame event or a hyperlink's pointer event
        VALIDATION_SET, // one key of a validation string
    };

    // Makes the editor for the entry hidden with `parent`, or returns null.
    // `first` and `second` are the row's context numbers (see
    // PropertyEditorFactory::create).
    using Maker = PropertyLviBase* (*)(ListKind list, int editorType, QWidget* parent,
                                       PropertyBoxClient* view, EditPropertyEntry* entry, int first,
                                       int second);

    static void install(Maker maker);
    // The installed maker's editor; null when no maker is installed.
    static PropertyLviBase* create(ListKind list, int editorType, QWidget* parent, PropertyBoxClient* view,
                                   EditPropertyEntry* entry, int first, int second);
};
