#include "canvas/ProductBanner.h"
#include "store/Diagnostics.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

FrameImage ProductBanner::make(_XDisplay* display, int width, int height, int depth, std::string* fontUsed) {
    if (fontUsed)
        fontUsed->clear();
    if (!display || width <= 0 || height <= 0 || depth <= 0)
        return FrameImage();
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const Pixmap pixmap = XCreatePixmap(display, root, unsigned(width), unsigned(height), unsigned(depth));

    XColor colour{};
    colour.red = RED * 257;
    colour.green = GREEN * 257;
    colour.blue = BLUE * 257;
    colour.flags = DoRed | DoGreen | DoBlue;
    const unsigned long textPixel = XAllocColor(display, DefaultColormap(display, screen), &colour)
                                        ? colour.pixel
                                        : WhitePixel(display, screen);

    XGCValues values{};
    values.foreground = 0;
    values.background = 0;
    values.graphics_exposures = False;
    GC fillGC = XCreateGC(display, pixmap, GCForeground | GCBackground | GCGraphicsExposures, &values);
    values.foreground = textPixel;
    GC textGC = XCreateGC(display, pixmap, GCForeground | GCBackground | GCGraphicsExposures, &values);

    XFontStruct* font = nullptr;
    for (size_t i = 0; i < sizeof FONTS / sizeof FONTS[0] && !font; ++i) {
        font = XLoadQueryFont(display, FONTS[i]);
        if (font && fontUsed)
            *fontUsed = FONTS[i];
        if (!font && i == 0)
            diag::print("Cannot Load Font for Splash\n");
    }

    XFillRectangle(display, pixmap, fillGC, 0, 0, unsigned(width), unsigned(height));
    if (font) {
        const int length = int(std::strlen(TEXT));
        const int textWidth = XTextWidth(font, TEXT, length);
        XSetFont(display, textGC, font->fid);
        XDrawString(display, pixmap, textGC, textX(width, textWidth), textBaseline(height), TEXT, length);
    }
    FrameImage image = FrameImage::fromDrawable(display, pixmap, width, height);

    XFreePixmap(display, pixmap);
    XFreeGC(display, fillGC);
    XFreeGC(display, textGC);
    if (font)
        XFreeFont(display, font);
    XFlush(display);
    return image;
}
