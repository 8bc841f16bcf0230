// Recording hot keys typed as fast as XTest can send them: Alt down, the
// letter down and up, Alt up, with no pause between the events, several
// chords back to back, and chords whose Alt is let go before the letter.
// Every chord the X RECORD stream shows is served and captures no frame.
#include "record/RecordingSession.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

constexpr unsigned ALT = 64, KEY_X = 53, KEY_P = 33, KEY_U = 30, KEY_S = 39;

// Sends every chord as Alt down, key down, key up, Alt up (Alt up before the
// key's when `rolled`), then moves the
// pointer to (x, y), all in one flush: the move shows when the action thread
// has read the stream up to there.
void typeChords(const std::vector<unsigned>& keys, int x, int y, bool afterActions, bool rolled) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    if (afterActions) {
        // A click and a typed letter: their frames are being captured while the chords arrive.
        XTestFakeButtonEvent(d, 1, True, 0);
        XTestFakeButtonEvent(d, 1, False, 0);
        XTestFakeKeyEvent(d, 38, True, 0);
        XTestFakeKeyEvent(d, 38, False, 0);
    }
    for (unsigned k : keys) {
        XTestFakeKeyEvent(d, ALT, True, 0);
        XTestFakeKeyEvent(d, k, True, 0);
        // A rolled chord lets Alt go first, as `xdotool key alt+p` does.
        XTestFakeKeyEvent(d, rolled ? ALT : k, False, 0);
        XTestFakeKeyEvent(d, rolled ? k : ALT, False, 0);
    }
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, 0);
    XSync(d, False);
    XCloseDisplay(d);
}

void movePointer(int x, int y) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, 0);
    XSync(d, False);
    XCloseDisplay(d);
}

// Waits until the action thread's context is enabled: a pointer move shows.
bool streamLive(RecordingSession& s) {
    for (int i = 0; i < 50; ++i) {
        const int x = 10 + i;
        movePointer(x, 11);
        if (waitUntil([&] { return s.state().m_lastPointerX == x; }, 200))
            return true;
    }
    return false;
}

struct ChordCase {
    const char* name;
    std::vector<unsigned> keys;
    bool pause, stop, suspended;
    bool afterActions = false;
    bool rolled = false;
};

class HotKeyChords : public XvfbTest {};

TEST_F(HotKeyChords, BackToBackChordsAreAllServed) {
    const ChordCase cases[] = {
        {"Pause", {KEY_P}, true, false, false},
        {"Stop", {KEY_X}, false, true, false},
        {"Suspend", {KEY_U}, false, false, true},
        {"PauseThenStop", {KEY_P, KEY_X}, true, true, false},
        {"SuspendThenPause", {KEY_U, KEY_P}, true, false, true},
        {"PausePauseStop", {KEY_P, KEY_P, KEY_X}, false, true, false},
        {"SuspendResumeSuspend", {KEY_U, KEY_S, KEY_U}, false, false, true},
        {"PauseAfterActions", {KEY_P}, true, false, false, true},
        {"StopAfterActions", {KEY_X}, false, true, false, true},
        {"PauseThenStopAfterActions", {KEY_P, KEY_X}, true, true, false, true},
        {"RolledPause", {KEY_P}, true, false, false, false, true},
        {"RolledStop", {KEY_X}, false, true, false, false, true},
        {"RolledPauseThenStopAfterActions", {KEY_P, KEY_X}, true, true, false, true, true},
        {"RolledSuspendResumeSuspend", {KEY_U, KEY_S, KEY_U}, false, false, true, false, true},
    };
    for (const ChordCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ProjectTables tables;
        RecordingSession s(tables);
        ASSERT_EQ(s.start(dir.file("Untitled.dat"), true), RecordingSession::START_OK);
        ASSERT_TRUE(s.actionsRecorded());
        ASSERT_TRUE(streamLive(s));
        const uint32_t framesBefore = tables.m_dwFrameCount;
        const int x = 100 + int(&c - cases), y = 77;
        typeChords(c.keys, x, y, c.afterActions, c.rolled);
        ASSERT_TRUE(
            waitUntil([&] { return s.state().m_lastPointerX == x && s.state().m_lastPointerY == y; }, 5000))
            << "the stream reached the pointer move";
        EXPECT_EQ(s.state().m_bPauseRequest, c.pause);
        EXPECT_EQ(s.state().m_bStopRequest, c.stop);
        EXPECT_EQ(s.state().m_bActionCaptureSuspended, c.suspended);
        EXPECT_EQ(tables.m_dwFrameCount, framesBefore + (c.afterActions ? 3 : 0))
            << "the click's two frames and the letter's; hot keys capture none";
        s.state().m_bPauseRequest = false;
        s.stop();
    }
}

} // namespace
