#include "objects/interactive/CEditInstructionBox.h"

#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditInstructionBoxLabel.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CInstructionBox.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"

#include <QKeyEvent>
#include <QVBoxLayout>

CEditInstructionBox::CEditInstructionBox(CInstructionBox* owner, QWidget* parent, InteractiveHost* host)
    : InPlaceEditorWidget(InPlaceEditorFrame::Policy::instructionBox(), owner, parent, host), m_owner(owner),
      m_host(host) {
    m_record.recordSize = NVAllObjects::STORED_SIZE;
    m_record.drawingObject = INSTRUCTIONBOX;
    m_record.payload = sInstructionBox{};
    m_label = new CEditInstructionBoxLabel(this, "label");
    m_entry = new CEditInstructionBoxTextField(host, this, "multiline");
    m_entry->setTitleBarSource([this] { return int(box().titleBar); });
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->addWidget(m_label);
    m_layout->addWidget(m_entry);
    setMouseTracking(true);
    connect(m_entry, &QPlainTextEdit::textChanged, this, &CEditInstructionBox::returnPressed);
}

QString CEditInstructionBox::getWrittenText() const {
    return m_entry->toPlainText();
}

InPlaceEditorFrame::Box CEditInstructionBox::frameRect() const {
    return boxOf(box());
}

void CEditInstructionBox::setFrameRect(const InPlaceEditorFrame::Box& b) {
    setBox(box(), b);
}

void CEditInstructionBox::emitSelected() {
    emit signalSelectedInstructionBox(m_owner);
}

void CEditInstructionBox::emitMoved(const QRect& before) {
    emit signalMovedInstructionBox(before);
}

bool CEditInstructionBox::forwarded() const {
    return m_owner && m_owner->interacting();
}

void CEditInstructionBox::releaseHook() {
    // The caption shown is the one applied, so an edited caption survives a move.
    if (EditPropertyBase* props = m_owner ? m_owner->getEditPropertyBase() : nullptr)
        props->setProp_Value("Caption", m_label->text());
}

void CEditInstructionBox::returnPressed() {
    box().text = toStoredText(m_entry->toPlainText());
}

void CEditInstructionBox::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (m_host && m_host->checkFrameStatus())
        return;
    returnPressed();
    update();
}
