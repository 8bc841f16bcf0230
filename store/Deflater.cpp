#include "store/Deflater.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

constexpr uint32_t ADLER_BASE = 65521;
// Bytes a step before the sums are reduced; zlib's own limit for 32-bit sums.
constexpr size_t ADLER_BLOCK = 5552;

#if defined(__x86_64__) || defined(__i386__)
// Sixteen bytes a step: the byte sums by psadbw, the weighted sums by
// pmaddubsw; the sums of the steps before feed s2 sixteen times each.
__attribute__((target("ssse3"))) uint32_t adler32InRegisters(uint32_t adler, const uint8_t* p, size_t n) {
    uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_setr_epi8(16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m128i ones = _mm_set1_epi16(1);
    auto total = [](__m128i v) {
        v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4E));
        v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xB1));
        return uint64_t(uint32_t(_mm_cvtsi128_si32(v)));
    };
    while (n >= 16) {
        const size_t block = std::min(n, ADLER_BLOCK) & ~size_t(15);
        __m128i sums = zero, before = zero, weighted = zero;
        for (const uint8_t* end = p + block; p < end; p += 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            before = _mm_add_epi32(before, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(b, zero));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_maddubs_epi16(b, weights), ones));
        }
        const uint64_t t2 = uint64_t(s2) + uint64_t(s1) * block + 16 * total(before) + total(weighted);
        s1 = uint32_t((s1 + total(sums)) % ADLER_BASE);
        s2 = uint32_t(t2 % ADLER_BASE);
        n -= block;
    }
    for (; n > 0; --n) {
        s1 += *p++;
        s2 += s1;
    }
    return (s2 % ADLER_BASE) << 16 | (s1 % ADLER_BASE);
}

#endif

} // namespace

bool processorHasByteShuffle() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
    return has;
#else
    return false;
#endif
}

uint32_t adler32Of(uint32_t adler, const uint8_t* p, size_t n) {
#if defined(__x86_64__) || defined(__i386__)
    if (processorHasByteShuffle())
        return adler32InRegisters(adler, p, n);
#endif
    for (; n > 0;) {
        const size_t step = std::min<size_t>(n, UINT_MAX);
        adler = uint32_t(adler32(adler, p, uInt(step)));
        p += step;
        n -= step;
    }
    return adler;
}

namespace {
// From this size on, buffers are mapped.
constexpr size_t MAPPED = 1 << 20;
constexpr uintptr_t HUGE_PAGE = 2 << 20;

// n bytes of fresh memory; from a huge page's size on, starting on a huge-page
// bound and asking for huge pages.
uint8_t* mapBytes(size_t n) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t length = (n + page - 1) / page * page;
    const size_t extra = n >= HUGE_PAGE ? HUGE_PAGE : 0;
    void* p = mmap(nullptr, length + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    auto* at = static_cast<uint8_t*>(p);
    if (extra == 0)
        return at;
    // Only the part from the first huge-page bound on is kept.
    auto* start = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(at) + extra - 1) & ~(extra - 1));
    if (start > at)
        munmap(at, size_t(start - at));
    if (start + length < at + length + extra)
        munmap(start + length, size_t(at + length + extra - (start + length)));
    adviseHugePages(start, length);
    return start;
}
} // namespace

void adviseHugePages(void* p, size_t n) {
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + n) & ~(HUGE_PAGE - 1);
    if (p && end > begin)
        madvise(reinterpret_cast<void*>(begin), size_t(end - begin), MADV_HUGEPAGE);
}

void zeroFilledOnHugePages(std::vector<uint8_t>& bytes, size_t n) {
    std::vector<uint8_t>().swap(bytes);
    bytes.reserve(n);
    adviseHugePages(bytes.data(), bytes.capacity());
    bytes.assign(n, 0);
}

void ByteBuffer::reserve(size_t n) {
    if (n <= m_capacity)
        return;
    release();
    if (n >= MAPPED) {
        m_data = mapBytes(n);
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
