// The Set Password dialog: a password of at most 8 characters typed twice.
// Each field's text is taken when Return is pressed in it; OK compares the
// taken texts and writes password.txt.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class SetPassword : public QDialog {
    Q_OBJECT
  public:
    SetPassword(QWidget* parent, const char* name);

    bool resultFlag() const { return m_result; }
    QLineEdit* passwordField() const { return m_edit1; }
    QLineEdit* reEnterField() const { return m_edit2; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  public slots:
    void slotTake();
    void slotTake1();
    void checksame();

  private:
    void initDialog();

    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QLineEdit* m_edit2 = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_password;
    QString m_reEntry;
    bool m_result = false;
};
