#include "store/VideoBlocks.h"

#include "store/Deflater.h"
#include "store/RecordIO.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace video {

void writeTrailer(uint8_t* p, const Trailer& t) {
    rec::RecordWriter w(p, TRAILER_SIZE);
    w.i16(0, t.left);
    w.i16(2, t.right);
    w.i16(4, t.top);
    w.i16(6, t.bottom);
    w.u16(8, t.blocks);
}

Trailer readTrailer(const uint8_t* p) {
    rec::RecordReader r(p, TRAILER_SIZE);
    return Trailer{r.i16(0), r.i16(2), r.i16(4), r.i16(6), r.u16(8)};
}

size_t blockTrim(const SRect& reference, int edge, int bytesPerPixel) {
    int rem = (reference.right - reference.left) % edge;
    if (rem < 0)
        rem += edge;
    return size_t(edge - rem) * bytesPerPixel;
}

std::vector<uint16_t> changedBlocks(const uint8_t* reference, const uint8_t* band, const BlockGeometry& g) {
    std::vector<uint16_t> list;
    std::vector<uint8_t> marked;
    changedBlocks(reference, band, g, list, marked);
    return list;
}

void changedBlocks(const uint8_t* reference, const uint8_t* band, const BlockGeometry& g,
                   std::vector<uint16_t>& list, std::vector<uint8_t>& marked) {
    std::vector<const uint8_t*> rows(size_t(std::max(g.height(), 0)));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = reference + y * g.rowBytes;
    changedBlocks(rows.data(), band, g, list, marked);
}

void changedBlocks(const uint8_t* const* referenceRows, const uint8_t* band, const BlockGeometry& g,
                   std::vector<uint16_t>& list, std::vector<uint8_t>& marked) {
    list.clear();
    const int w = g.width(), h = g.height(), cols = g.columns(), k = g.edge;
    marked.assign(size_t(g.rows()) * cols, 0);
    const size_t full = size_t(k) * g.bytesPerPixel;
    for (int y = 0; y < h; ++y) {
        const uint8_t* refRow = referenceRows[y];
        const uint8_t* bandRow = band + size_t(y) * g.rowBytes;
        const int blockRow = y / k;
        for (int x = 0; x < w; x += k) {
            const size_t index = size_t(blockRow) * cols + x / k;
            if (marked[index])
                continue;
            const size_t n = (x + k > w) ? full - g.trim : full;
            const size_t at = size_t(x) * g.bytesPerPixel;
            if (std::memcmp(refRow + at, bandRow + at, n) != 0) {
                marked[index] = 1;
                list.push_back(uint16_t(index));
            }
        }
    }
}

size_t copyOneBlock(uint16_t index, uint8_t* dest, const uint8_t* band, const BlockGeometry& g) {
    const int k = g.edge, cols = g.columns(), h = g.height();
    const int blockRow = index / cols, blockCol = index % cols;
    const int skip = std::max(0, blockRow * k + k - h);
    const size_t trim = blockCol == cols - 1 ? g.trim : 0;
    const size_t full = size_t(k) * g.bytesPerPixel;
    const size_t rowLen = full - trim;
    const uint8_t* src = band + size_t(blockRow) * k * g.rowBytes + size_t(blockCol) * full +
                         size_t(k - 1 - skip) * g.rowBytes;
    for (int j = 0; j < k - skip; ++j)
        std::memcpy(dest + size_t(skip) * full + size_t(j) * rowLen, src - size_t(j) * g.rowBytes, rowLen);
    return trim * size_t(k - skip);
}

size_t deltaChunkSize(size_t blocks, const BlockGeometry& g) {
    return 2 * blocks + blocks * g.blockBytes() + TRAILER_SIZE;
}

size_t deltaChunkInto(uint8_t* out, const std::vector<uint16_t>& blocks, const uint8_t* band,
                      const BlockGeometry& g) {
    const size_t n = blocks.size();
    const int k = g.edge, cols = g.columns(), h = g.height();
    const size_t full = size_t(k) * g.bytesPerPixel;
    size_t saved = 0;
    for (size_t j = 0; j < n; ++j) {
        rec::writeLe16(out + 2 * j, blocks[j]);
        uint8_t* dest = out + 2 * n + j * g.blockBytes() - saved;
        // The rows a block below the band lacks are zero.
        const int skip = std::max(0, blocks[j] / cols * k + k - h);
        std::memset(dest, 0, size_t(skip) * full);
        saved += copyOneBlock(blocks[j], dest, band, g);
    }
    // The trailer keeps its place; the bytes the trimming saved stay zero before it.
    std::memset(out + 2 * n + n * g.blockBytes() - saved, 0, saved);
    Trailer t{int16_t(g.band.left), int16_t(g.band.right), int16_t(g.band.top), int16_t(g.band.bottom),
              uint16_t(n)};
    writeTrailer(out + 2 * n + n * g.blockBytes(), t);
    return deltaChunkSize(n, g);
}

std::vector<uint8_t> deltaChunk(const std::vector<uint16_t>& blocks, const uint8_t* band,
                                const BlockGeometry& g) {
    std::vector<uint8_t> out(deltaChunkSize(blocks.size(), g));
    deltaChunkInto(out.data(), blocks, band, g);
    return out;
}

size_t keyChunkSize(int width, int height, int bytesPerPixel) {
    return size_t(width) * bytesPerPixel * height + TRAILER_SIZE;
}

size_t keyChunkInto(uint8_t* out, const uint8_t* image, int width, int height, size_t stride,
                    int bytesPerPixel, const SRect& band) {
    const size_t row = size_t(width) * bytesPerPixel;
    for (int y = 0; y < height; ++y)
        std::memcpy(out + size_t(y) * row, image + size_t(height - 1 - y) * stride, row);
    writeTrailer(out + row * height, Trailer{int16_t(band.left), int16_t(band.right), int16_t(band.top),
                                             int16_t(band.bottom), 0});
    return row * height + TRAILER_SIZE;
}

std::vector<uint8_t> keyChunk(const uint8_t* image, int width, int height, size_t stride, int bytesPerPixel,
                              const SRect& band) {
    std::vector<uint8_t> out(keyChunkSize(width, height, bytesPerPixel));
    keyChunkInto(out.data(), image, width, height, stride, bytesPerPixel, band);
    return out;
}

// The player reads block indices as signed 16-bit numbers: at most 32768 blocks a band.
bool blocksFitIndices(const BlockGeometry& g) {
    return size_t(g.rows()) * g.columns() <= 32768;
}

namespace {

// Words of the host's order; the steps below take them as little-endian.
inline uint32_t word(const uint8_t* p) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
#else
    return rec::readLe32(p);
#endif
}
inline void putWord(uint8_t* p, uint32_t v) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(p, &v, 4);
#else
    rec::writeLe32(p, v);
#endif
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels a step in 16-byte registers, then eight, where the processor has the
// byte shuffle; each returns the pixels it did, the rest are left to the caller.
__attribute__((target("ssse3"))) size_t widenInRegisters(uint8_t* dest, const uint8_t* src, size_t pixels) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    size_t x = 0;
    for (; x + 16 <= pixels; x += 16, src += 48, dest += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 32));
        __m128i* out = reinterpret_cast<__m128i*>(dest);
        _mm_storeu_si128(out, _mm_shuffle_epi8(a, spread));
        _mm_storeu_si128(out + 1, _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread));
        _mm_storeu_si128(out + 2, _mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), spread));
        _mm_storeu_si128(out + 3, _mm_shuffle_epi8(_mm_srli_si128(c, 4), spread));
    }
    if (x + 8 <= pixels) {
        // A block's row: eight pixels.
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + 16));
        __m128i* out = reinterpret_cast<__m128i*>(dest);
        _mm_storeu_si128(out, _mm_shuffle_epi8(a, spread));
        _mm_storeu_si128(out + 1, _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread));
        x += 8;
    }
    return x;
}

__attribute__((target("ssse3"))) size_t packInRegisters(uint8_t* dest, const uint8_t* src, size_t pixels) {
    const __m128i gather = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    size_t x = 0;
    for (; x + 16 <= pixels; x += 16, src += 64, dest += 48) {
        const __m128i* in = reinterpret_cast<const __m128i*>(src);
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(in), gather);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), gather);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), gather);
        const __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), gather);
        __m128i* out = reinterpret_cast<__m128i*>(dest);
        _mm_storeu_si128(out, _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(out + 1, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(out + 2, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    if (x + 8 <= pixels) {
        const __m128i* in = reinterpret_cast<const __m128i*>(src);
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(in), gather);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), gather);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dest + 16), _mm_srli_si128(b, 4));
        x += 8;
    }
    return x;
}

#endif

} // namespace

void copyPixels(uint8_t* dest, const uint8_t* src, size_t pixels, int from, int to) {
    size_t x = 0;
    if (from == 4 && to == 3) {
#if defined(__x86_64__) || defined(__i386__)
        if (processorHasByteShuffle()) {
            x = packInRegisters(dest, src, pixels);
            src += 4 * x;
            dest += 3 * x;
        }
#endif
        // Four pixels a step: four words in, three out.
        for (; x + 4 <= pixels; x += 4, src += 16, dest += 12) {
            const uint32_t a = word(src), b = word(src + 4), c = word(src + 8), d = word(src + 12);
            putWord(dest, (a & 0xFFFFFF) | b << 24);
            putWord(dest + 4, ((b >> 8) & 0xFFFF) | c << 16);
            putWord(dest + 8, ((c >> 16) & 0xFF) | d << 8);
        }
        for (; x < pixels; ++x, src += 4, dest += 3) {
            dest[0] = src[0];
            dest[1] = src[1];
            dest[2] = src[2];
        }
        return;
    }
    if (from != 3 || to != 4) {
        std::memcpy(dest, src, pixels * size_t(from));
        return;
    }
#if defined(__x86_64__) || defined(__i386__)
    if (processorHasByteShuffle()) {
        x = widenInRegisters(dest, src, pixels);
        src += 3 * x;
        dest += 4 * x;
    }
#endif
    // Four pixels a step: three words in, four out.
    for (; x + 4 <= pixels; x += 4, src += 12, dest += 16) {
        const uint32_t a = word(src), b = word(src + 4), c = word(src + 8);
        putWord(dest, a & 0xFFFFFF);
        putWord(dest + 4, (a >> 24) | (b & 0xFFFF) << 8);
        putWord(dest + 8, (b >> 16) | (c & 0xFF) << 16);
        putWord(dest + 12, c >> 8);
    }
    for (; x < pixels; ++x, src += 3, dest += 4) {
        dest[0] = src[0];
        dest[1] = src[1];
        dest[2] = src[2];
        dest[3] = 0;
    }
}

DecodeResult decodeKeyChunk(const uint8_t* chunk, size_t length, uint8_t* image, int width, int height,
                            size_t stride, int bytesPerPixel, int imageBytesPerPixel) {
    const int P = imageBytesPerPixel > 0 ? imageBytesPerPixel : bytesPerPixel;
    const size_t row = size_t(width) * bytesPerPixel;
    if (length < TRAILER_SIZE || length - TRAILER_SIZE < row * height || size_t(width) * P > stride)
        return DecodeResult::BadLength;
    for (int y = 0; y < height; ++y)
        copyPixels(image + size_t(height - 1 - y) * stride, chunk + size_t(y) * row, size_t(width),
                   bytesPerPixel, P);
    return DecodeResult::Ok;
}

DecodeResult applyDeltaChunk(const uint8_t* chunk, size_t length, uint8_t* image, int imageWidth,
                             int imageHeight, size_t rowBytes, int bytesPerPixel, const SRect& referenceRect,
                             int edge, int imageBytesPerPixel) {
    const int P = imageBytesPerPixel > 0 ? imageBytesPerPixel : bytesPerPixel;
    if (length < TRAILER_SIZE)
        return DecodeResult::BadLength;
    Trailer t = readTrailer(chunk + length - TRAILER_SIZE);
    if (t.left < 0 || t.top < 0 || t.right < t.left || t.bottom < t.top || t.right >= imageWidth ||
        t.bottom >= imageHeight || size_t(t.right + 1) * P > rowBytes)
        return DecodeResult::BadTrailer;
    BlockGeometry g;
    g.band = SRect{t.left, t.top, t.right, t.bottom};
    g.rowBytes = rowBytes;
    g.bytesPerPixel = bytesPerPixel;
    g.edge = edge;
    g.trim = blockTrim(referenceRect, edge, bytesPerPixel);
    const size_t n = t.blocks;
    const size_t full = size_t(edge) * bytesPerPixel;
    if (g.trim > full)
        return DecodeResult::BadTrailer;
    if (length - TRAILER_SIZE < 2 * n + n * g.blockBytes())
        return DecodeResult::BadLength;
    const int cols = g.columns(), h = g.height(), w = g.width();
    for (size_t j = 0; j < n; ++j)
        if (rec::readLe16(chunk + 2 * j) >= size_t(g.rows()) * cols)
            return DecodeResult::BadIndex;

    uint8_t* bandTop = image + size_t(t.top) * rowBytes;
    size_t saved = 0;
    for (size_t j = 0; j < n; ++j) {
        const uint16_t index = rec::readLe16(chunk + 2 * j);
        const int blockRow = index / cols, blockCol = index % cols;
        const int skip = std::max(0, blockRow * edge + edge - h);
        const size_t trim = blockCol == cols - 1 ? g.trim : 0;
        const size_t rowLen = full - trim;
        const uint8_t* src = chunk + 2 * n + j * g.blockBytes() - saved;
        // Pixels of the block that lie right of the band are never written.
        const int firstX = blockCol * edge;
        if (firstX >= w)
            return DecodeResult::BadIndex;
        const size_t avail = std::min(rowLen, size_t(w - firstX) * bytesPerPixel);
        for (int r = 0; r < edge - skip; ++r) {
            const int y = blockRow * edge + edge - 1 - skip - r;
            copyPixels(bandTop + size_t(y) * rowBytes + size_t(firstX) * P,
                       src + size_t(skip) * full + size_t(r) * rowLen, avail / size_t(bytesPerPixel),
                       bytesPerPixel, P);
        }
        saved += trim * size_t(edge - skip);
    }
    return DecodeResult::Ok;
}

} // namespace video
