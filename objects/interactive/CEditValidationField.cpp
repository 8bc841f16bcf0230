#include "objects/interactive/CEditValidationField.h"

#include "objects/interactive/CValidationField.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyLviBase.h"

#include <QKeyEvent>

CEditValidationField::CEditValidationField(CValidationField* owner, QWidget* parent, InteractiveHost* host)
    : QPlainTextEdit(parent), m_owner(owner), m_host(host),
      m_frame(InPlaceEditorFrame::Policy::validationField(), this, owner, parent, host) {
    m_record.recordSize = NVAllObjects::STORED_SIZE;
    m_record.drawingObject = VALIDATIONFIELD;
    m_record.payload = sValidationField{};
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setReadOnly(true);
    // A right click shows the property box, not the text edit's menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

InPlaceEditorFrame::Box CEditValidationField::frameRect() const {
    return boxOf(field());
}

void CEditValidationField::setFrameRect(const InPlaceEditorFrame::Box& b) {
    setBox(field(), b);
}

void CEditValidationField::emitSelected() {
    emit signalSelectedValidationField(m_owner);
}

void CEditValidationField::emitMoved(const QRect& before) {
    emit signalMovedValidationField(before);
}

bool CEditValidationField::forwarded() const {
    return m_owner && m_owner->interacting();
}

void CEditValidationField::armedPressHook() {
    // A new field starts with empty working copies.
    PropertyLviBase::bNotFirstEntry = 0;
    PropertyLviBase::bNotFirstError = 0;
    PropertyLviBase::VRmuValidStr.clear();
    field().dialogLength = sValidationField::DIALOG_BLOCK_ONLY;
}

void CEditValidationField::afterHandleTestHook() {
    if (!field().strings.list.empty())
        loadStrings();
    else
        PropertyLviBase::bNotFirstEntry = 0;
    if (field().dialogLength == sValidationField::DIALOG_BLOCK_ONLY)
        PropertyLviBase::bNotFirstError = 0;
    else
        loadError(false);
}

void CEditValidationField::loadStrings() {
    const std::vector<sMultiValidationString>& list = field().strings.list;
    std::vector<sMultiValidationString>& work = PropertyLviBase::VRmuValidStr;
    work.assign(list.size(), sMultiValidationString{});
    for (size_t i = 0; i < list.size(); ++i) {
        work[i].text = list[i].text;
        work[i].flag = list[i].flag;
        // The working copy carries the key words only.
        work[i].keys.resize(list[i].keys.size());
        for (size_t k = 0; k < list[i].keys.size(); ++k)
            work[i].keys[k].uiValidationKey = list[i].keys[k].uiValidationKey;
        work[i].nKeyCount = int32_t(work[i].keys.size());
    }
    PropertyLviBase::bNotFirstEntry = 1;
}

void CEditValidationField::loadError(bool textOnly) {
    const sValidationField& p = field();
    sValidMessageRecord& r = PropertyLviBase::m_sValidError;
    PropertyLviBase::bNotFirstError = 1;
    r.text = p.errorText;
    if (textOnly)
        return;
    r.caption = p.dialog ? p.dialog->caption0 : std::string();
    r.iconId = p.dialog ? p.dialog->icon1 : 0;
}

void CEditValidationField::selectValidationFromCombo() {
    if (!m_host || m_host->selectedItem() != m_owner)
        return;
    const bool propertiesPage = m_host->propertyPageIndex() == 0;
    const sValidationField& p = field();
    if (propertiesPage && !p.strings.list.empty())
        loadStrings();
    else
        PropertyLviBase::bNotFirstEntry = 0;
    if (propertiesPage && p.dialogLength != sValidationField::DIALOG_BLOCK_ONLY)
        loadError(false);
    else if (!p.errorText.empty())
        loadError(true);
    else
        PropertyLviBase::bNotFirstError = 0;
}

void CEditValidationField::slotEventForKeys(int key) {
    if (!m_host || !m_owner || m_host->propertyPageIndex() != 1)
        return;
    DrawTools* selected = m_host->selectedItem();
    if (selected != m_owner)
        return;
    EditPropertyBase* props = m_owner->getEditPropertyBase();
    if (!props || props->getPropValue(QStringLiteral("Validation String")).isEmpty())
        return;
    // An index outside the strings or keys lists nothing.
    sValidationKey* k = m_owner->keyAt(m_currentString, key);
    if (!k)
        return;
    m_host->refillValidationEventList(m_owner, m_currentString, key);
    sValidMessageRecord& m = PropertyLviBase::m_sValidMessage;
    const sValidationKeyEvent* e = k->event ? &*k->event : nullptr;
    if (!e || (e->message.empty() && e->caption.empty() && e->iconId == 0)) {
        PropertyLviBase::bNotFirstMessage = 0;
        return;
    }
    PropertyLviBase::bNotFirstMessage = 1;
    m.text = e->message;
    m.caption = e->caption;
    m.iconId = e->iconId;
}

bool CEditValidationField::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        QFrame::event(event);
        event->accept();
        return true;
    default:
        return QPlainTextEdit::event(event);
    }
}

void CEditValidationField::keyPressEvent(QKeyEvent* event) {
    if (m_host && m_host->checkFrameStatus()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    event->accept();
    if (!hasFocus() && m_host)
        m_host->holderKeyPress(event);
}
