#include "store/RecordIO.h"
#include "store/VlmRecords.h"

#include <gtest/gtest.h>

namespace {

uint32_t at32(const uint8_t* b, size_t off) {
    return rec::readLe32(b + off);
}
uint16_t at16(const uint8_t* b, size_t off) {
    return rec::readLe16(b + off);
}

TEST(VlmFileRecords, HeaderLayout) {
    VLMHeader h;
    h.signature = {'I', 'N', 'T', '\0'};
    h.majorVersion = 2;
    h.minorVersion = 995;
    h.sizeWord = 0x01020304;
    h.indexCount = 0x11;
    h.indexOffset = 344;
    h.indexLength = 0x22;
    h.videoHeaderOffset = 152;
    h.videoHeaderLength = 68;
    h.audioHeaderOffset = 220;
    h.audioHeaderLength = 72;
    h.objectHeaderOffset = 292;
    h.objectHeaderLength = 52;
    h.globalObjectOffset = 0x33;
    h.globalObjectLength = 0x44;
    h.additionalDataOffset = 0x55;
    h.additionalDataLength = 0x66;
    h.flags = 0x13;
    h.characterWords[0] = 0x7071;
    h.characterWords[8] = 0x7879;
    h.importByte = 0x5A;
    h.resourceCount = 0x77;
    h.firstResourceOffset = 0x88;
    h.resourceRecordSize = 332;
    h.resourceChunkCount = 0x99;
    h.firstResourceChunkOffset = 0xAA;
    auto b = h.toBytes();
    ASSERT_EQ(b.size(), 152u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), 4), std::string("INT\0", 4));
    EXPECT_EQ(at16(b.data(), 4), 2);
    EXPECT_EQ(at16(b.data(), 6), 995);
    EXPECT_EQ(at32(b.data(), 8), 0x01020304u);
    EXPECT_EQ(b[8], 0x04) << "little-endian";
    EXPECT_EQ(at32(b.data(), 12), 0x11u);
    EXPECT_EQ(at32(b.data(), 16), 0u);
    EXPECT_EQ(at32(b.data(), 20), 0u);
    EXPECT_EQ(at32(b.data(), 24), 344u);
    EXPECT_EQ(at32(b.data(), 28), 0x22u);
    EXPECT_EQ(at32(b.data(), 32), 152u);
    EXPECT_EQ(at32(b.data(), 36), 68u);
    EXPECT_EQ(at32(b.data(), 40), 220u);
    EXPECT_EQ(at32(b.data(), 44), 72u);
    EXPECT_EQ(at32(b.data(), 48), 292u);
    EXPECT_EQ(at32(b.data(), 52), 52u);
    EXPECT_EQ(at32(b.data(), 56), 0x33u);
    EXPECT_EQ(at32(b.data(), 60), 0x44u);
    EXPECT_EQ(at32(b.data(), 64), 0u);
    EXPECT_EQ(at32(b.data(), 68), 0x55u);
    EXPECT_EQ(at32(b.data(), 72), 0x66u);
    EXPECT_EQ(b[76], 0x13);
    EXPECT_EQ(b[77], 0);
    EXPECT_EQ(at16(b.data(), 78), 0x7071);
    EXPECT_EQ(at16(b.data(), 94), 0x7879);
    EXPECT_EQ(b[96], 0x5A);
    EXPECT_EQ(at32(b.data(), 100), 0x77u);
    EXPECT_EQ(at32(b.data(), 104), 0x88u);
    EXPECT_EQ(at32(b.data(), 108), 332u);
    EXPECT_EQ(at16(b.data(), 112), 0);
    EXPECT_EQ(at16(b.data(), 114), 0x99);
    EXPECT_EQ(at32(b.data(), 116), 0xAAu);
    for (size_t i = 120; i < 152; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(VLMHeader::fromBytes(b.data()), h);
}

TEST(VlmFileRecords, VideoHeaderLayout) {
    VLMVideoHeader v;
    v.headerWord = 10;
    v.largestChunk = 300000;
    v.capture = {1, 2, 1024, -768};
    v.frameCount = 0x1234;
    v.bitsPerPixel = 24;
    auto b = v.toBytes();
    ASSERT_EQ(b.size(), 68u);
    EXPECT_EQ(at32(b.data(), 0), 10u);
    EXPECT_EQ(at32(b.data(), 4), 300000u);
    EXPECT_EQ(at32(b.data(), 8), 1u);
    EXPECT_EQ(at32(b.data(), 12), 2u);
    EXPECT_EQ(at32(b.data(), 16), 1024u);
    EXPECT_EQ(int32_t(at32(b.data(), 20)), -768);
    EXPECT_EQ(at32(b.data(), 24), 0x1234u);
    EXPECT_EQ(b[28], 24);
    for (size_t i = 29; i < 68; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(VLMVideoHeader::fromBytes(b.data()), v);
}

TEST(VlmFileRecords, AudioAndObjectHeaderLayout) {
    VLMAudioHeader a;
    a.largestChunk = 0xABCD;
    for (size_t i = 0; i < 20; ++i)
        a.backgroundSound[i] = uint8_t(i + 1);
    auto b = a.toBytes();
    ASSERT_EQ(b.size(), 72u);
    EXPECT_EQ(at32(b.data(), 0), 0u);
    EXPECT_EQ(at32(b.data(), 4), 0xABCDu);
    EXPECT_EQ(at32(b.data(), 8), 0u);
    EXPECT_EQ(b[12], 1);
    EXPECT_EQ(b[31], 20);
    for (size_t i = 32; i < 72; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(a.backgroundSoundId(), 0x04030201u);
    EXPECT_EQ(VLMAudioHeader::fromBytes(b.data()), a);

    VLMObjectHeader o;
    o.largestChunk = 0x5151;
    auto ob = o.toBytes();
    ASSERT_EQ(ob.size(), 52u);
    EXPECT_EQ(at32(ob.data(), 4), 0x5151u);
    EXPECT_EQ(VLMObjectHeader::fromBytes(ob.data()), o);
}

TEST(VlmFileRecords, IndexLayout) {
    VLMIndex x;
    x.frameNumber = 1;
    x.flags = 0x0E;
    x.formatOffset = 3;
    x.formatLength = 4;
    x.videoOffset = 5;
    x.videoLength = 6;
    x.audioOffset = 7;
    x.audioLength = 8;
    x.objectOffset = 9;
    x.objectLength = 10;
    x.skipCount = 11;
    auto b = x.toBytes();
    ASSERT_EQ(b.size(), 92u);
    for (uint32_t i = 0; i < 11; ++i)
        EXPECT_EQ(at32(b.data(), 4 * i), i == 1 ? 0x0Eu : i + 1) << i;
    for (size_t i = 44; i < 92; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(VLMIndex::fromBytes(b.data()), x);
}

TEST(VlmFileRecords, ResourceRecordFieldsAndUnterminatedPath) {
    VlmResourceRecord r;
    ASSERT_EQ(r.bytes.size(), 332u);
    r.setResourceId(0x01020003);
    r.setDataOffset(0x4000);
    r.setDataLength(77);
    EXPECT_EQ(at32(r.bytes.data(), 4), 0x01020003u);
    EXPECT_EQ(at32(r.bytes.data(), 8), 0x4000u);
    EXPECT_EQ(at32(r.bytes.data(), 12), 77u);
    std::memset(r.bytes.data() + 20, 'a', 260); // no NUL in the field
    r.bytes[280] = 'b';                         // the next field
    EXPECT_EQ(r.fullPath(), std::string(260, 'a'));
}

} // namespace
