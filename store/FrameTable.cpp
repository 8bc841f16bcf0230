#include "store/FrameTable.h"
#include "store/Diagnostics.h"

#include "store/FrameStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

namespace {

void report(const char* what) {
    diag::error(what);
}

SPlayBackFrameInfo clearedAction(SPlayBackFrameInfo p) {
    FrameAction().applyTo(p);
    p.frameState = 0;
    return p;
}

} // namespace

FrameAction FrameAction::of(const SPlayBackFrameInfo& p) {
    FrameAction a;
    a.vType = p.vType;
    a.pointerX = p.pointerX;
    a.pointerY = p.pointerY;
    a.reserved = p.reserved;
    a.xOrKey = p.xOrKey;
    a.yOrModifiers = p.yOrModifiers;
    a.clickRect = p.clickRect;
    a.mouseMessage = p.mouseMessage;
    a.buttonModifiers = p.buttonModifiers;
    a.cursorImage = p.cursorImage;
    a.actionDisabled = p.actionDisabled;
    return a;
}

void FrameAction::applyTo(SPlayBackFrameInfo& p) const {
    p.vType = vType;
    p.pointerX = pointerX;
    p.pointerY = pointerY;
    p.reserved = reserved;
    p.xOrKey = xOrKey;
    p.yOrModifiers = yOrModifiers;
    p.clickRect = clickRect;
    p.mouseMessage = mouseMessage;
    p.buttonModifiers = buttonModifiers;
    p.cursorImage = cursorImage;
    p.actionDisabled = actionDisabled;
}

FrameTable::FrameTable(ProjectTables& project, FrameStore& store, SRect frameRect,
                       FrameTableListener* listener)
    : m_p(project), m_store(store), m_frameRect(frameRect), m_listener(listener) {}

bool FrameTable::editDataWrite(SDatFrameHeader& header, uint32_t& offset) {
    std::FILE* f = m_store.stream();
    if (!f || std::fseek(f, 0, SEEK_END) != 0) {
        report("editDataWrite fseek");
        return false;
    }
    const long at = std::ftell(f);
    const size_t length =
        datfile::bandLength(m_frameRect.top, m_frameRect.bottom, m_store.geometry().rowBytes());
    auto bytes = header.toBytes();
    if (at < 0 || length > m_store.workBuffer().size() ||
        std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
        std::fwrite(m_store.workBuffer().data(), 1, length, f) != length || std::fflush(f) != 0) {
        report("editDataWrite fwrite");
        return false;
    }
    offset = uint32_t(at);
    return true;
}

bool FrameTable::editHeaderRead(uint32_t frame, SDatFrameHeader& header) {
    std::FILE* f = m_store.stream();
    if (!f || frame >= m_p.m_vEditInfo.size() ||
        std::fseek(f, m_p.m_vEditInfo[frame].recordOffset, SEEK_SET) != 0) {
        report("editHeaderRead fseek");
        return false;
    }
    uint8_t raw[SDatFrameHeader::SIZE];
    if (std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        report("editHeaderRead fread");
        return false;
    }
    header = SDatFrameHeader::fromBytes(raw);
    return true;
}

bool FrameTable::editHeaderWrite(uint32_t frame, const SDatFrameHeader& header) {
    std::FILE* f = m_store.stream();
    if (!f || frame >= m_p.m_vEditInfo.size() ||
        std::fseek(f, m_p.m_vEditInfo[frame].recordOffset, SEEK_SET) != 0) {
        report("editHeaderWrite fseek");
        return false;
    }
    auto raw = header.toBytes();
    if (std::fwrite(raw.data(), 1, raw.size(), f) != raw.size() || std::fflush(f) != 0) {
        report("editHeaderWrite fwrite");
        return false;
    }
    return true;
}

bool FrameTable::fileHeaderWrite() {
    std::FILE* f = m_store.stream();
    uint8_t raw[SDatMainHeader::SIZE];
    if (!f || std::fseek(f, 0, SEEK_SET) != 0) {
        report("fseek fileHeaderWrite() ");
        return false;
    }
    if (std::fread(raw, 1, sizeof raw, f) != sizeof raw) {
        report("fread fileHeaderWrite() ");
        return false;
    }
    SDatMainHeader h = SDatMainHeader::fromBytes(raw);
    h.frameCount = m_p.m_dwFrameCount;
    auto out = h.toBytes();
    if (std::fseek(f, 0, SEEK_SET) != 0 || std::fwrite(out.data(), 1, out.size(), f) != out.size() ||
        std::fflush(f) != 0) {
        report("fwrite fileHeaderWrite() ");
        return false;
    }
    return true;
}

bool FrameTable::makeKeyFrame(uint32_t n) {
    if (n >= m_p.m_vEditInfo.size())
        return false;
    if (m_p.m_vEditInfo[n].keyFlag == 1)
        return true;
    SDatFrameHeader header;
    if (m_store.getEditFrame(m_p.m_vEditInfo, n, header) != FrameStore::Result::Ok) {
        diag::print("makeKeyFrame: %s\n", m_store.lastError().c_str());
        return false;
    }
    header.recordSize =
        uint32_t(datfile::bandLength(m_frameRect.top, m_frameRect.bottom, m_store.geometry().rowBytes()) +
                 SDatFrameHeader::SIZE);
    header.data = m_frameRect;
    header.keyFlag = 1;
    uint32_t offset = 0;
    if (!editDataWrite(header, offset))
        return false; // the frame keeps its old record
    m_p.m_vEditInfo[n].recordOffset = int32_t(offset);
    m_p.m_vEditInfo[n].keyFlag = 1;
    m_p.m_vPlayBackFrameInfo[n].frameFlags |= PBF_KEY;
    return true;
}

bool FrameTable::writeBlank(uint32_t& offset, int32_t frameState) {
    std::FILE* f = m_store.stream();
    if (!f || std::fseek(f, 0, SEEK_END) != 0) {
        report("fseek");
        return false;
    }
    const long at = std::ftell(f);
    SDatFrameHeader h;
    h.frameNumber = m_p.m_dwFrameCount;
    h.timeStamp = uint32_t(time(nullptr));
    h.frameState = frameState;
    h.data = m_frameRect;
    h.keyFlag = 1;
    auto raw = h.toBytes();
    if (at < 0 || std::fwrite(raw.data(), 1, raw.size(), f) != raw.size() || std::fflush(f) != 0) {
        report("fwrite");
        return false;
    }
    offset = uint32_t(at);
    return true;
}

bool FrameTable::addBlankFrame(uint32_t at, bool insert, int32_t frameState) {
    uint32_t offset = 0;
    if (!writeBlank(offset, frameState))
        return false;
    SPlayBackFrameInfo p;
    p.vType = VALIDATION_NONE;
    p.marker = 0;
    p.frameFlags = uint8_t((insert ? PBF_INSERTED : PBF_APPENDED) | PBF_KEY);
    p.setName(insert ? "Inserted " + std::to_string(++m_p.m_insertedCount)
                     : "Appended " + std::to_string(++m_p.m_appendedCount));
    p.frameNumber = uint32_t(++m_p.m_frameNameCounter);
    SEditInfo e;
    e.keyFlag = 1;
    e.recordOffset = int32_t(offset);
    e.addedMark = 1;
    m_p.m_vPlayBackFrameInfo.insert(m_p.m_vPlayBackFrameInfo.begin() + at, p);
    m_p.m_vEditInfo.insert(m_p.m_vEditInfo.begin() + at, e);
    ++m_p.m_dwFrameCount;
    if (m_listener)
        m_listener->addFrameObject(insert);
    return fileHeaderWrite();
}

bool FrameTable::appendFrame() {
    return addBlankFrame(m_p.m_dwFrameCount, false,
                         m_p.m_dwFrameCount == 0 ? FRAME_STATE_FIRST : FRAME_STATE_TIMER);
}

bool FrameTable::insertFrame() {
    if (m_p.m_dwFrameCount == 0)
        return appendFrame();
    const uint32_t at = uint32_t(std::max(0, m_p.m_currentFrame));
    if (at >= m_p.m_dwFrameCount)
        return false;
    if (at == 0) {
        SDatFrameHeader h;
        if (!editHeaderRead(0, h))
            return false;
        h.frameState = FRAME_STATE_FIRST;
        if (!editHeaderWrite(0, h))
            return false;
    }
    // The frame that moves one place on must not build on the blank frame.
    if (!makeKeyFrame(at))
        return false;
    return addBlankFrame(at, true, FRAME_STATE_TIMER);
}

bool FrameTable::copyFrame(uint32_t s, uint32_t p, bool keyCopy) {
    if (s >= m_p.m_dwFrameCount || p > m_p.m_dwFrameCount)
        return false;
    const int32_t noted = m_p.m_vEditInfo[s].recordOffset;
    if (keyCopy && !makeKeyFrame(s))
        return false;
    if (p < m_p.m_dwFrameCount && !makeKeyFrame(p))
        return false;

    ++m_p.m_insertedCount;
    if (m_p.m_vPlayBackFrameInfo[s].vType != VALIDATION_NONE)
        ++m_p.m_dwUserActionFrame;
    SEditInfo e = m_p.m_vEditInfo[s];
    if (keyCopy)
        e.keyFlag = 1;
    else
        e.recordOffset = noted;
    const FrameAction into =
        p < m_p.m_dwFrameCount ? FrameAction::of(m_p.m_vPlayBackFrameInfo[p]) : FrameAction();
    const FrameAction outOf =
        s + 1 < m_p.m_dwFrameCount ? FrameAction::of(m_p.m_vPlayBackFrameInfo[s + 1]) : FrameAction();

    SPlayBackFrameInfo copy = clearedAction(m_p.m_vPlayBackFrameInfo[s]);
    copy.setName("Inserted " + std::to_string(m_p.m_insertedCount));
    copy.frameNumber = uint32_t(m_p.m_frameNameCounter + 1);
    if (!(copy.frameFlags & (PBF_APPENDED | PBF_INSERTED)))
        copy.frameFlags |= PBF_COPIED;
    into.applyTo(copy);
    if (keyCopy)
        copy.frameFlags |= PBF_KEY;

    m_p.m_vEditInfo.insert(m_p.m_vEditInfo.begin() + p, e);
    m_p.m_vPlayBackFrameInfo.insert(m_p.m_vPlayBackFrameInfo.begin() + p, copy);
    if (p + 1 < m_p.m_vPlayBackFrameInfo.size()) {
        outOf.applyTo(m_p.m_vPlayBackFrameInfo[p + 1]);
        m_p.m_vPlayBackFrameInfo[p + 1].frameFlags |= PBF_KEY;
    }
    ++m_p.m_dwFrameCount;
    if (m_listener)
        m_listener->addObjectsOnPaste(s, p);
    return true;
}

bool FrameTable::validRange(uint32_t first, uint32_t last) const {
    return first <= last && last < m_p.m_dwFrameCount;
}

int FrameTable::copyRangeFrames(uint32_t first, uint32_t last, uint32_t position) {
    // A stale clipboard may name frames that are gone.
    if (!validRange(first, last) || position > m_p.m_dwFrameCount)
        return -1;
    uint32_t copies = 0;
    bool key = true; // the first frame copied, and the first after a skipped one, stands on its own
    for (uint32_t i = first; i <= last; ++i) {
        const uint32_t at = i < position ? i : i + copies;
        if (m_p.m_vEditInfo[at].deletedFlag) {
            key = true;
            continue;
        }
        if (!copyFrame(at, position + copies, key))
            break;
        ++copies;
        key = false;
    }
    if (copies > 0)
        fileHeaderWrite();
    return int(copies);
}

bool FrameTable::cutPasteFrame(uint32_t s, uint32_t p, bool keyCopy) {
    if (s >= m_p.m_dwFrameCount || p > m_p.m_dwFrameCount)
        return false;
    if (p == s || p == s + 1)
        return true; // already in place
    const int32_t noted = m_p.m_vEditInfo[s].recordOffset;
    if (keyCopy && !makeKeyFrame(s))
        return false;
    if (p < m_p.m_dwFrameCount && !makeKeyFrame(p))
        return false;

    SEditInfo e = m_p.m_vEditInfo[s];
    if (keyCopy)
        e.keyFlag = 1;
    else
        e.recordOffset = noted;
    const bool hasF = s + 1 < m_p.m_dwFrameCount;
    const FrameAction own = FrameAction::of(m_p.m_vPlayBackFrameInfo[s]);
    const FrameAction into =
        p < m_p.m_dwFrameCount ? FrameAction::of(m_p.m_vPlayBackFrameInfo[p]) : FrameAction();
    const FrameAction outOf = hasF ? FrameAction::of(m_p.m_vPlayBackFrameInfo[s + 1]) : FrameAction();
    SPlayBackFrameInfo moved = m_p.m_vPlayBackFrameInfo[s];

    m_p.m_vEditInfo.insert(m_p.m_vEditInfo.begin() + p, e);
    m_p.m_vEditInfo.erase(m_p.m_vEditInfo.begin() + (s < p ? s : s + 1));
    if (m_listener)
        m_listener->changeObjectsOnCutPaste(s, p);
    m_p.m_vPlayBackFrameInfo.insert(m_p.m_vPlayBackFrameInfo.begin() + p, moved);
    m_p.m_vPlayBackFrameInfo.erase(m_p.m_vPlayBackFrameInfo.begin() + (s < p ? s : s + 1));

    const uint32_t m = s < p ? p - 1 : p; // where the moved frame is now
    const uint32_t f = s < p ? s : s + 1; // where F is now
    into.applyTo(m_p.m_vPlayBackFrameInfo[m]);
    if (m + 1 < m_p.m_dwFrameCount)
        (hasF ? outOf : FrameAction()).applyTo(m_p.m_vPlayBackFrameInfo[m + 1]);
    if (hasF)
        own.applyTo(m_p.m_vPlayBackFrameInfo[f]);
    return true;
}

bool FrameTable::pasteFrameToEnd(uint32_t s, bool keyCopy) {
    if (s >= m_p.m_dwFrameCount)
        return false;
    if (keyCopy && !makeKeyFrame(s))
        return false;
    SEditInfo e = m_p.m_vEditInfo[s];
    SPlayBackFrameInfo p = m_p.m_vPlayBackFrameInfo[s];
    if (keyCopy) {
        e.keyFlag = 1;
        p.frameFlags |= PBF_KEY;
    }
    m_p.m_vEditInfo.push_back(e);
    m_p.m_vPlayBackFrameInfo.push_back(p);
    m_p.m_vEditInfo.erase(m_p.m_vEditInfo.begin() + s);
    m_p.m_vPlayBackFrameInfo.erase(m_p.m_vPlayBackFrameInfo.begin() + s);
    // Insert-then-remove, as a move elsewhere: the target is the row's end before the move.
    if (m_listener)
        m_listener->changeObjectsOnCutPaste(s, m_p.m_dwFrameCount);
    return true;
}

bool FrameTable::cutPasteRangeFrames(uint32_t first, uint32_t last, uint32_t position) {
    if (!validRange(first, last) || position > m_p.m_dwFrameCount)
        return false;
    if (position >= first && position <= last)
        return true;
    if (last + 1 < m_p.m_dwFrameCount && !makeKeyFrame(last + 1))
        return false;
    const uint32_t n = last - first + 1;
    bool ok = true;
    if (position == m_p.m_dwFrameCount) {
        if (last + 1 >= m_p.m_dwFrameCount)
            return true; // already at the end
        FrameAction::of(m_p.m_vPlayBackFrameInfo[first]).applyTo(m_p.m_vPlayBackFrameInfo[last + 1]);
        ok = pasteFrameToEnd(first, true);
        for (uint32_t k = 1; ok && k < n; ++k)
            ok = pasteFrameToEnd(first, false);
    } else {
        ok = cutPasteFrame(first, position, true);
        for (uint32_t k = 1; ok && k < n; ++k)
            ok = position < first ? cutPasteFrame(first + k, position + k, false)
                                  : cutPasteFrame(first, position, false);
        m_p.m_currentFrame = first < position ? int(position) - 1 : int(position);
    }
    return ok;
}

void FrameTable::toggleDeleted(uint32_t first, uint32_t last) {
    for (uint32_t i = first; i <= last && i < m_p.m_dwFrameCount; ++i) {
        if (m_p.m_vEditInfo[i].deletedFlag) {
            m_p.m_vEditInfo[i].deletedFlag = 0;
            m_p.m_vPlayBackFrameInfo[i].frameFlags &= uint8_t(~PBF_DELETED);
            --m_p.m_deletedCount;
        } else {
            m_p.m_vEditInfo[i].deletedFlag = 1;
            m_p.m_vPlayBackFrameInfo[i].frameFlags |= PBF_DELETED;
            ++m_p.m_deletedCount;
        }
    }
}

bool FrameTable::purgeFrame(uint32_t n) {
    if (n >= m_p.m_dwFrameCount)
        return false;
    if (n + 1 < m_p.m_dwFrameCount) {
        if (!makeKeyFrame(n + 1))
            return false;
        FrameAction::of(m_p.m_vPlayBackFrameInfo[n]).applyTo(m_p.m_vPlayBackFrameInfo[n + 1]);
    }
    if (m_listener)
        m_listener->deleteObjectsOnPurge(n);
    m_p.m_vPlayBackFrameInfo.erase(m_p.m_vPlayBackFrameInfo.begin() + n);
    m_p.m_vEditInfo.erase(m_p.m_vEditInfo.begin() + n);
    --m_p.m_dwFrameCount;
    recount();
    return fileHeaderWrite();
}

void FrameTable::recount() {
    int deleted = 0;
    uint32_t actions = 0;
    for (uint32_t i = 0; i < m_p.m_dwFrameCount; ++i) {
        if (m_p.m_vEditInfo[i].deletedFlag)
            ++deleted;
        if (m_p.m_vPlayBackFrameInfo[i].vType != VALIDATION_NONE)
            ++actions;
    }
    m_p.m_deletedCount = deleted;
    m_p.m_dwUserActionFrame = actions;
}

std::vector<uint32_t> FrameTable::markedFrames() const {
    std::vector<uint32_t> marked;
    for (uint32_t i = 0; i < m_p.m_dwFrameCount; ++i) {
        const auto& p = m_p.m_vPlayBackFrameInfo[i];
        if (p.vType == VALIDATION_MOUSE || p.vType == VALIDATION_KEY || (p.frameFlags & PBF_AUDIO) ||
            (m_listener && m_listener->frameHasAudioResource(i)))
            marked.push_back(i);
    }
    return marked;
}

void FrameTable::addFrameName() {
    m_p.m_frameNameCounter = 0;
    for (uint32_t i = 0; i < m_p.m_dwFrameCount && i < m_p.m_vPlayBackFrameInfo.size(); ++i) {
        m_p.m_vPlayBackFrameInfo[i].setName("Frame " + std::to_string(i + 1));
        m_p.m_vPlayBackFrameInfo[i].frameNumber = uint32_t(++m_p.m_frameNameCounter);
    }
}
