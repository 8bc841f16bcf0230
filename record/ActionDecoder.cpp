#include "record/ActionDecoder.h"

#include "record/KeyTables.h"
#include "store/RecordIO.h"

#include <cstring>

namespace {

uint32_t modifierBit(uint32_t pcCode) {
    switch (pcCode) {
    case 37:
    case 109:
        return MOD_CONTROL;
    case 50:
    case 62:
        return MOD_SHIFT;
    case 64:
    case 113:
        return MOD_ALT;
    default:
        return 0;
    }
}

bool isInertKey(uint32_t pcCode) {
    return pcCode >= 115 && pcCode <= 117;
}

int32_t buttonMessage(uint8_t button, bool press) {
    switch (button) {
    case 1:
        return press ? MSG_LBUTTONDOWN : MSG_LBUTTONUP;
    case 2:
        return press ? MSG_MBUTTONDOWN : MSG_MBUTTONUP;
    case 3:
        return press ? MSG_RBUTTONDOWN : MSG_RBUTTONUP;
    default:
        return 0;
    }
}

// Serves a recording hot key (released while Alt is down).
void serveHotKey(uint32_t pcCode, ActionCaptureState& s) {
    switch (pcCode) {
    case 53:
        s.m_bStopRequest = true;
        break; // X
    case 33:
        s.m_bPauseRequest = !s.m_bPauseRequest.load();
        break; // P
    case 39:
        s.m_bActionCaptureSuspended = false;
        break; // S
    case 30:
        s.m_bActionCaptureSuspended = true;
        break; // U
    default:
        break;
    }
}

} // namespace

DecodedAction decodeWireEvent(const uint8_t* ev, ActionCaptureState& s) {
    DecodedAction out;
    SActionType& a = out.action;
    const uint8_t type = ev[0] & 0x7f;
    const uint8_t detail = ev[1];
    const int16_t rootX = int16_t(rec::readLe16(ev + 20));
    const int16_t rootY = int16_t(rec::readLe16(ev + 22));
    a.xOrKey = rootX;
    a.yOrModifiers = rootY;

    const uint32_t pc =
        (type == WIRE_KEY_PRESS || type == WIRE_KEY_RELEASE) ? keys::pcKeyCodeFromEvdev(detail) : 0;
    bool keyPress = false, motion = false, buttonRelease = false;

    switch (type) {
    case WIRE_KEY_PRESS:
        if (uint32_t bit = modifierBit(pc)) {
            s.m_modifierWord |= bit;
        } else if (!isInertKey(pc)) {
            if ((s.m_modifierWord & MOD_ALT) && pc < s.m_pressedUnderAlt.size())
                s.m_pressedUnderAlt.set(pc);
            return out;
        }
        keyPress = true;
        break;
    case WIRE_KEY_RELEASE:
        a.kind = ACTION_KEY;
        if (uint32_t bit = modifierBit(pc)) {
            s.m_modifierWord &= ~bit;
            // The release of the Alt that carried a hot key is part of the hot
            // key, also when it comes before the letter's (a fast chord).
            if (bit == MOD_ALT && (s.m_hotKeyUnderAlt.exchange(false) || s.m_pressedUnderAlt.any()))
                return out;
        } else if (!isInertKey(pc) && ((s.m_modifierWord & MOD_ALT) ||
                                       (pc < s.m_pressedUnderAlt.size() && s.m_pressedUnderAlt.test(pc)))) {
            // Every key pressed or released under Alt is the recording's, not the author's.
            if (pc < s.m_pressedUnderAlt.size())
                s.m_pressedUnderAlt.reset(pc);
            serveHotKey(pc, s);
            s.m_hotKeyUnderAlt = (s.m_modifierWord & MOD_ALT) != 0;
            return out;
        }
        a.xOrKey = int32_t(keys::keySymToAscii(pc));
        a.yOrModifiers = int32_t(s.m_modifierWord.load());
        break;
    case WIRE_BUTTON_PRESS:
    case WIRE_BUTTON_RELEASE:
        // The event's own position: a click with no motion before it still lands where it was made.
        s.m_lastPointerX = rootX;
        s.m_lastPointerY = rootY;
        a.kind = ACTION_MOUSE;
        a.mouseMessage = buttonMessage(detail, type == WIRE_BUTTON_PRESS);
        if (type == WIRE_BUTTON_PRESS) {
            a.disabled = 0;
            a.buttonModifiers = int32_t(s.m_modifierWord.load());
        } else {
            buttonRelease = true;
        }
        break;
    case WIRE_MOTION:
        s.m_lastPointerX = rootX;
        s.m_lastPointerY = rootY;
        a.kind = ACTION_MOUSE;
        a.mouseMessage = MSG_MOUSEMOVE;
        motion = true;
        break;
    default:
        return out;
    }

    if (s.m_bPauseRequest)
        return out;
    if (s.m_bActionCaptureSuspended) {
        out.outcome = DecodedAction::DropAndIdle;
        return out;
    }
    if (s.m_bUserActionsOnly && buttonRelease)
        return out;
    if (keyPress || motion)
        return out;
    if (type == WIRE_KEY_RELEASE && (modifierBit(pc) == MOD_CONTROL || modifierBit(pc) == MOD_SHIFT))
        return out;
    out.outcome = DecodedAction::Capture;
    return out;
}

void makeWireEvent(uint8_t* out, uint8_t type, uint8_t detail, int16_t rootX, int16_t rootY) {
    std::memset(out, 0, 32);
    out[0] = type;
    out[1] = detail;
    rec::writeLe16(out + 20, uint16_t(rootX));
    rec::writeLe16(out + 22, uint16_t(rootY));
}
