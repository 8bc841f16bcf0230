#include "store/VideoBlocks.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

struct Screen {
    int width, height, bpp;
    size_t row() const { return size_t(width) * bpp; }
};

std::vector<uint8_t> noise(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v)
        b = uint8_t(gen());
    return v;
}

video::BlockGeometry geometry(const Screen& s, int top, int bottom) {
    video::BlockGeometry g;
    g.band = SRect{0, top, s.width - 1, bottom};
    g.rowBytes = s.row();
    g.bytesPerPixel = s.bpp;
    g.trim = video::blockTrim(SRect{0, 0, s.width, s.height}, 8, s.bpp);
    return g;
}

struct Change {
    int x, y;
};

struct Case {
    const char* name;
    Screen screen;
    int top, bottom;
    std::vector<Change> changes;
};

TEST(VideoBlocks, DeltaRoundTripRestoresTheBand) {
    const Case cases[] = {
        {"1024 wide, corners of the band", {1024, 64, 4}, 10, 29, {{0, 10}, {1023, 10}, {0, 29}, {1023, 29}}},
        {"1020 wide trims the last column", {1020, 40, 3}, 0, 39, {{1019, 0}, {1016, 39}, {500, 20}}},
        {"band height not a multiple of 8", {64, 50, 2}, 3, 13, {{63, 13}, {5, 3}, {8, 8}}},
        {"8-bit, odd width", {37, 20, 1}, 5, 5, {{36, 5}, {0, 5}}},
        {"whole screen, single row screen", {16, 1, 4}, 0, 0, {{15, 0}}},
    };
    for (auto& c : cases) {
        const Screen& s = c.screen;
        auto reference = noise(s.row() * s.height, 1);
        auto frame = reference;
        for (auto& ch : c.changes)
            for (int b = 0; b < s.bpp; ++b)
                frame[size_t(ch.y) * s.row() + size_t(ch.x) * s.bpp + b] ^= 0x5A;
        auto g = geometry(s, c.top, c.bottom);
        const uint8_t* band = frame.data() + size_t(c.top) * s.row();
        auto blocks = video::changedBlocks(reference.data() + size_t(c.top) * s.row(), band, g);
        EXPECT_FALSE(blocks.empty()) << c.name;
        auto chunk = video::deltaChunk(blocks, band, g);
        EXPECT_EQ(chunk.size(), 2 * blocks.size() + blocks.size() * 64 * s.bpp + 10) << c.name;
        auto t = video::readTrailer(chunk.data() + chunk.size() - 10);
        EXPECT_EQ(t.top, c.top);
        EXPECT_EQ(t.bottom, c.bottom);
        EXPECT_EQ(t.right, s.width - 1);
        EXPECT_EQ(t.blocks, blocks.size());

        auto rebuilt = reference;
        ASSERT_EQ(video::applyDeltaChunk(chunk.data(), chunk.size(), rebuilt.data(), s.width, s.height,
                                         s.row(), s.bpp, SRect{0, 0, s.width, s.height}),
                  video::DecodeResult::Ok)
            << c.name;
        EXPECT_EQ(rebuilt, frame) << c.name;
    }
}

TEST(VideoBlocks, BlockOrderAndColumns) {
    Screen s{1024, 16, 1};
    auto g = geometry(s, 0, 15);
    EXPECT_EQ(g.columns(), 129) << "a width that is a multiple of 8 has one more column than it fills";
    EXPECT_EQ(g.trim, 8u) << "computed, but the last column never holds a block";
    std::vector<uint8_t> ref(s.row() * 16, 0), cur = ref;
    cur[15 * s.row() + 0] = 1;   // block row 1, column 0 -> 129
    cur[1 * s.row() + 1023] = 1; // block row 0, column 127 -> 127
    auto blocks = video::changedBlocks(ref.data(), cur.data(), g);
    EXPECT_EQ(blocks, (std::vector<uint16_t>{127, 129})) << "scan order, not sorted";
}

TEST(VideoBlocks, BandsBeyondTheBlockIndexLimit) {
    EXPECT_FALSE(video::blocksFitIndices(geometry(Screen{1920, 1080, 4}, 0, 1079)))
        << "241 x 136 = 32776 blocks";
    EXPECT_TRUE(video::blocksFitIndices(geometry(Screen{1920, 1080, 4}, 0, 1070)));
    EXPECT_TRUE(video::blocksFitIndices(geometry(Screen{1024, 768, 4}, 0, 767)));
}

TEST(VideoBlocks, TrimmedBlockSavesItsBytes) {
    Screen s{1020, 8, 2};
    auto g = geometry(s, 0, 7);
    EXPECT_EQ(g.trim, 8u) << "4 pixels of 2 bytes";
    std::vector<uint8_t> band(s.row() * 8, 7), dest(128, 0);
    EXPECT_EQ(video::copyOneBlock(127, dest.data(), band.data(), g), 8u * 8u);
    EXPECT_EQ(video::copyOneBlock(0, dest.data(), band.data(), g), 0u);
}

TEST(VideoBlocks, SkippedRowsOfTheLastBlockRow) {
    Screen s{8, 3, 1};
    auto g = geometry(s, 0, 2);
    std::vector<uint8_t> band = {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3};
    std::vector<uint8_t> dest(64, 0xEE);
    EXPECT_EQ(video::copyOneBlock(0, dest.data(), band.data(), g), 0u);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(dest[i], 0xEE) << "five skipped rows carry nothing";
    EXPECT_EQ(dest[40], 3) << "bottom row first";
    EXPECT_EQ(dest[48], 2);
    EXPECT_EQ(dest[56], 1);
}

TEST(VideoBlocks, UnchangedBandIsJustTheTrailer) {
    Screen s{64, 8, 4};
    auto img = noise(s.row() * 8, 3);
    auto g = geometry(s, 0, 7);
    auto blocks = video::changedBlocks(img.data(), img.data(), g);
    EXPECT_TRUE(blocks.empty());
    EXPECT_EQ(video::deltaChunk(blocks, img.data(), g).size(), 10u);
}

TEST(VideoBlocks, KeyChunkIsBottomUp) {
    Screen s{3, 4, 3};
    std::vector<uint8_t> img(s.row() * 4);
    for (int y = 0; y < 4; ++y)
        for (size_t i = 0; i < s.row(); ++i)
            img[y * s.row() + i] = uint8_t(y * 16 + i);
    auto chunk = video::keyChunk(img.data(), 3, 4, s.row(), 3, SRect{0, 0, 2, 3});
    ASSERT_EQ(chunk.size(), 36u + 10u);
    EXPECT_EQ(chunk[0], 3 * 16) << "bottom row first";
    EXPECT_EQ(video::readTrailer(chunk.data() + 36).blocks, 0);
    std::vector<uint8_t> back(img.size());
    ASSERT_EQ(video::decodeKeyChunk(chunk.data(), chunk.size(), back.data(), 3, 4, s.row(), 3),
              video::DecodeResult::Ok);
    EXPECT_EQ(back, img);
    EXPECT_EQ(video::decodeKeyChunk(chunk.data(), 20, back.data(), 3, 4, s.row(), 3),
              video::DecodeResult::BadLength);
}

TEST(VideoBlocks, MalformedDeltaChunksAreRefused) {
    Screen s{64, 16, 1};
    std::vector<uint8_t> img(s.row() * 16, 0);
    auto make = [](uint16_t index, video::Trailer t, size_t blockBytes) {
        std::vector<uint8_t> c(2 + blockBytes + 10, 0);
        rec::writeLe16(c.data(), index);
        video::writeTrailer(c.data() + 2 + blockBytes, t);
        return c;
    };
    const SRect ref{0, 0, 64, 16};
    struct Bad {
        const char* name;
        std::vector<uint8_t> chunk;
        video::DecodeResult want;
    } bad[] = {
        {"index past the band", make(500, {0, 63, 0, 15, 1}, 64), video::DecodeResult::BadIndex},
        {"band below the image", make(0, {0, 63, 10, 30, 1}, 64), video::DecodeResult::BadTrailer},
        {"band wider than the image", make(0, {0, 99, 0, 7, 1}, 64), video::DecodeResult::BadTrailer},
        {"inverted band", make(0, {0, 63, 9, 2, 1}, 64), video::DecodeResult::BadTrailer},
        {"more blocks than bytes", make(0, {0, 63, 0, 7, 9}, 64), video::DecodeResult::BadLength},
        {"shorter than a trailer", std::vector<uint8_t>(4, 0), video::DecodeResult::BadLength},
    };
    for (auto& b : bad)
        EXPECT_EQ(video::applyDeltaChunk(b.chunk.data(), b.chunk.size(), img.data(), 64, 16, 64, 1, ref),
                  b.want)
            << b.name;
}

} // namespace

TEST(VideoPixels, CopyWidensAndPacksEveryPixelOfARow) {
    // Lengths around the four- and sixteen-pixel steps, so the steps and the
    // tails all run; nothing past the row is written.
    constexpr size_t GUARD = 32;
    for (size_t n : {0u, 1u, 3u, 4u, 5u, 9u, 15u, 16u, 17u, 19u, 20u, 31u, 32u, 35u, 64u, 1919u, 1920u}) {
        std::vector<uint8_t> three(3 * n), four(4 * n + GUARD, 0xEE), back(3 * n + GUARD, 0xEE);
        for (size_t i = 0; i < three.size(); ++i)
            three[i] = uint8_t(i * 7 + 1);
        video::copyPixels(four.data(), three.data(), n, 3, 4);
        for (size_t x = 0; x < n; ++x) {
            EXPECT_EQ(0, std::memcmp(&four[4 * x], &three[3 * x], 3)) << n << " pixels, pixel " << x;
            EXPECT_EQ(four[4 * x + 3], 0) << n << " pixels, pixel " << x;
        }
        EXPECT_EQ(std::vector<uint8_t>(four.begin() + 4 * n, four.end()), std::vector<uint8_t>(GUARD, 0xEE))
            << n << " pixels";
        if (n > 0)
            four[4 * n - 1] = 0x55; // a fourth byte that is not zero is dropped
        video::copyPixels(back.data(), four.data(), n, 4, 3);
        EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + 3 * n), three) << n << " pixels";
        EXPECT_EQ(std::vector<uint8_t>(back.begin() + 3 * n, back.end()), std::vector<uint8_t>(GUARD, 0xEE))
            << n << " pixels";
    }
}
