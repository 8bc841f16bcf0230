#include "capture/BandFinder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using capture::Band;

constexpr int kRows = 20;
constexpr size_t kRowBytes = 12; // 3 pixels of 4 bytes

struct BandCase {
    std::string name;
    std::vector<std::pair<int, size_t>> changes; // (row, byte in row)
    Band expected;
};

// An image with padded rows and the previous frame it came from.
struct Frames {
    size_t stride;
    std::vector<uint8_t> image;
    std::vector<uint8_t> previous;

    explicit Frames(size_t s) : stride(s), image(s * kRows), previous(kRowBytes * kRows) {
        for (int y = 0; y < kRows; ++y)
            for (size_t x = 0; x < kRowBytes; ++x) {
                uint8_t v = uint8_t(y * 31 + x * 7 + 1);
                image[y * stride + x] = v;
                previous[y * kRowBytes + x] = v;
            }
        // Padding differs from everything: it must never count as a change.
        for (int y = 0; y < kRows; ++y)
            for (size_t x = kRowBytes; x < stride; ++x)
                image[y * stride + x] = 0xEE;
    }
    void change(int row, size_t byte) { image[row * stride + byte] ^= 0x5A; }
    Band find() const {
        return capture::findChangedBand(image.data(), stride, previous.data(), kRowBytes, kRows);
    }
};

class BandFinderTable : public ::testing::TestWithParam<std::tuple<BandCase, size_t>> {};

TEST_P(BandFinderTable, FindsBandAndCopiesIt) {
    const BandCase& c = std::get<0>(GetParam());
    Frames f(std::get<1>(GetParam()));
    for (auto [row, byte] : c.changes)
        f.change(row, byte);

    Band b = f.find();
    EXPECT_EQ(b.top, c.expected.top);
    EXPECT_EQ(b.bottom, c.expected.bottom);

    std::vector<uint8_t> before = f.previous;
    capture::copyBand(f.image.data(), f.stride, f.previous.data(), kRowBytes, b);
    for (int y = 0; y < kRows; ++y) {
        const uint8_t* want = (y >= b.top && y <= b.bottom) ? &f.image[y * f.stride] : &before[y * kRowBytes];
        EXPECT_EQ(0, memcmp(&f.previous[y * kRowBytes], want, kRowBytes)) << "row " << y;
    }
    // Every change lies in the band, so the buffer now equals the image.
    for (int y = 0; y < kRows; ++y)
        EXPECT_EQ(0, memcmp(&f.previous[y * kRowBytes], &f.image[y * f.stride], kRowBytes)) << "row " << y;
    EXPECT_EQ(f.find(), (Band{kRows - 1, kRows - 1}));
}

const BandCase kCases[] = {
    {"Unchanged", {}, {kRows - 1, kRows - 1}},
    {"RowZeroOnly", {{0, 0}}, {0, 0}},
    {"BottomRowOnly", {{kRows - 1, 3}}, {kRows - 1, kRows - 1}},
    {"BottomRowAndRowFive", {{kRows - 1, 0}, {5, 4}}, {5, kRows - 1}},
    {"RowsFiveAndTen", {{5, 0}, {10, 11}}, {5, 10}},
    {"LastPixelOfARow", {{7, kRowBytes - 1}}, {7, 7}},
    {"FirstAndLastRow", {{0, 5}, {kRows - 1, 5}}, {0, kRows - 1}},
    {"NextToLastRow", {{kRows - 2, 0}}, {kRows - 2, kRows - 2}},
};

INSTANTIATE_TEST_SUITE_P(Cases, BandFinderTable,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values(kRowBytes, kRowBytes + 4)),
                         [](const auto& info) {
                             return std::get<0>(info.param).name +
                                    (std::get<1>(info.param) == kRowBytes ? "_Unpadded" : "_Padded");
                         });

TEST(BandFinder, SingleRowScreen) {
    uint8_t image[4] = {1, 2, 3, 4};
    uint8_t previous[4] = {1, 2, 3, 4};
    EXPECT_EQ(capture::findChangedBand(image, 4, previous, 4, 1), (Band{0, 0}));
    image[3] = 9;
    EXPECT_EQ(capture::findChangedBand(image, 4, previous, 4, 1), (Band{0, 0}));
}

} // namespace
