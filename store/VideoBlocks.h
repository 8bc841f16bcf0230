// Video chunks of the output file: a key frame as its image bottom-up, any
// other frame as the 8x8 blocks of its band that changed, each followed by a
// 10-byte trailer (band left, right, top, bottom as i16, block count as u16).
#pragma once

#include "capture/NVCap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace video {

constexpr size_t TRAILER_SIZE = 10;

struct Trailer {
    int16_t left = 0, right = 0, top = 0, bottom = 0; // inclusive band
    uint16_t blocks = 0;
};

void writeTrailer(uint8_t* p, const Trailer& t);
Trailer readTrailer(const uint8_t* p);

// Geometry of the block operations on one band.
struct BlockGeometry {
    SRect band{0, 0, 0, 0}; // inclusive
    size_t rowBytes = 0;    // R: bytes of one row of the band's data and of the reference image
    int bytesPerPixel = 0;  // B
    int edge = 8;           // k
    size_t trim = 0;        // bytes the last block column drops from each row

    int width() const { return band.right + 1 - band.left; }
    int height() const { return band.bottom + 1 - band.top; }
    int columns() const { return width() / edge + 1; }
    int rows() const { return height() / edge + 1; }
    size_t blockBytes() const { return size_t(edge) * edge * bytesPerPixel; }
};

// The trim of the last block column for a reference area whose right edge
// is exclusive: (k - (right - left) mod k) x B bytes.
size_t blockTrim(const SRect& reference, int edge, int bytesPerPixel);

// The blocks of the band that differ from the reference image, in the order
// the row scan first meets them. `reference` points at the band's first row
// inside the reference image; both step by rowBytes.
std::vector<uint16_t> changedBlocks(const uint8_t* reference, const uint8_t* band, const BlockGeometry& g);
// The same into `list`, with `marked` as the caller's scratch; both are reused.
void changedBlocks(const uint8_t* reference, const uint8_t* band, const BlockGeometry& g,
                   std::vector<uint16_t>& list, std::vector<uint8_t>& marked);
// The same against reference rows that lie anywhere: `referenceRows[y]` is
// the reference's row for the band's row y.
void changedBlocks(const uint8_t* const* referenceRows, const uint8_t* band, const BlockGeometry& g,
                   std::vector<uint16_t>& list, std::vector<uint8_t>& marked);

// Copies one block of the band, its bottom row first, to `dest`; returns the
// bytes its right-edge trimming saved.
size_t copyOneBlock(uint16_t index, uint8_t* dest, const uint8_t* band, const BlockGeometry& g);

// The plain delta chunk: indices, packed blocks, trailer at 2n + n x k x k x B.
std::vector<uint8_t> deltaChunk(const std::vector<uint16_t>& blocks, const uint8_t* band,
                                const BlockGeometry& g);
// Its length, and the same chunk written into `out` (every byte of it).
size_t deltaChunkSize(size_t blocks, const BlockGeometry& g);
size_t deltaChunkInto(uint8_t* out, const std::vector<uint16_t>& blocks, const uint8_t* band,
                      const BlockGeometry& g);

// The plain key chunk: `height` rows of width x B bytes taken from the top-down
// image (stride `stride`), bottom row first, then the trailer with no blocks.
std::vector<uint8_t> keyChunk(const uint8_t* image, int width, int height, size_t stride, int bytesPerPixel,
                              const SRect& band);
// Its length, and the same chunk written into `out`.
size_t keyChunkSize(int width, int height, int bytesPerPixel);
size_t keyChunkInto(uint8_t* out, const uint8_t* image, int width, int height, size_t stride,
                    int bytesPerPixel, const SRect& band);

// Whether a band of this geometry can be stored as blocks (16-bit indices).
bool blocksFitIndices(const BlockGeometry& g);

// Reading back. Both check the chunk against the image before writing.
enum class DecodeResult { Ok, BadTrailer, BadLength, BadIndex };

// Lays a key chunk's rows into a top-down image of `height` rows of `stride` bytes.
// With `imageBytesPerPixel` 4 and 3-byte pixels, each pixel is widened to four
// bytes with a zero fourth byte as it is laid; 0 keeps the chunk's size.
DecodeResult decodeKeyChunk(const uint8_t* chunk, size_t length, uint8_t* image, int width, int height,
                            size_t stride, int bytesPerPixel, int imageBytesPerPixel = 0);

// Puts the blocks of a delta chunk back into a top-down image of `imageHeight`
// rows (stride g.rowBytes), at the band of the trailer. `referenceRect`
// (exclusive right) gives the trim; `imageWidth` bounds the band. Pixels are
// widened as decodeKeyChunk does.
DecodeResult applyDeltaChunk(const uint8_t* chunk, size_t length, uint8_t* image, int imageWidth,
                             int imageHeight, size_t rowBytes, int bytesPerPixel, const SRect& referenceRect,
                             int edge = 8, int imageBytesPerPixel = 0);

// Copies `pixels` pixels of `from` bytes into pixels of `to` bytes: the same
// bytes when the sizes match, 3-byte pixels widened to four with a zero
// fourth byte, or 4-byte pixels packed to their first three.
void copyPixels(uint8_t* dest, const uint8_t* src, size_t pixels, int from, int to);

} // namespace video
