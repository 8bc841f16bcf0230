// Editor of a validation field's "Validation String" (editor type 23): "..."
// runs its own validation string dialog on the shared working copy
// PropertyLviBase::VRmuValidStr of the field's strings and keys. Closed with
// Close, the dialog's strings become the working copy and the string chosen
// last the row's value; the field then applies the row. The line is read-only.
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

class HotKeyCtrl;

class PropertyLviValidationString : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    PropertyLviValidationString(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                const char* name);

    HotKeyCtrl* getHotKeyCtrl() const { return hotKeyDialog; }

  public slots:
    void btnPressed();

  signals:
    // Declared by the editor's interface; nothing emits them.
    void signalPropertyFromValString();
    void signalShow();
    void signalText(char* text);
    void signalToHotKeyCtrl();

  private:
    // Rows and records of the dialog from the working copy, together.
    void fillDialog();
    // The dialog's strings into the working copy.
    void takeStrings();

    HotKeyCtrl* hotKeyDialog;
    QString chosenString;
};
