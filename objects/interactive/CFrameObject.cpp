#include "objects/interactive/CFrameObject.h"

#include "canvas/records/StoredText.h"
#include "media/MediaLibraryInterface.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyEditorType.h"
#include "properties/editors/PropertyLviTransitionEffect.h"
#include "properties/editors/PropertyLviTransitionSpeed.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kAppearance = QStringLiteral("Appearance");
const QString kEvents = QStringLiteral("Events");
const QString kNone = QStringLiteral("[None]");
const QString kFrameProperty = QStringLiteral("FRAMEPROPERTY");

uint32_t packed(const QColor& c) {
    return NVColor{c.red(), c.green(), c.blue()}.toColorRef();
}

QColor unpacked(uint32_t c) {
    const NVColor n = NVColor::fromColorRef(c);
    return QColor(n.red, n.green, n.blue);
}

// Exactly two events: extra ones dropped, missing ones zeroed.
std::vector<NVFrameEvent> twoEvents(const std::vector<NVFrameEvent>& from) {
    std::vector<NVFrameEvent> events(CFrameObject::EVENT_COUNT);
    std::copy_n(from.begin(), std::min(from.size(), events.size()), events.begin());
    return events;
}

} // namespace

const QColor CFrameObject::DEFAULT_BACK_COLOR(22, 34, 199);
QColor CFrameObject::backColor(22, 34, 199);

CFrameObject::CFrameObject(VLImageHolder* holder, int frameNumber, int)
    : DrawTools(nullptr, nullptr), m_holder(holder), m_host(InteractiveHost::current()) {
    NVFrame f;
    f.foreColor = NVFrame::NO_FORE_COLOR;
    f.backColor = packed(backColor);
    if (const SPlayBackFrameInfo* p = playback(frameNumber - 1)) {
        f.m_Caption = p->name();
        m_bNoUserAction = (p->frameFlags & (PBF_INSERTED | PBF_APPENDED)) != 0;
    }
    m_bRecordedFrame = false;
    f.events = twoEvents({});
    m_record.payload = std::move(f);
    addMyPropEntrys();
    setRowValues();
    connectServices();
    finishHead();
    m_LoadedName = fromStoredText(frame().m_Caption);
}

CFrameObject::CFrameObject(VLImageHolder* holder, const NVFrame& src, int)
    : DrawTools(nullptr, nullptr), m_holder(holder), m_host(InteractiveHost::current()) {
    NVFrame f = src;
    // The stored count is not trusted: a frame object always has two events.
    f.events = twoEvents(src.events);
    m_record.payload = std::move(f);
    if (const SPlayBackFrameInfo* p = playback(m_host ? m_host->currentFrame() : -1)) {
        m_bNoUserAction = p->vType == VALIDATION_NONE;
        m_bRecordedFrame = (p->frameFlags & (PBF_INSERTED | PBF_APPENDED)) == 0;
    }
    addMyPropEntrys();
    setRowValues();
    connectServices();
    finishHead();
    m_LoadedName = fromStoredText(frame().m_Caption);
}

CFrameObject::~CFrameObject() = default;

NVAllObjects CFrameObject::recordForNewFrame(VLImageHolder* holder, int frameNumber, bool inserting) {
    CFrameObject made(holder, frameNumber, inserting ? 1 : 0);
    NVAllObjects rec;
    made.getAllObjectStructure(&rec);
    rec.drawingObject = FRAMEOBJECT;
    rec.objectID = FRAME_OBJECT_ID;
    rec.recordSize = NVAllObjects::STORED_SIZE;
    return rec;
}

NVFrame& CFrameObject::frame() {
    return *m_record.get<NVFrame>();
}
const NVFrame& CFrameObject::frame() const {
    return *m_record.get<NVFrame>();
}

SPlayBackFrameInfo* CFrameObject::playback(int index) const {
    std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr;
    if (!table || index < 0 || size_t(index) >= table->size())
        return nullptr;
    return &(*table)[size_t(index)];
}

void CFrameObject::connectServices() {
    connect(this, &CFrameObject::signalEventNo, this, &CFrameObject::slotForEvents);
    if (InteractiveHost* host = m_host)
        connect(this, &CFrameObject::signalResetCombo, this, [host] { host->resetCombo(); });
    if (MediaLibraryInterface* media = getResourceEditor())
        connect(this, &CFrameObject::signalDeleteIDFromUseArray, this,
                [media](unsigned long id) { media->SlotDeleteIDFromUseArray(id); });
}

void CFrameObject::finishHead() {
    drawingObject = FRAMEOBJECT;
    m_record.drawingObject = FRAMEOBJECT;
    m_record.recordSize = NVAllObjects::STORED_SIZE;
    m_record.objectID = FRAME_OBJECT_ID;
    m_record.frameIndex = 0;
    setObjectID(FRAME_OBJECT_ID);
}

void CFrameObject::addMyPropEntrys() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    props->addProp("Name", "", kGeneral, PE_STRING, "FrameObject", 0);
    if (m_bRecordedFrame) {
        props->addProp("Fore Color", "", kAppearance, PE_STRING, kFrameProperty, 0);
        props->addProp("Back Color", "", kAppearance, PE_STRING, kFrameProperty, 0);
    } else {
        props->addProp("Fore Color", "", kAppearance, PE_COLOR, "ForeColor", 0);
        props->addProp("Back Color", "", kAppearance, PE_COLOR, "", 0);
    }
    if (m_bNoUserAction)
        props->addProp("User Action", "", kGeneral, PE_STRING, kFrameProperty, 0);
    else
        props->addProp("User Action", "", kGeneral, PE_BOOL, "Enable/Disable", 0);
    props->addProp("Sound Clip Name", "", kGeneral, PE_STRING, "", 0);
    props->addProp("Audio File Name", "", kGeneral, PE_RESOURCE_FILE, "91", 0);
    props->addProp("Sound Notes", "", kGeneral, PE_STRING, "", 0);
    props->addProp("Mouse Delay", "", kGeneral, PE_UINT, "MouseDelay", 0);
}

void CFrameObject::setRowValues() {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props)
        return;
    const NVFrame& f = frame();
    props->setProp_Value("Name", fromStoredText(f.m_Caption));
    QString audio = kNone;
    if (f.audioId != 0) {
        MediaLibraryInterface* media = getResourceEditor();
        const QString path = media ? media->GetTheFileNameFromID(f.audioId) : QString();
        audio = path.isEmpty() ? QString() : QFileInfo(path).fileName();
    }
    props->setProp_Value("Audio File Name", audio);
    props->setProp_Value("Sound Clip Name", fromStoredText(f.soundClip));
    props->setProp_Value("Sound Notes", fromStoredText(f.soundNotes));
    props->setProp_Value("User Action", f.userAction ? "Disable" : "Enable");
    props->setProp_Value("Mouse Delay", QString::number(f.mouseDelay));
    props->setProp_Value(
        "Fore Color", f.foreColor == NVFrame::NO_FORE_COLOR ? kNone : unpacked(uint32_t(f.foreColor)).name());
    props->setProp_Value("Back Color", unpacked(f.backColor).name());
}

const char* CFrameObject::getObjectName() const {
    return frame().m_Caption.c_str();
}
void* CFrameObject::getObjectStructure() {
    return &frame();
}
NVFrame* CFrameObject::getFrameObjectStructure() {
    return &frame();
}

bool CFrameObject::getAllObjectStructure(NVAllObjects* target) {
    // The copy owns its own events: later edits of this object leave it alone.
    if (target)
        *target = m_record;
    return true;
}

int CFrameObject::getFrameFillColor(unsigned long frameIndex) {
    if (m_host) {
        const StrAllObjects* records = m_host->frameRecords(frameIndex);
        if (records && !records->AllObjects.empty())
            if (const NVFrame* f = records->AllObjects.front().get<NVFrame>())
                return int(f->fillColor());
    }
    return int(packed(backColor));
}

QString CFrameObject::Prop2Str(const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProp(name) : nullptr;
    return e ? e->value : QString();
}

int CFrameObject::PropValueId(const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProp(name) : nullptr;
    return e ? e->valueId : 0;
}

QString CFrameObject::PropEventStr(int event, const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProperties(event, name) : nullptr;
    return e ? e->value : QString();
}

int CFrameObject::PropEventValueId(int event, const QString& name) {
    EditPropertyBase* props = getEditPropertyBase();
    EditPropertyEntry* e = props ? props->getProperties(event, name) : nullptr;
    return e ? e->valueId : 0;
}

void CFrameObject::setUserActionDisabled(bool disabled) {
    frame().userAction = disabled ? 1 : 0;
    if (EditPropertyBase* props = getEditPropertyBase())
        props->setProp_Value("User Action", disabled ? "Disable" : "Enable");
}

void CFrameObject::repaintItem() {
    if (m_host)
        applyProperty(m_host->selectedPropertyRow());
}

void CFrameObject::applyProperty(const QString& row) {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props || row.isEmpty())
        return;
    NVFrame& f = frame();
    const int current = m_host ? m_host->currentFrame() : -1;
    const QString key = row.toLower();
    QString v = Prop2Str(row);

    if (key == "name") {
        v = v.trimmed();
        // A longer name is not applied; the row shows the applied name again.
        if (v.size() <= NAME_LIMIT) {
            bool refused = false;
            const std::string wanted = toStoredText(v);
            if (std::vector<SPlayBackFrameInfo>* table = m_host ? m_host->playbackRecords() : nullptr) {
                for (const SPlayBackFrameInfo& p : *table) {
                    const std::string other = p.name();
                    if (!other.empty() && std::strcoll(other.c_str(), wanted.c_str()) == 0) {
                        refused = true;
                        break;
                    }
                }
            }
            if (!refused) {
                f.m_Caption = toStoredText(v.isEmpty() ? m_LoadedName : v);
                if (SPlayBackFrameInfo* p = playback(current))
                    p->setName(f.m_Caption);
            }
        }
        props->setProp_Value("Name", fromStoredText(f.m_Caption));
    } else if (key == "back color") {
        if (v.isEmpty())
            return;
        const QColor c(v);
        if (!c.isValid()) {
            props->setProp_Value("Back Color", unpacked(f.backColor).name());
            return;
        }
        backColor = c;
        if (packed(c) != f.backColor) {
            f.backColor = packed(c);
            if (f.foreColor == NVFrame::NO_FORE_COLOR && m_host)
                m_host->changeFrameColor(c);
        }
    } else if (key == "fore color") {
        if (v.isEmpty())
            return;
        if (v == kNone) {
            f.foreColor = NVFrame::NO_FORE_COLOR;
            return;
        }
        const QColor c(v);
        if (!c.isValid()) {
            props->setProp_Value("Fore Color", f.foreColor == NVFrame::NO_FORE_COLOR
                                                   ? kNone
                                                   : unpacked(uint32_t(f.foreColor)).name());
            return;
        }
        f.foreColor = int32_t(packed(c));
        if (m_host)
            m_host->changeFrameColor(c);
    } else if (key == "audio file name") {
        if (v.isEmpty())
            return;
        if (v == kNone) {
            if (f.audioId != 0) {
                emit signalDeleteIDFromUseArray(f.audioId);
                f.audioId = 0;
                if (m_host)
                    m_host->soundAddedOrRemovedInFrame(false);
            }
        } else {
            emit signalDeleteIDFromUseArray(f.audioId);
            f.audioId = uint32_t(PropValueId(row));
            if (m_host)
                m_host->soundAddedOrRemovedInFrame(true);
        }
    } else if (key == "user action") {
        // The state is set from the value, so applying "Enable" twice keeps
        // the frame enabled; a range with mixed states gets the chosen value.
        if (v.isEmpty() || m_bNoUserAction)
            return;
        bool enabled;
        if (v.compare("Enable", Qt::CaseInsensitive) == 0)
            enabled = true;
        else if (v.compare("Disable", Qt::CaseInsensitive) == 0)
            enabled = false;
        else
            return;
        setUserActionDisabled(!enabled);
        if (SPlayBackFrameInfo* p = playback(current))
            p->actionDisabled = f.userAction;
        if (m_host)
            m_host->setUserActionStatus(enabled);
    } else if (key == "sound clip name") {
        if (!v.isEmpty() && v.size() <= CLIP_LIMIT)
            f.soundClip = toStoredText(v);
        props->setProp_Value("Sound Clip Name", fromStoredText(f.soundClip));
    } else if (key == "sound notes") {
        if (!v.isEmpty() && v.size() <= NOTES_LIMIT)
            f.soundNotes = toStoredText(v);
        props->setProp_Value("Sound Notes", fromStoredText(f.soundNotes));
    } else if (key == "mouse delay") {
        if (v.isEmpty())
            return;
        bool ok = false;
        const int n = v.trimmed().toInt(&ok);
        f.mouseDelay = ok ? int16_t(std::clamp(n, 0, int(std::numeric_limits<int16_t>::max()))) : 0;
    }
}

QString CFrameObject::effectWord(int code) {
    const QStringList& words = PropertyLviTransitionEffect::words();
    return code >= 0 && code < words.size() ? words[code] : QString();
}

int CFrameObject::effectCode(const QString& word) {
    return int(PropertyLviTransitionEffect::words().indexOf(word));
}

QString CFrameObject::speedWord(int code) {
    const QStringList& words = PropertyLviTransitionSpeed::words();
    return code >= 0 && code < words.size() ? words[code] : QString();
}

int CFrameObject::speedCode(const QString& word) {
    return int(PropertyLviTransitionSpeed::words().indexOf(word));
}

void CFrameObject::addEventPropEntrys(int event) {
    EditPropertyBase* props = getEditPropertyBase();
    if (!props || event < 0 || event >= EVENT_COUNT)
        return;
    props->addEventProperties(event, "Transition Effect", "", kEvents, PE_TRANSITION_EFFECT, "", 0);
    props->addEventProperties(event, "Transition Speed", "", kEvents, PE_TRANSITION_SPEED, "", 0);
    props->addEventProperties(event, "Exit Play", "", kEvents, PE_BOOL, "On/Off", 0);
    const NVFrameEvent& e = frame().events[size_t(event)];
    const QString exitPlay = e.exitPlay == 0 ? "Off" : e.exitPlay == 1 ? "On" : QString();
    props->setEventPropValue(event, "Exit Play", exitPlay);
    props->setEventPropValue(event, "Transition Effect", effectWord(e.transitionEffect));
    props->setEventPropValue(event, "Transition Speed", speedWord(e.transitionSpeed));
}

void CFrameObject::setEventProperty(int event) {
    if (m_host)
        applyEventProperty(event, m_host->selectedEventRow());
}

void CFrameObject::applyEventProperty(int event, const QString& row) {
    if (event < 0 || event >= EVENT_COUNT || row.isEmpty())
        return;
    NVFrameEvent& e = frame().events[size_t(event)];
    const QString v = PropEventStr(event, row);
    const QString key = row.toLower();
    if (key == "exit play") {
        if (v == "On")
            e.exitPlay = 1;
        else if (v == "Off")
            e.exitPlay = 0;
    } else if (key == "transition effect") {
        const int code = effectCode(v);
        if (code >= 0)
            e.transitionEffect = uint8_t(code);
    } else if (key == "transition speed") {
        const int code = speedCode(v);
        if (code >= 0)
            e.transitionSpeed = uint8_t(code);
    }
}

void CFrameObject::slotForEvents(int event) {
    if (!m_host || m_host->propertyPageIndex() != 1 || event < 0 || event >= EVENT_COUNT)
        return;
    frame().eventIndex = int16_t(event);
    m_host->refillEventList(this, event);
}

void CFrameObject::slotEnterEventItems(QWidget* page) {
    if (!m_host || !m_host->propertyBoxVisible() || m_host->selectedItem() != this)
        return;
    const int index = m_host->propertyPageIndex();
    if (m_host->isEventsPage(page) && index == 1) {
        m_host->setEventChooser({QStringLiteral("On Frame Enter"), QStringLiteral("On Frame Leaving")}, this,
                                [this](int e) { slotForEvents(e); });
        emit signalEventNo(0);
    } else if (m_host->isPropertiesPage(page) && index == 0) {
        emit signalResetCombo();
    }
}
