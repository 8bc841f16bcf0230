// The sound engine's clip store over the sound working file. A finished
// recording is appended to the file, then the frame's table entry and playback
// record point to it; playing copies the frame's clip into the temporary clip
// file piece by piece. A failing step shows the 502 box and leaves the frame's
// previous clip.
#pragma once

#include "media/SoundClipStore.h"

#include <functional>

class SoundEngineHost;
class SoundWorkingFile;
struct ProjectTables;

class WorkingFileClipStore : public SoundClipStore {
  public:
    // Writes the playback record of a stored clip: the main window notes it
    // and tells the frame strip. Without one the record is written here.
    using NoteClip = std::function<void(int frame, uint32_t length, const sAudioSpecStruct& format)>;

    WorkingFileClipStore(SoundWorkingFile& file, ProjectTables& project, SoundEngineHost* host,
                         NoteClip noteClip = {});

    // The engine hands the clip already in 16-bit samples, in the working
    // file's temporary clip file: it is stored as it is.
    bool storeClip(int frame, const std::string& clipPath, uint32_t length,
                   const sAudioSpecStruct& format) override;
    long copyClip(int frame, const std::string& clipPath) override;

  private:
    bool validFrame(int frame) const;
    void report(const std::string& text);

    SoundWorkingFile& m_file;
    ProjectTables& m_project;
    SoundEngineHost* m_host;
    NoteClip m_noteClip;
};
