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
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <sys/uio.h>
#include <system_error>
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

bool writeAll(std::FILE* f, const void* p, size_t n) {
    return n == 0 || std::fwrite(p, 1, n, f) == n;
}

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// 5-5-5 pixels to 5-6-5.
uint16_t widen555(uint16_t v) {
    const uint16_t r = (v & 0x7C00) >> 10, g = (v & 0x03E0) >> 5, b = v & 0x001F;
    return uint16_t((r << 11) | ((g << 1) << 5) | b);
}

// One frame between its reading and its writing: the compressed chunk, read
// in order on the calling thread, and the plain chunk it inflates to.
struct InflatedFrame {
    uint32_t frame = 0;
    int code = 0; // the import's code of a failure, reported at the frame's turn
    std::string message, what;
    int32_t palette = 0;
    bool whole = false; // a key frame: its plain chunk goes straight to a large buffer
    std::vector<uint8_t> chunk;
    ByteBuffer small;               // the plain chunk when it is small
    int large = -1;                 // else the large buffer that holds it
    const uint8_t* plain = nullptr; // the plain chunk, in one of them
    size_t plainLength = 0;
    bool done = false; // under the inflater's lock

    void reset(uint32_t n) {
        frame = n;
        code = 0;
        message.clear();
        what.clear();
        palette = 0;
        whole = false;
        chunk.clear();
        plain = nullptr;
        plainLength = 0;
        done = false;
    }
    void fail(int c, const std::string& m, const std::string& w) {
        code = c;
        message = m;
        what = w;
    }
};

// A zlib inflating stream kept for many chunks. It inflates the raw deflate
// data between a chunk's zlib head and its sum; the inflater checks both.
struct InflateStream {
    z_stream z{};
    bool ready = false;
    InflateStream() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
    ~InflateStream() {
        if (ready)
            inflateEnd(&z);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

// Inflates the frames' chunks, each on its own, on a few threads beside the
// calling thread (inline when the machine has one core). A frame waits in
// its slot, inflated, until the calling thread has written it. A plain chunk
// goes into its slot's small buffer; a larger one (a key frame) into one of a
// few large buffers, and the frame next in turn can always have one.
class FrameInflater {
  public:
    // Frames read ahead of the one being written, at most.
    static constexpr uint32_t AHEAD = 32;
    // Threads that inflate, at most.
    static constexpr unsigned THREADS = 4;
    // A slot's own buffer; larger plain chunks take a large buffer.
    static constexpr size_t SMALL = 1 << 20;
    static constexpr int LARGE = int(THREADS) + 1;

    explicit FrameInflater(size_t maxPlain) : m_maxPlain(maxPlain), m_small(std::min(SMALL, maxPlain)) {}
    ~FrameInflater() {
        {
            std::lock_guard<std::mutex> g(m_lock);
            m_stop = true;
        }
        m_work.notify_all();
        m_returned.notify_all();
        for (auto& t : m_threads)
            t.join();
    }

    // Reserves the buffers and starts the threads; throws on failure.
    void start() {
        for (auto& s : m_slots)
            s.small.reserve(m_small);
        for (int k = LARGE; k-- > 0;) {
            m_large[k].reserve(m_maxPlain);
            m_free.push_back(k);
        }
        const unsigned cores = std::thread::hardware_concurrency();
        const unsigned threads = std::min(THREADS, cores > 1 ? cores - 1 : 0u);
        for (unsigned n = 0; n < threads; ++n)
            m_threads.emplace_back([this] { run(); });
    }

    InflatedFrame& slot(uint32_t frame) { return m_slots[frame % AHEAD]; }

    void submit(InflatedFrame& f) {
        if (m_threads.empty())
            return; // inflated when it is waited for
        {
            std::lock_guard<std::mutex> g(m_lock);
            m_queue.push_back(&f);
        }
        m_work.notify_one();
    }
    // Waits until frame n of its slot is inflated; false when it was never read.
    bool waitFor(InflatedFrame& f, uint32_t n) {
        if (f.frame != n)
            return false;
        if (m_threads.empty()) {
            inflate(f, m_inline);
            return true;
        }
        std::unique_lock<std::mutex> g(m_lock);
        m_finished.wait(g, [&] { return f.done; });
        return true;
    }
    // The frame is written: its large buffer is free, the next frame's turn.
    void written(InflatedFrame& f) {
        {
            std::lock_guard<std::mutex> g(m_lock);
            if (f.large >= 0)
                m_free.push_back(f.large);
            f.large = -1;
            m_turn = f.frame + 1;
        }
        m_returned.notify_all();
    }

  private:
    void run() {
        InflateStream stream;
        std::unique_lock<std::mutex> g(m_lock);
        for (;;) {
            m_work.wait(g, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop)
                return;
            InflatedFrame* f = m_queue.front();
            m_queue.pop_front();
            g.unlock();
            inflate(*f, stream);
            g.lock();
            f->done = true;
            m_finished.notify_all();
        }
    }

    // A large buffer for frame n; -1 when the inflater stops.
    int takeLarge(uint32_t n) {
        std::unique_lock<std::mutex> g(m_lock);
        m_returned.wait(g, [&] { return m_stop || m_free.size() >= 2 || (!m_free.empty() && n == m_turn); });
        if (m_stop)
            return -1;
        const int k = m_free.back();
        m_free.pop_back();
        return k;
    }

    void inflate(InflatedFrame& f, InflateStream& s) {
        if (f.code != 0 || f.chunk.empty())
            return;
        auto bad = [&] {
            f.fail(OutputFileImporter::IMPORT_READ, "error reading frames: a video chunk does not decompress",
                   "a video chunk does not decompress");
        };
        // The zlib head: deflate, a window zlib knows, no preset dictionary.
        const std::vector<uint8_t>& c = f.chunk;
        if (c.size() < 2 + 4 || (c[0] & 0x0F) != Z_DEFLATED || (c[0] >> 4) > 7 || (c[1] & 0x20) ||
            (c[0] * 256 + c[1]) % 31 != 0)
            return bad();
        z_stream& z = s.z;
        if (!s.ready || inflateReset(&z) != Z_OK || c.size() > UINT_MAX)
            return bad();
        z.next_in = const_cast<Bytef*>(c.data()) + 2;
        z.avail_in = uInt(c.size() - 2);
        int r = Z_OK;
        if (f.whole && m_maxPlain > m_small) {
            f.large = takeLarge(f.frame);
            if (f.large < 0)
                return bad();
            f.plain = m_large[f.large].data();
            z.next_out = m_large[f.large].data();
            z.avail_out = uInt(std::min<size_t>(m_maxPlain, UINT_MAX));
            r = ::inflate(&z, Z_FINISH);
        } else {
            z.next_out = f.small.data();
            z.avail_out = uInt(m_small);
            r = ::inflate(&z, Z_FINISH);
            f.plain = f.small.data();
            if (r != Z_STREAM_END && z.avail_out == 0 && m_maxPlain > m_small &&
                (r == Z_OK || r == Z_BUF_ERROR)) {
                // Too large for the slot: on into a large buffer.
                f.large = takeLarge(f.frame);
                if (f.large < 0)
                    return bad();
                uint8_t* out = m_large[f.large].data();
                std::memcpy(out, f.small.data(), m_small);
                z.next_out = out + m_small;
                z.avail_out = uInt(std::min<size_t>(m_maxPlain - m_small, UINT_MAX));
                r = ::inflate(&z, Z_FINISH);
                f.plain = out;
            }
        }
        // The big-endian sum of the plain bytes follows the deflate data.
        if (r != Z_STREAM_END || z.avail_in < 4)
            return bad();
        f.plainLength = size_t(z.total_out);
        if (bigEndian32(z.next_in) != adler32Of(1, f.plain, f.plainLength)) {
            f.plainLength = 0;
            return bad();
        }
        if (f.plainLength != 0 && f.plainLength < video::TRAILER_SIZE)
            f.fail(OutputFileImporter::IMPORT_READ,
                   "error reading frames: a video chunk is shorter than its trailer",
                   "a video chunk is shorter than its trailer");
    }

    size_t m_maxPlain, m_small;
    InflatedFrame m_slots[AHEAD];
    ByteBuffer m_large[LARGE];
    InflateStream m_inline;
    std::mutex m_lock;
    std::condition_variable m_work, m_finished, m_returned;
    std::deque<InflatedFrame*> m_queue;
    std::vector<int> m_free; // large buffers not in use
    uint32_t m_turn = 0;     // the frame being written next
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

// Writes the pieces of one record; `written` receives the bytes that went out.
bool writeRecord(int fd, std::vector<iovec>& pieces, size_t& written) {
    written = 0;
    size_t at = 0;
    while (at < pieces.size()) {
        const int count = int(std::min<size_t>(pieces.size() - at, IOV_MAX));
        const ssize_t n = ::writev(fd, pieces.data() + at, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        written += size_t(n);
        // Skip what went out, and resume within a piece cut short.
        for (size_t left = size_t(n); left > 0;) {
            if (left >= pieces[at].iov_len) {
                left -= pieces[at].iov_len;
                ++at;
            } else {
                pieces[at].iov_base = static_cast<uint8_t*>(pieces[at].iov_base) + left;
                pieces[at].iov_len -= left;
                left = 0;
            }
        }
        while (at < pieces.size() && pieces[at].iov_len == 0)
            ++at;
    }
    return true;
}

// Runs `work` on a thread of its own while this thread makes the per-frame
// progress calls, in order, as the work reaches each frame: a progress step
// that repaints the window no longer holds up the frames. Inline on a machine
// of one core or where no thread can be started. Returns the work's code.
int withProgressOnThisThread(const std::function<int(const std::function<void(uint32_t)>&)>& work,
                             const std::function<void(uint32_t)>& progress) {
    if (std::thread::hardware_concurrency() <= 1)
        return work(progress);
    std::mutex lock;
    std::condition_variable changed;
    uint32_t reached = 0; // frames the work has reached
    bool ended = false;
    int code = 0;
    std::exception_ptr thrown;
    std::thread worker;
    try {
        worker = std::thread([&] {
            int c = 0;
            try {
                c = work([&](uint32_t frame) {
                    {
                        std::lock_guard<std::mutex> g(lock);
                        reached = frame + 1;
                    }
                    changed.notify_one();
                });
            } catch (...) {
                thrown = std::current_exception(); // for the calling thread, as if inline
            }
            {
                std::lock_guard<std::mutex> g(lock);
                ended = true;
                code = c;
            }
            changed.notify_one();
        });
    } catch (const std::system_error&) {
        return work(progress);
    }
    // Joined however this thread leaves, a progress step that throws included.
    struct Joined {
        std::thread& t;
        ~Joined() {
            if (t.joinable())
                t.join();
        }
    } joined{worker};
    for (uint32_t shown = 0;;) {
        std::unique_lock<std::mutex> g(lock);
        changed.wait(g, [&] { return reached > shown || ended; });
        const uint32_t upTo = reached;
        const bool end = ended;
        g.unlock();
        for (; shown < upTo; ++shown)
            progress(shown);
        if (end)
            break;
    }
    worker.join();
    if (thrown)
        std::rethrow_exception(thrown);
    return code;
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
    if (!working.commit(ScratchFile::Replace::Transient)) {
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

    // The picture is kept in the screen's pixel size where the pixels only
    // widen (3 bytes to 4), so that a record's rows are the picture's rows;
    // a row's bytes beyond the picture stay zero.
    const int P = (B == 3 && sB == 4) ? 4 : B;
    const size_t stride = std::max(size_t(W) * P, R);
    const size_t cols = size_t(W) / 8 + 1, rows = size_t(H) / 8 + 1;
    const size_t maxPlain = std::max(S * H, 2 * rows * cols + rows * cols * 64 * B) + video::TRAILER_SIZE;
    std::vector<uint8_t> image;
    FrameInflater inflater(maxPlain);
    try {
        zeroFilledOnHugePages(image, stride * H);
        inflater.start();
    } catch (const std::bad_alloc&) {
        return fail(IMPORT_MEMORY, "malloc lpBuffer falied");
    } catch (const std::system_error&) {
        return fail(IMPORT_MEMORY, "malloc lpBuffer falied", "no thread to inflate the frames");
    }

    SDatMainHeader main;
    main.fileSize = 0;
    main.capture = m_r.captureRect;
    errno = 0;
    if (std::fseek(dat, 0, SEEK_SET) != 0)
        return fail(IMPORT_SEEK, "fseek", "cannot seek in " + m_workingScratch + ": " + std::strerror(errno));
    auto mh = main.toBytes();
    if (!writeAll(dat, mh.data(), mh.size()) || std::fflush(dat) != 0)
        return failWrite("file header write failed", m_workingScratch);
    // The records go straight to the descriptor, behind the main header.
    const int fd = fileno(dat);
    m_r.project.m_nextRecordOffset = SDatMainHeader::SIZE;
    m_r.rowBytes = int(R);
    SRect capture = m_r.captureRect;

    std::vector<stdColormapArray> colormaps;
    std::vector<uint8_t> format, lastFormat;
    SRect decodedCapture = capture;
    int decodedRowBytes = m_r.rowBytes;
    std::vector<iovec> pieces;

    auto playback = [&](uint32_t n) {
        return SPlayBackFrameInfo::fromBytes(additional.data() + ADDITIONAL_HEAD +
                                             size_t(n) * SPlayBackFrameInfo::SIZE);
    };
    // Reads frame n's palette and chunk, in order, on the frame thread.
    uint32_t next = 0;
    bool readFailed = false;
    auto readFrame = [&](InflatedFrame& f, uint32_t n) {
        f.reset(n);
        auto failed = [&](const std::string& message, const std::string& what) {
            f.fail(IMPORT_READ, message, what);
            readFailed = true;
        };
        if (m_screen.depth <= 15) {
            if (file.vlmGetFormat(format, n, 0) != 0 || format.size() < 40 + 4 * 256)
                return failed("palette read error", "the palette cannot be read");
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
            f.palette = int32_t(colormaps.size()) - 1;
        }
        if (file.vlmStreamRead(f.chunk, n, vlm::CHUNK_VIDEO) != 0)
            return failed("error reading frames", "the video chunk cannot be read");
    };

    auto frames = [&](const std::function<void(uint32_t)>& reached) -> int {
        for (uint32_t i = 0; i < F; ++i) {
            // The next frames are read and handed to the inflating threads.
            for (; next < F && next < i + FrameInflater::AHEAD && !readFailed; ++next) {
                InflatedFrame& f = inflater.slot(next);
                readFrame(f, next);
                f.whole = playback(next).frameFlags & PBF_KEY;
                inflater.submit(f);
            }
            reached(i);
            InflatedFrame& f = inflater.slot(i);
            if (!inflater.waitFor(f, i))
                return fail(IMPORT_READ, "error reading frames", frameCause(i, "the frame was not read"));
            if (f.code != IMPORT_OK)
                return fail(f.code, f.message, frameCause(i, f.what));

            SPlayBackFrameInfo p = playback(i);
            const uint8_t* plain = f.plain;
            const size_t plainLength = f.plainLength;
            const bool hasImage = plainLength > video::TRAILER_SIZE;
            const bool key = p.frameFlags & PBF_KEY;
            auto failed = [&](const std::string& message, const std::string& what) {
                return fail(IMPORT_READ, message, frameCause(i, what));
            };
            video::Trailer t;
            if (hasImage) {
                t = video::readTrailer(plain + plainLength - video::TRAILER_SIZE);
                std::printf("Block Rect---- %d %d %d %d\n", t.left, t.right, t.top, t.bottom);
                if (t.left != 0 || t.top < 0 || t.right != W - 1 || t.bottom < t.top || t.bottom >= H)
                    return failed("error reading frames: a band lies outside the screen",
                                  "a band lies outside the screen");
                if (key) {
                    if (t.top != 0 || t.bottom != H - 1)
                        return failed("error reading frames: a key frame is not whole",
                                      "a key frame is not whole");
                    decodedCapture = SRect{t.left, t.top, t.right + 1, t.bottom + 1};
                    decodedRowBytes = (t.right + 1 - t.left) * sB;
                }
                video::DecodeResult r;
                if (t.blocks == 0) {
                    r = video::decodeKeyChunk(plain, plainLength, image.data() + size_t(t.top) * stride, W,
                                              t.bottom - t.top + 1, stride, B, P);
                } else {
                    r = video::applyDeltaChunk(plain, plainLength, image.data(), W, H, stride, B,
                                               decodedCapture, 8, P);
                }
                if (r != video::DecodeResult::Ok)
                    return failed("error reading frames: a bad video chunk", "a bad video chunk");
                if (B == 2 && !(p.pixelFlags & 0x01)) {
                    // 5-5-5 pixels widened to 5-6-5 where they lie; the flags say so,
                    // or the next import converts them again.
                    diag::print("in 15 bit\n");
                    const int n = int(std::min<size_t>(size_t(W), R / 2));
                    for (int y = t.top; y <= t.bottom; ++y) {
                        uint8_t* row = image.data() + size_t(y) * stride;
                        for (int x = 0; x < n; ++x)
                            rec::writeLe16(row + 2 * x, widen555(rec::readLe16(row + 2 * x)));
                    }
                    p.pixelFlags |= 0x03;
                }
            }
            capture = decodedCapture;
            m_r.rowBytes = decodedRowBytes;
            const bool blank = p.frameFlags & (PBF_INSERTED | PBF_APPENDED);

            SDatFrameHeader h;
            size_t length = 0;
            if (blank)
                h.keyFlag = 1;
            else if (hasImage) {
                // The band's rows; a key frame's band is the whole picture.
                length = R * size_t(t.bottom - t.top + 1);
                h.keyFlag = key ? 1 : 0;
            }
            if (p.frameFlags & PBF_DELETED)
                ++m_r.project.m_deletedCount;
            h.recordSize = uint32_t(SDatFrameHeader::SIZE + length);
            h.frameNumber = i;
            h.paletteIndex = uint32_t(f.palette);
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

            // The record in one write: its header, then the picture's rows.
            auto hb = h.toBytes();
            pieces.clear();
            pieces.push_back(iovec{hb.data(), hb.size()});
            if (length > 0) {
                uint8_t* first = image.data() + size_t(t.top) * stride;
                if (stride == R)
                    pieces.push_back(iovec{first, length});
                else
                    for (int y = t.top; y <= t.bottom; ++y, first += stride)
                        pieces.push_back(iovec{first, R});
            }
            size_t written = 0;
            errno = 0;
            if (!writeRecord(fd, pieces, written))
                return failWrite(written < hb.size() ? "File header write" : "Frame data write",
                                 m_workingScratch);
            m_r.project.m_nextRecordOffset += h.recordSize;
            m_r.project.m_vEditInfo.push_back(e);

            if (m_screen.depth <= 15)
                p.paletteIndex = int16_t(f.palette);
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
            inflater.written(f);
        }
        return int(IMPORT_OK);
    };
    const int framesCode = withProgressOnThisThread(frames, [this](uint32_t i) { m_services.progress(i); });
    if (framesCode != IMPORT_OK)
        return framesCode;
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
