#include "media/SoundWorkingFile.h"

#include "store/Diagnostics.h"
#include "store/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t PIECE = 65536;

// Writes all `n` bytes at `offset`; false with errno set on failure.
bool writeAt(int fd, uint64_t offset, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t k = pwrite(fd, p, n, off_t(offset));
        if (k < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (k == 0) {
            errno = EIO;
            return false;
        }
        p += k;
        n -= size_t(k);
        offset += uint64_t(k);
    }
    return true;
}

// Reads up to `n` bytes at `offset`, fewer only at the end of the file; -1 on failure.
ssize_t readAt(int fd, uint64_t offset, uint8_t* p, size_t n) {
    size_t got = 0;
    while (got < n) {
        const ssize_t k = pread(fd, p + got, n - got, off_t(offset + got));
        if (k < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (k == 0)
            break;
        got += size_t(k);
    }
    return ssize_t(got);
}

// The same from the current position of a stream-like descriptor.
ssize_t readSome(int fd, uint8_t* p, size_t n) {
    size_t got = 0;
    while (got < n) {
        const ssize_t k = ::read(fd, p + got, n - got);
        if (k < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (k == 0)
            break;
        got += size_t(k);
    }
    return ssize_t(got);
}

bool writeSome(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t k = ::write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (k == 0) {
            errno = EIO;
            return false;
        }
        p += k;
        n -= size_t(k);
    }
    return true;
}

// Unsigned 8-bit samples to signed 16-bit little-endian ones.
void widen(const uint8_t* in, size_t n, uint8_t* out) {
    for (size_t i = 0; i < n; ++i) {
        const uint16_t s = uint16_t(int16_t((int(in[i]) - 128) * 256));
        out[2 * i] = uint8_t(s);
        out[2 * i + 1] = uint8_t(s >> 8);
    }
}

void closeQuietly(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SoundWorkingFile::SoundWorkingFile(const std::string& dataDirectory)
    : SoundWorkingFile(dataDirectory + "/Sound.dat", dataDirectory + "/temp.snx") {}

SoundWorkingFile::SoundWorkingFile(std::string soundPath, std::string tempPath)
    : m_path(std::move(soundPath)), m_tempPath(std::move(tempPath)) {}

SoundWorkingFile::~SoundWorkingFile() {
    close();
}

SoundWorkingFile::Status SoundWorkingFile::failure(const std::string& text, const std::string& step,
                                                   const std::string& file, int err) {
    Status s;
    s.ok = false;
    s.text = text;
    s.cause = step + " " + file + ": " + std::strerror(err);
    diag::print("%s\n", s.cause.c_str());
    return s;
}

SoundWorkingFile::Status SoundWorkingFile::prepare() {
    if (m_fd >= 0)
        return {};
    return m_madeThisRun ? reopen() : create();
}

SoundWorkingFile::Status SoundWorkingFile::create() {
    int fd = regularfile::open(m_path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return failure("Unable to open file for recording", "open", m_path, errno);
    SoundFileHeader header;
    const auto bytes = header.toBytes();
    if (!writeAt(fd, 0, bytes.data(), bytes.size())) {
        const int err = errno;
        closeQuietly(fd);
        return failure("Write error", "write", m_path, err);
    }
    m_fd = fd;
    m_madeThisRun = true;
    m_clipCount = 0;
    m_nextOffset = SoundFileHeader::SIZE;
    diag::print("\n\tWRITING AUDIO FOR THE FIRST TIME %u\n", m_nextOffset);
    return {};
}

SoundWorkingFile::Status SoundWorkingFile::reopen() {
    int fd = regularfile::open(m_path, O_RDWR);
    if (fd < 0) {
        if (errno == ENOENT)
            return create(); // gone: no clip of it is left to keep
        return failure("Unable to open file for recording", "open", m_path, errno);
    }
    uint8_t bytes[SoundFileHeader::SIZE];
    const ssize_t got = readAt(fd, 0, bytes, sizeof bytes);
    if (got < 0) {
        const int err = errno;
        closeQuietly(fd);
        return failure("Unable to open file for recording", "read", m_path, err);
    }
    const SoundFileHeader header = SoundFileHeader::fromBytes(bytes);
    if (size_t(got) < sizeof bytes || header.headerSize != SoundFileHeader::SIZE) {
        // Not a sound working file: it holds no clip a frame could point to.
        closeQuietly(fd);
        return create();
    }
    const off_t end = lseek(fd, 0, SEEK_END);
    if (end < 0 || end > INT32_MAX) {
        const int err = end < 0 ? errno : EFBIG;
        closeQuietly(fd);
        return failure("Unable to open file for recording", "seek", m_path, err);
    }
    m_fd = fd;
    m_clipCount = header.clipCount;
    m_nextOffset = uint32_t(std::max<off_t>(end, off_t(SoundFileHeader::SIZE)));
    return {};
}

void SoundWorkingFile::close() {
    closeQuietly(m_fd);
}

void SoundWorkingFile::adoptImported() {
    close();
    m_madeThisRun = true;
}

SoundWorkingFile::Status SoundWorkingFile::createTempForRecording(int& fd) {
    fd = regularfile::open(m_tempPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return failure("Unable to open temp file for recording", "open", m_tempPath, errno);
    return {};
}

SoundWorkingFile::Status SoundWorkingFile::storeClip(uint32_t frame, uint32_t length,
                                                     const sAudioSpecStruct& recorded, StoredClip& out) {
    if (Status s = prepare(); !s)
        return s;
    int in = regularfile::open(m_tempPath, O_RDONLY);
    if (in < 0)
        return failure("audio read error", "open", m_tempPath, errno);

    const bool eightBit = recorded.bitsPerSample == 8;
    const uint32_t at = m_nextOffset;
    uint64_t stored = 0, left = length;
    std::vector<uint8_t> raw(PIECE), wide(eightBit ? 2 * PIECE : 0);
    // Cuts the file back to where it ended before this clip.
    auto undo = [&](const std::string& text, const char* step, const std::string& file, int err) {
        closeQuietly(in);
        if (ftruncate(m_fd, off_t(at)) != 0)
            diag::error("ftruncate");
        return failure(text, step, file, err);
    };
    while (left > 0) {
        const ssize_t got = readSome(in, raw.data(), size_t(std::min<uint64_t>(left, PIECE)));
        if (got < 0)
            return undo("audio read error", "read", m_tempPath, errno);
        if (got == 0)
            break; // the temporary file ends early: the clip is what it holds
        const uint8_t* bytes = raw.data();
        size_t n = size_t(got);
        if (eightBit) {
            widen(raw.data(), n, wide.data());
            bytes = wide.data();
            n *= 2;
        }
        if (uint64_t(at) + SAudioFrameHeader::SIZE + stored + n > uint64_t(INT32_MAX))
            return undo("Audio write error", "write", m_path, EFBIG); // offsets are 32-bit signed
        if (!writeAt(m_fd, uint64_t(at) + SAudioFrameHeader::SIZE + stored, bytes, n))
            return undo("Audio write error", "write", m_path, errno);
        stored += n;
        left -= uint64_t(got);
    }
    closeQuietly(in);

    const auto head = SAudioFrameHeader::forClip(uint32_t(stored), frame).toBytes();
    if (!writeAt(m_fd, at, head.data(), head.size()))
        return undo("Audio write error", "write", m_path, errno);
    SoundFileHeader fileHeader;
    fileHeader.clipCount = m_clipCount + 1;
    const auto fh = fileHeader.toBytes();
    if (!writeAt(m_fd, 0, fh.data(), fh.size())) {
        const int err = errno;
        SoundFileHeader before;
        before.clipCount = m_clipCount;
        const auto bh = before.toBytes();
        (void)writeAt(m_fd, 0, bh.data(), bh.size());
        return undo("Write error", "write", m_path, err);
    }
    m_clipCount = fileHeader.clipCount;
    m_nextOffset = at + uint32_t(SAudioFrameHeader::SIZE + stored);
    out.headerOffset = at;
    out.length = uint32_t(stored);
    out.format = soundrec::storedFormat(recorded);
    return {};
}

SoundWorkingFile::Status SoundWorkingFile::copyClipForPlayback(uint32_t headerOffset, uint32_t length,
                                                               uint64_t& copied) {
    copied = 0;
    if (Status s = prepare(); !s)
        return s;
    int out = regularfile::open(m_tempPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        return failure("Unable to open temp file for recording", "open", m_tempPath, errno);
    std::vector<uint8_t> piece(PIECE);
    const uint64_t from = uint64_t(headerOffset) + SAudioFrameHeader::SIZE;
    Status status;
    while (copied < length) {
        const ssize_t got =
            readAt(m_fd, from + copied, piece.data(), size_t(std::min<uint64_t>(length - copied, PIECE)));
        if (got < 0) {
            status = failure("audio read error", "read", m_path, errno);
            break;
        }
        if (got == 0) {
            status = failure("audio read error", "read", m_path, ENODATA);
            break;
        }
        if (!writeSome(out, piece.data(), size_t(got))) {
            status = failure("Audio write error", "write", m_tempPath, errno);
            break;
        }
        copied += uint64_t(got);
    }
    if (::close(out) != 0 && status)
        status = failure("Audio write error", "close", m_tempPath, errno);
    return status;
}

void SoundWorkingFile::removeTemp() {
    if (unlink(m_tempPath.c_str()) != 0 && errno != ENOENT)
        diag::error("unlink temp.snx");
}
