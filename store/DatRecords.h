// Records of the working frame file and the per-frame tables.
#pragma once

#include "capture/NVCap.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Why a frame was captured.
enum EFrameState : int32_t {
    FRAME_STATE_FIRST = 0,
    FRAME_STATE_TIMER = 2,
    FRAME_STATE_ACTION = 3,
    FRAME_STATE_OTHER = 6,
};

// Action kind of a playback record.
enum tagVALIDATION_TYPE : int32_t {
    VALIDATION_MOUSE = 0,
    VALIDATION_KEY = 1,
    VALIDATION_NONE = 2,
};

// Frame flags of a playback record.
enum PlayBackFlags : uint8_t {
    PBF_AUDIO = 0x01,
    PBF_NO_OBJECTS = 0x02,
    PBF_DELETED = 0x04,
    PBF_INSERTED = 0x08,
    PBF_APPENDED = 0x10,
    PBF_KEY = 0x20,
    PBF_AUDIO_RECORDED = 0x40,
    PBF_COPIED = 0x80,
};

constexpr uint32_t DAT_FILE_SIZE_LIMIT = 52428800;

struct SDatMainHeader {
    static constexpr size_t SIZE = 48;
    enum Offset : size_t {
        FILE_SIZE = 0,
        HEADER_SIZE = 4,
        FRAME_COUNT = 8,
        VERSION = 12,
        CAPTURE_LEFT = 16,
        CAPTURE_TOP = 20,
        CAPTURE_RIGHT = 24,
        CAPTURE_BOTTOM = 28,
        RED_MASK = 32,
        GREEN_MASK = 36,
        BLUE_MASK = 40,
    };
    uint32_t fileSize = DAT_FILE_SIZE_LIMIT;
    uint32_t headerSize = SIZE;
    uint32_t frameCount = 0;
    uint32_t version = 1;
    SRect capture{0, 0, 0, 0}; // right and bottom exclusive
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;

    std::array<uint8_t, SIZE> toBytes() const;
    static SDatMainHeader fromBytes(const uint8_t* p);
    bool operator==(const SDatMainHeader&) const;
};

struct SDatFrameHeader {
    static constexpr size_t SIZE = 60;
    enum Offset : size_t {
        HEADER_SIZE = 0,
        RECORD_SIZE = 4,
        FRAME_NUMBER = 8,
        PALETTE_INDEX = 12,
        TIME_STAMP = 16,
        FRAME_STATE = 36,
        DATA_LEFT = 40,
        DATA_TOP = 44,
        DATA_RIGHT = 48,
        DATA_BOTTOM = 52,
        KEY_FLAG = 56,
    };
    uint32_t headerSize = SIZE;
    uint32_t recordSize = SIZE; // header + data
    uint32_t frameNumber = 0;
    uint32_t paletteIndex = 0;
    uint32_t timeStamp = 0;
    int32_t frameState = FRAME_STATE_FIRST;
    SRect data{0, 0, 0, 0}; // inclusive rows data.top..data.bottom
    uint32_t keyFlag = 0;

    uint32_t dataLength() const { return recordSize >= SIZE ? recordSize - SIZE : 0; }
    std::array<uint8_t, SIZE> toBytes() const;
    static SDatFrameHeader fromBytes(const uint8_t* p);
    bool operator==(const SDatFrameHeader&) const;
};

// Where a frame's current record lies; memory only.
struct SEditInfo {
    int32_t keyFlag = 0;
    int32_t recordOffset = 0;
    int32_t reserved1 = 0;
    int32_t audioHeaderOffset = 0;
    int32_t audioHeaderOffsetCopy = 0;
    int32_t addedMark = 0;
    int32_t reserved2 = 0;
    uint8_t audioFlag = 0;
    uint8_t deletedFlag = 0;
};

// The playback record of one frame, written whole into the output file.
struct SPlayBackFrameInfo {
    static constexpr size_t SIZE = 152;
    static constexpr size_t NAME_LENGTH = 30;
    enum Offset : size_t {
        V_TYPE = 0,
        POINTER_X = 4,
        POINTER_Y = 8,
        FRAME_STATE = 16,
        AUDIO_SIZE = 28,
        MARKER = 32,
        PALETTE_INDEX = 34,
        FRAME_FLAGS = 38,
        PIXEL_FLAGS = 39,
        X_OR_KEY = 40,
        Y_OR_MODIFIERS = 44,
        CLICK_RECT = 48,
        MOUSE_MESSAGE = 64,
        BUTTON_MODIFIERS = 68,
        CURSOR_IMAGE = 72,
        ACTION_DISABLED = 76,
        FORMAT_TAG = 80,
        CHANNELS = 82,
        SAMPLES_PER_SEC = 84,
        BYTES_PER_SEC = 88,
        BLOCK_ALIGN = 92,
        BITS_PER_SAMPLE = 94,
        HAS_SOUND = 100,
        FRAME_NAME = 104,
        FRAME_NUMBER = 136,
        CAPTURE_TYPE = 141,
    };
    int32_t vType = VALIDATION_NONE;
    int32_t pointerX = 0;
    int32_t pointerY = 0;
    int32_t reserved = 0;
    int32_t frameState = 0;
    uint32_t audioSize = 0;
    uint16_t marker = 1;
    int16_t paletteIndex = 0;
    uint8_t frameFlags = 0;
    uint8_t pixelFlags = 0;
    int32_t xOrKey = 0;
    int32_t yOrModifiers = 0;
    SRect clickRect{0, 0, 0, 0};
    int32_t mouseMessage = 0;
    int32_t buttonModifiers = 0;
    uint32_t cursorImage = 0;
    uint8_t actionDisabled = 0;
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t bytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t hasSound = 0;
    char frameName[NAME_LENGTH] = {};
    uint32_t frameNumber = 0;
    uint8_t captureType = 0;

    std::string name() const;
    void setName(const std::string& n);
    std::array<uint8_t, SIZE> toBytes() const;
    void writeTo(uint8_t* p) const;
    static SPlayBackFrameInfo fromBytes(const uint8_t* p);
    bool operator==(const SPlayBackFrameInfo&) const;
};

// One captured palette of a screen of 15 bits or fewer per pixel: the 256
// colormap entries in pixel order, 16-bit intensities as Xlib reports them.
struct stdColormapArray {
    struct Entry {
        uint32_t pixel = 0;
        uint16_t red = 0;
        uint16_t green = 0;
        uint16_t blue = 0;
        uint8_t flags = 0;
    };
    std::array<Entry, 256> colors{};
};

namespace datfile {
// The data directory: HOME + "/zedaro".
std::string dataDirectory(const std::string& home);
// The working frame file of a recording or a new project.
std::string untitledPath(const std::string& home);
// The working frame file of an imported output file: ".dat" in place of a
// ".vlm" ending in any case, appended to any other name.
std::string workingPathFor(const std::string& vlmPath);
// Length of a frame's data: rows top..bottom inclusive.
inline uint32_t bandLength(int32_t top, int32_t bottom, uint32_t rowSize) {
    return bottom < top ? 0 : uint32_t(bottom - top + 1) * rowSize;
}
} // namespace datfile
