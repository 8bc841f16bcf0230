// The sound clip window and the Sound menu on the real OSS calls, through
// PulseAudio's emulation (the program runs with libpulsedsp.so preloaded)
// against a private server whose default source plays a 440 Hz tone.
#include "../AnsweredBoxes.h"
#include "../MainWindowFixture.h"
#include "../RecordedProject.h"

#include "app/CSoundClip.h"
#include "app/MenuIds.h"
#include "app/SessionFiles.h"
#include "canvas/VLImageHolder.h"
#include "canvas/strip/NVNavigationBar.h"
#include "canvas/strip/NavigationBarBase.h"
#include "media/COSSSound.h"
#include "media/SoundWorkingFile.h"
#include "store/RecordIO.h"
#include "support/PulseServer.h"
#include "support/TempDir.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

using namespace mainwin;
using namespace menuid;
using namespace testsupport;

namespace {

bool emulationPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "libpulsedsp");
}

// The tests run as any user: the engine takes no privilege steps.
class PlainUser : public SoundPrivileges {
  public:
    bool effectiveUserIsRoot() override { return false; }
};

using mainwin::answering;
using mainwin::Box;

// A 440 Hz tone of `seconds` at 8000 Hz, 16-bit mono.
std::string tone(double seconds) {
    const size_t n = size_t(seconds * 8000);
    std::string s(2 * n, '\0');
    for (size_t i = 0; i < n; ++i) {
        const auto v = uint16_t(int16_t(8000 * std::sin(2 * M_PI * 440.0 * double(i) / 8000)));
        s[2 * i] = char(v & 0xff);
        s[2 * i + 1] = char(v >> 8);
    }
    return s;
}

// Window buttons Record, Stop, Play, Forward, Rewind as "1"/"0".
std::string windowStates(CSoundClip* c) {
    std::string s;
    for (QPushButton* b :
         {c->recordButton(), c->stopButton(), c->playButton(), c->forwardButton(), c->rewindButton()})
        s += b->isEnabled() ? '1' : '0';
    return s;
}

class SoundWindow : public MainWindowTest {
  protected:
    void SetUp() override {
        if (!emulationPreloaded())
            GTEST_SKIP() << "run with LD_PRELOAD of libpulsedsp.so (CTest does)";
        MainWindowTest::SetUp();
        w->soundEngine()->setPrivileges(std::make_unique<PlainUser>());
    }
    void TearDown() override {
        if (emulationPreloaded())
            MainWindowTest::TearDown();
    }

    // Sound menu Record, Stop, Play, Rewind, Forward as "1"/"0".
    std::string menuStates() const {
        std::string s;
        for (int id : {SOUND_RECORD, SOUND_STOP, SOUND_PLAY, SOUND_REWIND, SOUND_FORWARD})
            s += w->isItemEnabled(id) ? '1' : '0';
        return s;
    }

    // `frames` frames as a recording leaves them: a key frame, then one-row bands.
    void recordedProject(int frames) { ASSERT_NO_FATAL_FAILURE(mainwin::recordedProject(w, frames)); }

    // A 16-bit clip stored on the 0-based frame as the engine stores one.
    void clipOn(int frame, const std::string& bytes) {
        SoundWorkingFile& file = w->soundWorkingFile();
        writeFile(file.tempPath(), bytes);
        SoundWorkingFile::StoredClip c;
        const SoundWorkingFile::Status s =
            file.storeClip(uint32_t(frame), uint32_t(bytes.size()), sAudioSpecStruct{0, 8000, 1, 16}, c);
        ASSERT_TRUE(s) << s.cause;
        soundrec::setEditInfoAudio(w->project().m_vEditInfo[size_t(frame)], c.headerOffset);
        w->SetUpPlayBackFrameInfoAudio(frame, long(c.length), c.format);
        file.removeTemp();
    }

    // Frame `frame` (0-based) chosen on the strip, the clip window shown.
    void showWindowOn(int frame) {
        w->frameStrip()->set_current_frame(frame + 1);
        ASSERT_EQ(w->project().m_currentFrame, frame);
        w->slotViewRecordSoundClip();
        ASSERT_TRUE(w->soundClip()->isVisible());
        ASSERT_TRUE(w->isItemChecked(VIEW_RECORD_SOUND_CLIP));
    }

    // The commands a transfer locks, and the frame strip.
    bool projectCommandsOn() const {
        return w->isItemEnabled(FILE_MAKE) && w->isItemEnabled(EDIT_APPEND_FRAME) &&
               w->widgets().fileToolBar->isEnabled() && w->navigationBar()->isEnabled();
    }
    bool projectCommandsOff() const {
        return !w->isItemEnabled(FILE_MAKE) && !w->isItemEnabled(EDIT_APPEND_FRAME) &&
               !w->isItemEnabled(EDIT_DELETE_SOUND) && !w->isItemEnabled(FILE_NEW) &&
               !w->widgets().fileToolBar->isEnabled() && !w->navigationBar()->isEnabled();
    }

    QObject timers; // owns the test's timers
};

enum class Start { WindowRecord, WindowPlay, MenuRecord, MenuPlay };
enum class End { WindowStop, WindowForward, MenuStop, PlaysOut };

struct StateCase {
    const char* name;
    bool clip; // the frame has a clip before
    Start start;
    End end;
    // Window: Record Stop Play Forward Rewind. Menu: Record Stop Play Rewind Forward.
    const char *windowDuring, *menuDuring, *windowAfter, *menuAfter;
};

class SoundWindowStates : public SoundWindow, public ::testing::WithParamInterface<StateCase> {};

TEST_P(SoundWindowStates, ButtonsMenuAndLockedCommandsFollowTheTransfer) {
    const StateCase c = GetParam();
    PulseServer server(PulseFormat{"s16le", 8000, 1});
    ASSERT_TRUE(server.running());
    recordedProject(2);
    const std::string clip = tone(c.end == End::PlaysOut ? 1.0 : 6.0);
    if (c.clip)
        clipOn(1, clip);
    const int32_t offsetBefore = w->project().m_vEditInfo[1].audioHeaderOffset;
    showWindowOn(1);
    ASSERT_EQ(windowStates(w->soundClip()), c.clip ? "10100" : "10000") << "on show";
    ASSERT_TRUE(projectCommandsOn());

    std::string windowDuring, menuDuring;
    bool lockedDuring = false, busyDuring = false;
    const bool recording = c.start == Start::WindowRecord || c.start == Start::MenuRecord;
    QTimer::singleShot(500, &timers, [&] {
        windowDuring = windowStates(w->soundClip());
        menuDuring = menuStates();
        lockedDuring = projectCommandsOff();
        busyDuring = w->isSoundBusy();
    });
    // A recording stopped in its first segment has no bytes.
    QTimer::singleShot(recording ? 2000 : 800, &timers, [&] {
        CSoundClip* window = w->soundClip();
        switch (c.end) {
        case End::WindowStop:
            window->stopButton()->click();
            break;
        case End::WindowForward:
            window->forwardButton()->click();
            break;
        case End::MenuStop:
            w->actionById(SOUND_STOP)->trigger();
            break;
        case End::PlaysOut:
            break;
        }
    });
    QElapsedTimer clock;
    clock.start();
    switch (c.start) {
    case Start::WindowRecord:
        w->soundClip()->recordButton()->click();
        break;
    case Start::WindowPlay:
        w->soundClip()->playButton()->click();
        break;
    case Start::MenuRecord:
        w->actionById(SOUND_RECORD)->trigger();
        break;
    case Start::MenuPlay:
        w->actionById(SOUND_PLAY)->trigger();
        break;
    }
    const qint64 took = clock.elapsed();

    EXPECT_TRUE(busyDuring);
    EXPECT_EQ(windowDuring, c.windowDuring);
    EXPECT_EQ(menuDuring, c.menuDuring);
    EXPECT_TRUE(lockedDuring) << "the project's commands are off during the transfer";
    EXPECT_FALSE(w->isSoundBusy());
    EXPECT_EQ(windowStates(w->soundClip()), c.windowAfter);
    EXPECT_EQ(menuStates(), c.menuAfter);
    EXPECT_TRUE(projectCommandsOn()) << "back after the transfer";
    EXPECT_TRUE(w->isItemEnabled(EDIT_DELETE_SOUND)) << "the frame has a clip";
    EXPECT_FALSE(fileExists(w->soundEngine()->tempFilePath()));

    const SPlayBackFrameInfo& p = w->project().m_vPlayBackFrameInfo[1];
    ASSERT_GT(p.audioSize, 0u);
    if (recording) {
        EXPECT_EQ(p.audioSize % 4096, 0u);
        EXPECT_EQ(p.bitsPerSample, 16);
        EXPECT_NE(w->project().m_vEditInfo[1].audioHeaderOffset, offsetBefore) << "a new clip";
    } else {
        EXPECT_EQ(p.audioSize, clip.size());
        EXPECT_EQ(w->project().m_vEditInfo[1].audioHeaderOffset, offsetBefore);
        if (c.end != End::PlaysOut)
            EXPECT_LT(took, 4000) << "the 6-s clip was cut short";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SoundWindowStates,
    ::testing::Values(
        //         name                          clip   start               end
        //         window/menu during,  window/menu after
        StateCase{"RecordWithoutClipThenStop", false, Start::WindowRecord, End::WindowStop, "01000", "01000",
                  "10100", "10100"},
        // The menu's Play ends on: the frame now has a clip.
        // The menu's Rewind and Forward keep what the frame set: they do nothing.
        StateCase{"RecordOverAClipThenStop", true, Start::WindowRecord, End::WindowStop, "01000", "01011",
                  "10100", "10100"},
        StateCase{"PlayThenStop", true, Start::WindowPlay, End::WindowStop, "01011", "01011", "10100",
                  "10100"},
        StateCase{"PlayThenForward", true, Start::WindowPlay, End::WindowForward, "01011", "01011", "10100",
                  "10100"},
        StateCase{"PlayToTheEnd", true, Start::WindowPlay, End::PlaysOut, "01011", "01011", "10100", "10100"},
        StateCase{"MenuRecordThenMenuStop", false, Start::MenuRecord, End::MenuStop, "01000", "01000",
                  "10100", "10100"},
        StateCase{"MenuPlayThenMenuStop", true, Start::MenuPlay, End::MenuStop, "01000", "01011", "10100",
                  "10100"}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

TEST_F(SoundWindow, WithoutAServerTheBoxShowsAndTheProjectStays) {
    TempDir dir;
    writeFile(dir.file("client.conf"), "autospawn = no\n");
    setenv("PULSE_SERVER", ("unix:" + dir.file("none")).c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", dir.file("client.conf").c_str(), 1);
    recordedProject(2);
    clipOn(0, tone(0.5));
    const SPlayBackFrameInfo before = w->project().m_vPlayBackFrameInfo[1];
    showWindowOn(1);

    const std::vector<Box> boxes = answering({"OK"}, [&] { w->soundClip()->recordButton()->click(); });
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_CLIENTCONFIG");

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Record SoundClip");
    EXPECT_EQ(boxes[0].text, "Unable to Open SoundDevice");
    EXPECT_EQ(w->project().m_dwFrameCount, 2u);
    EXPECT_EQ(w->project().m_vPlayBackFrameInfo[1], before) << "no clip";
    EXPECT_EQ(w->project().m_vPlayBackFrameInfo[0].audioSize, 8000u) << "the other frame's clip stays";
    EXPECT_FALSE(w->isSoundBusy());
    EXPECT_EQ(windowStates(w->soundClip()), "10000") << "ready to record again";
    EXPECT_EQ(menuStates(), "10000");
    EXPECT_TRUE(projectCommandsOn());
}

// Closing the main window during a transfer stops it, waits for its end and
// then closes as usual.
TEST_F(SoundWindow, ClosingDuringPlaybackEndsTheTransferThenCloses) {
    PulseServer server(PulseFormat{"s16le", 8000, 1});
    ASSERT_TRUE(server.running());
    recordedProject(2);
    clipOn(1, tone(6.0));
    showWindowOn(1);
    w->show();
    QPointer<Velmora> window(w);
    bool closedDuring = true;
    QTimer::singleShot(700, &timers, [&] {
        closedDuring = w->close(); // refused while the transfer ends
    });
    QElapsedTimer clock;
    clock.start();
    std::vector<Box> boxes = answering({"&No "}, [&] {
        w->soundClip()->playButton()->click();
        // The close asked for goes on once the transfer has ended.
        for (int i = 0; i < 500 && window && window->isVisible(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    });
    EXPECT_FALSE(closedDuring);
    EXPECT_LT(clock.elapsed(), 4000) << "the 6-s clip was stopped";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save Frames?");
    for (int i = 0; i < 100 && window; ++i)
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "the window closed";
    if (!window)
        w = nullptr;
}

TEST_F(SoundWindow, ClosingDuringARecordingKeepsTheClip) {
    PulseServer server(PulseFormat{"s16le", 8000, 1});
    ASSERT_TRUE(server.running());
    recordedProject(2);
    showWindowOn(0);
    w->show();
    QTimer::singleShot(2000, &timers, [&] { w->close(); });
    // The author cancels at the Save Frames prompt: the window stays, with the clip.
    const std::vector<Box> boxes = answering({"&Cancel"}, [&] {
        w->soundClip()->recordButton()->click();
        for (int i = 0; i < 100 && QApplication::activeModalWidget() == nullptr; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        for (int i = 0; i < 100 && QApplication::activeModalWidget() != nullptr; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save Frames?");
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isSoundBusy());
    const SPlayBackFrameInfo& p = w->project().m_vPlayBackFrameInfo[0];
    EXPECT_GT(p.audioSize, 0u) << "the clip recorded before the close is kept";
    EXPECT_EQ(w->project().m_vEditInfo[0].audioFlag, 1);
    EXPECT_TRUE(projectCommandsOn());
}

// Exit during a recording: the recording ends and is kept, then Exit goes on
// as usual; here the author cancels at its prompt.
TEST_F(SoundWindow, ExitDuringARecordingKeepsTheClipThenAsks) {
    PulseServer server(PulseFormat{"s16le", 8000, 1});
    ASSERT_TRUE(server.running());
    recordedProject(2);
    showWindowOn(1);
    bool busyAtExit = false;
    QTimer::singleShot(2000, &timers, [&] {
        busyAtExit = w->isSoundBusy();
        w->actionById(FILE_EXIT)->trigger();
    });
    const std::vector<Box> boxes = answering({"&Cancel"}, [&] {
        w->soundClip()->recordButton()->click();
        for (int i = 0; i < 300 && !QApplication::activeModalWidget(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        for (int i = 0; i < 100 && QApplication::activeModalWidget(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    });
    EXPECT_TRUE(busyAtExit);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save Frames?");
    EXPECT_GT(w->project().m_vPlayBackFrameInfo[1].audioSize, 0u) << "the clip is kept";
    EXPECT_EQ(w->project().m_dwFrameCount, 2u);
    EXPECT_TRUE(projectCommandsOn());
}

struct FrameChangeCase {
    const char* name;
    bool shown;
    int to;             // 0 has no clip, 1 has one
    const char* window; // Record Stop Play Forward Rewind
    const char* menu;   // Record Stop Play Rewind Forward
    bool deleteSound;
};

class SoundWindowFrameChange : public SoundWindow, public ::testing::WithParamInterface<FrameChangeCase> {};

// A frame change sets Delete Sound by the frame's clip; with the window shown
// it sets the buttons and turns the menu's Play off, as designed.
TEST_P(SoundWindowFrameChange, FollowsTheFrame) {
    const FrameChangeCase c = GetParam();
    recordedProject(2);
    clipOn(1, tone(0.5));
    w->frameStrip()->set_current_frame(c.to == 0 ? 2 : 1);
    if (c.shown) {
        w->slotViewRecordSoundClip();
        ASSERT_TRUE(w->soundClip()->isVisible());
    }
    w->frameStrip()->set_current_frame(c.to + 1);
    ASSERT_EQ(w->project().m_currentFrame, c.to);
    EXPECT_EQ(w->soundClip()->announcedFrame(), c.to);
    if (c.shown)
        EXPECT_EQ(windowStates(w->soundClip()), c.window);
    EXPECT_EQ(menuStates(), c.menu);
    EXPECT_EQ(w->isItemEnabled(EDIT_DELETE_SOUND), c.deleteSound);

    // New hides the window.
    answering({"&No "}, [&] { w->slotFileNew(); });
    EXPECT_FALSE(w->soundClip()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Table, SoundWindowFrameChange,
                         ::testing::Values(FrameChangeCase{"ShownToAClip", true, 1, "10100", "10011", true},
                                           FrameChangeCase{"ShownToNoClip", true, 0, "10000", "10000", false},
                                           // Hidden: the Sound menu keeps what the frame loading set.
                                           FrameChangeCase{"HiddenToAClip", false, 1, "", "10111", true},
                                           FrameChangeCase{"HiddenToNoClip", false, 0, "", "10000", false}),
                         [](const ::testing::TestParamInfo<FrameChangeCase>& info) {
                             return std::string(info.param.name);
                         });

// The buttons are built once: a showing on a frame without a clip does not
// keep the Play of an earlier frame's clip.
TEST_F(SoundWindow, ShowingAgainOnAFrameWithoutAClipTurnsPlayOff) {
    recordedProject(2);
    clipOn(1, tone(0.5));
    showWindowOn(1);
    CSoundClip* window = w->soundClip();
    QPushButton* record = window->recordButton();
    ASSERT_EQ(windowStates(window), "10100");
    w->slotViewRecordSoundClip();
    ASSERT_FALSE(window->isVisible());
    w->frameStrip()->set_current_frame(1);
    w->slotViewRecordSoundClip();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(windowStates(window), "10000");
    EXPECT_EQ(window->recordButton(), record) << "the same buttons";
    EXPECT_EQ(window->findChildren<QPushButton*>().size(), 5);
}

// The window settings of the last run show the window at the start.
class SoundWindowSaved : public SoundWindow, public ::testing::WithParamInterface<bool> {
  protected:
    void prepareHome() override {
        const uint8_t bits = SWindowSettings::TOOL_BAR | SWindowSettings::STATUS_BAR |
                             (GetParam() ? SWindowSettings::SOUND_CLIP : uint8_t(0));
        ASSERT_TRUE(SessionFiles::saveSettings(
            home() + "/zedaro",
            SessionFiles::makeSettings(QRect(10, 10, 800, 600), false, false, bits, 1024, 768)));
    }
};

TEST_P(SoundWindowSaved, ShowsTheWindowAsLastTime) {
    EXPECT_EQ(w->soundClip()->isVisible(), GetParam());
    EXPECT_EQ(w->isItemChecked(VIEW_RECORD_SOUND_CLIP), GetParam());
    if (GetParam())
        EXPECT_EQ(windowStates(w->soundClip()), "10000");
}

INSTANTIATE_TEST_SUITE_P(Start, SoundWindowSaved, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Shown" : "Hidden");
                         });

} // namespace
