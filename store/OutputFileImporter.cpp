#include "store/OutputFileImporter.h"
#include "store/Diagnostics.h"

#include "store/Deflater.h"

#include "store/RecordIO.h"
#include "store/RegularFile.h"
#include "store/ScratchFile.h"
#include "store/VideoBlocks.h"
#include "store/VlmFile.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t AUDIO_FILE_HEADER = 48;
constexpr size_t AUDIO_FRAME_HEADER = 28;
constexpr uint32_t MAX_OBJECT_CHUNK = 256u << 20;
// The additional data's head in front of the playback records.
constexpr size_t ADDITIONAL_HEAD = 60;

struct FileCloser {
    std::FILE* f = nullptr;
    ~FileCloser() {
        if (f)
            std::fclose(f);
    }
};

// Frames decoded ahead of the one being written, at most, and buffers of a
// whole frame among them (key frames and bands of more than a quarter of it).
constexpr uint32_t DECODED_AHEAD = 16;
constexpr int WHOLE_FRAMES = 2;

// One decoded frame on its way to the working frame file.
struct DecodedFrame {
    int code = 0; // the import's code of a failure, with its texts
    std::string message, cause;
    SPlayBackFrameInfo p;
    int32_t palette = 0;
    bool hasImage = false;
    video::Trailer t;
    SRect capture{0, 0, 0, 0};
    int rowBytes = 0;
    uint8_t* rows = nullptr; // the band's rows in the screen's pixel format
    size_t length = 0;
    ByteBuffer own; // holds them when they are a quarter of the frame or less
    int whole = -1; // else the whole-frame buffer that does
};

bool writeAll(std::FILE* f, const void* p, size_t n) {
    return n == 0 || std::fwrite(p, 1, n, f) == n;
}

// 5-5-5 pixels to 5-6-5.
uint16_t widen555(uint16_t v) {
    const uint16_t r = (v & 0x7C00) >> 10, g = (v & 0x03E0) >> 5, b = v & 0x001F;
    return uint16_t((r << 11) | ((g << 1) << 5) | b);
}

} // namespace

OutputFileImporter::OutputFileImporter(std::string vlmPath, Screen screen, std::string dataDirectory,
                                       std::string soundPath, ImportServices& services)
    : m_vlmPath(std::move(vlmPath)), m_screen(screen), m_dataDirectory(std::move(dataDirectory)),
      m_soundPath(std::move(soundPath)), m_services(services) {}

int OutputFileImporter::fail(int code, const std::string& message, const std::string& cause) {
    diag::print("%s\n", message.c_str());
    m_r.code = code;
    if (m_r.error.empty())
        m_r.error = cause.empty() ? m_vlmPath + ": " + message : cause;
    return code;
}

std::string OutputFileImporter::frameCause(uint32_t frame, const std::string& what) const {
    return m_vlmPath + ": frame " + std::to_string(frame) + ": " + what;
}

int OutputFileImporter::failWrite(const std::string& what, const std::string& path) {
    const int err = errno ? errno : EIO;
    return fail(IMPORT_WRITE, what, "cannot write " + path + ": " + std::strerror(err));
}

bool OutputFileImporter::looksLikeWorkingFile(const std::string& path) {
    FileCloser f{regularfile::openStream(path, O_RDONLY, "rb")};
    if (!f.f)
        return false;
    uint8_t raw[SDatMainHeader::SIZE];
    if (std::fread(raw, 1, sizeof raw, f.f) != sizeof raw)
        return false;
    SDatMainHeader h = SDatMainHeader::fromBytes(raw);
    if (std::fseek(f.f, 0, SEEK_END) != 0)
        return false;
    const long length = std::ftell(f.f);
    if (h.headerSize != SDatMainHeader::SIZE || h.version != 1)
        return false;
    // The size field holds the length at the import (edits append records
    // behind it) or the frame writer's limit.
    if (uint64_t(h.fileSize) > uint64_t(length) && h.fileSize != DAT_FILE_SIZE_LIMIT)
        return false;
    // Its records follow one another to the end of the file.
    long at = SDatMainHeader::SIZE;
    uint32_t records = 0;
    while (at < length) {
        uint8_t fh[SDatFrameHeader::SIZE];
        if (std::fseek(f.f, at, SEEK_SET) != 0 || std::fread(fh, 1, sizeof fh, f.f) != sizeof fh)
            return false;
        SDatFrameHeader frame = SDatFrameHeader::fromBytes(fh);
        if (frame.headerSize != SDatFrameHeader::SIZE || frame.recordSize < SDatFrameHeader::SIZE ||
            frame.recordSize > uint32_t(length - at))
            return false;
        at += frame.recordSize;
        ++records;
    }
    return h.frameCount <= std::max<uint32_t>(records, 10);
}

void OutputFileImporter::limitFramesToPlaybackRecords(VlmFile& file) {
    file.limitReadFramesToAdditionalRecords(ADDITIONAL_HEAD, SPlayBackFrameInfo::SIZE);
}

ImportResult OutputFileImporter::run() {
    m_r = ImportResult{};
    m_workingScratch.clear();
    m_soundScratch.clear();
    m_r.workingPath = datfile::workingPathFor(m_vlmPath);
    struct stat st {};
    if (stat(m_r.workingPath.c_str(), &st) == 0 && !looksLikeWorkingFile(m_r.workingPath)) {
        fail(IMPORT_OPEN, "import: " + m_r.workingPath + " exists and is not a working frame file",
             m_r.workingPath + " exists and is not a working frame file");
        return m_r;
    }

    VlmFile file;
    limitFramesToPlaybackRecords(file);
    const int opened = file.openToRead(m_vlmPath);
    if (opened == vlm::VLM_WRONG_SIGN || opened == vlm::EXM_WRONG_SIGN) {
        fail(IMPORT_BAD_SIGNATURE, "scap error", file.lastError());
        return m_r;
    }
    if (opened != 0) {
        const std::string cause = file.lastError();
        file.vlmFileClose();
        fail(IMPORT_CANNOT_OPEN, "scap error", cause);
        return m_r;
    }
    diag::print("scap sucess\n");

    // Resources for the media library; default icons stay with the program.
    for (uint32_t n = 0; n < file.ScapResourceCount(); ++n) {
        VlmResourceRecord record;
        if (file.ScapResourceRead(record, n) != 0)
            continue;
        if (record.bytes[320] & 0x04)
            continue;
        uint32_t length = 0;
        file.ScapResourceRead(record.resourceId(), &length, nullptr, 0);
        std::vector<uint8_t> data(length);
        if (length > 0 && file.ScapResourceRead(record.resourceId(), &length, data.data(), data.size()) != 0)
            continue;
        m_services.addResource(record, data);
    }
    if (file.hasBackgroundSound()) {
        m_r.backgroundSound = file.audioHeader().backgroundSound;
        char name[200];
        const uint32_t id = rec::readLe32(m_r.backgroundSound.data());
        if (file.ScapResourceReadFileName(name, sizeof name, id) == 0) {
            m_r.backgroundSoundFile = std::string(name, strnlen(name, sizeof name));
            m_r.backgroundSoundId = id;
        }
    }

    if (!file.hasStream(vlm::CHUNK_VIDEO)) {
        fail(IMPORT_NO_VIDEO, " vlmGetStream failed");
        return m_r;
    }
    uint8_t vhRaw[VLMVideoHeader::SIZE];
    if (file.vlmStreamInfo(vhRaw, sizeof vhRaw, 0) != 1) {
        fail(IMPORT_NO_VIDEO, "get vlmStreamInfo failed");
        return m_r;
    }
    const VLMVideoHeader vh = VLMVideoHeader::fromBytes(vhRaw);
    m_r.captureRect = vh.capture;
    const int B = m_screen.depth / 8;
    // In 64 bits: forged edges must not overflow; every edge lies on the screen.
    const int64_t width = int64_t(vh.capture.right) - vh.capture.left;
    const int64_t height = int64_t(vh.capture.bottom) - vh.capture.top;
    const bool onScreen = vh.capture.left >= 0 && vh.capture.top >= 0 && vh.capture.right <= m_screen.width &&
                          vh.capture.bottom <= m_screen.height;
    m_r.fileWidth = int(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
    m_r.fileHeight = int(std::clamp<int64_t>(height, INT32_MIN, INT32_MAX));
    m_r.fileBitsPerPixel = vh.bitsPerPixel;
    if (!onScreen || width != m_screen.width || height != m_screen.height || vh.bitsPerPixel != 8 * B) {
        fail(IMPORT_RESOLUTION, "resolution conflict");
        return m_r;
    }

    const uint32_t additionalSize = file.getAdditionalDataSize();
    diag::print("vlmFile.getAdditionalDataSize %u\n", additionalSize);
    struct stat vs {};
    if (stat(m_vlmPath.c_str(), &vs) != 0 || uint64_t(additionalSize) > uint64_t(vs.st_size)) {
        fail(IMPORT_NO_ADDITIONAL_DATA, "additional data read failed: longer than the file");
        return m_r;
    }
    std::vector<uint8_t> additional(additionalSize);
    uint32_t got = 0;
    if (additionalSize < 60 || file.vlmAdditionalDataRead(additional.data(), additional.size(), &got) != 0 ||
        std::memcmp(additional.data(), "SCAP@intX", 9) != 0) {
        fail(IMPORT_NO_ADDITIONAL_DATA,
             additionalSize == 0 ? "vlmAdditionalDataSize is zero" : "additional data read failed");
        return m_r;
    }
    if (file.vlmGlobalObjectSize() == 0)
        diag::print("no global objects\n");

    // The frames go to a scratch beside the working frame file; it and the
    // sound replace the old files only once everything was read.
    ScratchFile working(m_r.workingPath);
    m_workingScratch = working.path();
    FileCloser dat{working.create()};
    if (!dat.f) {
        fail(IMPORT_OPEN, "import: " + working.error(), working.error());
        return m_r;
    }
    if (importFrames(file, dat.f, additional) != IMPORT_OK)
        return m_r;
    errno = 0;
    const int closed = std::fclose(dat.f);
    dat.f = nullptr;
    if (closed != 0) {
        failWrite("import: the working frame file cannot be completed", m_workingScratch);
        return m_r;
    }
    if (importSound(file) != IMPORT_OK || importObjects(file) != IMPORT_OK) {
        if (!m_soundScratch.empty())
            std::remove(m_soundScratch.c_str());
        return m_r;
    }
    if (!m_soundScratch.empty()) {
        if (std::rename(m_soundScratch.c_str(), m_soundPath.c_str()) != 0) {
            const int err = errno;
            std::remove(m_soundScratch.c_str());
            fail(IMPORT_WRITE,
                 "import: the sound working file cannot be written: " + std::string(std::strerror(err)),
                 "cannot move " + m_soundScratch + " to " + m_soundPath + ": " + std::strerror(err));
            return m_r;
        }
        m_r.soundWritten = true;
    }
    if (!working.commit()) {
        fail(IMPORT_WRITE, "import: " + working.error(), working.error());
        return m_r;
    }

    for (uint32_t i = 0; i < m_r.project.m_dwFrameCount; ++i) {
        const auto& p = m_r.project.m_vPlayBackFrameInfo[i];
        if (p.vType == VALIDATION_MOUSE || p.vType == VALIDATION_KEY || (p.frameFlags & PBF_AUDIO) ||
            m_services.frameHasAudioResource(i))
            m_r.project.m_vUserActionFrames.push_back(i);
    }
    m_r.project.m_dwUserActionFrame = uint32_t(m_r.project.m_vUserActionFrames.size());
    m_r.code = IMPORT_OK;
    return m_r;
}

int OutputFileImporter::importFrames(VlmFile& file, std::FILE* dat, const std::vector<uint8_t>& additional) {
    rec::RecordReader extra(additional);
    m_r.redMask = extra.u32(36);
    m_r.greenMask = extra.u32(40);
    m_r.blueMask = extra.u32(44);

    const int W = m_screen.width, H = m_screen.height;
    const int B = m_screen.depth / 8;      // stored bytes a pixel
    const int sB = m_screen.bytesPerPixel; // the screen's
    const size_t S = size_t(W) * B, R = size_t(W) * sB;
    const uint32_t F = file.vlmStreamLength(vlm::CHUNK_VIDEO);
    if (additional.size() < 60 + size_t(F) * SPlayBackFrameInfo::SIZE)
        return fail(IMPORT_NO_ADDITIONAL_DATA, "additional data read failed: too few playback records");

    const size_t cols = size_t(W) / 8 + 1, rows = size_t(H) / 8 + 1;
    const size_t maxPlain = std::max(S * H, 2 * rows * cols + rows * cols * 64 * B) + video::TRAILER_SIZE;
    std::vector<uint8_t> image;
    ByteBuffer plain;
    DecodedFrame slots[DECODED_AHEAD];
    ByteBuffer whole[WHOLE_FRAMES];
    try {
        image.assign(S * H, 0);
        plain.reserve(maxPlain);
        for (auto& b : whole)
            b.reserve(R * H);
    } catch (const std::bad_alloc&) {
        return fail(IMPORT_MEMORY, "malloc lpBuffer falied");
    }

    SDatMainHeader main;
    main.fileSize = 0;
    main.capture = m_r.captureRect;
    errno = 0;
    if (std::fseek(dat, 0, SEEK_SET) != 0)
        return fail(IMPORT_SEEK, "fseek", "cannot seek in " + m_workingScratch + ": " + std::strerror(errno));
    auto mh = main.toBytes();
    if (!writeAll(dat, mh.data(), mh.size()))
        return failWrite("file header write failed", m_workingScratch);
    m_r.project.m_nextRecordOffset = SDatMainHeader::SIZE;
    m_r.rowBytes = int(R);
    SRect capture = m_r.captureRect;

    std::vector<stdColormapArray> colormaps;

    SRect decodedCapture = capture;
    int decodedRowBytes = m_r.rowBytes;
    std::vector<uint8_t> chunk, format, lastFormat;

    // The next frames are read, inflated and converted on a thread of their
    // own while this one writes the records, in order.
    struct Ahead {
        std::mutex lock;
        std::condition_variable changed;
        uint32_t decoded = 0, written = 0;
        bool stop = false;
        std::vector<int> freeWhole; // whole-frame buffers not in use
        std::thread thread;
        ~Ahead() {
            {
                std::lock_guard<std::mutex> g(lock);
                stop = true;
            }
            changed.notify_all();
            if (thread.joinable())
                thread.join();
        }
    } ahead;
    for (int k = 0; k < WHOLE_FRAMES; ++k)
        ahead.freeWhole.push_back(k);

    // Decodes frame i into d: its playback record, palette, and its band's
    // rows in the screen's own pixel format. Runs on the decoding thread.
    auto decode = [&](uint32_t i, DecodedFrame& d) {
        d.code = IMPORT_OK;
        d.hasImage = false;
        d.rows = nullptr;
        d.length = 0;
        auto failed = [&](int code, const std::string& message, const std::string& what) {
            d.code = code;
            d.message = message;
            d.cause = frameCause(i, what);
        };
        SPlayBackFrameInfo& p = d.p;
        p = SPlayBackFrameInfo::fromBytes(additional.data() + 60 + size_t(i) * SPlayBackFrameInfo::SIZE);
        if (m_screen.depth <= 15) {
            if (file.vlmGetFormat(format, i, 0) != 0 || format.size() < 40 + 4 * 256)
                return failed(IMPORT_READ, "palette read error", "the palette cannot be read");
            if (format != lastFormat) {
                stdColormapArray pal;
                for (size_t c = 0; c < 256; ++c) {
                    const uint8_t* q = format.data() + 40 + 4 * c;
                    pal.colors[c] = {uint32_t(c), uint16_t(q[2] * 257), uint16_t(q[1] * 257),
                                     uint16_t(q[0] * 257), uint8_t(7)};
                }
                colormaps.push_back(pal);
                lastFormat = format;
            }
            d.palette = int32_t(colormaps.size()) - 1;
        } else {
            d.palette = 0;
        }

        if (file.vlmStreamRead(chunk, i, vlm::CHUNK_VIDEO) != 0)
            return failed(IMPORT_READ, "error reading frames", "the video chunk cannot be read");
        uLongf plainLength = 0;
        if (!chunk.empty()) {
            plainLength = uLongf(maxPlain);
            if (uncompress(plain.data(), &plainLength, chunk.data(), uLong(chunk.size())) != Z_OK)
                return failed(IMPORT_READ, "error reading frames: a video chunk does not decompress",
                              "a video chunk does not decompress");
            if (plainLength != 0 && plainLength < video::TRAILER_SIZE)
                return failed(IMPORT_READ, "error reading frames: a video chunk is shorter than its trailer",
                              "a video chunk is shorter than its trailer");
            d.hasImage = plainLength > video::TRAILER_SIZE;
        }
        const bool key = p.frameFlags & PBF_KEY;
        if (d.hasImage) {
            video::Trailer& t = d.t;
            t = video::readTrailer(plain.data() + plainLength - video::TRAILER_SIZE);
            std::printf("Block Rect---- %d %d %d %d\n", t.left, t.right, t.top, t.bottom);
            if (t.left != 0 || t.top < 0 || t.right != W - 1 || t.bottom < t.top || t.bottom >= H)
                return failed(IMPORT_READ, "error reading frames: a band lies outside the screen",
                              "a band lies outside the screen");
            if (key) {
                if (t.top != 0 || t.bottom != H - 1)
                    return failed(IMPORT_READ, "error reading frames: a key frame is not whole",
                                  "a key frame is not whole");
                decodedCapture = SRect{t.left, t.top, t.right + 1, t.bottom + 1};
                decodedRowBytes = (t.right + 1 - t.left) * sB;
            }
            video::DecodeResult r;
            if (t.blocks == 0) {
                r = video::decodeKeyChunk(plain.data(), plainLength, image.data() + size_t(t.top) * S, W,
                                          t.bottom - t.top + 1, S, B);
            } else {
                r = video::applyDeltaChunk(plain.data(), plainLength, image.data(), W, H, S, B,
                                           decodedCapture);
            }
            if (r != video::DecodeResult::Ok)
                return failed(IMPORT_READ, "error reading frames: a bad video chunk", "a bad video chunk");

            // The band's rows into the screen's own pixel format, every byte of them.
            const size_t need = R * size_t(t.bottom - t.top + 1);
            if (need > R * H / 4) {
                std::unique_lock<std::mutex> g(ahead.lock);
                ahead.changed.wait(g, [&] { return ahead.stop || !ahead.freeWhole.empty(); });
                if (ahead.stop)
                    return failed(IMPORT_READ, "import stopped", "the import stopped");
                d.whole = ahead.freeWhole.back();
                ahead.freeWhole.pop_back();
                d.rows = whole[d.whole].data();
            } else {
                try {
                    d.own.reserve(need);
                } catch (const std::bad_alloc&) {
                    return failed(IMPORT_MEMORY, "malloc lpBuffer falied", "no memory for a frame");
                }
                d.rows = d.own.data();
            }
            const bool from555 = B == 2 && !(p.pixelFlags & 0x01);
            if (from555)
                diag::print("in 15 bit\n");
            for (int y = t.top; y <= t.bottom; ++y) {
                const uint8_t* src = image.data() + size_t(y) * S;
                uint8_t* dst = d.rows + size_t(y - t.top) * R;
                size_t done = 0;
                if (from555) {
                    for (int x = 0; x < W && 2 * size_t(x) + 2 <= R; ++x)
                        rec::writeLe16(dst + 2 * x, widen555(rec::readLe16(src + 2 * x)));
                    done = std::min(S, R);
                } else if (B == 3 && sB == 4) {
                    for (int x = 0; x < W; ++x) {
                        std::memcpy(dst + 4 * x, src + 3 * x, 3);
                        dst[4 * x + 3] = 0;
                    }
                    done = R;
                } else {
                    done = std::min(S, R);
                    std::memcpy(dst, src, done);
                }
                std::memset(dst + done, 0, R - done);
            }
            if (from555) {
                // The image is now 5-6-5: say so, or the next import converts it again.
                for (int y = t.top; y <= t.bottom; ++y)
                    std::memcpy(image.data() + size_t(y) * S, d.rows + size_t(y - t.top) * R, std::min(S, R));
                p.pixelFlags |= 0x03;
            }
            d.length = need;
        }
        d.capture = decodedCapture;
        d.rowBytes = decodedRowBytes;
    };

    ahead.thread = std::thread([&] {
        for (uint32_t i = 0; i < F; ++i) {
            {
                std::unique_lock<std::mutex> g(ahead.lock);
                ahead.changed.wait(
                    g, [&] { return ahead.stop || ahead.decoded - ahead.written < DECODED_AHEAD; });
                if (ahead.stop)
                    return;
            }
            DecodedFrame& d = slots[i % DECODED_AHEAD];
            decode(i, d);
            {
                std::lock_guard<std::mutex> g(ahead.lock);
                ++ahead.decoded;
            }
            ahead.changed.notify_all();
            if (d.code != IMPORT_OK)
                return;
        }
    });

    for (uint32_t i = 0; i < F; ++i) {
        m_services.progress(i);
        {
            std::unique_lock<std::mutex> g(ahead.lock);
            ahead.changed.wait(g, [&] { return ahead.decoded > i; });
        }
        DecodedFrame& d = slots[i % DECODED_AHEAD];
        if (d.code != IMPORT_OK)
            return fail(d.code, d.message, d.cause);
        SPlayBackFrameInfo& p = d.p;
        const video::Trailer& t = d.t;
        const bool hasImage = d.hasImage;
        const bool key = p.frameFlags & PBF_KEY;
        const bool blank = p.frameFlags & (PBF_INSERTED | PBF_APPENDED);
        capture = d.capture;
        m_r.rowBytes = d.rowBytes;

        SDatFrameHeader h;
        const uint8_t* data = nullptr;
        size_t length = 0;
        if (blank) {
            h.keyFlag = 1;
        } else if (hasImage) {
            // The band's rows; a key frame's band is the whole picture.
            data = d.rows;
            length = d.length;
            h.keyFlag = key ? 1 : 0;
        }
        if (p.frameFlags & PBF_DELETED)
            ++m_r.project.m_deletedCount;
        h.recordSize = uint32_t(SDatFrameHeader::SIZE + length);
        h.frameNumber = i;
        h.paletteIndex = uint32_t(d.palette);
        h.timeStamp = uint32_t(time(nullptr));
        h.frameState = i == 0 ? FRAME_STATE_FIRST : FRAME_STATE_TIMER;
        h.data = SRect{capture.left, hasImage && !blank ? t.top : 0, capture.right - 1,
                       hasImage && !blank ? t.bottom : 0};
        if (key && hasImage && !blank) {
            h.data.top = 0;
            h.data.bottom = capture.bottom - capture.top - 1;
        }
        SEditInfo e;
        e.keyFlag = int32_t(h.keyFlag);
        e.deletedFlag = (p.frameFlags & PBF_DELETED) ? 1 : 0;
        e.recordOffset = int32_t(m_r.project.m_nextRecordOffset);
        auto hb = h.toBytes();
        errno = 0;
        if (!writeAll(dat, hb.data(), hb.size()))
            return failWrite("File header write", m_workingScratch);
        if (!writeAll(dat, data, length))
            return failWrite("Frame data write", m_workingScratch);
        m_r.project.m_nextRecordOffset += h.recordSize;
        m_r.project.m_vEditInfo.push_back(e);

        if (m_screen.depth <= 15)
            p.paletteIndex = int16_t(d.palette);
        if (!(p.pixelFlags & 0x02)) {
            if (m_r.redMask == 0xF800)
                p.pixelFlags |= 0x01;
            p.pixelFlags |= 0x02;
        }
        if (p.frameFlags & PBF_INSERTED)
            ++m_r.project.m_insertedCount;
        else if (p.frameFlags & PBF_APPENDED)
            ++m_r.project.m_appendedCount;
        else if (p.frameFlags & PBF_COPIED)
            ++m_r.project.m_insertedCount;
        m_r.project.m_vPlayBackFrameInfo.push_back(p);
        {
            std::lock_guard<std::mutex> g(ahead.lock);
            if (d.whole >= 0)
                ahead.freeWhole.push_back(d.whole);
            d.whole = -1;
            ++ahead.written;
        }
        ahead.changed.notify_all();
    }
    m_r.project.m_vColormaps.insert(m_r.project.m_vColormaps.end(), colormaps.begin(), colormaps.end());

    main.fileSize = m_r.project.m_nextRecordOffset;
    main.frameCount = F;
    main.capture = capture;
    main.redMask = m_r.redMask;
    main.greenMask = m_r.greenMask;
    main.blueMask = m_r.blueMask;
    errno = 0;
    if (std::fseek(dat, 0, SEEK_SET) != 0)
        return fail(IMPORT_SEEK, "fseek dat file",
                    "cannot seek in " + m_workingScratch + ": " + std::strerror(errno));
    mh = main.toBytes();
    if (!writeAll(dat, mh.data(), mh.size()) || std::fflush(dat) != 0)
        return failWrite("fwrite FileHeader", m_workingScratch);
    m_r.captureRect = capture;
    m_r.project.m_dwFrameCount = F;
    diag::print("Reading frames complete--\n");
    return IMPORT_OK;
}

int OutputFileImporter::importSound(VlmFile& file) {
    if (!file.hasStream(vlm::CHUNK_AUDIO) || file.vlmStreamLength(vlm::CHUNK_AUDIO) == 0)
        return IMPORT_OK;
    uint8_t ah[VLMAudioHeader::SIZE];
    if (file.vlmStreamInfo(ah, sizeof ah, 1) != 1)
        return IMPORT_OK;
    const uint32_t entries = file.vlmStreamLength(vlm::CHUNK_AUDIO);
    diag::print("-------Audio Writing begins----->\n");

    std::string scratch = m_dataDirectory + "/import-sound-XXXXXX";
    const int fd = mkstemp(scratch.data());
    if (fd < 0) {
        const std::string cause = "cannot create " + scratch + ": " + std::strerror(errno);
        return fail(IMPORT_OPEN, "import: " + cause, cause);
    }
    FileCloser out{fdopen(fd, "w+b")};
    if (!out.f) {
        const std::string cause = "cannot open " + scratch + ": " + std::strerror(errno);
        ::close(fd);
        std::remove(scratch.c_str());
        return fail(IMPORT_OPEN, "import: " + cause, cause);
    }
    // A write failure names the scratch and the system's text; a read one the frame.
    auto failSound = [&](int code, const std::string& message, const std::string& cause = {}) {
        const int err = errno ? errno : EIO;
        std::fclose(out.f);
        out.f = nullptr;
        std::remove(scratch.c_str());
        if (code == IMPORT_WRITE && cause.empty())
            return fail(code, message, "cannot write " + scratch + ": " + std::strerror(err));
        return fail(code, message, cause);
    };
    uint8_t head[AUDIO_FILE_HEADER] = {};
    rec::writeLe32(head, AUDIO_FILE_HEADER);
    rec::writeLe32(head + 4, entries);
    errno = 0;
    if (!writeAll(out.f, head, sizeof head))
        return failSound(IMPORT_WRITE, "\n\t Error On Header Read");

    std::vector<uint8_t> chunk;
    for (uint32_t i = 0; i < entries && i < m_r.project.m_dwFrameCount; ++i) {
        SPlayBackFrameInfo& p = m_r.project.m_vPlayBackFrameInfo[i];
        if (p.audioSize == 0)
            continue;
        diag::print("Writing Audio Frame Header----\n");
        const long offset = std::ftell(out.f);
        std::vector<uint8_t> pcm;
        if (p.frameFlags & PBF_AUDIO_RECORDED) {
            if (file.vlmGetFormat(chunk, i, 1) != 0)
                return failSound(IMPORT_READ, "import: an audio chunk cannot be read",
                                 frameCause(i, "the audio chunk cannot be read"));
            size_t at = 0;
            while (at < chunk.size()) {
                if (chunk.size() - at < 8)
                    return failSound(IMPORT_READ, "import: an audio piece is cut short",
                                     frameCause(i, "an audio piece is cut short"));
                const uint32_t uncoded = rec::readLe32(chunk.data() + at);
                const uint32_t coded = rec::readLe32(chunk.data() + at + 4);
                if (uncoded > 88200 || coded > chunk.size() - at - 8)
                    return failSound(IMPORT_READ, "import: an audio piece is longer than its chunk",
                                     frameCause(i, "an audio piece is longer than its chunk"));
                std::vector<uint8_t> samples = m_services.decodeAudio(chunk.data() + at + 8, coded, uncoded);
                samples.resize(uncoded, 0); // exactly the piece's own length
                pcm.insert(pcm.end(), samples.begin(), samples.end());
                at += 8 + coded;
            }
        }
        uint8_t fh[AUDIO_FRAME_HEADER] = {};
        rec::writeLe32(fh, AUDIO_FRAME_HEADER);
        rec::writeLe32(fh + 4, uint32_t(pcm.size()));
        rec::writeLe32(fh + 12, i == 0 ? entries : p.marker);
        rec::writeLe32(fh + 20, p.hasSound);
        errno = 0;
        if (!writeAll(out.f, fh, sizeof fh) || !writeAll(out.f, pcm.data(), pcm.size()))
            return failSound(IMPORT_WRITE, "import: the sound cannot be written");
        SEditInfo& e = m_r.project.m_vEditInfo[i];
        e.audioFlag = 1;
        e.audioHeaderOffset = e.audioHeaderOffsetCopy = int32_t(offset);
    }
    errno = 0;
    if (std::fflush(out.f) != 0)
        return failSound(IMPORT_WRITE, "import: the sound cannot be written");
    const int closed = std::fclose(out.f);
    out.f = nullptr;
    if (closed != 0) {
        std::remove(scratch.c_str());
        return failWrite("import: the sound cannot be written", scratch);
    }
    m_soundScratch = scratch; // moved into place when the whole import succeeded
    diag::print("End of Audio writing-----\n");
    return IMPORT_OK;
}

int OutputFileImporter::importObjects(VlmFile& file) {
    if (!file.hasStream(vlm::CHUNK_OBJECT))
        return IMPORT_OK;
    const uint32_t entries = file.vlmStreamLength(vlm::CHUNK_OBJECT);
    std::vector<uint8_t> chunk, plain;
    const vlm::FileVersion version{file.header().majorVersion, file.header().minorVersion};
    for (uint32_t i = 0; i < entries && i < m_r.project.m_dwFrameCount; ++i) {
        if (m_r.project.m_vPlayBackFrameInfo[i].frameFlags & PBF_NO_OBJECTS)
            continue;
        uint32_t size = 0;
        if (file.vlmStreamSize(i, vlm::CHUNK_OBJECT, &size) != 0)
            return fail(IMPORT_READ, "SCP File Read Error", frameCause(i, "the object chunk cannot be read"));
        if (size == 0)
            continue;
        if (file.vlmStreamRead(chunk, i, vlm::CHUNK_OBJECT) != 0 || chunk.size() < 16)
            return fail(IMPORT_READ, "SCP File Read Error", frameCause(i, "the object chunk cannot be read"));
        const uint32_t plainLength = rec::readLe32(chunk.data());
        const uint32_t packed = rec::readLe32(chunk.data() + 4);
        if (plainLength < 24 || plainLength > MAX_OBJECT_CHUNK || packed > chunk.size() - 16)
            return fail(IMPORT_READ, "import: a bad object chunk", frameCause(i, "a bad object chunk"));
        plain.resize(plainLength);
        uLongf got = plainLength;
        const int z = uncompress(plain.data(), &got, chunk.data() + 16, packed);
        if (z != Z_OK || got != plainLength)
            return fail(IMPORT_READ, "Obj decompression failed",
                        frameCause(i, "the object chunk does not decompress"));
        if (!m_services.frameObjects(i, plain.data(), plain.size(), version))
            return fail(IMPORT_READ, "import: the objects of a frame cannot be read",
                        frameCause(i, "the objects cannot be read"));
    }
    return IMPORT_OK;
}
