#include "record/FrameCapture.h"

#include <algorithm>

SRect clickRectangle(int x, int y, int w, int h) {
    return SRect{std::max(0, x - 20), std::max(0, y - 16), std::min(w, x + 20), std::min(h, y + 20)};
}

CapturedFrame buildCapturedFrame(const CaptureContext& ctx, EFrameState state, const SRect& band,
                                 const SActionType* action) {
    CapturedFrame f;
    SRect data = band;
    f.keyFrame = isKeyCapture(ctx.captureCount);
    if (f.keyFrame)
        data = ctx.captureRect;
    f.dataOffset = size_t(data.top - ctx.captureRect.top) * ctx.rowBytes;
    f.dataLength = datfile::bandLength(data.top, data.bottom, ctx.rowBytes);

    SDatFrameHeader& h = f.header;
    h.frameNumber = ctx.frameIndex;
    h.timeStamp = ctx.now;
    h.frameState = state;
    h.data = data;
    h.keyFlag = f.keyFrame ? 1 : 0;
    h.recordSize = uint32_t(SDatFrameHeader::SIZE) + f.dataLength;
    if (ctx.depth <= 15)
        h.paletteIndex = uint32_t(ctx.paletteCount) - 1;

    f.edit.recordOffset = int32_t(ctx.nextRecordOffset);
    f.edit.keyFlag = h.keyFlag;

    SPlayBackFrameInfo& p = f.playback;
    p.marker = 1;
    p.pixelFlags = 0x03;
    if (f.keyFrame)
        p.frameFlags |= PBF_KEY;
    p.pointerX = ctx.lastPointerX;
    p.pointerY = ctx.lastPointerY;
    p.vType = VALIDATION_NONE;
    p.frameNumber = ctx.frameIndex;
    p.captureType = 0;

    if (state != FRAME_STATE_ACTION || !action) {
        p.frameState = state;
        return f;
    }
    if (action->kind == ACTION_KEY) {
        p.vType = VALIDATION_KEY;
        p.xOrKey = action->xOrKey;
        p.yOrModifiers = int32_t(ctx.modifierWord);
        f.userAction = true;
    } else if (action->kind == ACTION_MOUSE) {
        SActionType a = *action;
        a.clickRect = clickRectangle(a.xOrKey, a.yOrModifiers, ctx.screenWidth, ctx.screenHeight);
        a.disabled = 0;
        p.vType = VALIDATION_MOUSE;
        a.copyTo(p);
        p.pointerX = a.xOrKey;
        p.pointerY = a.yOrModifiers;
        f.userAction = a.mouseMessage != MSG_MOUSEMOVE;
        if (isButtonRelease(a.mouseMessage)) {
            // A release stays as a plain frame.
            SActionType cleared;
            cleared.copyTo(p);
            p.pointerX = p.pointerY = 0;
            p.reserved = 0;
            p.frameState = 0;
            p.vType = VALIDATION_NONE;
        }
    }
    return f;
}
