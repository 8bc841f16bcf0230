// The Change Password dialog: the old password unlocks the new-password and
// retype fields; OK compares the taken new and retyped texts and writes
// password.txt.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class ChangePassword : public QDialog {
    Q_OBJECT
  public:
    ChangePassword(QWidget* parent, const char* name);

    bool resultFlag() const { return m_result; }
    QLineEdit* oldField() const { return m_old; }
    QLineEdit* newField() const { return m_new; }
    QLineEdit* retypeField() const { return m_retype; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  public slots:
    void checkForOld();
    void typeNewPass();
    void slotReType();
    void slotcheckSame();

  private:
    void initDialog();

    QLabel* m_oldLabel = nullptr;
    QLabel* m_newLabel = nullptr;
    QLabel* m_retypeLabel = nullptr;
    QLineEdit* m_old = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_retype = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_newPassword;
    QString m_retyped;
    bool m_result = false;
};
