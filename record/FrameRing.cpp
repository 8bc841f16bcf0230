#include "record/FrameRing.h"

#include <algorithm>
#include <cstring>

void FrameRing::allocate(size_t size) {
    std::vector<uint8_t> fresh(size, 0);
    m_buffer.swap(fresh);
    reset();
}

void FrameRing::release() {
    std::vector<uint8_t>().swap(m_buffer);
    reset();
}

void FrameRing::reset() {
    m_read = 0;
    m_write = m_buffer.empty() ? 0 : 1 % m_buffer.size();
}

size_t FrameRing::circularDifference(int check) const {
    const size_t n = m_buffer.size();
    if (n < 2)
        return 0;
    const size_t waiting = (m_write + n - m_read - 1) % n;
    switch (check) {
    case DATA_WAITING:
        return waiting;
    case SPACE_FREE:
        return n - 1 - waiting;
    default:
        return 0;
    }
}

void FrameRing::copyFrame2Buffer(const uint8_t* src, size_t length) {
    const size_t n = m_buffer.size();
    if (length == 0 || n == 0)
        return;
    const size_t first = std::min(length, n - m_write);
    std::memcpy(&m_buffer[m_write], src, first);
    if (length > first)
        std::memcpy(&m_buffer[0], src + first, length - first);
    m_write = (m_write + length) % n;
}

std::array<FrameRing::Span, 2> FrameRing::waiting() const {
    std::array<Span, 2> spans{};
    const size_t n = m_buffer.size();
    const size_t count = circularDifference(DATA_WAITING);
    if (count == 0)
        return spans;
    const size_t start = (m_read + 1) % n;
    const size_t first = std::min(count, n - start);
    spans[0] = {&m_buffer[start], first};
    if (count > first)
        spans[1] = {&m_buffer[0], count - first};
    return spans;
}

void FrameRing::consume(size_t length) {
    if (m_buffer.empty())
        return;
    m_read = (m_read + length) % m_buffer.size();
}
