// The canvas of a running velmora as an author test finds it on the private
// X server, and an author session that works on it with xdotool.
#pragma once

#include "AuthorSessionFixture.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>

namespace testsupport {

// The canvas: the child of the main window as large as the screen.
inline std::optional<Rect> canvasOf(const std::string& mainWindow) {
    std::istringstream in(runCommand("xwininfo -tree -id " + mainWindow + " 2>/dev/null"));
    std::string line;
    while (std::getline(in, line)) {
        Rect r;
        int relX = 0, relY = 0;
        const auto at = line.find(')');
        if (at == std::string::npos)
            continue;
        if (std::sscanf(line.c_str() + at + 1, " %dx%d+%d+%d +%d+%d", &r.w, &r.h, &relX, &relY, &r.x, &r.y) ==
                6 &&
            r.w == 1024 && r.h == 768)
            return r;
    }
    return std::nullopt;
}

inline void xdotool(const std::string& keys) {
    runCommand("xdotool " + keys);
}

// A canvas point as xdotool takes it.
inline std::string canvasPoint(const Rect& canvas, int x, int y) {
    return std::to_string(canvas.x + x) + " " + std::to_string(canvas.y + y);
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
