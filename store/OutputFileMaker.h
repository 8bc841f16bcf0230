// Makes the output file from the working frame file: every frame rebuilt and
// coded against the picture before it, its sound in coded pieces, its objects
// and the resources they use. The object records, the resources and the audio
// coder come from the rest of the program through MakeServices.
#pragma once

#include "store/DatRecords.h"
#include "store/ProjectTables.h"
#include "store/VlmRecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Deflater;
class VlmFile;

class MakeServices {
  public:
    virtual ~MakeServices() = default;
    // Number of stored object records of the frame.
    virtual size_t objectCount(uint32_t frame) = 0;
    // The frame's plain object chunk: 24-byte head, then each record and its tail.
    virtual std::vector<uint8_t> objectChunk(uint32_t frame) = 0;
    // Resource identifiers the frame's objects use, in writing order.
    virtual std::vector<uint32_t> resourceIds(uint32_t frame) = 0;
    // The record of a resource and, when `data` is given, the bytes to store.
    // False when the media library does not know it or cannot read it.
    virtual bool resource(uint32_t id, VlmResourceRecord& record, std::vector<uint8_t>* data) = 0;
    // Codes one piece of 16-bit sound.
    virtual std::vector<uint8_t> encodeAudio(const uint8_t* pcm, size_t bytes) = 0;
    // Called before frame `frame` is written. Every call comes from the
    // thread that runs make().
    virtual void progress(uint32_t /*frame*/) {}
};

struct MakeInput {
    std::string workingPath; // the working frame file
    std::string outputPath;  // the output file to make
    std::string soundPath;   // the sound working file; empty or missing: no sound
    // The frame tables, not owned; the make notes each frame's palette index
    // in its playback record.
    ProjectTables* project = nullptr;
    int depth = 24;
    int screenWidth = 0;
    int screenHeight = 0;
    int bytesPerPixel = 4; // as grabbed
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    SBackgroundSoundBytes backgroundSound{};
    // Threads that compress the frames; 0: as many as the machine has cores.
    int threads = 0;
};

class OutputFileMaker {
  public:
    enum Result {
        MAKE_OK = 0,
        MAKE_DAT_UNREADABLE = -1,  // the working frame file cannot be read
        MAKE_CREATE_FAILED = 2,    // the output file cannot be created
        MAKE_FRAME_UNREADABLE = 3, // a frame of the working frame file cannot be read
        MAKE_OBJECT_WRITE = 4,     // an object chunk cannot be written
        MAKE_WRITE_FAILED = 5,     // a video, audio or format block cannot be written, or coding failed
        MAKE_CLOSE_FAILED = 6,     // the file could not be completed
    };

    OutputFileMaker(MakeInput input, MakeServices& services);
    virtual ~OutputFileMaker() = default;

    // Writes to a scratch file beside the output file and moves it into place
    // only when everything was written; on failure nothing of the output file
    // (or of an older one at that path) changes. Frames are read, rebuilt and
    // written in order on the calling thread, which makes every call to the
    // services; only their compression runs on worker threads, and the file
    // is the same byte for byte for any number of them.
    Result make();

    // Resources the media library could not give; reported, not fatal.
    const std::vector<uint32_t>& missingResources() const { return m_missing; }
    // Why the make failed, on one line: what failed, which file and the
    // system's error text where there is one.
    const std::string& error() const { return m_error; }

    // The format record of a frame: a bitmap information header and, at 8
    // bits, the palette. Empty when the palette index is not one of the list.
    static std::vector<uint8_t> formatRecord(int depth, int width, int height, int32_t paletteIndex,
                                             const std::vector<stdColormapArray>& colormaps);
    // The additional-data block: signature, masks and every playback record.
    static std::vector<uint8_t> additionalData(const std::vector<SPlayBackFrameInfo>& playBack,
                                               uint32_t frameCount, uint32_t red, uint32_t green,
                                               uint32_t blue);
    // Compresses with the stream (as zlib's compress() would) behind `offset`
    // bytes of zeros; `out` ends with the compressed bytes.
    static bool compress(Deflater& deflater, const std::vector<uint8_t>& plain, std::vector<uint8_t>& out,
                         size_t offset = 0);

    static constexpr uint32_t AUDIO_PIECE = 88200;

    // Frames read ahead of the one being written, at most.
    static int framesInFlight(int threads) { return threads <= 1 ? 1 : 16 * threads; }
    // Bytes of plain and compressed chunks in flight: (threads + 2) x
    // (screenChunk + compressBound(screenChunk)) / 2, so that about
    // threads + 2 key frames that compress well, or half as many that do
    // not, are on their way. Each worker may add one compressed chunk.
    static size_t bytesInFlight(int threads, size_t screenChunk);

  protected:
    // Compresses one frame's video chunk; runs on a worker thread.
    virtual bool compressFrame(uint32_t frame, Deflater& deflater, const uint8_t* plain, size_t length,
                               uint8_t* out, size_t room, size_t& written);

  private:
    struct Pipeline;
    struct Rows;
    struct Gather;
    struct Job;
    // Reads the job's frame header, points the reference at the frame's rows
    // and hands the job to a worker, which reads its rows, finds its blocks
    // and compresses them; MAKE_OK or the failure of an older frame written
    // to free buffers (its own failure is kept in the job).
    Result prepareFrame(Pipeline& pipe, Job& job);
    // Writes the oldest job's blocks; MAKE_OK or the failure.
    Result writeFrame(VlmFile& file, Pipeline& pipe, Job& job);

    // Prints `message`; the first failure's `cause` (or the message) is error().
    Result fail(Result r, const std::string& message, const std::string& cause = {});
    std::string workingCause(const std::string& detail) const;
    Result run(VlmFile& file);
    void writeResources(VlmFile& file, uint32_t frame, bool data);
    void writeResource(VlmFile& file, uint32_t id, bool data);
    uint32_t cursorImageOf(uint32_t frame) const;
    bool writeAudio(VlmFile& file, uint32_t frame, std::FILE* sound);
    bool writeObjects(VlmFile& file, Deflater& deflater, uint32_t frame);

    MakeInput m_in;
    MakeServices& m_services;
    std::vector<uint32_t> m_missing;
    std::string m_error;
};
