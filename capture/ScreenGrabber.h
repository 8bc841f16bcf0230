// Grabs one rectangle of the root window through the library's own display
// connection: MIT-SHM into one reused segment when the server offers it,
// XGetImage otherwise. The method is chosen once per prepare() and never
// changes afterwards, because the two paths do not agree on the unused
// fourth byte of 32-bit pixels and frames must only be compared with frames
// grabbed the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct _XDisplay;

namespace capture {

class ScreenGrabber {
  public:
    enum class Result { Ok, NoDisplay, BadArea, GrabFailed, ConnectionLost };
    enum class Method { Unset, SharedMemory, GetImage };

    ScreenGrabber() = default;
    ~ScreenGrabber();
    ScreenGrabber(const ScreenGrabber&) = delete;
    ScreenGrabber& operator=(const ScreenGrabber&) = delete;

    // Opens the connection (nullptr: DISPLAY) and reads the screen's size and depth.
    Result open(const char* displayName = nullptr);
    // Chooses the grab method for the area and grabs it once to learn the
    // image format. An area off the screen makes that grab fail.
    Result prepare(int x, int y, int width, int height, bool allowSharedMemory = true);
    // Grabs the prepared area again; data() then holds it until the next grab.
    Result grab();
    // Releases the image, the segment and the connection.
    void close();

    bool isOpen() const { return m_display != nullptr; }
    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    int depth() const { return m_depth; }
    Method method() const { return m_method; }

    const uint8_t* data() const { return m_data; }
    size_t stride() const { return m_stride; } // bytes per line of the image, padding included
    int bytesPerPixel() const { return m_bytesPerPixel; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Description of the last failure, for messages.
    const std::string& error() const { return m_error; }

  private:
    bool setUpSharedMemory();
    void releaseSharedMemory();
    void releaseImage();
    Result grabWithSharedMemory();
    Result grabWithGetImage();
    Result takeImage(void* image);
    Result fail(Result r, const std::string& what);

    _XDisplay* m_display = nullptr;
    unsigned long m_root = 0;
    int m_screen = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_depth = 0;

    int m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    Method m_method = Method::Unset;
    void* m_image = nullptr;   // XImage
    void* m_shmInfo = nullptr; // XShmSegmentInfo, when the segment is attached
    const uint8_t* m_data = nullptr;
    size_t m_stride = 0;
    int m_bytesPerPixel = 0;
    bool m_lost = false;
    std::string m_error;
};

} // namespace capture
