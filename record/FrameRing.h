// The byte ring between the capturing threads and the frame writer thread.
// Not thread-safe: NVBufferManager guards it with its ring mutex.
//
// With N the size, R the read index and W the write index, the bytes waiting
// are positions R + 1 .. W - 1 and the free ones W .. R - 1 (modulo N).
// Position R is never filled, so an empty ring (W = R + 1) differs from a
// full one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

enum TypeOfCheck { DATA_WAITING = 0, SPACE_FREE = 1 };

class FrameRing {
  public:
    struct Span {
        const uint8_t* data = nullptr;
        size_t length = 0;
    };

    FrameRing() = default;
    // Allocates a zero-filled ring; throws std::bad_alloc.
    void allocate(size_t size);
    void release();
    // Read index 0, write index 1: empty.
    void reset();

    size_t size() const { return m_buffer.size(); }
    size_t readIndex() const { return m_read; }
    size_t writeIndex() const { return m_write; }

    // DATA_WAITING: bytes waiting for the writer; SPACE_FREE: free positions;
    // any other value: 0.
    size_t circularDifference(int check) const;
    // A piece of `length` bytes may go in once the free positions number more
    // than that (an exact fit waits for one more byte).
    bool hasRoomFor(size_t length) const { return circularDifference(SPACE_FREE) > length; }
    // The largest piece the ring can ever take.
    size_t largestPiece() const { return m_buffer.size() >= 2 ? m_buffer.size() - 2 : 0; }

    // Copies `length` bytes in at the write index, wrapping at the end.
    // Requires hasRoomFor(length).
    void copyFrame2Buffer(const uint8_t* src, size_t length);
    // The waiting bytes in order, as at most two spans.
    std::array<Span, 2> waiting() const;
    // Frees the first `length` waiting bytes.
    void consume(size_t length);

  private:
    std::vector<uint8_t> m_buffer;
    size_t m_read = 0;
    size_t m_write = 1;
};
