// The fixture of the tests that drive the program as an author would: a
// private X server, a fresh HOME and the program as a child process.
#pragma once

#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace testsupport {

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
    void SetUp() override {
        XvfbTest::SetUp();
        mkdir(home().c_str(), 0755);
    }
};

} // namespace testsupport
