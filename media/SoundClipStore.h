// Where the sound engine keeps clips: the sound working file. The engine
// records into its temporary clip file and, when the recording has ended,
// hands that file over; to play, it has the frame's clip copied out into it.
// A failing step shows its own box and leaves the frame's previous clip.
#pragma once

#include "media/SoundRecords.h"

#include <cstdint>
#include <string>

class SoundClipStore {
  public:
    virtual ~SoundClipStore() = default;

    // Stores the first `length` bytes of the file at `clipPath` as the
    // frame's clip, in `format` (always 16-bit signed little-endian samples).
    // False when it could not; the frame then keeps its previous clip.
    virtual bool storeClip(int frame, const std::string& clipPath, uint32_t length,
                           const sAudioSpecStruct& format) = 0;

    // Writes the frame's clip into a new file at `clipPath`. Gives the bytes
    // written (fewer than the clip's length when it could not be read whole),
    // or -1 when nothing can be played.
    virtual long copyClip(int frame, const std::string& clipPath) = 0;
};
