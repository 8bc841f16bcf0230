#include "properties/editors/PropertyLviValidationString.h"

#include "properties/HotKeyCtrl.h"
#include "properties/PropertyBoxClient.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <algorithm>

PropertyLviValidationString::PropertyLviValidationString(QWidget* parent, PropertyBoxClient* view,
                                                         EditPropertyEntry* entry, const char* name)
    : PropertyLviExtEdit(parent, view, entry, name), hotKeyDialog(new HotKeyCtrl(this, nullptr)) {
    lineEdit->setReadOnly(true);
    connect(button, &QPushButton::clicked, this, &PropertyLviValidationString::btnPressed);
}

void PropertyLviValidationString::fillDialog() {
    HotKeyCtrl& d = *hotKeyDialog;
    d.stringsList->clear();
    d.keysList->clear();
    d.strings.clear();
    for (const sMultiValidationString& s : VRmuValidStr) {
        d.stringsList->addItem(QString::fromLatin1(s.text.data(), qsizetype(s.text.size())));
        sMultiValidationString copy;
        copy.text = s.text;
        copy.flag = s.flag;
        copy.nKeyCount = s.nKeyCount;
        if (s.nKeyCount > 0) {
            copy.keys.resize(size_t(s.nKeyCount));
            for (size_t k = 0; k < copy.keys.size() && k < s.keys.size(); ++k)
                copy.keys[k].uiValidationKey = s.keys[k].uiValidationKey;
        }
        d.strings.push_back(std::move(copy));
    }
    d.removeButton->setEnabled(!d.strings.empty());
}

void PropertyLviValidationString::takeStrings() {
    const std::vector<sMultiValidationString>& from = hotKeyDialog->strings;
    VRmuValidStr.resize(from.size());
    for (size_t j = 0; j < from.size(); ++j) {
        sMultiValidationString& to = VRmuValidStr[j];
        to.text = from[j].text;
        to.flag = from[j].flag;
        to.nKeyCount = from[j].nKeyCount;
        // Only the key words: a key's event stays the field's.
        to.keys.resize(size_t(std::max(0, from[j].nKeyCount)));
        for (size_t k = 0; k < to.keys.size() && k < from[j].keys.size(); ++k)
            to.keys[k].uiValidationKey = from[j].keys[k].uiValidationKey;
    }
}

void PropertyLviValidationString::btnPressed() {
    HotKeyCtrl& d = *hotKeyDialog;
    if (bNotFirstEntry == 1) {
        fillDialog();
        bNotFirstEntry = 0;
    }
    d.setField(view, selectedItem);
    QPalette p = d.keyLabel->palette();
    p.setColor(QPalette::Window, d.stringLine->palette().color(QPalette::Base));
    d.keyLabel->setPalette(p);

    const QPointer<PropertyLviValidationString> self(this);
    const int result = d.exec();
    if (!self)
        return;
    if (result == QDialog::Accepted) {
        bNotFirstEntry = 1;
        takeStrings();
        d.stringsList->clearSelection();
        d.keysList->clear();
        if (d.strings.empty()) {
            bNotFirstEntry = 0;
            chosenString.clear();
        }
        if (!d.selectedStringLine->text().isEmpty())
            chosenString = d.selectedStringLine->text();
    } else if (selectedItem && view) {
        // Deletions have reached the field already; the working copy
        // follows the field, so nothing else the dialog did is kept.
        view->loadValidationStrings(selectedItem);
    }
    d.selectedStringLine->clear();
    // The line's change commits; that apply may rebuild the lists.
    setLineText(chosenString);
    if (self)
        refreshItem();
}
