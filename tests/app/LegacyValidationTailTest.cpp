// Validation fields of files of minor version 0, 997 and 998 carry a legacy
// tail (a count at 984, that many words and 540-byte event records) that the
// import skips; files made here (995) never have it.
#include "app/OutputFileServices.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

namespace {

// A frame's plain chunk: a legacy validation field with `count` entries in
// its tail (the tail holds `held` of them), then a rectangle.
std::vector<uint8_t> legacyChunk(uint32_t count, uint32_t held) {
    sAllObjects field;
    field.drawingObject = VALIDATIONFIELD;
    StoredValidationField v;
    v.control.name = "Legacy";
    v.dialogLength = 40;
    field.payload = v;
    sAllObjects rect;
    rect.drawingObject = RECTANGLE;
    StoredShape s;
    s.name = "Rectangle 1";
    rect.payload = s;
    std::vector<uint8_t> out = OutputFileServices::plainObjectChunk({field});
    rec::writeLe32(out.data() + 4, 2);
    rec::writeLe32(out.data() + 24 + StoredValidationField::LEGACY_COUNT, count);
    for (uint32_t i = 0; i < held; ++i) {
        uint8_t word[4];
        rec::writeLe32(word, 7 + i);
        out.insert(out.end(), word, word + 4);
    }
    for (uint32_t i = 0; i < held; ++i)
        out.insert(out.end(), StoredValidationField::LEGACY_EVENT_SIZE, uint8_t(0x5A));
    rect.appendTo(out);
    return out;
}

TEST(LegacyValidationTail, SkippedInFilesThatCarryIt) {
    for (uint16_t minor : {0, 997, 998}) {
        SCOPED_TRACE(minor);
        const std::vector<uint8_t> chunk = legacyChunk(2, 2);
        const auto records = OutputFileServices::parseObjectChunk(chunk.data(), chunk.size(), {2, minor});
        ASSERT_TRUE(records);
        ASSERT_EQ(2u, records->size());
        const StoredValidationField* v = (*records)[0].get<StoredValidationField>();
        ASSERT_TRUE(v);
        EXPECT_EQ("Legacy", v->control.name);
        EXPECT_EQ(40, v->dialogLength);
        EXPECT_FALSE(v->dialog);
        EXPECT_TRUE(v->validationData.empty());
        const StoredShape* s = (*records)[1].get<StoredShape>();
        ASSERT_TRUE(s);
        EXPECT_EQ("Rectangle 1", s->name);
    }
}

TEST(LegacyValidationTail, CountPastTheChunkIsRefused) {
    for (uint32_t count : {3u, 100u, 0x40000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(count);
        const std::vector<uint8_t> chunk = legacyChunk(count, 2);
        EXPECT_FALSE(OutputFileServices::parseObjectChunk(chunk.data(), chunk.size(), {2, 998}));
    }
}

TEST(LegacyValidationTail, FilesMadeHereNeverTakeIt) {
    const std::vector<uint8_t> chunk = legacyChunk(2, 2);
    // Read as a 995 file, the legacy bytes are taken for the next record.
    const auto records = OutputFileServices::parseObjectChunk(chunk.data(), chunk.size(), {2, 995});
    EXPECT_TRUE(!records || records->size() != 2 || !(*records)[1].get<StoredShape>() ||
                (*records)[1].get<StoredShape>()->name != "Rectangle 1");
    // A field without a legacy tail in a 995 file reads as before.
    const std::vector<uint8_t> plain = legacyChunk(0, 0);
    const auto today = OutputFileServices::parseObjectChunk(plain.data(), plain.size(), {2, 995});
    ASSERT_TRUE(today);
    EXPECT_EQ(2u, today->size());
    EXPECT_EQ(today, OutputFileServices::parseObjectChunk(plain.data(), plain.size()));
}

} // namespace
