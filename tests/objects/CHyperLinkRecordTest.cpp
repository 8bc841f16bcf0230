// The hyperlink's stored record: both conversions, the event mask and the
// mending of imported events.
#include "objects/interactive/CHyperLinkRecord.h"

#include <gtest/gtest.h>

namespace {

NVAllObjects linkRecord(const sHyperLink& link) {
    NVAllObjects r;
    r.drawingObject = HYPERLINK;
    r.objectID = "J1";
    r.frameIndex = 2;
    r.payload = link;
    return r;
}

sHyperLink sampleLink() {
    sHyperLink p;
    p.name = "Hyperlink 1";
    p.x = 40;
    p.y = 50;
    p.right = 140;
    p.bottom = 80;
    p.width = 100;
    p.height = 30;
    p.caption = "Next page";
    p.buttonStyle = 1;
    p.align = 2;
    p.transparent = 1;
    p.toolTip = "tip";
    p.font = NVFont{"helvetica", 12, NVFont::WEIGHT_BOLD, true};
    p.clickedImageId = 0x06010001;
    p.mouseOverImageId = 0x06010002;
    p.attribute = 2;
    p.foreColor = NVColor{1, 2, 3};
    p.backColor = NVColor{199, 195, 199};
    p.unset = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (sHyperLinkEvent& e : p.events)
        e.mousePointer = 1;
    p.events[1].message = "Hello";
    p.events[1].dialogLength = 47;
    p.events[1].dialog = sMessageDialogBlock{"Oops!", "Hi", 0x06010003, 0};
    p.events[2].gotoFrame = -1;
    p.events[4].audioId = 0x06010004;
    p.events[4].mousePointer = 14;
    return p;
}

TEST(HyperLinkRecord, StoredAndTakenBackGivesTheSameHyperlinkAndMask) {
    const NVAllObjects record = linkRecord(sampleLink());
    const sAllObjects stored = CHyperLinkRecord::toStored(record);
    const StoredHyperLink* s = stored.get<StoredHyperLink>();
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(0b110, s->eventMask);
    EXPECT_EQ(6u, s->events.size());
    EXPECT_EQ(HYPERLINK, stored.drawingObject);
    EXPECT_EQ("J1", stored.objectID);

    // Through the bytes of the file and back.
    std::vector<uint8_t> bytes;
    stored.appendTo(bytes);
    size_t consumed = 0;
    const std::optional<sAllObjects> read = sAllObjects::read(bytes.data(), bytes.size(), consumed);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(bytes.size(), consumed);
    const NVAllObjects back = CHyperLinkRecord::fromStored(*read);
    const sHyperLink& a = *record.get<sHyperLink>();
    const sHyperLink* b = back.get<sHyperLink>();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(a.name, b->name);
    EXPECT_EQ(a.x, b->x);
    EXPECT_EQ(a.right, b->right);
    EXPECT_EQ(a.bottom, b->bottom);
    EXPECT_EQ(a.caption, b->caption);
    EXPECT_EQ(a.toolTip, b->toolTip);
    EXPECT_EQ(a.buttonStyle, b->buttonStyle);
    EXPECT_EQ(a.align, b->align);
    EXPECT_EQ(a.transparent, b->transparent);
    EXPECT_EQ(a.attribute, b->attribute);
    EXPECT_EQ(a.font->family, b->font->family);
    EXPECT_EQ(a.font->pointSize, b->font->pointSize);
    EXPECT_EQ(a.font->weight, b->font->weight);
    EXPECT_EQ(a.font->italic, b->font->italic);
    EXPECT_EQ(a.clickedImageId, b->clickedImageId);
    EXPECT_EQ(a.mouseOverImageId, b->mouseOverImageId);
    EXPECT_EQ(a.unset, b->unset);
    EXPECT_EQ(0, b->currentEvent);
    ASSERT_EQ(6u, b->events.size());
    for (size_t i = 0; i < 6; ++i)
        EXPECT_TRUE(a.events[i] == b->events[i]) << i;
    // A second make marks the same events.
    EXPECT_EQ(s->eventMask, CHyperLinkRecord::toStored(back).get<StoredHyperLink>()->eventMask);
}

TEST(HyperLinkRecord, EmptyStoredBlocksAreNotKept) {
    StoredHyperLink s;
    s.events = std::vector<NVJumpButtonEvent>(6);
    for (NVJumpButtonEvent& e : s.events)
        e.dialog = sMessageDialogBlock{};
    sAllObjects stored;
    stored.drawingObject = HYPERLINK;
    stored.payload = s;
    const NVAllObjects back = CHyperLinkRecord::fromStored(stored);
    EXPECT_EQ(0, CHyperLinkRecord::eventMask(back));
    for (const sHyperLinkEvent& e : back.get<sHyperLink>()->events)
        EXPECT_FALSE(e.dialog.has_value());
}

TEST(HyperLinkRecord, AnyStoredEventCountGivesSixEvents) {
    const struct { size_t count; } cases[] = {{0}, {2}, {6}, {9}};
    for (const auto& c : cases) {
        StoredHyperLink s;
        s.events = std::vector<NVJumpButtonEvent>(c.count);
        if (c.count > 1)
            s.events[1].gotoFrame = 3;
        sAllObjects stored;
        stored.drawingObject = HYPERLINK;
        stored.payload = s;
        const NVAllObjects back = CHyperLinkRecord::fromStored(stored);
        const sHyperLink* p = back.get<sHyperLink>();
        ASSERT_EQ(6u, p->events.size()) << c.count;
        if (c.count > 1)
            EXPECT_EQ(3, p->events[1].gotoFrame);
        for (size_t i = c.count; i < 6; ++i)
            EXPECT_EQ(1, p->events[i].mousePointer) << "a new event points with the arrow";
    }
}

TEST(HyperLinkRecord, StoredCaptionKeepsAtMost254Characters) {
    sHyperLink p = sampleLink();
    p.caption = std::string(300, 'x');
    EXPECT_EQ(254u, CHyperLinkRecord::toStored(linkRecord(p)).get<StoredHyperLink>()->caption.size());
}

TEST(HyperLinkRecord, MaskBitsFollowEachActionKind) {
    const struct {
        int event;
        int32_t gotoFrame;
        int16_t dialogLength;
        bool block;
        int16_t mask;
    } cases[] = {
        {0, 0, 0, false, 0}, {2, -1, 0, false, 4}, {3, 0, 42, false, 8},
        {1, 0, 0, true, 2},  {5, 7, 0, false, 32},
    };
    for (const auto& c : cases) {
        sHyperLink p;
        p.events[size_t(c.event)].gotoFrame = c.gotoFrame;
        p.events[size_t(c.event)].dialogLength = c.dialogLength;
        if (c.block)
            p.events[size_t(c.event)].dialog = sMessageDialogBlock{};
        EXPECT_EQ(c.mask, CHyperLinkRecord::eventMask(p)) << c.event;
    }
}

} // namespace
