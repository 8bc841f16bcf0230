#include "objects/interactive/CEditTextFieldTextField.h"

#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/InteractiveHost.h"

#include <QKeyEvent>
#include <QMouseEvent>

CEditTextEntry::CEditTextEntry(InteractiveHost* host, QWidget* editor, const char* name)
    : QPlainTextEdit(editor), m_host(host), m_editor(editor) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    // A right click selects the object and shows the property box, not the
    // edit's own menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

bool CEditTextEntry::locked() const {
    return m_host && m_host->checkFrameStatus();
}

bool CEditTextEntry::refuseWhileLocked() {
    if (!locked())
        return false;
    clearFocus();
    setReadOnly(true);
    return true;
}

void CEditTextEntry::slotSetScrollBar(QString word) {
    const QString w = word.toUpper();
    if (w == QLatin1String("YES")) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else if (w == QLatin1String("NO")) {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

void CEditTextEntry::mouseDoubleClickEvent(QMouseEvent* event) {
    if (refuseWhileLocked()) {
        event->accept();
        return;
    }
    setEnabled(true);
    setReadOnly(false);
    event->accept();
}

// ---- text field ----

CEditTextFieldTextField::CEditTextFieldTextField(InteractiveHost* host, CEditTextField* editor,
                                                 const char* name)
    : CEditTextEntry(host, editor, name), m_textEditor(editor) {
    setFrameStyle(QFrame::NoFrame);
}

void CEditTextFieldTextField::mousePressEvent(QMouseEvent* event) {
    // The toolkit has already moved the focus here, as on any click.
    if (m_textEditor)
        m_textEditor->framePress(event);
    event->accept();
}

void CEditTextFieldTextField::mouseMoveEvent(QMouseEvent* event) {
    if (m_textEditor && !locked())
        m_textEditor->frameMove(event);
    event->accept();
}

void CEditTextFieldTextField::mouseReleaseEvent(QMouseEvent* event) {
    if (m_textEditor && !locked())
        m_textEditor->frameRelease(event);
    event->accept();
}

void CEditTextFieldTextField::keyPressEvent(QKeyEvent* event) {
    // Accepted in every case: an unaccepted key would travel on to the
    // editor and the holder, and be handled twice.
    event->accept();
    if (refuseWhileLocked())
        return;
    if (m_textEditor && m_textEditor->hasTextFile())
        return;
    QPlainTextEdit::keyPressEvent(event);
    event->accept();
    if (m_textEditor && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter))
        m_textEditor->returnPressed();
}

// ---- instruction box ----

CEditInstructionBoxTextField::CEditInstructionBoxTextField(InteractiveHost* host, QWidget* editor,
                                                           const char* name)
    : CEditTextEntry(host, editor, name) {}

void CEditInstructionBoxTextField::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CEditInstructionBoxTextField::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void CEditInstructionBoxTextField::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (locked())
        return;
    // A right click in the text selects the box whether or not its title bar shows.
    const bool rightClick = event->button() == Qt::RightButton && event->buttons() == Qt::NoButton;
    if ((m_titleBar ? m_titleBar() : 0) == 0 || rightClick)
        emit signalLabelReleased(event);
}

void CEditInstructionBoxTextField::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (refuseWhileLocked())
        return;
    QPlainTextEdit::keyPressEvent(event);
    event->accept();
}
