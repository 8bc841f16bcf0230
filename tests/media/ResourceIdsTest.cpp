#include "media/ResourceIds.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint32_t> defaultIcons() {
    std::vector<uint32_t> ids;
    for (uint32_t n = 0; n < 53; ++n)
        ids.push_back(ResourceIds::FIRST_DEFAULT_ICON + n);
    return ids;
}

TEST(ResourceIds, FieldsOfAnIdentifier) {
    EXPECT_EQ(ResourceIds::category(0x03010007), 3u);
    EXPECT_EQ(ResourceIds::kind(0x03010007), 1u);
    EXPECT_EQ(ResourceIds::runningNumber(0x03010007), 7u);
    EXPECT_EQ(ResourceIds::base(0x03010007), 0x03010000u);
}

struct ExtensionCase {
    const char* path;
    const char* extension;
};

TEST(ResourceIds, ExtensionIsAfterTheLastDotOfTheName) {
    const ExtensionCase cases[] = {
        {"/home/a/photo.Jpg", "JPG"}, {"PHOTO.JPG", "JPG"}, {"a.b.bmp", "BMP"}, {"/dir.with.dots/noext", ""},
        {"Default Icon 7", ""},       {"trailing.", ""},    {"/x/.wav", "WAV"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResourceIds::extensionOf(c.path), QString(c.extension)) << c.path;
}

struct CategoryCase {
    const char* extension;
    int32_t listing;  // FindItemCategory
    uint32_t firstId; // first import into an empty store
};

TEST(ResourceIds, ExtensionTable) {
    const CategoryCase cases[] = {
        {"BMP", 0x01010000, 0x01010001},
        {"bmp", 0x01010000, 0x01010001},
        {"Bmp", 0x01010000, 0x01010001},
        {"GIF", 0x01020000, 0x01020001},
        {"JPG", 0x01030000, 0x01030001},
        {"MPEG", 0x02020000, 0x02020001},
        {"AVI", 0x02030000, 0x02030001},
        {"WAV", 0x03010000, 0x03010001},
        {"MP3", 0x03030000, 0x03030001},
        {"ICO", 0x04010000, 0x04010001},
        {"XPM", 0x04020000, 0x04020001},
        {"CUR", 0x05010000, 0x05010001},
        {"JPEG", -1, 0},
        {"PNG", -1, 0},
        // A name without a dot is numbered among the default icons.
        {"", -1, 0x06010001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(ResourceIds::FindItemCategory(c.extension), c.listing);
        EXPECT_EQ(ResourceIds::FindTheResourceID(QString(c.extension).toUpper(), {}), c.firstId);
    }
}

TEST(ResourceIds, RunningNumbersFollowTheHighestHeld) {
    std::vector<uint32_t> store;
    for (int i = 1; i <= 3; ++i) {
        uint32_t id = ResourceIds::FindTheResourceID("BMP", store);
        EXPECT_EQ(id, 0x01010000u + uint32_t(i));
        store.push_back(id);
    }
    // Other kinds and categories do not count.
    store.push_back(0x01020009);
    store.push_back(0x03010030);
    EXPECT_EQ(ResourceIds::FindTheResourceID("BMP", store), 0x01010004u);
    EXPECT_EQ(ResourceIds::FindTheResourceID("GIF", store), 0x0102000Au);
}

TEST(ResourceIds, NoDuplicateWhenNodesAreOutOfOrder) {
    const std::vector<uint32_t> store = {0x01010001, 0x01010003, 0x01010002};
    const uint32_t id = ResourceIds::FindTheResourceID("BMP", store);
    EXPECT_EQ(id, 0x01010004u);
    for (uint32_t held : store)
        EXPECT_NE(id, held);
}

TEST(ResourceIds, AfterDeletingTheHighestItsNumberIsReused) {
    EXPECT_EQ(ResourceIds::FindTheResourceID("BMP", {0x01010001, 0x01010002}), 0x01010003u);
}

TEST(ResourceIds, UnknownExtensionGetsNoIdentifier) {
    std::vector<uint32_t> store = {0, 0};
    EXPECT_EQ(ResourceIds::FindTheResourceID("PNG", store), 0u);
    EXPECT_EQ(ResourceIds::FindTheResourceID("PNG", {}), 0u);
}

TEST(ResourceIds, NameWithoutDotFollowsTheDefaultIcons) {
    std::vector<uint32_t> store = defaultIcons();
    store.push_back(0x01010001);
    const uint32_t first = ResourceIds::FindTheResourceID("", store);
    EXPECT_EQ(first, 0x06010036u);
    store.push_back(first);
    EXPECT_EQ(ResourceIds::FindTheResourceID("", store), 0x06010037u);
}

TEST(ResourceIds, RunningNumberNeverCarriesIntoTheKind) {
    std::vector<uint32_t> store = {0x0301FFFF, 0x03010001};
    EXPECT_EQ(ResourceIds::FindTheResourceID("WAV", store), 0x03010002u);
    store.clear();
    for (uint32_t n = 1; n <= 0xFFFF; ++n)
        store.push_back(0x03010000 | n);
    EXPECT_EQ(ResourceIds::FindTheResourceID("WAV", store), 0u);
}

} // namespace
