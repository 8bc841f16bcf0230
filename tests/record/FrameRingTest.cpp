#include "record/FrameRing.h"

#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <vector>

namespace {

std::vector<uint8_t> drained(const FrameRing& r) {
    std::vector<uint8_t> out;
    for (const auto& s : r.waiting())
        out.insert(out.end(), s.data, s.data + s.length);
    return out;
}

std::vector<uint8_t> bytes(size_t n, uint8_t first) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), first);
    return v;
}

TEST(FrameRing, EmptyRingCounts) {
    FrameRing r;
    r.allocate(10);
    EXPECT_EQ(r.readIndex(), 0u);
    EXPECT_EQ(r.writeIndex(), 1u);
    EXPECT_EQ(r.circularDifference(DATA_WAITING), 0u);
    EXPECT_EQ(r.circularDifference(SPACE_FREE), 9u);
    EXPECT_EQ(r.circularDifference(2), 0u);
    EXPECT_EQ(r.largestPiece(), 8u);
}

TEST(FrameRing, ExactFitWaitsForOneMoreByte) {
    FrameRing r;
    r.allocate(10);
    auto a = bytes(4, 1);
    r.copyFrame2Buffer(a.data(), a.size());
    EXPECT_EQ(r.circularDifference(SPACE_FREE), 5u);
    EXPECT_FALSE(r.hasRoomFor(5));
    EXPECT_TRUE(r.hasRoomFor(4));
    r.consume(1);
    EXPECT_TRUE(r.hasRoomFor(5));
}

TEST(FrameRing, PieceAcrossTheEndComesOutInOrder) {
    FrameRing r;
    r.allocate(10);
    auto a = bytes(6, 1);
    r.copyFrame2Buffer(a.data(), a.size());
    EXPECT_EQ(drained(r), a);
    r.consume(6);
    auto b = bytes(8, 100); // positions 7, 8, 9, 0, 1, ...
    ASSERT_TRUE(r.hasRoomFor(b.size()));
    r.copyFrame2Buffer(b.data(), b.size());
    auto spans = r.waiting();
    EXPECT_EQ(spans[0].length, 3u);
    EXPECT_EQ(spans[1].length, 5u);
    EXPECT_EQ(drained(r), b);
    EXPECT_EQ(r.circularDifference(SPACE_FREE), 1u);
}

// A long run of pieces of many sizes against a plain queue.
TEST(FrameRing, MatchesAQueueOverManyWraps) {
    FrameRing r;
    r.allocate(37);
    std::deque<uint8_t> model;
    uint8_t next = 0;
    for (int step = 0; step < 2000; ++step) {
        size_t want = size_t(step * 7 % 36);
        if (r.hasRoomFor(want)) {
            std::vector<uint8_t> piece(want);
            for (auto& b : piece)
                b = next++;
            r.copyFrame2Buffer(piece.data(), piece.size());
            model.insert(model.end(), piece.begin(), piece.end());
        }
        ASSERT_EQ(r.circularDifference(DATA_WAITING), model.size());
        ASSERT_EQ(r.circularDifference(SPACE_FREE), 36u - model.size());
        ASSERT_EQ(drained(r), std::vector<uint8_t>(model.begin(), model.end()));
        size_t take = std::min(model.size(), size_t(step * 5 % 23));
        r.consume(take);
        model.erase(model.begin(), model.begin() + long(take));
    }
}

} // namespace
