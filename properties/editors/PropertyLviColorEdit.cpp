#include "properties/editors/PropertyLviColorEdit.h"

#include "properties/EditPropertyEntry.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace {
PropertyLviColorEdit::ColorChooser& colorChooser() {
    static PropertyLviColorEdit::ColorChooser chooser;
    return chooser;
}

QColor askColor(const QColor& initial, QWidget* parent) {
    QColorDialog dialog(initial, parent);
    dialog.setObjectName(QStringLiteral("ColorBox"));
    dialog.setOption(QColorDialog::ShowAlphaChannel);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedColor() : QColor();
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
    const QColor chosen =
        colorChooser() ? colorChooser()(initialColor(), this) : askColor(initialColor(), this);
    if (!chosen.isValid())
        return;
    setLineText(chosen.name());
    lineEdit->setFocus();
}
