// The fixture of the tests that drive the program as an author would: a
// private X server, a fresh HOME and the program as a child process.
#pragma once

#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace testsupport {

// A window's place on the screen and its size.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// From xwininfo; none when the window is gone.
inline std::optional<Rect> placeOf(const std::string& id) {
    const std::string info = runCommand("xwininfo -id " + id + " 2>/dev/null");
    Rect r;
    int found = 0;
    std::istringstream in(info);
    std::string line;
    while (std::getline(in, line)) {
        found += std::sscanf(line.c_str(), " Absolute upper-left X: %d", &r.x) == 1;
        found += std::sscanf(line.c_str(), " Absolute upper-left Y: %d", &r.y) == 1;
        found += std::sscanf(line.c_str(), " Width: %d", &r.w) == 1;
        found += std::sscanf(line.c_str(), " Height: %d", &r.h) == 1;
    }
    if (found != 4)
        return std::nullopt;
    return r;
}

// The canvas: the child of the main window as large as the screen.
inline std::optional<Rect> holderCanvasOf(const std::string& mainWindow) {
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

// The canvas once it shows; none when it does not within the time.
inline std::optional<Rect> canvasShowing(const std::string& mainWindow, int ms = 10000) {
    std::optional<Rect> canvas;
    waitUntil([&] { return (canvas = holderCanvasOf(mainWindow)).has_value(); }, ms);
    return canvas;
}

// The property box: a top-level window other than the main window, of the
// box's size; empty when none shows within the time.
inline std::string propertyBoxBeside(const std::string& mainWindow, int ms = 10000) {
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

// Alt+C pressed while the window is still settling can be lost: press again
// until the recording starts.
inline bool pressUntilRecording(Process& p, const std::string& mainWindow) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        runCommand("xdotool windowfocus --sync " + mainWindow + " 2>/dev/null");
        runCommand("xdotool keydown alt key c keyup alt");
        if (p.waitForErr("in threadProc", 8000))
            return true;
    }
    return false;
}

class AuthorSession : public XvfbTest {
  protected:
    TempDir root;
    std::string home() const { return root.file("home"); }
    ProcessOptions options(std::vector<std::string> args = {}) const {
        ProcessOptions o;
        o.env["HOME"] = home();
        o.env["QT_ENABLE_HIGHDPI_SCALING"] = "0";
        o.workingDirectory = root.path();
        o.args = std::move(args);
        return o;
    }
    std::string mainWindow() {
        std::string id;
        waitUntil(
            [&] {
                return !(id = trim(
                             runCommand("xdotool search --name '^Velmora 1.0 - ' 2>/dev/null | head -n1")))
                            .empty();
            },
            15000);
        return id;
    }
    void focus(const std::string& id) { runCommand("xdotool windowfocus --sync " + id + " 2>/dev/null"); }
    bool startRecording(Process& p) { return pressUntilRecording(p, mainWindow()); }
    // Starts the program and appends a frame (F5); sets its main window and
    // canvas. An F5 pressed while the window is still settling can be lost:
    // with `shown`, F5 is pressed again while shown(canvas) is false. False
    // when the window, the canvas or the frame does not show.
    bool startWithAFrame(Process& p, std::string& mainWindowId, Rect& canvas,
                         const std::function<bool(const Rect&)>& shown = {}) {
        if (!p.start(velmoraBinary(), options()))
            return false;
        mainWindowId = mainWindow();
        if (mainWindowId.empty())
            return false;
        for (int attempt = 0; attempt < 3; ++attempt) {
            focus(mainWindowId);
            runCommand("xdotool key F5 sleep 1");
            const auto c = holderCanvasOf(mainWindowId);
            if (!c)
                continue;
            canvas = *c;
            if (!shown || waitUntil([&] { return shown(canvas); }, 5000))
                return true;
        }
        return false;
    }
    // Presses Ctrl+M in the main window; gives the made file's path, empty
    // when none was made within fifteen seconds.
    std::string make(const std::string& mainWindow) {
        focus(mainWindow);
        runCommand("xdotool key ctrl+m");
        const std::string vlm = home() + "/zedaro/Untitled.vlm";
        if (!waitUntil([&] { return fileExists(vlm); }, 15000))
            return {};
        runCommand("sleep 0.5");
        return vlm;
    }
    // Lists an object in the property box: clicks the box's chooser, presses
    // the keys, and repeats (the box may still be settling under load) until
    // the box's title names the object. Gives the box's place.
    std::optional<Rect> listInPropertyBox(const std::string& boxId, const std::string& object,
                                          const std::string& keys) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto place = placeOf(boxId);
            if (!place)
                return std::nullopt;
            // The chooser's arrow: the chooser starts 3 pixels below the
            // box's top whatever its font, and no font makes it lower than 8.
            runCommand("xdotool mousemove " + std::to_string(place->x + place->w - 14) + " " +
                       std::to_string(place->y + 11) + " click 1 sleep 0.5 " + keys);
            if (waitUntil(
                    [&] {
                        return trim(runCommand("xdotool getwindowname " + boxId)) ==
                               "Properties [" + object + "]";
                    },
                    5000))
                return place;
        }
        return std::nullopt;
    }
    // Quits the program by Ctrl+Q; ends it when it does not exit.
    void quit(Process& p, const std::string& mainWindow) {
        focus(mainWindow);
        runCommand("xdotool key ctrl+q");
        p.wait(10000);
        if (p.running()) {
            p.signal(SIGTERM);
            p.wait(5000);
        }
    }
    // Waits for the main window and its canvas and sets both; false when
    // either does not show.
    bool windowAndCanvas(std::string& mainWindowId, Rect& canvas) {
        mainWindowId = mainWindow();
        if (mainWindowId.empty())
            return false;
        const auto shown = canvasShowing(mainWindowId);
        if (!shown)
            return false;
        canvas = *shown;
        return true;
    }
    // Starts the program on `path` and waits for its main window and canvas,
    // which it sets; false when a step failed (see p.err()).
    bool startOn(Process& p, const std::string& path, std::string& mainWindowId, Rect& canvas) {
        if (!p.start(velmoraBinary(), options({path})))
            return false;
        return windowAndCanvas(mainWindowId, canvas);
    }
    // Starts the program on a copy of the made file as startOn does; gives
    // the copy's path, empty when a step failed (see p.err()).
    std::string startOnCopy(Process& p, const std::string& made, std::string& mainWindowId, Rect& canvas) {
        const std::string copy = root.file("show.vlm");
        writeFile(copy, readFile(made));
        return startOn(p, copy, mainWindowId, canvas) ? copy : std::string();
    }
    // Makes the file the program was started on again (Ctrl+M) once the
    // frame has settled; false when the file is not written within fifteen
    // seconds.
    bool makeAgain(const std::string& mainWindow, const std::string& path) {
        const auto madeAt = std::filesystem::last_write_time(path);
        runCommand("sleep 1.2");
        focus(mainWindow);
        runCommand("xdotool key ctrl+m");
        if (!waitUntil([&] { return std::filesystem::last_write_time(path) != madeAt; }, 15000))
            return false;
        runCommand("sleep 0.5");
        return true;
    }
    // Starts velmora, records for a moment, stops (Alt+X) and waits for the
    // canvas; sets the main window and the canvas. False when a step failed
    // (see p.err()).
    bool recordAFewFrames(Process& p, std::string& mainWindowId, Rect& canvas) {
        if (!p.start(velmoraBinary(), options()) || mainWindow().empty() || !startRecording(p))
            return false;
        runCommand("sleep 1.2");
        runCommand("xdotool keydown alt key x keyup alt");
        if (!p.waitForErr("m_dwFrameCount == ", 10000))
            return false;
        return windowAndCanvas(mainWindowId, canvas);
    }
    void SetUp() override {
        XvfbTest::SetUp();
        mkdir(home().c_str(), 0755);
    }
};

} // namespace testsupport
