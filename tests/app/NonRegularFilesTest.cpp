// FIFOs in place of the files the program reads and writes: the output file
// named on the command line, the recent-file list and the working frame file.
// Each is refused at once instead of blocking the program.
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

using namespace testsupport;

namespace {

// A window whose name matches `pattern`, waiting at most `ms`; empty if none.
std::string windowNamed(const std::string& pattern, int ms) {
    std::string id;
    waitUntil(
        [&] {
            return !(id = trim(runCommand("xdotool search --name '" + pattern + "' 2>/dev/null | tail -n1")))
                        .empty();
        },
        ms);
    return id;
}

struct FifoCase {
    const char* name;
    const char* fifo;    // under HOME, or the argument when `argument` is set
    bool argument;       // passed on the command line
    const char* keys;    // pressed in the main window; empty: none
    bool box;            // a message box tells the author
    const char* errLine; // on standard error; empty: none expected
};

void PrintTo(const FifoCase& c, std::ostream* os) {
    *os << c.name;
}

class NonRegularFiles : public XvfbTest, public ::testing::WithParamInterface<FifoCase> {};

TEST_P(NonRegularFiles, AreRefusedWithoutBlocking) {
    const FifoCase c = GetParam();
    TempDir root;
    const std::string home = root.file("home");
    mkdir(home.c_str(), 0755);
    mkdir((home + "/zedaro").c_str(), 0755);
    const std::string fifo = c.argument ? root.file(c.fifo) : home + "/zedaro/" + c.fifo;
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);

    ProcessOptions o;
    o.env["HOME"] = home;
    o.env["QT_ENABLE_HIGHDPI_SCALING"] = "0";
    o.workingDirectory = root.path();
    if (c.argument)
        o.args = {fifo};
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), o));
    const std::string main = windowNamed("^Velmora 1.0 - ", 15000);
    ASSERT_FALSE(main.empty()) << "the start goes on: " << p.err();
    if (c.box) {
        // Keys pressed while the window is still settling can be lost: press
        // again until the box shows.
        std::string box;
        for (int attempt = 0; attempt < 4 && box.empty(); ++attempt) {
            if (*c.keys) {
                runCommand("xdotool windowfocus --sync " + main + " 2>/dev/null");
                runCommand(std::string("xdotool ") + c.keys);
            }
            box = windowNamed("^Velmora 1.0$", *c.keys ? 4000 : 10000);
        }
        EXPECT_FALSE(box.empty()) << "a message box: " << p.err();
    } else if (*c.keys) {
        runCommand("xdotool windowfocus --sync " + main + " 2>/dev/null");
        runCommand(std::string("xdotool ") + c.keys);
    }
    if (*c.errLine) {
        EXPECT_TRUE(p.waitForErr(c.errLine, 5000)) << p.err();
    }
    EXPECT_TRUE(p.running());
    struct stat st {};
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "left as it was";
    p.signal(SIGTERM);
    p.wait(5000);
}

INSTANTIATE_TEST_SUITE_P(
    Fifos, NonRegularFiles,
    ::testing::Values(FifoCase{"OutputFile", "x.vlm", true, "", true, ""},
                      FifoCase{"RecentFiles", "recentfiles", false, "", false,
                               "recentfiles is not a regular file, recent-file list not restored"},
                      FifoCase{"WorkingFrameFile", "Untitled.dat", false, "keydown alt key c keyup alt", true,
                               ""}),
    [](const ::testing::TestParamInfo<FifoCase>& info) { return std::string(info.param.name); });

} // namespace
