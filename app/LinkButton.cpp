#include "app/LinkButton.h"

#include <QApplication>
#include <QDebug>
#include <QLoggingCategory>
#include <QProcess>

Q_LOGGING_CATEGORY(lcLinkButton, "velmora.app.linkbutton", QtWarningMsg)

LinkButton::LinkButton(QWidget* parent, const char* name) : QPushButton(parent) {
    setObjectName(name ? name : "");
}

void LinkButton::mousePressEvent(QMouseEvent*) {
    // Started in the background; the press neither shows the button down nor
    // emits clicked().
    QProcess::startDetached(browserCommand(), {text()});
}

void LinkButton::enterEvent(QEnterEvent*) {
    if (m_cursorSet)
        return;
    QApplication::setOverrideCursor(Qt::PointingHandCursor);
    m_cursorSet = true;
}

void LinkButton::leaveEvent(QEvent*) {
    // Only the cursor this button set is restored.
    if (!m_cursorSet)
        return;
    QApplication::restoreOverrideCursor();
    m_cursorSet = false;
}

void LinkButton::focusInEvent(QFocusEvent*) {
    qCDebug(lcLinkButton, "in focus event");
}
