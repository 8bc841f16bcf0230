#include "record/ActionDecoder.h"
#include "record/KeyTables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Server (evdev) key codes used below.
constexpr uint8_t KEY_A = 38, KEY_SHIFT_L = 50, KEY_ALT_L = 64, KEY_CTRL_R = 105, KEY_ALT_R = 108,
                  KEY_LEFT = 113, KEY_DELETE = 119, KEY_X = 53, KEY_P = 33, KEY_U = 30, KEY_S = 39,
                  KEY_F1 = 67, KEY_1 = 10;

struct Ev {
    uint8_t type, detail;
    int16_t x = 0, y = 0;
};

std::vector<DecodedAction> feed(ActionCaptureState& s, const std::vector<Ev>& events) {
    std::vector<DecodedAction> out;
    uint8_t wire[32];
    for (auto& e : events) {
        makeWireEvent(wire, e.type, e.detail, e.x, e.y);
        out.push_back(decodeWireEvent(wire, s));
    }
    return out;
}

std::vector<DecodedAction> captured(const std::vector<DecodedAction>& all) {
    std::vector<DecodedAction> out;
    for (auto& d : all)
        if (d.outcome == DecodedAction::Capture)
            out.push_back(d);
    return out;
}

TEST(ActionDecoder, ShiftAGivesOneKeyActionWithShiftBit) {
    ActionCaptureState s;
    auto got = captured(feed(s, {{WIRE_KEY_PRESS, KEY_SHIFT_L},
                                 {WIRE_KEY_PRESS, KEY_A},
                                 {WIRE_KEY_RELEASE, KEY_A},
                                 {WIRE_KEY_RELEASE, KEY_SHIFT_L}}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].action.kind, ACTION_KEY);
    EXPECT_EQ(got[0].action.xOrKey, 65);
    EXPECT_EQ(uint32_t(got[0].action.yOrModifiers), MOD_SHIFT);
    EXPECT_EQ(s.m_modifierWord.load(), 0u);
}

TEST(ActionDecoder, AltReleasedAloneIsKey18) {
    ActionCaptureState s;
    auto got = captured(feed(s, {{WIRE_KEY_PRESS, KEY_ALT_L}, {WIRE_KEY_RELEASE, KEY_ALT_L}}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].action.xOrKey, 18);
}

TEST(ActionDecoder, HotKeysProduceNoActions) {
    struct Case {
        const char* name;
        uint8_t key;
        bool stop, pause, suspended;
    } cases[] = {
        {"Alt+X stops", KEY_X, true, false, false},
        {"Alt+P pauses", KEY_P, false, true, false},
        {"Alt+U suspends", KEY_U, false, false, true},
    };
    for (auto& c : cases) {
        ActionCaptureState s;
        auto all = feed(s, {{WIRE_KEY_PRESS, KEY_ALT_L}, {WIRE_KEY_PRESS, c.key}, {WIRE_KEY_RELEASE, c.key}});
        EXPECT_TRUE(captured(all).empty()) << c.name;
        EXPECT_EQ(s.m_bStopRequest.load(), c.stop) << c.name;
        EXPECT_EQ(s.m_bPauseRequest.load(), c.pause) << c.name;
        EXPECT_EQ(s.m_bActionCaptureSuspended.load(), c.suspended) << c.name;
    }
    ActionCaptureState s;
    feed(s, {{WIRE_KEY_PRESS, KEY_ALT_L}, {WIRE_KEY_RELEASE, KEY_P}, {WIRE_KEY_RELEASE, KEY_P}});
    EXPECT_FALSE(s.m_bPauseRequest) << "a second Alt+P resumes";
    s.m_bActionCaptureSuspended = true;
    feed(s, {{WIRE_KEY_RELEASE, KEY_S}});
    EXPECT_FALSE(s.m_bActionCaptureSuspended) << "Alt+S resumes action capture";
}

TEST(ActionDecoder, TheAltOfAHotKeyGivesNoFrame) {
    ActionCaptureState s;
    auto got = captured(feed(s, {{WIRE_KEY_PRESS, KEY_ALT_L},
                                 {WIRE_KEY_PRESS, KEY_S},
                                 {WIRE_KEY_RELEASE, KEY_S},
                                 {WIRE_KEY_RELEASE, KEY_ALT_L}}));
    EXPECT_TRUE(got.empty());
    got = captured(feed(s, {{WIRE_KEY_PRESS, KEY_ALT_L}, {WIRE_KEY_RELEASE, KEY_ALT_L}}));
    ASSERT_EQ(got.size(), 1u) << "a later Alt alone is the author's again";
    EXPECT_EQ(got[0].action.xOrKey, 18);
}

TEST(ActionDecoder, RightAltIsAltAndLeftArrowIsNot) {
    ActionCaptureState s;
    feed(s, {{WIRE_KEY_PRESS, KEY_ALT_R}});
    EXPECT_EQ(s.m_modifierWord.load(), MOD_ALT);
    feed(s, {{WIRE_KEY_RELEASE, KEY_ALT_R}});
    auto got = captured(feed(s, {{WIRE_KEY_PRESS, KEY_LEFT}, {WIRE_KEY_RELEASE, KEY_LEFT}}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].action.xOrKey, 37) << "Left arrow is VK_LEFT, not Alt";
    EXPECT_EQ(s.m_modifierWord.load(), 0u);
    feed(s, {{WIRE_KEY_PRESS, KEY_CTRL_R}});
    EXPECT_EQ(s.m_modifierWord.load(), MOD_CONTROL) << "right Control is a modifier";
}

TEST(ActionDecoder, KeyCodeTranslations) {
    struct Case {
        uint8_t evdev;
        int32_t vk;
    } cases[] = {{KEY_DELETE, 46}, {KEY_F1, 112}, {KEY_1, 33}, {111, 38} /* Up */, {36, 13}};
    for (auto& c : cases) {
        ActionCaptureState s;
        auto got = captured(feed(s, {{WIRE_KEY_RELEASE, c.evdev}}));
        ASSERT_EQ(got.size(), 1u) << int(c.evdev);
        EXPECT_EQ(got[0].action.xOrKey, c.vk) << int(c.evdev);
    }
    EXPECT_EQ(keys::keySymToAscii(111), 111u) << "codes outside the table pass through";
}

TEST(ActionDecoder, ClicksUseTheirOwnPosition) {
    ActionCaptureState s;
    auto got = captured(feed(s, {{WIRE_BUTTON_PRESS, 1, 300, 200},
                                 {WIRE_BUTTON_RELEASE, 1, 300, 200},
                                 {WIRE_BUTTON_PRESS, 3, 10, 20},
                                 {WIRE_BUTTON_PRESS, 2, 1, 2}}));
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].action.mouseMessage, MSG_LBUTTONDOWN);
    EXPECT_EQ(got[0].action.xOrKey, 300);
    EXPECT_EQ(got[0].action.yOrModifiers, 200);
    EXPECT_EQ(got[1].action.mouseMessage, MSG_LBUTTONUP);
    EXPECT_EQ(got[2].action.mouseMessage, MSG_RBUTTONDOWN);
    EXPECT_EQ(got[3].action.mouseMessage, MSG_MBUTTONDOWN);
    EXPECT_EQ(s.m_lastPointerX.load(), 1);
}

TEST(ActionDecoder, MotionAndPressesAreNotCaptured) {
    ActionCaptureState s;
    auto all = feed(s, {{WIRE_MOTION, 0, 120, 45}, {WIRE_KEY_PRESS, KEY_A}, {WIRE_KEY_RELEASE, KEY_SHIFT_L}});
    EXPECT_TRUE(captured(all).empty());
    EXPECT_EQ(s.m_lastPointerX.load(), 120);
    EXPECT_EQ(s.m_lastPointerY.load(), 45);
}

TEST(ActionDecoder, UserActionsOnlyDropsReleasesAndSuspensionMarksIdle) {
    ActionCaptureState s;
    s.m_bUserActionsOnly = true;
    auto got = captured(feed(s, {{WIRE_BUTTON_PRESS, 1, 5, 5}, {WIRE_BUTTON_RELEASE, 1, 5, 5}}));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].action.mouseMessage, MSG_LBUTTONDOWN);

    ActionCaptureState t;
    t.m_bActionCaptureSuspended = true;
    auto all = feed(t, {{WIRE_BUTTON_PRESS, 1, 5, 5}});
    EXPECT_EQ(all[0].outcome, DecodedAction::DropAndIdle);

    ActionCaptureState p;
    p.m_bPauseRequest = true;
    EXPECT_TRUE(captured(feed(p, {{WIRE_BUTTON_PRESS, 1, 5, 5}})).empty())
        << "nothing is captured while paused";
}

TEST(KeyTables, ReverseTable) {
    struct Case {
        unsigned long vk, sym;
    } cases[] = {{112, 0xFFBE}, {123, 0xFFC9}, {96, 0xFFB0}, {105, 0xFFB9},
                 {13, 0xFF0D},  {65, 65},      {222, 0x22}};
    for (auto& c : cases)
        EXPECT_EQ(keys::asciiToKeySym(c.vk), c.sym) << c.vk;
}

} // namespace
