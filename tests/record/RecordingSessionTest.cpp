#include "record/RecordingSession.h"
#include "store/OutputFileMaker.h"
#include "store/RecordIO.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace testsupport;

namespace {

struct Tables {
    ProjectTables project;
    std::vector<SEditInfo>& editInfo = project.m_vEditInfo;
    std::vector<SPlayBackFrameInfo>& playBack = project.m_vPlayBackFrameInfo;
    std::vector<uint32_t>& userActionFrames = project.m_vUserActionFrames;
    std::vector<stdColormapArray>& colormaps = project.m_vColormaps;
    uint32_t& frameCount = project.m_dwFrameCount;
    uint32_t& userActionCount = project.m_dwUserActionFrame;
    uint32_t& nextRecordOffset = project.m_nextRecordOffset;
};

struct DatFrame {
    SDatFrameHeader header;
    std::vector<uint8_t> data;
};

struct DatContents {
    SDatMainHeader main;
    std::vector<DatFrame> frames;
};

DatContents readDat(const std::string& path) {
    std::string bytes = readFile(path);
    DatContents c;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() < 48)
        return c;
    c.main = SDatMainHeader::fromBytes(p);
    size_t at = 48;
    while (at + 60 <= bytes.size()) {
        DatFrame f;
        f.header = SDatFrameHeader::fromBytes(p + at);
        if (f.header.recordSize < 60 || at + f.header.recordSize > bytes.size())
            break;
        f.data.assign(p + at + 60, p + at + f.header.recordSize);
        at += f.header.recordSize;
        c.frames.push_back(std::move(f));
    }
    return c;
}

// The root window as unpadded rows of 4 bytes a pixel (colour bytes only).
std::vector<uint8_t> rootSnapshot(int w, int h) {
    Display* d = XOpenDisplay(nullptr);
    XImage* img = XGetImage(d, DefaultRootWindow(d), 0, 0, w, h, AllPlanes, ZPixmap);
    std::vector<uint8_t> out(size_t(w) * 4 * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t px = uint32_t(XGetPixel(img, x, y)) & 0xFFFFFF;
            rec::writeLe32(out.data() + (size_t(y) * w + x) * 4, px);
        }
    XDestroyImage(img);
    XCloseDisplay(d);
    return out;
}

void fillRows(int top, int rows, unsigned long pixel) {
    Display* d = XOpenDisplay(nullptr);
    Window root = DefaultRootWindow(d);
    GC gc = XCreateGC(d, root, 0, nullptr);
    XSetForeground(d, gc, pixel);
    XSetSubwindowMode(d, gc, IncludeInferiors);
    XFillRectangle(d, root, gc, 0, top, unsigned(DisplayWidth(d, 0)), unsigned(rows));
    XFreeGC(d, gc);
    XSync(d, False);
    XCloseDisplay(d);
}

class RecordingSessionTest : public XvfbTest {};

TEST_F(RecordingSessionTest, RecordsTimerAndActionFramesIntoTheWorkingFile) {
    TempDir dir;
    std::string path = dir.file("Untitled.dat");
    Tables t;
    RecordingSession s(t.project);
    ASSERT_EQ(s.start(path, true), RecordingSession::START_OK);
    EXPECT_TRUE(s.actionsRecorded());
    EXPECT_EQ(t.frameCount, 1u);
    EXPECT_EQ(readDat(path).main.frameCount, 10u) << "the header says 10 while recording";

    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s.tick(), RecordingSession::TICK_CAPTURED);
    fillRows(100, 10, 0x00FF00);
    EXPECT_EQ(s.tick(), RecordingSession::TICK_CAPTURED);
    const uint32_t bandFrame = t.frameCount - 1;

    runCommand("xdotool mousemove 300 200 click 1");
    ASSERT_TRUE(waitUntil([&] { return t.frameCount >= bandFrame + 3; }, 5000)) << "press and release frames";
    runCommand("xdotool keydown shift key a keyup shift");
    ASSERT_TRUE(waitUntil([&] { return t.frameCount >= bandFrame + 4; }, 5000)) << "the key frame of Shift+a";

    // Pause and resume by the hot key: no frames while paused.
    runCommand("xdotool keydown alt key p keyup alt");
    ASSERT_TRUE(waitUntil([&] { return s.state().m_bPauseRequest.load(); }, 5000));
    EXPECT_EQ(s.tick(), RecordingSession::TICK_PAUSE);
    const uint32_t pausedAt = t.frameCount;
    EXPECT_EQ(s.tick(), RecordingSession::TICK_IDLE);
    runCommand("xdotool click 1");
    EXPECT_EQ(t.frameCount, pausedAt);
    runCommand("xdotool keydown alt key p keyup alt");
    ASSERT_TRUE(waitUntil([&] { return !s.state().m_bPauseRequest.load(); }, 5000));
    EXPECT_EQ(s.tick(), RecordingSession::TICK_RESUME);
    EXPECT_FALSE(s.paused());

    // Suspend action capture: timer frames go on, clicks give none.
    runCommand("xdotool keydown alt key u keyup alt");
    ASSERT_TRUE(waitUntil([&] { return s.state().m_bActionCaptureSuspended.load(); }, 5000));
    uint32_t before = t.frameCount;
    runCommand("xdotool click 3");
    EXPECT_EQ(s.tick(), RecordingSession::TICK_CAPTURED);
    EXPECT_EQ(t.frameCount, before + 1);
    runCommand("xdotool keydown alt key s keyup alt");
    ASSERT_TRUE(waitUntil([&] { return !s.state().m_bActionCaptureSuspended.load(); }, 5000));

    while (t.frameCount < 12)
        s.tick();
    auto snapshot = rootSnapshot(1024, 768);
    runCommand("xdotool keydown alt key x keyup alt");
    ASSERT_TRUE(waitUntil([&] { return s.state().m_bStopRequest.load(); }, 5000));
    EXPECT_EQ(s.tick(), RecordingSession::TICK_STOP);
    ASSERT_EQ(s.stop(), 0);

    DatContents dat = readDat(path);
    EXPECT_EQ(dat.main.frameCount, t.frameCount);
    EXPECT_EQ(dat.main.capture.right, 1024);
    EXPECT_EQ(dat.main.capture.bottom, 768);
    ASSERT_EQ(dat.frames.size(), t.frameCount);
    uint32_t offset = 48;
    for (uint32_t i = 0; i < dat.frames.size(); ++i) {
        const auto& h = dat.frames[i].header;
        EXPECT_EQ(h.frameNumber, i);
        EXPECT_EQ(h.keyFlag, (i % 10 == 0) ? 1u : 0u) << "frame " << i;
        EXPECT_EQ(h.dataLength(), uint32_t(h.data.bottom - h.data.top + 1) * 4096u);
        EXPECT_EQ(uint32_t(t.editInfo[i].recordOffset), offset);
        offset += h.recordSize;
    }
    EXPECT_EQ(t.nextRecordOffset, offset);
    const auto& band = dat.frames[bandFrame].header;
    EXPECT_EQ(band.data.top, 100);
    EXPECT_EQ(band.data.bottom, 109);
    EXPECT_EQ(rec::readLe32(dat.frames[bandFrame].data.data()) & 0xFFFFFF, 0x00FF00u);

    // Rebuild the last frame: its key frame with every band after it laid over.
    std::vector<uint8_t> picture(4096u * 768u, 0);
    for (auto& f : dat.frames)
        std::memcpy(picture.data() + size_t(f.header.data.top) * 4096, f.data.data(), f.data.size());
    for (size_t i = 0; i < picture.size(); i += 4)
        picture[i + 3] = 0;
    EXPECT_TRUE(picture == snapshot) << "the last frame equals the screen";

    const auto& press = t.playBack[bandFrame + 1];
    EXPECT_EQ(press.vType, VALIDATION_MOUSE);
    EXPECT_EQ(press.mouseMessage, 513);
    EXPECT_EQ(press.xOrKey, 300);
    EXPECT_EQ(press.clickRect.left, 280);
    EXPECT_EQ(press.clickRect.top, 184);
    EXPECT_EQ(t.playBack[bandFrame + 2].vType, VALIDATION_NONE) << "a release is a plain frame";
    const auto& key = t.playBack[bandFrame + 3];
    EXPECT_EQ(key.vType, VALIDATION_KEY);
    EXPECT_EQ(key.xOrKey, 65);
    EXPECT_EQ(uint32_t(key.yOrModifiers), MOD_SHIFT);
    EXPECT_EQ(t.userActionFrames, (std::vector<uint32_t>{bandFrame + 1, bandFrame + 3}));
    EXPECT_EQ(t.userActionCount, 2u);
}

TEST_F(RecordingSessionTest, StopRequestedWhilePausedRunsAfterResume) {
    TempDir dir;
    Tables t;
    RecordingSession s(t.project);
    ASSERT_EQ(s.start(dir.file("a.dat"), false), RecordingSession::START_OK);
    s.togglePause();
    s.state().m_bStopRequest = true;
    EXPECT_EQ(s.tick(), RecordingSession::TICK_IDLE) << "stop while paused does nothing";
    s.state().m_bPauseRequest = false; // the pause hot key again
    EXPECT_EQ(s.tick(), RecordingSession::TICK_STOP);
    EXPECT_FALSE(s.paused());
    EXPECT_EQ(s.stop(), 0);
}

TEST_F(RecordingSessionTest, UnwritableFileFailsTheStart) {
    Tables t;
    RecordingSession s(t.project);
    EXPECT_EQ(s.start("/nonexistent-dir/x/Untitled.dat", false), RecordingSession::START_FILE_FAILED);
    EXPECT_FALSE(s.recording());
    EXPECT_EQ(t.frameCount, 0u);
}

// The server goes away during a recording with actions: both X RECORD
// connections report the loss instead of ending the process, the action
// thread leaves the enable call, the capture fails and the recording stops
// with every frame handed in whole in the file and counted in its header.
TEST(RecordingSessionDeath, LostServerStopsTheRecordingAndKeepsItsFrames) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto lostServer = [] {
        auto server = std::make_unique<XvfbServer>(ScreenSpec{640, 480, 24, {}});
        if (!server->running())
            return 10;
        TempDir dir;
        const std::string path = dir.file("Untitled.dat");
        Tables t;
        RecordingSession s(t.project);
        if (s.start(path, true) != RecordingSession::START_OK || !s.actionsRecorded())
            return 11;
        for (int i = 0; i < 3; ++i)
            s.tick();
        server.reset();
        int ticks = 0;
        while (s.tick() != RecordingSession::TICK_STOP && ++ticks < 500)
            usleep(2000);
        if (ticks >= 500)
            return 4;
        if (s.stop() != 0 || s.failure() != RecordingSession::FAIL_CAPTURE)
            return 5;
        const DatContents dat = readDat(path);
        if (t.frameCount < 4 || dat.main.frameCount != t.frameCount || dat.frames.size() != t.frameCount ||
            readFile(path).size() != t.nextRecordOffset)
            return 6;
        return 3;
    };
    EXPECT_EXIT(std::exit(lostServer()), ::testing::ExitedWithCode(3), "X connection to .* lost");
}

// The make sees a project without objects, resources or sound.
struct PlainFrames : MakeServices {
    size_t objectCount(uint32_t) override { return 0; }
    std::vector<uint8_t> objectChunk(uint32_t) override { return {}; }
    std::vector<uint32_t> resourceIds(uint32_t) override { return {}; }
    bool resource(uint32_t, VlmResourceRecord&, std::vector<uint8_t>*) override { return false; }
    std::vector<uint8_t> encodeAudio(const uint8_t* pcm, size_t n) override { return {pcm, pcm + n}; }
};

// The disk fills during a recording (the file size limit of the process falls
// inside the second key frame): the recording stops, the frames that did not
// reach the file whole leave the tables, the file ends after the last whole
// one, and once there is room again the make succeeds with those frames.
TEST(RecordingSessionDeath, FullDiskKeepsTheWholeFramesAndTheMakeSucceeds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto fullDisk = [] {
        XvfbServer server(ScreenSpec{1024, 768, 24, {}});
        if (!server.running())
            return 10;
        TempDir dir;
        const std::string path = dir.file("Untitled.dat");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim;
        getrlimit(RLIMIT_FSIZE, &lim);
        const rlim_t unlimited = lim.rlim_cur;
        lim.rlim_cur = 48 + 60 + 1024 * 768 * 4 + 200000; // the first key frame and some bands
        setrlimit(RLIMIT_FSIZE, &lim);

        Tables t;
        RecordingSession s(t.project);
        if (s.start(path, false) != RecordingSession::START_OK)
            return 11;
        int ticks = 0;
        while (s.tick() != RecordingSession::TICK_STOP && ++ticks < 500)
            usleep(2000);
        if (s.stop() != -1 || s.failure() != RecordingSession::FAIL_WRITE)
            return 4;
        if (t.frameCount < 1 || t.frameCount >= s.captureCount() || t.editInfo.size() != t.frameCount ||
            t.playBack.size() != t.frameCount)
            return 5;
        const DatContents dat = readDat(path);
        if (dat.main.frameCount != t.frameCount || dat.frames.size() != t.frameCount ||
            readFile(path).size() != t.nextRecordOffset)
            return 6;

        lim.rlim_cur = unlimited; // room again
        setrlimit(RLIMIT_FSIZE, &lim);
        MakeInput in;
        in.workingPath = path;
        in.outputPath = dir.file("Untitled.vlm");
        in.project = &t.project;
        in.depth = 24;
        in.screenWidth = 1024;
        in.screenHeight = 768;
        PlainFrames services;
        OutputFileMaker maker(in, services);
        if (maker.make() != OutputFileMaker::MAKE_OK)
            return 7;
        return 3;
    };
    EXPECT_EXIT(std::exit(fullDisk()), ::testing::ExitedWithCode(3), "could not be written");
}

class RecordingAtOtherDepths : public XvfbParamTest {};

TEST_P(RecordingAtOtherDepths, RowSizeAndPalettes) {
    TempDir dir;
    Tables t;
    RecordingSession s(t.project);
    ASSERT_EQ(s.start(dir.file("a.dat"), false), RecordingSession::START_OK);
    s.tick();
    ASSERT_EQ(s.stop(), 0);
    const ScreenSpec& spec = GetParam();
    const int bpp = spec.depth == 8 ? 1 : spec.depth == 16 ? 2 : 4;
    EXPECT_EQ(s.rowBytes(), bpp * spec.width);
    DatContents dat = readDat(dir.file("a.dat"));
    ASSERT_EQ(dat.frames.size(), 2u);
    EXPECT_EQ(dat.frames[0].data.size(), size_t(bpp) * spec.width * spec.height);
    EXPECT_EQ(t.colormaps.size(), spec.depth <= 15 ? 1u : 0u);
    EXPECT_EQ(dat.frames[1].header.paletteIndex, spec.depth <= 15 ? 0u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Screens, RecordingAtOtherDepths,
                         ::testing::Values(ScreenSpec{800, 600, 16, {}}, ScreenSpec{638, 480, 8, {}}),
                         screenName);

} // namespace
