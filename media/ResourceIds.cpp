#include "media/ResourceIds.h"

#include <algorithm>
#include <vector>

namespace {

struct ExtensionBase {
    const char* extension;
    uint32_t base;
};

// JPEG spelled with four letters is deliberately absent.
constexpr ExtensionBase kExtensions[] = {
    {"BMP", 0x01010000}, {"GIF", 0x01020000}, {"JPG", 0x01030000}, {"MPEG", 0x02020000}, {"AVI", 0x02030000},
    {"WAV", 0x03010000}, {"MP3", 0x03030000}, {"ICO", 0x04010000}, {"XPM", 0x04020000},  {"CUR", 0x05010000},
};

} // namespace

QString ResourceIds::extensionOf(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    return name.mid(dot + 1).toUpper();
}

int32_t ResourceIds::FindItemCategory(const QString& extension) {
    const QString upper = extension.toUpper();
    for (const auto& e : kExtensions)
        if (upper == QLatin1String(e.extension))
            return int32_t(e.base);
    return -1;
}

uint32_t ResourceIds::allocationBase(const QString& extension) {
    if (extension.isEmpty())
        return base(FIRST_DEFAULT_ICON);
    const int32_t b = FindItemCategory(extension);
    return b < 0 ? NONE : uint32_t(b);
}

uint32_t ResourceIds::FindTheResourceID(const QString& extension, const std::vector<uint32_t>& storeIds) {
    const uint32_t b = allocationBase(extension);
    if (b == NONE)
        return NONE;
    std::vector<bool> held(MAX_RUNNING_NUMBER + 1, false);
    uint32_t highest = 0;
    for (uint32_t id : storeIds) {
        if (base(id) != b)
            continue;
        held[runningNumber(id)] = true;
        highest = std::max(highest, runningNumber(id));
    }
    if (highest < MAX_RUNNING_NUMBER)
        return b | (highest + 1);
    // The top number is taken: reuse the lowest free one rather than carry
    // into the kind byte.
    for (uint32_t n = 1; n <= MAX_RUNNING_NUMBER; ++n)
        if (!held[n])
            return b | n;
    return NONE;
}
