// Editor of a gradient fill (editor type 9): "..." shows the gradient fill
// set-up dialog, which does its own work and writes nothing into the line.
// The dialog comes from the maker the program installs (GradientDialogMaker).
#pragma once

#include "properties/editors/PropertyLviExtEdit.h"

class QDialog;

class PropertyLviCGradientFillSetUp : public PropertyLviExtEdit {
    Q_OBJECT
  public:
    PropertyLviCGradientFillSetUp(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                  const char* name);

    // The editor's own dialog, hidden until "..." is pressed; null when no
    // maker is installed.
    QDialog* getGradientDialog() const { return gradientDialog; }

  public slots:
    void btnPressed();
    void slotPrintGradientFill(char* text);

  private:
    QDialog* gradientDialog;
};
