#include "objects/draw/XColorPixel.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace {
// An 8-bit field of a true-colour pixel: where the component goes as it is.
// Other widths are left to the server, whose rounding is its own.
int byteShift(unsigned long mask) {
    for (int shift = 0; shift <= 24; shift += 8)
        if (mask == 0xFFUL << shift)
            return shift;
    return -1;
}
} // namespace

unsigned long XColorPixel::pixelOf(Display* display, int red, int green, int blue) {
    if (!display)
        return 0;
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    if (visual && visual->c_class == TrueColor) {
        const int r = byteShift(visual->red_mask), g = byteShift(visual->green_mask),
                  b = byteShift(visual->blue_mask);
        if (r >= 0 && g >= 0 && b >= 0)
            return (unsigned long)(std::clamp(red, 0, 255)) << r |
                   (unsigned long)(std::clamp(green, 0, 255)) << g |
                   (unsigned long)(std::clamp(blue, 0, 255)) << b;
    }
    XColor xc{};
    xc.red = static_cast<unsigned short>(std::clamp(red, 0, 255) * 257);
    xc.green = static_cast<unsigned short>(std::clamp(green, 0, 255) * 257);
    xc.blue = static_cast<unsigned short>(std::clamp(blue, 0, 255) * 257);
    xc.flags = DoRed | DoGreen | DoBlue;
    if (!XAllocColor(display, DefaultColormap(display, screen), &xc))
        return BlackPixel(display, screen);
    return xc.pixel;
}
