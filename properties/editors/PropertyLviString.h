// Editor of free text (editor type 1): a line edit that commits on every
// change and on Return.
#pragma once

#include "properties/PropertyLviBase.h"

class QLineEdit;

class PropertyLviString : public PropertyLviBase {
    Q_OBJECT
  public:
    PropertyLviString(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name,
                      int eventIndex);
    QString getText() override;
    QLineEdit* lineEdit() const { return m_lineEdit; }

    static constexpr int NAME_LENGTH = 30;
    static constexpr int TOOLTIP_LENGTH = 20;

  public slots:
    void textChanged();
    void returnPressed();

  signals:
    // Return committed an empty text.
    void signalObjectName();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void commit();

    int32_t eventIndex;
    QLineEdit* m_lineEdit;
};
