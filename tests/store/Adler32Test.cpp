#include "store/Deflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

uint32_t zlibAdler(uint32_t adler, const uint8_t* p, size_t n) {
    return uint32_t(adler32(adler, p, uInt(n)));
}

} // namespace

// The sum must equal zlib's for any length and start, including the lengths
// around the sixteen-byte steps and the blocks between reductions, and for
// bytes of 0xFF, whose sums come nearest to overflowing.
TEST(Adler32, EqualsZlibsSumForEveryLengthAndStart) {
    std::mt19937 random(7);
    std::vector<uint8_t> noise(3 << 20);
    for (auto& b : noise)
        b = uint8_t(random());
    std::vector<uint8_t> full(3 << 20, 0xFF);
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 80; ++n)
        lengths.push_back(n);
    for (size_t n : {5536u, 5551u, 5552u, 5553u, 5568u, 11104u, 11105u, 65536u, 1000003u, 3u << 20})
        lengths.push_back(n);
    for (const std::vector<uint8_t>* bytes : {&noise, &full})
        for (size_t start : {0u, 1u, 7u, 15u})
            for (size_t n : lengths) {
                if (start + n > bytes->size())
                    continue;
                const uint8_t* p = bytes->data() + start;
                ASSERT_EQ(adler32Of(1, p, n), zlibAdler(1, p, n)) << n << " bytes from " << start;
            }
}

TEST(Adler32, CarriesOnFromAnEarlierSum) {
    std::vector<uint8_t> bytes(100000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 131 + (i >> 9));
    const uint32_t whole = zlibAdler(1, bytes.data(), bytes.size());
    for (size_t cut : {0u, 1u, 17u, 5552u, 70001u, 100000u})
        EXPECT_EQ(adler32Of(adler32Of(1, bytes.data(), cut), bytes.data() + cut, bytes.size() - cut), whole)
            << "cut at " << cut;
}
