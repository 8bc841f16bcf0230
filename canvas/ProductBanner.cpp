#include "canvas/ProductBanner.h"
#include "store/Diagnostics.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

FrameImage ProductBanner::make(_XDisplay* display, int width, int height, int depth, std::string* fontUsed,
                               QRect* painted) {
    if (fontUsed)
        fontUsed->clear();
    if (painted)
        *painted = QRect();
    if (!display || width <= 0 || height <= 0 || depth <= 0)
        return FrameImage();
    // Pixel 0 everywhere but under the text: only the text's box is painted
    // by the server and read back.
    FrameImage image = FrameImage::blank(display, width, height, depth);
    if (!image)
        return FrameImage();
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);

    XColor colour{};
    colour.red = RED * 257;
    colour.green = GREEN * 257;
    colour.blue = BLUE * 257;
    colour.flags = DoRed | DoGreen | DoBlue;
    const unsigned long textPixel = XAllocColor(display, DefaultColormap(display, screen), &colour)
                                        ? colour.pixel
                                        : WhitePixel(display, screen);

    XFontStruct* font = nullptr;
    for (size_t i = 0; i < sizeof FONTS / sizeof FONTS[0] && !font; ++i) {
        font = XLoadQueryFont(display, FONTS[i]);
        if (font && fontUsed)
            *fontUsed = FONTS[i];
        if (!font && i == 0)
            diag::print("Cannot Load Font for Splash\n");
    }
    if (!font)
        return image;

    const int length = int(std::strlen(TEXT));
    const int textWidth = XTextWidth(font, TEXT, length);
    int direction = 0, ascent = 0, descent = 0;
    XCharStruct ink{};
    XTextExtents(font, TEXT, length, &direction, &ascent, &descent, &ink);
    const int x = textX(width, textWidth), y = textBaseline(height);
    // The text's box (advance and ink), cut to the picture.
    const int left = std::max(0, x + std::min(0, int(ink.lbearing)));
    const int right = std::min(width, x + std::max(textWidth, int(ink.rbearing)));
    const int top = std::max(0, y - std::max(ascent, int(ink.ascent)));
    const int bottom = std::min(height, y + std::max(descent, int(ink.descent)));
    if (left < right && top < bottom) {
        const int boxWidth = right - left, boxHeight = bottom - top;
        if (painted)
            *painted = QRect(left, top, boxWidth, boxHeight);
        const Pixmap pixmap =
            XCreatePixmap(display, root, unsigned(boxWidth), unsigned(boxHeight), unsigned(depth));
        XGCValues values{};
        values.foreground = 0;
        values.background = 0;
        values.graphics_exposures = False;
        GC gc = XCreateGC(display, pixmap, GCForeground | GCBackground | GCGraphicsExposures, &values);
        XFillRectangle(display, pixmap, gc, 0, 0, unsigned(boxWidth), unsigned(boxHeight));
        XSetForeground(display, gc, textPixel);
        XSetFont(display, gc, font->fid);
        XDrawString(display, pixmap, gc, x - left, y - top, TEXT, length);
        // Read back straight into the picture's box.
        XGetSubImage(display, pixmap, 0, 0, unsigned(boxWidth), unsigned(boxHeight), AllPlanes, ZPixmap,
                     image.get(), left, top);
        XFreePixmap(display, pixmap);
        XFreeGC(display, gc);
    }
    XFreeFont(display, font);
    XFlush(display);
    return image;
}
