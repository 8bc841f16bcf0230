// Pixels computed for true-colour visuals equal what the server allocates.
#include "objects/draw/XColorPixel.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>

#include <gtest/gtest.h>

#include <array>

namespace {

class XColorPixelDepth : public testsupport::XvfbParamTest {};

TEST_P(XColorPixelDepth, MatchesTheServersAllocation) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, dpy);
    const Colormap cmap = DefaultColormap(dpy, DefaultScreen(dpy));
    // An 8-bit colormap fills up: a few steps there, every value elsewhere.
    const int step = DefaultDepth(dpy, DefaultScreen(dpy)) == 8 ? 51 : 1;
    for (int c = 0; c < 256; c += step) {
        const std::array<std::array<int, 3>, 4> colours{
            {{c, 0, 0}, {0, c, 0}, {0, 0, c}, {c, 255 - c, c / 2}}};
        for (const auto& rgb : colours) {
            XColor xc{};
            xc.red = static_cast<unsigned short>(rgb[0] * 257);
            xc.green = static_cast<unsigned short>(rgb[1] * 257);
            xc.blue = static_cast<unsigned short>(rgb[2] * 257);
            xc.flags = DoRed | DoGreen | DoBlue;
            ASSERT_TRUE(XAllocColor(dpy, cmap, &xc));
            ASSERT_EQ(xc.pixel, XColorPixel::pixelOf(dpy, rgb[0], rgb[1], rgb[2]))
                << rgb[0] << "," << rgb[1] << "," << rgb[2];
        }
    }
    XCloseDisplay(dpy);
}

INSTANTIATE_TEST_SUITE_P(Screens, XColorPixelDepth,
                         ::testing::Values(testsupport::ScreenSpec{640, 480, 24, {}},
                                           testsupport::ScreenSpec{640, 480, 16, {}},
                                           testsupport::ScreenSpec{640, 480, 8, {}}),
                         testsupport::screenName);

} // namespace
