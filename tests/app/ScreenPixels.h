// Screen pixels as the author sees them, read through a connection of the
// test's own. Include it after the toolkit headers (Xlib defines macros).
#pragma once

#include "AuthorSessionFixture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace testsupport {

// The pixels of a rectangle wholly on the screen as 0xRRGGBB, row by row;
// empty for a rectangle that is not.
inline std::vector<unsigned long> screenPixelsOf(const Rect& r) {
    std::vector<unsigned long> out;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return out;
    const int sw = DisplayWidth(d, DefaultScreen(d)), sh = DisplayHeight(d, DefaultScreen(d));
    if (r.x >= 0 && r.y >= 0 && r.w > 0 && r.h > 0 && r.x + r.w <= sw && r.y + r.h <= sh) {
        if (XImage* image = XGetImage(d, DefaultRootWindow(d), r.x, r.y, unsigned(r.w), unsigned(r.h),
                                      AllPlanes, ZPixmap)) {
            out.reserve(size_t(r.w) * size_t(r.h));
            for (int y = 0; y < r.h; ++y)
                for (int x = 0; x < r.w; ++x)
                    out.push_back(XGetPixel(image, x, y) & 0xFFFFFFul);
            XDestroyImage(image);
        }
    }
    XCloseDisplay(d);
    return out;
}

// The pixels of the rectangle once they equal `want`, or as they are when
// the time is up.
inline std::vector<unsigned long> screenPixelsBecoming(const Rect& r, const std::vector<unsigned long>& want,
                                                       int ms = 10000) {
    std::vector<unsigned long> now;
    waitUntil(
        [&] {
            now = screenPixelsOf(r);
            return now == want;
        },
        ms);
    return now;
}

// A new frame shows on the canvas: its back colour, (22, 34, 199), at a
// point no object of the author tests covers.
inline bool newFrameShown(const Rect& canvas) {
    const std::vector<unsigned long> px = screenPixelsOf(Rect{canvas.x + 500, canvas.y + 300, 1, 1});
    return !px.empty() && px.front() == 0x1622C7ul;
}

} // namespace testsupport
