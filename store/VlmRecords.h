// Records of the output file (.vlm): the main header, the three stream
// headers, the per-frame index record and the resource record slot.
#pragma once

#include "capture/NVCap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vlm {

// Where the fixed parts of the file lie.
constexpr uint32_t HEADER_OFFSET = 0;
constexpr uint32_t VIDEO_HEADER_OFFSET = 152;
constexpr uint32_t AUDIO_HEADER_OFFSET = 220;
constexpr uint32_t OBJECT_HEADER_OFFSET = 292;
constexpr uint32_t INDEX_OFFSET = 344;

constexpr uint16_t MAJOR_VERSION = 2;
constexpr uint16_t MINOR_VERSION_OPEN = 1;     // until the close
constexpr uint16_t MINOR_VERSION_CLOSED = 995; // after the close

// The version of an output file being read. Files of major version 2 and
// minor version 0, 997 or 998 carry an older tail behind validation fields.
struct FileVersion {
    uint16_t major = MAJOR_VERSION;
    uint16_t minor = MINOR_VERSION_CLOSED;
    bool hasLegacyValidationTails() const {
        return major == 2 && (minor == 0 || minor == 997 || minor == 998);
    }
};

// Chunk types of vlmStreamWrite.
enum ChunkType : uint32_t {
    CHUNK_VIDEO = 2,
    CHUNK_AUDIO = 4,
    CHUNK_OBJECT = 8,
    CHUNK_ADDITIONAL_DATA = 16,
    CHUNK_GLOBAL_OBJECT = 32,
    CHUNK_UNINDEXED = 64,
    CHUNK_RESOURCE = 128,
};

// Header flags (byte 76).
enum HeaderFlags : uint8_t {
    HF_AUDIO = 0x01,
    HF_OBJECTS = 0x02,
    HF_RESOURCES_CONTIGUOUS = 0x10,
};

// Index record flags.
enum IndexFlags : uint32_t {
    IF_VIDEO = 0x02,
    IF_AUDIO = 0x04,
    IF_OBJECT = 0x08,
};

// Results of the open and of checkSignature.
constexpr int SCAP_SIGNATURE_OK = 1;
constexpr int VLM_WRONG_SIGN = 7;
constexpr int EXM_WRONG_SIGN = 8;

} // namespace vlm

struct VLMHeader {
    static constexpr size_t SIZE = 152;
    static constexpr size_t CHARACTER_WORDS = 9;
    enum Offset : size_t {
        SIGNATURE = 0,
        MAJOR_VERSION = 4,
        MINOR_VERSION = 6,
        SIZE_WORD = 8,
        INDEX_COUNT = 12,
        INDEX_OFFSET = 24,
        INDEX_LENGTH = 28,
        VIDEO_HEADER_OFFSET = 32,
        VIDEO_HEADER_LENGTH = 36,
        AUDIO_HEADER_OFFSET = 40,
        AUDIO_HEADER_LENGTH = 44,
        OBJECT_HEADER_OFFSET = 48,
        OBJECT_HEADER_LENGTH = 52,
        GLOBAL_OBJECT_OFFSET = 56,
        GLOBAL_OBJECT_LENGTH = 60,
        ADDITIONAL_DATA_OFFSET = 68,
        ADDITIONAL_DATA_LENGTH = 72,
        FLAGS = 76,
        CHARACTER_WORD = 78,
        IMPORT_BYTE = 96,
        RESOURCE_COUNT = 100,
        FIRST_RESOURCE_OFFSET = 104,
        RESOURCE_RECORD_SIZE = 108,
        RESOURCE_CHUNK_COUNT = 114,
        FIRST_RESOURCE_CHUNK_OFFSET = 116,
    };
    std::array<char, 4> signature{};
    uint16_t majorVersion = 0;
    uint16_t minorVersion = 0;
    uint32_t sizeWord = 0;
    uint32_t indexCount = 0;
    uint32_t indexOffset = 0;
    uint32_t indexLength = 0;
    uint32_t videoHeaderOffset = 0;
    uint32_t videoHeaderLength = 0;
    uint32_t audioHeaderOffset = 0;
    uint32_t audioHeaderLength = 0;
    uint32_t objectHeaderOffset = 0;
    uint32_t objectHeaderLength = 0;
    uint32_t globalObjectOffset = 0;
    uint32_t globalObjectLength = 0;
    uint32_t additionalDataOffset = 0;
    uint32_t additionalDataLength = 0;
    uint8_t flags = 0;
    std::array<uint16_t, CHARACTER_WORDS> characterWords{};
    uint8_t importByte = 0;
    uint32_t resourceCount = 0;
    uint32_t firstResourceOffset = 0;
    uint32_t resourceRecordSize = 0;
    uint16_t resourceChunkCount = 0;
    uint32_t firstResourceChunkOffset = 0;

    std::array<uint8_t, SIZE> toBytes() const;
    static VLMHeader fromBytes(const uint8_t* p);
    bool operator==(const VLMHeader& o) const;
};

struct VLMVideoHeader {
    static constexpr size_t SIZE = 68;
    static constexpr uint32_t FIRST_LARGEST_CHUNK = 300000;
    enum Offset : size_t {
        HEADER_WORD = 0,
        LARGEST_CHUNK = 4,
        CAPTURE_LEFT = 8,
        CAPTURE_TOP = 12,
        CAPTURE_RIGHT = 16,
        CAPTURE_BOTTOM = 20,
        FRAME_COUNT = 24,
        BITS_PER_PIXEL = 28,
    };
    uint32_t headerWord = 0; // 10 in files this system makes
    uint32_t largestChunk = 0;
    SRect capture{0, 0, 0, 0}; // right and bottom exclusive
    uint32_t frameCount = 0;
    uint8_t bitsPerPixel = 0;

    std::array<uint8_t, SIZE> toBytes() const;
    static VLMVideoHeader fromBytes(const uint8_t* p);
    bool operator==(const VLMVideoHeader& o) const;
};

// The project's background sound record, copied whole; its first word is
// the sound's resource identifier, 0 for none.
using SBackgroundSoundBytes = std::array<uint8_t, 20>;

struct VLMAudioHeader {
    static constexpr size_t SIZE = 72;
    enum Offset : size_t { LARGEST_CHUNK = 4, ENTRY_COUNT = 8, BACKGROUND_SOUND = 12 };
    uint32_t largestChunk = 0;
    uint32_t entryCount = 0; // zero in the file; the reader sets it
    SBackgroundSoundBytes backgroundSound{};

    uint32_t backgroundSoundId() const;
    std::array<uint8_t, SIZE> toBytes() const;
    static VLMAudioHeader fromBytes(const uint8_t* p);
    bool operator==(const VLMAudioHeader& o) const;
};

struct VLMObjectHeader {
    static constexpr size_t SIZE = 52;
    enum Offset : size_t { LARGEST_CHUNK = 4, ENTRY_COUNT = 8 };
    uint32_t largestChunk = 0;
    uint32_t entryCount = 0; // zero in the file; the reader sets it

    std::array<uint8_t, SIZE> toBytes() const;
    static VLMObjectHeader fromBytes(const uint8_t* p);
    bool operator==(const VLMObjectHeader& o) const;
};

struct VLMIndex {
    static constexpr size_t SIZE = 92;
    enum Offset : size_t {
        FRAME_NUMBER = 0,
        FLAGS = 4,
        FORMAT_OFFSET = 8,
        FORMAT_LENGTH = 12,
        VIDEO_OFFSET = 16,
        VIDEO_LENGTH = 20,
        AUDIO_OFFSET = 24,
        AUDIO_LENGTH = 28,
        OBJECT_OFFSET = 32,
        OBJECT_LENGTH = 36,
        SKIP_COUNT = 40,
    };
    uint32_t frameNumber = 0;
    uint32_t flags = 0;
    uint32_t formatOffset = 0;
    uint32_t formatLength = 0;
    uint32_t videoOffset = 0;
    uint32_t videoLength = 0;
    uint32_t audioOffset = 0;
    uint32_t audioLength = 0;
    uint32_t objectOffset = 0;
    uint32_t objectLength = 0;
    uint32_t skipCount = 0; // frame numbers after this one without a record

    std::array<uint8_t, SIZE> toBytes() const;
    static VLMIndex fromBytes(const uint8_t* p);
    bool operator==(const VLMIndex& o) const;
};

// One slot of the resource table: the media library's 332-byte resource
// record (ResourceChildNode), copied whole. The container reads and writes
// only the identifier, the data offset and length, and reads the path.
struct VlmResourceRecord {
    static constexpr size_t SIZE = 332;
    static constexpr size_t PATH_LENGTH = 260;
    enum Offset : size_t { RESOURCE_ID = 4, DATA_OFFSET = 8, DATA_LENGTH = 12, FULL_PATH = 20 };
    std::array<uint8_t, SIZE> bytes{};

    VlmResourceRecord() = default;
    explicit VlmResourceRecord(const std::array<uint8_t, SIZE>& b) : bytes(b) {}

    uint32_t resourceId() const;
    uint32_t dataOffset() const;
    uint32_t dataLength() const;
    void setResourceId(uint32_t id);
    void setDataOffset(uint32_t offset);
    void setDataLength(uint32_t length);
    // The full source path, up to its NUL or the field's end.
    std::string fullPath() const;
    bool operator==(const VlmResourceRecord& o) const { return bytes == o.bytes; }
};
