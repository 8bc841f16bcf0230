// Validation strings of a validation field and their flat, stored form.
//
// In memory a key owns its event and an event its caption by value, so
// copying a list copies everything it holds. The flat form is what the stored
// object record of a validation field carries in its tail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Event of a validation key: a message, an image, a caption and an icon.
struct sValidationKeyEvent {
    static constexpr size_t SIZE = 304;
    static constexpr size_t MESSAGE_LENGTH = 260;
    enum Offset : size_t {
        MESSAGE = 0,
        IMAGE_ID = 260,
        WORD_264 = 264,
        WORD_268 = 268,
        CAPTION_REF = 272,
        CAPTION_LENGTH = 276,
        ICON_ID = 280,
    };
    std::string message; // Latin-1 bytes, at most 259 survive storing
    uint32_t imageId = 0;
    uint32_t word264 = 0;
    uint32_t word268 = 0;
    std::string caption; // at most 32767 bytes survive storing
    uint32_t iconId = 0;

    // The 304 bytes; the caption reference is 1 when there is a caption.
    void writeTo(uint8_t* p) const;
    // Reads the 304 bytes; the caption, which follows them, is not read.
    static sValidationKeyEvent fromBytes(const uint8_t* p);
    int16_t captionLength() const;
    bool operator==(const sValidationKeyEvent& o) const;
};

// One key of a validation string: modifiers (shift 1, control 2, alt 4) in
// the high 16 bits, a Windows virtual-key code in the low 16 bits.
struct sValidationKey {
    static constexpr size_t SIZE = 32;
    enum Offset : size_t { KEY = 0, EVENT_REF = 4, EVENT_SIZE = 8 };
    uint32_t uiValidationKey = 0;
    std::optional<sValidationKeyEvent> event;

    // 304 with an event, else 0.
    int32_t nEventSize() const { return event ? int32_t(sValidationKeyEvent::SIZE) : 0; }
    bool operator==(const sValidationKey& o) const {
        return uiValidationKey == o.uiValidationKey && event == o.event;
    }
};

// One expected input string with its keys.
struct sMultiValidationString {
    static constexpr size_t TEXT_LENGTH = 259;
    std::string text; // at most 258 bytes survive storing
    std::vector<sValidationKey> keys;
    int32_t nKeyCount = 0; // as read back; packing counts `keys`
    uint8_t flag = 0;
    bool operator==(const sMultiValidationString& o) const {
        return text == o.text && keys == o.keys && nKeyCount == o.nKeyCount && flag == o.flag;
    }
};

// The validation strings of one field.
struct SMultiString {
    std::vector<sMultiValidationString> list;
    bool operator==(const SMultiString& o) const { return list == o.list; }
};

class CValidationData {
  public:
    // Layout of one string's head in the flat form.
    static constexpr size_t HEAD_SIZE = 280;
    enum HeadOffset : size_t { HEAD_TEXT = 0, HEAD_KEY_COUNT = 264, HEAD_FLAG = 268 };

    CValidationData() = default;
    virtual ~CValidationData() = default;

    // Length of the flat form; 0 for an empty list.
    uint32_t GetValidationDataLength(const SMultiString& strings) const;
    // Writes the flat form into dest, which holds GetValidationDataLength
    // bytes; false and nothing written for a null dest or an empty form.
    bool GetValidationData(uint8_t* dest, const SMultiString& strings, size_t ignoredLength = 0) const;
    std::vector<uint8_t> pack(const SMultiString& strings) const;
    // Rebuilds the list from a flat form. False, with the list unchanged, for
    // a null or empty source and for a block whose key counts or caption
    // lengths run past its end. Fewer than 280 trailing bytes are ignored.
    bool GetValidationDataArray(const uint8_t* src, size_t length, SMultiString& strings) const;
};
