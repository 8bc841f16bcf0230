// An author's session driven through the keyboard and mouse: record, stop,
// make, quit, and open the made file again from the command line.
#include "store/DatRecords.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/stat.h>

using namespace testsupport;

namespace {

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
    // Alt+C pressed while the window is still settling can be lost: press
    // again until the recording starts.
    bool startRecording(Process& p) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            focus(mainWindow());
            runCommand("xdotool keydown alt key c keyup alt");
            if (p.waitForErr("in threadProc", 8000))
                return true;
        }
        return false;
    }
    void SetUp() override {
        XvfbTest::SetUp();
        mkdir(home().c_str(), 0755);
    }
};

TEST_F(AuthorSession, RecordStopMakeAndOpenAgain) {
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), options()));
    std::string w = mainWindow();
    ASSERT_FALSE(w.empty()) << p.err();
    ASSERT_TRUE(startRecording(p)) << "the recording starts: " << p.err();
    runCommand("sleep 1.2; xdotool mousemove 300 200 click 1; sleep 0.6; xdotool keydown shift key a keyup "
               "shift; sleep 0.6");
    runCommand("xdotool keydown alt key x keyup alt");
    ASSERT_TRUE(p.waitForErr("m_dwFrameCount == ", 10000)) << p.err();

    const std::string dat = home() + "/zedaro/Untitled.dat";
    std::string bytes = readFile(dat);
    ASSERT_GE(bytes.size(), 48u);
    SDatMainHeader h = SDatMainHeader::fromBytes(reinterpret_cast<const uint8_t*>(bytes.data()));
    EXPECT_GE(h.frameCount, 5u) << "first frame, timer frames, the click and the key";
    EXPECT_EQ(h.capture.right, 1024);
    EXPECT_EQ(h.capture.bottom, 768);

    w = mainWindow();
    focus(w);
    runCommand("xdotool key ctrl+m");
    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    ASSERT_TRUE(waitUntil([&] { return fileExists(vlm); }, 15000)) << p.err();
    runCommand("sleep 0.5");
    focus(mainWindow());
    runCommand("xdotool key ctrl+q");
    auto status = p.wait(10000);
    ASSERT_TRUE(status.has_value()) << "Exit of an empty project asks nothing";
    EXPECT_EQ(*status, 0);

    const std::string copy = root.file("show.vlm");
    writeFile(copy, readFile(vlm));
    Process again;
    ASSERT_TRUE(again.start(velmoraBinary(), options({copy})));
    ASSERT_TRUE(again.waitForErr("m_dwFrameCount == " + std::to_string(h.frameCount), 15000)) << again.err();
    EXPECT_TRUE(fileExists(root.file("show.dat")));
    EXPECT_EQ(trim(runCommand("xdotool getwindowname " + mainWindow())),
              "Velmora 1.0 - " + root.file("show"));
    again.signal(SIGTERM);
    again.wait(5000);
}

TEST_F(AuthorSession, ExitWithFramesAsksAndCancelKeepsTheProject) {
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), options()));
    std::string w = mainWindow();
    ASSERT_FALSE(w.empty()) << p.err();
    ASSERT_TRUE(startRecording(p)) << p.err();
    runCommand("sleep 1.2; xdotool keydown alt key x keyup alt");
    ASSERT_TRUE(p.waitForErr("m_dwFrameCount == ", 10000)) << p.err();
    const std::string dat = home() + "/zedaro/Untitled.dat";
    ASSERT_TRUE(fileExists(dat));

    auto promptWindow = [&] {
        std::string id;
        waitUntil(
            [&] {
                return !(id =
                             trim(runCommand("xdotool search --name '^Velmora 1.0$' 2>/dev/null | tail -n1")))
                            .empty();
            },
            10000);
        return id;
    };
    focus(mainWindow());
    runCommand("xdotool key ctrl+q");
    std::string box = promptWindow();
    ASSERT_FALSE(box.empty()) << "Exit with frames asks \"Save Frames?\"";
    focus(box);
    runCommand("xdotool key Escape");
    EXPECT_FALSE(p.wait(1500).has_value()) << "Cancel keeps the program running";
    EXPECT_TRUE(fileExists(dat)) << "and the frames";

    focus(mainWindow());
    runCommand("xdotool key ctrl+q");
    box = promptWindow();
    ASSERT_FALSE(box.empty());
    focus(box);
    runCommand("xdotool keydown alt key n keyup alt");
    auto status = p.wait(10000);
    ASSERT_TRUE(status.has_value()) << "No ends the program";
    EXPECT_EQ(*status, 0);
    EXPECT_FALSE(fileExists(dat)) << "the working frame file goes with the program";
    EXPECT_FALSE(fileExists(home() + "/zedaro/Untitled.vlm")) << "No makes nothing";
}

// Whole frame records behind the main header, and whether the last one ends the file.
struct WholeFrames {
    uint32_t count = 0;
    bool endsTheFile = false;
};

WholeFrames wholeFrames(const std::string& bytes) {
    WholeFrames w;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t at = SDatMainHeader::SIZE;
    while (at + SDatFrameHeader::SIZE <= bytes.size()) {
        const SDatFrameHeader h = SDatFrameHeader::fromBytes(p + at);
        if (h.recordSize < SDatFrameHeader::SIZE || at + h.recordSize > bytes.size())
            break;
        at += h.recordSize;
        ++w.count;
    }
    w.endsTheFile = at == bytes.size();
    return w;
}

// The file size limit of the shell (4 MB) falls inside the second key frame:
// the program lives on, the author is told, and the working frame file
// holds whole frames only, which its main header counts.
TEST_F(AuthorSession, FileSizeLimitDuringARecordingStopsItAndKeepsTheWholeFrames) {
    Process p;
    ProcessOptions o = options({"-c", "ulimit -f 8000 && exec \"$0\"", velmoraBinary()});
    ASSERT_TRUE(p.start("/bin/sh", o));
    std::string w = mainWindow();
    ASSERT_FALSE(w.empty()) << p.err();
    ASSERT_TRUE(startRecording(p)) << "the recording starts: " << p.err();
    ASSERT_TRUE(p.waitForErr("could not be written", 30000)) << p.err();
    ASSERT_TRUE(p.waitForErr("m_dwFrameCount == ", 10000)) << p.err();
    EXPECT_TRUE(p.running()) << p.err();

    const std::string bytes = readFile(home() + "/zedaro/Untitled.dat");
    ASSERT_GE(bytes.size(), SDatMainHeader::SIZE);
    const SDatMainHeader h = SDatMainHeader::fromBytes(reinterpret_cast<const uint8_t*>(bytes.data()));
    const WholeFrames frames = wholeFrames(bytes);
    EXPECT_GE(frames.count, 1u);
    EXPECT_EQ(h.frameCount, frames.count);
    EXPECT_TRUE(frames.endsTheFile) << "no torn frame at the end";
    EXPECT_NE(p.err().find("m_dwFrameCount == " + std::to_string(frames.count) + "\n"), std::string::npos)
        << "the tables hold the frames of the file: " << p.err();
    p.signal(SIGTERM);
    p.wait(5000);
}

// The server goes away during a recording: the program ends once, with
// status 1 and the loss on standard error, and the working frame file holds
// whole frames only, which its main header counts.
TEST(LostServer, DuringARecordingEndsTheProgramOnceAndKeepsTheFrames) {
    TempDir root;
    const std::string home = root.file("home");
    mkdir(home.c_str(), 0755);
    auto server = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server->running());
    ProcessOptions o;
    o.env["HOME"] = home;
    o.env["QT_ENABLE_HIGHDPI_SCALING"] = "0";
    o.workingDirectory = root.path();
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), o));
    std::string w;
    waitUntil(
        [&] {
            return !(w = trim(runCommand("xdotool search --name '^Velmora 1.0 - ' 2>/dev/null | head -n1")))
                        .empty();
        },
        15000);
    ASSERT_FALSE(w.empty()) << p.err();
    runCommand("xdotool windowfocus --sync " + w + " 2>/dev/null");
    runCommand("xdotool keydown alt key c keyup alt");
    ASSERT_TRUE(p.waitForErr("in threadProc", 10000)) << "the recording starts: " << p.err();
    runCommand("sleep 1.2; xdotool mousemove 300 200 click 1; sleep 0.3");

    server.reset();
    const auto status = p.wait(15000);
    ASSERT_TRUE(status.has_value()) << "the program ends: " << p.err();
    EXPECT_EQ(*status, 1) << p.err();
    EXPECT_NE(p.err().find("X connection to"), std::string::npos) << p.err();

    const std::string bytes = readFile(home + "/zedaro/Untitled.dat");
    ASSERT_GE(bytes.size(), SDatMainHeader::SIZE);
    const SDatMainHeader h = SDatMainHeader::fromBytes(reinterpret_cast<const uint8_t*>(bytes.data()));
    const WholeFrames frames = wholeFrames(bytes);
    EXPECT_GE(frames.count, 2u);
    EXPECT_EQ(h.frameCount, frames.count);
    EXPECT_TRUE(frames.endsTheFile) << "no torn frame at the end";
}

} // namespace
