// The frame fill's gradient step at 24 and 16 bits: the frame is the painter's
// gradient over the plain fill, read back into the work buffer and the edit
// image; without the step it is the plain fill.
#include "app/FrameGradientStep.h"

#include "canvas/FrameLoader.h"
#include "objects/draw/XColorPixel.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

constexpr int W = 160;
constexpr int H = 120;

class FrameGradientStep : public XvfbParamTest {
  protected:
    void SetUp() override {
        XvfbParamTest::SetUp();
        if (HasFatalFailure())
            return;
        dpy = XOpenDisplay(xvfb().display().c_str());
        ASSERT_NE(nullptr, dpy);
        bytesPerPixel = GetParam().depth > 16 ? 4 : 2;
        writeFile(path, "a working frame file");
        loader = std::make_unique<FrameLoader>(nullptr, dpy);
        ASSERT_TRUE(loader->initEditingFrames(path, FrameGeometry{W, H, bytesPerPixel, 0}))
            << loader->lastError();
    }
    void TearDown() override {
        loader.reset();
        if (dpy)
            XCloseDisplay(dpy);
        XvfbParamTest::TearDown();
    }

    // The painter's gradient of `style` over a plain fill, as packed rows.
    std::vector<uint8_t> painted(unsigned long pixel, const QColor& from, const QColor& to,
                                 Gradient::GRADIENT_STYLE style, int angle) {
        const int screen = DefaultScreen(dpy);
        unsigned long pm =
            XCreatePixmap(dpy, RootWindow(dpy, screen), W, H, unsigned(DefaultDepth(dpy, screen)));
        GC gc = XCreateGC(dpy, pm, 0, nullptr);
        XSetForeground(dpy, gc, pixel);
        XFillRectangle(dpy, pm, gc, 0, 0, W, H);
        Gradient g(from, to, style, angle);
        g.createGradientImage(pm, W, H, dpy, gc);
        XImage* img = XGetImage(dpy, pm, 0, 0, W, H, AllPlanes, ZPixmap);
        std::vector<uint8_t> rows(size_t(W) * H * bytesPerPixel);
        for (int y = 0; y < H; ++y)
            std::memcpy(rows.data() + size_t(y) * W * bytesPerPixel, img->data + y * img->bytes_per_line,
                        size_t(W) * bytesPerPixel);
        XDestroyImage(img);
        XFreeGC(dpy, gc);
        XFreePixmap(dpy, pm);
        return rows;
    }
    // The edit image's rows, packed.
    std::vector<uint8_t> editImage() const {
        std::vector<uint8_t> rows(size_t(W) * H * bytesPerPixel);
        loader->image().copyToBuffer(rows.data(), size_t(W) * bytesPerPixel, H);
        return rows;
    }

    Display* dpy = nullptr;
    uint32_t bytesPerPixel = 0;
    TempDir dir;
    std::string path = dir.file("Untitled.dat");
    std::unique_ptr<FrameLoader> loader;
};

// Pixels differing between two packed frames.
size_t differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, uint32_t bpp) {
    size_t n = 0;
    for (size_t i = 0; i + bpp <= std::min(a.size(), b.size()); i += bpp)
        if (std::memcmp(&a[i], &b[i], bpp) != 0)
            ++n;
    return n + (a.size() != b.size() ? 1 : 0);
}

TEST_P(FrameGradientStep, PaintsThePainterOverThePlainFill) {
    const QColor from(250, 20, 60), to(10, 230, 180);
    const unsigned long pixel = XColorPixel::pixelOf(dpy, 22, 34, 199);
    struct Case {
        int type, angle;
        Gradient::GRADIENT_STYLE style;
    };
    const Case cases[] = {
        {0, 0, Gradient::LINEAR},   {0, 90, Gradient::LINEAR},  {0, 45, Gradient::LINEAR},
        {0, 135, Gradient::LINEAR}, {0, -90, Gradient::LINEAR}, {1, 0, Gradient::RECTANGULAR},
        {2, 0, Gradient::RADIAL},   {7, 30, Gradient::LINEAR},
    };
    loader->fillFrameColor(pixel);
    const std::vector<uint8_t> plain = loader->store().workBuffer();
    for (const Case& c : cases) {
        const std::string name = "type " + std::to_string(c.type) + " angle " + std::to_string(c.angle);
        loader->fillFrameColor(pixel, frameGradientStep(from, to, c.type, c.angle));
        const std::vector<uint8_t> expected = painted(pixel, from, to, c.style, c.angle);
        EXPECT_EQ(0u, differences(expected, loader->store().workBuffer(), bytesPerPixel)) << name;
        EXPECT_EQ(0u, differences(expected, editImage(), bytesPerPixel)) << name << ": the edit image too";
        EXPECT_GT(differences(plain, expected, bytesPerPixel), 0u) << name << ": the painter painted";
    }
    // Type 1 is the rectangular painter, not the radial one.
    EXPECT_GT(differences(painted(pixel, from, to, Gradient::RADIAL, 0),
                          painted(pixel, from, to, Gradient::RECTANGULAR, 0), bytesPerPixel),
              0u);
}

TEST_P(FrameGradientStep, WithoutTheStepTheFrameIsThePlainFill) {
    const unsigned long pixel = XColorPixel::pixelOf(dpy, 200, 100, 50);
    loader->fillFrameColor(pixel, frameGradientStep(Qt::red, Qt::blue, 0, 0));
    loader->fillFrameColor(pixel);
    std::vector<uint8_t> expected(size_t(W) * H * bytesPerPixel);
    for (size_t i = 0; i < expected.size(); i += bytesPerPixel)
        std::memcpy(&expected[i], &pixel, bytesPerPixel); // little-endian host, as the buffer
    EXPECT_EQ(0u, differences(expected, loader->store().workBuffer(), bytesPerPixel));
    EXPECT_EQ(0u, differences(expected, editImage(), bytesPerPixel));
}

INSTANTIATE_TEST_SUITE_P(Screens, FrameGradientStep,
                         ::testing::Values(ScreenSpec{W, H, 24, {}}, ScreenSpec{W, H, 16, {}}), screenName);

} // namespace
