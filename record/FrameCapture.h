// The records of one captured frame: header, frame-table entry and playback
// record, built from the changed band and the action that caused the capture.
#pragma once

#include "record/SActionType.h"
#include "store/DatRecords.h"

#include <cstddef>
#include <cstdint>
#include <ctime>

struct CaptureContext {
    uint32_t frameIndex = 0;       // the new frame's index (frames so far)
    uint32_t captureCount = 0;     // captures since the recording started
    SRect captureRect{0, 0, 0, 0}; // inclusive
    uint32_t rowBytes = 0;
    int depth = 24;
    size_t paletteCount = 0; // captured palettes so far
    int screenWidth = 0;
    int screenHeight = 0;
    int lastPointerX = 0;
    int lastPointerY = 0;
    uint32_t modifierWord = 0;
    uint32_t nextRecordOffset = 0;
    uint32_t now = 0; // seconds since 1970
};

struct CapturedFrame {
    SDatFrameHeader header;
    SEditInfo edit;
    SPlayBackFrameInfo playback;
    size_t dataOffset = 0; // into the previous-frame buffer
    uint32_t dataLength = 0;
    bool keyFrame = false;
    bool userAction = false; // counts as a user-action frame during the recording
};

// Every tenth capture, starting with the first, is a key frame.
inline bool isKeyCapture(uint32_t captureCount) {
    return captureCount % 10 == 0;
}

// The click rectangle around a pointer position, kept on the screen.
SRect clickRectangle(int x, int y, int screenWidth, int screenHeight);

CapturedFrame buildCapturedFrame(const CaptureContext& ctx, EFrameState state, const SRect& band,
                                 const SActionType* action);
