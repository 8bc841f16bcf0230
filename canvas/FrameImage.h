// The one owner of the edit image: a client-side Xlib image of the whole
// screen (ZPixmap, all planes) whose pixel data the canvas shows. The holder
// and every other user only borrow it; it is destroyed here and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>

struct _XDisplay;
struct _XImage;

class FrameImage {
  public:
    FrameImage() = default;
    explicit FrameImage(_XImage* image) : m_image(image) {}
    ~FrameImage();
    FrameImage(FrameImage&& other) noexcept;
    FrameImage& operator=(FrameImage&& other) noexcept;
    FrameImage(const FrameImage&) = delete;
    FrameImage& operator=(const FrameImage&) = delete;

    // Grabs the root window of the display's default screen; empty on failure.
    static FrameImage grabRoot(_XDisplay* display);
    // Reads a drawable (a pixmap or window) back as a ZPixmap of all planes.
    static FrameImage fromDrawable(_XDisplay* display, unsigned long drawable, int width, int height);
    // An image of pixel 0, laid out as a read-back of a drawable of this
    // size and depth would be, made without asking the server; empty when the
    // display has no pixmap format of the depth.
    static FrameImage blank(_XDisplay* display, int width, int height, int depth);

    _XImage* get() const { return m_image; }
    explicit operator bool() const { return m_image != nullptr; }
    void reset(_XImage* image = nullptr);

    int width() const;
    int height() const;
    int depth() const;
    int bytesPerLine() const;
    int bitsPerPixel() const;

    // Copies `rows` rows of `rowBytes` bytes from a tightly packed buffer
    // into the image (its rows may be padded). False, copying nothing, when
    // the buffer's rows do not fit the image.
    bool copyFromBuffer(const uint8_t* buffer, size_t rowBytes, size_t rows);
    // The reverse: the image's rows into a tightly packed buffer.
    bool copyToBuffer(uint8_t* buffer, size_t rowBytes, size_t rows) const;

  private:
    _XImage* m_image = nullptr;
};
