// Windows and pixels of the running program as an author test finds them:
// the canvas, the property box and what the screen shows.
#pragma once

#include "AuthorSessionFixture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

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

// The property box: a top-level window other than the main window, of the
// box's size; empty when none shows within the time.
inline std::string propertyBoxOf(const std::string& mainWindow, int ms = 10000) {
    std::string box;
    waitUntil(
        [&] {
            std::istringstream in(runCommand("xwininfo -root -children 2>/dev/null"));
            std::string line;
            while (std::getline(in, line)) {
                char id[32] = {};
                int w = 0, h = 0;
                const auto at = line.rfind(')');
                if (at == std::string::npos || std::sscanf(line.c_str(), " %31s", id) != 1 ||
                    std::sscanf(line.c_str() + at + 1, " %dx%d", &w, &h) != 2)
                    continue;
                if (w > 200 && h > 300 && w < 600 && std::stoul(id, nullptr, 16) != std::stoul(mainWindow)) {
                    box = std::to_string(std::stoul(id, nullptr, 16));
                    return true;
                }
            }
            return false;
        },
        ms);
    return box;
}

// The screen's pixels in a rectangle, row by row, through a connection of
// the test's own; empty when they cannot be read.
inline std::vector<unsigned long> screenPixels(const Rect& r) {
    std::vector<unsigned long> out;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return out;
    if (XImage* image =
            XGetImage(d, DefaultRootWindow(d), r.x, r.y, unsigned(r.w), unsigned(r.h), AllPlanes, ZPixmap)) {
        out.reserve(size_t(r.w) * size_t(r.h));
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x)
                out.push_back(XGetPixel(image, x, y) & 0xFFFFFFul);
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return out;
}

// Appends a frame to a new project by F5 and answers the canvas once it shows
// the frame's back colour. An F5 pressed while the window is still settling
// can be lost: it is pressed again while no frame shows.
inline std::optional<Rect> appendFirstFrame(const std::string& mainWindow) {
    constexpr unsigned long frameColour = 0x1622C7; // (22, 34, 199)
    std::optional<Rect> canvas;
    auto shown = [&] {
        canvas = canvasOf(mainWindow);
        if (!canvas)
            return false;
        const std::vector<unsigned long> px = screenPixels(Rect{canvas->x + 500, canvas->y + 300, 1, 1});
        return !px.empty() && px.front() == frameColour;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        runCommand("xdotool windowfocus --sync " + mainWindow + " 2>/dev/null");
        runCommand("xdotool key F5");
        if (waitUntil(shown, 5000))
            return canvas;
    }
    return std::nullopt;
}

// Quits by Ctrl+Q at the main window; ends the program when it does not go.
inline void quitProgram(Process& p, const std::string& mainWindow) {
    runCommand("xdotool windowfocus --sync " + mainWindow + " 2>/dev/null");
    runCommand("xdotool key ctrl+q");
    p.wait(10000);
    if (p.running()) {
        p.signal(SIGTERM);
        p.wait(5000);
    }
}

// The screen's pixels in the rectangle once they equal `want`, or as they
// are when the time is up.
inline std::vector<unsigned long> screenPixelsBecoming(const Rect& r, const std::vector<unsigned long>& want,
                                                       int ms = 10000) {
    std::vector<unsigned long> now;
    waitUntil(
        [&] {
            now = screenPixels(r);
            return now == want;
        },
        ms);
    return now;
}

} // namespace testsupport
