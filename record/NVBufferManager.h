// The frame writer: takes captured frames off the capturing threads through a
// byte ring and appends them to the working frame file on a thread of its own.
#pragma once

#include "capture/NVCap.h"
#include "record/FrameRing.h"

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

class NVBufferManager : public QObject {
  public:
    // Results of flushFrame other than 0. The caller takes a refused frame
    // back out of its tables and stops the recording.
    enum FlushResult {
        FLUSH_OK = 0,
        FLUSH_LIMIT_REACHED = 1, // the recording's size limit is reached: this and every later frame refused
        FLUSH_TOO_LARGE = 2,     // larger than the ring can ever hold
        FLUSH_NOT_STARTED = 3,   // no writer thread or no file
        FLUSH_WRITE_FAILED = 4,  // the file could not be written
        FLUSH_BAD_ARGUMENT = 5,  // a null pointer with a non-zero length
    };

    NVBufferManager();
    ~NVBufferManager() override;

    // Allocates the ring and starts the writer thread. The ring is raised
    // until it holds a frame header plus a whole-screen key frame of the
    // current screen; the second form takes that frame's data length itself.
    int initBufferManager(int ringSize);
    int initBufferManager(int ringSize, uint64_t largestFrameData);
    // Creates (truncates) the working frame file and writes its main header.
    // Without a writer thread (frames added to an empty project) the file is
    // closed again at once: nothing can be queued. Returns 0, or -1 when the
    // file cannot be created or written.
    int startBufferManager(const char* path, unsigned long sizeLimit, SRect captureRect);
    // Queues one frame (its 60-byte header and its data), waiting for room
    // while the ring is too full. Returns a FlushResult.
    int flushFrame(const void* header, unsigned long headerLength, const void* data,
                   unsigned long dataLength);
    // Writes everything queued, ends the writer thread, rewrites the main
    // header with the frame count and closes the file. Returns 0, or -1 when
    // any write to the file failed (the message says why): the file is then
    // cut after the last frame that reached it whole, and the header counts
    // `frameCount` less framesLost().
    int stopBufferManager(unsigned long frameCount);
    // Frames queued since the start whose bytes did not all reach the file;
    // they are the last ones queued, and the caller takes them out of its tables.
    unsigned long framesLost() const;
    // Why the last start or the writing since failed, on one line: what
    // failed, which file and the system's error text. Empty while all is well.
    std::string errorText() const;
    static int getFileHeaderSize();

    // Ring size a frame of `largestFrameData` bytes needs: header plus data
    // plus the slot that is never filled plus one byte, so it never waits forever.
    static uint64_t ringSizeFor(uint64_t largestFrameData);
    // Data length of a whole-screen key frame of the current screen; 0 without a display.
    static uint64_t screenKeyFrameBytes();

    size_t ringSize() const;
    unsigned long bytesHandedIn() const;

  private:
    static void threadProc(NVBufferManager* self);
    void writeBuffer();
    void write2File(std::unique_lock<std::mutex>& lock, size_t length);
    void cleanUpThreads();
    bool writeMainHeader(uint32_t frameCount);
    void noteWriteError(int err);
    void noteBytesWritten(uint64_t count);

    mutable std::mutex m_ringMutex; // guards everything below
    std::condition_variable m_dataReady;
    std::condition_variable m_memoryAvail;
    FrameRing m_ring;
    bool m_quit = false;
    unsigned long m_sizeLimit = 0;
    unsigned long m_bytesHandedIn = 0;
    bool m_limitReached = false;
    int m_writeError = 0;             // errno of the first failed write since the start
    uint64_t m_bytesWritten = 0;      // bytes behind the main header that reached the file
    uint64_t m_wholeFramesBytes = 0;  // where the last frame written whole ends, behind the header
    std::deque<uint64_t> m_frameEnds; // ends of the queued frames not yet written whole
    unsigned long m_framesHandedIn = 0;
    unsigned long m_framesWritten = 0;
    SRect m_captureRect{0, 0, 0, 0};
    std::string m_path;      // of the working frame file, for errorText
    std::string m_openError; // why the last start could not create the file
    std::FILE* m_file = nullptr;
    std::thread m_writer;
};
