#include "app/OutputFileServices.h"
#include "store/Diagnostics.h"

#include "media/G723Codec.h"
#include "media/MediaLibraryInterface.h"
#include "media/ResourceChildNode.h"
#include "store/CValidationData.h"
#include "store/RecordIO.h"

#include <QString>

#include <cstdio>

namespace {
constexpr size_t CHUNK_HEAD = 24;
} // namespace

OutputFileServices::OutputFileServices(MediaLibraryInterface* media, RecordsOf records, TakeRecords take,
                                       Progress progress)
    : m_media(media), m_records(std::move(records)), m_take(std::move(take)),
      m_progress(std::move(progress)) {}

const std::vector<sAllObjects>& OutputFileServices::recordsOf(uint32_t frame) {
    if (frame != m_cachedFrame) {
        m_cache = m_records ? m_records(frame) : std::vector<sAllObjects>{};
        m_cachedFrame = frame;
    }
    return m_cache;
}

size_t OutputFileServices::objectCount(uint32_t frame) {
    return recordsOf(frame).size();
}

std::vector<uint8_t> OutputFileServices::objectChunk(uint32_t frame) {
    return plainObjectChunk(recordsOf(frame));
}

std::vector<uint32_t> OutputFileServices::resourceIds(uint32_t frame) {
    std::vector<uint32_t> ids;
    for (const auto& r : recordsOf(frame))
        for (uint32_t id : resourceIdsOf(r))
            ids.push_back(id);
    return ids;
}

std::vector<uint8_t> OutputFileServices::plainObjectChunk(const std::vector<sAllObjects>& records) {
    std::vector<uint8_t> out(CHUNK_HEAD, 0);
    rec::writeLe32(out.data(), CHUNK_HEAD);
    rec::writeLe32(out.data() + 4, uint32_t(records.size()));
    for (const auto& r : records)
        r.appendTo(out);
    return out;
}

std::optional<std::vector<sAllObjects>>
OutputFileServices::parseObjectChunk(const uint8_t* plain, size_t length, const vlm::FileVersion& version) {
    if (length < CHUNK_HEAD || rec::readLe32(plain) != CHUNK_HEAD)
        return std::nullopt;
    const uint32_t count = rec::readLe32(plain + 4);
    if (count > (length - CHUNK_HEAD) / sAllObjects::SIZE)
        return std::nullopt;
    std::vector<sAllObjects> records;
    size_t at = CHUNK_HEAD;
    for (uint32_t i = 0; i < count; ++i) {
        size_t used = 0;
        auto r = sAllObjects::read(plain + at, length - at, used, version);
        if (!r)
            return std::nullopt;
        records.push_back(std::move(*r));
        at += used;
    }
    return records;
}

std::vector<uint32_t> OutputFileServices::resourceIdsOf(const sAllObjects& r) {
    std::vector<uint32_t> ids;
    auto add = [&](uint32_t id) {
        if (id)
            ids.push_back(id);
    };
    if (const auto* v = r.get<StoredValidationField>()) {
        if (v->dialog)
            add(v->dialog->icon1);
        if (!v->validationData.empty()) {
            SMultiString strings;
            if (CValidationData().GetValidationDataArray(v->validationData.data(), v->validationData.size(),
                                                         strings))
                for (const auto& s : strings.list)
                    for (const auto& k : s.keys)
                        if (k.event) {
                            add(k.event->iconId);
                            add(k.event->imageId);
                        }
        }
    } else if (const auto* f = r.get<NVFrame>()) {
        add(f->audioId);
    } else if (const auto* h = r.get<StoredHyperLink>()) {
        add(h->clickedImageId);
        add(h->mouseOverImageId);
        for (const auto& e : h->events) {
            add(e.audioId);
            add(e.validationImageId);
            add(e.validationSoundId);
            add(e.validationVideoId);
            if (e.dialog) {
                add(e.dialog->icon0);
                add(e.dialog->icon1);
            }
        }
    } else if (const auto* b = r.get<StoredBitmap>()) {
        add(b->imageId);
    }
    return ids;
}

bool OutputFileServices::renumberResources(sAllObjects& r, const Renumbering& renumbered) {
    bool changed = false;
    auto fix = [&](uint32_t& id) {
        auto it = id ? renumbered.find(id) : renumbered.end();
        if (it != renumbered.end() && it->second != id) {
            id = it->second;
            changed = true;
        }
    };
    if (renumbered.empty())
        return false;
    if (auto* v = r.get<StoredValidationField>()) {
        if (v->dialog)
            fix(v->dialog->icon1);
        SMultiString strings;
        const CValidationData codec;
        if (!v->validationData.empty() &&
            codec.GetValidationDataArray(v->validationData.data(), v->validationData.size(), strings)) {
            const bool before = changed;
            changed = false;
            for (auto& s : strings.list)
                for (auto& k : s.keys)
                    if (k.event) {
                        fix(k.event->iconId);
                        fix(k.event->imageId);
                    }
            if (changed)
                v->validationData = codec.pack(strings);
            changed = changed || before;
        }
    } else if (auto* f = r.get<NVFrame>()) {
        fix(f->audioId);
    } else if (auto* h = r.get<StoredHyperLink>()) {
        fix(h->clickedImageId);
        fix(h->mouseOverImageId);
        for (auto& e : h->events) {
            fix(e.audioId);
            fix(e.validationImageId);
            fix(e.validationSoundId);
            fix(e.validationVideoId);
            if (e.dialog) {
                fix(e.dialog->icon0);
                fix(e.dialog->icon1);
            }
        }
    } else if (auto* b = r.get<StoredBitmap>()) {
        fix(b->imageId);
    }
    return changed;
}

void OutputFileServices::renumberResources(std::vector<SPlayBackFrameInfo>& playback,
                                           uint32_t& backgroundSoundId, const Renumbering& renumbered) {
    auto fix = [&](uint32_t& id) {
        auto it = id ? renumbered.find(id) : renumbered.end();
        if (it != renumbered.end())
            id = it->second;
    };
    for (SPlayBackFrameInfo& p : playback)
        fix(p.cursorImage);
    fix(backgroundSoundId);
}

bool OutputFileServices::resource(uint32_t id, VlmResourceRecord& record, std::vector<uint8_t>* data) {
    if (!m_media || id == 0)
        return false;
    auto node = m_media->FindTheChildNodeFromID(id);
    if (!node)
        return false;
    record = VlmResourceRecord(node->toBytes());
    if (!data)
        return true;
    if (node->isDefaultIcon()) {
        // Default icons are read through the library record of the same source path.
        const uint32_t source = m_media->FindTheIDFromPath(QString::fromLocal8Bit(node->fullPath.c_str()));
        unsigned long length = 0;
        m_media->ReadDefaultResourceData(source, nullptr, 0, length);
        data->assign(length, 0);
        m_media->ReadDefaultResourceData(source, data->data(), data->size(), length);
        data->resize(std::min<size_t>(length, data->size()));
        return !data->empty();
    }
    if (node->storedSize == 0) {
        // Sounds and videos are kept by path: their block is empty.
        data->clear();
        return true;
    }
    data->assign(std::max(node->storedSize, node->fileSize), 0);
    const uint32_t got = m_media->Read(*node, data->data(), data->size());
    if (got == 0) {
        diag::print("Errr on read: resource %u\n", id);
        data->clear();
        return false;
    }
    data->resize(got);
    return true;
}

std::vector<uint8_t> OutputFileServices::encodeAudio(const uint8_t* pcm, size_t bytes) {
    std::vector<uint8_t> out(G723PackedLength(bytes));
    int length = 0;
    if (bytes == 0 || G723Compress(pcm, int(bytes), out.data(), &length) != 0)
        return {};
    out.resize(size_t(length));
    return out;
}

std::vector<uint8_t> OutputFileServices::decodeAudio(const uint8_t* coded, size_t length,
                                                     size_t uncodedBytes) {
    std::vector<uint8_t> out(std::max(G723DecodedLength(length), uncodedBytes));
    int got = 0;
    if (length == 0 || G723DeCompress(const_cast<uint8_t*>(coded), int(length),
                                      reinterpret_cast<short*>(out.data()), &got) != 0)
        return std::vector<uint8_t>(uncodedBytes, 0);
    out.resize(uncodedBytes);
    return out;
}

void OutputFileServices::progress(uint32_t frame) {
    if (m_progress)
        m_progress(frame);
}

void OutputFileServices::addResource(const VlmResourceRecord& record, const std::vector<uint8_t>& data) {
    if (!m_media)
        return;
    const ResourceChildNode node = ResourceChildNode::fromBytes(record.bytes.data());
    uint32_t kept = 0;
    m_media->WriteFromVLMKeepingId(node, data.data(), data.size(), kept);
    // A clashing identifier was given a new number: the records follow it.
    noteRenumbered(node.resourceId, kept);
}

bool OutputFileServices::frameObjects(uint32_t frame, const uint8_t* plain, size_t length,
                                      const vlm::FileVersion& version) {
    auto records = parseObjectChunk(plain, length, version);
    if (!records)
        return false;
    for (auto& r : *records) {
        r.frameIndex = int32_t(frame);
        renumberResources(r, m_renumbered);
        if (auto* f = r.get<NVFrame>()) {
            if (f->m_Caption.empty())
                f->m_Caption = "Frame " + std::to_string(frame + 1);
            if (f->audioId)
                m_framesWithAudio.insert(frame);
        }
    }
    if (m_take)
        m_take(frame, std::move(*records));
    return true;
}

void OutputFileServices::noteRenumbered(uint32_t stored, uint32_t kept) {
    if (stored != 0 && kept != 0 && stored != kept)
        m_renumbered[stored] = kept;
}

bool OutputFileServices::frameHasAudioResource(uint32_t frame) {
    return m_framesWithAudio.count(frame) != 0;
}
