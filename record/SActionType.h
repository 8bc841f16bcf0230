// One recorded user action, handed from the action thread to the capture.
#pragma once

#include "store/DatRecords.h"

#include <cstdint>

enum SActionKind : int32_t { ACTION_MOUSE = 0, ACTION_KEY = 1 };

// Windows mouse-message numbers carried by mouse actions.
enum MouseMessage : int32_t {
    MSG_MOUSEMOVE = 512,
    MSG_LBUTTONDOWN = 513,
    MSG_LBUTTONUP = 514,
    MSG_RBUTTONDOWN = 516,
    MSG_RBUTTONUP = 517,
    MSG_MBUTTONDOWN = 519,
    MSG_MBUTTONUP = 520,
};

// Bits of the modifier word.
constexpr uint32_t MOD_CONTROL = 1u << 31;
constexpr uint32_t MOD_SHIFT = 1u << 30;
constexpr uint32_t MOD_ALT = 1u << 29;

struct SActionType {
    int32_t reserved = 0;
    int32_t kind = ACTION_MOUSE;
    int32_t xOrKey = 0;
    int32_t yOrModifiers = 0;
    SRect clickRect{0, 0, 0, 0};
    int32_t mouseMessage = 0;
    int32_t buttonModifiers = 0;
    uint32_t cursorImage = 0;
    uint8_t disabled = 0;

    // Copies the fields from x onwards (x, y, click rectangle, message,
    // button modifiers, cursor image, disabled byte) into a playback record.
    void copyTo(SPlayBackFrameInfo& p) const {
        p.xOrKey = xOrKey;
        p.yOrModifiers = yOrModifiers;
        p.clickRect = clickRect;
        p.mouseMessage = mouseMessage;
        p.buttonModifiers = buttonModifiers;
        p.cursorImage = cursorImage;
        p.actionDisabled = disabled;
    }
};

inline bool isButtonRelease(int32_t message) {
    return message == MSG_LBUTTONUP || message == MSG_RBUTTONUP || message == MSG_MBUTTONUP;
}
