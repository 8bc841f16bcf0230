// What the make and the import need of the rest of the program: the frames'
// stored object records, the media library's resources and the G.723 coder.
#pragma once

#include "canvas/records/sAllObjects.h"
#include "store/OutputFileImporter.h"
#include "store/OutputFileMaker.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

class MediaLibraryInterface;

class OutputFileServices : public MakeServices, public ImportServices {
  public:
    using RecordsOf = std::function<std::vector<sAllObjects>(uint32_t frame)>;
    using TakeRecords = std::function<void(uint32_t frame, std::vector<sAllObjects>&& records)>;
    using Progress = std::function<void(uint32_t frame)>;

    OutputFileServices(MediaLibraryInterface* media, RecordsOf records, TakeRecords take,
                       Progress progress = {});

    // MakeServices
    size_t objectCount(uint32_t frame) override;
    std::vector<uint8_t> objectChunk(uint32_t frame) override;
    std::vector<uint32_t> resourceIds(uint32_t frame) override;
    bool resource(uint32_t id, VlmResourceRecord& record, std::vector<uint8_t>* data) override;
    std::vector<uint8_t> encodeAudio(const uint8_t* pcm, size_t bytes) override;
    void progress(uint32_t frame) override;

    // ImportServices
    void addResource(const VlmResourceRecord& record, const std::vector<uint8_t>& data) override;
    std::vector<uint8_t> decodeAudio(const uint8_t* coded, size_t length, size_t uncodedBytes) override;
    bool frameObjects(uint32_t frame, const uint8_t* plain, size_t length,
                      const vlm::FileVersion& version) override;
    bool frameHasAudioResource(uint32_t frame) override;

    // The plain object chunk of a frame's records: 24-byte head, then each
    // record (first word 1024) and its tail.
    static std::vector<uint8_t> plainObjectChunk(const std::vector<sAllObjects>& records);
    // Reads a plain object chunk back; none when its head, count or any record does not read.
    static std::optional<std::vector<sAllObjects>> parseObjectChunk(const uint8_t* plain, size_t length,
                                                                    const vlm::FileVersion& version = {});
    // The resource identifiers a record refers to, in writing order (no zeros).
    static std::vector<uint32_t> resourceIdsOf(const sAllObjects& record);

    // Resources an import stored under other identifiers: old -> new.
    using Renumbering = std::map<uint32_t, uint32_t>;
    // Rewrites the identifiers resourceIdsOf reads by the map (validation
    // strings are unpacked and packed again); true when any changed. A
    // validation tail that does not unpack is left as it is.
    static bool renumberResources(sAllObjects& record, const Renumbering& renumbered);
    // The same for the playback records' cursor images and the background sound.
    static void renumberResources(std::vector<SPlayBackFrameInfo>& playback, uint32_t& backgroundSoundId,
                                  const Renumbering& renumbered);

    // An imported resource the media library keeps under another identifier:
    // object records taken afterwards refer to `kept` instead of `stored`.
    void noteRenumbered(uint32_t stored, uint32_t kept);
    const Renumbering& renumbered() const { return m_renumbered; }

  private:
    const std::vector<sAllObjects>& recordsOf(uint32_t frame);

    MediaLibraryInterface* m_media;
    RecordsOf m_records;
    TakeRecords m_take;
    Progress m_progress;
    // The make asks for one frame several times in a row.
    uint32_t m_cachedFrame = UINT32_MAX;
    std::vector<sAllObjects> m_cache;
    std::set<uint32_t> m_framesWithAudio;
    Renumbering m_renumbered;
};
