// sAudioSpecStruct: the 16-byte audio settings record (input source, sampling
// rate, channels, bits per sample), used by the audio settings dialog, the
// sound engine and a frame's stored wave format.
#pragma once

#include <cstdint>

struct sAudioSpecStruct {
    enum Source : int32_t {
        SOURCE_CD_AUDIO = 100,
        SOURCE_MICROPHONE = 101,
    };
    int32_t inputSource = SOURCE_CD_AUDIO; // 0 when playing
    int32_t samplingRate = 8000;
    int32_t channels = 1;
    int32_t bitsPerSample = 8;
};
static_assert(sizeof(sAudioSpecStruct) == 16, "sAudioSpecStruct is 16 bytes");
