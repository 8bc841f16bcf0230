// The sound working file `Sound.dat` of the data directory, which keeps every
// clip of a run behind its 48-byte header, and the temporary clip file
// `temp.snx` of one transfer. Every open, seek, read and write is checked; a
// failure comes back with the author's text and its cause, and leaves the clips
// stored before as they were. Clips are stored as 16-bit signed little-endian
// samples only. Used on one thread at a time.
#pragma once

#include "media/SoundRecords.h"

#include <cstdint>
#include <string>

class SoundWorkingFile {
  public:
    struct Status {
        bool ok = true;
        std::string text;  // for the author's box; empty when ok
        std::string cause; // the failing step, the file and the system's reason
        explicit operator bool() const { return ok; }
        // The box's text with the cause on a second line.
        std::string message() const { return cause.empty() ? text : text + "\n" + cause; }
    };
    // Where a stored clip lies and what its frame's records are to say.
    struct StoredClip {
        uint32_t headerOffset = 0;
        uint32_t length = 0;     // bytes stored after the header
        sAudioSpecStruct format; // the stored format: 16 bits a sample
    };

    // The two files of the data directory (HOME + "/zedaro").
    explicit SoundWorkingFile(const std::string& dataDirectory);
    SoundWorkingFile(std::string soundPath, std::string tempPath);
    ~SoundWorkingFile();
    SoundWorkingFile(const SoundWorkingFile&) = delete;
    SoundWorkingFile& operator=(const SoundWorkingFile&) = delete;

    const std::string& path() const { return m_path; }
    const std::string& tempPath() const { return m_tempPath; }
    bool isOpen() const { return m_fd >= 0; }
    uint32_t clipCount() const { return m_clipCount; }
    uint32_t nextClipOffset() const { return m_nextOffset; }

    // Makes the file ready for a clip. The first use of a run creates it anew
    // with an empty header; later uses reopen it for update at its end, so the
    // clips the frames point to stay. Nothing to do while it is open.
    Status prepare();
    // Closes the file: before a make, which reads it by its path, and before
    // an import, which renames a new file over it.
    void close();
    // The import has put a new file at the path: the next use keeps its clips.
    void adoptImported();

    // Creates the temporary clip file for a recording and gives its
    // descriptor, open for writing; the caller closes it.
    Status createTempForRecording(int& fd);
    // Appends the first `length` bytes of the temporary clip file as the clip
    // of `frame`, recorded in `recorded`'s format: 8-bit samples are widened
    // to 16 bits as they are stored. A temporary file that holds less gives a
    // shorter clip. The clip's header and bytes are written before the file
    // header counts it; on failure the file is cut back to its former end.
    Status storeClip(uint32_t frame, uint32_t length, const sAudioSpecStruct& recorded, StoredClip& out);
    // Copies the `length` bytes of the clip whose header lies at `headerOffset`
    // into a new temporary clip file, piece by piece. When the clip ends early
    // the status says so and the bytes read are in the file; `copied` counts them.
    Status copyClipForPlayback(uint32_t headerOffset, uint32_t length, uint64_t& copied);
    // Removes the temporary clip file; one already gone is no error.
    void removeTemp();

  private:
    Status create();
    Status reopen();
    Status failure(const std::string& text, const std::string& step, const std::string& file, int err);

    std::string m_path, m_tempPath;
    int m_fd = -1;
    bool m_madeThisRun = false; // created or imported: later uses reopen it
    uint32_t m_clipCount = 0;
    uint32_t m_nextOffset = 0;
};
