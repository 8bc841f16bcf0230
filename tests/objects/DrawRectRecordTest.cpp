// The stored shape block of rectangles, round rectangles and ellipses.
#include "objects/draw/DrawRectRecord.h"

#include "objects/draw/DrawRect.h"

#include <gtest/gtest.h>

namespace {

sDrawRect sample(int shape) {
    sDrawRect p;
    p.left = 20;
    p.top = 30;
    p.right = 120;
    p.bottom = 80;
    p.borderWidth = 3;
    p.borderStyle = 4;
    p.fillPattern = 2; // Cross
    p.fillMode = 1;
    p.shape = shape;
    p.name = "Shape 1";
    p.borderRed = 0x11;
    p.borderGreen = 0x22;
    p.borderBlue = 0x33;
    p.fillRed = 0x44;
    p.fillGreen = 0x55;
    p.fillBlue = 0x66;
    p.cornerRadius = shape == DrawRect::SHAPE_ROUNDRECT ? 7 : 0;
    return p;
}

int32_t le32(const std::array<uint8_t, sAllObjects::SIZE>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                   uint32_t(b[at + 3]) << 24);
}
int16_t le16(const std::array<uint8_t, sAllObjects::SIZE>& b, size_t at) {
    return int16_t(uint16_t(b[at] | b[at + 1] << 8));
}

TEST(DrawRectRecord, OnlyARectangleStoresAHatchAndOnlyARoundRectangleItsCorner) {
    struct Row {
        int shape;
        int32_t kind;
        int32_t hatch;
        int32_t corner;
    };
    for (const Row& r : {Row{1, RECTANGLE, 4, 0}, Row{2, ROUNDRECT, 0, 7}, Row{3, ELLIPSE, 0, 0}}) {
        NVAllObjects rec;
        rec.drawingObject = r.kind;
        rec.objectID = "X1";
        rec.frameIndex = 2;
        rec.payload = sample(r.shape);
        const auto bytes = DrawRectRecord::toStored(rec).toBytes();
        EXPECT_EQ(r.kind, le32(bytes, sAllObjects::KIND));
        EXPECT_EQ(2, le32(bytes, StoredShape::BRUSH_STYLE)) << r.kind;
        EXPECT_EQ(2, bytes[StoredShape::FILL_PATTERN]) << r.kind;
        EXPECT_EQ(r.hatch, le32(bytes, StoredShape::HATCH)) << r.kind;
        EXPECT_EQ(r.corner, le32(bytes, StoredShape::CORNER_WIDTH)) << r.kind;
        EXPECT_EQ(r.corner, le32(bytes, StoredShape::CORNER_HEIGHT)) << r.kind;
        EXPECT_EQ(4, le32(bytes, StoredShape::PEN_STYLE));
        EXPECT_EQ(4, bytes[StoredShape::STYLE_BYTE]);
        EXPECT_EQ(3, le32(bytes, StoredShape::PEN_WIDTH));
        EXPECT_EQ(0, le32(bytes, StoredShape::PEN_WIDTH + 4));
        EXPECT_EQ(3, le16(bytes, StoredShape::WIDTH_SHORT));
        EXPECT_EQ(0x332211, le32(bytes, StoredShape::PEN_COLOR));
        EXPECT_EQ(0x665544, le32(bytes, StoredShape::BRUSH_COLOR));
        EXPECT_EQ(20, le32(bytes, StoredShape::LEFT));
        EXPECT_EQ(80, le32(bytes, StoredShape::BOTTOM));
        EXPECT_EQ(20, le16(bytes, StoredShape::X));
        EXPECT_EQ(30, le16(bytes, StoredShape::Y));
        EXPECT_EQ(50, le16(bytes, StoredShape::HEIGHT));
        EXPECT_EQ(100, le16(bytes, StoredShape::WIDTH));
        EXPECT_EQ(1, bytes[StoredShape::FILL_MODE]);
        EXPECT_EQ(0, bytes[StoredShape::ARROW]);
        EXPECT_EQ('S', bytes[StoredShape::NAME]);
    }
}

TEST(DrawRectRecord, HatchesFollowThePlayersNumbering) {
    const int32_t expected[] = {0, 2, 4, 5, 3, 0, 1};
    for (int pattern = 0; pattern <= 6; ++pattern)
        EXPECT_EQ(expected[pattern], DrawRectRecord::hatchOf(pattern));
}

TEST(DrawRectRecord, RoundTripThroughBytesGivesThePayloadBack) {
    for (int32_t kind : {RECTANGLE, ROUNDRECT, ELLIPSE}) {
        NVAllObjects rec;
        rec.drawingObject = kind;
        rec.objectID = "N3";
        rec.frameIndex = 5;
        rec.payload = sample(kind - 1);
        std::vector<uint8_t> bytes;
        DrawRectRecord::toStored(rec).appendTo(bytes);
        ASSERT_EQ(sAllObjects::SIZE, bytes.size()); // no tail
        size_t used = 0;
        const auto stored = sAllObjects::read(bytes.data(), bytes.size(), used);
        ASSERT_TRUE(stored.has_value());
        const NVAllObjects back = DrawRectRecord::fromStored(*stored);
        EXPECT_EQ(kind, back.drawingObject);
        EXPECT_EQ("N3", back.objectID);
        EXPECT_EQ(5, back.frameIndex);
        const sDrawRect* p = back.get<sDrawRect>();
        ASSERT_NE(nullptr, p);
        const sDrawRect want = sample(kind - 1);
        EXPECT_EQ(want.left, p->left);
        EXPECT_EQ(want.top, p->top);
        EXPECT_EQ(want.right, p->right);
        EXPECT_EQ(want.bottom, p->bottom);
        EXPECT_EQ(want.borderWidth, p->borderWidth);
        EXPECT_EQ(want.borderStyle, p->borderStyle);
        EXPECT_EQ(want.fillPattern, p->fillPattern);
        EXPECT_EQ(want.fillMode, p->fillMode);
        EXPECT_EQ(want.shape, p->shape);
        EXPECT_EQ(want.name, p->name);
        EXPECT_EQ(want.borderGreen, p->borderGreen);
        EXPECT_EQ(want.fillBlue, p->fillBlue);
        EXPECT_EQ(want.cornerRadius, p->cornerRadius);
    }
}

TEST(DrawRectRecord, ZeroSizedAndReversedRecordsComeBackUnchanged) {
    StoredShape s;
    s.x = 50;
    s.y = 60;
    s.width = 0;
    s.height = -20;
    s.widthShort = -1; // sign-extended
    const sDrawRect p = DrawRectRecord::fromStoredShape(s, RECTANGLE);
    EXPECT_EQ(50, p.left);
    EXPECT_EQ(50, p.right);
    EXPECT_EQ(40, p.bottom);
    EXPECT_EQ(-1, p.borderWidth);
}

} // namespace
