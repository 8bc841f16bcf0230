// The ring with plain fill and drain steps: what the consumer gets is exactly
// a prefix of what the producer made, a run always ends, and the stop flag
// leaves the segment it was seen after uncounted.
#include "media/SoundRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int SEG = SoundRing::SEGMENT_SIZE;

uint8_t pattern(size_t i, int seed = 0) {
    return uint8_t((i + size_t(seed) * 7) % 251);
}

// A source of pattern bytes that hands out `available` bytes at most and then
// reports its end, like a file; `failAt` makes the step that reaches it fail.
struct Source {
    size_t available = 0;
    size_t failAt = SIZE_MAX;
    int seed = 0;
    size_t made = 0;
    long fill(uint8_t* dst, size_t n) {
        if (made + n > failAt)
            return -1;
        const size_t k = std::min(n, available - made);
        for (size_t i = 0; i < k; ++i)
            dst[i] = pattern(made + i, seed);
        made += k;
        return long(k);
    }
};

// Collects what the consumer drains; fails at the drain step `failAtStep`.
struct Sink {
    std::vector<uint8_t> bytes;
    int failAtStep = -1;
    std::atomic<int> steps{0};
    bool drain(const uint8_t* src, size_t n) {
        if (steps.load() == failAtStep)
            return false;
        bytes.insert(bytes.end(), src, src + n);
        ++steps;
        return true;
    }
};

struct Outcome {
    SoundRing::Result produced, consumed;
};

// Runs both sides on their own threads; a run that does not end is a failure
// that ends the test program rather than hang it.
Outcome run(SoundRing& ring, const SoundRing::Fill& fill, const SoundRing::Drain& drain, double limit,
            int frame = 1, const std::function<void()>& during = {}) {
    ring.reset();
    Outcome out;
    auto done = std::async(std::launch::async, [&] {
        std::thread producer([&] { out.produced = ring.produce(fill, limit); });
        std::thread consumer([&] { out.consumed = ring.consume(drain, limit, frame); });
        producer.join();
        consumer.join();
    });
    if (during)
        during();
    if (done.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        fprintf(stderr, "the ring run did not end\n");
        std::abort();
    }
    return out;
}

bool isPattern(const std::vector<uint8_t>& bytes, int seed = 0) {
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != pattern(i, seed))
            return false;
    return true;
}

// A producer whose steps wait for permits, as a device waits for samples; it
// ends its source when the stop flag is up.
struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    int permits = 0;
    bool open = false;
    void allow(int n) {
        std::lock_guard<std::mutex> g(lock);
        permits += n;
        changed.notify_all();
    }
    void release() {
        std::lock_guard<std::mutex> g(lock);
        open = true;
        changed.notify_all();
    }
    bool take() { // false: the source has ended
        std::unique_lock<std::mutex> g(lock);
        changed.wait(g, [this] { return permits > 0 || open; });
        if (permits == 0)
            return false;
        --permits;
        return true;
    }
};

void waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 30000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(condition());
}

struct GatedCase {
    const char* name;
    int segmentsLet; // segments the device delivers before Stop
};

class SoundRingGatedTest : public ::testing::TestWithParam<GatedCase> {};

// Stop raised while the consumer waits for the next segment: every segment
// let through was drained, the last one is not counted, and nothing else came.
TEST_P(SoundRingGatedTest, StopCountsWholeSegmentsOfProducedBytes) {
    const GatedCase c = GetParam();
    SoundRing ring;
    Gate gate;
    size_t made = 0;
    Sink sink;
    const Outcome out = run(
        ring,
        [&](uint8_t* dst, size_t n) -> long {
            if (!gate.take())
                return 0;
            for (size_t i = 0; i < n; ++i)
                dst[i] = pattern(made + i);
            made += n;
            return long(n);
        },
        [&](const uint8_t* src, size_t n) { return sink.drain(src, n); }, 2147483647.0, 1,
        [&] {
            gate.allow(c.segmentsLet);
            waitFor([&] { return sink.steps.load() == c.segmentsLet; });
            ring.stop();
            gate.release();
        });
    EXPECT_FALSE(out.produced.failed);
    EXPECT_FALSE(out.consumed.failed);
    EXPECT_EQ(out.consumed.segments, c.segmentsLet - 1);
    EXPECT_EQ(out.consumed.bytes, double(c.segmentsLet - 1) * SEG);
    EXPECT_EQ(sink.bytes.size(), size_t(c.segmentsLet) * SEG);
    EXPECT_TRUE(isPattern(sink.bytes));
}

INSTANTIATE_TEST_SUITE_P(Rows, SoundRingGatedTest,
                         ::testing::Values(GatedCase{"StopInTheFirstSegment", 1}, GatedCase{"FewSegments", 5},
                                           GatedCase{"PastSegment511", 600}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlayCase {
    const char* name;
    size_t clipSize;  // the limit both sides are given
    size_t available; // bytes the source really has
    size_t expected;  // bytes the device gets: whole 4-byte frames per segment
};

class SoundRingPlayTest : public ::testing::TestWithParam<PlayCase> {};

TEST_P(SoundRingPlayTest, DeviceGetsWholeFramesOfEachFilledSegment) {
    const PlayCase c = GetParam();
    SoundRing ring;
    Source source{c.available};
    Sink sink;
    const Outcome out = run(
        ring, [&](uint8_t* d, size_t n) { return source.fill(d, n); },
        [&](const uint8_t* s, size_t n) { return sink.drain(s, n); }, double(c.clipSize), 4);
    EXPECT_EQ(sink.bytes.size(), c.expected);
    EXPECT_EQ(out.consumed.bytes, double(std::min(c.clipSize, c.available)));
    // The bytes that reach the device are those of the clip, in order, minus
    // the ragged end of a segment.
    for (size_t i = 0; i < sink.bytes.size(); ++i)
        ASSERT_EQ(sink.bytes[i], pattern(i)) << "at " << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, SoundRingPlayTest,
                         ::testing::Values(PlayCase{"Empty", 0, 0, 0},
                                           PlayCase{"Bytes1000", 1000, 1000, 1000},
                                           PlayCase{"ThreeWholeSegments", 3 * SEG, 3 * SEG, 3 * SEG},
                                           PlayCase{"OneByteOver", SEG + 1, SEG + 1, SEG},
                                           PlayCase{"SourceShorterThanClip", 2 * SEG, SEG + 904, SEG + 904},
                                           PlayCase{"ThreeRings", 3 * SoundRing::RING_SIZE + 10,
                                                    3 * SoundRing::RING_SIZE + 10,
                                                    3 * SoundRing::RING_SIZE + 8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SoundRingTest, ProducerFailureKeepsEverySegmentFilledBeforeIt) {
    SoundRing ring;
    Source source{SIZE_MAX, 3 * SEG + 100};
    Sink sink;
    const Outcome out = run(
        ring, [&](uint8_t* d, size_t n) { return source.fill(d, n); },
        [&](const uint8_t* s, size_t n) { return sink.drain(s, n); }, 2147483647.0);
    EXPECT_TRUE(out.produced.failed);
    EXPECT_FALSE(out.consumed.failed);
    EXPECT_EQ(out.consumed.bytes, 3.0 * SEG);
    EXPECT_EQ(sink.bytes.size(), size_t(3 * SEG));
    EXPECT_TRUE(isPattern(sink.bytes));
}

TEST(SoundRingTest, ConsumerFailureEndsAnEndlessProducer) {
    SoundRing ring;
    Source source{SIZE_MAX};
    Sink sink;
    sink.failAtStep = 2;
    const Outcome out = run(
        ring, [&](uint8_t* d, size_t n) { return source.fill(d, n); },
        [&](const uint8_t* s, size_t n) { return sink.drain(s, n); }, 2147483647.0);
    EXPECT_TRUE(out.consumed.failed);
    EXPECT_FALSE(out.produced.failed);
    EXPECT_EQ(out.consumed.bytes, 2.0 * SEG);
    EXPECT_TRUE(isPattern(sink.bytes));
}

TEST(SoundRingTest, SecondRunStartsAfreshOnTheSameRing) {
    SoundRing ring;
    for (int seed : {1, 2}) {
        Source source{5 * SEG + 12, SIZE_MAX, seed};
        Sink sink;
        const Outcome out = run(
            ring, [&](uint8_t* d, size_t n) { return source.fill(d, n); },
            [&](const uint8_t* s, size_t n) { return sink.drain(s, n); }, 2147483647.0);
        EXPECT_EQ(out.consumed.bytes, double(5 * SEG + 12)) << "run " << seed;
        EXPECT_EQ(sink.bytes.size(), size_t(5 * SEG + 12)) << "run " << seed;
        EXPECT_TRUE(isPattern(sink.bytes, seed)) << "run " << seed;
    }
}

} // namespace
