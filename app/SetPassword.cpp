#include "app/SetPassword.h"

#include "app/PasswordFile.h"
#include "app/ShellMessage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QLineEdit* passwordEdit(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(x, y, w, h);
    e->setMinimumSize(0, 0);
    e->setFixedSize(w, h);
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(8);
    return e;
}
} // namespace

SetPassword::SetPassword(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(name ? name : "");
    setModal(true);
    setWindowTitle("Set Password");
    initDialog();
    connect(m_edit1, &QLineEdit::returnPressed, this, &SetPassword::slotTake);
    connect(m_ok, &QPushButton::clicked, this, &SetPassword::checksame);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SetPassword::initDialog() {
    setFixedSize(390, 100);
    setFocusPolicy(Qt::StrongFocus);
    auto label = [this](const char* name, const char* text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(x, y, w, h);
        l->setMinimumSize(0, 0);
        l->setFixedSize(w, h);
        return l;
    };
    auto button = [this](const char* name, const char* text, int x, int y, int w, int h) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setGeometry(x, y, w, h);
        b->setMinimumSize(0, 0);
        b->setFixedSize(w, h);
        // Return in a field takes its text; it must not press OK as well.
        b->setAutoDefault(false);
        return b;
    };
    m_label1 = label("QLabel1", "Password (Max. 8 chars)", 10, 10, 200, 30);
    m_label2 = label("QLabel2", "Re-enter", 10, 50, 100, 30);
    m_edit1 = passwordEdit(this, "QLineEdit1", 210, 10, 90, 30);
    m_edit2 = passwordEdit(this, "QLineEdit2", 210, 50, 90, 30);
    m_ok = button("QPushButton1", "OK", 310, 10, 70, 30);
    m_cancel = button("QPushButton2", "Cancel", 310, 50, 70, 30);
    m_edit1->setFocus();
}

void SetPassword::slotTake() {
    m_edit2->setFocus();
    m_password = m_edit1->text();
    connect(m_edit2, &QLineEdit::returnPressed, this, &SetPassword::slotTake1, Qt::UniqueConnection);
}

void SetPassword::slotTake1() {
    m_reEntry = m_edit2->text();
    m_ok->setFocus();
}

void SetPassword::checksame() {
    if (m_password != m_reEntry) {
        ShellMessage::show(ShellMessage::Kind::Warning, "Message",
                           "Error9889:Re-typed Password doesn't match");
        m_result = false;
        reject();
        return;
    }
    // Write first: success is only reported for a password that was stored.
    if (!PasswordFile::write(m_password)) {
        ShellMessage::show(ShellMessage::Kind::Warning, "Message",
                           "Error : the password could not be written to password.txt");
        m_result = false;
        reject();
        return;
    }
    ShellMessage::show(ShellMessage::Kind::Information, "Velmora", "Password is set");
    m_result = true;
    accept();
}
