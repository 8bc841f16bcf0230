#include "canvas/FrameImage.h"

#include "store/Deflater.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <utility>

FrameImage::~FrameImage() {
    reset();
}

FrameImage::FrameImage(FrameImage&& other) noexcept : m_image(std::exchange(other.m_image, nullptr)) {}

FrameImage& FrameImage::operator=(FrameImage&& other) noexcept {
    if (this != &other)
        reset(std::exchange(other.m_image, nullptr));
    return *this;
}

void FrameImage::reset(_XImage* image) {
    if (m_image && m_image != image)
        XDestroyImage(m_image);
    m_image = image;
}

FrameImage FrameImage::grabRoot(_XDisplay* display) {
    if (!display)
        return FrameImage();
    const int screen = DefaultScreen(display);
    return fromDrawable(display, RootWindow(display, screen), DisplayWidth(display, screen),
                        DisplayHeight(display, screen));
}

FrameImage FrameImage::fromDrawable(_XDisplay* display, unsigned long drawable, int width, int height) {
    if (!display || width <= 0 || height <= 0)
        return FrameImage();
    return FrameImage(
        XGetImage(display, drawable, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap));
}

FrameImage FrameImage::blank(_XDisplay* display, int width, int height, int depth) {
    if (!display || width <= 0 || height <= 0 || depth <= 0)
        return FrameImage();
    // The scanline pad of the depth's format, as the server pads a read-back.
    int pad = 0, count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
        for (int i = 0; i < count; ++i)
            if (formats[i].depth == depth)
                pad = formats[i].scanline_pad;
        XFree(formats);
    }
    if (pad <= 0)
        return FrameImage();
    XImage* image = XCreateImage(display, nullptr, unsigned(depth), ZPixmap, 0, nullptr, unsigned(width),
                                 unsigned(height), pad, 0);
    if (!image)
        return FrameImage();
    const size_t bytes = size_t(image->bytes_per_line) * size_t(height);
    image->data = static_cast<char*>(std::calloc(bytes, 1));
    if (!image->data) {
        XDestroyImage(image);
        return FrameImage();
    }
    adviseHugePages(image->data, bytes);
    return FrameImage(image);
}

int FrameImage::width() const {
    return m_image ? m_image->width : 0;
}
int FrameImage::height() const {
    return m_image ? m_image->height : 0;
}
int FrameImage::depth() const {
    return m_image ? m_image->depth : 0;
}
int FrameImage::bytesPerLine() const {
    return m_image ? m_image->bytes_per_line : 0;
}
int FrameImage::bitsPerPixel() const {
    return m_image ? m_image->bits_per_pixel : 0;
}

bool FrameImage::copyFromBuffer(const uint8_t* buffer, size_t rowBytes, size_t rows) {
    if (!m_image || !buffer || rows > size_t(m_image->height) || rowBytes > size_t(m_image->bytes_per_line))
        return false;
    const size_t stride = size_t(m_image->bytes_per_line);
    auto* data = reinterpret_cast<uint8_t*>(m_image->data);
    if (stride == rowBytes) {
        std::memcpy(data, buffer, rowBytes * rows);
        return true;
    }
    for (size_t r = 0; r < rows; ++r)
        std::memcpy(data + r * stride, buffer + r * rowBytes, rowBytes);
    return true;
}

bool FrameImage::copyToBuffer(uint8_t* buffer, size_t rowBytes, size_t rows) const {
    if (!m_image || !buffer || rows > size_t(m_image->height) || rowBytes > size_t(m_image->bytes_per_line))
        return false;
    const size_t stride = size_t(m_image->bytes_per_line);
    const auto* data = reinterpret_cast<const uint8_t*>(m_image->data);
    for (size_t r = 0; r < rows; ++r)
        std::memcpy(buffer + r * rowBytes, data + r * stride, rowBytes);
    return true;
}
