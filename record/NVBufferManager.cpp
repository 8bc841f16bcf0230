#include "record/NVBufferManager.h"
#include "store/Diagnostics.h"

#include "record/NVUtil.h"
#include "store/DatRecords.h"
#include "store/RegularFile.h"

#include <QDebug>

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcBuffer, "velmora.record.buffer", QtWarningMsg)

NVBufferManager::NVBufferManager() : QObject(nullptr) {}

NVBufferManager::~NVBufferManager() {
    cleanUpThreads();
    if (m_file)
        std::fclose(m_file);
}

int NVBufferManager::getFileHeaderSize() {
    return int(SDatMainHeader::SIZE);
}

uint64_t NVBufferManager::ringSizeFor(uint64_t largestFrameData) {
    return SDatFrameHeader::SIZE + largestFrameData + 2;
}

uint64_t NVBufferManager::screenKeyFrameBytes() {
    const auto [width, height] = NVUtil::getScreenResolution();
    const int depth = NVUtil::getScreenDepth();
    if (width <= 0 || height <= 0 || depth <= 0)
        return 0;
    // ZPixmap sizes of the depths X servers offer: 24 and 32 in 4 bytes, 15 and 16 in 2.
    const uint64_t bytesPerPixel = depth > 16 ? 4 : depth > 8 ? 2 : 1;
    return bytesPerPixel * uint64_t(width) * uint64_t(height);
}

int NVBufferManager::initBufferManager(int ringSize) {
    return initBufferManager(ringSize, screenKeyFrameBytes());
}

int NVBufferManager::initBufferManager(int ringSize, uint64_t largestFrameData) {
    cleanUpThreads(); // a writer left from an earlier start without stop
    const uint64_t size =
        std::max<uint64_t>(ringSize > 0 ? uint64_t(ringSize) : 0, ringSizeFor(largestFrameData));
    {
        std::lock_guard<std::mutex> lock(m_ringMutex);
        try {
            m_ring.allocate(size_t(size));
        } catch (const std::bad_alloc&) {
            diag::print("Fatal: Memory Allocation Failed\n");
            diag::print("Fatal: VL Error Cannot Proceed\n");
            std::exit(1);
        }
        m_quit = false;
    }
    try {
        m_writer = std::thread(threadProc, this);
    } catch (const std::system_error& e) {
        diag::print("Thread creation Failed: %s\n", e.what());
        std::exit(1);
    }
    return 0;
}

int NVBufferManager::startBufferManager(const char* path, unsigned long sizeLimit, SRect captureRect) {
    std::lock_guard<std::mutex> lock(m_ringMutex);
    if (m_file)
        std::fclose(m_file);
    m_sizeLimit = sizeLimit;
    m_bytesHandedIn = 0;
    m_limitReached = false;
    m_writeError = 0;
    m_bytesWritten = 0;
    m_wholeFramesBytes = 0;
    m_frameEnds.clear();
    m_framesHandedIn = 0;
    m_framesWritten = 0;
    m_captureRect = captureRect;
    m_ring.reset();
    m_path = path ? path : "";
    m_openError.clear();
    // Only a regular file: a FIFO in its place would block the open.
    errno = 0;
    const int fd = path ? regularfile::open(path, O_WRONLY | O_CREAT | O_TRUNC) : -1;
    m_file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!m_file) {
        const int err = errno;
        if (fd >= 0)
            ::close(fd);
        const bool irregular = err == EINVAL || regularfile::existsButNotRegular(m_path);
        m_openError = "cannot create " + m_path + ": " +
                      (irregular ? std::string("not a regular file") : std::strerror(err ? err : EINVAL));
        diag::print("Error Opening Dat file\n");
        return -1;
    }
    // Unbuffered: what fwrite reports written is what the file holds.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    errno = 0;
    bool ok = writeMainHeader(10) && std::fflush(m_file) == 0;
    if (!ok) {
        noteWriteError(errno ? errno : EIO);
        diag::print("sMainHeader not written\n");
    }
    if (!m_writer.joinable() || !ok) {
        // No writer thread: nothing can pass through the ring, so the file is done.
        if (std::fclose(m_file) != 0)
            ok = false;
        m_file = nullptr;
    }
    return ok ? 0 : -1;
}

bool NVBufferManager::writeMainHeader(uint32_t frameCount) {
    SDatMainHeader h;
    h.fileSize = uint32_t(std::min<unsigned long>(m_sizeLimit, UINT32_MAX));
    h.headerSize = uint32_t(SDatMainHeader::SIZE);
    h.frameCount = frameCount;
    h.version = 1;
    h.capture = m_captureRect;
    const auto bytes = h.toBytes();
    return std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
}

int NVBufferManager::flushFrame(const void* header, unsigned long headerLength, const void* data,
                                unsigned long dataLength) {
    if ((!header && headerLength) || (!data && dataLength))
        return FLUSH_BAD_ARGUMENT;
    const uint64_t length = uint64_t(headerLength) + uint64_t(dataLength);
    std::unique_lock<std::mutex> lock(m_ringMutex);
    if (!m_file || !m_writer.joinable())
        return FLUSH_NOT_STARTED;
    if (m_writeError)
        return FLUSH_WRITE_FAILED;
    if (m_limitReached)
        return FLUSH_LIMIT_REACHED;
    if (m_bytesHandedIn + length > m_sizeLimit) {
        diag::print("flushFrame: Error File size exceeds limit\n");
        m_limitReached = true;
        return FLUSH_LIMIT_REACHED;
    }
    if (length > m_ring.largestPiece()) {
        diag::print("flushFrame: a frame of %llu bytes does not fit the %zu-byte ring\n",
                    static_cast<unsigned long long>(length), m_ring.size());
        return FLUSH_TOO_LARGE;
    }
    m_memoryAvail.wait(lock, [&] { return m_ring.hasRoomFor(size_t(length)); });
    m_bytesHandedIn += length;
    m_frameEnds.push_back(m_bytesHandedIn);
    ++m_framesHandedIn;
    m_ring.copyFrame2Buffer(static_cast<const uint8_t*>(header), headerLength);
    m_ring.copyFrame2Buffer(static_cast<const uint8_t*>(data), dataLength);
    lock.unlock();
    m_dataReady.notify_one();
    return FLUSH_OK;
}

void NVBufferManager::threadProc(NVBufferManager* self) {
    diag::print("in threadProc\n");
    self->writeBuffer();
}

void NVBufferManager::writeBuffer() {
    std::unique_lock<std::mutex> lock(m_ringMutex);
    for (;;) {
        m_dataReady.wait(lock, [&] { return m_quit || m_ring.circularDifference(DATA_WAITING) > 0; });
        const size_t waiting = m_ring.circularDifference(DATA_WAITING);
        if (waiting == 0)
            return; // quit with everything written
        write2File(lock, waiting);
        m_memoryAvail.notify_all();
    }
}

// Writes the first `length` waiting bytes. The mutex is let go during the
// write: producers only touch free positions, never the waiting ones, so a
// capture does not wait for the disk unless the ring is full.
void NVBufferManager::write2File(std::unique_lock<std::mutex>& lock, size_t length) {
    const auto spans = m_ring.waiting();
    std::FILE* file = m_file;
    const bool failedBefore = m_writeError != 0;
    lock.unlock();
    int err = 0;
    uint64_t written = 0;
    size_t left = length;
    for (const auto& s : spans) {
        const size_t n = std::min(s.length, left);
        left -= n;
        // After a failure the bytes are drained unwritten so producers never block.
        if (n == 0 || failedBefore || err || !file)
            continue;
        errno = 0;
        const size_t done = std::fwrite(s.data, 1, n, file);
        written += done;
        if (done != n)
            err = errno ? errno : EIO;
    }
    if (!file && !failedBefore)
        err = EBADF;
    lock.lock();
    noteBytesWritten(written);
    if (err)
        noteWriteError(err);
    m_ring.consume(length);
}

void NVBufferManager::noteBytesWritten(uint64_t count) {
    m_bytesWritten += count;
    while (!m_frameEnds.empty() && m_frameEnds.front() <= m_bytesWritten) {
        m_wholeFramesBytes = m_frameEnds.front();
        m_frameEnds.pop_front();
        ++m_framesWritten;
    }
}

std::string NVBufferManager::errorText() const {
    std::lock_guard<std::mutex> lock(m_ringMutex);
    if (!m_openError.empty())
        return m_openError;
    if (m_writeError)
        return "cannot write " + m_path + ": " + std::strerror(m_writeError);
    return {};
}

void NVBufferManager::noteWriteError(int err) {
    if (!m_writeError)
        m_writeError = err;
}

unsigned long NVBufferManager::framesLost() const {
    std::lock_guard<std::mutex> lock(m_ringMutex);
    return m_framesHandedIn - m_framesWritten;
}

int NVBufferManager::stopBufferManager(unsigned long frameCount) {
    qCDebug(lcBuffer, "in stopBufferManager");
    {
        std::lock_guard<std::mutex> lock(m_ringMutex);
        qCDebug(lcBuffer, "~~~~~~ dwDataAvail = %d", int(m_ring.circularDifference(DATA_WAITING)));
    }
    cleanUpThreads(); // the writer drains the ring before it ends
    std::lock_guard<std::mutex> lock(m_ringMutex);
    int result = 0;
    if (m_file) {
        if (std::fflush(m_file) != 0)
            noteWriteError(errno);
        const unsigned long lost = m_framesHandedIn - m_framesWritten;
        if (m_writeError) {
            // A torn frame at the end would make every later read of the file fail.
            if (ftruncate(fileno(m_file), off_t(SDatMainHeader::SIZE + m_wholeFramesBytes)) != 0)
                diag::error("ftruncate");
            frameCount = frameCount > lost ? frameCount - lost : 0;
        }
        if (std::fseek(m_file, 0, SEEK_SET) != 0) {
            diag::error("fseek");
            noteWriteError(errno);
        } else if (!writeMainHeader(uint32_t(frameCount))) {
            diag::print("sMainHeader not written\n");
            noteWriteError(errno ? errno : EIO);
        }
        if (std::fflush(m_file) != 0) {
            diag::error("fflush");
            noteWriteError(errno);
        }
        if (std::fclose(m_file) != 0) {
            diag::error("fclose");
            noteWriteError(errno);
        }
        m_file = nullptr;
        if (m_writeError) {
            diag::print("stopBufferManager: the working frame file could not be written: %s\n",
                        std::strerror(m_writeError));
            result = -1;
        }
    }
    m_ring.release();
    return result;
}

void NVBufferManager::cleanUpThreads() {
    if (!m_writer.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_ringMutex);
        m_quit = true;
    }
    m_dataReady.notify_all();
    m_writer.join();
}

size_t NVBufferManager::ringSize() const {
    std::lock_guard<std::mutex> lock(m_ringMutex);
    return m_ring.size();
}

unsigned long NVBufferManager::bytesHandedIn() const {
    std::lock_guard<std::mutex> lock(m_ringMutex);
    return m_bytesHandedIn;
}
