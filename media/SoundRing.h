// The sound engine's ring: 512 segments of 4096 bytes between a producer
// (the side that fills segments: the device when recording, the clip file when
// playing) and a consumer (the other side). Each segment has its own mutex and
// the two workers take them hand-over-hand: the next segment is locked before
// the current one is released, so neither side can enter a segment the other
// has not left. A start mutex and condition let the consumer take segment 0
// only after the producer holds it, and the producer waits on the
// consumer-started condition before it first wraps onto segment 0.
//
// One run: reset(), then produce() and consume() on two threads. The fill and
// drain steps are plain functions, so the ring knows no device and no file.
// The consumer ends once the producer has ended and every filled segment is
// drained; the producer ends when the consumer has ended early. The stop flag
// is read once per segment: a segment drained when the stop is seen is not
// counted.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class SoundRing {
  public:
    static constexpr int SEGMENT_COUNT = 512;
    static constexpr int SEGMENT_SIZE = 4096;
    static constexpr int RING_SIZE = SEGMENT_COUNT * SEGMENT_SIZE; // 2,097,152

    // Puts up to n bytes at dst; gives the bytes put (0: the source has ended)
    // or -1 on failure.
    using Fill = std::function<long(uint8_t* dst, size_t n)>;
    // Moves the n bytes at src on; false on failure.
    using Drain = std::function<bool(const uint8_t* src, size_t n)>;

    struct Result {
        double bytes = 0;    // counted bytes
        int segments = 0;    // segments filled (producer) or counted (consumer)
        bool failed = false; // a fill or drain step failed
    };

    // Allocates the ring; throws std::bad_alloc.
    SoundRing();

    // Before every run: no segment filled, both sides not started, no stop.
    void reset();

    // The producer's loop: fills at most `limit` bytes.
    Result produce(const Fill& fill, double limit);
    // The consumer's loop: drains each filled segment, cut to whole frames of
    // `frameBytes` bytes (the rest of a segment is dropped), until `limit`
    // bytes are counted.
    Result consume(const Drain& drain, double limit, int frameBytes = 1);

    // Raises the stop flag; any thread, any time.
    void stop() { m_stop.store(true); }
    bool stopRequested() const { return m_stop.load(); }

  private:
    // Locks the segment after `segment`, then releases `segment`.
    int moveOn(int segment);

    std::unique_ptr<uint8_t[]> m_ring;
    std::vector<uint32_t> m_counts; // bytes held by each segment
    std::unique_ptr<std::mutex[]> m_segments;

    std::mutex m_startLock;
    std::condition_variable m_startCondition;
    int m_startState = 0; // 2 once the producer holds segment 0

    std::mutex m_handOverLock;
    std::condition_variable m_consumerStartedCondition;
    bool m_consumerStarted = false;

    std::atomic<bool> m_stop{false};
    std::atomic<long> m_filled{0}; // segments filled so far in this run
    std::atomic<bool> m_consumerEnded{false};
};
