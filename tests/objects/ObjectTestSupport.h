// Fixtures of the object tests: a widget application on the offscreen
// platform for tests without X, a private Xvfb with a connection and a pixmap
// of our own for pixel tests, and a shown view with its image holder on a
// private Xvfb for tests that drive objects the way the canvas does.
#pragma once

#include "support/QtTestApp.h"
#include "support/VLImageHolderTestAccess.h"

#include "canvas/VLCanvas.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "support/XvfbServer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <memory>

namespace objecttest {

inline char* appName() {
    static char name[] = "objects_tests";
    return name;
}

// A QApplication on the offscreen platform for the suite, unless one exists.
using OffscreenAppTest = testsupport::OffscreenAppSuite;

struct ImageDeleter {
    void operator()(XImage* i) const {
        if (i)
            XDestroyImage(i);
    }
};
using ImagePtr = std::unique_ptr<XImage, ImageDeleter>;

// A private Xvfb, a connection to it, a screen-depth pixmap and its GC.
class PixmapTest : public testsupport::XvfbTest {
  protected:
    static constexpr int W = 200;
    static constexpr int H = 150;

    void SetUp() override {
        XvfbTest::SetUp();
        if (HasFatalFailure())
            return;
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, dpy);
        const int screen = DefaultScreen(dpy);
        pixmap = XCreatePixmap(dpy, RootWindow(dpy, screen), W, H, unsigned(DefaultDepth(dpy, screen)));
        gc = XCreateGC(dpy, pixmap, 0, nullptr);
    }
    void TearDown() override {
        if (dpy) {
            XFreeGC(dpy, gc);
            XFreePixmap(dpy, pixmap);
            XCloseDisplay(dpy);
        }
        dpy = nullptr;
        XvfbTest::TearDown();
    }

    unsigned long rgb(int r, int g, int b) const {
        XColor c{};
        c.red = static_cast<unsigned short>(r * 257);
        c.green = static_cast<unsigned short>(g * 257);
        c.blue = static_cast<unsigned short>(b * 257);
        XAllocColor(dpy, DefaultColormap(dpy, DefaultScreen(dpy)), &c);
        return c.pixel;
    }
    void clear(unsigned long pixel) {
        XSetForeground(dpy, gc, pixel);
        XSetFillStyle(dpy, gc, FillSolid);
        XFillRectangle(dpy, pixmap, gc, 0, 0, W, H);
    }
    ImagePtr grab() {
        XSync(dpy, False);
        return ImagePtr(XGetImage(dpy, pixmap, 0, 0, W, H, AllPlanes, ZPixmap));
    }
    // Colour bits of a pixel. Images of pixmaps carry no masks, and the pad
    // byte of 32-bit pixels is not reliable: use the visual's masks.
    unsigned long at(const ImagePtr& img, int x, int y) const {
        const Visual* v = DefaultVisual(dpy, DefaultScreen(dpy));
        return XGetPixel(img.get(), x, y) & (v->red_mask | v->green_mask | v->blue_mask);
    }

    Display* dpy = nullptr;
    Pixmap pixmap = 0;
    GC gc = nullptr;
};

// A private Xvfb with an xcb application and a shown view: its canvas's
// image holder is the one objects are made for.
class HolderTest : public testsupport::XvfbTest {
  protected:
    void SetUp() override {
        XvfbTest::SetUp();
        if (HasFatalFailure())
            return;
        if (QCoreApplication::instance())
            GTEST_SKIP() << "another suite left its application behind; run alone";
        unsetenv("QT_QPA_PLATFORMTHEME");
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        view = std::make_unique<VelmoraView>(nullptr, nullptr);
        view->setGeometry(0, 0, 700, 500);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        holder = view->_get_vlCanvas()->get_image_holder();
        ASSERT_NE(nullptr, holder->drawTarget().display);
        holder->resize(600, 400);
        holder->show();
        QTest::qWait(50);
        holder->initGC();
        ASSERT_NE(nullptr, holder->drawTarget().xorGC);
        // A black frame image, so that every repaint starts from a clean frame.
        Display* hd = holder->drawTarget().display;
        const int screen = DefaultScreen(hd);
        frameImage = XCreateImage(hd, DefaultVisual(hd, screen), unsigned(DefaultDepth(hd, screen)), ZPixmap,
                                  0, nullptr, 600, 400, 32, 0);
        frameImage->data = static_cast<char*>(std::calloc(size_t(frameImage->bytes_per_line) * 400, 1));
        holder->set_image_pixmap(QPixmap(), frameImage, 0);
        holder->resize(600, 400);
        checker = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, checker);
    }
    void TearDown() override {
        if (checker)
            XCloseDisplay(checker);
        checker = nullptr;
        view.reset();
        if (frameImage)
            XDestroyImage(frameImage);
        frameImage = nullptr;
        QApplication::closeAllWindows();
        m_app.reset();
        XvfbTest::TearDown();
    }

    void send(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
              Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(pos), QPointF(holder->mapToGlobal(pos)), button, buttons, modifiers);
        QCoreApplication::sendEvent(target, &e);
    }
    void press(QWidget* t, QPoint p) { send(t, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void drag(QWidget* t, QPoint p) { send(t, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void hover(QWidget* t, QPoint p) { send(t, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void release(QWidget* t, QPoint p) {
        send(t, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }

    // What the holder's window shows, through a connection of the test's own.
    ImagePtr grabWindow(const QRect& r) {
        XSync(holder->drawTarget().display, False);
        XSync(checker, False);
        return ImagePtr(XGetImage(checker, holder->drawTarget().window, r.x(), r.y(), unsigned(r.width()),
                                  unsigned(r.height()), AllPlanes, ZPixmap));
    }
    ImagePtr grabPixmap(const QRect& r) {
        const VLImageHolder::DrawTarget t = holder->drawTarget();
        XSync(t.display, False);
        return ImagePtr(XGetImage(t.display, t.pixmap, r.x(), r.y(), unsigned(r.width()),
                                  unsigned(r.height()), AllPlanes, ZPixmap));
    }
    long differences(const ImagePtr& a, const ImagePtr& b) const {
        const Visual* v = DefaultVisual(checker, DefaultScreen(checker));
        const unsigned long mask = v->red_mask | v->green_mask | v->blue_mask;
        long n = 0;
        for (int y = 0; y < a->height; ++y)
            for (int x = 0; x < a->width; ++x)
                if ((XGetPixel(a.get(), x, y) & mask) != (XGetPixel(b.get(), x, y) & mask))
                    ++n;
        return n;
    }

    std::unique_ptr<VelmoraView> view;
    VLImageHolder* holder = nullptr;
    Display* checker = nullptr;
    XImage* frameImage = nullptr; // the holder's frame; ours

  private:
    int m_argc = 1;
    char* m_argv[2] = {appName(), nullptr};
    std::unique_ptr<QApplication> m_app;
};

} // namespace objecttest
