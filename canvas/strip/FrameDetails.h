// The frame strip's cell geometry, its least number of cells and its two
// bookkeeping records: one entry per frame and one per user-action frame.
#pragma once

#include <cstdint>

constexpr int FRAME_WIDTH = 9;   // width of one cell in pixels
constexpr int FRAME_HEIGHT = 16; // height of one band in pixels

// Least number of cells the strip shows: 10 x (screen width / 100). Computed
// on first use from the default X screen (or the primary screen when no X
// connection can be opened), so it must not be called before the display is
// up; the main window may set it earlier from its own probe.
int MIN_FRAMES();
// 10 x (width / 100), integer division.
int minFramesForScreenWidth(int screenWidth);
// Fixes MIN_FRAMES from a known screen width.
void setMinFramesFromScreenWidth(int screenWidth);
// Forgets the computed value, so the next MIN_FRAMES() asks the display again.
void resetMinFrames();

// One frame of the strip.
struct FrameDetails {
    uint8_t deleted = 0;       // marked deleted
    uint8_t userAction = 0;    // a user-action frame (recorded action or sound)
    uint8_t actionEnabled = 1; // its action is enabled
    uint8_t mouseMovement = 1;
    int32_t userActionNumber = -1; // 1-based among the user-action frames, -1 when not one
};

// One user-action frame of the strip, in frame order.
struct UFrameDetails {
    uint8_t deleted = 0;
    int32_t frame = 0;         // 1-based frame number
    uint8_t actionEnabled = 1; // mirror of the frame's flag
    uint8_t mouseMovement = 1;
};
