#include "store/FrameStore.h"

#include "store/Deflater.h"
#include "store/RegularFile.h"
#include "store/VideoBlocks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::string systemError(const char* what) {
    const int e = errno;
    std::string s = what;
    if (e != 0) {
        s += ": ";
        s += std::strerror(e);
    }
    return s;
}

bool seekTo(std::FILE* f, int32_t offset) {
    if (offset < 0) {
        errno = EINVAL;
        return false;
    }
    return fseeko(f, off_t(offset), SEEK_SET) == 0;
}

} // namespace

const char* toString(FrameStore::Result r) {
    switch (r) {
    case FrameStore::Result::Ok:
        return "ok";
    case FrameStore::Result::NotOpen:
        return "working frame file not open";
    case FrameStore::Result::BadFrameIndex:
        return "no such frame";
    case FrameStore::Result::SeekFailed:
        return "frame seek failed";
    case FrameStore::Result::HeaderReadFailed:
        return "frame header read failed";
    case FrameStore::Result::BadRecord:
        return "frame record length does not fit the frame";
    case FrameStore::Result::DataReadFailed:
        return "frame data read failed";
    }
    return "?";
}

FrameStore::~FrameStore() {
    close();
}

void FrameStore::close() {
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

bool FrameStore::open(const std::string& path, const FrameGeometry& geometry) {
    close();
    m_lastError.clear();
    m_path = path;
    if (!geometry.valid()) {
        m_lastError = "Error opening file: unusable screen geometry";
        std::cerr << m_lastError << "\n";
        return false;
    }
    errno = 0;
    const int fd = regularfile::open(path, O_RDWR);
    m_file = fd >= 0 ? fdopen(fd, "r+") : nullptr;
    if (!m_file) {
        if (fd >= 0)
            ::close(fd);
        m_lastError = errno == EINVAL ? "Error opening file " + path + ": not a regular file"
                                      : systemError(("Error opening file " + path).c_str());
        std::cerr << m_lastError << "\n";
        return false;
    }
    m_geometry = geometry;
    // One buffer for the life of the store; it only changes with the screen size.
    if (m_work.size() != geometry.frameBytes())
        std::vector<uint8_t>().swap(m_work);
    return true;
}

std::vector<uint8_t>& FrameStore::work() const {
    if (m_work.size() != m_geometry.frameBytes())
        zeroFilledOnHugePages(m_work, m_geometry.frameBytes());
    return m_work;
}

size_t FrameStore::keyFrameFor(const std::vector<SEditInfo>& edit, size_t n) {
    if (edit.empty())
        return 0;
    if (n >= edit.size())
        n = edit.size() - 1;
    for (size_t k = n + 1; k-- > 0;)
        if (edit[k].keyFlag == 1)
            return k;
    return 0;
}

FrameStore::Result FrameStore::fail(Result r, const std::string& message) {
    m_lastError = message;
    std::cerr << message << "\n";
    return r;
}

FrameStore::Result FrameStore::readHeader(const SEditInfo& info, SDatFrameHeader& header) {
    errno = 0;
    if (!seekTo(m_file, info.recordOffset))
        return fail(Result::SeekFailed, systemError("Frame seek failed"));
    uint8_t raw[SDatFrameHeader::SIZE];
    errno = 0;
    if (std::fread(raw, 1, sizeof raw, m_file) != sizeof raw)
        return fail(Result::HeaderReadFailed, systemError("Frame Header Read failed"));
    header = SDatFrameHeader::fromBytes(raw);
    if (header.headerSize != SDatFrameHeader::SIZE || header.recordSize < SDatFrameHeader::SIZE)
        return fail(Result::BadRecord, "Frame record at " + std::to_string(info.recordOffset) +
                                           " has header size " + std::to_string(header.headerSize) +
                                           " and record size " + std::to_string(header.recordSize));
    return Result::Ok;
}

FrameStore::Result FrameStore::getEditFrame(const std::vector<SEditInfo>& edit, size_t n,
                                            SDatFrameHeader& header) {
    m_lastError.clear();
    if (!m_file)
        return fail(Result::NotOpen, toString(Result::NotOpen));
    if (n >= edit.size())
        return fail(Result::BadFrameIndex, "Frame " + std::to_string(n) + " is not in the frame table");

    work();
    const size_t rowBytes = m_geometry.rowBytes();
    const size_t k = keyFrameFor(edit, n);
    Result result = Result::Ok;
    for (size_t j = k; j <= n && result == Result::Ok; ++j) {
        SDatFrameHeader h;
        result = readHeader(edit[j], h);
        if (result != Result::Ok)
            break;
        const size_t length = h.dataLength();
        if (length == 0) {
            // A blank record starts the picture from nothing; an empty band
            // (an unchanged frame) lays nothing over it.
            if (j == k)
                std::fill(m_work.begin(), m_work.end(), uint8_t(0));
            header = h;
            continue;
        }
        size_t offset = 0;
        const int64_t rows = int64_t(h.data.bottom) - int64_t(h.data.top) + 1;
        const bool rectOk = rows > 0 && size_t(rows) * rowBytes == length;
        if (edit[j].keyFlag != 1) {
            const int64_t firstRow = int64_t(h.data.top) - m_geometry.captureTop;
            if (firstRow < 0) {
                result =
                    fail(Result::BadRecord, "Frame " + std::to_string(j) + ": band starts above the capture");
                break;
            }
            offset = size_t(firstRow) * rowBytes;
        }
        if (!rectOk || offset > m_work.size() || length > m_work.size() - offset) {
            result = fail(Result::BadRecord, "Frame " + std::to_string(j) + ": record of " +
                                                 std::to_string(length) + " data bytes for rows " +
                                                 std::to_string(h.data.top) + ".." +
                                                 std::to_string(h.data.bottom) + " does not fit the frame");
            break;
        }
        errno = 0;
        if (std::fread(m_work.data() + offset, 1, length, m_file) != length) {
            result = fail(Result::DataReadFailed,
                          systemError(("Frame " + std::to_string(j) + " data read failed").c_str()));
            break;
        }
        header = h;
    }
    if (result != Result::Ok) {
        std::fill(m_work.begin(), m_work.end(), uint8_t(0));
        m_lastError = "Frame " + std::to_string(n) + " cannot be read: " + m_lastError;
    }
    return result;
}

int FrameStore::readRecordHeader(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                                 bool packTo3Bytes) {
    m_lastError.clear();
    if (!m_file || n >= edit.size()) {
        fail(Result::BadFrameIndex, "getFrame - no frame " + std::to_string(n));
        return GETFRAME_SEEK_FAILED;
    }
    errno = 0;
    if (!seekTo(m_file, edit[n].recordOffset)) {
        fail(Result::SeekFailed, systemError("getFrame - fseek"));
        return GETFRAME_SEEK_FAILED;
    }
    uint8_t raw[SDatFrameHeader::SIZE];
    errno = 0;
    if (std::fread(raw, 1, sizeof raw, m_file) != sizeof raw) {
        fail(Result::HeaderReadFailed, systemError("getFrame - fread frameHeader"));
        return GETFRAME_READ_FAILED;
    }
    header = SDatFrameHeader::fromBytes(raw);
    if (header.headerSize != SDatFrameHeader::SIZE || header.recordSize < SDatFrameHeader::SIZE) {
        fail(Result::BadRecord, "getFrame - bad frame header");
        return GETFRAME_READ_FAILED;
    }
    const size_t length = header.dataLength();
    if (length == 0)
        return GETFRAME_OK;
    const size_t rowBytes = m_geometry.rowBytes();
    if (length > m_geometry.frameBytes() || rowBytes == 0 || length % rowBytes != 0 ||
        (packTo3Bytes && length % 4 != 0)) {
        fail(Result::BadRecord,
             "getFrame - record of " + std::to_string(length) + " data bytes does not fit the frame");
        return GETFRAME_READ_FAILED;
    }
    return GETFRAME_OK;
}

int FrameStore::readRecordData(SDatFrameHeader& header, uint8_t* out, bool packTo3Bytes) {
    const size_t length = header.dataLength();
    if (!packTo3Bytes) {
        errno = 0;
        if (std::fread(out, 1, length, m_file) != length) {
            fail(Result::DataReadFailed, systemError("getFrame fread data"));
            return GETFRAME_READ_FAILED;
        }
        return GETFRAME_OK;
    }
    // Packed a piece at a time through a scratch sized once.
    constexpr size_t PIECE = 256 * 1024;
    if (m_scratch.size() < PIECE)
        m_scratch.resize(PIECE);
    uint8_t* d = out;
    for (size_t done = 0; done < length;) {
        const size_t n = std::min(PIECE, length - done);
        errno = 0;
        if (std::fread(m_scratch.data(), 1, n, m_file) != n) {
            fail(Result::DataReadFailed, systemError("getFrame fread"));
            return GETFRAME_READ_FAILED;
        }
        video::copyPixels(d, m_scratch.data(), n / 4, 4, 3);
        d += n / 4 * 3;
        done += n;
    }
    header.recordSize = uint32_t(length / 4 * 3 + SDatFrameHeader::SIZE);
    return GETFRAME_OK;
}

int FrameStore::getFrameHeader(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                               bool packTo3Bytes, int64_t& dataOffset) {
    const int r = readRecordHeader(edit, n, header, packTo3Bytes);
    dataOffset = n < edit.size() ? int64_t(edit[n].recordOffset) + SDatFrameHeader::SIZE : 0;
    if (r == GETFRAME_OK && packTo3Bytes)
        header.recordSize = uint32_t(header.dataLength() / 4 * 3 + SDatFrameHeader::SIZE);
    return r;
}

int FrameStore::getFrame(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                         std::vector<uint8_t>& data, bool packTo3Bytes, size_t extraBytes) {
    data.clear();
    int r = readRecordHeader(edit, n, header, packTo3Bytes);
    const size_t length = header.dataLength();
    if (r != GETFRAME_OK || length == 0)
        return r;
    data.resize((packTo3Bytes ? length / 4 * 3 : length) + extraBytes);
    r = readRecordData(header, data.data(), packTo3Bytes);
    if (r != GETFRAME_OK)
        data.clear();
    return r;
}

int FrameStore::getFrameInto(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                             uint8_t* out, size_t room, bool packTo3Bytes) {
    int r = readRecordHeader(edit, n, header, packTo3Bytes);
    const size_t length = header.dataLength();
    if (r != GETFRAME_OK || length == 0)
        return r;
    if ((packTo3Bytes ? length / 4 * 3 : length) > room) {
        fail(Result::BadRecord,
             "getFrame - record of " + std::to_string(length) + " data bytes does not fit");
        return GETFRAME_READ_FAILED;
    }
    return readRecordData(header, out, packTo3Bytes);
}

void FrameStore::fillPixel(uint32_t pixel) {
    work();
    const uint32_t bpp = m_geometry.bytesPerPixel;
    if (bpp == 1) {
        std::fill(m_work.begin(), m_work.end(), uint8_t(pixel));
        return;
    }
    uint8_t px[4] = {uint8_t(pixel), uint8_t(pixel >> 8), uint8_t(pixel >> 16), uint8_t(pixel >> 24)};
    const size_t rowBytes = m_geometry.rowBytes();
    if (m_work.empty() || rowBytes == 0)
        return;
    for (size_t i = 0; i < rowBytes; i += bpp)
        std::memcpy(m_work.data() + i, px, bpp);
    for (size_t off = rowBytes; off < m_work.size(); off += rowBytes)
        std::memcpy(m_work.data() + off, m_work.data(), rowBytes);
}

std::vector<int> changedPaletteEntries(const stdColormapArray& from, const stdColormapArray& to) {
    std::vector<int> changed;
    for (size_t i = 0; i < from.colors.size(); ++i) {
        const auto& a = from.colors[i];
        const auto& b = to.colors[i];
        if (a.red != b.red || a.green != b.green || a.blue != b.blue)
            changed.push_back(int(i));
    }
    return changed;
}
