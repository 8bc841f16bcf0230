// Resource identifiers: category in bits 24-31, kind in bits 16-23 and a
// running number from 1 in bits 0-15. 0 means no resource everywhere.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class ResourceIds {
  public:
    enum Category : uint32_t {
        CATEGORY_IMAGES = 1,
        CATEGORY_VIDEO = 2,
        CATEGORY_AUDIO = 3,
        CATEGORY_ICONS = 4,
        CATEGORY_CURSORS = 5,
        CATEGORY_DEFAULT_ICONS = 6,
    };
    static constexpr uint32_t NONE = 0;
    static constexpr uint32_t FIRST_DEFAULT_ICON = 0x06010001;
    static constexpr uint32_t MAX_RUNNING_NUMBER = 0xFFFF;

    static constexpr uint32_t category(uint32_t id) { return id >> 24; }
    static constexpr uint32_t kind(uint32_t id) { return (id >> 16) & 0xFF; }
    static constexpr uint32_t runningNumber(uint32_t id) { return id & 0xFFFF; }
    // Category and kind bits of an identifier, running number cleared.
    static constexpr uint32_t base(uint32_t id) { return id & 0xFFFF0000u; }

    // The part of a file name after its last dot, upper-cased; empty when the
    // name (the path's last component) has no dot.
    static QString extensionOf(const QString& path);

    // Base identifier of an extension for listing (extension table), or -1
    // for an extension outside the table, the empty one included.
    static int32_t FindItemCategory(const QString& extension);

    // Base identifier a new import of that extension is numbered under: the
    // table's, or default icons (category 6, kind 1) for a name without a
    // dot; 0 when the extension has none, so such files get no identifier.
    static uint32_t allocationBase(const QString& extension);

    // Identifier for a newly imported file of that extension, given the
    // identifiers the store already holds: the highest running number held
    // under the same category and kind, plus one. Never hands out an
    // identifier already held; 0 when the extension has no base or every
    // running number of its kind is taken.
    static uint32_t FindTheResourceID(const QString& extension, const std::vector<uint32_t>& storeIds);
};
