// A validation string with keys of the given key words, none with an event.
#pragma once

#include "store/CValidationData.h"

#include <vector>

namespace testsupport {

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
