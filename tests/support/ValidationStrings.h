// Validation strings and key words for tests.
#pragma once

#include "store/CValidationData.h"

#include <cstdint>
#include <vector>

namespace testsupport {

// Key words: the modifiers above the virtual key.
constexpr uint32_t CTRL_A = (2u << 16) | 65u;
constexpr uint32_t SHIFT_B = (1u << 16) | 66u;
constexpr uint32_t HOME = (8u << 16) | 36u;

// A validation string with keys of the given key words, none with an event.
inline sMultiValidationString validationString(const char* text, std::vector<uint32_t> words) {
    sMultiValidationString s;
    s.text = text;
    for (uint32_t w : words) {
        sValidationKey k;
        k.uiValidationKey = w;
        s.keys.push_back(k);
    }
    s.nKeyCount = int32_t(s.keys.size());
    return s;
}

} // namespace testsupport
