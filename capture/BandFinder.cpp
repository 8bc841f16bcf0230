#include "capture/BandFinder.h"

#include <cstring>

namespace capture {

Band findChangedBand(const uint8_t* image, size_t imageStride, const uint8_t* previous, size_t rowBytes,
                     int rows) {
    const int last = rows - 1;
    auto differs = [&](int y) {
        return std::memcmp(image + size_t(y) * imageStride, previous + size_t(y) * rowBytes, rowBytes) != 0;
    };
    Band band;
    band.top = last;
    for (int y = 0; y < last; ++y) {
        if (differs(y)) {
            band.top = y;
            break;
        }
    }
    // The upward scan stops at the top found: that row is in the band anyway.
    int j = last;
    while (j > band.top && !differs(j))
        --j;
    band.bottom = j;
    return band;
}

void copyBand(const uint8_t* image, size_t imageStride, uint8_t* previous, size_t rowBytes, Band band) {
    if (imageStride == rowBytes) {
        // Unpadded image: the band is one block in both.
        std::memcpy(previous + size_t(band.top) * rowBytes, image + size_t(band.top) * imageStride,
                    size_t(band.bottom - band.top + 1) * rowBytes);
        return;
    }
    for (int y = band.top; y <= band.bottom; ++y)
        std::memcpy(previous + size_t(y) * rowBytes, image + size_t(y) * imageStride, rowBytes);
}

} // namespace capture
