// Files for the resource store and media library tests: a synthetic
// default-icon file, small source files of each kind and a private HOME.
#pragma once

#include "media/ResourceStore.h"
#include "store/RecordIO.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace resourcetest {

// Icon n's bytes: "icon n" repeated to 40 + n bytes.
inline std::string iconBytes(int n) {
    std::string s;
    const std::string word = "icon " + std::to_string(n) + " ";
    while (s.size() < size_t(40 + n))
        s += word;
    s.resize(size_t(40 + n));
    return s;
}

// A PNG of w x h pixels in one colour.
inline std::string pngBytes(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// A default-icon file with `count` entries "Default Icon n": 56-byte record,
// icon bytes, then the preview bytes (a short text unless previews are PNGs).
inline std::string defaultIconFile(int count, bool pngPreviews = false) {
    std::string file;
    for (int n = 1; n <= count; ++n) {
        const std::string icon = iconBytes(n);
        const std::string preview =
            pngPreviews ? pngBytes(8, 6, qRgb(10 * n % 256, 40, 200)) : "preview " + std::to_string(n);
        uint8_t record[56];
        rec::RecordWriter w(record, sizeof record);
        w.text(0, 40, "Default Icon " + std::to_string(n));
        const uint32_t iconAt = uint32_t(file.size() + 56);
        w.u32(40, iconAt);
        w.u32(44, iconAt + uint32_t(icon.size()));
        w.u32(48, uint32_t(icon.size()));
        w.u32(52, uint32_t(preview.size()));
        file.append(reinterpret_cast<const char*>(record), sizeof record);
        file += icon;
        file += preview;
    }
    return file;
}

// A 24-bit BMP of w x h pixels; noisy pixels make it incompressible.
inline std::string bmpBytes(int w, int h, bool noisy) {
    const int row = (w * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(row * h);
    std::string b(54 + dataSize, '\0');
    auto* p = reinterpret_cast<uint8_t*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    rec::writeLe32(p + 2, uint32_t(b.size()));
    rec::writeLe32(p + 10, 54);
    rec::writeLe32(p + 14, 40);
    rec::writeLe32(p + 18, uint32_t(w));
    rec::writeLe32(p + 22, uint32_t(h));
    rec::writeLe16(p + 26, 1);
    rec::writeLe16(p + 28, 24);
    rec::writeLe32(p + 34, dataSize);
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < dataSize; ++i) {
        seed = seed * 1103515245u + 12345u;
        p[54 + i] = noisy ? uint8_t(seed >> 16) : uint8_t(i % 7 == 0 ? 200 : 30);
    }
    return b;
}

// A private HOME with its zedaro folder and a working directory.
struct Folders {
    testsupport::TempDir dir;
    std::string home() const { return dir.path(); }
    std::string store() const { return dir.file("zedaro/VELMORA.RSE"); }
    std::string scratch() const { return dir.file("zedaro/VELMORA.CLN"); }
    std::string icons() const { return dir.file("RESOURCES.RSE"); }
    std::string file(const std::string& name) const { return dir.file(name); }
    Folders() { std::filesystem::create_directories(dir.file("zedaro")); }
};

} // namespace resourcetest
