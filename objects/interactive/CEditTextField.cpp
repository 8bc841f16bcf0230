#include "objects/interactive/CEditTextField.h"

#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CTextField.h"
#include "objects/interactive/ControlPayload.h"
#include "objects/interactive/InteractiveHost.h"

#include <QKeyEvent>
#include <QVBoxLayout>

CEditTextField::CEditTextField(CTextField* owner, QWidget* parent, InteractiveHost* host)
    : QFrame(parent), m_owner(owner), m_host(host),
      m_frame(InPlaceEditorFrame::Policy::textField(), this, owner, parent, host) {
    m_record.recordSize = NVAllObjects::STORED_SIZE;
    m_record.drawingObject = TEXTFIELD;
    m_record.payload = sTextField{};
    m_entry = new CEditTextFieldTextField(host, this, "multiline");
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(1, 1, 1, 1);
    m_layout->addWidget(m_entry);
    setMouseTracking(true);
    connect(m_entry, &QPlainTextEdit::textChanged, this, &CEditTextField::returnPressed);
}

InPlaceEditorFrame::Box CEditTextField::frameRect() const {
    return controlBoxOf(field());
}

void CEditTextField::setFrameRect(const InPlaceEditorFrame::Box& b) {
    setControlBox(field(), b);
}

void CEditTextField::emitSelected() {
    emit signalSelectedTextField(m_owner);
}

void CEditTextField::emitMoved(const QRect& before) {
    emit signalMovedTextField(before);
}

bool CEditTextField::forwarded() const {
    return m_owner && m_owner->interacting();
}

void CEditTextField::returnPressed() {
    field().text = toStoredText(m_entry->toPlainText());
}

void CEditTextField::keyPressEvent(QKeyEvent* event) {
    // Accepted in every case, so that it does not travel on to the holder.
    event->accept();
    if (m_host && m_host->checkFrameStatus())
        return;
    if (m_entry->hasFocus())
        return;
    if (m_host)
        m_host->holderKeyPress(event);
}
