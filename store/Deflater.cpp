#include "store/Deflater.h"

#include <zlib.h>

#include <climits>
#include <new>
#include <sys/mman.h>

struct Deflater::Stream {
    z_stream z{};
    bool ready = false;
};

Deflater::Deflater() : m_stream(new Stream) {
    m_stream->ready = deflateInit(&m_stream->z, Z_DEFAULT_COMPRESSION) == Z_OK;
}

Deflater::~Deflater() {
    if (m_stream->ready)
        deflateEnd(&m_stream->z);
}

size_t Deflater::bound(size_t length) {
    return size_t(compressBound(uLong(length)));
}

bool Deflater::compress(const uint8_t* in, size_t length, uint8_t* out, size_t room, size_t& written) {
    written = 0;
    z_stream& z = m_stream->z;
    if (!m_stream->ready || deflateReset(&z) != Z_OK || length > UINT_MAX || room < bound(length))
        return false;
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = uInt(length);
    z.next_out = out;
    z.avail_out = uInt(room > UINT_MAX ? UINT_MAX : room);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        return false;
    written = size_t(z.total_out);
    return true;
}

namespace {
// From this size on, buffers are mapped.
constexpr size_t MAPPED = 1 << 20;
} // namespace

void ByteBuffer::reserve(size_t n) {
    if (n <= m_capacity)
        return;
    release();
    if (n >= MAPPED) {
        void* p = mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        m_data = static_cast<uint8_t*>(p);
        m_mapped = true;
    } else {
        m_data = new uint8_t[n];
        m_mapped = false;
    }
    m_capacity = n;
}

void ByteBuffer::release() {
    if (m_mapped)
        munmap(m_data, m_capacity);
    else
        delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_mapped = false;
}
