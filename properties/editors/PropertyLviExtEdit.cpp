#include "properties/editors/PropertyLviExtEdit.h"

#include "properties/EditPropertyEntry.h"

#include <QLineEdit>
#include <QPushButton>

const char* const PropertyLviExtEdit::NONE_TEXT = "[None]";

PropertyLviExtEdit::PropertyLviExtEdit(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                       const char* name)
    : PropertyLviBase(parent, view, entry, name, 0), button(new QPushButton(QStringLiteral("..."), this)),
      lineEdit(new QLineEdit(this)) {
    setGeometry(0, 0, 0, 0);
    setFocusProxy(lineEdit);
    if (entry)
        lineEdit->setText(entry->value);
    connect(lineEdit, &QLineEdit::textChanged, this, &PropertyLviExtEdit::returnPressed);
    connect(lineEdit, &QLineEdit::returnPressed, this, &PropertyLviExtEdit::returnPressed);
}

QString PropertyLviExtEdit::getText() {
    return lineEdit ? lineEdit->text() : QString();
}

bool PropertyLviExtEdit::takeLineText() {
    if (lineEdit->isModified()) {
        lineEdit->setModified(false);
        const QString none = QString::fromLatin1(NONE_TEXT);
        if (lineEdit->text() != none) {
            // The change to "[None]" commits.
            lineEdit->setText(none);
            return false;
        }
    }
    lineEdit->setModified(false);
    if (!entry)
        return false;
    entry->value = lineEdit->text();
    return true;
}

void PropertyLviExtEdit::returnPressed() {
    if (takeLineText())
        commit();
}

void PropertyLviExtEdit::commit() {
    refreshItem();
}

void PropertyLviExtEdit::setLineText(const QString& text) {
    lineEdit->setModified(false);
    lineEdit->setText(text);
}

void PropertyLviExtEdit::resizeEvent(QResizeEvent*) {
    button->setGeometry(width() - BUTTON_WIDTH, 0, BUTTON_WIDTH, height());
    lineEdit->setGeometry(0, 0, width() - BUTTON_WIDTH, height() + 1);
}
