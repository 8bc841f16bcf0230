// Rectangle fields of records: four little-endian i32 (left, top, right, bottom).
#pragma once

#include "capture/NVCap.h"
#include "store/RecordIO.h"

#include <tuple>

namespace rec {

inline void putRect(RecordWriter& w, size_t off, const SRect& r) {
    w.i32(off, r.left);
    w.i32(off + 4, r.top);
    w.i32(off + 8, r.right);
    w.i32(off + 12, r.bottom);
}

inline SRect getRect(RecordReader& r, size_t off) {
    return SRect{r.i32(off), r.i32(off + 4), r.i32(off + 8), r.i32(off + 12)};
}

inline auto rectTie(const SRect& r) {
    return std::tie(r.left, r.top, r.right, r.bottom);
}

} // namespace rec
