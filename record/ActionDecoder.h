// Turns the author's key and pointer events, as X RECORD reports them in their
// 32-byte wire form, into recorded actions, hot-key requests and the modifier state.
#pragma once

#include "record/SActionType.h"

#include <atomic>
#include <bitset>
#include <cstdint>

// State shared between the action thread, which writes it, and the timer on
// the interface thread, which reads it.
struct ActionCaptureState {
    std::atomic<uint32_t> m_modifierWord{0};
    std::atomic<int> m_lastPointerX{0};
    std::atomic<int> m_lastPointerY{0};
    std::atomic<bool> m_bStopRequest{false};
    std::atomic<bool> m_bPauseRequest{false};
    std::atomic<bool> m_bActionCaptureSuspended{false};
    std::atomic<bool> m_bUserActionsOnly{false};
    // A hot key was served while Alt is down: that Alt's release belongs to it.
    std::atomic<bool> m_hotKeyUnderAlt{false};
    // Keys pressed while Alt was down and not yet released (PC key codes):
    // their release is a hot key even when Alt went up first. The action
    // thread alone reads and writes it.
    std::bitset<256> m_pressedUnderAlt;
};

struct DecodedAction {
    enum Outcome {
        Drop,        // nothing to capture
        DropAndIdle, // action capture is suspended: drop and mark the hook idle
        Capture,     // capture a user-action frame for `action`
    };
    Outcome outcome = Drop;
    SActionType action;
};

// Wire event types.
enum WireEventType : uint8_t {
    WIRE_KEY_PRESS = 2,
    WIRE_KEY_RELEASE = 3,
    WIRE_BUTTON_PRESS = 4,
    WIRE_BUTTON_RELEASE = 5,
    WIRE_MOTION = 6
};

// Decodes one event. Key codes are the server's (evdev); they are translated
// to PC key codes here, once.
DecodedAction decodeWireEvent(const uint8_t* event, ActionCaptureState& state);

// Builds a 32-byte wire event (for tests and tools).
void makeWireEvent(uint8_t* out, uint8_t type, uint8_t detail, int16_t rootX, int16_t rootY);
