// What the bitmap tests share: a working folder holding the placeholder
// image, as the program's images/ folder does, a test image whose every
// pixel has a colour of its own, and a media library that hands out image
// bytes and records use reports.
#pragma once

#include "InteractiveTestHost.h"

#include "support/TempDir.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>

#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace bitmaptest {

// Enters a fresh folder with a copy of images/bitmap1.xpm for the object's
// lifetime.
class PlaceholderFolder {
  public:
    PlaceholderFolder() {
        std::string here = __FILE__; // <root>/tests/objects/BitmapTestSupport.h
        const std::string source = here.substr(0, here.rfind("/tests/objects/")) + "/images/bitmap1.xpm";
        std::ifstream in(source, std::ios::binary);
        std::ofstream out(m_dir.file("bitmap1.xpm"), std::ios::binary);
        out << in.rdbuf();
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd))
            m_old = cwd;
        m_entered = chdir(m_dir.path().c_str()) == 0;
    }
    ~PlaceholderFolder() {
        if (!m_old.empty())
            (void)!chdir(m_old.c_str());
    }
    bool entered() const { return m_entered; }
    std::string file(const std::string& name) const { return m_dir.file(name); }

  private:
    testsupport::TempDir m_dir;
    std::string m_old;
    bool m_entered = false;
};

// Pixel (x, y) is rgb(6x, 12y, 128 + x % 2 * 64): no two alike in 40 x 20.
inline QColor sourceColour(int x, int y) {
    return QColor(6 * x, 12 * y, 128 + (x % 2) * 64);
}

inline QImage testImage(int w = 40, int h = 20) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, sourceColour(x, y));
    return image;
}

inline std::vector<uint8_t> encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The library's answers for paths: the image's own bytes, or "compressed"
// (no bytes, a size); the uses dropped and added.
class ImageLibrary : public interactivetest::SpyMediaLibrary {
  public:
    std::map<QString, std::vector<uint8_t>> bytes;
    std::map<QString, unsigned long> compressed;
    std::vector<unsigned long> added;

    std::vector<uint8_t> ReadImageData(const QString& path, unsigned long* size) override {
        *size = 0;
        if (auto it = bytes.find(path); it != bytes.end()) {
            *size = it->second.size();
            return it->second;
        }
        if (auto it = compressed.find(path); it != compressed.end())
            *size = it->second;
        return {};
    }
    void slotAddIDOnCopy(unsigned long id) override { added.push_back(id); }
};

} // namespace bitmaptest
