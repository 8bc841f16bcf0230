// An author's session driven through the keyboard and mouse: record, stop,
// make, quit, and open the made file again from the command line.
#include "AuthorSessionFixture.h"
#include "store/DatRecords.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/stat.h>

using namespace testsupport;

namespace {

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

// The part of the canvas the author sees: the screen-sized native window
// under the main window, clipped by its ancestors, in root coordinates.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
};

ScreenRect visibleCanvas(Display* dpy, Window top, int canvasWidth, int canvasHeight) {
    ScreenRect found;
    // Depth-first, keeping the clip of the ancestors.
    struct Item {
        Window w;
        ScreenRect clip;
    };
    std::vector<Item> todo{{top, {0, 0, 1 << 15, 1 << 15}}};
    while (!todo.empty() && found.width == 0) {
        const Item item = todo.back();
        todo.pop_back();
        XWindowAttributes a{};
        if (!XGetWindowAttributes(dpy, item.w, &a) || a.map_state != IsViewable)
            continue;
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(dpy, item.w, DefaultRootWindow(dpy), 0, 0, &rx, &ry, &child);
        ScreenRect clip;
        clip.x = std::max(rx, item.clip.x);
        clip.y = std::max(ry, item.clip.y);
        clip.width = std::min(rx + a.width, item.clip.x + item.clip.width) - clip.x;
        clip.height = std::min(ry + a.height, item.clip.y + item.clip.height) - clip.y;
        if (clip.width <= 0 || clip.height <= 0)
            continue;
        if (item.w != top && a.width == canvasWidth && a.height == canvasHeight) {
            found = clip;
            break;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(dpy, item.w, &root, &parent, &children, &n)) {
            for (unsigned int i = 0; i < n; ++i)
                todo.push_back({children[i], clip});
            XFree(children);
        }
    }
    return found;
}

// Pixels of the rectangle of the screen that are not `rgb`.
long pixelsOtherThan(Display* dpy, const ScreenRect& r, unsigned long rgb) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), r.x, r.y, unsigned(r.width), unsigned(r.height),
                            AllPlanes, ZPixmap);
    if (!img)
        return -1;
    long other = 0;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if ((XGetPixel(img, x, y) & 0xFFFFFF) != rgb)
                ++other;
    XDestroyImage(img);
    return other;
}

// Two appended frames are filled by the frame loading in their frame
// object's colour; stepping back shows the first one so, and the make runs.
TEST_F(AuthorSession, AppendedFramesShowTheirFrameColourAndMake) {
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), options()));
    std::string w = mainWindow();
    ASSERT_FALSE(w.empty()) << p.err();
    Display* dpy = XOpenDisplay(xvfb().display().c_str());
    ASSERT_NE(nullptr, dpy);
    const unsigned long frameColour = 0x1622C7; // red 22, green 34, blue 199
    ScreenRect canvas;
    long other = -1;
    // Keys pressed while the window is still settling can be lost: press
    // again until the canvas shows a blank frame (any appended frame does).
    for (int attempt = 0; attempt < 3 && other != 0; ++attempt) {
        focus(w);
        runCommand("xdotool key F5; sleep 0.5; xdotool key F5; sleep 0.5; xdotool key ctrl+Left");
        waitUntil(
            [&] {
                canvas = visibleCanvas(dpy, Window(std::stoul(w)), 1024, 768);
                other = canvas.width > 0 ? pixelsOtherThan(dpy, canvas, frameColour) : -1;
                return other == 0;
            },
            8000);
    }
    EXPECT_GT(canvas.width * canvas.height, 100 * 100) << "the canvas is shown";
    EXPECT_EQ(0, other) << "every canvas pixel in the frame colour: " << p.err();

    focus(mainWindow());
    runCommand("xdotool key ctrl+m");
    EXPECT_TRUE(waitUntil([&] { return fileExists(home() + "/zedaro/Untitled.vlm"); }, 15000)) << p.err();
    XCloseDisplay(dpy);
    p.signal(SIGTERM);
    p.wait(5000);
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
    ASSERT_TRUE(pressUntilRecording(p, w)) << "the recording starts: " << p.err();
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
