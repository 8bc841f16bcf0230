// Records of sound: the audio settings, the two headers of the sound working
// file, and the sound fields of a frame's table entry and playback record.
#pragma once

#include "store/DatRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The audio settings a clip is recorded with; memory only.
struct sAudioSpecStruct {
    enum Source : int32_t {
        SOURCE_CD_AUDIO = 100,
        SOURCE_MICROPHONE = 101,
    };
    int32_t inputSource = SOURCE_CD_AUDIO;
    int32_t samplingRate = 8000;
    int32_t channels = 1;
    int32_t bitsPerSample = 8;

    bool operator==(const sAudioSpecStruct&) const;
    bool operator!=(const sAudioSpecStruct& o) const { return !(*this == o); }
};
static_assert(sizeof(sAudioSpecStruct) == 16, "four 32-bit settings");

// The 48-byte header at the start of the sound working file.
struct SoundFileHeader {
    static constexpr size_t SIZE = 48;
    enum Offset : size_t {
        HEADER_SIZE = 0,
        CLIP_COUNT = 4, // the clips stored since the file was created
    };
    uint32_t headerSize = SIZE;
    uint32_t clipCount = 0;

    std::array<uint8_t, SIZE> toBytes() const;
    static SoundFileHeader fromBytes(const uint8_t* p);
};

// The 28-byte header in front of each clip; its samples follow it.
struct SAudioFrameHeader {
    static constexpr size_t SIZE = 28;
    enum Offset : size_t {
        HEADER_SIZE = 0,
        CLIP_LENGTH = 4,
        FRAME = 8,
        MARK = 12,
        FRAME_AGAIN = 16,
        RESERVED1 = 20,
        RESERVED2 = 24,
    };
    uint32_t headerSize = SIZE;
    uint32_t clipLength = 0;
    uint32_t frame = 0;
    uint32_t mark = 1;
    uint32_t frameAgain = 0;
    uint32_t reserved1 = 0;
    uint32_t reserved2 = 0;

    // The header a recording writes for a clip of `length` bytes on `frame`.
    static SAudioFrameHeader forClip(uint32_t length, uint32_t frame);
    std::array<uint8_t, SIZE> toBytes() const;
    static SAudioFrameHeader fromBytes(const uint8_t* p);
};

namespace soundrec {

// The format a clip is stored in: the sound working file holds 16-bit signed
// samples only, so 8-bit settings become 16 bits and the rest stays.
sAudioSpecStruct storedFormat(const sAudioSpecStruct& recorded);

// Notes the clip whose header lies at `headerOffset` in the frame's entry.
void setEditInfoAudio(SEditInfo& e, uint32_t headerOffset);
// Notes a clip of `length` bytes in `spec`'s format in the playback record:
// its size, the audio flags and the PCM wave format.
void setPlaybackAudio(SPlayBackFrameInfo& p, uint32_t length, const sAudioSpecStruct& spec);
// The format of the frame's clip, from its wave format; input source 0.
sAudioSpecStruct playbackAudioSpec(const SPlayBackFrameInfo& p);
// Takes the clip off the frame; its bytes stay in the sound working file.
void clearFrameSound(SEditInfo& e, SPlayBackFrameInfo& p);

} // namespace soundrec
