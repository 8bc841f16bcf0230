// The Clear Password dialog: the existing password typed once; the file is
// left as it is.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class ClearPassword : public QDialog {
    Q_OBJECT
  public:
    ClearPassword(QWidget* parent, const char* name);

    bool resultFlag() const { return m_result; }
    QLineEdit* entryField() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  public slots:
    void checkExistSame();

  private:
    void initDialog();

    QLabel* m_label = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_result = false;
};
