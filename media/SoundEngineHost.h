// What the sound engine asks of the main window: the audio settings, the
// current frame and its stored clip format, and the two error boxes. The main
// window hands the engine one object answering for all (CBuilderSound::setHost).
#pragma once

#include "media/SoundRecords.h"

#include <string>

class SoundEngineHost {
  public:
    virtual ~SoundEngineHost() = default;

    // The settings a new recording uses (the audio settings dialog's values).
    virtual sAudioSpecStruct recordingSettings() = 0;
    // The main window's current frame (0-based).
    virtual int currentFrame() = 0;
    // The wave format stored with the frame's clip: rate, channels and bits.
    virtual sAudioSpecStruct clipFormat(int frame) = 0;
    // Code 502: a modal critical box captioned "Record SoundClip"; code 504: a
    // modal warning box captioned "RecordSoundClip". Returns when it is closed.
    virtual void showSoundError(int code, const std::string& text) = 0;
};
