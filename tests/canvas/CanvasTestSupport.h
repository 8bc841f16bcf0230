// A private Xvfb with a QApplication on the xcb platform for one canvas test,
// a checker connection of its own, and pixel helpers that read what the
// screen shows and what the holder's pixmap holds.
#pragma once

#include "capture/XErrorHandlers.h"
#include "support/XvfbServer.h"

#include <QApplication>
#include <QRect>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace canvastest {

// A client-side image whose pixel (x, y) is patternPixel(x, y).
inline unsigned long patternPixel(int x, int y) {
    return (unsigned long)(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | ((x + y) & 0xFF));
}

inline XImage* makePatternImage(Display* dpy, int w, int h, unsigned long (*pixel)(int, int) = patternPixel) {
    const int screen = DefaultScreen(dpy);
    const int depth = DefaultDepth(dpy, screen);
    XImage* img = XCreateImage(dpy, DefaultVisual(dpy, screen), unsigned(depth), ZPixmap, 0, nullptr,
                               unsigned(w), unsigned(h), 32, 0);
    img->data = static_cast<char*>(std::calloc(size_t(img->bytes_per_line) * size_t(h), 1));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            XPutPixel(img, x, y, pixel(x, y));
    return img;
}

struct ImageDeleter {
    void operator()(XImage* i) const {
        if (i)
            XDestroyImage(i);
    }
};
using ImagePtr = std::unique_ptr<XImage, ImageDeleter>;

// Colour bits of a pixel: the pad byte of 32-bit pixels is not reliable.
inline unsigned long colourBits(const XImage* img, unsigned long p) {
    return p & (img->red_mask | img->green_mask | img->blue_mask);
}

class CanvasTest : public testsupport::XvfbTest {
  protected:
    void SetUp() override {
        XvfbTest::SetUp();
        if (HasFatalFailure())
            return;
        xerrors::installHandlers();
        unsetenv("QT_QPA_PLATFORMTHEME");
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
        ASSERT_EQ(nullptr, QCoreApplication::instance()) << "another suite left its application behind";
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        checker = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, checker);
    }
    void TearDown() override {
        if (checker)
            XCloseDisplay(checker);
        checker = nullptr;
        QApplication::closeAllWindows();
        m_app.reset();
        XvfbTest::TearDown();
    }

    // Lets both Qt and the holder's connection run for a while.
    static void settle(int ms = 100) {
        QTest::qWait(ms);
        QCoreApplication::processEvents();
    }

    // What the screen shows at a global rectangle.
    ImagePtr grabScreen(const QRect& r) {
        XSync(checker, False);
        return ImagePtr(XGetImage(checker, DefaultRootWindow(checker), r.x(), r.y(), unsigned(r.width()),
                                  unsigned(r.height()), AllPlanes, ZPixmap));
    }

    // Number of pixels of `a` that differ from `expected(x, y)` in colour.
    static long mismatches(const XImage* a, const std::function<unsigned long(int, int)>& expected) {
        long bad = 0;
        for (int y = 0; y < a->height; ++y)
            for (int x = 0; x < a->width; ++x)
                if (colourBits(a, XGetPixel(const_cast<XImage*>(a), x, y)) != colourBits(a, expected(x, y)))
                    ++bad;
        return bad;
    }
    static long mismatches(const XImage* a, const XImage* b) {
        if (a->width != b->width || a->height != b->height)
            return -1;
        return mismatches(a, [b](int x, int y) { return XGetPixel(const_cast<XImage*>(b), x, y); });
    }

    Display* checker = nullptr;

  private:
    int m_argc = 1;
    char m_name[16] = "canvas_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

} // namespace canvastest
