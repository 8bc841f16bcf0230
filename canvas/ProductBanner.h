// The product banner the canvas shows while no project is open: a black
// screen-sized picture with "Velmora" centred in orange, painted through Xlib
// and read back as the edit image.
#pragma once

#include "canvas/FrameImage.h"

#include <QRect>

#include <string>

struct _XDisplay;

class ProductBanner {
  public:
    static constexpr const char* TEXT = "Velmora";
    // Tried in this order; the first the server has is used.
    static constexpr const char* FONTS[3] = {
        "-adobe-times-bold-r-normal--34-240-100-100-p-177-iso8859-9",
        "lucidasanstypewriter-18",
        "fixed",
    };
    static constexpr int RED = 239;
    static constexpr int GREEN = 121;
    static constexpr int BLUE = 24;

    // Left end of the text's baseline: each half truncated.
    static int textX(int width, int textWidth) { return width / 2 - textWidth / 2; }
    static int textBaseline(int height) { return height / 2; }

    // The banner at the given size and depth, laid out as a read-back of a
    // pixmap on the display's root window (ZPixmap, all planes); the server
    // paints and returns only the text's box. When the first font is missing
    // "Cannot Load Font for Splash" goes to standard error before the others
    // are tried. `fontUsed` receives the font's name (empty when none loaded
    // and no text was drawn); `painted` the box outside which every pixel is 0.
    // Empty on failure.
    static FrameImage make(_XDisplay* display, int width, int height, int depth,
                           std::string* fontUsed = nullptr, QRect* painted = nullptr);
};
