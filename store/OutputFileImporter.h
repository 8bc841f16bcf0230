// Imports an output file back into a new working frame file, frame tables,
// sound working file, object records and media-library resources. Every
// length, count and index the file gives is checked before it is used.
#pragma once

#include "store/DatRecords.h"
#include "store/ProjectTables.h"
#include "store/VlmRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class VlmFile;

class ImportServices {
  public:
    virtual ~ImportServices() = default;
    // A resource of the file for the media library (kept unless it is there).
    virtual void addResource(const VlmResourceRecord& record, const std::vector<uint8_t>& data) = 0;
    // Decodes one coded sound piece into `uncodedBytes` bytes of 16-bit samples.
    virtual std::vector<uint8_t> decodeAudio(const uint8_t* coded, size_t length, size_t uncodedBytes) = 0;
    // The plain object chunk of a frame (24-byte head, records and tails) of
    // a file of that version; false when it does not read as one.
    virtual bool frameObjects(uint32_t frame, const uint8_t* plain, size_t length,
                              const vlm::FileVersion& version) = 0;
    // Whether the frame's frame object carries an audio resource.
    virtual bool frameHasAudioResource(uint32_t /*frame*/) { return false; }
    virtual void progress(uint32_t /*frame*/) {}
};

struct ImportResult {
    int code = 0;
    // Why the import failed, on one line: what failed, which file and the
    // system's error text where there is one. Empty on success.
    std::string error;
    std::string workingPath;
    // The imported frame tables and counters (the frame name counter and the
    // current frame are left at 0).
    ProjectTables project;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    SRect captureRect{0, 0, 0, 0};
    int rowBytes = 0;
    SBackgroundSoundBytes backgroundSound{};
    uint32_t backgroundSoundId = 0;
    std::string backgroundSoundFile; // at most 199 characters
    bool soundWritten = false;
    // The file's screen, for the resolution-conflict message.
    int fileWidth = 0, fileHeight = 0, fileBitsPerPixel = 0;
};

class OutputFileImporter {
  public:
    enum Code {
        IMPORT_OK = 0,
        IMPORT_WRITE = 1501,
        IMPORT_READ = 1502,
        IMPORT_OPEN = 1503,
        IMPORT_SEEK = 1504,
        IMPORT_MEMORY = 1505,
        IMPORT_RESOLUTION = 1506,
        IMPORT_CANNOT_OPEN = 5004,
        IMPORT_NO_ADDITIONAL_DATA = 5006,
        IMPORT_NO_VIDEO = 5012,
        IMPORT_BAD_SIGNATURE = 5023,
    };

    struct Screen {
        int width = 0, height = 0, depth = 24;
        int bytesPerPixel = 4; // as grabbed
    };

    // `dataDirectory` holds the scratch file of the decoded sound;
    // `soundPath` is the sound working file to fill. The working frame file
    // and the sound working file are written as scratch files and replace
    // the old ones only when the whole import succeeded; a failed import
    // leaves both as they were and no scratch behind.
    OutputFileImporter(std::string vlmPath, Screen screen, std::string dataDirectory, std::string soundPath,
                       ImportServices& services);

    ImportResult run();

    // Whether an existing file reads as a working frame file (so it may be
    // replaced). Only a regular file does; a FIFO is not waited on.
    static bool looksLikeWorkingFile(const std::string& path);

    // Bounds a container's later reads as the import does: no more frames
    // than the file holds playback records for.
    static void limitFramesToPlaybackRecords(VlmFile& file);

  private:
    // Prints `message`; error() becomes `cause`, or the output file's name
    // and the message.
    int fail(int code, const std::string& message, const std::string& cause = {});
    // Fails with "cannot write <path>" and the text of errno.
    int failWrite(const std::string& what, const std::string& path);
    std::string frameCause(uint32_t frame, const std::string& what) const;
    int importFrames(VlmFile& file, std::FILE* dat, const std::vector<uint8_t>& additional);
    int importSound(VlmFile& file);
    int importObjects(VlmFile& file);

    std::string m_vlmPath;
    Screen m_screen;
    std::string m_dataDirectory;
    std::string m_soundPath;
    ImportServices& m_services;
    ImportResult m_r;
    std::string m_workingScratch; // the frames' scratch beside the working frame file
    std::string m_soundScratch;   // the decoded sound, moved into place at the end
};
