#include "properties/editors/PropertyLviColorEdit.h"

#include "properties/EditPropertyEntry.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace {
PropertyLviColorEdit::ColorChooser& colorChooser() {
    static PropertyLviColorEdit::ColorChooser chooser;
    return chooser;
}

QColor askColor(const QColor& initial, QWidget* parent) {
    // The editor may go while the dialog runs, and its children with it.
    QPointer<QColorDialog> dialog = new QColorDialog(initial, parent);
    dialog->setObjectName(QStringLiteral("ColorBox"));
    dialog->setOption(QColorDialog::ShowAlphaChannel);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return QColor();
    const QColor chosen = accepted ? dialog->selectedColor() : QColor();
    delete dialog;
    return chosen;
}
} // namespace

PropertyLviColorEdit::PropertyLviColorEdit(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                           const char* name)
    : PropertyLviExtEdit(parent, view, entry, name) {
    connect(button, &QPushButton::clicked, this, &PropertyLviColorEdit::slotSelectColor);
    lineEdit->setReadOnly(!entry || entry->data != QLatin1String("ForeColor"));
}

void PropertyLviColorEdit::setColorChooser(ColorChooser chooser) {
    colorChooser() = std::move(chooser);
}

void PropertyLviColorEdit::slotSelectColor() {
    QPointer<PropertyLviColorEdit> self(this);
    const QColor chosen =
        colorChooser() ? colorChooser()(initialColor(), this) : askColor(initialColor(), this);
    if (!self || !chosen.isValid())
        return;
    setLineText(chosen.name());
    lineEdit->setFocus();
}
