#include "store/FrameStore.h"

#include <algorithm>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t W = 8;
constexpr uint32_t H = 6;
constexpr uint32_t BPP = 4;
constexpr uint32_t ROW = W * BPP;

FrameGeometry geometry() {
    return FrameGeometry{W, H, BPP, 0};
}

using Image = std::vector<uint8_t>;

// Rows filled with a value that names the frame and the row, so a band laid
// at the wrong row or taken from the wrong record shows.
std::vector<uint8_t> rowsOf(int frame, int top, int bottom) {
    std::vector<uint8_t> d;
    for (int r = top; r <= bottom; ++r)
        for (uint32_t i = 0; i < ROW; ++i)
            d.push_back(uint8_t(frame * 16 + r + (i % BPP == 3 ? 0x80 : 0)));
    return d;
}

struct Record {
    SDatFrameHeader header;
    std::vector<uint8_t> data;
    bool key = false;
};

Record keyRecord(int frame) {
    Record r;
    r.header.frameNumber = uint32_t(frame);
    r.header.data = SRect{0, 0, int32_t(W - 1), int32_t(H - 1)};
    r.header.keyFlag = 1;
    r.data = rowsOf(frame, 0, H - 1);
    r.key = true;
    return r;
}

Record bandRecord(int frame, int top, int bottom) {
    Record r;
    r.header.frameNumber = uint32_t(frame);
    r.header.frameState = FRAME_STATE_TIMER;
    r.header.data = SRect{0, top, int32_t(W - 1), bottom};
    r.data = rowsOf(frame, top, bottom);
    return r;
}

Record blankRecord(int frame) {
    Record r;
    r.header.frameNumber = uint32_t(frame);
    r.header.keyFlag = 1;
    r.key = true;
    return r;
}

// Writes a working frame file and the frame table that points at its records.
class DatFixture {
  public:
    explicit DatFixture(const std::string& path) : m_path(path) {}

    void add(Record r) {
        if (r.header.recordSize == SDatFrameHeader::SIZE)
            r.header.recordSize = uint32_t(SDatFrameHeader::SIZE + r.data.size());
        m_records.push_back(std::move(r));
    }
    // Writes everything; `cut` bytes are left off the end of the file.
    std::vector<SEditInfo> write(size_t cut = 0) {
        std::vector<uint8_t> bytes;
        SDatMainHeader mh;
        mh.frameCount = uint32_t(m_records.size());
        mh.capture = SRect{0, 0, int32_t(W), int32_t(H)};
        auto m = mh.toBytes();
        bytes.insert(bytes.end(), m.begin(), m.end());
        std::vector<SEditInfo> edit;
        for (const Record& r : m_records) {
            SEditInfo e;
            e.keyFlag = r.key ? 1 : 0;
            e.recordOffset = int32_t(bytes.size());
            edit.push_back(e);
            auto h = r.header.toBytes();
            bytes.insert(bytes.end(), h.begin(), h.end());
            bytes.insert(bytes.end(), r.data.begin(), r.data.end());
        }
        bytes.resize(bytes.size() - cut);
        std::FILE* f = std::fopen(m_path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return edit;
    }

  private:
    std::string m_path;
    std::vector<Record> m_records;
};

Image overlay(Image img, const Record& r) {
    const size_t off = r.key ? 0 : size_t(r.header.data.top) * ROW;
    std::copy(r.data.begin(), r.data.end(), img.begin() + long(off));
    return img;
}

class FrameStoreTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    std::string path = dir.file("Untitled.dat");
};

// One synthetic file, every frame rebuilt: key frames, bands at the first
// and the last row, an unchanged (empty) band, a blank frame, a band whose
// length disagrees with its rows, a band that reaches past the screen, and
// a record cut short by the end of the file.
TEST_F(FrameStoreTest, RebuildsEveryFrameFromItsKeyAndLaterBands) {
    std::vector<Record> recs;
    recs.push_back(keyRecord(0));        // 0
    recs.push_back(bandRecord(1, 2, 3)); // 1
    recs.push_back(bandRecord(2, 0, 0)); // 2 top row
    recs.push_back(bandRecord(3, 5, 5)); // 3 bottom row
    Record same = bandRecord(4, 5, 5);
    same.data.clear();
    recs.push_back(same);           // 4 unchanged frame, empty band
    recs.push_back(blankRecord(5)); // 5 blank
    recs.push_back(keyRecord(6));   // 6
    Record wrong = bandRecord(7, 1, 2);
    wrong.data = rowsOf(7, 1, 3);         // 3 rows of data for a 2-row band
    recs.push_back(wrong);                // 7
    recs.push_back(keyRecord(8));         // 8
    Record past = bandRecord(9, 4, 6);    // row 6 is below the screen
    recs.push_back(past);                 // 9
    recs.push_back(keyRecord(10));        // 10
    recs.push_back(bandRecord(11, 1, 4)); // 11, cut short below
    DatFixture fx(path);
    for (const Record& r : recs)
        fx.add(r);
    const std::vector<SEditInfo> edit = fx.write(5);

    const Image zero(size_t(ROW) * H, 0);
    std::vector<Image> expected(recs.size());
    expected[0] = overlay(zero, recs[0]);
    for (size_t i = 1; i <= 4; ++i)
        expected[i] = overlay(expected[i - 1], recs[i]);
    expected[5] = zero;
    expected[6] = overlay(zero, recs[6]);
    expected[8] = overlay(zero, recs[8]);
    expected[10] = overlay(zero, recs[10]);

    struct Case {
        size_t frame;
        FrameStore::Result result;
    };
    const Case cases[] = {
        {0, FrameStore::Result::Ok},
        {1, FrameStore::Result::Ok},
        {2, FrameStore::Result::Ok},
        {3, FrameStore::Result::Ok},
        {4, FrameStore::Result::Ok},
        {5, FrameStore::Result::Ok},
        {6, FrameStore::Result::Ok},
        {7, FrameStore::Result::BadRecord},
        {8, FrameStore::Result::Ok},
        {9, FrameStore::Result::BadRecord},
        {10, FrameStore::Result::Ok},
        {11, FrameStore::Result::DataReadFailed},
        {12, FrameStore::Result::BadFrameIndex},
    };

    FrameStore store;
    ASSERT_TRUE(store.open(path, geometry())) << store.lastError();
    for (const Case& c : cases) {
        // A failed rebuild must not leave the previous picture behind.
        store.fillPixel(0xA5A5A5A5);
        SDatFrameHeader h;
        EXPECT_EQ(c.result, store.getEditFrame(edit, c.frame, h)) << "frame " << c.frame;
        if (c.result == FrameStore::Result::Ok) {
            EXPECT_EQ(h.frameNumber, c.frame) << "header of the frame itself";
            EXPECT_TRUE(store.workBuffer() == expected[c.frame]) << "frame " << c.frame;
            EXPECT_TRUE(store.lastError().empty());
        } else if (c.result != FrameStore::Result::BadFrameIndex) {
            EXPECT_TRUE(store.workBuffer() == zero) << "frame " << c.frame;
            EXPECT_NE(store.lastError().find("cannot be read"), std::string::npos) << store.lastError();
        }
    }
}

TEST_F(FrameStoreTest, KeyFrameIsTheNearestAtOrBefore) {
    auto edit = [](std::initializer_list<int> keys) {
        std::vector<SEditInfo> e;
        for (int k : keys) {
            SEditInfo i;
            i.keyFlag = k;
            e.push_back(i);
        }
        return e;
    };
    const auto table = edit({1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(0u, FrameStore::keyFrameFor(table, 0));
    EXPECT_EQ(0u, FrameStore::keyFrameFor(table, 2));
    EXPECT_EQ(3u, FrameStore::keyFrameFor(table, 3));
    EXPECT_EQ(3u, FrameStore::keyFrameFor(table, 9));
    EXPECT_EQ(10u, FrameStore::keyFrameFor(table, 10));
    EXPECT_EQ(0u, FrameStore::keyFrameFor(edit({0, 0, 0}), 2)) << "no key: start at frame 0";
}

TEST_F(FrameStoreTest, BadHeaderOrOffsetIsReported) {
    DatFixture fx(path);
    fx.add(keyRecord(0));
    Record bad = keyRecord(1);
    bad.header.headerSize = 48;
    fx.add(bad);
    std::vector<SEditInfo> edit = fx.write();
    SEditInfo beyond = edit[0];
    beyond.recordOffset = 1 << 30; // past the end of the file
    edit.push_back(beyond);
    SEditInfo negative = edit[0];
    negative.recordOffset = -4;
    edit.push_back(negative);

    FrameStore store;
    ASSERT_TRUE(store.open(path, geometry()));
    SDatFrameHeader h;
    EXPECT_EQ(FrameStore::Result::BadRecord, store.getEditFrame(edit, 1, h));
    EXPECT_EQ(FrameStore::Result::HeaderReadFailed, store.getEditFrame(edit, 2, h));
    EXPECT_EQ(FrameStore::Result::SeekFailed, store.getEditFrame(edit, 3, h));
    EXPECT_EQ(FrameStore::Result::Ok, store.getEditFrame(edit, 0, h)) << "the store stays usable";
}

TEST_F(FrameStoreTest, GetFrameReadsTheRecordAsStored) {
    DatFixture fx(path);
    fx.add(keyRecord(0));
    fx.add(bandRecord(1, 2, 3));
    fx.add(blankRecord(2));
    Record wrong = bandRecord(3, 0, 0);
    wrong.data.resize(ROW + 3); // not whole rows
    fx.add(wrong);
    fx.add(keyRecord(4));
    std::vector<SEditInfo> edit = fx.write(1);
    SEditInfo negative = edit[0];
    negative.recordOffset = -1;
    edit.push_back(negative);

    FrameStore store;
    ASSERT_TRUE(store.open(path, geometry()));
    SDatFrameHeader h;
    std::vector<uint8_t> data;

    // A key record on a 24-bit screen grabbed at 4 bytes per pixel: 3 x W x H
    // bytes, record size to match, and room for the make's trailer.
    ASSERT_EQ(FrameStore::GETFRAME_OK, store.getFrame(edit, 0, h, data, true));
    EXPECT_EQ(3 * W * H + SDatFrameHeader::SIZE, h.recordSize);
    ASSERT_EQ(size_t(3 * W * H + 10), data.size());
    const auto key = rowsOf(0, 0, H - 1);
    EXPECT_EQ(key[4], data[3]);
    EXPECT_EQ(key[6], data[5]);
    EXPECT_EQ(key[ROW * H - 2], data[3 * W * H - 1]);

    ASSERT_EQ(FrameStore::GETFRAME_OK, store.getFrame(edit, 1, h, data, false, 0));
    EXPECT_TRUE(data == rowsOf(1, 2, 3));
    EXPECT_EQ(2 * ROW + SDatFrameHeader::SIZE, h.recordSize);

    EXPECT_EQ(FrameStore::GETFRAME_OK, store.getFrame(edit, 2, h, data));
    EXPECT_TRUE(data.empty()) << "a blank frame has no data";
    EXPECT_EQ(SDatFrameHeader::SIZE, h.recordSize);

    EXPECT_EQ(FrameStore::GETFRAME_READ_FAILED, store.getFrame(edit, 3, h, data)) << "length not whole rows";
    EXPECT_EQ(FrameStore::GETFRAME_READ_FAILED, store.getFrame(edit, 4, h, data)) << "data cut short";
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(FrameStore::GETFRAME_SEEK_FAILED, store.getFrame(edit, 5, h, data));
    EXPECT_EQ(FrameStore::GETFRAME_SEEK_FAILED, store.getFrame(edit, 6, h, data)) << "no such frame";
}

TEST_F(FrameStoreTest, GetFrameIntoFillsOnlyTheRecordsBytes) {
    DatFixture fx(path);
    fx.add(keyRecord(0));
    fx.add(bandRecord(1, 2, 3));
    std::vector<SEditInfo> edit = fx.write();
    FrameStore store;
    ASSERT_TRUE(store.open(path, geometry()));
    SDatFrameHeader h, into;
    std::vector<uint8_t> data;
    for (bool pack : {true, false}) {
        for (size_t n = 0; n < 2; ++n) {
            ASSERT_EQ(FrameStore::GETFRAME_OK, store.getFrame(edit, n, h, data, pack, 0));
            std::vector<uint8_t> buffer(ROW * H + 8, 0xEE);
            ASSERT_EQ(FrameStore::GETFRAME_OK,
                      store.getFrameInto(edit, n, into, buffer.data(), buffer.size(), pack));
            EXPECT_EQ(into.recordSize, h.recordSize);
            EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer.begin())) << n << (pack ? " packed" : "");
            EXPECT_TRUE(std::all_of(buffer.begin() + long(data.size()), buffer.end(), [](uint8_t b) {
                return b == 0xEE;
            })) << "nothing past the record";
        }
    }
    std::vector<uint8_t> small(2 * ROW - 1);
    EXPECT_EQ(FrameStore::GETFRAME_READ_FAILED, store.getFrameInto(edit, 1, into, small.data(), small.size()))
        << "a record larger than the room";
}

// A FIFO or a directory in place of the working frame file is refused at
// once; a FIFO opened plainly would wait for a writer.
TEST_F(FrameStoreTest, OpenRefusesWhatIsNotARegularFile) {
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    const std::string folder = dir.file("folder.dat");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::pair<std::string, std::string> cases[] = {{path, "not a regular file"},
                                                         {folder, "Is a directory"}};
    for (const auto& [p, reason] : cases) {
        FrameStore store;
        EXPECT_FALSE(store.open(p, geometry())) << p;
        EXPECT_FALSE(store.isOpen());
        EXPECT_EQ(store.lastError(), "Error opening file " + p + ": " + reason);
    }
}

TEST_F(FrameStoreTest, OpenFailsCleanlyAndReusesTheBuffer) {
    FrameStore store;
    EXPECT_FALSE(store.open(dir.file("missing.dat"), geometry()));
    EXPECT_FALSE(store.isOpen());
    EXPECT_NE(store.lastError().find("Error opening file"), std::string::npos);

    DatFixture fx(path);
    fx.add(keyRecord(0));
    const auto edit = fx.write();
    ASSERT_TRUE(store.open(path, geometry()));
    const uint8_t* buffer = store.workBuffer().data();
    ASSERT_TRUE(store.open(path, geometry())) << "a second project reopens";
    EXPECT_EQ(buffer, store.workBuffer().data()) << "same size: the buffer is kept";
    EXPECT_EQ(size_t(ROW) * H, store.workBuffer().size());

    EXPECT_FALSE(store.open(path, FrameGeometry{W, H, 3, 0})) << "3 bytes per pixel is no screen format";
    EXPECT_FALSE(store.isOpen());
    SDatFrameHeader h;
    EXPECT_EQ(FrameStore::Result::NotOpen, store.getEditFrame(edit, 0, h));
}

TEST_F(FrameStoreTest, FillPixelWritesEveryPixelInScreenByteOrder) {
    DatFixture fx(path);
    fx.add(keyRecord(0));
    fx.write();
    struct Case {
        uint32_t bpp;
        uint32_t pixel;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {4, 0x00C72216, {0x16, 0x22, 0xC7, 0x00}},
        {2, 0xF800, {0x00, 0xF8}},
        {1, 0x31, {0x31}},
    };
    for (const Case& c : cases) {
        FrameStore store;
        ASSERT_TRUE(store.open(path, FrameGeometry{W, H, c.bpp, 0}));
        store.fillPixel(c.pixel);
        const auto& buf = store.workBuffer();
        ASSERT_EQ(size_t(W) * H * c.bpp, buf.size());
        for (size_t i = 0; i < buf.size(); ++i)
            ASSERT_EQ(c.bytes[i % c.bpp], buf[i]) << "bpp " << c.bpp << " byte " << i;
    }
}

} // namespace

namespace {
TEST(PaletteChanges, ListsEntriesWhoseColourDiffers) {
    stdColormapArray a;
    for (size_t i = 0; i < a.colors.size(); ++i)
        a.colors[i].pixel = uint32_t(i);
    stdColormapArray b = a;
    b.colors[0].red = 1;
    b.colors[17].green = 0xFFFF;
    b.colors[255].blue = 2;
    b.colors[40].flags = 7; // flags are no colour
    EXPECT_EQ((std::vector<int>{0, 17, 255}), changedPaletteEntries(a, b));
    EXPECT_TRUE(changedPaletteEntries(a, a).empty());
}
} // namespace
