#include "app/VelmoraHosts.h"

#include "app/Velmora.h"
#include "canvas/FrameLoader.h"
#include "canvas/VLImageHolder.h"
#include "canvas/strip/NavigationBarBase.h"
#include "objects/interactive/CFrameObject.h"

const SPlayBackFrameInfo* VelmoraStripHost::record(int frame) const {
    if (frame < 0 || size_t(frame) >= m_w->project().m_vPlayBackFrameInfo.size())
        return nullptr;
    return &m_w->project().m_vPlayBackFrameInfo[size_t(frame)];
}

int VelmoraStripHost::playbackFrameCount() const {
    return int(m_w->project().m_vPlayBackFrameInfo.size());
}

bool VelmoraStripHost::isPlaybackFrameDeleted(int frame) const {
    const auto* p = record(frame);
    return p && (p->frameFlags & PBF_DELETED);
}

bool VelmoraStripHost::hasRecordedAction(int frame) const {
    const auto* p = record(frame);
    return p && p->vType != VALIDATION_NONE;
}

bool VelmoraStripHost::hasAudio(int frame) const {
    const auto* p = record(frame);
    return p && (p->frameFlags & PBF_AUDIO);
}

void VelmoraStripHost::setActionDisabled(int frame, uint8_t value) {
    if (record(frame))
        m_w->project().m_vPlayBackFrameInfo[size_t(frame)].actionDisabled = value;
}

void VelmoraStripHost::disableObjects() {
    m_w->disableObjects();
}
void VelmoraStripHost::enableObjects() {
    m_w->enableObjects();
}
void VelmoraStripHost::changePurgeStatus(bool anyFrameDeleted) {
    m_w->changePurgeStatus(anyFrameDeleted);
}

bool VelmoraStripHost::hasFrameObjectRecord(int frame) const {
    VLImageHolder* h = m_w->imageHolder();
    return h && frame >= 0 && size_t(frame) < h->allObjects().size() &&
           !h->allObjects()[size_t(frame)].AllObjects.empty();
}

void VelmoraStripHost::addFrameStructureToList(int frame) {
    if (VLImageHolder* h = m_w->imageHolder())
        h->addFrameStructureToList(frame);
}

uint8_t VelmoraStripHost::frameUserAction(int frame) const {
    VLImageHolder* h = m_w->imageHolder();
    if (!h)
        return 0;
    if (frame == h->getCurrentFrame() && !h->liveObjects().empty()) {
        if (NVFrame* f = h->liveObjects()[0]->getFrameObjectStructure())
            return f->userAction;
    }
    const NVFrame* f = h->frameRecord(frame);
    return f ? f->userAction : 0;
}

void VelmoraStripHost::setFrameUserAction(int frame, uint8_t value) {
    VLImageHolder* h = m_w->imageHolder();
    if (!h)
        return;
    if (frame == h->getCurrentFrame() && !h->liveObjects().empty()) {
        if (auto* live = dynamic_cast<CFrameObject*>(h->liveObjects()[0]))
            live->setUserActionDisabled(value != 0);
    }
    if (NVFrame* f = h->frameRecord(frame))
        f->userAction = value;
}

std::vector<SPlayBackFrameInfo>* VelmoraInteractiveHost::playbackRecords() {
    return &m_w->project().m_vPlayBackFrameInfo;
}

void VelmoraInteractiveHost::changeFrameColor(const QColor& color) {
    // Recorded frames keep their picture: only blank frames are refilled.
    const int frame = m_w->project().m_currentFrame;
    const auto& records = m_w->project().m_vPlayBackFrameInfo;
    if (frame < 0 || size_t(frame) >= records.size() ||
        !(records[size_t(frame)].frameFlags & (PBF_INSERTED | PBF_APPENDED)))
        return;
    FrameLoader* loader = m_w->frameLoader();
    if (!loader)
        return;
    const uint32_t ref =
        uint32_t(color.red()) | (uint32_t(color.green()) << 8) | (uint32_t(color.blue()) << 16);
    m_w->fillFrameColor(loader->pixelForColorRef(ref), Qt::white, Qt::white, 0, 0, false);
}

void VelmoraInteractiveHost::setUserActionStatus(bool enabled) {
    NavigationBarBase* strip = m_w->frameStrip();
    if (!strip)
        return;
    // The current frame took the value already; its strip cell follows it
    // even when a range selected apart from it is what the value is for.
    const int current = m_w->project().m_currentFrame;
    strip->setUserActionStatus(current, current, enabled);
    if (strip->frameRangeStart() != 0 && strip->frameRangeEnd() != 0)
        strip->setUserActionStatus(strip->frameRangeStart() - 1, strip->frameRangeEnd() - 1, enabled);
}

void VelmoraInteractiveHost::soundAddedOrRemovedInFrame(bool added) {
    if (NavigationBarBase* strip = m_w->frameStrip())
        strip->soundAddedOrRemovedInFrame(added);
}
