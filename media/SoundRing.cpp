#include "media/SoundRing.h"

#include <algorithm>

SoundRing::SoundRing()
    : m_ring(new uint8_t[RING_SIZE]), m_counts(SEGMENT_COUNT, 0), m_segments(new std::mutex[SEGMENT_COUNT]) {}

void SoundRing::reset() {
    std::fill(m_counts.begin(), m_counts.end(), 0);
    m_startState = 0;
    m_consumerStarted = false;
    m_stop.store(false);
    m_filled.store(0);
    m_consumerEnded.store(false);
}

int SoundRing::moveOn(int segment) {
    const int next = (segment + 1) % SEGMENT_COUNT;
    m_segments[next].lock();
    m_segments[segment].unlock();
    return next;
}

SoundRing::Result SoundRing::produce(const Fill& fill, double limit) {
    Result result;
    int segment = 0;
    m_segments[0].lock();
    {
        std::lock_guard<std::mutex> g(m_startLock);
        m_startState = 2;
    }
    m_startCondition.notify_all();

    long index = 0;
    while (result.bytes < limit && !m_consumerEnded.load()) {
        const size_t n = size_t(std::min<double>(SEGMENT_SIZE, limit - result.bytes));
        const long got = fill(m_ring.get() + size_t(segment) * SEGMENT_SIZE, n);
        if (got < 0) {
            result.failed = true;
            break;
        }
        if (got == 0)
            break;
        const uint32_t put = uint32_t(std::min<long>(got, long(n)));
        m_counts[size_t(segment)] = put;
        m_filled.store(++index);
        ++result.segments;
        if (index == SEGMENT_COUNT) {
            // Segment 0 is refilled only after the consumer has taken it.
            std::unique_lock<std::mutex> g(m_handOverLock);
            m_consumerStartedCondition.wait(g, [this] { return m_consumerStarted; });
        }
        segment = moveOn(segment);
        if (m_stop.load())
            break;
        result.bytes += double(put);
    }
    m_segments[segment].unlock();
    return result;
}

SoundRing::Result SoundRing::consume(const Drain& drain, double limit, int frameBytes) {
    Result result;
    int segment = 0;
    {
        std::unique_lock<std::mutex> g(m_startLock);
        m_startCondition.wait(g, [this] { return m_startState == 2; });
        m_segments[0].lock();
        {
            std::lock_guard<std::mutex> h(m_handOverLock);
            m_consumerStarted = true;
        }
        m_consumerStartedCondition.notify_all();
    }

    long index = 0;
    const uint32_t frame = uint32_t(std::max(frameBytes, 1));
    while (result.bytes < limit) {
        // The producer left this segment either filled or at its end.
        if (index >= m_filled.load())
            break;
        const uint32_t k = m_counts[size_t(segment)];
        const uint32_t whole = k - k % frame;
        if (whole > 0 && !drain(m_ring.get() + size_t(segment) * SEGMENT_SIZE, whole)) {
            result.failed = true;
            break;
        }
        segment = moveOn(segment);
        ++index;
        if (m_stop.load())
            break;
        result.bytes += double(k);
        ++result.segments;
    }
    m_consumerEnded.store(true);
    m_segments[segment].unlock();
    return result;
}
