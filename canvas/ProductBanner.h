// The product banner the canvas shows while no project is open: a black
// screen-sized picture with "Velmora" centred in orange, painted through Xlib
// and read back as the edit image.
#pragma once

#include "canvas/FrameImage.h"

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

    // Paints the banner on a pixmap of the given size and depth on the
    // display's root window and reads it back (ZPixmap, all planes). When the
    // first font is missing "Cannot Load Font for Splash" goes to standard
    // error before the others are tried. `fontUsed` receives the font's name
    // (empty when none loaded and no text was drawn). Empty on failure.
    static FrameImage make(_XDisplay* display, int width, int height, int depth,
                           std::string* fontUsed = nullptr);
};
