// The band of changed rows between a fresh screen image and the previous
// frame. Pure functions, free of X, so the rules are testable on plain memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace capture {

// Rows relative to the first row compared, inclusive.
struct Band {
    int top = 0;
    int bottom = 0;
    bool operator==(const Band& o) const { return top == o.top && bottom == o.bottom; }
};

// Compares `rows` rows of `rowBytes` bytes. Rows of `image` lie `imageStride`
// bytes apart (the screen image's bytes per line, padding included); rows of
// `previous` lie `rowBytes` apart (no padding). The band runs from the first
// to the last differing row; when nothing differs it is the bottom row alone.
// rows must be at least 1.
Band findChangedBand(const uint8_t* image, size_t imageStride, const uint8_t* previous, size_t rowBytes,
                     int rows);

// Copies the band's rows from the image into the previous frame.
void copyBand(const uint8_t* image, size_t imageStride, uint8_t* previous, size_t rowBytes, Band band);

} // namespace capture
