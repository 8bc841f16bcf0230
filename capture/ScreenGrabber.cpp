#include "capture/ScreenGrabber.h"

#include "capture/XErrorHandlers.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <cstdlib>

namespace capture {

namespace {
XImage* asImage(void* p) {
    return static_cast<XImage*>(p);
}
XShmSegmentInfo* asShm(void* p) {
    return static_cast<XShmSegmentInfo*>(p);
}
} // namespace

ScreenGrabber::~ScreenGrabber() {
    close();
}

ScreenGrabber::Result ScreenGrabber::fail(Result r, const std::string& what) {
    m_error = what;
    return r;
}

ScreenGrabber::Result ScreenGrabber::open(const char* displayName) {
    close();
    xerrors::installHandlers();
    m_display = XOpenDisplay(displayName);
    if (!m_display) {
        const char* name = displayName ? displayName : std::getenv("DISPLAY");
        return fail(Result::NoDisplay, std::string("cannot open display \"") + (name ? name : "") + "\"");
    }
    xerrors::watchConnection(m_display);
    m_lost = false;
    m_screen = DefaultScreen(m_display);
    m_root = RootWindow(m_display, m_screen);
    m_depth = DefaultDepth(m_display, m_screen);
    XWindowAttributes attr;
    if (XGetWindowAttributes(m_display, m_root, &attr)) {
        m_screenWidth = attr.width;
        m_screenHeight = attr.height;
    } else {
        std::fprintf(stderr, "libNVCap :error when inqury the window postion.\n");
        m_screenWidth = DisplayWidth(m_display, m_screen);
        m_screenHeight = DisplayHeight(m_display, m_screen);
    }
    return Result::Ok;
}

ScreenGrabber::Result ScreenGrabber::prepare(int x, int y, int width, int height, bool allowSharedMemory) {
    if (!m_display)
        return fail(Result::NoDisplay, "no display connection");
    if (m_lost)
        return fail(Result::ConnectionLost, "display connection lost");
    // The area is not checked against the screen here: the server is the
    // judge, and a refused grab takes the same path as at any later time.
    if (width < 1 || height < 1)
        return fail(Result::BadArea, "empty area");
    releaseSharedMemory();
    releaseImage();
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    m_method = Method::GetImage;
    if (allowSharedMemory && XShmQueryExtension(m_display) && setUpSharedMemory())
        m_method = Method::SharedMemory;
    Result r = grab();
    if (r == Result::GrabFailed && m_method == Method::SharedMemory) {
        // Nothing was compared yet, so switching paths here is safe.
        releaseSharedMemory();
        m_method = Method::GetImage;
        r = grab();
    }
    return r;
}

bool ScreenGrabber::setUpSharedMemory() {
    auto* info = new XShmSegmentInfo{};
    info->shmid = -1;
    info->shmaddr = reinterpret_cast<char*>(-1);
    XImage* img = XShmCreateImage(m_display, DefaultVisual(m_display, m_screen), unsigned(m_depth), ZPixmap,
                                  nullptr, info, unsigned(m_width), unsigned(m_height));
    if (!img) {
        delete info;
        return false;
    }
    auto cleanUp = [&] {
        if (info->shmaddr != reinterpret_cast<char*>(-1))
            shmdt(info->shmaddr);
        if (info->shmid >= 0)
            shmctl(info->shmid, IPC_RMID, nullptr);
        img->data = nullptr;
        XDestroyImage(img);
        delete info;
        return false;
    };
    info->shmid = shmget(IPC_PRIVATE, size_t(img->bytes_per_line) * size_t(img->height), IPC_CREAT | 0600);
    if (info->shmid < 0)
        return cleanUp();
    info->shmaddr = static_cast<char*>(shmat(info->shmid, nullptr, 0));
    if (info->shmaddr == reinterpret_cast<char*>(-1))
        return cleanUp();
    img->data = info->shmaddr;
    info->readOnly = False;
    xerrors::takeLastError(m_display);
    bool attached = XShmAttach(m_display, info);
    XSync(m_display, False);
    // A remote server cannot attach; the failure arrives as a protocol error.
    if (!attached || xerrors::takeLastError(m_display) != 0 || xerrors::connectionLost(m_display)) {
        if (xerrors::connectionLost(m_display))
            m_lost = true;
        return cleanUp();
    }
    // Marked for removal now, so the segment goes away with the process.
    shmctl(info->shmid, IPC_RMID, nullptr);
    info->shmid = -1;
    m_image = img;
    m_shmInfo = info;
    return true;
}

void ScreenGrabber::releaseSharedMemory() {
    if (!m_shmInfo)
        return;
    XShmSegmentInfo* info = asShm(m_shmInfo);
    if (!m_lost) {
        XShmDetach(m_display, info);
        XSync(m_display, False);
    }
    XImage* img = asImage(m_image);
    img->data = nullptr;
    XDestroyImage(img);
    shmdt(info->shmaddr);
    delete info;
    m_shmInfo = nullptr;
    m_image = nullptr;
    m_data = nullptr;
}

void ScreenGrabber::releaseImage() {
    if (m_shmInfo || !m_image)
        return;
    XDestroyImage(asImage(m_image));
    m_image = nullptr;
    m_data = nullptr;
}

ScreenGrabber::Result ScreenGrabber::grab() {
    if (!m_display)
        return fail(Result::NoDisplay, "no display connection");
    if (m_lost || xerrors::connectionLost(m_display)) {
        m_lost = true;
        return fail(Result::ConnectionLost, "display connection lost");
    }
    if (m_method == Method::Unset)
        return fail(Result::BadArea, "no area prepared");
    xerrors::takeLastError(m_display);
    return m_method == Method::SharedMemory ? grabWithSharedMemory() : grabWithGetImage();
}

ScreenGrabber::Result ScreenGrabber::grabWithSharedMemory() {
    m_data = nullptr;
    if (!XShmGetImage(m_display, m_root, asImage(m_image), m_x, m_y, AllPlanes))
        return takeImage(nullptr);
    return takeImage(m_image);
}

ScreenGrabber::Result ScreenGrabber::grabWithGetImage() {
    releaseImage();
    m_image =
        XGetImage(m_display, m_root, m_x, m_y, unsigned(m_width), unsigned(m_height), AllPlanes, ZPixmap);
    return takeImage(m_image);
}

ScreenGrabber::Result ScreenGrabber::takeImage(void* p) {
    int code = xerrors::takeLastError(m_display);
    if (xerrors::connectionLost(m_display)) {
        m_lost = true;
        return fail(Result::ConnectionLost, "display connection lost");
    }
    XImage* img = asImage(p);
    if (!img || !img->data || code != 0) {
        char text[128] = "no image";
        if (code != 0)
            XGetErrorText(m_display, code, text, sizeof text);
        return fail(Result::GrabFailed, std::string("grab refused: ") + text);
    }
    if (img->width != m_width || img->height != m_height || img->bits_per_pixel < 8 ||
        img->bits_per_pixel % 8 != 0 || img->bytes_per_line < m_width * (img->bits_per_pixel / 8))
        return fail(Result::GrabFailed, "unexpected image format");
    m_bytesPerPixel = img->bits_per_pixel / 8;
    m_stride = size_t(img->bytes_per_line);
    m_data = reinterpret_cast<const uint8_t*>(img->data);
    return Result::Ok;
}

void ScreenGrabber::close() {
    if (!m_display)
        return;
    releaseSharedMemory();
    releaseImage();
    xerrors::forgetConnection(m_display);
    XCloseDisplay(m_display);
    m_display = nullptr;
    m_method = Method::Unset;
    m_bytesPerPixel = 0;
    m_stride = 0;
    m_lost = false;
}

} // namespace capture
