#include "app/SWindowSettings.h"

#include "store/RecordIO.h"

#include <algorithm>
#include <cstring>

std::array<uint8_t, SWindowSettings::SIZE> SWindowSettings::toBytes() const {
    std::array<uint8_t, SIZE> out{};
    rec::RecordWriter w(out);
    w.i32(OFF_X, x);
    w.i32(OFF_Y, y);
    w.i32(OFF_WIDTH, width);
    w.i32(OFF_HEIGHT, height);
    w.u8(OFF_FLAGS, flags);
    return out;
}

SWindowSettings SWindowSettings::fromBytes(const uint8_t* data, size_t size) {
    std::array<uint8_t, SIZE> padded{};
    if (data)
        std::memcpy(padded.data(), data, std::min<size_t>(size, SIZE));
    rec::RecordReader r(padded);
    SWindowSettings s;
    s.x = r.i32(OFF_X);
    s.y = r.i32(OFF_Y);
    s.width = r.i32(OFF_WIDTH);
    s.height = r.i32(OFF_HEIGHT);
    s.flags = r.u8(OFF_FLAGS);
    return s;
}
