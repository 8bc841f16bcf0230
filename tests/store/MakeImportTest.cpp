#include "store/DatRecords.h"
#include "store/OutputFileImporter.h"
#include "store/OutputFileMaker.h"
#include "store/RecordIO.h"
#include "store/VideoBlocks.h"
#include "store/VlmFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

struct Screen {
    int width, height, depth, bpp;
    size_t row() const { return size_t(width) * bpp; }
};

// A project as the tables and the working frame file hold it.
struct Project {
    Screen screen;
    std::string datPath, soundPath;
    ProjectTables tables;
    std::vector<std::vector<uint8_t>> pictures; // every frame's picture (blank: empty)
    std::vector<uint8_t> sound;                 // PCM of the frame with sound
    uint32_t soundFrame = 0;
};

void put(std::FILE* f, const void* p, size_t n) {
    ASSERT_EQ(std::fwrite(p, 1, n, f), n);
}

stdColormapArray palette(uint8_t seed) {
    stdColormapArray p;
    for (uint32_t i = 0; i < 256; ++i)
        p.colors[i] = {i, uint16_t((i + seed) * 257 & 0xFFFF), uint16_t((i * 3) * 257 & 0xFFFF),
                       uint16_t((255 - i) * 257), 7};
    return p;
}

// Frames: 0 key, 1 band, 2 unchanged (one-row band, the same rows), 3 appended
// blank, 4 band with a palette change at 8 bits, 5 deleted band, 6 inserted blank.
Project makeProject(const TempDir& dir, Screen s) {
    Project p;
    p.screen = s;
    p.datPath = dir.file("Untitled.dat");
    p.soundPath = dir.file("Sound.dat");
    std::mt19937 gen(7);
    std::vector<uint8_t> picture(s.row() * s.height);
    for (auto& b : picture)
        b = uint8_t(gen());
    if (s.bpp == 4)
        for (size_t i = 3; i < picture.size(); i += 4)
            picture[i] = 0;
    if (s.depth <= 15) {
        p.tables.m_vColormaps.push_back(palette(1));
    }

    std::FILE* f = std::fopen(p.datPath.c_str(), "wb");
    SDatMainHeader mh;
    mh.capture = SRect{0, 0, s.width, s.height};
    mh.frameCount = 7;
    auto mb = mh.toBytes();
    put(f, mb.data(), mb.size());
    uint32_t offset = 48;
    auto record = [&](uint32_t n, int top, int bottom, bool key, const uint8_t* data, size_t length,
                      uint32_t pal, uint8_t flags, int vType) {
        SDatFrameHeader h;
        h.frameNumber = n;
        h.recordSize = uint32_t(60 + length);
        h.paletteIndex = pal;
        h.data = SRect{0, top, s.width - 1, bottom};
        h.keyFlag = key;
        h.frameState = n == 0 ? 0 : 2;
        auto hb = h.toBytes();
        put(f, hb.data(), hb.size());
        if (length)
            put(f, data, length);
        SEditInfo e;
        e.keyFlag = key;
        e.recordOffset = int32_t(offset);
        e.deletedFlag = (flags & PBF_DELETED) ? 1 : 0;
        offset += h.recordSize;
        p.tables.m_vEditInfo.push_back(e);
        SPlayBackFrameInfo pb;
        pb.vType = vType;
        pb.frameFlags = flags;
        pb.pixelFlags = 0x03;
        pb.frameNumber = n + 1;
        pb.setName("Frame " + std::to_string(n + 1));
        if (vType == VALIDATION_MOUSE) {
            pb.mouseMessage = 513;
            pb.xOrKey = 5;
            pb.yOrModifiers = 6;
            pb.clickRect = SRect{0, 0, 25, 26};
        }
        p.tables.m_vPlayBackFrameInfo.push_back(pb);
    };
    auto band = [&](int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = 0; x < s.width; x += 3)
                picture[size_t(y) * s.row() + size_t(x) * s.bpp] ^= 0x3C;
    };
    const uint32_t pal0 = s.depth <= 15 ? 0 : 0;
    record(0, 0, s.height - 1, true, picture.data(), picture.size(), pal0, PBF_KEY, VALIDATION_NONE);
    p.pictures.push_back(picture);
    band(3, 12);
    record(1, 3, 12, false, picture.data() + 3 * s.row(), 10 * s.row(), pal0, 0, VALIDATION_MOUSE);
    p.pictures.push_back(picture);
    record(2, s.height - 1, s.height - 1, false, picture.data() + (s.height - 1) * s.row(), s.row(), pal0, 0,
           VALIDATION_NONE);
    p.pictures.push_back(picture);
    record(3, 0, 0, true, nullptr, 0, pal0, PBF_APPENDED | PBF_KEY, VALIDATION_NONE);
    p.pictures.push_back({});
    uint32_t pal4 = pal0;
    if (s.depth <= 15) {
        p.tables.m_vColormaps.push_back(palette(9));
        pal4 = 1;
    }
    band(0, s.height - 1);
    record(4, 0, s.height - 1, false, picture.data(), picture.size(), pal4, 0, VALIDATION_KEY);
    p.pictures.push_back(picture);
    band(20, 21);
    record(5, 20, 21, false, picture.data() + 20 * s.row(), 2 * s.row(), pal4, PBF_DELETED, VALIDATION_NONE);
    p.pictures.push_back(picture);
    record(6, 0, 0, true, nullptr, 0, pal4, PBF_INSERTED | PBF_KEY, VALIDATION_NONE);
    p.pictures.push_back({});
    std::fclose(f);

    // Sound on the unchanged frame, longer than one piece.
    p.soundFrame = 2;
    p.sound.resize(200000);
    for (size_t i = 0; i < p.sound.size(); ++i)
        p.sound[i] = uint8_t(i * 7);
    std::FILE* snd = std::fopen(p.soundPath.c_str(), "wb");
    uint8_t head[48] = {};
    rec::writeLe32(head, 48);
    put(snd, head, sizeof head);
    uint8_t fh[28] = {};
    rec::writeLe32(fh, 28);
    rec::writeLe32(fh + 4, uint32_t(p.sound.size()));
    rec::writeLe32(fh + 20, 1);
    put(snd, fh, sizeof fh);
    put(snd, p.sound.data(), p.sound.size());
    std::fclose(snd);
    auto& e = p.tables.m_vEditInfo[p.soundFrame];
    e.audioFlag = 1;
    e.audioHeaderOffset = e.audioHeaderOffsetCopy = 48;
    auto& pb = p.tables.m_vPlayBackFrameInfo[p.soundFrame];
    pb.audioSize = uint32_t(p.sound.size());
    pb.frameFlags |= PBF_AUDIO | PBF_AUDIO_RECORDED;
    pb.hasSound = 1;
    return p;
}

// Objects and resources as opaque bytes: frame 1 has a chunk naming resource 0x01010001.
struct FakeServices : MakeServices, ImportServices {
    std::map<uint32_t, std::vector<uint8_t>> objects;
    std::map<uint32_t, std::vector<uint8_t>> library;
    std::map<uint32_t, std::vector<uint8_t>> imported;
    std::map<uint32_t, std::vector<uint8_t>> importedResources;

    size_t objectCount(uint32_t f) override { return objects.count(f) ? 1 : 0; }
    std::vector<uint8_t> objectChunk(uint32_t f) override { return objects[f]; }
    std::vector<uint32_t> resourceIds(uint32_t f) override {
        return f == 1 ? std::vector<uint32_t>{0x01010001, 0x01010001, 0x0BAD0001} : std::vector<uint32_t>{};
    }
    bool resource(uint32_t id, VlmResourceRecord& r, std::vector<uint8_t>* data) override {
        if (!library.count(id))
            return false;
        r.setResourceId(id);
        if (data)
            *data = library[id];
        return true;
    }
    std::vector<uint8_t> encodeAudio(const uint8_t* pcm, size_t n) override {
        std::vector<uint8_t> v(pcm, pcm + n);
        v.push_back(0xAA); // coded pieces carry padding the decoder must not keep
        return v;
    }
    void addResource(const VlmResourceRecord& r, const std::vector<uint8_t>& d) override {
        importedResources[r.resourceId()] = d;
    }
    std::vector<uint8_t> decodeAudio(const uint8_t* c, size_t n, size_t) override { return {c, c + n}; }
    bool frameObjects(uint32_t f, const uint8_t* plain, size_t n, const vlm::FileVersion&) override {
        imported[f].assign(plain, plain + n);
        return true;
    }
};

std::vector<uint8_t> objectChunk(uint32_t frame, size_t extra) {
    std::vector<uint8_t> v(24 + 1024 + extra, uint8_t(frame));
    rec::writeLe32(v.data(), 24);
    rec::writeLe32(v.data() + 4, 1);
    return v;
}

MakeInput inputFor(Project& p, const std::string& out) {
    MakeInput in;
    in.workingPath = p.datPath;
    in.outputPath = out;
    in.soundPath = p.soundPath;
    p.tables.m_dwFrameCount = uint32_t(p.tables.m_vPlayBackFrameInfo.size());
    in.project = &p.tables;
    in.depth = p.screen.depth;
    in.screenWidth = p.screen.width;
    in.screenHeight = p.screen.height;
    in.bytesPerPixel = p.screen.bpp;
    if (p.screen.depth == 16) {
        in.redMask = 0xF800;
        in.greenMask = 0x07E0;
        in.blueMask = 0x001F;
    }
    return in;
}

// The 64x40x24 project in `dir`, made into its "show.vlm".
Project madeShow(const TempDir& dir) {
    Project p = makeProject(dir, Screen{64, 40, 24, 4});
    FakeServices svc;
    EXPECT_EQ(OutputFileMaker(inputFor(p, dir.file("show.vlm")), svc).make(), OutputFileMaker::MAKE_OK);
    return p;
}

// Pictures of every frame of a working frame file, rebuilt record by record.
std::vector<std::vector<uint8_t>> pictures(const ImportResult& r, const Screen& s) {
    std::vector<std::vector<uint8_t>> out;
    std::string bytes = readFile(r.workingPath);
    std::vector<uint8_t> pic(s.row() * s.height, 0);
    for (size_t i = 0; i < r.project.m_vEditInfo.size(); ++i) {
        const auto* p =
            reinterpret_cast<const uint8_t*>(bytes.data()) + r.project.m_vEditInfo[i].recordOffset;
        SDatFrameHeader h = SDatFrameHeader::fromBytes(p);
        if (h.dataLength() == 0 && h.keyFlag) {
            out.push_back({});
            continue;
        }
        std::memcpy(pic.data() + size_t(h.data.top) * s.row(), p + 60, h.dataLength());
        out.push_back(pic);
    }
    return out;
}

std::vector<uint8_t> inflate(const std::vector<uint8_t>& z) {
    if (z.empty())
        return {};
    std::vector<uint8_t> out(1 << 20);
    uLongf n = uLongf(out.size());
    if (uncompress(out.data(), &n, z.data(), uLong(z.size())) != Z_OK)
        return {0xFF};
    out.resize(n);
    return out;
}

class MakeImport : public ::testing::TestWithParam<Screen> {};

TEST_P(MakeImport, RoundTripKeepsPicturesSoundObjectsAndPalettes) {
    const Screen s = GetParam();
    TempDir dir;
    Project p = makeProject(dir, s);
    FakeServices svc;
    svc.objects[0] = objectChunk(0, 32);
    svc.objects[1] = objectChunk(1, 5);
    svc.objects[3] = objectChunk(3, 0);
    svc.library[0x01010001] = {1, 2, 3, 4, 5};

    const std::string vlm = dir.file("show.vlm");
    OutputFileMaker maker(inputFor(p, vlm), svc);
    ASSERT_EQ(maker.make(), OutputFileMaker::MAKE_OK) << maker.error();
    EXPECT_EQ(maker.missingResources(), std::vector<uint32_t>{0x0BAD0001u});
    EXPECT_FALSE(fileExists(vlm + ".part"));

    {
        VlmFile f;
        ASSERT_EQ(f.openToRead(vlm), 0);
        EXPECT_EQ(f.vlmStreamLength(2), 7u);
        EXPECT_EQ(f.ScapResourceCount(), 1u) << "one slot for a resource used twice";
        EXPECT_EQ(f.getAdditionalDataSize(), 60u + 152u * 8u);
        std::vector<uint8_t> fmt;
        ASSERT_EQ(f.vlmGetFormat(fmt, 0, 0), 0);
        EXPECT_EQ(fmt.size(), s.depth == 8 ? 1064u : 40u);
    }

    // Import into a fresh place: a copy of the output file beside its own .dat.
    TempDir other;
    const std::string copy = other.file("show.vlm");
    writeFile(copy, readFile(vlm));
    FakeServices in;
    OutputFileImporter importer(copy, {s.width, s.height, s.depth, s.bpp}, other.path(),
                                other.file("Sound.dat"), in);
    ImportResult r = importer.run();
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.workingPath, other.file("show.dat"));
    ASSERT_EQ(r.project.m_dwFrameCount, 7u);
    auto got = pictures(r, s);
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(got[i] == p.pictures[i]) << "picture of frame " << i;
    EXPECT_EQ(r.project.m_vEditInfo[0].keyFlag, 1);
    EXPECT_EQ(r.project.m_vEditInfo[1].keyFlag, 0);
    EXPECT_EQ(r.project.m_vEditInfo[3].keyFlag, 1) << "appended frames come back blank";
    EXPECT_EQ(r.project.m_deletedCount, 1);
    EXPECT_EQ(r.project.m_vEditInfo[5].deletedFlag, 1);
    EXPECT_EQ(r.project.m_appendedCount, 1);
    EXPECT_EQ(r.project.m_insertedCount, 1);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(r.project.m_vPlayBackFrameInfo[i].name(), p.tables.m_vPlayBackFrameInfo[i].name());
        EXPECT_EQ(r.project.m_vPlayBackFrameInfo[i].frameFlags, p.tables.m_vPlayBackFrameInfo[i].frameFlags);
    }
    EXPECT_EQ(r.project.m_vUserActionFrames, (std::vector<uint32_t>{1, 2, 4})) << "mouse, sound, key";
    EXPECT_EQ(r.project.m_dwUserActionFrame, 3u);
    EXPECT_EQ(in.imported.size(), 3u);
    EXPECT_EQ(in.imported[1], svc.objects[1]);
    EXPECT_EQ(in.importedResources[0x01010001], svc.library[0x01010001]);
    EXPECT_EQ(r.project.m_vColormaps.size(), s.depth <= 15 ? 2u : 0u);

    // Sound: the decoded bytes, exactly the pieces' own lengths.
    std::string sound = readFile(other.file("Sound.dat"));
    ASSERT_TRUE(r.soundWritten);
    const auto& e = r.project.m_vEditInfo[p.soundFrame];
    ASSERT_EQ(e.audioFlag, 1);
    const auto* sp = reinterpret_cast<const uint8_t*>(sound.data()) + e.audioHeaderOffset;
    EXPECT_EQ(rec::readLe32(sp + 4), p.sound.size());
    EXPECT_EQ(std::memcmp(sp + 28, p.sound.data(), p.sound.size()), 0);

    // Make again from the import: the same frames, format records and sound.
    Project q = p;
    q.datPath = r.workingPath;
    q.soundPath = other.file("Sound.dat");
    q.tables = r.project;
    const std::string vlm2 = other.file("again.vlm");
    OutputFileMaker again(inputFor(q, vlm2), in);
    in.objects = svc.objects;
    in.library = svc.library;
    ASSERT_EQ(again.make(), OutputFileMaker::MAKE_OK) << again.error();
    VlmFile a, b;
    ASSERT_EQ(a.openToRead(vlm), 0);
    ASSERT_EQ(b.openToRead(vlm2), 0);
    for (uint32_t i = 0; i < 7; ++i) {
        std::vector<uint8_t> va, vb, fa, fb, aa, ab;
        ASSERT_EQ(a.vlmStreamRead(va, i, 2), 0);
        ASSERT_EQ(b.vlmStreamRead(vb, i, 2), 0);
        auto pa = inflate(va), pb = inflate(vb);
        // An unchanged frame keeps no band of its own through an import: compare its block count.
        if (pa.size() == 10 && pb.size() == 10)
            pa.assign(8, 0), pb.assign(8, 0);
        EXPECT_EQ(pa, pb) << "video chunk of frame " << i;
        a.vlmGetFormat(fa, i, 0);
        b.vlmGetFormat(fb, i, 0);
        EXPECT_EQ(fa, fb) << "format record in force at frame " << i;
        a.vlmGetFormat(aa, i, 1);
        b.vlmGetFormat(ab, i, 1);
        EXPECT_EQ(aa, ab) << "audio chunk of frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, MakeImport,
                         ::testing::Values(Screen{64, 40, 24, 4}, Screen{61, 37, 16, 2}, Screen{35, 24, 8, 1},
                                           Screen{1920, 1080, 24, 4}
                                           // full-height bands beyond the block limit
                                           ),
                         [](const ::testing::TestParamInfo<Screen>& i) {
                             return std::to_string(i.param.width) + "x" + std::to_string(i.param.height) +
                                    "x" + std::to_string(i.param.depth);
                         });

// A key frame narrower than the screen: its rows are shorter than the bands'
// rows, which span the screen. Each band is compared with the picture row by
// row, so every changed block is stored and the frames decode to what was
// recorded. Frame 2 changes rows 8..11 from black to white; the picture's
// rows further down are white already and must not be mistaken for them.
TEST(MakeNarrowKeyFrame, BandsAreComparedWithThePictureRowByRow) {
    const Screen s{64, 48, 24, 4};
    const int W = 40, H = s.height, B = 3; // the key frame's area; pixels packed to 3 bytes
    const size_t Rp = size_t(W) * B;
    const uint8_t white[4] = {0xFF, 0xFF, 0xFF, 0}, grey[4] = {0x80, 0x80, 0x80, 0};

    TempDir dir;
    Project p;
    p.screen = s;
    p.datPath = dir.file("Untitled.dat");
    std::FILE* f = std::fopen(p.datPath.c_str(), "wb");
    SDatMainHeader mh;
    mh.capture = SRect{0, 0, W, H};
    mh.frameCount = 3;
    auto mb = mh.toBytes();
    put(f, mb.data(), mb.size());
    uint32_t offset = 48;
    // The picture as recorded, 4 bytes a pixel, the screen's width.
    std::vector<uint8_t> screen(s.row() * H, 0);
    std::vector<std::vector<uint8_t>> expected; // W x H, 3 bytes a pixel
    auto paint = [&](int top, int bottom, int left, int right, const uint8_t* c) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                std::memcpy(screen.data() + size_t(y) * s.row() + size_t(x) * 4, c, 4);
    };
    auto record = [&](uint32_t n, bool key, int top, int bottom) {
        SDatFrameHeader h;
        h.frameNumber = n;
        h.keyFlag = key;
        h.data = SRect{0, top, W - 1, bottom};
        // A key frame's rows are its own width, a band's the screen's.
        const size_t row = key ? size_t(W) * 4 : s.row();
        h.recordSize = uint32_t(60 + row * size_t(bottom - top + 1));
        auto hb = h.toBytes();
        put(f, hb.data(), hb.size());
        for (int y = top; y <= bottom; ++y)
            put(f, screen.data() + size_t(y) * s.row(), row);
        SEditInfo e;
        e.keyFlag = key;
        e.recordOffset = int32_t(offset);
        offset += h.recordSize;
        p.tables.m_vEditInfo.push_back(e);
        SPlayBackFrameInfo pb;
        pb.frameFlags = key ? PBF_KEY : 0;
        pb.pixelFlags = 0x03;
        p.tables.m_vPlayBackFrameInfo.push_back(pb);
        std::vector<uint8_t> picture(Rp * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                std::memcpy(picture.data() + size_t(y) * Rp + size_t(x) * B,
                            screen.data() + size_t(y) * s.row() + size_t(x) * 4, B);
        expected.push_back(picture);
    };
    record(0, true, 0, H - 1); // black
    paint(12, H - 1, 0, W - 1, white);
    record(1, false, 12, H - 1);
    paint(0, 0, 0, 7, grey);
    paint(8, 15, 0, W - 1, white);
    record(2, false, 0, 15);
    std::fclose(f);

    for (int threads : {1, 4}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        FakeServices svc;
        const std::string vlm = dir.file("show" + std::to_string(threads) + ".vlm");
        MakeInput in = inputFor(p, vlm);
        in.soundPath.clear();
        in.threads = threads;
        OutputFileMaker maker(in, svc);
        ASSERT_EQ(maker.make(), OutputFileMaker::MAKE_OK) << maker.error();

        VlmFile file;
        ASSERT_EQ(file.openToRead(vlm), 0);
        std::vector<uint8_t> picture(Rp * H, 0x11);
        for (uint32_t i = 0; i < 3; ++i) {
            std::vector<uint8_t> chunk;
            ASSERT_EQ(file.vlmStreamRead(chunk, i, vlm::CHUNK_VIDEO), 0);
            const std::vector<uint8_t> plain = inflate(chunk);
            ASSERT_GE(plain.size(), video::TRAILER_SIZE);
            const video::DecodeResult r =
                i == 0 ? video::decodeKeyChunk(plain.data(), plain.size(), picture.data(), W, H, Rp, B)
                       : video::applyDeltaChunk(plain.data(), plain.size(), picture.data(), W, H, Rp, B,
                                                SRect{0, 0, W, H});
            ASSERT_EQ(r, video::DecodeResult::Ok) << "frame " << i;
            int wrong = -1; // the first row that differs
            for (int y = H - 1; y >= 0; --y)
                if (std::memcmp(picture.data() + size_t(y) * Rp, expected[i].data() + size_t(y) * Rp, Rp) !=
                    0)
                    wrong = y;
            EXPECT_EQ(wrong, -1) << "frame " << i;
        }
    }
}

TEST(MakeFailures, AFailedMakeLeavesTheEarlierFileAndTablesAlone) {
    TempDir dir;
    Project p = makeProject(dir, Screen{64, 40, 24, 4});
    FakeServices svc;
    const std::string vlm = dir.file("show.vlm");
    writeFile(vlm, "an earlier output file");
    p.tables.m_vEditInfo[4].recordOffset = 1 << 30; // unreadable frame
    OutputFileMaker maker(inputFor(p, vlm), svc);
    EXPECT_EQ(maker.make(), OutputFileMaker::MAKE_FRAME_UNREADABLE);
    EXPECT_EQ(readFile(vlm), "an earlier output file");
    EXPECT_FALSE(fileExists(vlm + ".part"));

    MakeInput in = inputFor(p, vlm);
    in.workingPath = dir.file("missing.dat");
    OutputFileMaker missing(in, svc);
    EXPECT_EQ(missing.make(), OutputFileMaker::MAKE_DAT_UNREADABLE);
}

TEST(ImportFailures, MalformedFilesGiveTheirCodes) {
    TempDir dir;
    Project p = makeProject(dir, Screen{64, 40, 24, 4});
    FakeServices svc;
    svc.objects[1] = objectChunk(1, 5);
    const std::string vlm = dir.file("show.vlm");
    ASSERT_EQ(OutputFileMaker(inputFor(p, vlm), svc).make(), OutputFileMaker::MAKE_OK);
    const std::string good = readFile(vlm);

    auto importBytes = [&](const std::string& bytes, OutputFileImporter::Screen screen = {64, 40, 24, 4}) {
        TempDir t;
        writeFile(t.file("x.vlm"), bytes);
        FakeServices s;
        return OutputFileImporter(t.file("x.vlm"), screen, t.path(), t.file("Sound.dat"), s).run().code;
    };
    EXPECT_EQ(importBytes(good), 0);
    std::string badSign = good;
    badSign[0] = 'X';
    EXPECT_EQ(importBytes(badSign), 5023);
    EXPECT_EQ(importBytes(good.substr(0, 100)), 5004);
    EXPECT_EQ(importBytes(good, {80, 40, 24, 4}), 1506);
    std::string hugeExtra = good;
    rec::writeLe32(reinterpret_cast<uint8_t*>(hugeExtra.data()) + 72, 0xAC8C0000u);
    const int hugeCode = importBytes(hugeExtra);
    EXPECT_TRUE(hugeCode == 5006 || hugeCode == 5004)
        << "an additional-data length past the file: " << hugeCode;

    // Corrupt each video chunk's zlib data in turn: every one is refused or read, never a crash.
    VlmFile f;
    ASSERT_EQ(f.openToRead(vlm), 0);
    for (uint32_t i = 0; i < 7; ++i) {
        const auto& x = f.index()[i];
        if (x.videoLength == 0)
            continue;
        std::string bad = good;
        for (uint32_t k = 2; k < x.videoLength; ++k)
            bad[x.videoOffset + k] = char(0x5A ^ k);
        int code = importBytes(bad);
        EXPECT_TRUE(code == 0 || code == 1502) << "frame " << i << " gave " << code;
    }

    // A .dat beside the .vlm that is not a working frame file is never overwritten.
    TempDir t;
    writeFile(t.file("x.vlm"), good);
    writeFile(t.file("x.dat"), "notes of the author");
    FakeServices s;
    EXPECT_EQ(
        OutputFileImporter(t.file("x.vlm"), {64, 40, 24, 4}, t.path(), t.file("Sound.dat"), s).run().code,
        1503);
    EXPECT_EQ(readFile(t.file("x.dat")), "notes of the author");
}

// The names in a folder.
std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, ".."))
                names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

bool isLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A failed import leaves the working frame file and the sound working file
// beside the output file as they were, and no scratch; a link in the working
// file's place is never written through.
struct WorkingFileCase {
    const char* name;
    enum { NONE, GOOD_FILE, LINK } before;
    enum { GOOD, DAMAGED_VIDEO, REFUSED_OBJECTS } input;
};

void PrintTo(const WorkingFileCase& c, std::ostream* os) {
    *os << c.name;
}

class ImportWorkingFile : public ::testing::TestWithParam<WorkingFileCase> {};

TEST_P(ImportWorkingFile, IsReplacedOnlyByAWholeImport) {
    const WorkingFileCase& c = GetParam();
    TempDir dir;
    Project p = makeProject(dir, Screen{64, 40, 24, 4});
    FakeServices svc;
    svc.objects[1] = objectChunk(1, 5);
    const std::string vlm = dir.file("show.vlm");
    ASSERT_EQ(OutputFileMaker(inputFor(p, vlm), svc).make(), OutputFileMaker::MAKE_OK);
    std::string bytes = readFile(vlm);
    if (c.input == WorkingFileCase::DAMAGED_VIDEO) {
        // The last picture's chunk: the frames before it reach the scratch.
        VlmFile f;
        ASSERT_EQ(f.openToRead(vlm), 0);
        const VLMIndex& x = f.index()[5];
        ASSERT_GT(x.videoLength, 2u);
        for (uint32_t k = 2; k < x.videoLength; ++k)
            bytes[x.videoOffset + k] = char(0x5A ^ k);
    }

    TempDir t, elsewhere;
    writeFile(t.file("x.vlm"), bytes);
    const std::string earlier = readFile(p.datPath); // another project's working frame file
    const std::string other = elsewhere.file("Untitled.dat");
    writeFile(other, earlier);
    if (c.before == WorkingFileCase::GOOD_FILE)
        writeFile(t.file("x.dat"), earlier);
    if (c.before == WorkingFileCase::LINK) {
        ASSERT_EQ(symlink(other.c_str(), t.file("x.dat").c_str()), 0);
    }
    writeFile(t.file("Sound.dat"), "an earlier sound working file");

    struct Refusing : FakeServices {
        bool frameObjects(uint32_t, const uint8_t*, size_t, const vlm::FileVersion&) override {
            return false;
        }
    } refusing;
    FakeServices accepting;
    ImportServices& services =
        c.input == WorkingFileCase::REFUSED_OBJECTS ? static_cast<ImportServices&>(refusing) : accepting;
    const ImportResult r =
        OutputFileImporter(t.file("x.vlm"), {64, 40, 24, 4}, t.path(), t.file("Sound.dat"), services).run();

    EXPECT_EQ(readFile(other), earlier) << "a file reached through a link is never written";
    std::set<std::string> expected = {"x.vlm", "Sound.dat"};
    if (c.input == WorkingFileCase::GOOD) {
        ASSERT_EQ(r.code, 0) << r.error;
        expected.insert("x.dat");
        EXPECT_FALSE(isLink(t.file("x.dat"))) << "the link is replaced by the imported file";
        EXPECT_TRUE(OutputFileImporter::looksLikeWorkingFile(t.file("x.dat")));
        EXPECT_NE(readFile(t.file("x.dat")), earlier);
        EXPECT_TRUE(r.soundWritten);
        EXPECT_NE(readFile(t.file("Sound.dat")), "an earlier sound working file");
    } else {
        EXPECT_EQ(r.code, OutputFileImporter::IMPORT_READ);
        EXPECT_NE(r.error.find(t.file("x.vlm")), std::string::npos) << r.error;
        EXPECT_FALSE(r.soundWritten);
        EXPECT_EQ(readFile(t.file("Sound.dat")), "an earlier sound working file");
        if (c.before != WorkingFileCase::NONE)
            expected.insert("x.dat");
        if (c.before == WorkingFileCase::GOOD_FILE) {
            EXPECT_EQ(readFile(t.file("x.dat")), earlier);
        }
        if (c.before == WorkingFileCase::LINK) {
            EXPECT_TRUE(isLink(t.file("x.dat")));
        }
    }
    EXPECT_EQ(entriesOf(t.path()), expected) << "no scratch stays";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImportWorkingFile,
    ::testing::Values(
        WorkingFileCase{"NoneAndADamagedPicture", WorkingFileCase::NONE, WorkingFileCase::DAMAGED_VIDEO},
        WorkingFileCase{"NoneAndRefusedObjects", WorkingFileCase::NONE, WorkingFileCase::REFUSED_OBJECTS},
        WorkingFileCase{"GoodFileAndADamagedPicture", WorkingFileCase::GOOD_FILE,
                        WorkingFileCase::DAMAGED_VIDEO},
        WorkingFileCase{"GoodFileAndRefusedObjects", WorkingFileCase::GOOD_FILE,
                        WorkingFileCase::REFUSED_OBJECTS},
        WorkingFileCase{"GoodFileAndAGoodImport", WorkingFileCase::GOOD_FILE, WorkingFileCase::GOOD},
        WorkingFileCase{"LinkAndADamagedPicture", WorkingFileCase::LINK, WorkingFileCase::DAMAGED_VIDEO},
        WorkingFileCase{"LinkAndRefusedObjects", WorkingFileCase::LINK, WorkingFileCase::REFUSED_OBJECTS},
        WorkingFileCase{"LinkAndAGoodImport", WorkingFileCase::LINK, WorkingFileCase::GOOD}),
    [](const ::testing::TestParamInfo<WorkingFileCase>& i) { return std::string(i.param.name); });

// A FIFO in place of the output file or of its working frame file is refused
// at once and left as it was.
TEST(ImportFailures, NonRegularFilesAreRefusedWithoutWaiting) {
    struct Case {
        const char* fifo;
        int code;
    };
    for (const Case& c : {Case{"x.vlm", OutputFileImporter::IMPORT_CANNOT_OPEN},
                          Case{"x.dat", OutputFileImporter::IMPORT_OPEN}}) {
        SCOPED_TRACE(c.fifo);
        TempDir t;
        if (std::string(c.fifo) != "x.vlm")
            writeFile(t.file("x.vlm"), "INT");
        ASSERT_EQ(mkfifo(t.file(c.fifo).c_str(), 0644), 0);
        FakeServices s;
        const ImportResult r =
            OutputFileImporter(t.file("x.vlm"), {64, 40, 24, 4}, t.path(), t.file("Sound.dat"), s).run();
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.error.find(t.file(c.fifo)), std::string::npos) << r.error;
        struct stat st {};
        ASSERT_EQ(stat(t.file(c.fifo).c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
    }
}

// A write that fails part way through the frames (here at the file size
// limit) names the scratch and the system's error, and leaves the earlier
// working frame file as it was and no scratch. Run in a child for the limit.
TEST(ImportFailures, AFailedWriteNamesTheScratchAndKeepsTheEarlierFile) {
    TempDir dir;
    const Project p = madeShow(dir);
    const std::string vlm = dir.file("show.vlm");
    TempDir t;
    writeFile(t.file("x.vlm"), readFile(vlm));
    const std::string earlier = readFile(p.datPath);
    writeFile(t.file("x.dat"), earlier);
    const auto run = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{};
        lim.rlim_cur = lim.rlim_max = 2 * (SDatFrameHeader::SIZE + 64 * 40 * 4) + 5000;
        setrlimit(RLIMIT_FSIZE, &lim);
        FakeServices s;
        const ImportResult r =
            OutputFileImporter(t.file("x.vlm"), {64, 40, 24, 4}, t.path(), t.file("Sound.dat"), s).run();
        const std::string cause = ": " + std::string(std::strerror(EFBIG));
        if (r.code != OutputFileImporter::IMPORT_WRITE ||
            r.error.rfind("cannot write " + t.path() + "/", 0) != 0 || r.error.size() < cause.size() ||
            r.error.compare(r.error.size() - cause.size(), cause.size(), cause) != 0) {
            std::fprintf(stderr, "code %d, cause \"%s\"\n", r.code, r.error.c_str());
            return 4;
        }
        if (readFile(t.file("x.dat")) != earlier)
            return 5;
        return entriesOf(t.path()) == std::set<std::string>{"x.vlm", "x.dat"} ? 3 : 6;
    };
    EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(3), "");
}

// Each failed make says why on one line: what failed, which file and the
// system's error text. Run in a child: some cases lower the file size limit or
// drop to an ordinary user so that a folder's permissions count.
struct MakeCauseCase {
    const char* name;
    // Prepares the folder and the input; returns the cause expected.
    std::function<std::string(const TempDir&, MakeInput&)> prepare;
    std::function<void()> inChild;
    OutputFileMaker::Result code;
};

void PrintTo(const MakeCauseCase& c, std::ostream* os) {
    *os << c.name;
}

class MakeCause : public ::testing::TestWithParam<MakeCauseCase> {};

TEST_P(MakeCause, NamesTheFileAndTheSystemsError) {
    const MakeCauseCase& c = GetParam();
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    Project p = makeProject(dir, Screen{64, 40, 24, 4});
    FakeServices svc;
    MakeInput in = inputFor(p, dir.file("show.vlm"));
    const std::string cause = c.prepare(dir, in);
    const auto run = [&] {
        c.inChild();
        OutputFileMaker maker(in, svc);
        const OutputFileMaker::Result result = maker.make();
        if (result != c.code || maker.error() != cause) {
            std::fprintf(stderr, "result %d, cause \"%s\"\n", int(result), maker.error().c_str());
            return 4;
        }
        return fileExists(in.outputPath + ".part") ? 5 : 3;
    };
    EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(3), "") << "expected \"" << cause << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, MakeCause,
    ::testing::Values(MakeCauseCase{"FolderCannotBeWritten",
                                    [](const TempDir& d, MakeInput& in) {
                                        mkdir(d.file("locked").c_str(), 0555);
                                        in.outputPath = d.file("locked/show.vlm");
                                        return "cannot create " + in.outputPath +
                                               ".part: " + std::strerror(EACCES);
                                    },
                                    [] {
                                        // An ordinary user, for whom the folder's permissions hold.
                                        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                                            std::exit(6);
                                    },
                                    OutputFileMaker::MAKE_CREATE_FAILED},
                      MakeCauseCase{"FileSizeLimit",
                                    [](const TempDir&, MakeInput& in) {
                                        return "cannot write " + in.outputPath +
                                               ".part: " + std::strerror(EFBIG);
                                    },
                                    [] {
                                        std::signal(SIGXFSZ, SIG_IGN);
                                        rlimit lim{};
                                        lim.rlim_cur = lim.rlim_max = 3000;
                                        setrlimit(RLIMIT_FSIZE, &lim);
                                    },
                                    OutputFileMaker::MAKE_WRITE_FAILED},
                      MakeCauseCase{"OutputNameIsAFolder",
                                    [](const TempDir&, MakeInput& in) {
                                        mkdir(in.outputPath.c_str(), 0755);
                                        return "cannot move " + in.outputPath + ".part to " + in.outputPath +
                                               ": " + std::strerror(EISDIR);
                                    },
                                    [] {}, OutputFileMaker::MAKE_CLOSE_FAILED},
                      MakeCauseCase{"WorkingFileMissing",
                                    [](const TempDir& d, MakeInput& in) {
                                        in.workingPath = d.file("missing.dat");
                                        return "cannot open the working frame file " + in.workingPath + ": " +
                                               std::strerror(ENOENT);
                                    },
                                    [] {}, OutputFileMaker::MAKE_DAT_UNREADABLE}),
    [](const ::testing::TestParamInfo<MakeCauseCase>& i) { return std::string(i.param.name); });

// Crafted from a made 64x40x24 project: each damage is refused with its code.
struct CraftedCase {
    const char* name;
    std::function<void(std::string&, const VlmFile&)> damage;
    int code;
};

void put32(std::string& b, size_t at, uint32_t v) {
    rec::writeLe32(reinterpret_cast<uint8_t*>(b.data()) + at, v);
}

// Appends a zlib chunk that inflates to `plain` bytes as frame 1's video chunk.
void shortVideoChunk(std::string& b, const VlmFile& f, size_t plain) {
    std::vector<uint8_t> z(64);
    uLongf n = uLongf(z.size());
    const std::vector<uint8_t> bytes(plain, 0x11);
    ASSERT_EQ(compress(z.data(), &n, bytes.data(), uLong(bytes.size())), Z_OK);
    const size_t record = f.header().indexOffset + 1 * VLMIndex::SIZE;
    put32(b, record + VLMIndex::VIDEO_OFFSET, uint32_t(b.size()));
    put32(b, record + VLMIndex::VIDEO_LENGTH, uint32_t(n));
    b.append(reinterpret_cast<const char*>(z.data()), n);
}

// Frame 1's video chunk as stored: its offset and length in the file.
std::pair<size_t, size_t> videoChunkOfFrame1(const std::string& b, const VlmFile& f) {
    const size_t record = f.header().indexOffset + 1 * VLMIndex::SIZE;
    const auto* at = reinterpret_cast<const uint8_t*>(b.data()) + record;
    return {rec::readLe32(at + VLMIndex::VIDEO_OFFSET), rec::readLe32(at + VLMIndex::VIDEO_LENGTH)};
}

void captureEdges(std::string& b, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const size_t at = vlm::VIDEO_HEADER_OFFSET;
    put32(b, at + VLMVideoHeader::CAPTURE_LEFT, uint32_t(left));
    put32(b, at + VLMVideoHeader::CAPTURE_TOP, uint32_t(top));
    put32(b, at + VLMVideoHeader::CAPTURE_RIGHT, uint32_t(right));
    put32(b, at + VLMVideoHeader::CAPTURE_BOTTOM, uint32_t(bottom));
}

class ImportCrafted : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(ImportCrafted, IsRefusedWithItsCode) {
    TempDir dir;
    const Project p = madeShow(dir);
    const std::string vlm = dir.file("show.vlm");
    std::string bytes = readFile(vlm);
    {
        VlmFile f;
        ASSERT_EQ(f.openToRead(vlm), 0);
        ASSERT_EQ(f.index().size(), 7u);
        GetParam().damage(bytes, f);
    }
    TempDir t;
    writeFile(t.file("x.vlm"), bytes);
    FakeServices s;
    const ImportResult r =
        OutputFileImporter(t.file("x.vlm"), {64, 40, 24, 4}, t.path(), t.file("Sound.dat"), s).run();
    EXPECT_EQ(r.code, GetParam().code);
    EXPECT_NE(r.error.find(t.file("x.vlm")), std::string::npos) << "the cause names the file: " << r.error;
    EXPECT_EQ(entriesOf(t.path()), std::set<std::string>{"x.vlm"}) << "no working file and no scratch";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportCrafted,
    ::testing::Values(
        // A plain chunk shorter than its trailer.
        CraftedCase{"VideoChunkOfOneByte", [](std::string& b, const VlmFile& f) { shortVideoChunk(b, f, 1); },
                    OutputFileImporter::IMPORT_READ},
        CraftedCase{"VideoChunkOfNineBytes",
                    [](std::string& b, const VlmFile& f) { shortVideoChunk(b, f, 9); },
                    OutputFileImporter::IMPORT_READ},
        // A chunk whose sum of its plain bytes is wrong, that is cut before
        // its sum, or whose head asks for a preset dictionary.
        CraftedCase{"VideoChunkWithAWrongSum",
                    [](std::string& b, const VlmFile& f) {
                        const auto [at, length] = videoChunkOfFrame1(b, f);
                        b[at + length - 1] = char(b[at + length - 1] ^ 0x01);
                    },
                    OutputFileImporter::IMPORT_READ},
        CraftedCase{"VideoChunkCutBeforeItsSum",
                    [](std::string& b, const VlmFile& f) {
                        const size_t record = f.header().indexOffset + 1 * VLMIndex::SIZE;
                        put32(b, record + VLMIndex::VIDEO_LENGTH,
                              uint32_t(videoChunkOfFrame1(b, f).second - 3));
                    },
                    OutputFileImporter::IMPORT_READ},
        CraftedCase{"VideoChunkWithAPresetDictionary",
                    [](std::string& b, const VlmFile& f) {
                        const size_t at = videoChunkOfFrame1(b, f).first;
                        // 0x78 0xBB: a valid head with the dictionary flag.
                        b[at] = char(0x78);
                        b[at + 1] = char(0xBB);
                    },
                    OutputFileImporter::IMPORT_READ},
        // Edges whose difference overflows 32 bits, or that lie off the screen.
        CraftedCase{"CaptureLeftAtTheLowestInt",
                    [](std::string& b, const VlmFile&) { captureEdges(b, INT32_MIN, 0, 64, 40); },
                    OutputFileImporter::IMPORT_RESOLUTION},
        CraftedCase{"CaptureBottomAtTheHighestInt",
                    [](std::string& b, const VlmFile&) { captureEdges(b, 0, -40, 64, INT32_MAX); },
                    OutputFileImporter::IMPORT_RESOLUTION},
        CraftedCase{"CaptureLeftOfTheScreen",
                    [](std::string& b, const VlmFile&) { captureEdges(b, -10, 0, 54, 40); },
                    OutputFileImporter::IMPORT_RESOLUTION},
        CraftedCase{"CaptureBelowTheScreen",
                    [](std::string& b, const VlmFile&) { captureEdges(b, 0, 5, 64, 45); },
                    OutputFileImporter::IMPORT_RESOLUTION},
        // One index record whose skip count names far more frames than the
        // file holds playback records for: refused before it is expanded.
        CraftedCase{"SkipCountBeyondThePlaybackRecords",
                    [](std::string& b, const VlmFile&) {
                        put32(b, VLMHeader::INDEX_COUNT, 1u << 22);
                        put32(b, VLMHeader::INDEX_LENGTH, uint32_t(VLMIndex::SIZE));
                        put32(b, vlm::INDEX_OFFSET + VLMIndex::SKIP_COUNT, (1u << 22) - 1);
                    },
                    OutputFileImporter::IMPORT_CANNOT_OPEN}),
    [](const ::testing::TestParamInfo<CraftedCase>& i) { return std::string(i.param.name); });

} // namespace
