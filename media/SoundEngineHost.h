// What the sound engine asks of the main window: the audio settings, the
// current frame and its stored clip format, and the two error boxes. The main
// window hands the engine one object answering for all (CBuilderSound::setHost).
// The background sound dialog and the second recorders reach the rest of the
// main window's sound state through it; those members have harmless defaults.
#pragma once

#include "media/SoundRecords.h"
#include "store/VlmRecords.h"

#include <cstdint>
#include <string>

class CRecordSoundClip;
class CResourceEditor;
class SoundWorkingFile;
struct ProjectTables;

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

    // ---- The background sound ----
    // The 20-byte background sound record.
    virtual SBackgroundSoundBytes backgroundSoundRecord() { return {}; }
    virtual void setBackgroundSoundRecord(const SBackgroundSoundBytes&) {}
    // The audio resource chosen by Browse (0 = none) and its path.
    virtual uint32_t backgroundSoundId() { return 0; }
    virtual std::string backgroundSoundFile() { return {}; }
    virtual void setBackgroundSoundChoice(uint32_t /*id*/, const std::string& /*path*/) {}
    // The project's frame count.
    virtual uint32_t frameCountForSound() { return 0; }
    // The main window's media library, or nullptr while it has none.
    virtual CResourceEditor* backgroundSoundLibrary() { return nullptr; }

    // ---- The second recorders ----
    // The sound working file and the frame tables; nullptr while there are none.
    virtual SoundWorkingFile* soundWorkingFileForClips() { return nullptr; }
    virtual ProjectTables* projectTablesForSound() { return nullptr; }
    // Notes a stored clip in the frame's playback record.
    virtual void notePlaybackAudio(int /*frame*/, long /*length*/, const sAudioSpecStruct& /*spec*/) {}
    // Turns the sound menu entries off when there is no usable card.
    virtual void disableSoundMenuItems() {}
    // The record sound clip dialog the card recorder updates; none is set.
    virtual CRecordSoundClip* recordSoundClipDialog() { return nullptr; }
    // The data directory (HOME + "/zedaro").
    virtual std::string soundDataDirectory() { return "."; }
};
