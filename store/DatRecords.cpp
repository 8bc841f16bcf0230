#include "store/DatRecords.h"

#include "store/RecordIO.h"
#include "store/RectFields.h"

#include <cctype>
#include <cstring>
#include <tuple>

using rec::getRect;
using rec::putRect;
using rec::rectTie;

std::array<uint8_t, SDatMainHeader::SIZE> SDatMainHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(FILE_SIZE, fileSize);
    w.u32(HEADER_SIZE, headerSize);
    w.u32(FRAME_COUNT, frameCount);
    w.u32(VERSION, version);
    putRect(w, CAPTURE_LEFT, capture);
    w.u32(RED_MASK, redMask);
    w.u32(GREEN_MASK, greenMask);
    w.u32(BLUE_MASK, blueMask);
    return b;
}

SDatMainHeader SDatMainHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    SDatMainHeader h;
    h.fileSize = r.u32(FILE_SIZE);
    h.headerSize = r.u32(HEADER_SIZE);
    h.frameCount = r.u32(FRAME_COUNT);
    h.version = r.u32(VERSION);
    h.capture = getRect(r, CAPTURE_LEFT);
    h.redMask = r.u32(RED_MASK);
    h.greenMask = r.u32(GREEN_MASK);
    h.blueMask = r.u32(BLUE_MASK);
    return h;
}

bool SDatMainHeader::operator==(const SDatMainHeader& o) const {
    return std::tie(fileSize, headerSize, frameCount, version, redMask, greenMask, blueMask) ==
               std::tie(o.fileSize, o.headerSize, o.frameCount, o.version, o.redMask, o.greenMask,
                        o.blueMask) &&
           rectTie(capture) == rectTie(o.capture);
}

std::array<uint8_t, SDatFrameHeader::SIZE> SDatFrameHeader::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u32(HEADER_SIZE, headerSize);
    w.u32(RECORD_SIZE, recordSize);
    w.u32(FRAME_NUMBER, frameNumber);
    w.u32(PALETTE_INDEX, paletteIndex);
    w.u32(TIME_STAMP, timeStamp);
    w.i32(FRAME_STATE, frameState);
    putRect(w, DATA_LEFT, data);
    w.u32(KEY_FLAG, keyFlag);
    return b;
}

SDatFrameHeader SDatFrameHeader::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    SDatFrameHeader h;
    h.headerSize = r.u32(HEADER_SIZE);
    h.recordSize = r.u32(RECORD_SIZE);
    h.frameNumber = r.u32(FRAME_NUMBER);
    h.paletteIndex = r.u32(PALETTE_INDEX);
    h.timeStamp = r.u32(TIME_STAMP);
    h.frameState = r.i32(FRAME_STATE);
    h.data = getRect(r, DATA_LEFT);
    h.keyFlag = r.u32(KEY_FLAG);
    return h;
}

bool SDatFrameHeader::operator==(const SDatFrameHeader& o) const {
    return std::tie(headerSize, recordSize, frameNumber, paletteIndex, timeStamp, frameState, keyFlag) ==
               std::tie(o.headerSize, o.recordSize, o.frameNumber, o.paletteIndex, o.timeStamp, o.frameState,
                        o.keyFlag) &&
           rectTie(data) == rectTie(o.data);
}

std::string SPlayBackFrameInfo::name() const {
    return rec::fromText(frameName);
}
void SPlayBackFrameInfo::setName(const std::string& n) {
    rec::copyText(frameName, n);
}

void SPlayBackFrameInfo::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.i32(V_TYPE, vType);
    w.i32(POINTER_X, pointerX);
    w.i32(POINTER_Y, pointerY);
    w.i32(POINTER_Y + 4, reserved);
    w.i32(FRAME_STATE, frameState);
    w.u32(AUDIO_SIZE, audioSize);
    w.u16(MARKER, marker);
    w.i16(PALETTE_INDEX, paletteIndex);
    w.u8(FRAME_FLAGS, frameFlags);
    w.u8(PIXEL_FLAGS, pixelFlags);
    w.i32(X_OR_KEY, xOrKey);
    w.i32(Y_OR_MODIFIERS, yOrModifiers);
    putRect(w, CLICK_RECT, clickRect);
    w.i32(MOUSE_MESSAGE, mouseMessage);
    w.i32(BUTTON_MODIFIERS, buttonModifiers);
    w.u32(CURSOR_IMAGE, cursorImage);
    w.u8(ACTION_DISABLED, actionDisabled);
    w.u16(FORMAT_TAG, formatTag);
    w.u16(CHANNELS, channels);
    w.u32(SAMPLES_PER_SEC, samplesPerSec);
    w.u32(BYTES_PER_SEC, bytesPerSec);
    w.u16(BLOCK_ALIGN, blockAlign);
    w.u16(BITS_PER_SAMPLE, bitsPerSample);
    w.u32(HAS_SOUND, hasSound);
    w.text(FRAME_NAME, NAME_LENGTH, name());
    w.u32(FRAME_NUMBER, frameNumber);
    w.u8(CAPTURE_TYPE, captureType);
}

std::array<uint8_t, SPlayBackFrameInfo::SIZE> SPlayBackFrameInfo::toBytes() const {
    std::array<uint8_t, SIZE> b;
    writeTo(b.data());
    return b;
}

SPlayBackFrameInfo SPlayBackFrameInfo::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    SPlayBackFrameInfo f;
    f.vType = r.i32(V_TYPE);
    f.pointerX = r.i32(POINTER_X);
    f.pointerY = r.i32(POINTER_Y);
    f.reserved = r.i32(POINTER_Y + 4);
    f.frameState = r.i32(FRAME_STATE);
    f.audioSize = r.u32(AUDIO_SIZE);
    f.marker = r.u16(MARKER);
    f.paletteIndex = r.i16(PALETTE_INDEX);
    f.frameFlags = r.u8(FRAME_FLAGS);
    f.pixelFlags = r.u8(PIXEL_FLAGS);
    f.xOrKey = r.i32(X_OR_KEY);
    f.yOrModifiers = r.i32(Y_OR_MODIFIERS);
    f.clickRect = getRect(r, CLICK_RECT);
    f.mouseMessage = r.i32(MOUSE_MESSAGE);
    f.buttonModifiers = r.i32(BUTTON_MODIFIERS);
    f.cursorImage = r.u32(CURSOR_IMAGE);
    f.actionDisabled = r.u8(ACTION_DISABLED);
    f.formatTag = r.u16(FORMAT_TAG);
    f.channels = r.u16(CHANNELS);
    f.samplesPerSec = r.u32(SAMPLES_PER_SEC);
    f.bytesPerSec = r.u32(BYTES_PER_SEC);
    f.blockAlign = r.u16(BLOCK_ALIGN);
    f.bitsPerSample = r.u16(BITS_PER_SAMPLE);
    f.hasSound = r.u32(HAS_SOUND);
    f.setName(r.text(FRAME_NAME, NAME_LENGTH));
    f.frameNumber = r.u32(FRAME_NUMBER);
    f.captureType = r.u8(CAPTURE_TYPE);
    return f;
}

bool SPlayBackFrameInfo::operator==(const SPlayBackFrameInfo& o) const {
    return toBytes() == o.toBytes();
}

namespace datfile {
std::string dataDirectory(const std::string& home) {
    return home + "/zedaro";
}
std::string untitledPath(const std::string& home) {
    return dataDirectory(home) + "/Untitled.dat";
}

namespace {
// True when the path ends in `ending` (lower case), in any case.
bool endsWithAnyCase(const std::string& path, const char* ending) {
    const size_t n = std::strlen(ending);
    if (path.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - n + i])) != ending[i])
            return false;
    return true;
}
} // namespace

std::string workingPathFor(const std::string& vlmPath) {
    if (!endsWithAnyCase(vlmPath, ".vlm"))
        return vlmPath + ".dat";
    return vlmPath.substr(0, vlmPath.size() - 4) + ".dat";
}
} // namespace datfile
