#include "store/DatRecords.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

namespace {

uint32_t at32(const uint8_t* b, size_t off) {
    return rec::readLe32(b + off);
}
uint16_t at16(const uint8_t* b, size_t off) {
    return rec::readLe16(b + off);
}

TEST(DatRecords, MainHeaderLayout) {
    SDatMainHeader h;
    h.fileSize = 0x11121314;
    h.frameCount = 0x21222324;
    h.version = 0x31323334;
    h.capture = {0x41, 0x42, 0x43, 0x44};
    h.redMask = 0xF800;
    h.greenMask = 0x07E0;
    h.blueMask = 0x001F;
    auto b = h.toBytes();
    ASSERT_EQ(b.size(), 48u);
    EXPECT_EQ(at32(b.data(), 0), 0x11121314u);
    EXPECT_EQ(at32(b.data(), 4), 48u);
    EXPECT_EQ(at32(b.data(), 8), 0x21222324u);
    EXPECT_EQ(at32(b.data(), 12), 0x31323334u);
    EXPECT_EQ(at32(b.data(), 16), 0x41u);
    EXPECT_EQ(at32(b.data(), 20), 0x42u);
    EXPECT_EQ(at32(b.data(), 24), 0x43u);
    EXPECT_EQ(at32(b.data(), 28), 0x44u);
    EXPECT_EQ(at32(b.data(), 32), 0xF800u);
    EXPECT_EQ(at32(b.data(), 36), 0x07E0u);
    EXPECT_EQ(at32(b.data(), 40), 0x001Fu);
    EXPECT_EQ(at32(b.data(), 44), 0u);
    EXPECT_EQ(b[0], 0x14) << "little-endian";
    EXPECT_EQ(SDatMainHeader::fromBytes(b.data()), h);
}

TEST(DatRecords, MainHeaderDefaultsAreTheWritersValues) {
    SDatMainHeader h;
    EXPECT_EQ(h.fileSize, 52428800u);
    EXPECT_EQ(h.headerSize, 48u);
    EXPECT_EQ(h.version, 1u);
}

TEST(DatRecords, FrameHeaderLayout) {
    SDatFrameHeader h;
    h.recordSize = 60 + 4096;
    h.frameNumber = 0x0A0B0C0D;
    h.paletteIndex = 3;
    h.timeStamp = 0x5F000001;
    h.frameState = FRAME_STATE_ACTION;
    h.data = {0, 17, 1023, 18};
    h.keyFlag = 0;
    auto b = h.toBytes();
    ASSERT_EQ(b.size(), 60u);
    EXPECT_EQ(at32(b.data(), 0), 60u);
    EXPECT_EQ(at32(b.data(), 4), 4156u);
    EXPECT_EQ(at32(b.data(), 8), 0x0A0B0C0Du);
    EXPECT_EQ(at32(b.data(), 12), 3u);
    EXPECT_EQ(at32(b.data(), 16), 0x5F000001u);
    for (size_t i = 20; i < 36; ++i)
        EXPECT_EQ(b[i], 0) << "reserved byte " << i;
    EXPECT_EQ(at32(b.data(), 36), 3u);
    EXPECT_EQ(at32(b.data(), 40), 0u);
    EXPECT_EQ(at32(b.data(), 44), 17u);
    EXPECT_EQ(at32(b.data(), 48), 1023u);
    EXPECT_EQ(at32(b.data(), 52), 18u);
    EXPECT_EQ(at32(b.data(), 56), 0u);
    EXPECT_EQ(SDatFrameHeader::fromBytes(b.data()), h);
    EXPECT_EQ(h.dataLength(), 4096u);
}

TEST(DatRecords, BandAndKeyLengths) {
    // A band of two rows on a 1024-wide screen grabbed at 4 bytes per pixel.
    EXPECT_EQ(datfile::bandLength(17, 18, 4 * 1024), 8192u);
    // A key record of a 1024x768 24-bit screen: 4 bytes a pixel.
    EXPECT_EQ(datfile::bandLength(0, 767, 4 * 1024), 768u * 4096u);
    EXPECT_EQ(datfile::bandLength(5, 4, 4096), 0u);
}

TEST(DatRecords, PlayBackLayout) {
    SPlayBackFrameInfo f;
    f.vType = VALIDATION_MOUSE;
    f.pointerX = 0x101;
    f.pointerY = 0x202;
    f.frameState = FRAME_STATE_TIMER;
    f.audioSize = 0x30303;
    f.marker = 1;
    f.paletteIndex = -1;
    f.frameFlags = PBF_KEY | PBF_AUDIO;
    f.pixelFlags = 0x03;
    f.xOrKey = 0x404;
    f.yOrModifiers = int32_t(0x80000000u);
    f.clickRect = {10, 20, 30, 40};
    f.mouseMessage = 513;
    f.buttonModifiers = 0x40000000;
    f.cursorImage = 0x05020001;
    f.actionDisabled = 1;
    f.formatTag = 1;
    f.channels = 2;
    f.samplesPerSec = 22050;
    f.bytesPerSec = 88200;
    f.blockAlign = 4;
    f.bitsPerSample = 16;
    f.hasSound = 1;
    f.setName("Frame 12");
    f.frameNumber = 12;
    f.captureType = 0;
    auto b = f.toBytes();
    ASSERT_EQ(b.size(), 152u);
    const uint8_t* p = b.data();
    EXPECT_EQ(at32(p, 0), 0u);
    EXPECT_EQ(at32(p, 4), 0x101u);
    EXPECT_EQ(at32(p, 8), 0x202u);
    EXPECT_EQ(at32(p, 16), 2u);
    EXPECT_EQ(at32(p, 28), 0x30303u);
    EXPECT_EQ(at16(p, 32), 1u);
    EXPECT_EQ(at16(p, 34), 0xFFFFu);
    EXPECT_EQ(p[38], 0x21);
    EXPECT_EQ(p[39], 0x03);
    EXPECT_EQ(at32(p, 40), 0x404u);
    EXPECT_EQ(at32(p, 44), 0x80000000u);
    EXPECT_EQ(at32(p, 48), 10u);
    EXPECT_EQ(at32(p, 52), 20u);
    EXPECT_EQ(at32(p, 56), 30u);
    EXPECT_EQ(at32(p, 60), 40u);
    EXPECT_EQ(at32(p, 64), 513u);
    EXPECT_EQ(at32(p, 68), 0x40000000u);
    EXPECT_EQ(at32(p, 72), 0x05020001u);
    EXPECT_EQ(p[76], 1);
    EXPECT_EQ(at16(p, 80), 1u);
    EXPECT_EQ(at16(p, 82), 2u);
    EXPECT_EQ(at32(p, 84), 22050u);
    EXPECT_EQ(at32(p, 88), 88200u);
    EXPECT_EQ(at16(p, 92), 4u);
    EXPECT_EQ(at16(p, 94), 16u);
    EXPECT_EQ(at32(p, 100), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 104)), "Frame 12");
    EXPECT_EQ(at32(p, 136), 12u);
    EXPECT_EQ(p[141], 0);
    EXPECT_EQ(SPlayBackFrameInfo::fromBytes(p), f);
}

TEST(DatRecords, PlayBackNameIsTruncatedAndTerminated) {
    SPlayBackFrameInfo f;
    f.setName(std::string(100, 'x'));
    auto b = f.toBytes();
    EXPECT_EQ(b[104 + 29], 0) << "the name field keeps its terminating NUL";
    EXPECT_EQ(at16(b.data(), 134), 0u) << "nothing spills past the field";
    EXPECT_EQ(SPlayBackFrameInfo::fromBytes(b.data()).name(), std::string(29, 'x'));
}

TEST(RecordIO, WritesOutsideTheRecordAreRefused) {
    std::array<uint8_t, 8> b;
    rec::RecordWriter w(b);
    w.u32(4, 0xAABBCCDD);
    EXPECT_TRUE(w.ok());
    w.u32(6, 1);
    EXPECT_FALSE(w.ok());
    EXPECT_EQ(rec::readLe32(b.data() + 4), 0xAABBCCDDu);
    rec::RecordReader r(b);
    EXPECT_EQ(r.u32(8), 0u);
    EXPECT_FALSE(r.ok());
}

TEST(DatFilePaths, WorkingFilePaths) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"/home/a/show.vlm", "/home/a/show.dat"},
        {"/x/y.VLM", "/x/y.dat"},
        {"/x/y.vLm", "/x/y.dat"},
        {".vlm", ".dat"},
        {"ab", "ab.dat"},
        // Names without a ".vlm" ending keep every character.
        {"in/sub/ab", "in/sub/ab.dat"},
        {"in/sub/show.vlm.old", "in/sub/show.vlm.old.dat"},
        {"in/d.vlm/show", "in/d.vlm/show.dat"},
        {"in/showvlm", "in/showvlm.dat"},
    };
    for (auto& c : cases)
        EXPECT_EQ(datfile::workingPathFor(c.in), c.out) << c.in;
    EXPECT_EQ(datfile::untitledPath("/home/user"), "/home/user/zedaro/Untitled.dat");
    EXPECT_EQ(datfile::dataDirectory("/home/user"), "/home/user/zedaro");
}

} // namespace
