#include "record/FrameCapture.h"

#include <gtest/gtest.h>

namespace {

CaptureContext context(uint32_t capture) {
    CaptureContext c;
    c.frameIndex = capture;
    c.captureCount = capture;
    c.captureRect = {0, 0, 1023, 767};
    c.rowBytes = 4096;
    c.screenWidth = 1024;
    c.screenHeight = 768;
    c.nextRecordOffset = 48;
    c.now = 1000;
    c.lastPointerX = 7;
    c.lastPointerY = 9;
    return c;
}

TEST(FrameCapture, KeyFramesAtEveryTenthCapture) {
    for (uint32_t n : {0u, 1u, 9u, 10u, 11u, 20u}) {
        auto f = buildCapturedFrame(context(n), FRAME_STATE_TIMER, SRect{0, 100, 1023, 109}, nullptr);
        bool key = n % 10 == 0;
        EXPECT_EQ(f.keyFrame, key) << n;
        EXPECT_EQ(f.header.keyFlag, key ? 1u : 0u) << n;
        EXPECT_EQ(f.edit.keyFlag, key ? 1 : 0) << n;
        EXPECT_EQ(bool(f.playback.frameFlags & PBF_KEY), key) << n;
        EXPECT_EQ(f.dataLength, key ? 768u * 4096u : 10u * 4096u) << n;
        EXPECT_EQ(f.dataOffset, key ? 0u : 100u * 4096u) << n;
        EXPECT_EQ(f.header.recordSize, 60 + f.dataLength) << n;
        EXPECT_EQ(f.header.data.top, key ? 0 : 100) << n;
        EXPECT_EQ(f.playback.vType, VALIDATION_NONE);
        EXPECT_EQ(f.playback.frameState, FRAME_STATE_TIMER);
        EXPECT_EQ(f.playback.pixelFlags, 0x03);
        EXPECT_EQ(f.playback.pointerX, 7);
        EXPECT_EQ(f.edit.recordOffset, 48);
    }
}

TEST(FrameCapture, ClickRectangleStaysOnScreen) {
    struct Case {
        int x, y;
        SRect want;
    } cases[] = {
        {5, 5, {0, 0, 25, 25}},
        {1023, 767, {1003, 751, 1024, 768}},
        {500, 300, {480, 284, 520, 320}},
    };
    for (auto& c : cases) {
        SRect r = clickRectangle(c.x, c.y, 1024, 768);
        EXPECT_EQ(r.left, c.want.left);
        EXPECT_EQ(r.top, c.want.top);
        EXPECT_EQ(r.right, c.want.right);
        EXPECT_EQ(r.bottom, c.want.bottom);
    }
}

TEST(FrameCapture, MousePressAndRelease) {
    SActionType press;
    press.kind = ACTION_MOUSE;
    press.xOrKey = 300;
    press.yOrModifiers = 200;
    press.mouseMessage = MSG_LBUTTONDOWN;
    press.buttonModifiers = int32_t(MOD_SHIFT);
    auto f = buildCapturedFrame(context(3), FRAME_STATE_ACTION, SRect{0, 767, 1023, 767}, &press);
    EXPECT_TRUE(f.userAction);
    EXPECT_EQ(f.playback.vType, VALIDATION_MOUSE);
    EXPECT_EQ(f.playback.mouseMessage, 513);
    EXPECT_EQ(f.playback.clickRect.left, 280);
    EXPECT_EQ(f.playback.clickRect.bottom, 220);
    EXPECT_EQ(f.playback.pointerX, 300);
    EXPECT_EQ(f.playback.xOrKey, 300);
    EXPECT_EQ(uint32_t(f.playback.buttonModifiers), MOD_SHIFT);
    EXPECT_EQ(f.header.frameState, FRAME_STATE_ACTION);
    EXPECT_EQ(f.playback.frameState, 0) << "action frames carry state 0 in the playback record";

    SActionType release = press;
    release.mouseMessage = MSG_LBUTTONUP;
    auto r = buildCapturedFrame(context(4), FRAME_STATE_ACTION, SRect{0, 767, 1023, 767}, &release);
    EXPECT_TRUE(r.userAction) << "counted while recording; the stop recount leaves it out";
    EXPECT_EQ(r.playback.vType, VALIDATION_NONE);
    EXPECT_EQ(r.playback.mouseMessage, 0);
    EXPECT_EQ(r.playback.clickRect.right, 0);
    EXPECT_EQ(r.playback.pointerX, 0);
}

TEST(FrameCapture, KeyActionAndPalette) {
    SActionType key;
    key.kind = ACTION_KEY;
    key.xOrKey = 65;
    CaptureContext c = context(2);
    c.modifierWord = MOD_SHIFT;
    c.depth = 8;
    c.paletteCount = 2;
    auto f = buildCapturedFrame(c, FRAME_STATE_ACTION, SRect{0, 0, 1023, 0}, &key);
    EXPECT_EQ(f.playback.vType, VALIDATION_KEY);
    EXPECT_EQ(f.playback.xOrKey, 65);
    EXPECT_EQ(uint32_t(f.playback.yOrModifiers), MOD_SHIFT);
    EXPECT_EQ(f.header.paletteIndex, 1u);
    EXPECT_TRUE(f.userAction);
}

} // namespace
