// Little-endian record layer: every binary file of the program is written and
// read field by field at fixed offsets through these helpers.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace rec {

inline void writeLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint16_t readLe16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t readLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Writes fields into a caller-provided byte range; out-of-range writes are
// ignored and flagged, so a wrong offset shows up in tests, never as an overrun.
class RecordWriter {
  public:
    RecordWriter(uint8_t* data, size_t size) : m_data(data), m_size(size) { std::memset(data, 0, size); }
    template <size_t N> explicit RecordWriter(std::array<uint8_t, N>& a) : RecordWriter(a.data(), N) {}

    void u8(size_t off, uint8_t v) {
        if (fits(off, 1))
            m_data[off] = v;
    }
    void u16(size_t off, uint16_t v) {
        if (fits(off, 2))
            writeLe16(m_data + off, v);
    }
    void i16(size_t off, int16_t v) { u16(off, uint16_t(v)); }
    void u32(size_t off, uint32_t v) {
        if (fits(off, 4))
            writeLe32(m_data + off, v);
    }
    void i32(size_t off, int32_t v) { u32(off, uint32_t(v)); }
    // Fixed text field of `size` bytes: truncated to size - 1, always NUL-terminated.
    void text(size_t off, size_t size, const std::string& s) {
        if (size == 0 || !fits(off, size))
            return;
        size_t n = std::min(s.size(), size - 1);
        std::memcpy(m_data + off, s.data(), n);
        std::memset(m_data + off + n, 0, size - n);
    }
    void bytes(size_t off, const void* src, size_t n) {
        if (fits(off, n))
            std::memcpy(m_data + off, src, n);
    }
    bool ok() const { return m_ok; }

  private:
    bool fits(size_t off, size_t n) {
        if (off > m_size || n > m_size - off) {
            m_ok = false;
            return false;
        }
        return true;
    }
    uint8_t* m_data;
    size_t m_size;
    bool m_ok = true;
};

// Reads fields from a byte range; reads past the end give zero and clear ok().
class RecordReader {
  public:
    RecordReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    template <size_t N> explicit RecordReader(const std::array<uint8_t, N>& a) : RecordReader(a.data(), N) {}
    explicit RecordReader(const std::vector<uint8_t>& v) : RecordReader(v.data(), v.size()) {}

    uint8_t u8(size_t off) { return fits(off, 1) ? m_data[off] : 0; }
    uint16_t u16(size_t off) { return fits(off, 2) ? readLe16(m_data + off) : 0; }
    int16_t i16(size_t off) { return int16_t(u16(off)); }
    uint32_t u32(size_t off) { return fits(off, 4) ? readLe32(m_data + off) : 0; }
    int32_t i32(size_t off) { return int32_t(u32(off)); }
    // Fixed text field: stops at the first NUL or at the field's end.
    std::string text(size_t off, size_t size) {
        if (!fits(off, size))
            return {};
        const char* p = reinterpret_cast<const char*>(m_data + off);
        return std::string(p, strnlen(p, size));
    }
    void bytes(size_t off, void* dst, size_t n) {
        if (fits(off, n))
            std::memcpy(dst, m_data + off, n);
        else
            std::memset(dst, 0, n);
    }
    bool ok() const { return m_ok; }

  private:
    bool fits(size_t off, size_t n) {
        if (off > m_size || n > m_size - off) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const uint8_t* m_data;
    size_t m_size;
    bool m_ok = true;
};

// Copies a string into a fixed char array held in memory, NUL-terminated.
template <size_t N> void copyText(char (&dst)[N], const std::string& s) {
    size_t n = std::min(s.size(), N - 1);
    std::memcpy(dst, s.data(), n);
    std::memset(dst + n, 0, N - n);
}
template <size_t N> std::string fromText(const char (&src)[N]) {
    return std::string(src, strnlen(src, N));
}

} // namespace rec
