#include "media/ResourceUseTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Table = std::vector<UseStruct>;

TEST(ResourceUseTable, ProcessHasOneTable) {
    EXPECT_EQ(&ResourceUseTable::instance(), &ResourceUseTable::instance());
}

TEST(ResourceUseTable, ChoicesOfAFreshInstance) {
    ResourceUseTable t;
    bool newObject = true; // set at construction of a media library instance
    t.countChoice(0xA, newObject);
    EXPECT_EQ(t.entries(), (Table{{0xA, 1}}));
    EXPECT_TRUE(newObject);
    t.countChoice(0xA, newObject);
    EXPECT_EQ(t.entries(), (Table{{0xA, 2}}));
    EXPECT_FALSE(newObject);
    t.countChoice(0xA, newObject);
    EXPECT_EQ(t.entries(), (Table{{0xA, 3}})) << "every OK is a use";
    t.countChoice(0xB, newObject);
    EXPECT_EQ(t.entries(), (Table{{0xA, 3}, {0xB, 1}}));
}

// X uses A; Y's editor chooses A, B, A, and Y drops its previous resource at
// each choice: A keeps one use per user, and B is free.
TEST(ResourceUseTable, RechoosingKeepsOneUsePerUser) {
    ResourceUseTable t;
    bool x = true, y = true; // two media library instances
    t.countChoice(0xA, x);
    uint32_t yHolds = 0;
    for (uint32_t chosen : {0xAu, 0xBu, 0xAu}) {
        t.countChoice(chosen, y);
        t.dropUse(yHolds);
        yHolds = chosen;
    }
    EXPECT_EQ(t.entries(), (Table{{0xA, 2}}));
    t.dropUse(0xA); // X deleted
    EXPECT_TRUE(t.isInUse(0xA)) << "Y still uses A";
}

struct Step {
    enum Op { Copy, Drop, Reduce } op;
    uint32_t id;
};

struct SequenceCase {
    const char* label;
    std::vector<Step> steps;
    Table expected;
};

TEST(ResourceUseTable, UseCountSequences) {
    const std::vector<SequenceCase> cases = {
        {"copy adds an entry then counts up", {{Step::Copy, 5}, {Step::Copy, 5}}, {{5, 2}}},
        {"copy of identifier 0 is ignored", {{Step::Copy, 0}}, {}},
        {"drop without an entry changes nothing", {{Step::Copy, 5}, {Step::Drop, 6}}, {{5, 1}}},
        {"drop of the last use removes the entry", {{Step::Copy, 5}, {Step::Drop, 5}, {Step::Drop, 5}}, {}},
        {"drop keeps later entries in order",
         {{Step::Copy, 1}, {Step::Copy, 2}, {Step::Copy, 3}, {Step::Drop, 2}},
         {{1, 1}, {3, 1}}},
        {"reduce never removes", {{Step::Copy, 7}, {Step::Reduce, 7}}, {{7, 0}}},
        {"reduce of 0 or an absent id does nothing",
         {{Step::Copy, 7}, {Step::Reduce, 0}, {Step::Reduce, 8}},
         {{7, 1}}},
        {"drop after reduce to zero removes", {{Step::Copy, 7}, {Step::Reduce, 7}, {Step::Drop, 7}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ResourceUseTable t;
        for (const Step& s : c.steps) {
            switch (s.op) {
            case Step::Copy:
                t.addCopyUse(s.id);
                break;
            case Step::Drop:
                t.dropUse(s.id);
                break;
            case Step::Reduce:
                t.reduceUse(s.id);
                break;
            }
        }
        EXPECT_EQ(t.entries(), c.expected);
    }
}

TEST(ResourceUseTable, EntryWithCountZeroIsStillInUse) {
    ResourceUseTable t;
    t.addCopyUse(3);
    t.addCopyUse(9);
    t.reduceUse(9);
    int index = -1;
    ASSERT_TRUE(t.IsResourceInUse(9, index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(t.countOf(9), 0);
    EXPECT_FALSE(t.IsResourceInUse(4, index));
    EXPECT_EQ(index, 1);
}

} // namespace
