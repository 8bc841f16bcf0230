#include "store/OutputFileMaker.h"
#include "store/Diagnostics.h"

#include "store/Deflater.h"
#include "store/FrameStore.h"
#include "store/RecordIO.h"
#include "store/RegularFile.h"
#include "store/ScratchFile.h"
#include "store/VideoBlocks.h"
#include "store/VlmFile.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t AUDIO_HEADER_SIZE = 28;
// The smallest frame buffer, so that small chunks share their buffers.
constexpr size_t MIN_BUFFER = 64 * 1024;

struct FileCloser {
    std::FILE* f = nullptr;
    ~FileCloser() {
        if (f)
            std::fclose(f);
    }
};

} // namespace

OutputFileMaker::OutputFileMaker(MakeInput input, MakeServices& services)
    : m_in(std::move(input)), m_services(services) {}

OutputFileMaker::Result OutputFileMaker::fail(Result r, const std::string& message,
                                              const std::string& cause) {
    if (m_error.empty())
        m_error = cause.empty() ? message : cause;
    if (cause.empty() || message.find(cause) != std::string::npos)
        diag::print("%s\n", message.c_str());
    else
        diag::print("%s: %s\n", message.c_str(), cause.c_str());
    return r;
}

std::string OutputFileMaker::workingCause(const std::string& detail) const {
    return "the working frame file " + m_in.workingPath + ": " + detail;
}

bool OutputFileMaker::compress(Deflater& deflater, const std::vector<uint8_t>& plain,
                               std::vector<uint8_t>& out, size_t offset) {
    out.assign(offset + Deflater::bound(plain.size()), 0);
    size_t written = 0;
    if (!deflater.compress(plain.data(), plain.size(), out.data() + offset, out.size() - offset, written)) {
        diag::print("compression failed\n");
        return false;
    }
    out.resize(offset + written);
    return true;
}

std::vector<uint8_t> OutputFileMaker::formatRecord(int depth, int width, int height, int32_t paletteIndex,
                                                   const std::vector<stdColormapArray>& colormaps) {
    const bool indexed = depth <= 15;
    if (indexed && (paletteIndex < 0 || size_t(paletteIndex) >= colormaps.size()))
        return {};
    const uint32_t colours = indexed ? 256 : 0;
    std::vector<uint8_t> out(40 + 4 * colours, 0);
    rec::RecordWriter w(out.data(), out.size());
    w.u32(0, 40);
    w.i32(4, width);
    w.i32(8, height);
    w.u16(12, 1);
    w.u16(14, uint16_t(depth));
    w.u32(16, 0);
    w.u32(20, uint32_t((int64_t(width) * depth) / 8 * height));
    w.u32(32, colours);
    if (depth == 8) {
        const auto& palette = colormaps[size_t(paletteIndex)];
        for (size_t i = 0; i < 256; ++i) {
            w.u8(40 + 4 * i, uint8_t(palette.colors[i].blue));
            w.u8(41 + 4 * i, uint8_t(palette.colors[i].green));
            w.u8(42 + 4 * i, uint8_t(palette.colors[i].red));
        }
    }
    return out;
}

std::vector<uint8_t> OutputFileMaker::additionalData(const std::vector<SPlayBackFrameInfo>& playBack,
                                                     uint32_t frameCount, uint32_t red, uint32_t green,
                                                     uint32_t blue) {
    std::vector<uint8_t> out(60 + SPlayBackFrameInfo::SIZE * (size_t(frameCount) + 1), 0);
    rec::RecordWriter w(out.data(), out.size());
    w.text(0, 10, "SCAP@intX");
    w.u32(12, frameCount - 1);
    w.u32(36, red);
    w.u32(40, green);
    w.u32(44, blue);
    for (size_t i = 0; i < playBack.size() && i < frameCount; ++i)
        playBack[i].writeTo(out.data() + 60 + i * SPlayBackFrameInfo::SIZE);
    return out;
}

uint32_t OutputFileMaker::cursorImageOf(uint32_t frame) const {
    if (frame >= m_in.project->m_vPlayBackFrameInfo.size())
        return 0;
    const auto& p = m_in.project->m_vPlayBackFrameInfo[frame];
    if (p.vType != VALIDATION_MOUSE || (p.mouseMessage != 513 && p.mouseMessage != 516))
        return 0;
    return p.cursorImage;
}

void OutputFileMaker::writeResource(VlmFile& file, uint32_t id, bool data) {
    if (id == 0)
        return;
    VlmResourceRecord record;
    std::vector<uint8_t> bytes;
    if (!m_services.resource(id, record, data ? &bytes : nullptr)) {
        diag::print("resource %u is not in the media library: not written\n", id);
        for (uint32_t m : m_missing)
            if (m == id)
                return;
        m_missing.push_back(id);
        return;
    }
    uint32_t written = 0;
    if (!data) {
        diag::print("\n\t---------RESOURCE EDITOR WRITING TO VLM--------\n\trcnode              = %u"
                    "\n\trResourceName  = %s\n\t-------------------------------------------\n",
                    id, record.fullPath().c_str());
        file.ScapResourceWrite(record.bytes.data(), uint32_t(record.bytes.size()), &written, record);
    } else if (file.ScapResourceDataWrite(bytes.data(), uint32_t(bytes.size()), &written, record) != 0) {
        diag::print("Resource Node Write Error\n");
    }
}

void OutputFileMaker::writeResources(VlmFile& file, uint32_t frame, bool data) {
    if (m_in.project->m_vEditInfo.empty() || m_services.objectCount(frame) == 0)
        return;
    // The cursor image of a frame's recorded press goes with the resources
    // of the frame before it; frame 0's own goes first.
    if (frame == 0)
        writeResource(file, cursorImageOf(0), data);
    if (frame + 1 < m_in.project->m_dwFrameCount)
        writeResource(file, cursorImageOf(frame + 1), data);
    for (uint32_t id : m_services.resourceIds(frame))
        writeResource(file, id, data);
}

bool OutputFileMaker::writeAudio(VlmFile& file, uint32_t frame, std::FILE* sound) {
    const SEditInfo& e = m_in.project->m_vEditInfo[frame];
    uint8_t head[AUDIO_HEADER_SIZE];
    if (std::fseek(sound, e.audioHeaderOffset, SEEK_SET) != 0 ||
        std::fread(head, 1, sizeof head, sound) != sizeof head) {
        diag::print("sound of frame %u cannot be read\n", frame);
        return false;
    }
    uint32_t total = rec::readLe32(head + 4);
    diag::print("\n\t\t<--------AUDIO WRITING--------->\n\t\tframe %u size %u\n", frame, total);
    std::vector<uint8_t> piece, block;
    uint32_t sum = 0;
    while (total > 0) {
        const uint32_t n = std::min(total, AUDIO_PIECE);
        piece.resize(n);
        if (std::fread(piece.data(), 1, n, sound) != n) {
            diag::print("sound of frame %u is cut short\n", frame);
            return false;
        }
        std::vector<uint8_t> coded = m_services.encodeAudio(piece.data(), n);
        block.assign(8 + coded.size(), 0);
        rec::writeLe32(block.data(), n);
        rec::writeLe32(block.data() + 4, uint32_t(coded.size()));
        std::memcpy(block.data() + 8, coded.data(), coded.size());
        uint32_t count = 0;
        if (!file.ScapAudioStreamWrite(block.data(), uint32_t(block.size()), frame, vlm::CHUNK_AUDIO, &count))
            return false;
        sum += count;
        total -= n;
    }
    uint32_t out = 0;
    if (!file.vlmStreamWrite(nullptr, 0, frame, vlm::CHUNK_VIDEO, &out))
        return false;
    file.ScapAudioStreamClose(frame, sum);
    diag::print("\n\t\t<--------End of audio writing-------->\n");
    return true;
}

bool OutputFileMaker::writeObjects(VlmFile& file, Deflater& deflater, uint32_t frame) {
    if (m_services.objectCount(frame) == 0)
        return true;
    std::vector<uint8_t> plain = m_services.objectChunk(frame);
    if (plain.empty())
        return true;
    // The calling thread's stream, not a new one per frame.
    std::vector<uint8_t> chunk;
    if (!compress(deflater, plain, chunk, 16))
        return false;
    rec::writeLe32(chunk.data(), uint32_t(plain.size()));
    rec::writeLe32(chunk.data() + 4, uint32_t(chunk.size() - 16));
    uint32_t out = 0;
    return file.vlmStreamWrite(chunk.data(), uint32_t(chunk.size()), frame, vlm::CHUNK_OBJECT, &out);
}

OutputFileMaker::Result OutputFileMaker::make() {
    m_error.clear();
    m_missing.clear();
    if (!m_in.project || m_in.project->m_vEditInfo.size() < m_in.project->m_dwFrameCount ||
        m_in.project->m_vPlayBackFrameInfo.size() < m_in.project->m_dwFrameCount)
        return fail(MAKE_DAT_UNREADABLE, "make: the frame tables do not match the frame count");

    // The scratch beside the output file, moved over it only when whole.
    ScratchFile scratch(m_in.outputPath);
    VlmFile file;
    std::FILE* stream = scratch.create();
    if (!stream)
        return fail(MAKE_CREATE_FAILED, "make: " + scratch.error(), scratch.error());
    if (file.createToWrite(stream, scratch.path(), m_in.project->m_dwFrameCount) != 0)
        return fail(MAKE_CREATE_FAILED, "make: " + file.lastError(), file.lastError());
    Result r = run(file);
    const bool closed = file.vlmFileClose() == 0;
    if (r == MAKE_OK && !closed)
        r = fail(MAKE_CLOSE_FAILED, "make: the output file could not be completed", file.lastError());
    if (r == MAKE_OK && !scratch.commit())
        r = fail(MAKE_CLOSE_FAILED, "make: " + scratch.error(), scratch.error());
    return r;
}

// Packed picture rows that later frames compare against: a key frame's
// chunk (its rows bottom-up) or a band's rows. Shared by the reference and by
// the frames in flight that compare against them; their buffer goes back to
// the pipeline when the last of them lets go.
struct OutputFileMaker::Rows {
    ByteBuffer bytes;
    size_t size = 0;    // the bytes asked for
    bool ready = false; // read and packed; under the pipeline's lock
};

// One frame on its way from the reading to the file.
struct OutputFileMaker::Job {
    // What the worker makes of the frame's data.
    enum class Kind { Done, Key, Delta, BandKey };
    uint32_t frame = 0;
    // A failure found while reading; reported when the frame's turn to be written comes.
    Result failure = MAKE_OK;
    std::string message, cause;
    bool blank = false;
    int32_t palette = 0;
    ByteBuffer plain, packed;
    size_t plainLength = 0, packedLength = 0;
    // Set by the worker, under the pipeline's lock.
    bool done = false, ok = true;
    bool read = true; // its rows were read

    // The data to read: `rows` rows of `rawRow` bytes from `offset` in the
    // working frame file, packed into `own` at `packedRow` bytes a row.
    Kind kind = Kind::Done;
    int64_t offset = 0;
    size_t rows = 0, rawRow = 0, packedRow = 0;
    std::shared_ptr<Rows> own;
    // The reference rows the band compares against, and what holds them.
    std::vector<const uint8_t*> reference;
    std::vector<std::shared_ptr<Rows>> holders;
    video::BlockGeometry g;
    SRect band{0, 0, 0, 0};

    void reset(uint32_t i) {
        frame = i;
        failure = MAKE_OK;
        message.clear();
        cause.clear();
        blank = false;
        palette = 0;
        plainLength = packedLength = 0;
        done = false;
        ok = true;
        kind = Kind::Done;
        read = true;
        own.reset();
        reference.clear();
        holders.clear();
    }
    void setFailure(Result r, const std::string& m, const std::string& c) {
        failure = r;
        message = m;
        cause = c;
        done = true;
    }
};

// The reference's rows gathered into one picture on a worker, once the rows
// it copies are read; later frames compare against the picture when it is ready.
struct OutputFileMaker::Gather {
    std::shared_ptr<Rows> whole;
    std::vector<const uint8_t*> rows;           // the reference's rows before the gather
    std::vector<std::shared_ptr<Rows>> holders; // what holds them
    size_t rowBytes = 0;

    void copy() {
        uint8_t* to = whole->bytes.data();
        for (size_t y = 0; y < rows.size(); ++y)
            std::memcpy(to + y * rowBytes, rows[y], rowBytes);
    }
};

// The make's state: reading, the buffers and jobs in flight, and the workers.
struct OutputFileMaker::Pipeline {
    OutputFileMaker& maker;
    VlmFile& file;
    int threads;
    size_t budget;
    // Reading.
    FrameStore frames;
    bool packed = false;
    int B = 0;
    size_t R = 0;
    int rawB = 0; // bytes a pixel in the working frame file
    int fd = -1;  // the working frame file, read by the workers
    SRect refRect{0, 0, 0, 0};
    int W = 0, H = 0;
    // The reference picture, row by row where the frames' own rows hold it,
    // and the rows held by each holder; black before the first key frame.
    std::vector<const uint8_t*> refRows;
    std::vector<Rows*> refHolder;
    std::vector<std::pair<std::shared_ptr<Rows>, size_t>> holders;
    size_t heldByReference = 0, refRowBytes = 0;
    // Writing.
    int32_t lastPalette = -1;
    uint32_t background = 0;
    std::FILE* sound = nullptr;
    // Frame buffers not in use, and the bytes of all frame buffers; the
    // workers take theirs too, under poolLock.
    std::mutex poolLock;
    std::vector<ByteBuffer> spare;
    size_t held = 0;
    std::deque<Job*> inFlight;

    std::vector<std::unique_ptr<Job>> jobs, freeJobs;
    // Compression: inline with one thread, else the workers. The calling
    // thread's stream also codes the object chunks.
    Deflater deflater;
    ByteBuffer output;
    std::vector<uint8_t> rawScratch;
    std::vector<uint16_t> blocks;
    std::vector<uint8_t> marked;
    std::mutex lock;
    std::condition_variable work, finished;
    std::deque<Job*> reads, builds, queue; // jobs to read, to lay out, to compress
    std::deque<std::unique_ptr<Gather>> gathers;
    bool stop = false;
    std::vector<std::thread> workers;

    Pipeline(OutputFileMaker& m, VlmFile& f, int t, size_t b) : maker(m), file(f), threads(t), budget(b) {}
    ~Pipeline() {
        {
            std::lock_guard<std::mutex> g(lock);
            stop = true;
        }
        work.notify_all();
        for (auto& t : workers)
            t.join();
        // Rows still held give their buffers back before the pool goes.
        gathers.clear();
        jobs.clear();
        freeJobs.clear();
        holders.clear();
        if (fd >= 0)
            ::close(fd);
    }

    void startWorkers() {
        if (threads <= 1)
            return;
        for (int n = 0; n < threads; ++n)
            workers.emplace_back([this] { workerLoop(); });
    }

    // Work a worker can do now, under the lock: reading first, as it waits
    // for nothing and later frames wait for it; then gathering the
    // reference and finding blocks, once the rows they read are ready;
    // then compression. Work whose rows are not ready yet is left for later.
    enum class Task { None, Read, Gather, Build, Compress };
    Task nextTask(size_t& at) const {
        if (!reads.empty())
            return Task::Read;
        for (at = 0; at < gathers.size(); ++at)
            if (allReady(gathers[at]->holders))
                return Task::Gather;
        for (at = 0; at < builds.size(); ++at)
            if (allReady(builds[at]->holders))
                return Task::Build;
        return queue.empty() ? Task::None : Task::Compress;
    }

    void workerLoop() {
        Deflater own;
        ByteBuffer out;
        std::vector<uint8_t> raw;
        std::vector<uint16_t> list;
        std::vector<uint8_t> marked;
        std::unique_lock<std::mutex> g(lock);
        for (;;) {
            size_t at = 0;
            Task task = Task::None;
            work.wait(g, [&] { return stop || (task = nextTask(at)) != Task::None; });
            if (stop)
                return;
            if (task == Task::Read) {
                Job* job = reads.front();
                reads.pop_front();
                g.unlock();
                read(*job, raw);
                g.lock();
                if (job->own)
                    job->own->ready = true;
                builds.push_back(job);
                work.notify_all();
                continue;
            }
            if (task == Task::Gather) {
                std::unique_ptr<Gather> gather = std::move(gathers[at]);
                gathers.erase(gathers.begin() + long(at));
                g.unlock();
                gather->copy();
                g.lock();
                gather->whole->ready = true;
                work.notify_all();
                g.unlock();
                gather.reset(); // the rows it copied may go back to the pool
                g.lock();
                continue;
            }
            if (task == Task::Build) {
                Job* job = builds[at];
                builds.erase(builds.begin() + long(at));
                g.unlock();
                const bool built = build(*job, list, marked);
                if (!built)
                    job->own.reset();
                g.lock();
                if (built) {
                    queue.push_back(job);
                    continue;
                }
                job->ok = false;
                job->done = true;
                finished.notify_all();
                continue;
            }
            Job* job = queue.front();
            queue.pop_front();
            g.unlock();
            const bool ok = compress(*job, own, out);
            job->own.reset(); // its rows stay while the reference or a later band holds them
            g.lock();
            job->ok = ok;
            job->done = true;
            finished.notify_all();
        }
    }

    // Compresses into the thread's own output room, then keeps only the
    // compressed bytes, in a buffer of their size.
    // No memory for them fails the frame like a failed compression.
    bool compress(Job& job, Deflater& d, ByteBuffer& out) {
        try {
            out.reserve(Deflater::bound(job.plainLength));
            size_t written = 0;
            const uint8_t* plain = job.kind == Job::Kind::Key ? job.own->bytes.data() : job.plain.data();
            if (!maker.compressFrame(job.frame, d, plain, job.plainLength, out.data(), out.capacity(),
                                     written))
                return false;
            {
                // The plain chunk is done with: its room goes to the frames read next.
                std::lock_guard<std::mutex> g(poolLock);
                take(written, job.packed, true);
                giveBack(job.plain);
            }
            std::memcpy(job.packed.data(), out.data(), written);
            job.packedLength = written;
            return true;
        } catch (const std::bad_alloc&) {
            diag::print("no memory to compress frame %u\n", job.frame);
            return false;
        }
    }

    Job* newJob(uint32_t frame) {
        if (freeJobs.empty())
            freeJobs.push_back(std::make_unique<Job>());
        std::unique_ptr<Job> j = std::move(freeJobs.back());
        freeJobs.pop_back();
        j->reset(frame);
        Job* raw = j.get();
        jobs.push_back(std::move(j));
        return raw;
    }
    void recycle(Job* job) {
        job->own.reset();
        job->holders.clear();
        {
            std::lock_guard<std::mutex> g(poolLock);
            giveBack(job->plain);
            giveBack(job->packed);
        }
        for (auto it = jobs.begin(); it != jobs.end(); ++it)
            if (it->get() == job) {
                freeJobs.push_back(std::move(*it));
                jobs.erase(it);
                return;
            }
    }

    // A buffer of at least `need` bytes within the budget; false when the
    // budget is spent by frames in flight. With `always` it is made anyway
    // (a worker's compressed chunk; a chunk larger than the screen's when
    // nothing else is in flight). Under poolLock.
    bool take(size_t need, ByteBuffer& out, bool always = false) {
        need = std::max(need, MIN_BUFFER);
        size_t best = spare.size();
        // A small chunk does not hold on to a large buffer.
        const size_t most = std::max(4 * need, 2 * MIN_BUFFER);
        for (size_t k = 0; k < spare.size(); ++k)
            if (spare[k].capacity() >= need && spare[k].capacity() <= most &&
                (best == spare.size() || spare[k].capacity() < spare[best].capacity()))
                best = k;
        if (best < spare.size()) {
            out = std::move(spare[best]);
            spare.erase(spare.begin() + long(best));
            return true;
        }
        // Smaller spare buffers make room for a larger one.
        dropSpare(need);
        if (held + need > budget && !always)
            return false;
        out = ByteBuffer();
        out.reserve(need);
        held += need;
        return true;
    }
    // Frees spare buffers, the smallest first, until `need` more bytes fit.
    void dropSpare(size_t need) {
        std::sort(spare.begin(), spare.end(),
                  [](const ByteBuffer& a, const ByteBuffer& b) { return a.capacity() > b.capacity(); });
        while (held + need > budget && !spare.empty()) {
            held -= spare.back().capacity();
            spare.pop_back();
        }
    }
    // Whether the buffers held fit the budget once spare ones are freed.
    bool withinBudget() {
        std::lock_guard<std::mutex> g(poolLock);
        dropSpare(0);
        return held <= budget;
    }
    void giveBack(ByteBuffer& b) {
        if (b.capacity() > 0)
            spare.push_back(std::move(b));
        b = ByteBuffer();
    }

    void submit(Job* job) {
        if (threads <= 1) {
            read(*job, rawScratch);
            if (job->own)
                job->own->ready = true;
            job->ok = build(*job, blocks, marked) && compress(*job, deflater, output);
            job->own.reset();
            job->done = true;
            return;
        }
        {
            std::lock_guard<std::mutex> g(lock);
            reads.push_back(job);
        }
        work.notify_one();
    }
    void waitFor(Job* job) {
        std::unique_lock<std::mutex> g(lock);
        finished.wait(g, [job] { return job->done; });
    }

    // Writes the oldest frame in flight and frees its buffers.
    Result writeOldest() {
        Job* job = inFlight.front();
        waitFor(job);
        const Result r = maker.writeFrame(file, *this, *job);
        inFlight.pop_front();
        recycle(job);
        return r;
    }

    // The plain buffer of a job, writing older frames to free room.
    Result buffersFor(Job& job, size_t plainBytes) { return bufferOf(job.plain, plainBytes); }
    Result bufferOf(ByteBuffer& out, size_t bytes) {
        for (;;) {
            {
                std::lock_guard<std::mutex> g(poolLock);
                if (take(bytes, out, inFlight.empty()))
                    return MAKE_OK;
            }
            const Result r = writeOldest();
            if (r != MAKE_OK)
                return r;
        }
    }
    // Rows of `bytes` bytes from the pool, given back when the last holder lets go.
    Result newRows(size_t bytes, std::shared_ptr<Rows>& rows) {
        ByteBuffer b;
        const Result r = bufferOf(b, bytes);
        if (r != MAKE_OK)
            return r;
        Rows* raw = new Rows;
        raw->bytes = std::move(b);
        raw->size = bytes;
        rows = std::shared_ptr<Rows>(raw, [this](Rows* d) {
            {
                std::lock_guard<std::mutex> g(poolLock);
                giveBack(d->bytes);
            }
            delete d;
        });
        return MAKE_OK;
    }

    // Points the reference rows [from, from + n) at `rows`, row y at at(y).
    template <class At> void point(size_t from, size_t n, const std::shared_ptr<Rows>& rows, At at) {
        size_t mine = holders.size();
        for (size_t k = 0; k < holders.size(); ++k)
            if (holders[k].first == rows)
                mine = k;
        if (mine == holders.size()) {
            holders.emplace_back(rows, 0);
            heldByReference += rows->size;
        }
        size_t k = 0;
        for (size_t y = from; y < from + n; ++y) {
            Rows* old = refHolder[y];
            if (old && (k >= holders.size() || holders[k].first.get() != old))
                for (k = 0; holders[k].first.get() != old; ++k) {
                }
            if (old)
                --holders[k].second;
            refHolder[y] = rows.get();
            refRows[y] = at(y - from);
        }
        holders[mine].second += n;
        for (size_t j = holders.size(); j-- > 0;)
            if (holders[j].second == 0) {
                heldByReference -= holders[j].first->size;
                holders.erase(holders.begin() + long(j));
            }
    }

    // A black reference of H rows of Rp bytes, unless it has that shape.
    Result shapeReference(size_t Rp, int h) {
        if (refRows.size() == size_t(h) && refRowBytes == Rp)
            return MAKE_OK;
        std::shared_ptr<Rows> black;
        if (const Result r = newRows(Rp, black); r != MAKE_OK)
            return r;
        std::memset(black->bytes.data(), 0, Rp);
        black->ready = true;
        holders.clear();
        heldByReference = 0;
        refRows.assign(size_t(h), nullptr);
        refHolder.assign(size_t(h), nullptr);
        refRowBytes = Rp;
        const uint8_t* row = black->bytes.data();
        point(0, size_t(h), black, [row](size_t) { return row; });
        return MAKE_OK;
    }

    // When the rows of the reference keep too many frames' rows alive, they
    // are gathered into one picture: the reference points at it at once, and
    // a worker fills it once the rows it copies are read (inline with one thread).
    Result gatherReference() {
        const size_t frameBytes = refRowBytes * refRows.size();
        if (heldByReference <= 3 * frameBytes || holders.size() < 2)
            return MAKE_OK;
        auto gather = std::make_unique<Gather>();
        if (const Result r = newRows(frameBytes, gather->whole); r != MAKE_OK)
            return r;
        gather->rows = refRows;
        gather->rowBytes = refRowBytes;
        for (const auto& h : holders)
            gather->holders.push_back(h.first);
        uint8_t* to = gather->whole->bytes.data();
        const size_t Rp = refRowBytes;
        point(0, refRows.size(), gather->whole, [to, Rp](size_t y) { return to + y * Rp; });
        if (threads <= 1) {
            gather->copy();
            gather->whole->ready = true;
            return MAKE_OK;
        }
        {
            std::lock_guard<std::mutex> g(lock);
            gathers.push_back(std::move(gather));
        }
        work.notify_all();
        return MAKE_OK;
    }
    template <class List> static bool allReady(const List& list) {
        for (const auto& h : list)
            if (!holderOf(h)->ready)
                return false;
        return true;
    }
    static Rows* holderOf(const std::pair<std::shared_ptr<Rows>, size_t>& h) { return h.first.get(); }
    static Rows* holderOf(const std::shared_ptr<Rows>& h) { return h.get(); }

    // The reference rows of a band and what holds them, for its job.
    void snapshot(Job& job, size_t from, size_t n) {
        job.reference.assign(refRows.begin() + long(from), refRows.begin() + long(from + n));
        job.holders.clear();
        for (const auto& h : holders)
            for (size_t y = from; y < from + n; ++y)
                if (refHolder[y] == h.first.get()) {
                    job.holders.push_back(h.first);
                    break;
                }
    }

    // Reads the job's rows from the working frame file and packs them into
    // its own rows (a key frame's bottom-up). Runs on a worker.
    bool readRows(Job& job, std::vector<uint8_t>& raw) {
        constexpr size_t PIECE = 256 * 1024;
        const size_t perPiece = std::max<size_t>(1, PIECE / std::max<size_t>(job.rawRow, 1));
        raw.resize(perPiece * job.rawRow);
        const bool bottomUp = job.kind == Job::Kind::Key;
        uint8_t* own = job.own->bytes.data();
        for (size_t r = 0; r < job.rows; r += perPiece) {
            const size_t n = std::min(perPiece, job.rows - r);
            const size_t bytes = n * job.rawRow;
            size_t got = 0;
            while (got < bytes) {
                const ssize_t k = ::pread(fd, raw.data() + got, bytes - got,
                                          off_t(job.offset + int64_t(r * job.rawRow + got)));
                if (k < 0 && errno == EINTR)
                    continue;
                if (k <= 0) {
                    const std::string why = k < 0 ? std::strerror(errno) : "the record is cut short";
                    job.failure = MAKE_FRAME_UNREADABLE;
                    job.message = "getFrame () failed: getFrame fread data: " + why;
                    job.cause = maker.workingCause("getFrame fread data: " + why);
                    return false;
                }
                got += size_t(k);
            }
            for (size_t j = 0; j < n; ++j) {
                const size_t row = r + j;
                uint8_t* to = own + (bottomUp ? job.rows - 1 - row : row) * job.packedRow;
                video::copyPixels(to, raw.data() + j * job.rawRow, job.rawRow / size_t(rawB), rawB, B);
            }
        }
        return true;
    }

    // The worker's first part: the job's rows read and packed, ready for
    // the later bands that compare against them.
    void read(Job& job, std::vector<uint8_t>& raw) {
        if (job.kind == Job::Kind::Done)
            return;
        job.read = readRows(job, raw);
    }

    // Its second part, before compression: the plain chunk. A key frame's is
    // its own rows with the trailer, a band's its changed blocks against the
    // reference rows it was given.
    bool build(Job& job, std::vector<uint16_t>& list, std::vector<uint8_t>& marked) {
        if (job.kind == Job::Kind::Done)
            return true;
        if (!job.read)
            return false;
        const uint8_t* rows = job.own->bytes.data();
        const video::BlockGeometry& g = job.g;
        if (job.kind == Job::Kind::Key) {
            video::writeTrailer(job.own->bytes.data() + job.rows * job.packedRow,
                                video::Trailer{int16_t(job.band.left), int16_t(job.band.right),
                                               int16_t(job.band.top), int16_t(job.band.bottom), 0});
            job.plainLength = job.rows * job.packedRow + video::TRAILER_SIZE;
            return true;
        }
        if (job.kind == Job::Kind::BandKey) {
            job.plainLength = video::keyChunkInto(job.plain.data(), rows, g.width(), g.height(), g.rowBytes,
                                                  g.bytesPerPixel, job.band);
            return true;
        }
        // The rows it compares against are ready: the workers take a band
        // only then, and with one thread they were read before.
        video::changedBlocks(job.reference.data(), rows, g, list, marked);
        try {
            std::lock_guard<std::mutex> l(poolLock);
            take(video::deltaChunkSize(list.size(), g), job.plain, true);
        } catch (const std::bad_alloc&) {
            diag::print("no memory for the blocks of frame %u\n", job.frame);
            return false;
        }
        job.plainLength = video::deltaChunkInto(job.plain.data(), list, rows, g);
        job.holders.clear();
        job.reference.clear();
        job.own.reset(); // its rows stay while the reference or a later band holds them
        return true;
    }

    // Writes older frames until the buffers held fit the budget again.
    Result keepWithinBudget() {
        while (!inFlight.empty() && !withinBudget()) {
            const Result r = writeOldest();
            if (r != MAKE_OK)
                return r;
        }
        return MAKE_OK;
    }
};

size_t OutputFileMaker::bytesInFlight(int threads, size_t screenChunk) {
    const size_t pair =
        std::max(screenChunk, MIN_BUFFER) + std::max(Deflater::bound(screenChunk), MIN_BUFFER);
    return size_t(std::max(threads, 1) + 2) * pair / 2;
}

bool OutputFileMaker::compressFrame(uint32_t, Deflater& deflater, const uint8_t* plain, size_t length,
                                    uint8_t* out, size_t room, size_t& written) {
    if (deflater.compress(plain, length, out, room, written))
        return true;
    diag::print("compression failed\n");
    return false;
}

OutputFileMaker::Result OutputFileMaker::prepareFrame(Pipeline& pp, Job& job) {
    const uint32_t i = job.frame;
    SDatFrameHeader header;
    int64_t offset = 0;
    if (pp.frames.getFrameHeader(m_in.project->m_vEditInfo, i, header, pp.packed, offset) !=
        FrameStore::GETFRAME_OK) {
        job.setFailure(MAKE_FRAME_UNREADABLE, "getFrame () failed: " + pp.frames.lastError(),
                       workingCause(pp.frames.lastError()));
        return MAKE_OK;
    }
    const size_t length = header.dataLength(); // packed to 3 bytes a pixel where asked
    const SPlayBackFrameInfo& pb = m_in.project->m_vPlayBackFrameInfo[i];
    const bool keyFrame = pb.frameFlags & PBF_KEY;
    job.palette = int32_t(header.paletteIndex);
    const int B = pp.B;
    const size_t R = pp.R;

    if (keyFrame && length > 0) {
        pp.refRect = SRect{header.data.left, header.data.top, header.data.right + 1, header.data.bottom + 1};
        pp.W = pp.refRect.right - pp.refRect.left;
        pp.H = pp.refRect.bottom - pp.refRect.top;
    }
    const int W = pp.W, H = pp.H;
    const size_t Rp = size_t(W) * B;
    if (length == 0 && (pb.frameFlags & (PBF_INSERTED | PBF_APPENDED))) {
        job.blank = true;
        job.done = true;
        return MAKE_OK;
    }
    if (W <= 0 || H <= 0) {
        job.setFailure(MAKE_FRAME_UNREADABLE, "make: no picture area", workingCause("no picture area"));
        return MAKE_OK;
    }
    // A first picture that is not a key frame is laid over black.
    if (const Result r = pp.shapeReference(Rp, H); r != MAKE_OK)
        return r;

    if (keyFrame && length > 0) {
        if (length < Rp * size_t(H)) {
            job.setFailure(MAKE_FRAME_UNREADABLE, "make: a key frame is cut short",
                           workingCause("a key frame is cut short"));
            return MAKE_OK;
        }
        // Packed once, straight into the chunk, which is the reference too.
        job.kind = Job::Kind::Key;
        job.offset = offset;
        job.rows = size_t(H);
        job.packedRow = Rp;
        job.rawRow = Rp / size_t(B) * size_t(pp.rawB);
        job.band = header.data;
        if (const Result r = pp.newRows(video::keyChunkSize(W, H, B), job.own); r != MAKE_OK)
            return r;
        uint8_t* rows = job.own->bytes.data();
        pp.point(0, size_t(H), job.own, [rows, H, Rp](size_t y) { return rows + (size_t(H) - 1 - y) * Rp; });
    } else if (length == 0) {
        // An unchanged frame: no blocks, but it keeps its place and its sound.
        const Result r = pp.buffersFor(job, video::TRAILER_SIZE);
        if (r != MAKE_OK)
            return r;
        video::writeTrailer(job.plain.data(),
                            video::Trailer{int16_t(header.data.left), int16_t(header.data.right),
                                           int16_t(header.data.top), int16_t(header.data.bottom), 0});
        job.plainLength = video::TRAILER_SIZE;
    } else {
        const SRect band = header.data;
        const int bandRows = band.bottom - band.top + 1;
        if (band.top < pp.refRect.top || band.bottom >= pp.refRect.bottom || bandRows <= 0 ||
            band.right - band.left + 1 > W) {
            job.setFailure(MAKE_FRAME_UNREADABLE, "make: a band lies outside the picture",
                           workingCause("a band lies outside the picture"));
            return MAKE_OK;
        }
        const size_t first = header.keyFlag ? size_t(band.top - pp.refRect.top) * Rp : 0;
        if (first + size_t(bandRows) * R > length) {
            job.setFailure(MAKE_FRAME_UNREADABLE, "make: a band is cut short",
                           workingCause("a band is cut short"));
            return MAKE_OK;
        }
        job.offset = offset + int64_t(first / size_t(B) * size_t(pp.rawB));
        job.rows = size_t(bandRows);
        job.packedRow = R;
        job.rawRow = R / size_t(B) * size_t(pp.rawB);
        job.band = band;
        video::BlockGeometry& g = job.g;
        g.band = band;
        g.rowBytes = R;
        g.bytesPerPixel = B;
        g.trim = video::blockTrim(pp.refRect, 8, B);
        if (const Result r = pp.newRows(size_t(bandRows) * R, job.own); r != MAKE_OK)
            return r;
        const size_t from = size_t(band.top - pp.refRect.top);
        if (video::blocksFitIndices(g)) {
            job.kind = Job::Kind::Delta;
            pp.snapshot(job, from, size_t(bandRows));
        } else {
            // Too many blocks for 16-bit indices: the band's rows, as a key chunk of the band.
            job.kind = Job::Kind::BandKey;
            const Result r = pp.buffersFor(job, video::keyChunkSize(g.width(), bandRows, B));
            if (r != MAKE_OK)
                return r;
        }
        uint8_t* rows = job.own->bytes.data();
        pp.point(from, size_t(bandRows), job.own, [rows, R](size_t y) { return rows + y * R; });
    }
    pp.submit(&job);
    return pp.gatherReference();
}

OutputFileMaker::Result OutputFileMaker::writeFrame(VlmFile& file, Pipeline& pp, Job& job) {
    const uint32_t i = job.frame;
    m_services.progress(i);
    if (i == 0 && pp.background != 0 && !m_in.project->m_vEditInfo.empty())
        writeResource(file, pp.background, true);
    writeResources(file, i, true);
    if (job.failure != MAKE_OK)
        return fail(job.failure, job.message, job.cause);

    SPlayBackFrameInfo& pb = m_in.project->m_vPlayBackFrameInfo[i];
    const int32_t palette = job.palette;
    if (job.blank) {
        if (!writeObjects(file, pp.deflater, i))
            return fail(MAKE_OBJECT_WRITE, "make: an object chunk cannot be written", file.lastError());
        if (i == 0 && palette != pp.lastPalette) {
            auto fmt = formatRecord(m_in.depth, m_in.screenWidth, m_in.screenHeight, palette,
                                    m_in.project->m_vColormaps);
            if (!fmt.empty() && file.vlmSetFormat(fmt.data(), uint32_t(fmt.size()), 0) == 0)
                pp.lastPalette = palette;
            pb.paletteIndex = int16_t(pp.lastPalette);
        }
        uint32_t out = 0;
        if (!file.vlmStreamWrite(nullptr, 0, i, vlm::CHUNK_VIDEO, &out))
            return fail(MAKE_WRITE_FAILED, "vlmStreamWrite falied before audio", file.lastError());
        return MAKE_OK;
    }

    if (pp.sound && pb.audioSize != 0 && (pb.frameFlags & PBF_AUDIO_RECORDED) &&
        m_in.project->m_vEditInfo[i].audioFlag == 1)
        if (!writeAudio(file, i, pp.sound))
            return fail(MAKE_WRITE_FAILED, "make: the sound cannot be written",
                        file.lastError().empty()
                            ? "the sound working file " + m_in.soundPath + " cannot be read"
                            : file.lastError());
    if (palette != pp.lastPalette) {
        auto fmt = formatRecord(m_in.depth, m_in.screenWidth, m_in.screenHeight, palette,
                                m_in.project->m_vColormaps);
        if (fmt.empty()) {
            diag::print("SetBitmapInfo  SetFormat Failed ...\n");
        } else if (file.vlmSetFormat(fmt.data(), uint32_t(fmt.size()), 0) != 0) {
            return fail(MAKE_WRITE_FAILED, "make: a format record cannot be written", file.lastError());
        } else {
            pp.lastPalette = palette;
        }
    }
    if (!job.ok)
        return fail(MAKE_WRITE_FAILED, "make: a frame cannot be compressed");
    uint32_t out = 0;
    if (!file.vlmStreamWrite(job.packed.data(), uint32_t(job.packedLength), i, vlm::CHUNK_VIDEO, &out))
        return fail(MAKE_WRITE_FAILED, "vlmStreamWrite failed before objects", file.lastError());
    if (!writeObjects(file, pp.deflater, i))
        return fail(MAKE_OBJECT_WRITE, "make: an object chunk cannot be written", file.lastError());
    return MAKE_OK;
}

OutputFileMaker::Result OutputFileMaker::run(VlmFile& file) {
    const bool packed = m_in.depth == 24 && m_in.bytesPerPixel == 4;
    const int B = packed ? 3 : m_in.bytesPerPixel;

    // The working frame file's main header gives the capture rectangle.
    SDatMainHeader main;
    {
        errno = 0;
        const int fd = regularfile::open(m_in.workingPath, O_RDONLY);
        FileCloser dat{fd >= 0 ? fdopen(fd, "rb") : nullptr};
        if (!dat.f && fd >= 0)
            ::close(fd);
        uint8_t raw[SDatMainHeader::SIZE];
        if (!dat.f)
            return fail(MAKE_DAT_UNREADABLE, "***error reading dat file ***",
                        "cannot open the working frame file " + m_in.workingPath + ": " +
                            (errno == EINVAL ? "not a regular file" : std::strerror(errno)));
        if (std::fread(raw, 1, sizeof raw, dat.f) != sizeof raw)
            return fail(
                MAKE_DAT_UNREADABLE, "***error reading dat file ***",
                workingCause(std::ferror(dat.f) ? std::strerror(errno) : "the main header is cut short"));
        main = SDatMainHeader::fromBytes(raw);
    }
    int threads = m_in.threads > 0 ? m_in.threads : int(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    // The largest plain chunk: the screen as a key chunk, or a band's blocks.
    const size_t screenRow = size_t(std::max(m_in.screenWidth, 0)) * B;
    const size_t screenRows = size_t(std::max(m_in.screenHeight, 0));
    const size_t cells =
        std::min<size_t>((screenRows / 8 + 1) * (size_t(std::max(m_in.screenWidth, 0)) / 8 + 1), 32768);
    const size_t largestChunk =
        std::max(screenRow * screenRows, cells * (2 + 64 * size_t(B))) + video::TRAILER_SIZE;
    Pipeline pp(*this, file, threads, bytesInFlight(threads, largestChunk) + 2 * largestChunk);

    pp.packed = packed;
    pp.B = B;
    pp.rawB = packed ? 4 : B;
    pp.R = size_t(m_in.screenWidth) * B;
    FrameGeometry geometry{uint32_t(m_in.screenWidth), uint32_t(m_in.screenHeight),
                           uint32_t(m_in.bytesPerPixel), 0};
    if (!pp.frames.open(m_in.workingPath, geometry))
        return fail(MAKE_DAT_UNREADABLE, "***error reading dat file ***", pp.frames.lastError());
    errno = 0;
    pp.fd = regularfile::open(m_in.workingPath, O_RDONLY);
    if (pp.fd < 0)
        return fail(MAKE_DAT_UNREADABLE, "***error reading dat file ***",
                    "cannot open the working frame file " + m_in.workingPath + ": " + std::strerror(errno));

    VLMVideoHeader& vh = file.videoHeader();
    vh.headerWord = 10;
    vh.largestChunk = VLMVideoHeader::FIRST_LARGEST_CHUNK;
    vh.capture = main.capture;
    vh.frameCount = m_in.project->m_dwFrameCount;
    vh.bitsPerPixel = uint8_t(m_in.depth);

    FileCloser sound;
    if (!m_in.soundPath.empty()) {
        const int fd = regularfile::open(m_in.soundPath, O_RDONLY);
        sound.f = fd >= 0 ? fdopen(fd, "rb") : nullptr;
        if (!sound.f && fd >= 0)
            ::close(fd);
    }
    pp.sound = sound.f;
    file.audioHeader().backgroundSound = m_in.backgroundSound;

    // Resource records first: the close rewrites them as one table.
    pp.background = rec::readLe32(m_in.backgroundSound.data());
    if (!m_in.project->m_vEditInfo.empty()) {
        writeResource(file, pp.background, false);
        for (uint32_t f = 0; f < m_in.project->m_dwFrameCount; ++f)
            writeResources(file, f, false);
    }
    {
        auto block = additionalData(m_in.project->m_vPlayBackFrameInfo, m_in.project->m_dwFrameCount,
                                    m_in.redMask, m_in.greenMask, m_in.blueMask);
        uint32_t out = 0;
        if (!file.vlmStreamWrite(block.data(), uint32_t(block.size()), 0, vlm::CHUNK_ADDITIONAL_DATA, &out))
            return fail(MAKE_WRITE_FAILED, "make: the additional data cannot be written", file.lastError());
    }

    // The reference: the area of the last key frame and the picture the player shows.
    pp.refRect = SRect{0, 0, m_in.screenWidth, m_in.screenHeight};
    pp.W = main.capture.right - main.capture.left;
    pp.H = main.capture.bottom - main.capture.top;

    // Frames are read in order and written in order; their compression runs
    // in between on the workers, a bounded number of frames and bytes ahead.
    pp.startWorkers();
    const size_t ahead = size_t(framesInFlight(threads));
    for (uint32_t i = 0; i < m_in.project->m_dwFrameCount; ++i) {
        while (pp.inFlight.size() >= ahead) {
            const Result r = pp.writeOldest();
            if (r != MAKE_OK)
                return r;
        }
        if (const Result r = pp.keepWithinBudget(); r != MAKE_OK)
            return r;
        Job* job = pp.newJob(i);
        const Result r = prepareFrame(pp, *job);
        if (r != MAKE_OK)
            return r;
        pp.inFlight.push_back(job);
        if (job->failure != MAKE_OK)
            break;
    }
    while (!pp.inFlight.empty()) {
        const Result r = pp.writeOldest();
        if (r != MAKE_OK)
            return r;
    }
    return MAKE_OK;
}
