// The text field's border in a pixmap on a private Xvfb, at 24 and 16 bits:
// "Rectangle" black on all four sides, "3D" black above and left and white
// right and below, "None" nothing.
#include "InteractiveTestHost.h"
#include "support/QtTestApp.h"

#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/CTextField.h"

#include "support/XvfbServer.h"

#include <gtest/gtest.h>

// Xlib after the toolkit headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using testsupport::ScreenSpec;

class TextFieldPaint : public testsupport::XvfbParamTest {
  protected:
    static constexpr int W = 200, H = 120;
    void SetUp() override {
        XvfbParamTest::SetUp();
        if (HasFatalFailure())
            return;
        if (!QCoreApplication::instance())
            m_app = testsupport::makeTestApplication("offscreen");
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
        delete m_app;
        m_app = nullptr;
        XvfbParamTest::TearDown();
    }
    unsigned long rgb(int r, int g, int b) {
        XColor c{};
        c.red = static_cast<unsigned short>(r * 257);
        c.green = static_cast<unsigned short>(g * 257);
        c.blue = static_cast<unsigned short>(b * 257);
        XAllocColor(dpy, DefaultColormap(dpy, DefaultScreen(dpy)), &c);
        return c.pixel;
    }
    // Draws a field with the attribute on grey and answers the image.
    XImage* paint(uint8_t attribute) {
        XSetForeground(dpy, gc, rgb(128, 128, 128));
        XFillRectangle(dpy, pixmap, gc, 0, 0, W, H);
        interactivetest::FakeHost host;
        QWidget parent;
        host.editorWidget = &parent;
        sTextField s;
        s.attribute = attribute;
        s.x = 40;
        s.y = 30;
        s.width = 100;
        s.height = 50;
        CTextField f(nullptr, s);
        unsigned long drawable = pixmap;
        f.draw(dpy, gc, drawable);
        XSync(dpy, False);
        return XGetImage(dpy, pixmap, 0, 0, W, H, AllPlanes, ZPixmap);
    }
    unsigned long at(XImage* img, int x, int y) const {
        const Visual* v = DefaultVisual(dpy, DefaultScreen(dpy));
        return XGetPixel(img, x, y) & (v->red_mask | v->green_mask | v->blue_mask);
    }

    Display* dpy = nullptr;
    Pixmap pixmap = 0;
    GC gc = nullptr;
    QApplication* m_app = nullptr;
};

TEST_P(TextFieldPaint, Borders) {
    const Visual* v = DefaultVisual(dpy, DefaultScreen(dpy));
    const unsigned long colours = v->red_mask | v->green_mask | v->blue_mask;
    const unsigned long black = rgb(0, 0, 0) & colours;
    const unsigned long white = rgb(255, 255, 255) & colours;
    const unsigned long grey = rgb(128, 128, 128) & colours;
    struct Case {
        uint8_t attribute;
        unsigned long top, left, right, bottom;
    } cases[] = {
        {1, black, black, black, black},
        {3, black, black, white, white},
        {0, grey, grey, grey, grey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.attribute));
        XImage* img = paint(c.attribute);
        ASSERT_NE(nullptr, img);
        EXPECT_EQ(c.top, at(img, 90, 30));
        EXPECT_EQ(c.left, at(img, 40, 55));
        EXPECT_EQ(c.right, at(img, c.attribute == 3 ? 141 : 140, 55));
        EXPECT_EQ(c.bottom, at(img, 90, 80));
        EXPECT_EQ(grey, at(img, 90, 55)) << "the inside is the editor's";
        XDestroyImage(img);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, TextFieldPaint,
                         ::testing::Values(ScreenSpec{640, 480, 24, {}}, ScreenSpec{640, 480, 16, {}}),
                         testsupport::screenName);

} // namespace
