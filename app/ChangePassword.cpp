#include "app/ChangePassword.h"

#include "app/PasswordFile.h"
#include "app/ShellMessage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ChangePassword::ChangePassword(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(name ? name : "");
    setModal(true);
    setWindowTitle("Change Password");
    initDialog();
    connect(m_old, &QLineEdit::returnPressed, this, &ChangePassword::checkForOld);
    connect(m_ok, &QPushButton::clicked, this, &ChangePassword::slotcheckSame);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ChangePassword::initDialog() {
    setFixedSize(330, 150);
    auto fix = [](QWidget* w, const char* name, int x, int y, int wd, int h) {
        w->setObjectName(name);
        w->setGeometry(x, y, wd, h);
        w->setMinimumSize(0, 0);
        w->setFixedSize(wd, h);
    };
    auto label = [&](const char* name, const char* text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        fix(l, name, x, y, w, h);
        return l;
    };
    auto button = [&](const char* name, const char* text, int x, int y, int w, int h) {
        auto* b = new QPushButton(text, this);
        fix(b, name, x, y, w, h);
        b->setAutoDefault(false);
        return b;
    };
    auto edit = [&](const char* name, int x, int y, int w, int h) {
        auto* e = new QLineEdit(this);
        fix(e, name, x, y, w, h);
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(8);
        return e;
    };
    m_oldLabel = label("QLabel_1", "Old Password", 10, 20, 120, 30);
    m_ok = button("QPushButton_1", "OK", 240, 30, 70, 30);
    m_cancel = button("QPushButton_2", "Cancel", 240, 80, 70, 30);
    m_newLabel = label("QLabel_2", "New Password", 10, 60, 120, 30);
    m_newLabel->setEnabled(false);
    m_retypeLabel = label("QLabel_3", "Retype", 10, 100, 120, 30);
    m_retypeLabel->setEnabled(false);
    m_old = edit("QLineEdit_1", 140, 20, 80, 30);
    m_new = edit("QLineEdit_2", 140, 60, 80, 30);
    m_new->setEnabled(false);
    m_retype = edit("QLineEdit_3", 140, 100, 80, 30);
    m_retype->setEnabled(false);
    m_old->setFocus();
}

void ChangePassword::checkForOld() {
    const auto stored = PasswordFile::read();
    if (!stored) {
        // Nothing to compare against: say so and keep the program running.
        ShellMessage::show(ShellMessage::Kind::Warning, "Message",
                           "No password is set (password.txt not found)");
        return;
    }
    if (m_old->text() != *stored)
        return;
    m_newLabel->setEnabled(true);
    m_retypeLabel->setEnabled(true);
    m_new->setEnabled(true);
    m_retype->setEnabled(true);
    m_new->setFocus();
    connect(m_new, &QLineEdit::returnPressed, this, &ChangePassword::typeNewPass, Qt::UniqueConnection);
}

void ChangePassword::typeNewPass() {
    m_newPassword = m_new->text();
    m_retype->setFocus();
    connect(m_retype, &QLineEdit::returnPressed, this, &ChangePassword::slotReType, Qt::UniqueConnection);
}

void ChangePassword::slotReType() {
    m_retyped = m_retype->text();
    m_ok->setFocus();
}

void ChangePassword::slotcheckSame() {
    if (m_newPassword != m_retyped) {
        ShellMessage::show(ShellMessage::Kind::Warning, "Message", "Error : Re-typed password doesn't match");
        m_result = false;
        reject();
        return;
    }
    // The change counts only when the new password reads back from the file.
    if (!PasswordFile::write(m_newPassword) || PasswordFile::read() != m_newPassword) {
        ShellMessage::show(ShellMessage::Kind::Warning, "Message",
                           "Error : the password could not be written to password.txt");
        m_result = false;
        reject();
        return;
    }
    ShellMessage::show(ShellMessage::Kind::Information, "Velmora", "Password  is changed");
    m_result = true;
    accept();
}
