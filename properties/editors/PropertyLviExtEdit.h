// Base of the editors whose value is chosen in a dialog: a line that shows
// the value and a narrow "..." button at its right that opens the dialog.
// The line commits on every change of its text, so a dialog's answer reaches
// the entry and the object by being written into the line; text the author
// types stands for no choice and becomes "[None]".
#pragma once

#include "properties/PropertyLviBase.h"

class QLineEdit;
class QPushButton;

class PropertyLviExtEdit : public PropertyLviBase {
    Q_OBJECT
  public:
    PropertyLviExtEdit(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);

    QString getText() override;
    QLineEdit* getLineEdit() const { return lineEdit; }
    QPushButton* getButton() const { return button; }

    static constexpr int BUTTON_WIDTH = 15;
    static const char* const NONE_TEXT;

  public slots:
    // On the line's text change and Return.
    virtual void returnPressed();

  protected:
    void resizeEvent(QResizeEvent* e) override;
    // Steps shared by every commit: typed text becomes "[None]" (false: that
    // change commits by itself), the entry takes the line's text (true).
    bool takeLineText();
    // Hands the committed value to the object; the Properties list's way by default.
    virtual void commit();
    // Sets the line's text; the change commits. A text equal to the line's
    // commits nothing.
    void setLineText(const QString& text);

    QPushButton* button;
    QLineEdit* lineEdit;
};
