// Fixture for the frame strip and navigation bar tests: a private Xvfb
// 1024 pixels wide with a QApplication on it for the test suite, both removed
// afterwards (XcbAppSuite). An application that already exists is used as it is.
#pragma once

#include "canvas/strip/FrameDetails.h"
#include "canvas/strip/FrameStripHost.h"
#include "canvas/strip/NavigationBarBase.h"
#include "support/QtTestApp.h"
#include "support/XvfbServer.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

class StripAppTest : public testsupport::XcbAppSuite {
  protected:
    void SetUp() override {
        ASSERT_NE(QCoreApplication::instance(), nullptr) << "no X display for the strip tests";
        setMinFramesFromScreenWidth(1024);
        NavigationBarBase::temp_end_frame = 0;
    }
};

// The name of a NavigationBarBase::ButtonState code, for the signal log.
inline std::string buttonStateName(int code) {
    static const char* const names[] = {
        "ButtonsFirstFrame",     "ButtonsOnlyFrame",      "ButtonsFirstUserAction",
        "ButtonsOnlyUserAction", "ButtonsMiddleFrame",    "ButtonsMiddleUserAction",
        "ButtonsLastFrame",      "ButtonsLastUserAction", "ButtonsStripEmpty"};
    static_assert(std::size(names) == NavigationBarBase::ButtonsStripEmpty + 1);
    return code >= 0 && code <= NavigationBarBase::ButtonsStripEmpty ? names[code] : std::to_string(code);
}

// Records every signal of a strip as text, in the order they come.
class StripSignalLog {
  public:
    explicit StripSignalLog(NavigationBarBase* strip) {
        auto add = [this](const std::string& s) { events.push_back(s); };
        auto one = [add](const char* name) {
            return [add, name](int a) { add(std::string(name) + "(" + std::to_string(a) + ")"); };
        };
        QObject::connect(strip, &NavigationBarBase::signal_current_frame_is, strip, one("frame"));
        QObject::connect(strip, &NavigationBarBase::signal_current_user_action_frame_is, strip, one("ua"));
        QObject::connect(strip, &NavigationBarBase::signal_change_button_state, strip,
                         [add](int code) { add("state(" + buttonStateName(code) + ")"); });
        QObject::connect(strip, &NavigationBarBase::signalCurrentFrameStatus, strip,
                         [add](bool d) { add(d ? "status(deleted)" : "status(ok)"); });
        QObject::connect(strip, &NavigationBarBase::signal_on_delete_frame, strip, [add](int a, int b) {
            add("delete(" + std::to_string(a) + "," + std::to_string(b) + ")");
        });
        QObject::connect(strip, &NavigationBarBase::signal_on_undelete_frame, strip, one("undelete"));
        QObject::connect(
            strip, &NavigationBarBase::signal_on_paste_frames, strip, [add](int c, int a, int b) {
                add("paste(" + std::to_string(c) + "," + std::to_string(a) + "," + std::to_string(b) + ")");
            });
        QObject::connect(strip, &NavigationBarBase::signal_on_paste_after_cut, strip,
                         [add](int c, int a, int b) {
                             add("cutpaste(" + std::to_string(c) + "," + std::to_string(a) + "," +
                                 std::to_string(b) + ")");
                         });
        QObject::connect(strip, &NavigationBarBase::signal_on_record_frames, strip,
                         [add] { add("recorded"); });
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
    std::vector<std::string> events;
};

// The main window's playback records and the holder's frame object records,
// as far as the strip uses them. Toggles the deleted flags on the strip's
// delete signal before it returns, as the main window does.
class FakeStripHost : public FrameStripHost {
  public:
    struct Frame {
        bool deleted = false;
        bool recordedAction = false;
        bool audio = false;
        uint8_t actionDisabled = 0;
        bool hasRecord = true;
        uint8_t userActionByte = 0;
    };
    explicit FakeStripHost(int frames) : frames(frames) {}
    void attach(NavigationBarBase* strip) {
        strip->setHost(this);
        QObject::connect(strip, &NavigationBarBase::signal_on_delete_frame, strip, [this](int a, int b) {
            for (int i = a; i <= b; ++i)
                frames[i].deleted = !frames[i].deleted;
        });
    }

    int playbackFrameCount() const override { return int(frames.size()); }
    bool isPlaybackFrameDeleted(int f) const override { return frames.at(f).deleted; }
    bool hasRecordedAction(int f) const override { return frames.at(f).recordedAction; }
    bool hasAudio(int f) const override { return frames.at(f).audio; }
    void setActionDisabled(int f, uint8_t v) override { frames.at(f).actionDisabled = v; }
    void disableObjects() override { calls.push_back("disableObjects"); }
    void enableObjects() override { calls.push_back("enableObjects"); }
    void changePurgeStatus(bool any) override { calls.push_back(any ? "purge(on)" : "purge(off)"); }
    bool hasFrameObjectRecord(int f) const override { return frames.at(f).hasRecord; }
    void addFrameStructureToList(int f) override {
        calls.push_back("addFrameStructureToList(" + std::to_string(f) + ")");
        frames.at(f).hasRecord = true;
        frames.at(f).userActionByte = 0;
    }
    uint8_t frameUserAction(int f) const override { return frames.at(f).userActionByte; }
    void setFrameUserAction(int f, uint8_t v) override { frames.at(f).userActionByte = v; }

    std::vector<Frame> frames;
    std::vector<std::string> calls;
};
