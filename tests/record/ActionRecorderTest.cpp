#include "record/ActionRecorder.h"
#include "record/ActionDecoder.h"
#include "support/ProcessRunner.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

using namespace testsupport;

namespace {

class ActionRecorderTest : public XvfbTest {};

TEST_F(ActionRecorderTest, DeliversTheAuthorsEventsAndStopsPromptly) {
    ASSERT_TRUE(ActionRecorder::extensionPresent());
    std::mutex m;
    std::vector<std::vector<uint8_t>> events;
    ActionRecorder r;
    for (int round = 0; round < 2; ++round) { // a second recording gets a fresh context
        events.clear();
        ASSERT_TRUE(r.start([&](const uint8_t* e) {
            std::lock_guard<std::mutex> g(m);
            events.emplace_back(e, e + 32);
        })) << r.error();
        runCommand("xdotool mousemove 100 120 click 1 key a");
        ASSERT_TRUE(waitUntil(
            [&] {
                std::lock_guard<std::mutex> g(m);
                return events.size() >= 5;
            },
            5000));
        r.stop();
        EXPECT_FALSE(r.running());

        ActionCaptureState s;
        std::vector<int32_t> messages;
        for (auto& e : events) {
            auto d = decodeWireEvent(e.data(), s);
            if (d.outcome == DecodedAction::Capture)
                messages.push_back(d.action.kind == ACTION_KEY ? d.action.xOrKey : d.action.mouseMessage);
        }
        EXPECT_EQ(messages, (std::vector<int32_t>{MSG_LBUTTONDOWN, MSG_LBUTTONUP, 65})) << "round " << round;
        EXPECT_EQ(s.m_lastPointerX.load(), 100);
        EXPECT_EQ(s.m_lastPointerY.load(), 120);
    }
}

// A stop right after the start may reach the server before the thread's
// enable request; the recording must end all the same.
TEST_F(ActionRecorderTest, StopsRightAfterTheStart) {
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 600 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done) {
            std::fprintf(stderr, "a stop right after the start never returned\n");
            std::abort();
        }
    });
    ActionRecorder r;
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(r.start([](const uint8_t*) {})) << r.error();
        r.stop();
        EXPECT_FALSE(r.running());
    }
    done = true;
    watchdog.join();
}

class NoRecordExtension : public XvfbTest {
  protected:
    ScreenSpec screen() const override { return {800, 600, 24, {"-extension", "RECORD"}}; }
};

TEST_F(NoRecordExtension, IsReported) {
    EXPECT_FALSE(ActionRecorder::extensionPresent());
    ActionRecorder r;
    EXPECT_FALSE(r.start([](const uint8_t*) {}));
    EXPECT_FALSE(r.error().empty());
    EXPECT_FALSE(r.running());
}

} // namespace
