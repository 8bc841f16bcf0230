// The make with worker threads writes the same file as with one thread, and a
// failure on a worker leaves the earlier output file alone; the import, which
// decodes ahead of its writing, writes the working frame file it always did.
#include "store/DatRecords.h"
#include "store/OutputFileImporter.h"
#include "store/OutputFileMaker.h"
#include "store/RecordIO.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <numeric>
#include <random>
#include <stdexcept>
#include <thread>

using namespace testsupport;

namespace {

struct Screen {
    int width, height, depth, bpp;
    size_t row() const { return size_t(width) * bpp; }
};

// A project of many frames: key frames every seventh, bands of every height,
// unchanged frames, blank frames, objects, resources and sound on several.
struct Project {
    Screen screen;
    std::string datPath, soundPath;
    ProjectTables tables;
};

void put(std::FILE* f, const void* p, size_t n) {
    ASSERT_EQ(std::fwrite(p, 1, n, f), n);
}

Project makeProject(const TempDir& dir, Screen s, uint32_t frames) {
    Project p;
    p.screen = s;
    p.datPath = dir.file("Untitled.dat");
    p.soundPath = dir.file("Sound.dat");
    std::mt19937 gen(11);
    std::vector<uint8_t> picture(s.row() * s.height);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = uint8_t((i / s.row()) * 3 + (gen() % 4 == 0 ? gen() : 0));
    if (s.bpp == 4)
        for (size_t i = 3; i < picture.size(); i += 4)
            picture[i] = 0;
    if (s.depth <= 15) {
        stdColormapArray pal;
        for (uint32_t i = 0; i < 256; ++i)
            pal.colors[i] = {i, uint16_t(i * 257), uint16_t((255 - i) * 257), uint16_t(i * 3 * 257 & 0xFFFF),
                             7};
        p.tables.m_vColormaps.push_back(pal);
    }

    std::FILE* f = std::fopen(p.datPath.c_str(), "wb");
    std::FILE* snd = std::fopen(p.soundPath.c_str(), "wb");
    SDatMainHeader mh;
    mh.capture = SRect{0, 0, s.width, s.height};
    mh.frameCount = frames;
    auto mb = mh.toBytes();
    put(f, mb.data(), mb.size());
    uint8_t head[48] = {};
    rec::writeLe32(head, 48);
    put(snd, head, sizeof head);
    uint32_t offset = 48, soundOffset = 48;
    for (uint32_t n = 0; n < frames; ++n) {
        const bool key = n % 7 == 0;
        const bool blank = n % 11 == 5;
        const bool unchanged = n % 13 == 9;
        int top = 0, bottom = s.height - 1;
        if (!key && !blank) {
            top = int(gen() % uint32_t(s.height));
            bottom = unchanged ? top : top + int(gen() % uint32_t(s.height - top));
            if (!unchanged)
                for (int y = top; y <= bottom; ++y)
                    for (int x = int(gen() % 9); x < s.width; x += 1 + int(gen() % 40))
                        picture[size_t(y) * s.row() + size_t(x) * s.bpp] ^= uint8_t(gen() | 1);
        }
        SDatFrameHeader h;
        h.frameNumber = n;
        h.keyFlag = key || blank;
        const size_t length = blank ? 0 : s.row() * size_t(bottom - top + 1);
        h.recordSize = uint32_t(60 + length);
        h.data = blank ? SRect{0, 0, 0, 0} : SRect{0, top, s.width - 1, bottom};
        auto hb = h.toBytes();
        put(f, hb.data(), hb.size());
        put(f, picture.data() + size_t(top) * s.row(), length);
        SEditInfo e;
        e.keyFlag = int32_t(h.keyFlag);
        e.recordOffset = int32_t(offset);
        offset += h.recordSize;
        SPlayBackFrameInfo pb;
        pb.frameFlags = (key || blank ? PBF_KEY : 0) | (blank ? (n % 2 ? PBF_INSERTED : PBF_APPENDED) : 0);
        // Some 16-bit frames in 5-5-5, which the import widens.
        pb.pixelFlags = s.depth == 16 && n % 4 == 1 ? 0x02 : 0x03;
        pb.frameNumber = n + 1;
        if (n % 6 == 2 && !blank) {
            // Sound, longer than one piece on some frames.
            std::vector<uint8_t> pcm(n % 12 == 2 ? 100000 : 3000);
            for (size_t i = 0; i < pcm.size(); ++i)
                pcm[i] = uint8_t(i * n);
            uint8_t fh[28] = {};
            rec::writeLe32(fh, 28);
            rec::writeLe32(fh + 4, uint32_t(pcm.size()));
            rec::writeLe32(fh + 20, 1);
            put(snd, fh, sizeof fh);
            put(snd, pcm.data(), pcm.size());
            e.audioFlag = 1;
            e.audioHeaderOffset = e.audioHeaderOffsetCopy = int32_t(soundOffset);
            soundOffset += uint32_t(28 + pcm.size());
            pb.audioSize = uint32_t(pcm.size());
            pb.frameFlags |= PBF_AUDIO | PBF_AUDIO_RECORDED;
            pb.hasSound = 1;
        }
        p.tables.m_vEditInfo.push_back(e);
        p.tables.m_vPlayBackFrameInfo.push_back(pb);
    }
    std::fclose(f);
    std::fclose(snd);
    p.tables.m_dwFrameCount = frames;
    return p;
}

// Objects on every third frame, a resource on every fifth.
struct Services : MakeServices {
    std::vector<uint32_t> written;
    size_t objectCount(uint32_t f) override { return f % 3 == 0 ? 1 : 0; }
    std::vector<uint8_t> objectChunk(uint32_t f) override {
        std::vector<uint8_t> v(24 + 1024 + f, uint8_t(f));
        rec::writeLe32(v.data(), 24);
        rec::writeLe32(v.data() + 4, 1);
        return v;
    }
    std::vector<uint32_t> resourceIds(uint32_t f) override {
        return f % 5 == 0 ? std::vector<uint32_t>{0x01010000u + f / 5} : std::vector<uint32_t>{};
    }
    bool resource(uint32_t id, VlmResourceRecord& r, std::vector<uint8_t>* data) override {
        r.setResourceId(id);
        if (data)
            data->assign(100 + id % 50, uint8_t(id));
        return true;
    }
    std::vector<uint8_t> encodeAudio(const uint8_t* pcm, size_t n) override { return {pcm, pcm + n / 2}; }
    void progress(uint32_t frame) override { written.push_back(frame); }
};

MakeInput inputFor(Project& p, const std::string& out, int threads) {
    MakeInput in;
    in.workingPath = p.datPath;
    in.outputPath = out;
    in.soundPath = p.soundPath;
    in.project = &p.tables;
    in.depth = p.screen.depth;
    in.screenWidth = p.screen.width;
    in.screenHeight = p.screen.height;
    in.bytesPerPixel = p.screen.bpp;
    in.threads = threads;
    return in;
}

struct MakeCase {
    Screen screen;
    uint32_t crc; // of the output file the one-thread make has always written
};

uint32_t crcOf(const std::string& bytes) {
    return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

class ParallelMake : public ::testing::TestWithParam<MakeCase> {};

TEST_P(ParallelMake, WritesTheSameFileAsOneThread) {
    const Screen s = GetParam().screen;
    TempDir dir;
    Project p = makeProject(dir, s, 90);
    std::string one;
    std::vector<uint32_t> oneProgress;
    for (int threads : {1, 2, 4, 7}) {
        Services svc;
        const std::string vlm = dir.file("show" + std::to_string(threads) + ".vlm");
        OutputFileMaker maker(inputFor(p, vlm, threads), svc);
        ASSERT_EQ(maker.make(), OutputFileMaker::MAKE_OK) << maker.error();
        const std::string bytes = readFile(vlm);
        if (threads == 1) {
            one = bytes;
            EXPECT_EQ(crcOf(bytes), GetParam().crc) << std::hex << crcOf(bytes);
            oneProgress = svc.written;
            ASSERT_EQ(oneProgress.size(), 90u);
            continue;
        }
        EXPECT_EQ(bytes.size(), one.size()) << threads << " threads";
        EXPECT_TRUE(bytes == one) << threads << " threads";
        EXPECT_EQ(svc.written, oneProgress) << "every frame in order";
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ParallelMake,
                         ::testing::Values(MakeCase{{64, 40, 24, 4}, 0xb13f7380},
                                           MakeCase{{61, 37, 16, 2}, 0xb36b07c4},
                                           MakeCase{{35, 24, 8, 1}, 0x522249ac},
                                           // more key frames than the bytes in flight hold
                                           MakeCase{{320, 200, 24, 4}, 0xaaa3ce74}),
                         [](const ::testing::TestParamInfo<MakeCase>& i) {
                             const Screen& s = i.param.screen;
                             return std::to_string(s.width) + "x" + std::to_string(s.height) + "x" +
                                    std::to_string(s.depth);
                         });

// One key frame, then bands that slide down a row a frame: each band's rows
// stay in the picture but for its top row, so the rows of many bands make up
// the picture the next band is compared with, until they are gathered into one.
Project slidingBands(const TempDir& dir, Screen s, uint32_t frames) {
    Project p = makeProject(dir, s, 1);
    std::mt19937 gen(5);
    std::vector<uint8_t> picture(s.row() * s.height);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = s.bpp == 4 && i % 4 == 3 ? 0 : uint8_t(gen() % 3);
    std::FILE* f = std::fopen(p.datPath.c_str(), "wb");
    SDatMainHeader mh;
    mh.capture = SRect{0, 0, s.width, s.height};
    mh.frameCount = frames;
    auto mb = mh.toBytes();
    put(f, mb.data(), mb.size());
    p.tables = ProjectTables();
    uint32_t offset = 48;
    constexpr int BAND = 9;
    for (uint32_t n = 0; n < frames; ++n) {
        int top = 0, bottom = s.height - 1;
        if (n > 0) {
            top = int(n % uint32_t(s.height - BAND));
            bottom = top + BAND - 1;
            for (int y = top; y <= bottom; ++y)
                for (int x = int(gen() % 16); x < s.width; x += 8 + int(gen() % 24))
                    picture[size_t(y) * s.row() + size_t(x) * s.bpp] ^= uint8_t(gen() | 1);
        }
        SDatFrameHeader h;
        h.frameNumber = n;
        h.keyFlag = n == 0;
        const size_t length = s.row() * size_t(bottom - top + 1);
        h.recordSize = uint32_t(60 + length);
        h.data = SRect{0, top, s.width - 1, bottom};
        auto hb = h.toBytes();
        put(f, hb.data(), hb.size());
        put(f, picture.data() + size_t(top) * s.row(), length);
        SEditInfo e;
        e.keyFlag = int32_t(h.keyFlag);
        e.recordOffset = int32_t(offset);
        offset += h.recordSize;
        SPlayBackFrameInfo pb;
        pb.frameFlags = n == 0 ? PBF_KEY : 0;
        pb.pixelFlags = 0x03;
        pb.frameNumber = n + 1;
        p.tables.m_vEditInfo.push_back(e);
        p.tables.m_vPlayBackFrameInfo.push_back(pb);
    }
    std::fclose(f);
    p.soundPath.clear();
    p.tables.m_dwFrameCount = frames;
    return p;
}

TEST(ParallelMakeSlidingBands, WritesTheSameFileAsOneThread) {
    TempDir dir;
    Project p = slidingBands(dir, Screen{64, 40, 24, 4}, 150);
    std::string one;
    for (int threads : {1, 2, 4, 7}) {
        Services svc;
        const std::string vlm = dir.file("show" + std::to_string(threads) + ".vlm");
        OutputFileMaker maker(inputFor(p, vlm, threads), svc);
        ASSERT_EQ(maker.make(), OutputFileMaker::MAKE_OK) << maker.error();
        const std::string bytes = readFile(vlm);
        if (threads == 1) {
            one = bytes;
            EXPECT_EQ(crcOf(bytes), 0x777d860fu) << std::hex << crcOf(bytes);
            continue;
        }
        EXPECT_TRUE(bytes == one) << threads << " threads";
    }
}

// Fails the compression of one frame.
class FailingMaker : public OutputFileMaker {
  public:
    FailingMaker(MakeInput in, MakeServices& s, uint32_t failAt) : OutputFileMaker(in, s), m_failAt(failAt) {}
    std::atomic<int> calls{0};

  protected:
    bool compressFrame(uint32_t frame, Deflater& d, const uint8_t* plain, size_t length, uint8_t* out,
                       size_t room, size_t& written) override {
        ++calls;
        if (frame == m_failAt)
            return false;
        return OutputFileMaker::compressFrame(frame, d, plain, length, out, room, written);
    }

  private:
    uint32_t m_failAt;
};

TEST(ParallelMakeFailures, AWorkerFailureLeavesTheEarlierFileAlone) {
    TempDir dir;
    Project p = makeProject(dir, Screen{320, 200, 24, 4}, 90);
    const std::string vlm = dir.file("show.vlm");
    struct Case {
        int threads;
        uint32_t failAt;
    };
    for (const Case c : {Case{1, 40}, Case{4, 40}, Case{4, 0}, Case{8, 89}}) {
        writeFile(vlm, "an earlier output file");
        Services svc;
        FailingMaker maker(inputFor(p, vlm, c.threads), svc, c.failAt);
        EXPECT_EQ(maker.make(), OutputFileMaker::MAKE_WRITE_FAILED) << c.threads << " threads";
        EXPECT_EQ(maker.error(), "make: a frame cannot be compressed");
        EXPECT_EQ(readFile(vlm), "an earlier output file");
        EXPECT_FALSE(fileExists(vlm + ".part"));
        ASSERT_FALSE(svc.written.empty());
        EXPECT_EQ(svc.written.back(), c.failAt) << "no frame after the failed one is written";
    }
}

struct ImportServicesStub : ImportServices {
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<uint32_t> progressed;
    bool progressOffTheCaller = false;
    void progress(uint32_t frame) override {
        progressOffTheCaller = progressOffTheCaller || std::this_thread::get_id() != caller;
        progressed.push_back(frame);
    }
    void addResource(const VlmResourceRecord&, const std::vector<uint8_t>&) override {}
    std::vector<uint8_t> decodeAudio(const uint8_t* c, size_t n, size_t) override { return {c, c + n}; }
    bool frameObjects(uint32_t, const uint8_t*, size_t, const vlm::FileVersion&) override { return true; }
};

struct ImportCase {
    Screen screen;
    uint32_t crc; // of the working frame file with its time stamps cleared
};

// The output file of a project of `frames` frames, made by one thread; empty
// when the make fails.
std::string madeShow(const TempDir& dir, Screen s, uint32_t frames) {
    Project p = makeProject(dir, s, frames);
    Services svc;
    const std::string vlm = dir.file("show.vlm");
    OutputFileMaker maker(inputFor(p, vlm, 1), svc);
    return maker.make() == OutputFileMaker::MAKE_OK ? vlm : std::string();
}

class ImportedWorkingFile : public ::testing::TestWithParam<ImportCase> {};

TEST_P(ImportedWorkingFile, IsTheSameByteForByte) {
    const Screen s = GetParam().screen;
    TempDir dir;
    const std::string vlm = madeShow(dir, s, 90);
    ASSERT_FALSE(vlm.empty());
    TempDir other;
    const std::string copy = other.file("show.vlm");
    writeFile(copy, readFile(vlm));
    ImportServicesStub in;
    OutputFileImporter importer(copy, {s.width, s.height, s.depth, s.bpp}, other.path(),
                                other.file("Sound.dat"), in);
    const ImportResult r = importer.run();
    ASSERT_EQ(r.code, 0) << r.error;
    std::string bytes = readFile(r.workingPath);
    ASSERT_EQ(r.project.m_vEditInfo.size(), 90u);
    for (const SEditInfo& e : r.project.m_vEditInfo) {
        ASSERT_LE(size_t(e.recordOffset) + SDatFrameHeader::SIZE, bytes.size());
        std::memset(&bytes[size_t(e.recordOffset) + SDatFrameHeader::TIME_STAMP], 0, 4);
    }
    const uint32_t crc = crcOf(bytes);
    EXPECT_EQ(crc, GetParam().crc) << std::hex << crc << " over " << std::dec << bytes.size() << " bytes";
    std::vector<uint32_t> every(90);
    std::iota(every.begin(), every.end(), 0u);
    EXPECT_EQ(in.progressed, every) << "a progress step for every frame, in order";
    EXPECT_FALSE(in.progressOffTheCaller) << "the progress steps come from the calling thread";
}

// The frames are worked on beside the calling thread: what a progress step
// throws still reaches the caller, once that work has ended.
TEST(ImportProgress, AnExceptionFromAProgressStepReachesTheCaller) {
    const Screen s{64, 40, 24, 4};
    TempDir dir;
    const std::string vlm = madeShow(dir, s, 30);
    ASSERT_FALSE(vlm.empty());
    struct Throwing : ImportServicesStub {
        void progress(uint32_t frame) override {
            ImportServicesStub::progress(frame);
            if (frame == 5)
                throw std::runtime_error("stopped at frame 5");
        }
    } in;
    OutputFileImporter importer(vlm, {s.width, s.height, s.depth, s.bpp}, dir.path(), dir.file("Sound.dat"),
                                in);
    EXPECT_THROW(importer.run(), std::runtime_error);
    EXPECT_EQ(in.progressed.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ImportedWorkingFile,
    ::testing::Values(ImportCase{{64, 40, 24, 4}, 0xebe785c8}, ImportCase{{61, 37, 16, 2}, 0x94b18d5a},
                      ImportCase{{35, 24, 8, 1}, 0x3c69852c}, ImportCase{{320, 200, 24, 4}, 0x9ff863c6}),
    [](const ::testing::TestParamInfo<ImportCase>& i) {
        const Screen& s = i.param.screen;
        return std::to_string(s.width) + "x" + std::to_string(s.height) + "x" + std::to_string(s.depth);
    });

} // namespace
