#include "objects/draw/XColorPixel.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace {
// Scales a 16-bit component into the mask's bits, as the server does for
// XAllocColor on a true-colour visual: the top bits of the component.
unsigned long component(unsigned long mask, int value8) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1UL))
        ++shift;
    int bits = 0;
    while ((mask >> (shift + bits)) & 1UL)
        ++bits;
    const unsigned long v16 = unsigned(std::clamp(value8, 0, 255)) * 257UL;
    return ((bits >= 16 ? v16 << (bits - 16) : v16 >> (16 - bits)) << shift) & mask;
}
} // namespace

unsigned long XColorPixel::pixelOf(Display* display, int red, int green, int blue) {
    if (!display)
        return 0;
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    if (visual && visual->c_class == TrueColor)
        return component(visual->red_mask, red) | component(visual->green_mask, green) |
               component(visual->blue_mask, blue);
    XColor xc{};
    xc.red = static_cast<unsigned short>(std::clamp(red, 0, 255) * 257);
    xc.green = static_cast<unsigned short>(std::clamp(green, 0, 255) * 257);
    xc.blue = static_cast<unsigned short>(std::clamp(blue, 0, 255) * 257);
    xc.flags = DoRed | DoGreen | DoBlue;
    if (!XAllocColor(display, DefaultColormap(display, screen), &xc))
        return BlackPixel(display, screen);
    return xc.pixel;
}
