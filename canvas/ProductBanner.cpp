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
        const FrameImage box = FrameImage::fromDrawable(display, pixmap, boxWidth, boxHeight);
        XFreePixmap(display, pixmap);
        XFreeGC(display, gc);
        if (box) {
            XImage* to = image.get();
            XImage* from = box.get();
            if (to->bits_per_pixel % 8 == 0) {
                const size_t bytes = size_t(boxWidth) * size_t(to->bits_per_pixel / 8);
                for (int row = 0; row < boxHeight; ++row)
                    std::memcpy(to->data + size_t(top + row) * size_t(to->bytes_per_line) +
                                    size_t(left) * size_t(to->bits_per_pixel / 8),
                                from->data + size_t(row) * size_t(from->bytes_per_line), bytes);
            } else {
                for (int row = 0; row < boxHeight; ++row)
                    for (int col = 0; col < boxWidth; ++col)
                        XPutPixel(to, left + col, top + row, XGetPixel(from, col, row));
            }
        }
    }
    XFreeFont(display, font);
    XFlush(display);
    return image;
}
