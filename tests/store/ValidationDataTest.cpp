#include "store/CValidationData.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

sValidationKeyEvent makeEvent(const std::string& caption) {
    sValidationKeyEvent e;
    e.message = "Well done";
    e.imageId = 0x01010003;
    e.word264 = 11;
    e.word268 = 12;
    e.caption = caption;
    e.iconId = 0x04010002;
    return e;
}

// One string with two keys: the first with an event whose caption has five
// characters, the second without an event.
SMultiString workedExample() {
    sMultiValidationString s;
    s.text = "hello";
    s.flag = 1;
    s.nKeyCount = 2;
    sValidationKey k1;
    k1.uiValidationKey = (2u << 16) | 'A';
    k1.event = makeEvent("Great");
    sValidationKey k2;
    k2.uiValidationKey = 0x0D;
    s.keys = {k1, k2};
    SMultiString m;
    m.list.push_back(s);
    return m;
}

TEST(ValidationData, EmptyListPacksToNothing) {
    CValidationData v;
    SMultiString empty;
    EXPECT_EQ(v.GetValidationDataLength(empty), 0u);
    uint8_t buf[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_FALSE(v.GetValidationData(buf, empty));
    EXPECT_EQ(buf[0], 0xAA);
    SMultiString list = workedExample();
    EXPECT_FALSE(v.GetValidationDataArray(buf, 0, list));
    EXPECT_FALSE(v.GetValidationDataArray(nullptr, 10, list));
    EXPECT_EQ(list, workedExample());
}

TEST(ValidationData, NullDestinationIsRefused) {
    CValidationData v;
    EXPECT_FALSE(v.GetValidationData(nullptr, workedExample()));
}

TEST(ValidationData, WorkedExampleLayout) {
    CValidationData v;
    const SMultiString m = workedExample();
    ASSERT_EQ(v.GetValidationDataLength(m), 957u);
    const std::vector<uint8_t> b = v.pack(m);
    ASSERT_EQ(b.size(), 957u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[0])), "hello");
    EXPECT_EQ(rec::readLe32(&b[264]), 2u);
    EXPECT_EQ(b[268], 1);
    for (size_t i = 269; i < 280; ++i)
        EXPECT_EQ(b[i], 0) << i;
    // first key
    EXPECT_EQ(rec::readLe32(&b[280]), (2u << 16) | 'A');
    EXPECT_EQ(rec::readLe32(&b[288]), 304u);
    const size_t ev = 280 + 32;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[ev])), "Well done");
    EXPECT_EQ(rec::readLe32(&b[ev + 260]), 0x01010003u);
    EXPECT_EQ(rec::readLe16(&b[ev + 276]), 5u);
    EXPECT_EQ(rec::readLe32(&b[ev + 280]), 0x04010002u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[ev + 304]), 5), "Great");
    // second key: no event, 304 zero bytes
    const size_t k2 = ev + 304 + 5;
    EXPECT_EQ(rec::readLe32(&b[k2]), 0x0Du);
    EXPECT_EQ(rec::readLe32(&b[k2 + 4]), 0u);
    EXPECT_EQ(rec::readLe32(&b[k2 + 8]), 0u);
    for (size_t i = k2 + 32; i < 957; ++i)
        ASSERT_EQ(b[i], 0) << i;
}

TEST(ValidationData, RoundTripTable) {
    struct Case {
        const char* label;
        SMultiString list;
        uint32_t length;
    };
    SMultiString noKeys;
    noKeys.list.push_back(sMultiValidationString{"abc", {}, 0, 0});
    SMultiString noCaption;
    {
        sMultiValidationString s{"x", {}, 1, 0};
        sValidationKey k;
        k.uiValidationKey = 0x41;
        k.event = makeEvent("");
        s.keys.push_back(k);
        noCaption.list.push_back(s);
    }
    SMultiString two = workedExample();
    two.list.push_back(sMultiValidationString{"second", {}, 0, 3});
    const std::vector<Case> cases = {
        {"one string without keys", noKeys, 280},
        {"event without caption", noCaption, 280 + 336},
        {"worked example", workedExample(), 957},
        {"two strings", two, 957 + 280},
    };
    CValidationData v;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::vector<uint8_t> b = v.pack(c.list);
        EXPECT_EQ(b.size(), c.length);
        SMultiString back;
        ASSERT_TRUE(v.GetValidationDataArray(b.data(), b.size(), back));
        EXPECT_EQ(back, c.list);
    }
}

TEST(ValidationData, UnpackingReplacesTheList) {
    CValidationData v;
    SMultiString target = workedExample();
    target.list.push_back(sMultiValidationString{"old", {}, 0, 0});
    const std::vector<uint8_t> b = v.pack(workedExample());
    ASSERT_TRUE(v.GetValidationDataArray(b.data(), b.size(), target));
    EXPECT_EQ(target, workedExample());
}

TEST(ValidationData, ShortTrailIsIgnored) {
    CValidationData v;
    std::vector<uint8_t> b = v.pack(workedExample());
    b.resize(b.size() + 279, 0x55);
    SMultiString back;
    ASSERT_TRUE(v.GetValidationDataArray(b.data(), b.size(), back));
    EXPECT_EQ(back, workedExample());
}

TEST(ValidationData, BlocksThatRunPastTheirEndAreRefused) {
    CValidationData v;
    const std::vector<uint8_t> good = v.pack(workedExample());
    struct Case {
        const char* label;
        std::vector<uint8_t> block;
    };
    std::vector<Case> cases;
    {
        auto b = good;
        rec::writeLe32(&b[264], 3); // one key more than the block holds
        cases.push_back({"key count too high", b});
    }
    {
        auto b = good;
        rec::writeLe32(&b[264], 0xFFFFFFFF);
        cases.push_back({"huge key count", b});
    }
    {
        auto b = good;
        rec::writeLe16(&b[280 + 32 + 276], 2000);
        cases.push_back({"caption longer than the block", b});
    }
    {
        auto b = good;
        rec::writeLe16(&b[280 + 32 + 276], 0xFFFF);
        cases.push_back({"negative caption length", b});
    }
    {
        auto b = good;
        b.resize(b.size() - 10);
        cases.push_back({"block cut inside the last key", b});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SMultiString list;
        list.list.push_back(sMultiValidationString{"keep", {}, 0, 9});
        const SMultiString before = list;
        EXPECT_FALSE(v.GetValidationDataArray(c.block.data(), c.block.size(), list));
        EXPECT_EQ(list, before);
    }
}

TEST(ValidationData, OverlongTextIsCutAndTerminated) {
    CValidationData v;
    SMultiString m;
    m.list.push_back(sMultiValidationString{std::string(300, 'z'), {}, 0, 0});
    const auto b = v.pack(m);
    EXPECT_EQ(b[258], 0);
    SMultiString back;
    ASSERT_TRUE(v.GetValidationDataArray(b.data(), b.size(), back));
    EXPECT_EQ(back.list[0].text.size(), 258u);
}

} // namespace
