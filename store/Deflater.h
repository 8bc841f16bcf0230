// One zlib stream kept for many compressions: the same bytes as zlib's
// compress(), without a new stream, its tables and their clearing each time.
// Not shared between threads; each thread keeps its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Deflater {
  public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Room that always holds the compressed form of `length` bytes.
    static size_t bound(size_t length);
    // Compresses `length` bytes into `out` (`room` bytes, at least bound());
    // `written` receives the compressed length. False when zlib fails.
    bool compress(const uint8_t* in, size_t length, uint8_t* out, size_t room, size_t& written);

  private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

// Whether the processor has the SSSE3 byte shuffle (checked once); the
// loops that use it have a plain twin for the others.
bool processorHasByteShuffle();

// The Adler-32 sum of zlib's streams, carried on from `adler` (1 to start):
// the same value as zlib's adler32(), many bytes a step.
uint32_t adler32Of(uint32_t adler, const uint8_t* p, size_t n);

// Asks for huge pages where whole ones fit in [p, p + n): the first touch of
// fresh memory then costs one fault per 2 MiB, not one per 4 KiB page. Call
// it before the bytes are first written; no effect where the system has none.
void adviseHugePages(void* p, size_t n);
// `bytes` as n zero bytes, in fresh room that asks for huge pages (a picture
// used for the life of its owner).
void zeroFilledOnHugePages(std::vector<uint8_t>& bytes, size_t n);

// Bytes sized once and reused: growing does not copy or zero-fill them, so
// only the bytes a frame writes are ever touched. Large buffers are mapped
// from the system, on huge pages where they can be, and given back whole when
// freed, so that memory in use is what the buffers hold and nothing more.
class ByteBuffer {
  public:
    ByteBuffer() = default;
    ~ByteBuffer() { release(); }
    ByteBuffer(ByteBuffer&& o) noexcept : m_data(o.m_data), m_capacity(o.m_capacity), m_mapped(o.m_mapped) {
        o.m_data = nullptr;
        o.m_capacity = 0;
        o.m_mapped = false;
    }
    ByteBuffer& operator=(ByteBuffer&& o) noexcept {
        if (this != &o) {
            release();
            m_data = o.m_data;
            m_capacity = o.m_capacity;
            m_mapped = o.m_mapped;
            o.m_data = nullptr;
            o.m_capacity = 0;
            o.m_mapped = false;
        }
        return *this;
    }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    uint8_t* data() { return m_data; }
    const uint8_t* data() const { return m_data; }
    size_t capacity() const { return m_capacity; }
    // Room for at least n bytes; the contents are lost when it grows.
    // Throws std::bad_alloc when there is no memory.
    void reserve(size_t n);

  private:
    void release();

    uint8_t* m_data = nullptr;
    size_t m_capacity = 0;
    bool m_mapped = false;
};
