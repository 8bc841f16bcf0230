// The stored shape block of lines with arrow heads.
#include "objects/draw/DrawLineRecord.h"

#include <QLine>

#include <gtest/gtest.h>

namespace {

sDrawLine sample() {
    sDrawLine p;
    p.name = "Line 3";
    p.x1 = 120;
    p.y1 = 80;
    p.x2 = 20;
    p.y2 = 130;
    p.lineWidth = 3;
    p.lineStyle = 4;
    p.red = 0x11;
    p.green = 0x22;
    p.blue = 0x33;
    p.arrow = 3;
    return p;
}

NVAllObjects lineRecord(const sDrawLine& p) {
    NVAllObjects rec;
    rec.drawingObject = LINE;
    rec.objectID = "L3";
    rec.frameIndex = 2;
    rec.payload = p;
    return rec;
}

int32_t le32(const std::array<uint8_t, sAllObjects::SIZE>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                   uint32_t(b[at + 3]) << 24);
}
int16_t le16(const std::array<uint8_t, sAllObjects::SIZE>& b, size_t at) {
    return int16_t(uint16_t(b[at] | b[at + 1] << 8));
}

TEST(DrawLineRecord, WriterFillsPenBrushEndsAndArrow) {
    const auto bytes = DrawLineRecord::toStored(lineRecord(sample())).toBytes();
    struct Row {
        const char* what;
        int32_t got;
        int32_t want;
    };
    const Row rows[] = {
        {"kind", le32(bytes, sAllObjects::KIND), LINE},
        {"pen style", le32(bytes, StoredShape::PEN_STYLE), 4},
        {"style byte", bytes[StoredShape::STYLE_BYTE], 4},
        {"pen width", le32(bytes, StoredShape::PEN_WIDTH), 3},
        {"width short", le16(bytes, StoredShape::WIDTH_SHORT), 3},
        {"pen colour", le32(bytes, StoredShape::PEN_COLOR), 0x332211},
        {"brush colour", le32(bytes, StoredShape::BRUSH_COLOR), 0x332211},
        {"brush style", le32(bytes, StoredShape::BRUSH_STYLE), 0},
        {"hatch", le32(bytes, StoredShape::HATCH), 0},
        {"left", le32(bytes, StoredShape::LEFT), 120},
        {"top", le32(bytes, StoredShape::TOP), 80},
        {"right", le32(bytes, StoredShape::RIGHT), 20},
        {"bottom", le32(bytes, StoredShape::BOTTOM), 130},
        {"x", le16(bytes, StoredShape::X), 120},
        {"y", le16(bytes, StoredShape::Y), 80},
        {"height", le16(bytes, StoredShape::HEIGHT), 50},
        {"width", le16(bytes, StoredShape::WIDTH), -100},
        {"arrow", bytes[StoredShape::ARROW], 3},
        {"name", bytes[StoredShape::NAME], 'L'},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.want, r.got) << r.what;
}

TEST(DrawLineRecord, RecordsSurviveTheRoundTrip) {
    const sAllObjects stored = DrawLineRecord::toStored(lineRecord(sample()));
    std::vector<uint8_t> bytes;
    stored.appendTo(bytes);
    size_t consumed = 0;
    const std::optional<sAllObjects> read = sAllObjects::read(bytes.data(), bytes.size(), consumed);
    ASSERT_TRUE(read);
    EXPECT_EQ(stored, *read);
    const NVAllObjects back = DrawLineRecord::fromStored(*read);
    EXPECT_EQ(LINE, back.drawingObject);
    EXPECT_EQ("L3", back.objectID);
    ASSERT_TRUE(back.get<sDrawLine>());
    const sDrawLine& p = *back.get<sDrawLine>();
    const sDrawLine want = sample();
    EXPECT_EQ(want.name, p.name);
    EXPECT_EQ(QLine(want.x1, want.y1, want.x2, want.y2), QLine(p.x1, p.y1, p.x2, p.y2));
    EXPECT_EQ(want.lineWidth, p.lineWidth);
    EXPECT_EQ(want.lineStyle, p.lineStyle);
    EXPECT_EQ(want.red, p.red);
    EXPECT_EQ(want.green, p.green);
    EXPECT_EQ(want.blue, p.blue);
    EXPECT_EQ(want.arrow, p.arrow);
}

// The reader takes the ends from the point block, style and width from the
// low parts of the pen words; the rectangle and the short copies are not read.
TEST(DrawLineRecord, ReaderTakesEndsFromThePointBlockAndLowPenParts) {
    StoredShape s = DrawLineRecord::toStoredShape(sample());
    s.left = s.top = s.right = s.bottom = 999;
    s.styleByte = 2;
    s.widthShort = 9;
    s.penStyle = 0x7701;
    s.penWidth = 0x50006;
    const sDrawLine p = DrawLineRecord::fromStoredShape(s);
    EXPECT_EQ(QLine(120, 80, 20, 130), QLine(p.x1, p.y1, p.x2, p.y2));
    EXPECT_EQ(1, p.lineStyle);
    EXPECT_EQ(6, p.lineWidth);
}

} // namespace
