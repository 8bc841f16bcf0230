// The fixture of the tests that drive the program as an author would: a
// private X server, a fresh HOME and the program as a child process.
#pragma once

#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdio>
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
    // Starts velmora, records for a moment and stops (Alt+X): the main
    // window afterwards, or empty when a step failed (see p.err()).
    std::string recordAFewFrames(Process& p) {
        if (!p.start(velmoraBinary(), options()) || mainWindow().empty() || !startRecording(p))
            return {};
        runCommand("sleep 1.2");
        runCommand("xdotool keydown alt key x keyup alt");
        if (!p.waitForErr("m_dwFrameCount == ", 10000))
            return {};
        return mainWindow();
    }
    void SetUp() override {
        XvfbTest::SetUp();
        mkdir(home().c_str(), 0755);
    }
};

} // namespace testsupport
