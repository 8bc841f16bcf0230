#include "app/ClearPassword.h"

#include "app/PasswordFile.h"
#include "app/ShellMessage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ClearPassword::ClearPassword(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(name ? name : "");
    setModal(true);
    setWindowTitle("Clear Password");
    initDialog();
    connect(m_ok, &QPushButton::clicked, this, &ClearPassword::checkExistSame);
    connect(m_edit, &QLineEdit::returnPressed, this, &ClearPassword::checkExistSame);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ClearPassword::initDialog() {
    setFixedSize(300, 90);
    setFocusPolicy(Qt::StrongFocus);
    m_label = new QLabel("Existing Password", this);
    m_label->setGeometry(10, 10, 150, 30);
    m_edit = new QLineEdit(this);
    m_edit->setGeometry(180, 10, 90, 30);
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setMaxLength(8);
    m_ok = new QPushButton("ok", this);
    m_ok->setGeometry(50, 50, 60, 30);
    m_ok->setFixedSize(60, 30);
    m_cancel = new QPushButton("cancel", this);
    m_cancel->setGeometry(150, 50, 70, 30);
    m_cancel->setFixedSize(70, 30);
    for (QWidget* w : {static_cast<QWidget*>(m_label), static_cast<QWidget*>(m_edit),
                       static_cast<QWidget*>(m_ok), static_cast<QWidget*>(m_cancel)}) {
        w->setObjectName("NoName");
        w->setMinimumSize(0, 0);
    }
    // Return in the field runs the check once, not again through OK.
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    m_edit->setFocus();
}

void ClearPassword::checkExistSame() {
    m_ok->setFocus();
    const QString typed = m_edit->text();
    const auto stored = PasswordFile::read();
    if (!stored) {
        ShellMessage::show(ShellMessage::Kind::Warning, "Warning",
                           "No password is set (password.txt not found)");
        m_result = false;
        reject();
        return;
    }
    if (typed == *stored) {
        ShellMessage::show(ShellMessage::Kind::Information, "Velmora", "Password  is Cleared");
        m_result = true;
        accept();
    } else {
        ShellMessage::show(ShellMessage::Kind::Warning, "Warning", "Error :Illegal Operation Performed");
        m_result = false;
        reject();
    }
}
