#include "store/VlmFile.h"
#include "store/Diagnostics.h"

#include "store/RecordIO.h"
#include "store/RegularFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

constexpr uint32_t U32_MAX = std::numeric_limits<uint32_t>::max();

// Frames a file may describe once skip counts are expanded: far beyond any
// recording (over 100 hours at 10 frames a second), small enough that a
// forged skip count cannot exhaust memory.
constexpr uint64_t MAX_INDEX_ENTRIES = uint64_t(1) << 22;

// Per-record chatter of the index bookkeeping, for debugging files by hand.
bool traceEnabled() {
    static const bool on = std::getenv("VELMORA_VLM_TRACE") != nullptr;
    return on;
}

bool isFrameStream(uint32_t type) {
    return type == vlm::CHUNK_VIDEO || type == vlm::CHUNK_AUDIO || type == vlm::CHUNK_OBJECT;
}

bool fitsIn(uint64_t offset, uint64_t length, uint64_t size) {
    return offset <= size && length <= size - offset;
}

template <size_t N> bool writeRecord(FILE* f, const std::array<uint8_t, N>& bytes) {
    return std::fwrite(bytes.data(), 1, N, f) == N;
}

} // namespace

VlmFile::VlmFile() = default;

VlmFile::~VlmFile() {
    releaseStreams();
}

void VlmFile::releaseStreams() {
    if (m_readStream)
        std::fclose(m_readStream);
    if (m_writeStream)
        std::fclose(m_writeStream);
    m_readStream = nullptr;
    m_writeStream = nullptr;
}

void VlmFile::resetState() {
    m_resources.clear();
    m_path.clear();
    m_error.clear();
    m_mode = -1;
    m_open = false;
    m_fileSize = 0;
    m_offset = 0;
    m_formatOffset = m_formatLength = 0;
    m_format1Offset = m_format1Length = 0;
    m_pendingAudioLength = 0;
    m_currentFrame = 0;
    m_pending = VLMIndex{};
    m_slots = 0;
    m_slotsClosed = false;
    m_broken = false;
    m_droppedRecords = 0;
    m_header = VLMHeader{};
    m_videoHeader = VLMVideoHeader{};
    m_audioHeader = VLMAudioHeader{};
    m_objectHeader = VLMObjectHeader{};
    m_index.clear();
    m_audioReadTotal = 0;
}

int VlmFile::checkSignature(int signKind) const {
    const char* expected = nullptr;
    int wrong = 0;
    if (signKind == SIGN_INT) {
        expected = "INT";
        wrong = vlm::VLM_WRONG_SIGN;
    } else if (signKind == SIGN_EXM) {
        expected = "EXM";
        wrong = vlm::EXM_WRONG_SIGN;
    } else {
        return vlm::SCAP_SIGNATURE_OK;
    }
    return std::memcmp(m_header.signature.data(), expected, 3) == 0 ? vlm::SCAP_SIGNATURE_OK : wrong;
}

int VlmFile::vlmInitialise(const std::string& path, int mode, uint32_t slots, int signKind) {
    // A container serves one file: start from a clean state.
    releaseStreams();
    resetState();
    m_mode = mode;
    m_path = path;

    if (mode == MODE_WRITE) {
        m_writeStream = std::fopen(path.c_str(), "w+");
        if (!m_writeStream) {
            noteError("cannot create", errno);
            std::printf("file open fail");
            std::fflush(stdout);
            return 2;
        }
        return beginWriting(slots);
    }

    if (mode == MODE_READ) {
        // Only a regular file: a FIFO opened plainly would block.
        const int fd = regularfile::open(path, O_RDONLY);
        m_readStream = fd >= 0 ? fdopen(fd, "rb") : nullptr;
        if (!m_readStream) {
            const int err = errno;
            if (fd >= 0)
                ::close(fd);
            noteError(err == EINVAL ? "cannot open (not a regular file)" : "cannot open",
                      err == EINVAL ? 0 : err);
            diag::print("vlm file open error \n");
            m_mode = -1;
            return 1;
        }
        auto fail = [this](const char* message, const char* what, int result) {
            if (message)
                diag::print("%s", message);
            noteError(what, 0);
            releaseStreams();
            m_mode = -1;
            return result;
        };
        if (std::fseek(m_readStream, 0, SEEK_END) != 0)
            return fail("vlm file VLMHeader read error \n", "cannot find the length of", 1);
        long size = std::ftell(m_readStream);
        if (size < 0 || std::fseek(m_readStream, 0, SEEK_SET) != 0)
            return fail("vlm file VLMHeader read error \n", "cannot find the length of", 1);
        m_fileSize = uint64_t(size);

        std::array<uint8_t, VLMHeader::SIZE> hb;
        if (std::fread(hb.data(), 1, hb.size(), m_readStream) != hb.size())
            return fail("vlm file VLMHeader read error \n", "the header is cut short in", 1);
        m_header = VLMHeader::fromBytes(hb.data());
        int sig = checkSignature(signKind);
        if (sig != vlm::SCAP_SIGNATURE_OK)
            return fail("vlm sig not ok \n", "wrong signature in", sig);

        std::array<uint8_t, VLMVideoHeader::SIZE> vb;
        if (std::fread(vb.data(), 1, vb.size(), m_readStream) != vb.size())
            return fail("vlm video header read error \n", "the video header is cut short in", 1);
        m_videoHeader = VLMVideoHeader::fromBytes(vb.data());
        std::array<uint8_t, VLMAudioHeader::SIZE> ab;
        if (std::fread(ab.data(), 1, ab.size(), m_readStream) != ab.size())
            return fail(nullptr, "the audio header is cut short in", 1);
        m_audioHeader = VLMAudioHeader::fromBytes(ab.data());
        std::array<uint8_t, VLMObjectHeader::SIZE> ob;
        if (std::fread(ob.data(), 1, ob.size(), m_readStream) != ob.size())
            return fail(nullptr, "the object header is cut short in", 1);
        m_objectHeader = VLMObjectHeader::fromBytes(ob.data());

        if (!vlmIndexRead())
            return fail("vlm index read error \n", "a damaged frame index in", 1);
        if (!ScapResourceIndexRead())
            return fail("vlm resource table read error \n", "a damaged resource table in", 1);
        m_open = true;
        return 0;
    }

    m_open = true;
    return 0;
}

int VlmFile::createToWrite(std::FILE* stream, const std::string& path, uint32_t slotCount) {
    releaseStreams();
    resetState();
    m_mode = MODE_WRITE;
    m_path = path;
    m_writeStream = stream;
    if (!stream) {
        m_mode = -1;
        return 2;
    }
    return beginWriting(slotCount);
}

void VlmFile::noteError(const std::string& what, int err) {
    m_error = what + " " + m_path;
    if (err != 0)
        m_error += std::string(": ") + std::strerror(err);
}

int VlmFile::beginWriting(uint32_t slots) {
    // Unbuffered: a block is on the file or its failure is seen at once,
    // never later at a flush that belongs to another block.
    std::setvbuf(m_writeStream, nullptr, _IONBF, 0);
    auto fail = [this](const char* message) {
        noteError("cannot write", errno);
        std::printf("%s", message);
        std::fflush(stdout);
        releaseStreams();
        m_mode = -1;
        return 1;
    };
    if (uint64_t(slots) * VLMIndex::SIZE > U32_MAX - vlm::INDEX_OFFSET) {
        errno = EFBIG;
        return fail("fwrite 5");
    }

    m_header.signature = {'I', 'N', 'T', '\0'};
    m_header.majorVersion = vlm::MAJOR_VERSION;
    m_header.minorVersion = vlm::MINOR_VERSION_OPEN;
    if (!writeRecord(m_writeStream, m_header.toBytes()))
        return fail("fwrite1");
    m_offset = VLMHeader::SIZE;

    if (!writeRecord(m_writeStream, VLMVideoHeader{}.toBytes()))
        return fail("fwrite2");
    if (!writeRecord(m_writeStream, VLMAudioHeader{}.toBytes()))
        return fail("fwrite 3");
    if (!writeRecord(m_writeStream, VLMObjectHeader{}.toBytes()))
        return fail("fwrite4");
    m_header.videoHeaderOffset = vlm::VIDEO_HEADER_OFFSET;
    m_header.videoHeaderLength = VLMVideoHeader::SIZE;
    m_header.audioHeaderOffset = vlm::AUDIO_HEADER_OFFSET;
    m_header.audioHeaderLength = VLMAudioHeader::SIZE;
    m_header.objectHeaderOffset = vlm::OBJECT_HEADER_OFFSET;
    m_header.objectHeaderLength = VLMObjectHeader::SIZE;
    m_offset = vlm::INDEX_OFFSET;

    const std::vector<uint8_t> zeroSlots(VLMIndex::SIZE * 512, 0);
    for (uint64_t left = uint64_t(slots) * VLMIndex::SIZE; left > 0;) {
        size_t n = size_t(std::min<uint64_t>(left, zeroSlots.size()));
        if (std::fwrite(zeroSlots.data(), 1, n, m_writeStream) != n)
            return fail("fwrite 5");
        left -= n;
    }
    m_slots = slots;
    m_header.indexOffset = vlm::INDEX_OFFSET;
    m_header.indexCount = slots;
    m_header.indexLength = slots * uint32_t(VLMIndex::SIZE);
    m_offset += m_header.indexLength;

    if (std::fflush(m_writeStream) != 0)
        return fail("fwrite 5");
    m_open = true;
    return 0;
}

// --- Writing ---

bool VlmFile::appendBytes(const void* data, uint32_t length, uint32_t* written, uint64_t end) {
    *written = 0;
    if (length == 0)
        return true;
    if (!data || uint64_t(end) + length > U32_MAX)
        return false;
    errno = 0;
    size_t n = std::fwrite(data, 1, length, m_writeStream);
    if (n == length) {
        *written = length;
        return true;
    }
    noteError("cannot write", errno ? errno : EIO);
    // Take the partial bytes back so that the file ends where the recorded
    // offsets say; otherwise every later offset would be wrong.
    std::clearerr(m_writeStream);
    if (!rewindToEnd(end)) {
        m_broken = true;
        diag::print("vlm write error: file no longer matches its offsets\n");
    }
    return false;
}

bool VlmFile::rewindToEnd(uint64_t end) {
    if (std::fflush(m_writeStream) != 0)
        return false;
    if (ftruncate(fileno(m_writeStream), off_t(end)) != 0)
        return false;
    return std::fseek(m_writeStream, long(end), SEEK_SET) == 0;
}

bool VlmFile::writable() const {
    return m_open && m_mode == MODE_WRITE && m_writeStream && !m_broken;
}

bool VlmFile::blockAllowed(uint32_t length) const {
    // While a frame's audio is open its bytes lie at the running offset: any
    // other block there would take their place in the index.
    if (length != 0 && m_pendingAudioLength != 0) {
        diag::print("vlm write refused: audio chunk of frame %u not closed\n", m_currentFrame);
        return false;
    }
    return true;
}

bool VlmFile::vlmStreamWrite(const void* data, uint32_t length, uint32_t frame, uint32_t type,
                             uint32_t* outLength) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    if (!writable())
        return false;

    if (type != vlm::CHUNK_ADDITIONAL_DATA && type != vlm::CHUNK_GLOBAL_OBJECT &&
        type != vlm::CHUNK_UNINDEXED && frame > m_currentFrame) {
        vlmIndexArrayAdd(m_currentFrame);
        m_currentFrame = frame;
    }

    uint32_t written = 0;
    if (!blockAllowed(length) || !appendBytes(data, length, &written, m_offset))
        return false;

    switch (type) {
    case vlm::CHUNK_VIDEO:
        m_pending.videoOffset = m_offset;
        m_pending.videoLength = written;
        if (m_pending.audioOffset == 0)
            m_pending.audioOffset = m_offset;
        m_pending.formatOffset = m_formatOffset;
        m_pending.formatLength = m_formatLength;
        m_videoHeader.largestChunk = std::max(m_videoHeader.largestChunk, written);
        if (written)
            m_pending.flags |= vlm::IF_VIDEO;
        break;
    case vlm::CHUNK_AUDIO:
        m_pending.audioOffset = m_offset;
        m_pending.audioLength = written;
        if (m_pending.videoOffset == 0)
            m_pending.videoOffset = m_offset;
        m_audioHeader.largestChunk = std::max(m_audioHeader.largestChunk, written);
        if (written)
            m_pending.flags |= vlm::IF_AUDIO;
        m_header.flags |= vlm::HF_AUDIO;
        break;
    case vlm::CHUNK_OBJECT:
        m_pending.objectOffset = m_offset;
        m_pending.objectLength = written;
        m_objectHeader.largestChunk = std::max(m_objectHeader.largestChunk, written);
        if (written)
            m_pending.flags |= vlm::IF_OBJECT;
        m_header.flags |= vlm::HF_OBJECTS;
        break;
    case vlm::CHUNK_ADDITIONAL_DATA:
        m_header.additionalDataOffset = m_offset;
        m_header.additionalDataLength = written;
        break;
    case vlm::CHUNK_GLOBAL_OBJECT:
        m_header.globalObjectOffset = m_offset;
        m_header.globalObjectLength = written;
        break;
    case vlm::CHUNK_RESOURCE:
        if (m_header.resourceChunkCount == 0)
            m_header.firstResourceChunkOffset = m_offset;
        ++m_header.resourceChunkCount;
        break;
    default:
        break;
    }
    m_offset += written;
    if (written)
        m_slotsClosed = true;
    *outLength = written;
    return true;
}

int VlmFile::vlmSetFormat(const void* data, uint32_t length, int kind) {
    if (!writable())
        return 1;
    uint32_t written = 0;
    if (!blockAllowed(length) || !appendBytes(data, length, &written, m_offset))
        return 1;
    if (kind == 0) {
        m_formatOffset = m_offset;
        m_formatLength = written;
    } else if (kind == 1) {
        m_format1Offset = m_offset;
        m_format1Length = written;
    }
    m_offset += written;
    if (written)
        m_slotsClosed = true;
    return 0;
}

bool VlmFile::ScapAudioStreamWrite(const void* data, uint32_t length, uint32_t, uint32_t,
                                   uint32_t* outCount) {
    uint32_t dummy = 0;
    if (!outCount)
        outCount = &dummy;
    *outCount = 0;
    if (!writable())
        return false;
    uint32_t written = 0;
    if (!appendBytes(data, length, &written, uint64_t(m_offset) + m_pendingAudioLength))
        return false;
    m_pendingAudioLength += written;
    if (written)
        m_slotsClosed = true;
    *outCount = written;
    return true;
}

int VlmFile::ScapAudioStreamClose(uint32_t frame, uint32_t total) {
    if (!writable())
        return 1;
    m_currentFrame = frame;
    m_pending.audioOffset = m_offset;
    m_pending.audioLength = m_pendingAudioLength;
    if (m_pending.videoOffset == 0)
        m_pending.videoOffset = m_offset;
    m_audioHeader.largestChunk = std::max(m_audioHeader.largestChunk, total);
    if (total != 0)
        m_pending.flags |= vlm::IF_AUDIO;
    m_header.flags |= vlm::HF_AUDIO;
    m_offset += m_pendingAudioLength;
    m_pendingAudioLength = 0;
    return 0;
}

void VlmFile::vlmIndexArrayAdd(uint32_t frame) {
    m_pending.skipCount = 0;
    if (traceEnabled())
        diag::print("&&& dwCf - %u %ld \n", frame, m_index.empty() ? -1L : long(m_index.size() - 1));
    if (!m_index.empty()) {
        VLMIndex& last = m_index.back();
        int64_t diff = int64_t(frame) - int64_t(last.frameNumber);
        last.skipCount = diff > 1 ? uint32_t(diff - 1) : 0;
    }
    m_pending.frameNumber = frame;
    m_index.push_back(m_pending);
    m_pending = VLMIndex{};
}

bool VlmFile::ResorcePresent(uint32_t id) {
    if (m_resources.empty()) {
        m_header.firstResourceOffset = m_offset;
        m_header.resourceRecordSize = VlmResourceRecord::SIZE;
        return false;
    }
    return std::any_of(m_resources.begin(), m_resources.end(),
                       [id](const VlmResourceRecord& r) { return r.resourceId() == id; });
}

bool VlmFile::IsResorceDataWritten(uint32_t id) const {
    if (m_resources.empty())
        return true;
    return std::any_of(m_resources.begin(), m_resources.end(), [id](const VlmResourceRecord& r) {
        return r.resourceId() == id && r.dataLength() != 0;
    });
}

bool VlmFile::SetResorceOffset(uint32_t id, uint32_t offset, uint32_t length) {
    for (auto& r : m_resources)
        if (r.resourceId() == id) {
            r.setDataOffset(offset);
            r.setDataLength(length);
            return true;
        }
    return false;
}

int VlmFile::ScapResourceWrite(const void*, uint32_t, uint32_t* outLength, const VlmResourceRecord& node) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    if (!writable())
        return 1;
    const uint32_t id = node.resourceId();
    if (!m_resources.empty() && ResorcePresent(id))
        return 0;
    if (m_slotsClosed || m_pendingAudioLength != 0) {
        // The close rewrites the table contiguously from the first slot.
        diag::print("ScapResourceWrite: resource slots must precede every other block\n");
        return 1;
    }
    ResorcePresent(id); // an empty table: the first slot goes here
    const std::array<uint8_t, VlmResourceRecord::SIZE> zeroSlot{};
    uint32_t written = 0;
    if (!appendBytes(zeroSlot.data(), uint32_t(zeroSlot.size()), &written, m_offset))
        return 1;
    m_offset += written;
    VlmResourceRecord r = node;
    r.setDataOffset(0);
    r.setDataLength(0);
    m_resources.push_back(r);
    ++m_header.resourceCount;
    *outLength = written;
    return 0;
}

int VlmFile::ScapResourceDataWrite(const void* data, uint32_t length, uint32_t* outLength,
                                   const VlmResourceRecord& node) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    if (!writable())
        return 1;
    const uint32_t id = node.resourceId();
    const bool hasSlot = std::any_of(m_resources.begin(), m_resources.end(),
                                     [id](const VlmResourceRecord& r) { return r.resourceId() == id; });
    if (!hasSlot) {
        // Bytes without a slot would lie in the file unrecorded.
        std::printf("Resource Write Error");
        std::fflush(stdout);
        return 1;
    }
    if (IsResorceDataWritten(id))
        return 0;
    uint32_t written = 0;
    if (!blockAllowed(length) || !appendBytes(data, length, &written, m_offset))
        return 1;
    SetResorceOffset(id, m_offset, written);
    m_offset += written;
    if (written)
        m_slotsClosed = true;
    *outLength = written;
    return 0;
}

bool VlmFile::ScapResourceIndexWrite() {
    if (std::fseek(m_writeStream, long(m_header.firstResourceOffset), SEEK_SET) != 0)
        return false;
    for (const auto& r : m_resources)
        if (!writeRecord(m_writeStream, r.bytes))
            return false;
    return true;
}

int VlmFile::closeWriting() {
    errno = 0;
    vlmIndexArrayAdd(m_currentFrame);
    if (!m_writeStream)
        return 1;

    auto fail = [this](const char* what) {
        const int err = errno;
        diag::print("vlmFileClose: %s\n", what);
        if (m_error.empty())
            noteError(std::string("cannot complete (") + what + ")", err);
        releaseStreams();
        return 1;
    };
    if (m_broken)
        return fail("an earlier write left the file inconsistent");
    if (m_pendingAudioLength != 0) {
        diag::print("vlmFileClose: audio of frame %u was never closed; its %u bytes are not indexed\n",
                    m_currentFrame, m_pendingAudioLength);
    }

    if (std::fseek(m_writeStream, long(m_header.indexOffset), SEEK_SET) != 0) {
        diag::print("vlm seek error %d\n", 0);
        return fail("index not written");
    }
    const size_t records = std::min<size_t>(m_index.size(), m_slots);
    for (size_t i = 0; i < records; ++i)
        if (!writeRecord(m_writeStream, m_index[i].toBytes())) {
            diag::print("vlmFileClose: line %d fwrite failed\n", 1467);
            return fail("index not written");
        }
    m_droppedRecords = uint32_t(m_index.size() - records);
    if (m_droppedRecords)
        diag::print("vlmFileClose: %u index records beyond the %u slots were not written\n", m_droppedRecords,
                    m_slots);
    m_header.indexLength = uint32_t(records * VLMIndex::SIZE);

    const uint32_t fileLength = m_offset + m_pendingAudioLength;
    m_header.signature = {'I', 'N', 'T', '\0'};
    m_header.minorVersion = vlm::MINOR_VERSION_CLOSED;
    m_header.majorVersion = vlm::MAJOR_VERSION;
    m_header.sizeWord = uint32_t(VLMIndex::SIZE) * (uint32_t(m_index.size()) - 2u) + fileLength;
    m_header.indexCount = m_currentFrame + 1;
    m_header.flags |= vlm::HF_RESOURCES_CONTIGUOUS;

    // The entry counts of the audio and object headers live only in memory.
    VLMAudioHeader audio = m_audioHeader;
    audio.entryCount = 0;
    VLMObjectHeader object = m_objectHeader;
    object.entryCount = 0;
    if (std::fseek(m_writeStream, long(vlm::HEADER_OFFSET), SEEK_SET) != 0 ||
        !writeRecord(m_writeStream, m_header.toBytes()))
        return fail("header not written");
    if (std::fseek(m_writeStream, long(m_header.videoHeaderOffset), SEEK_SET) != 0 ||
        !writeRecord(m_writeStream, m_videoHeader.toBytes()))
        return fail("video header not written");
    if (std::fseek(m_writeStream, long(m_header.audioHeaderOffset), SEEK_SET) != 0 ||
        !writeRecord(m_writeStream, audio.toBytes()))
        return fail("audio header not written");
    if (std::fseek(m_writeStream, long(m_header.objectHeaderOffset), SEEK_SET) != 0 ||
        !writeRecord(m_writeStream, object.toBytes()))
        return fail("object header not written");
    if (!m_resources.empty() && !ScapResourceIndexWrite())
        return fail("resource table not written");

    FILE* f = m_writeStream;
    m_writeStream = nullptr;
    if (std::fclose(f) != 0) {
        noteError("cannot complete", errno);
        diag::print("vlmFileClose: close failed\n");
        return 1;
    }
    return 0;
}

int VlmFile::vlmFileClose() {
    if (!m_open || (m_mode != MODE_WRITE && m_mode != MODE_READ))
        return 1;
    m_open = false;
    if (m_mode == MODE_READ) {
        releaseStreams();
        return 0;
    }
    return closeWriting();
}

// --- Reading ---

bool VlmFile::readAt(uint64_t offset, void* buffer, size_t length) {
    if (!m_readStream || !fitsIn(offset, length, m_fileSize))
        return false;
    if (length == 0)
        return true;
    if (std::fseek(m_readStream, long(offset), SEEK_SET) != 0)
        return false;
    return std::fread(buffer, 1, length, m_readStream) == length;
}

bool VlmFile::vlmIndexRead() {
    m_index.clear();
    const uint64_t count = m_header.indexLength / VLMIndex::SIZE;
    if (!fitsIn(m_header.indexOffset, count * VLMIndex::SIZE, m_fileSize))
        return false;
    if (std::fseek(m_readStream, long(m_header.indexOffset), SEEK_SET) != 0)
        return false;

    // Entries are addressed by frame number: records must come in frame
    // order from frame 0, each followed by its skipped frames, and describe
    // no more frames than the header counts.
    uint64_t limit = std::min(uint64_t(m_header.indexCount), MAX_INDEX_ENTRIES);
    if (m_limitRecord > 0) {
        const uint64_t offset = m_header.additionalDataOffset, length = m_header.additionalDataLength;
        const bool held = length >= m_limitHead && fitsIn(offset, length, m_fileSize);
        limit = std::min(limit, held ? (length - m_limitHead) / m_limitRecord : 0);
    }
    std::array<uint8_t, VLMIndex::SIZE> b;
    for (uint64_t i = 0; i < count; ++i) {
        if (std::fread(b.data(), 1, b.size(), m_readStream) != b.size())
            return false;
        VLMIndex x = VLMIndex::fromBytes(b.data());
        if (x.frameNumber != m_index.size())
            return false;
        if (uint64_t(m_index.size()) + 1 + x.skipCount > limit)
            return false;
        const std::pair<uint32_t, uint32_t> ranges[] = {{x.formatOffset, x.formatLength},
                                                        {x.videoOffset, x.videoLength},
                                                        {x.audioOffset, x.audioLength},
                                                        {x.objectOffset, x.objectLength}};
        for (const auto& [off, len] : ranges)
            if (len != 0 && !fitsIn(off, len, m_fileSize))
                return false;
        m_index.push_back(x);
        for (uint32_t s = 1; s <= x.skipCount; ++s) {
            VLMIndex blank;
            blank.frameNumber = x.frameNumber + s;
            blank.videoOffset = x.videoOffset;
            blank.audioOffset = x.audioOffset;
            blank.skipCount = x.skipCount - s;
            if (traceEnabled())
                diag::print("sIndexBalnk = %u\n", blank.audioOffset);
            m_index.push_back(blank);
        }
    }
    const uint32_t entries = uint32_t(m_index.size());
    m_videoHeader.frameCount = entries;
    m_audioHeader.entryCount = entries;
    m_objectHeader.entryCount = entries;
    return true;
}

bool VlmFile::ScapResourceIndexRead() {
    m_resources.clear();
    uint64_t pos = m_header.firstResourceOffset;
    const bool contiguous = m_header.flags & vlm::HF_RESOURCES_CONTIGUOUS;
    for (uint32_t i = 0; i < m_header.resourceCount; ++i) {
        // Each record must lie inside the file: a forged count ends here.
        VlmResourceRecord r;
        if (!readAt(pos, r.bytes.data(), r.bytes.size()))
            return false;
        if (r.dataLength() != 0 && !fitsIn(r.dataOffset(), r.dataLength(), m_fileSize))
            return false;
        m_resources.push_back(r);
        if (contiguous) {
            pos += VlmResourceRecord::SIZE;
        } else {
            // Records each followed by their data: the chain must move on.
            uint64_t next = uint64_t(r.dataOffset()) + r.dataLength();
            if (next < pos + VlmResourceRecord::SIZE)
                return false;
            pos = next;
        }
    }
    return true;
}

const VLMIndex* VlmFile::entry(uint32_t frame) const {
    if (frame >= m_header.indexCount || frame >= m_index.size())
        return nullptr;
    return &m_index[frame];
}

bool VlmFile::vlmGetStream(uint32_t type) const {
    switch (type) {
    case vlm::CHUNK_VIDEO:
        return m_index.empty();
    case vlm::CHUNK_AUDIO:
        return !(m_header.flags & vlm::HF_AUDIO);
    case vlm::CHUNK_OBJECT:
        return !(m_header.flags & vlm::HF_OBJECTS);
    default:
        return false;
    }
}

int VlmFile::vlmStreamInfo(void* buffer, size_t capacity, int selector) {
    uint32_t offset = 0, length = 0;
    if (selector == 0) {
        offset = m_header.videoHeaderOffset;
        length = m_header.videoHeaderLength;
    } else if (selector == 1) {
        offset = m_header.audioHeaderOffset;
        length = m_header.audioHeaderLength;
    } else {
        return 1;
    }
    if (length == 0 || !buffer || capacity < length)
        return 0;
    return readAt(offset, buffer, length) ? 1 : 0;
}

uint32_t VlmFile::vlmStreamLength(uint32_t type) const {
    switch (type) {
    case vlm::CHUNK_VIDEO:
        return m_videoHeader.frameCount;
    case vlm::CHUNK_AUDIO:
        return m_audioHeader.entryCount;
    case vlm::CHUNK_OBJECT:
        return m_objectHeader.entryCount;
    default:
        return 0;
    }
}

namespace {
std::pair<uint32_t, uint32_t> chunkOf(const VLMIndex& x, uint32_t type) {
    switch (type) {
    case vlm::CHUNK_VIDEO:
        return {x.videoOffset, x.videoLength};
    case vlm::CHUNK_AUDIO:
        return {x.audioOffset, x.audioLength};
    default:
        return {x.objectOffset, x.objectLength};
    }
}
} // namespace

int VlmFile::vlmStreamSize(uint32_t frame, uint32_t type, uint32_t* outLength) const {
    if (outLength)
        *outLength = 0;
    Chunk chunk;
    if (!outLength || !streamChunk(frame, type, chunk))
        return 1;
    *outLength = chunk.length;
    return 0;
}

bool VlmFile::streamChunk(uint32_t frame, uint32_t type, Chunk& out) const {
    const VLMIndex* x = isFrameStream(type) ? entry(frame) : nullptr;
    if (!x)
        return false;
    const auto [offset, length] = chunkOf(*x, type);
    out = {offset, length};
    return true;
}

bool VlmFile::formatChunk(uint32_t frame, int kind, Chunk& out) const {
    const VLMIndex* x = kind == 0 || kind == 1 ? entry(frame) : nullptr;
    if (!x)
        return false;
    out = kind == 0 ? Chunk{x->formatOffset, x->formatLength} : Chunk{x->audioOffset, x->audioLength};
    return true;
}

int VlmFile::readChunk(const Chunk& chunk, void* buffer, size_t capacity, uint32_t* outLength) {
    if (chunk.length == 0)
        return 0;
    if (!buffer || capacity < chunk.length || !readAt(chunk.offset, buffer, chunk.length))
        return 1;
    *outLength = chunk.length;
    return 0;
}

int VlmFile::readChunk(const Chunk& chunk, std::vector<uint8_t>& out) {
    out.resize(chunk.length);
    uint32_t got = 0;
    const int r = readChunk(chunk, out.data(), out.size(), &got);
    if (r != 0)
        out.clear();
    return r;
}

int VlmFile::vlmStreamRead(void* buffer, size_t capacity, uint32_t frame, uint32_t type,
                           uint32_t* outLength) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    Chunk chunk;
    if (!streamChunk(frame, type, chunk))
        return 1;
    return readChunk(chunk, buffer, capacity, outLength);
}

int VlmFile::vlmStreamRead(std::vector<uint8_t>& out, uint32_t frame, uint32_t type) {
    out.clear();
    Chunk chunk;
    if (!streamChunk(frame, type, chunk))
        return 1;
    return readChunk(chunk, out);
}

int VlmFile::vlmGetFormat(void* buffer, size_t capacity, uint32_t frame, uint32_t* outLength, int kind) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    Chunk chunk;
    if (!formatChunk(frame, kind, chunk))
        return 1;
    return readChunk(chunk, buffer, capacity, outLength);
}

int VlmFile::vlmGetFormat(std::vector<uint8_t>& out, uint32_t frame, int kind) {
    out.clear();
    Chunk chunk;
    if (!formatChunk(frame, kind, chunk))
        return 1;
    return readChunk(chunk, out);
}

int VlmFile::vlmAdditionalDataRead(void* buffer, size_t capacity, uint32_t* outLength) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    return readChunk({m_header.additionalDataOffset, m_header.additionalDataLength}, buffer, capacity,
                     outLength);
}

bool VlmFile::ScapAudioStreamRead(void* buffer, uint32_t frame, uint32_t length, uint32_t* outCount,
                                  uint32_t position) {
    uint32_t dummy = 0;
    if (!outCount)
        outCount = &dummy;
    *outCount = 0;
    if (position == 0)
        m_audioReadTotal = 0;
    const VLMIndex* x = entry(frame);
    if (!x || length == 0 || length > x->audioLength)
        return false;
    // A piece must lie inside the frame's chunk.
    if (uint64_t(position) + length > x->audioLength)
        return false;
    if (!buffer || !readAt(uint64_t(x->audioOffset) + position, buffer, length))
        return false;
    *outCount = length;
    m_audioReadTotal += length;
    return m_audioReadTotal < x->audioLength;
}

int VlmFile::ScapResourceRead(VlmResourceRecord& node, uint32_t n) const {
    if (m_resources.empty() || n >= m_resources.size())
        return 1;
    node = m_resources[n];
    return 0;
}

int VlmFile::ScapResourceRead(uint32_t id, uint32_t* outLength, void* buffer, size_t capacity) {
    uint32_t dummy = 0;
    if (!outLength)
        outLength = &dummy;
    *outLength = 0;
    if (m_resources.empty())
        return 1;
    auto it = std::find_if(m_resources.begin(), m_resources.end(),
                           [id](const VlmResourceRecord& r) { return r.resourceId() == id; });
    if (it == m_resources.end())
        return 0;
    const uint32_t length = it->dataLength();
    if (length == 0)
        return 1;
    if (!buffer) {
        *outLength = length;
        return 0;
    }
    if (capacity < length || !readAt(it->dataOffset(), buffer, length))
        return 1;
    *outLength = length;
    return 0;
}

int VlmFile::ScapResourceReadFileName(char* buffer, size_t capacity, uint32_t id) const {
    if (m_resources.empty() || !buffer || capacity == 0)
        return 1;
    auto it = std::find_if(m_resources.begin(), m_resources.end(),
                           [id](const VlmResourceRecord& r) { return r.resourceId() == id; });
    if (it == m_resources.end())
        return 1;
    std::string path = it->fullPath();
    size_t n = std::min(path.size(), capacity - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return 0;
}
