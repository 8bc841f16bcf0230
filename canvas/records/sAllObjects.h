// The stored form of one frame object: a 1024-byte record followed in the
// object stream by a tail with the data its reference fields stand for.
//
// Offsets are from the start of the record. Every byte the layouts do not
// name is zero. References are written as 1 where their data exists and 0
// where not; on reading, the dialog-block references of a validation field
// (640) and of a hyperlink event (1328) decide whether a block follows, and
// everywhere else the lengths and counts decide.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "store/VlmRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Kinds 1 to 4: a pen, a brush, a rectangle and a point, as the player draws them.
struct StoredShape {
    enum Offset : size_t {
        NAME = 56,
        PEN_STYLE = 88,
        PEN_WIDTH = 92,
        PEN_COLOR = 100,
        BRUSH_STYLE = 104,
        BRUSH_COLOR = 108,
        HATCH = 112,
        LEFT = 116,
        TOP = 120,
        RIGHT = 124,
        BOTTOM = 128,
        CORNER_WIDTH = 132,
        CORNER_HEIGHT = 136,
        X = 140,
        Y = 142,
        HEIGHT = 144,
        WIDTH = 146,
        ARROW = 150,
        FILL_MODE = 151,
        FILL_PATTERN = 152,
        STYLE_BYTE = 153,
        WIDTH_SHORT = 154,
    };
    static constexpr size_t NAME_LENGTH = 32;
    std::string name;
    int32_t penStyle = 0;
    int32_t penWidth = 0;
    uint32_t penColor = 0;
    int32_t brushStyle = 0;
    uint32_t brushColor = 0;
    int32_t hatch = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t cornerWidth = 0, cornerHeight = 0;
    int16_t x = 0, y = 0, height = 0, width = 0;
    uint8_t arrow = 0;
    uint8_t fillMode = 0;
    uint8_t fillPattern = 0;
    uint8_t styleByte = 0;
    int16_t widthShort = 0;
};

// The block kinds 6, 14, 17, 19 and 20 share at 56.
struct StoredControl {
    enum Offset : size_t {
        NAME = 56,
        TOOL_TIP = 92,
        FORE_COLOR = 372,
        BACK_COLOR = 376,
        X = 388,
        Y = 390,
        HEIGHT = 392,
        WIDTH = 394,
        ATTRIBUTE = 396,
    };
    static constexpr size_t NAME_LENGTH = 36;
    static constexpr size_t TOOL_TIP_LENGTH = 20;
    std::string name;
    std::string toolTip; // hyperlink only
    uint32_t foreColor = 0;
    uint32_t backColor = 0;
    int16_t x = 0, y = 0, height = 0, width = 0;
    uint8_t attribute = 0;
};

// The 60-byte font record (at 660 for kinds 6, 14, 17; at 404 for kind 19).
struct StoredFont {
    static constexpr size_t SIZE = 60;
    static constexpr size_t FAMILY_LENGTH = 32;
    enum Offset : size_t {
        HEIGHT = 0,
        WIDTH = 4,
        WEIGHT = 16,
        ITALIC = 20,
        UNDERLINE = 21,
        STRIKE_OUT = 22,
        FAMILY = 28
    };
    int32_t height = 0;
    int32_t width = 0;
    int32_t weight = 0; // old toolkit scale: 50 normal, 75 bold
    uint8_t italic = 0, underline = 0, strikeOut = 0;
    std::string family;
};

struct StoredBitmap {
    enum Offset : size_t { STRETCH = 400, ALIGN = 401, IMAGE_ID = 404 };
    StoredControl control;
    uint8_t stretch = 0;
    uint8_t align = 0;
    uint32_t imageId = 0;
};

struct StoredTextField {
    enum Offset : size_t {
        TRANSPARENT = 401,
        SCROLLING = 402,
        FONT = 404,
        RTF_REF = 464,
        RTF_LENGTH = 468,
        EXTRA_REF = 472,
        EXTRA_LENGTH = 476,
        FILE_NAME_REF = 492,
        FILE_NAME_LENGTH = 498,
    };
    StoredControl control;
    uint8_t transparent = 0;
    uint8_t scrolling = 0;
    StoredFont font;
    std::string rtf;      // tail, without terminator
    std::string extra;    // tail; nothing fills it
    std::string fileName; // tail
};

struct StoredInstructionBox {
    enum Offset : size_t {
        CAPTION = 400,
        SCROLLING = 656,
        FONT = 660,
        RTF_REF = 724,
        RTF_LENGTH = 728,
        TITLE_BAR = 740,
    };
    static constexpr size_t CAPTION_LENGTH = 256;
    StoredControl control;
    std::string caption;
    uint8_t scrolling = 0;
    StoredFont font;
    std::string rtf; // tail
    uint8_t titleBar = 0;
};

struct StoredHyperLink {
    enum Offset : size_t {
        CAPTION = 400,
        BUTTON_STYLE = 655,
        ALIGN = 656,
        TRANSPARENT = 657,
        FONT = 660,
        CLICKED_IMAGE_ID = 728,
        EVENT_MASK = 732,
        EVENT_COUNT = 736,
        EVENTS_REF = 740,
        MOUSE_OVER_IMAGE_ID = 744,
        UNSET = 748,
    };
    static constexpr size_t CAPTION_LENGTH = 255;
    StoredControl control;
    std::string caption;
    uint8_t buttonStyle = 0;
    uint8_t align = 0;
    uint8_t transparent = 0;
    StoredFont font;
    uint32_t clickedImageId = 0;
    int16_t eventMask = 0;
    std::vector<NVJumpButtonEvent> events; // tail, each with its dialog block
    uint32_t mouseOverImageId = 0;
    std::array<uint8_t, 12> unset{};
};

struct StoredValidationField {
    enum Offset : size_t {
        DIALOG_REF = 640,
        DATA_LENGTH = 644,
        DATA_REF = 648,
        VALIDATION_NUMBER = 652,
        DIALOG_LENGTH = 654,
        ALIGN = 657,
        TRANSPARENT = 658,
        SCROLLING = 659,
        FONT = 660,
        ERROR_TEXT = 720,
        VALIDATION_ID = 980,
        CASE_SENSITIVE = 988,
        DYNAMIC_GROW = 989,
        PASSWORD = 990,
    };
    static constexpr size_t ERROR_LENGTH = 259;
    // The legacy tail: its count, then count words and count event records.
    static constexpr size_t LEGACY_COUNT = 984;
    static constexpr size_t LEGACY_EVENT_SIZE = 540;
    StoredControl control;
    // The stored copy carries its one caption at 4 (caption1) and icon at 16
    // (icon1); caption0 is not carried in the tail and is stored empty.
    std::optional<sMessageDialogBlock> dialog;
    std::vector<uint8_t> validationData; // tail: the flat form of CValidationData
    uint16_t validationNumber = 0;
    int16_t dialogLength = 40;
    uint8_t align = 0;
    uint8_t transparent = 0;
    uint8_t scrolling = 0;
    StoredFont font;
    std::string errorText;
    uint16_t validationId = 0;
    uint8_t caseSensitive = 0;
    uint8_t dynamicGrow = 0;
    uint8_t password = 0;
};

struct sAllObjects {
    static constexpr size_t SIZE = 1024;
    static constexpr size_t GLOBAL_ID_LENGTH = 30;
    static constexpr size_t OBJECT_ID_LENGTH = 12;
    static constexpr size_t KIND_PART = 56;
    enum Offset : size_t {
        RECORD_SIZE = 0,
        FRAME_INDEX = 4,
        KIND = 8,
        FLAG = 12,
        GLOBAL_ID = 13,
        OBJECT_ID = 43
    };

    // Which payload a kind carries; monostate for kinds never stored.
    using Payload = std::variant<std::monostate, StoredShape, NVFrame, sPoly, StoredBitmap, StoredTextField,
                                 StoredInstructionBox, StoredHyperLink, StoredValidationField>;

    int32_t frameIndex = 0;
    int32_t drawingObject = SELECTION;
    std::string globalID;
    std::string objectID;
    Payload payload;

    // The payload alternative a kind is stored with (index into Payload).
    static size_t payloadIndexForKind(int32_t kind);
    // An empty payload of the kind's alternative.
    static Payload emptyPayloadForKind(int32_t kind);

    std::array<uint8_t, SIZE> toBytes() const;
    // Length of the tail as written.
    size_t tailLength() const;
    std::vector<uint8_t> tailBytes() const;
    // Record and tail, appended.
    void appendTo(std::vector<uint8_t>& out) const;

    // Reads one record and its tail from `size` bytes at p; consumed is set
    // to the bytes used. None when the record or its tail is cut short, or a
    // count or length is negative.
    // A validation field of a file with legacy tails carries, instead of its
    // strings and block, a count (at 984), that many words and that many
    // legacy event records; they are skipped, and the field has no strings,
    // no block and dialog length 40.
    static std::optional<sAllObjects> read(const uint8_t* p, size_t size, size_t& consumed,
                                           const vlm::FileVersion& version = {});

    // Records compare equal when their stored bytes do.
    bool operator==(const sAllObjects& o) const;
    bool operator!=(const sAllObjects& o) const { return !(*this == o); }

    template <typename T> T* get() { return std::get_if<T>(&payload); }
    template <typename T> const T* get() const { return std::get_if<T>(&payload); }
};
