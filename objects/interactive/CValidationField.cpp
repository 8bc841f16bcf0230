#include "objects/interactive/CValidationField.h"

#include "canvas/VLImageHolder.h"
#include "canvas/records/StoredText.h"
#include "media/MediaLibraryInterface.h"
#include "objects/interactive/CEditValidationField.h"
#include "objects/interactive/CTextField.h"
#include "objects/interactive/InteractiveHost.h"
#include "objects/interactive/ValidationFieldRecord.h"
#include "objects/interactive/WidgetKindMakers.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"
#include "properties/PropertyLviBase.h"
#include "properties/WindowsKeyCodes.h"
#include "store/CValidationData.h"

#include <QFileInfo>
#include <QPalette>

QString CValidationField::m_ValidationString;

namespace {
const QString kNone = QStringLiteral("[None]");
const QString kEvents = QStringLiteral("Events");

QString onOff(uint8_t flag) {
    return flag == 0 ? QStringLiteral("Off") : flag == 1 ? QStringLiteral("On") : QString();
}

QString noYes(uint8_t flag) {
    return flag == 0 ? QStringLiteral("No") : flag == 1 ? QStringLiteral("Yes") : QString();
}

QString alignWord(uint8_t align) {
    switch (align) {
    case 0:
        return QStringLiteral("Left");
    case 1:
        return QStringLiteral("Center");
    case 2:
        return QStringLiteral("Right");
    default:
        return QString();
    }
}

} // namespace

// ---- construction ----

void CValidationField::begin(VLImageHolder* holder) {
    m_holder = holder;
    addMyPropEntrys();
    QWidget* parent = holder ? static_cast<QWidget*>(holder) : (m_host ? m_host->editorParent() : nullptr);
    m_editor = new CEditValidationField(this, parent, m_host);
    drawingObject = VALIDATIONFIELD;
}

CValidationField::CValidationField(VLImageHolder* holder, QWidget*, QPaintDevice*, int number) {
    begin(holder);
    sValidationField& p = field();
    m_name = QStringLiteral("Validation Field ") + QString::number(number);
    p.name = toStoredText(m_name);
    setProp("Name", m_name);
    if (m_host)
        m_host->appendObjectName(m_name);
    connectEditor();
    p.backColor = NVColor{255, 255, 255};
    p.foreColor = NVColor{0, 0, 0};
    setProp("Back Color", colorName(p.backColor));
    setProp("Fore Color", colorName(p.foreColor));
    p.font = NVFont{};
    p.attribute = 1;
    m_editor->setFrameStyle(QFrame::Panel | QFrame::Plain);
    m_editor->setLineWidth(1);
    setProp("Attribute", "Rectangle");
    p.dialogLength = sValidationField::DIALOG_BLOCK_ONLY;
    p.scrolling = 1;
    setRows();
    // IDs stay unique after deletions: hyperlinks name their target by it.
    const int id = m_host ? m_host->nextValidationId() : 1;
    p.validationNumber = uint16_t(id);
    p.validationId = uint16_t(id);
    m_initialName = m_name;
}

CValidationField::CValidationField(VLImageHolder* holder, const NVAllObjects& record, int number,
                                   QPoint offset) {
    begin(holder);
    m_name = QStringLiteral("Validation Field ") + QString::number(number);
    sValidationField& p = field();
    if (const sValidationField* copied = record.get<sValidationField>()) {
        p = *copied;
        copyValidationString(p, record);
    }
    p.x += offset.x();
    p.y += offset.y();
    setProp("Left", QString::number(p.x));
    setProp("Top", QString::number(p.y));
    setProp("Width", QString::number(p.width));
    setProp("Height", QString::number(p.height));
    applyAttribute(p.attribute);
    if (!p.font)
        p.font = NVFont{};
    m_editor->setFont(p.font->toQFont());
    setProp("Font", CTextField::pastedFontText(p.font->toQFont()));
    m_editor->setGeometry(p.x, p.y, p.width, p.height);
    applyColors();
    p.name = toStoredText(m_name);
    setProp("Name", m_name);
    if (m_host)
        m_host->appendObjectName(m_name);
    setRows();
    connectEditor();
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CValidationField::signalAddIDOnCopy, this,
                [media](unsigned long id) { media->slotAddIDOnCopy(id); });
    if (m_holder)
        connect(this, &CValidationField::signalAddIDOnCopy, m_holder, &VLImageHolder::assignIDValue);
    // The paste takes one use of every resource an Undo of it releases.
    for (uint32_t id : VLImageHolder::resourceIdsOf(m_editor->record()))
        emit signalAddIDOnCopy(id);
    const int id = m_host ? m_host->nextValidationId() : 1;
    p.validationNumber = uint16_t(id);
    p.validationId = uint16_t(id);
    m_initialName = m_name;
}

CValidationField::CValidationField(VLImageHolder* holder, const sValidationField& stored) {
    begin(holder);
    sValidationField& p = field();
    p = stored;
    m_editor->setGeometry(p.x, p.y, p.width, p.height);
    setProp("Name", fromStoredText(p.name));
    setProp("Left", QString::number(p.x));
    setProp("Top", QString::number(p.y));
    setProp("Width", QString::number(p.width));
    setProp("Height", QString::number(p.height));
    applyColors();
    applyAttribute(p.attribute);
    setRows();
    if (!p.font)
        p.font = NVFont{};
    m_editor->setFont(p.font->toQFont());
    setProp("Font", CTextField::pastedFontText(p.font->toQFont()));
    connectEditor();
    m_initialName = fromStoredText(p.name);
}

HolderKindMakers CValidationField::holderKindMakers() {
    return widgetKindMakers<CValidationField, sValidationField, StoredValidationField,
                            ValidationFieldRecord>();
}

void CValidationField::addMyPropEntrys() {
    if (!addControlRows(QStringLiteral("ValidationField")))
        return;
    EditPropertyBase* props = getEditPropertyBase();
    props->addProp("Font", "", "Appearance", PE_FONT, "", 0);
    props->addProp("Align Text", "", "Appearance", PE_ALIGN, "VALIDATIONFIELD", 0);
    props->addProp("Case Sensitive", "", "Appearance", PE_BOOL, "On/Off", 0);
    props->addProp("Dynamic Grow", "", "Appearance", PE_BOOL, "On/Off", 0);
    props->addProp("Password Field", "", "Appearance", PE_BOOL, "", 0);
    props->addProp("Validation String", "", "General", PE_VALIDATION_STRING, "", 0);
    props->addProp("Validation Error Message", "", "General", PE_VALIDATION_ERROR, "", 0);
}

void CValidationField::connectEditor() {
    connect(m_editor, &CEditValidationField::signalSelectedValidationField, this,
            &CValidationField::slotSelectedValidationField);
    connect(m_editor, &CEditValidationField::signalMovedValidationField, this,
            &CValidationField::slotMovedValidationField);
    connect(this, &CValidationField::signalItemKey, m_editor, &CEditValidationField::slotEventForKeys);
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CValidationField::signalDeleteIDFromUseArray, this,
                [media](unsigned long id) { media->SlotDeleteIDFromUseArray(id); });
}

void CValidationField::setRows() {
    const sValidationField& p = field();
    setProp("Align Text", alignWord(p.align));
    setProp("Case Sensitive", onOff(p.caseSensitive));
    setProp("Dynamic Grow", onOff(p.dynamicGrow));
    setProp("Password Field", noYes(p.password));
}

void CValidationField::applyAttribute(uint8_t attribute) {
    setProp("Attribute", attributeWord(attribute));
    if (attribute == 0) {
        m_editor->setFrameStyle(QFrame::NoFrame);
    } else if (attribute == 1) {
        m_editor->setFrameStyle(QFrame::Panel | QFrame::Plain);
        m_editor->setLineWidth(1);
    } else if (attribute == 3) {
        m_editor->setFrameStyle(QFrame::Box | QFrame::Sunken);
        m_editor->setLineWidth(1);
    }
}

void CValidationField::applyColors() {
    const sValidationField& p = field();
    setProp("Back Color", colorName(p.backColor));
    setProp("Fore Color", colorName(p.foreColor));
    QPalette pal = m_editor->palette();
    pal.setColor(QPalette::Base, QColor(p.backColor.red, p.backColor.green, p.backColor.blue));
    m_editor->setPalette(pal);
}

sValidationField& CValidationField::field() {
    return m_editor->field();
}

const sValidationField& CValidationField::field() const {
    return m_editor->field();
}

// ---- the canvas's operations ----

int CValidationField::getObjectID() {
    return m_editor ? int(field().validationId) : 0;
}

void CValidationField::selectValidationFromCombo() {
    if (m_editor)
        m_editor->selectValidationFromCombo();
}

// ---- properties ----

QString CValidationField::PropEventStr(const QString& name, int string, int key) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getValProperties(string, key, name) : nullptr;
    return e ? e->value : QString();
}

int CValidationField::PropValueId(const QString& name, int string, int key) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getValProperties(string, key, name) : nullptr;
    return e ? e->valueId : 0;
}

void CValidationField::applyProperty(const QString& row) {
    if (!m_editor || row.isEmpty())
        return;
    sValidationField& p = field();
    const QString v = Prop2Str(row);
    if (applyControlRow(row, {p.name, p.backColor, p.foreColor}, NAME_LIMIT, m_initialName))
        return;
    if (row == QLatin1String("Attribute")) {
        if (v == QLatin1String("None")) {
            m_editor->setFrameStyle(QFrame::NoFrame);
            p.attribute = 0;
        } else if (v == QLatin1String("Rectangle")) {
            m_editor->setFrameStyle(QFrame::Panel | QFrame::Plain);
            m_editor->setLineWidth(1);
            p.attribute = 1;
        } else if (v == QLatin1String("3D")) {
            m_editor->setFrameStyle(QFrame::Box | QFrame::Sunken);
            m_editor->setLineWidth(1);
            p.attribute = 3;
        }
    } else if (row == QLatin1String("Validation String")) {
        applyStrings(v);
    } else if (row == QLatin1String("Validation Error Message")) {
        applyError(v);
    } else if (row == QLatin1String("Case Sensitive")) {
        p.caseSensitive = v == QLatin1String("On") ? 1 : 0;
    } else if (row == QLatin1String("Align Text")) {
        if (v == QLatin1String("Left"))
            p.align = 0;
        else if (v == QLatin1String("Center"))
            p.align = 1;
        else if (v == QLatin1String("Right"))
            p.align = 2;
    } else if (row == QLatin1String("Dynamic Grow")) {
        p.dynamicGrow = v == QLatin1String("On") ? 1 : 0;
    } else if (row == QLatin1String("Password Field")) {
        p.password = v == QLatin1String("Yes") ? 1 : 0;
    }
}

void CValidationField::copyString(size_t index, const sMultiValidationString& from, bool withKeys) {
    sMultiValidationString& to = field().strings.list[index];
    to.flag = from.flag;
    to.text = from.text;
    const size_t keys = withKeys ? from.keys.size() : 0;
    // Keys are only appended or removed through removedKey, so the keys
    // trimmed here come last; their events go with a use each.
    for (size_t k = keys; k < to.keys.size(); ++k)
        releaseUses(to.keys[k]);
    to.keys.resize(keys);
    for (size_t k = 0; k < keys; ++k)
        to.keys[k].uiValidationKey = from.keys[k].uiValidationKey;
    to.nKeyCount = int32_t(keys);
}

void CValidationField::applyStrings(const QString& value) {
    const std::vector<sMultiValidationString>& work = PropertyLviBase::VRmuValidStr;
    std::vector<sMultiValidationString>& list = field().strings.list;
    if (!value.isEmpty() || (!work.empty() && !list.empty())) {
        for (size_t i = work.size(); i < list.size(); ++i)
            releaseUses(list[i]);
        list.resize(work.size());
        for (size_t i = 0; i < work.size(); ++i)
            copyString(i, work[i], true);
        repack();
    } else if (work.empty() && !list.empty()) {
        for (const sMultiValidationString& s : list)
            releaseUses(s);
        list.clear();
        repack();
    }
    followNamedString();
}

void CValidationField::applyError(const QString& value) {
    if (!value.isEmpty())
        return;
    sValidationField& p = field();
    const sValidMessageRecord& r = PropertyLviBase::m_sValidError;
    if (PropertyLviBase::bNotFirstError == 1) {
        if (p.dialogLength < sValidationField::DIALOG_BLOCK_ONLY)
            return;
        p.errorText = r.text.substr(0, ERROR_LIMIT);
        sMessageDialogBlock b;
        b.caption0 = r.caption;
        b.icon1 = r.iconId;
        p.dialog = b;
        p.dialogLength = int16_t(sValidationField::DIALOG_BLOCK_ONLY + b.caption0Length());
        return;
    }
    p.dialogLength = sValidationField::DIALOG_BLOCK_ONLY;
    p.errorText.clear();
    if (p.dialog) {
        p.dialog->caption0.clear();
        p.dialog->icon1 = 0;
    }
}

int CValidationField::namedString() {
    const QString named = Prop2Str(QStringLiteral("Validation String"));
    if (named.isEmpty() || !m_editor)
        return -1;
    const std::string text = toStoredText(named);
    const std::vector<sMultiValidationString>& list = field().strings.list;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].text == text)
            return int(i);
    return -1;
}

void CValidationField::followNamedString() {
    const int named = namedString();
    hasEvents = named >= 0 && !field().strings.list[size_t(named)].keys.empty();
    if (m_host && m_host->selectedItem() == this)
        m_host->setEventsPageEnabled(hasEvents);
}

void CValidationField::repack() {
    sValidationField& p = field();
    p.validationData = CValidationData().pack(p.strings);
}

// ---- strings, keys and key events ----

sValidationKey* CValidationField::keyAt(int string, int key) {
    if (!m_editor || string < 0 || key < 0)
        return nullptr;
    std::vector<sMultiValidationString>& list = field().strings.list;
    if (size_t(string) >= list.size() || size_t(key) >= list[size_t(string)].keys.size())
        return nullptr;
    return &list[size_t(string)].keys[size_t(key)];
}

void CValidationField::releaseUses(const sValidationKey& key) {
    if (!key.event)
        return;
    for (uint32_t id : {key.event->imageId, key.event->iconId})
        if (id != 0)
            emit signalDeleteIDFromUseArray(id);
}

void CValidationField::releaseUses(const sMultiValidationString& string) {
    for (const sValidationKey& k : string.keys)
        releaseUses(k);
}

void CValidationField::removedKey(int string, int key) {
    sValidationKey* k = keyAt(string, key);
    // A key without a key event is kept: such keys come last in a string,
    // where the next apply trims them.
    if (!k || !k->event)
        return;
    releaseUses(*k);
    sMultiValidationString& s = field().strings.list[size_t(string)];
    s.keys.erase(s.keys.begin() + key);
    s.nKeyCount = int32_t(s.keys.size());
    repack();
    followNamedString();
}

void CValidationField::resizeMultiStringVector(int string) {
    if (!m_editor || string < 0)
        return;
    std::vector<sMultiValidationString>& list = field().strings.list;
    if (size_t(string) >= list.size())
        return;
    releaseUses(list[size_t(string)]);
    list.erase(list.begin() + string);
    repack();
    followNamedString();
}

void CValidationField::loadValidationStrings() {
    if (m_editor && !field().strings.list.empty()) {
        m_editor->loadStrings();
        return;
    }
    PropertyLviBase::VRmuValidStr.clear();
    PropertyLviBase::bNotFirstEntry = 1;
}

void CValidationField::copyValidationString(sValidationField& target, const NVAllObjects& source) {
    const sValidationField* s = source.get<sValidationField>();
    if (!s)
        return;
    // Keys own their events and events their captions by value.
    target.strings = s->strings;
    for (sMultiValidationString& str : target.strings.list)
        str.nKeyCount = int32_t(str.keys.size());
}

bool CValidationField::CopyValidationData(NVAllObjects* record) {
    sValidationField* p = record ? record->get<sValidationField>() : nullptr;
    if (!p || p->strings.list.empty())
        return false;
    p->validationData = CValidationData().pack(p->strings);
    return !p->validationData.empty();
}

void CValidationField::GetCurrentValkey(const sMultiValidationString*& found, const NVAllObjects* record) {
    const sValidationField* p = record ? record->get<sValidationField>() : nullptr;
    if (m_ValidationString.isEmpty() || !p)
        return;
    const std::string text = toStoredText(m_ValidationString);
    for (const sMultiValidationString& s : p->strings.list)
        if (s.text == text) {
            found = &s;
            return;
        }
}

bool CValidationField::IsValKeyEmpty(const NVAllObjects* record) {
    const sMultiValidationString* found = nullptr;
    GetCurrentValkey(found, record);
    return found && !found->keys.empty();
}

QString CValidationField::keyText(uint32_t word) {
    return QStringLiteral("On ") + WindowsKeyCodes::keyWordText(word);
}

// ---- key events ----

QString CValidationField::resourceName(uint32_t id) {
    if (id == 0)
        return kNone;
    MediaLibraryInterface* media = getResourceEditor();
    return media ? QFileInfo(media->GetTheFileNameFromID(id)).fileName() : QString();
}

QString CValidationField::gotoWord(int32_t code) const {
    switch (code) {
    case 0:
        return QStringLiteral("0");
    case -1:
        return QStringLiteral("Next");
    case -2:
        return QStringLiteral("Previous");
    case -3:
        return QStringLiteral("Frame 1");
    default:
        break;
    }
    if (std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr)
        for (const SPlayBackFrameInfo& p : *table)
            if (int32_t(p.frameNumber) == code)
                return fromStoredText(p.name());
    return QString();
}

void CValidationField::addEventPropEntrys(int string, int key) {
    EditPropertyBase* props = getEditPropertyBase();
    sValidationKey* k = keyAt(string, key);
    if (!props || !k || !k->event)
        return;
    const sValidationKeyEvent& e = *k->event;
    props->addValProperties(string, key, "Validation Message", "", kEvents, PE_VALIDATION_MESSAGE, "", 0);
    props->addValProperties(string, key, "Validation Image", "", kEvents, PE_RESOURCE_FILE, "90", 0);
    props->addValProperties(string, key, "Validation Frame (Go To)", "", kEvents, PE_VALIDATION_FRAME, "", 0);
    props->setValEventPropValueId(string, key, "Validation Frame (Go To)", int32_t(e.word268));
    props->setValEventPropValue(string, key, "Validation Frame (Go To)", gotoWord(int32_t(e.word268)));
    props->setValEventPropValueId(string, key, "Validation Image", int(e.imageId));
    props->setValEventPropValue(string, key, "Validation Image", resourceName(e.imageId));
}

void CValidationField::setEventProperty(int string, int key) {
    if (m_host)
        applyEventProperty(string, key, m_host->selectedEventRow());
}

void CValidationField::applyEventProperty(int string, int key, const QString& row) {
    sValidationKey* k = keyAt(string, key);
    if (!k || !k->event || row.isEmpty())
        return;
    sValidationKeyEvent& e = *k->event;
    const QString v = PropEventStr(row, string, key);
    const int id = PropValueId(row, string, key);
    if (row == QLatin1String("Validation Image")) {
        if (!v.isEmpty()) {
            if (e.imageId != 0)
                emit signalDeleteIDFromUseArray(e.imageId);
            e.imageId = v == kNone ? 0 : uint32_t(id);
        }
    } else if (row == QLatin1String("Validation Frame (Go To)")) {
        if (v == QLatin1String("Next")) {
            e.word268 = uint32_t(-1);
        } else if (v == QLatin1String("Previous")) {
            e.word268 = uint32_t(-2);
        } else if (v == QLatin1String("0")) {
            e.word268 = 0;
        } else if (v == QLatin1String("Frame 1")) {
            e.word268 = uint32_t(-3);
        } else if (!v.isEmpty()) {
            // An index outside the playback records changes nothing.
            std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr;
            if (table && id >= 0 && size_t(id) < table->size())
                e.word268 = (*table)[size_t(id)].frameNumber;
        }
    } else if (row == QLatin1String("Validation Message")) {
        if (!v.isEmpty())
            return;
        sValidMessageRecord& r = PropertyLviBase::m_sValidMessage;
        if (PropertyLviBase::bNotFirstMessage == 1) {
            e.message = r.text.substr(0, MESSAGE_LIMIT);
            r.text.clear();
            e.iconId = r.iconId;
            e.caption = std::move(r.caption);
            r.caption.clear();
        } else {
            e.message.clear();
            e.iconId = 0;
            e.caption.clear();
        }
    }
    repack();
}

// ---- slots ----

void CValidationField::slotSelectedValidationField(DrawTools*) {
    relaySelected();
}

void CValidationField::slotMovedValidationField(QRect before) {
    relayMoved(before);
}

void CValidationField::slotFontSelected(QFont& font) {
    if (!m_editor)
        return;
    field().font = NVFont::fromQFont(font);
    m_editor->setFont(font);
}

void CValidationField::slotEnterEventItems(QWidget* page) {
    if (!m_host || !m_editor || m_host->selectedItem() != this)
        return;
    const int index = m_host->propertyPageIndex();
    if (m_host->isEventsPage(page) && index == 1) {
        QStringList names;
        const int named = namedString();
        if (named >= 0) {
            m_editor->setCurrentString(named);
            for (sValidationKey& k : field().strings.list[size_t(named)].keys) {
                if (!k.event) {
                    k.event = sValidationKeyEvent{};
                    PropertyLviBase::bNotFirstMessage = 1;
                }
                names << keyText(k.uiValidationKey);
            }
        }
        QPointer<CEditValidationField> editor = m_editor;
        m_host->setEventChooser(names, this, [editor](int key) {
            if (editor)
                editor->slotEventForKeys(key);
        });
        // The first key's rows, when a key is listed.
        if (!names.isEmpty())
            emit signalItemKey(0);
    } else if (m_host->isPropertiesPage(page) && index == 0) {
        m_host->resetCombo();
    }
}
