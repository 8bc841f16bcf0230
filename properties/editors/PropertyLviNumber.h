// Shared part of the number editors (unsigned numbers and the four geometry
// rows): a spin box that commits on every value change.
#pragma once

#include "properties/PropertyLviBase.h"

class QSpinBox;

class PropertyLviNumber : public PropertyLviBase {
    Q_OBJECT
  public:
    QString getText() override;
    QSpinBox* spinBox() const { return m_spinBox; }

  public slots:
    // Commits the spin box's number.
    virtual void returnPressed();

  protected:
    PropertyLviNumber(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name);
    // Sets the range, then the entry's value (a text that is not a number
    // reads as 0; the spin box keeps it inside the range), then connects, so
    // building the editor commits nothing.
    void start(int minimum, int maximum);
    // True when the row is a bitmap's Width or Height and that bitmap is not
    // stretched: such a size is held at 50.
    bool holdsBitmapSize() const;
    // The hold: the entry and the spin box become 50.
    void applyBitmapHold();
    void resizeEvent(QResizeEvent* e) override;

    QSpinBox* m_spinBox;
};
