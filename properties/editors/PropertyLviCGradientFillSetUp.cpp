#include "properties/editors/PropertyLviCGradientFillSetUp.h"

#include "properties/GradientDialogMaker.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

PropertyLviCGradientFillSetUp::PropertyLviCGradientFillSetUp(QWidget* parent, PropertyBoxClient* view,
                                                             EditPropertyEntry* entry, const char* name)
    : PropertyLviExtEdit(parent, view, entry, name), gradientDialog(GradientDialogMaker::make(this)) {
    connect(button, &QPushButton::clicked, this, &PropertyLviCGradientFillSetUp::btnPressed);
}

void PropertyLviCGradientFillSetUp::btnPressed() {
    if (gradientDialog)
        gradientDialog->show();
}

void PropertyLviCGradientFillSetUp::slotPrintGradientFill(char* text) {
    setLineText(QString::fromLocal8Bit(text ? text : ""));
}
