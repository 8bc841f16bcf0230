// Pixel values of colours on an X display, for the objects that draw with
// Xlib. True-colour visuals with 8-bit fields are computed from the visual's
// masks without a round trip; other visuals allocate the colour in the
// default colormap.
#pragma once

#include <QColor>

struct _XDisplay;

class XColorPixel {
  public:
    // The pixel of the colour on the display's default screen; the black
    // pixel when a colormap has no room for it.
    static unsigned long pixelOf(_XDisplay* display, int red, int green, int blue);
    static unsigned long pixelOf(_XDisplay* display, const QColor& color) {
        return pixelOf(display, color.red(), color.green(), color.blue());
    }
};
