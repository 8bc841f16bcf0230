// The canvas of a running velmora as an author test finds it on the private
// X server, and an author session that works on it with xdotool.
#pragma once

#include "AuthorSessionFixture.h"

#include <optional>
#include <string>

namespace testsupport {

inline void xdotool(const std::string& keys) {
    runCommand("xdotool " + keys);
}

// Objects > Edit Palette > the tool of the key (b bitmap, h hyperlink,
// i instruction box, t text field, v validation field).
inline void choosePaletteTool(const std::string& key) {
    xdotool("keydown alt key o keyup alt sleep 0.3 key e sleep 0.3 key " + key + " sleep 0.3");
}

// A point of a window as xdotool takes it.
inline std::string windowPoint(const Rect& window, int x, int y) {
    return std::to_string(window.x + x) + " " + std::to_string(window.y + y);
}

// A canvas point as xdotool takes it.
inline std::string canvasPoint(const Rect& canvas, int x, int y) {
    return windowPoint(canvas, x, y);
}

struct CanvasPt {
    int x, y;
};

// A left-button drag on the canvas, with a stop half way.
inline void dragOnCanvas(const Rect& canvas, CanvasPt from, CanvasPt to) {
    xdotool("mousemove " + canvasPoint(canvas, from.x, from.y) + " mousedown 1 sleep 0.2 mousemove " +
            canvasPoint(canvas, (from.x + to.x) / 2, (from.y + to.y) / 2) + " sleep 0.2 mousemove " +
            canvasPoint(canvas, to.x, to.y) + " sleep 0.2 mouseup 1 sleep 0.4");
}

class CanvasAuthorSession : public AuthorSession {
  protected:
    Rect canvas;
    std::string main;

    void key(const std::string& keys) { xdotool(keys); }
    std::string at(int x, int y) const { return canvasPoint(canvas, x, y); }
    using Pt = CanvasPt;
    void dragOnCanvas(Pt from, Pt to) { testsupport::dragOnCanvas(canvas, from, to); }
};

} // namespace testsupport
