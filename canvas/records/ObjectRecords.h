// Records of frame objects: the in-memory record NVAllObjects with every
// kind's payload, a frame's list StrAllObjects, and the sub-records that the
// in-memory and the stored forms share byte for byte (frame payload,
// polyline payload, hyperlink event, dialog block, frame event).
//
// Records own everything they refer to by value: copying a record copies its
// texts, fonts, lists and blocks. Reference fields of the stored layouts are
// written as 1 where their data exists and 0 where it does not. Texts are
// Latin-1 bytes (see StoredText.h), cut to their field on storing.
#pragma once

#include "canvas/records/NVFont.h"
#include "store/CValidationData.h"
#include "store/DrawingObjectType.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// A colour as three components 0..255.
struct NVColor {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    // 0x00BBGGRR, as stored records and the player keep colours.
    uint32_t toColorRef() const {
        return uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16;
    }
    static NVColor fromColorRef(uint32_t c) {
        return NVColor{int32_t(c & 0xFF), int32_t((c >> 8) & 0xFF), int32_t((c >> 16) & 0xFF)};
    }
    bool operator==(const NVColor& o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const NVColor& o) const { return !(*this == o); }
};

struct NVPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const NVPoint& o) const { return x == o.x && y == o.y; }
};

// The 40-byte dialog block of a hyperlink event or a validation field: two
// captions and two icons. A validation field keeps its one caption at 0 in
// memory; its stored copy holds it at 4.
struct sMessageDialogBlock {
    static constexpr size_t SIZE = 40;
    enum Offset : size_t {
        CAPTION0_REF = 0,
        CAPTION1_REF = 4,
        CAPTION0_LENGTH = 8,
        CAPTION1_LENGTH = 10,
        ICON0 = 12,
        ICON1 = 16,
    };
    std::string caption0;
    std::string caption1;
    uint32_t icon0 = 0;
    uint32_t icon1 = 0;

    int16_t caption0Length() const;
    int16_t caption1Length() const;
    void writeTo(uint8_t* p) const;
    // Icons only; the captions travel behind the block and are read by the
    // caller with the lengths captionLengths() gives.
    static sMessageDialogBlock fromBytes(const uint8_t* p);
    static void captionLengths(const uint8_t* p, int16_t& length0, int16_t& length1);
    bool operator==(const sMessageDialogBlock& o) const;
};

// One frame event: transition effect, speed and exit-play flag.
struct NVFrameEvent {
    static constexpr size_t SIZE = 16;
    uint8_t transitionEffect = 0;
    uint8_t transitionSpeed = 0;
    uint8_t exitPlay = 0;
    void writeTo(uint8_t* p) const;
    static NVFrameEvent fromBytes(const uint8_t* p);
    bool operator==(const NVFrameEvent& o) const {
        return transitionEffect == o.transitionEffect && transitionSpeed == o.transitionSpeed &&
               exitPlay == o.exitPlay;
    }
};

// The frame object's payload, 592 bytes, carried byte for byte at 56 of the
// stored record.
struct NVFrame {
    static constexpr size_t SIZE = 592;
    static constexpr size_t NAME_LENGTH = 255;
    static constexpr size_t CLIP_LENGTH = 23;
    static constexpr size_t NOTES_LENGTH = 250;
    static constexpr int32_t NO_FORE_COLOR = -1;
    enum Offset : size_t {
        NAME = 0,
        SOUND_CLIP = 255,
        SOUND_NOTES = 278,
        AUDIO_ID = 528,
        USER_ACTION = 532,
        MOUSE_DELAY = 534,
        FORE_COLOR = 536,
        BACK_COLOR = 540,
        EVENT_INDEX = 544,
        EVENT_COUNT = 548,
        EVENTS_REF = 552,
    };
    std::string m_Caption;
    std::string soundClip;
    std::string soundNotes;
    uint32_t audioId = 0;
    uint8_t userAction = 0; // 0 enabled, 1 disabled
    int16_t mouseDelay = 0;
    int32_t foreColor = NO_FORE_COLOR; // 0x00BBGGRR or -1
    uint32_t backColor = 0;
    int16_t eventIndex = 0;
    std::vector<NVFrameEvent> events = std::vector<NVFrameEvent>(2);

    // Fill colour of the frame: the fore colour unless none, else the back colour.
    uint32_t fillColor() const { return foreColor == NO_FORE_COLOR ? backColor : uint32_t(foreColor); }
    void writeTo(uint8_t* p) const;
    // Reads everything but the events, whose count it gives.
    static NVFrame fromBytes(const uint8_t* p, int32_t& eventCount);
    bool operator==(const NVFrame& o) const;
};

// The polyline payload, 72 bytes, carried byte for byte at 56 of the stored record.
struct sPoly {
    static constexpr size_t SIZE = 72;
    static constexpr size_t NAME_LENGTH = 32;
    enum Offset : size_t {
        NAME = 0,
        MADE = 32,
        THICKNESS = 36,
        COLOR = 44,
        POINTS_REF = 64,
        POINT_COUNT = 68
    };
    std::string name;
    int32_t made = 1; // set when made; nothing reads it
    int32_t thickness = 1;
    uint32_t color = 0; // 0x00BBGGRR
    std::vector<NVPoint> points;

    void writeTo(uint8_t* p) const;
    static sPoly fromBytes(const uint8_t* p, int32_t& pointCount);
    bool operator==(const sPoly& o) const;
};

// One hyperlink event, 1336 bytes in memory and in the stored record's tail.
struct NVJumpButtonEvent {
    static constexpr size_t SIZE = 1336;
    static constexpr size_t FILE_LENGTH = 260;
    static constexpr size_t ERROR_LENGTH = 256;
    static constexpr size_t MESSAGE_LENGTH = 258;
    enum Offset : size_t {
        AUDIO_ID = 0,
        PLAY_FILE = 4,
        RUN_FILE = 264,
        URL = 524,
        VALIDATION_TARGET = 784,
        ERROR_MESSAGE = 786,
        MESSAGE = 1042,
        VALIDATION_IMAGE_ID = 1300,
        VALIDATION_SOUND_ID = 1304,
        VALIDATION_VIDEO_ID = 1308,
        WORD_1312 = 1312,
        MOUSE_POINTER = 1316,
        GOTO_FRAME = 1320,
        EXIT_PLAY = 1324,
        DIALOG_LENGTH = 1326,
        DIALOG_REF = 1328,
    };
    uint32_t audioId = 0;
    std::string playFile;
    std::string runFile;
    std::string url;
    int16_t validationTarget = 0;
    std::string errorMessage;
    std::string message;
    uint32_t validationImageId = 0;
    uint32_t validationSoundId = 0;
    uint32_t validationVideoId = 0;
    uint32_t word1312 = 0;
    uint8_t mousePointer = 0; // 1 arrow, 2 crosshair, 3 I-beam, 13 hourglass, 14 finger
    int32_t gotoFrame = 0;    // 0 none, -1 next, -2 previous, else the frame
    uint8_t exitPlay = 0;
    int16_t dialogLength = 0;
    std::optional<sMessageDialogBlock> dialog;

    void writeTo(uint8_t* p) const;
    // Everything but the dialog block; `hasDialog` reports its reference.
    static NVJumpButtonEvent fromBytes(const uint8_t* p, bool& hasDialog);
    bool operator==(const NVJumpButtonEvent& o) const;
};
using sHyperLinkEvent = NVJumpButtonEvent;

// ---- in-memory payloads of the kinds ----

struct sDrawLine {
    std::string name; // char[32]
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int16_t lineWidth = 1;
    int8_t lineStyle = 0; // 0 solid .. 5 null
    int32_t red = 0, green = 0, blue = 0;
    uint8_t arrow = 0; // 0 none, 1 end, 2 start, 3 both
};

struct sDrawRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t borderWidth = 1;
    int8_t borderStyle = 0;
    uint8_t fillPattern = 0; // 0 solid .. 6 vertical
    uint8_t fillMode = 0;    // 0 opaque, 1 transparent
    int32_t shape = 1;       // 1 rectangle, 2 round rectangle, 3 ellipse
    std::string name;        // char[32]
    int32_t borderRed = 0, borderGreen = 0, borderBlue = 0;
    int32_t fillRed = 0, fillGreen = 0, fillBlue = 0;
    int16_t cornerRadius = 0;
};

struct sBitmapObject {
    std::string name; // char[32]
    int32_t x = 0, y = 0, width = 0, height = 0;
    uint8_t align = 0; // 0 none, 1 center, 2 top right, 3 bottom right, 4 top left, 5 bottom left
    uint32_t imageId = 0;
    uint8_t stretch = 0;
};

struct sTextField {
    std::string name; // char[30]
    uint8_t attribute = 0;
    std::string fileName; // text file the field reads, empty for none
    std::optional<NVFont> font;
    std::string text; // the written text
    int32_t x = 0, y = 0, width = 0, height = 0;
    NVColor backColor;
    NVColor foreColor;
    uint8_t transparent = 0;
    uint8_t scrolling = 0;
};

struct sInstructionBox {
    std::string name; // char[32]
    std::string caption;
    int32_t x = 0, y = 0, width = 0, height = 0;
    NVColor backColor;
    NVColor foreColor;
    std::optional<NVFont> font;
    std::string text; // the instruction text
    uint8_t scrolling = 0;
    uint8_t titleBar = 0;
};

struct sHyperLink {
    static constexpr int32_t EVENT_COUNT = 6;
    std::string name; // char[32]
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t right = 0, bottom = 0; // x + width, y + height
    std::string caption;
    uint8_t buttonStyle = 0; // 0 push button, 1 radio, 2 check box
    uint8_t align = 0;       // 0 left, 1 centre, 2 right, 3 top, 4 bottom
    uint8_t transparent = 0;
    std::string toolTip; // char[20]
    std::optional<NVFont> font;
    uint32_t clickedImageId = 0;
    uint32_t mouseOverImageId = 0;
    int16_t currentEvent = 0;
    std::vector<sHyperLinkEvent> events = std::vector<sHyperLinkEvent>(EVENT_COUNT);
    std::array<uint8_t, 12> unset{}; // never set; carried unchanged
    uint8_t attribute = 0;
    NVColor foreColor;
    NVColor backColor;
};

struct sValidationField {
    static constexpr int16_t DIALOG_BLOCK_ONLY = 40;
    std::string name; // char[30]
    uint8_t attribute = 0;
    std::optional<NVFont> font;
    int32_t x = 0, y = 0, width = 0, height = 0;
    NVColor backColor;
    NVColor foreColor;
    std::vector<uint8_t> validationData; // the packed strings (CValidationData)
    SMultiString strings;
    std::optional<sMessageDialogBlock> dialog;
    std::string errorText; // char[260]
    int16_t dialogLength = DIALOG_BLOCK_ONLY;
    uint8_t align = 0, transparent = 0, scrolling = 0, caseSensitive = 0, dynamicGrow = 0, password = 0;
    uint16_t validationNumber = 0;
    uint16_t validationId = 0;
};

struct sMouseClick {
    std::string name; // char[30]
    int16_t x = 0, y = 0, height = 0, width = 0;
};

// The in-memory record of one frame object.
struct NVAllObjects {
    static constexpr uint16_t STORED_SIZE = 1024;
    using Payload = std::variant<std::monostate, sDrawLine, sDrawRect, sValidationField, NVFrame,
                                 sInstructionBox, sHyperLink, sTextField, sBitmapObject, sMouseClick, sPoly>;

    uint16_t recordSize = STORED_SIZE;
    int32_t frameIndex = 0;
    int32_t drawingObject = SELECTION;
    uint8_t flag = 0;
    std::string globalID; // char[30], always empty
    std::string objectID; // char[12]
    Payload payload;

    template <typename T> T* get() { return std::get_if<T>(&payload); }
    template <typename T> const T* get() const { return std::get_if<T>(&payload); }
};

// The records of one frame; element 0 is the frame object's.
struct StrAllObjects {
    std::vector<NVAllObjects> AllObjects;
};
