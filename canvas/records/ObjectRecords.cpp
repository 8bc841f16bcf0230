#include "canvas/records/ObjectRecords.h"

#include "store/RecordIO.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr size_t kMaxShortText = 32767; // lengths kept in signed 16-bit words

int16_t shortLength(const std::string& s) {
    return int16_t(std::min(s.size(), kMaxShortText));
}

} // namespace

// ---- sMessageDialogBlock ----

int16_t sMessageDialogBlock::caption0Length() const {
    return shortLength(caption0);
}
int16_t sMessageDialogBlock::caption1Length() const {
    return shortLength(caption1);
}

void sMessageDialogBlock::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.u32(CAPTION0_REF, caption0.empty() ? 0 : 1);
    w.u32(CAPTION1_REF, caption1.empty() ? 0 : 1);
    w.i16(CAPTION0_LENGTH, caption0Length());
    w.i16(CAPTION1_LENGTH, caption1Length());
    w.u32(ICON0, icon0);
    w.u32(ICON1, icon1);
}

sMessageDialogBlock sMessageDialogBlock::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    sMessageDialogBlock b;
    b.icon0 = r.u32(ICON0);
    b.icon1 = r.u32(ICON1);
    return b;
}

void sMessageDialogBlock::captionLengths(const uint8_t* p, int16_t& length0, int16_t& length1) {
    rec::RecordReader r(p, SIZE);
    length0 = r.i16(CAPTION0_LENGTH);
    length1 = r.i16(CAPTION1_LENGTH);
}

bool sMessageDialogBlock::operator==(const sMessageDialogBlock& o) const {
    return std::tie(caption0, caption1, icon0, icon1) == std::tie(o.caption0, o.caption1, o.icon0, o.icon1);
}

// ---- NVFrameEvent ----

void NVFrameEvent::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.u8(0, transitionEffect);
    w.u8(1, transitionSpeed);
    w.u8(2, exitPlay);
}

NVFrameEvent NVFrameEvent::fromBytes(const uint8_t* p) {
    return NVFrameEvent{p[0], p[1], p[2]};
}

// ---- NVFrame ----

void NVFrame::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.text(NAME, NAME_LENGTH, m_Caption);
    w.text(SOUND_CLIP, CLIP_LENGTH, soundClip);
    w.text(SOUND_NOTES, NOTES_LENGTH, soundNotes);
    w.u32(AUDIO_ID, audioId);
    w.u8(USER_ACTION, userAction);
    w.i16(MOUSE_DELAY, mouseDelay);
    w.i32(FORE_COLOR, foreColor);
    w.u32(BACK_COLOR, backColor);
    w.i16(EVENT_INDEX, eventIndex);
    w.i32(EVENT_COUNT, int32_t(events.size()));
    w.u32(EVENTS_REF, events.empty() ? 0 : 1);
}

NVFrame NVFrame::fromBytes(const uint8_t* p, int32_t& eventCount) {
    rec::RecordReader r(p, SIZE);
    NVFrame f;
    f.m_Caption = r.text(NAME, NAME_LENGTH);
    f.soundClip = r.text(SOUND_CLIP, CLIP_LENGTH);
    f.soundNotes = r.text(SOUND_NOTES, NOTES_LENGTH);
    f.audioId = r.u32(AUDIO_ID);
    f.userAction = r.u8(USER_ACTION);
    f.mouseDelay = r.i16(MOUSE_DELAY);
    f.foreColor = r.i32(FORE_COLOR);
    f.backColor = r.u32(BACK_COLOR);
    f.eventIndex = r.i16(EVENT_INDEX);
    f.events.clear();
    eventCount = r.i32(EVENT_COUNT);
    return f;
}

bool NVFrame::operator==(const NVFrame& o) const {
    return std::tie(m_Caption, soundClip, soundNotes, audioId, userAction, mouseDelay, foreColor, backColor,
                    eventIndex, events) == std::tie(o.m_Caption, o.soundClip, o.soundNotes, o.audioId,
                                                    o.userAction, o.mouseDelay, o.foreColor, o.backColor,
                                                    o.eventIndex, o.events);
}

// ---- sPoly ----

void sPoly::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.text(NAME, NAME_LENGTH, name);
    w.i32(MADE, made);
    w.i32(THICKNESS, thickness);
    w.u32(COLOR, color);
    w.u32(POINTS_REF, points.empty() ? 0 : 1);
    w.i32(POINT_COUNT, int32_t(points.size()));
}

sPoly sPoly::fromBytes(const uint8_t* p, int32_t& pointCount) {
    rec::RecordReader r(p, SIZE);
    sPoly s;
    s.name = r.text(NAME, NAME_LENGTH);
    s.made = r.i32(MADE);
    s.thickness = r.i32(THICKNESS);
    s.color = r.u32(COLOR);
    pointCount = r.i32(POINT_COUNT);
    return s;
}

bool sPoly::operator==(const sPoly& o) const {
    return std::tie(name, made, thickness, color, points) ==
           std::tie(o.name, o.made, o.thickness, o.color, o.points);
}

// ---- NVJumpButtonEvent ----

void NVJumpButtonEvent::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.u32(AUDIO_ID, audioId);
    w.text(PLAY_FILE, FILE_LENGTH, playFile);
    w.text(RUN_FILE, FILE_LENGTH, runFile);
    w.text(URL, FILE_LENGTH, url);
    w.i16(VALIDATION_TARGET, validationTarget);
    w.text(ERROR_MESSAGE, ERROR_LENGTH, errorMessage);
    w.text(MESSAGE, MESSAGE_LENGTH, message);
    w.u32(VALIDATION_IMAGE_ID, validationImageId);
    w.u32(VALIDATION_SOUND_ID, validationSoundId);
    w.u32(VALIDATION_VIDEO_ID, validationVideoId);
    w.u32(WORD_1312, word1312);
    w.u8(MOUSE_POINTER, mousePointer);
    w.i32(GOTO_FRAME, gotoFrame);
    w.u8(EXIT_PLAY, exitPlay);
    w.i16(DIALOG_LENGTH, dialogLength);
    w.u32(DIALOG_REF, dialog ? 1 : 0);
}

NVJumpButtonEvent NVJumpButtonEvent::fromBytes(const uint8_t* p, bool& hasDialog) {
    rec::RecordReader r(p, SIZE);
    NVJumpButtonEvent e;
    e.audioId = r.u32(AUDIO_ID);
    e.playFile = r.text(PLAY_FILE, FILE_LENGTH);
    e.runFile = r.text(RUN_FILE, FILE_LENGTH);
    e.url = r.text(URL, FILE_LENGTH);
    e.validationTarget = r.i16(VALIDATION_TARGET);
    e.errorMessage = r.text(ERROR_MESSAGE, ERROR_LENGTH);
    e.message = r.text(MESSAGE, MESSAGE_LENGTH);
    e.validationImageId = r.u32(VALIDATION_IMAGE_ID);
    e.validationSoundId = r.u32(VALIDATION_SOUND_ID);
    e.validationVideoId = r.u32(VALIDATION_VIDEO_ID);
    e.word1312 = r.u32(WORD_1312);
    e.mousePointer = r.u8(MOUSE_POINTER);
    e.gotoFrame = r.i32(GOTO_FRAME);
    e.exitPlay = r.u8(EXIT_PLAY);
    e.dialogLength = r.i16(DIALOG_LENGTH);
    hasDialog = r.u32(DIALOG_REF) != 0;
    return e;
}

bool NVJumpButtonEvent::operator==(const NVJumpButtonEvent& o) const {
    return std::tie(audioId, playFile, runFile, url, validationTarget, errorMessage, message,
                    validationImageId, validationSoundId, validationVideoId, word1312, mousePointer,
                    gotoFrame, exitPlay, dialogLength, dialog) ==
           std::tie(o.audioId, o.playFile, o.runFile, o.url, o.validationTarget, o.errorMessage, o.message,
                    o.validationImageId, o.validationSoundId, o.validationVideoId, o.word1312, o.mousePointer,
                    o.gotoFrame, o.exitPlay, o.dialogLength, o.dialog);
}
