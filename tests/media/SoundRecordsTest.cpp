#include "media/SoundRecords.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundRecords, FileHeaderIsSizeAndCountThenZeros) {
    SoundFileHeader h;
    h.clipCount = 0x01020304;
    const auto b = h.toBytes();
    ASSERT_EQ(b.size(), 48u);
    EXPECT_EQ(rec::readLe32(b.data() + 0), 48u);
    EXPECT_EQ(rec::readLe32(b.data() + 4), 0x01020304u);
    for (size_t i = 8; i < b.size(); ++i)
        EXPECT_EQ(b[i], 0) << "byte " << i;
    const SoundFileHeader back = SoundFileHeader::fromBytes(b.data());
    EXPECT_EQ(back.headerSize, 48u);
    EXPECT_EQ(back.clipCount, 0x01020304u);
}

TEST(SoundRecords, ClipHeaderOfARecording) {
    const auto b = SAudioFrameHeader::forClip(176400, 7).toBytes();
    ASSERT_EQ(b.size(), 28u);
    const uint32_t words[] = {28, 176400, 7, 1, 7, 0, 0};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(rec::readLe32(b.data() + 4 * i), words[i]) << "word at " << 4 * i;
    const SAudioFrameHeader back = SAudioFrameHeader::fromBytes(b.data());
    EXPECT_EQ(back.clipLength, 176400u);
    EXPECT_EQ(back.frame, 7u);
    EXPECT_EQ(back.frameAgain, 7u);
    EXPECT_EQ(back.mark, 1u);
}

TEST(SoundRecords, DefaultSettingsAreCdAudio8000MonoEightBits) {
    const sAudioSpecStruct s;
    EXPECT_EQ(s.inputSource, 100);
    EXPECT_EQ(s.samplingRate, 8000);
    EXPECT_EQ(s.channels, 1);
    EXPECT_EQ(s.bitsPerSample, 8);
}

struct FormatCase {
    const char* name;
    sAudioSpecStruct recorded;
    uint16_t channels;
    uint32_t rate, bytesPerSec;
    uint16_t blockAlign, bits;
};

class WaveFormat : public ::testing::TestWithParam<FormatCase> {};

// The playback record as the output file stores it: size, flags and the wave
// format at their offsets, other flag bits kept.
TEST_P(WaveFormat, StoredFormatInThePlaybackRecord) {
    const FormatCase& c = GetParam();
    SPlayBackFrameInfo p;
    p.frameFlags = PBF_KEY;
    p.marker = 0;
    soundrec::setPlaybackAudio(p, 4096, soundrec::storedFormat(c.recorded));
    const auto b = p.toBytes();
    EXPECT_EQ(rec::readLe32(b.data() + 28), 4096u);
    EXPECT_EQ(rec::readLe16(b.data() + 32), 1u);
    EXPECT_EQ(b[38], PBF_KEY | PBF_AUDIO | PBF_AUDIO_RECORDED);
    EXPECT_EQ(rec::readLe16(b.data() + 80), 1u) << "PCM";
    EXPECT_EQ(rec::readLe16(b.data() + 82), c.channels);
    EXPECT_EQ(rec::readLe32(b.data() + 84), c.rate);
    EXPECT_EQ(rec::readLe32(b.data() + 88), c.bytesPerSec);
    EXPECT_EQ(rec::readLe16(b.data() + 92), c.blockAlign);
    EXPECT_EQ(rec::readLe16(b.data() + 94), c.bits);
    EXPECT_EQ(rec::readLe32(b.data() + 100), 1u);

    const sAudioSpecStruct back = soundrec::playbackAudioSpec(p);
    EXPECT_EQ(back.inputSource, 0);
    EXPECT_EQ(back.samplingRate, int32_t(c.rate));
    EXPECT_EQ(back.channels, c.channels);
    EXPECT_EQ(back.bitsPerSample, c.bits);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WaveFormat,
    ::testing::Values(FormatCase{"Stereo44100Sixteen", {101, 44100, 2, 16}, 2, 44100, 176400, 4, 16},
                      // 8-bit settings are stored widened: the format says 16 bits.
                      FormatCase{"DefaultsWidened", {100, 8000, 1, 8}, 1, 8000, 16000, 2, 16},
                      FormatCase{"Mono22025Widened", {100, 22025, 1, 8}, 1, 22025, 44050, 2, 16},
                      FormatCase{"Stereo11025Widened", {100, 11025, 2, 8}, 2, 11025, 44100, 4, 16}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(SoundRecords, EditInfoPointsAtTheClipAndDeletingTakesItOff) {
    SEditInfo e;
    e.keyFlag = 1;
    e.recordOffset = 1234;
    e.deletedFlag = 0;
    SPlayBackFrameInfo p;
    p.frameFlags = PBF_KEY;
    soundrec::setEditInfoAudio(e, 76 + 4096);
    soundrec::setPlaybackAudio(p, 8192, {100, 8000, 1, 16});
    EXPECT_EQ(e.audioHeaderOffset, 76 + 4096);
    EXPECT_EQ(e.audioHeaderOffsetCopy, 76 + 4096);
    EXPECT_EQ(e.addedMark, 1);
    EXPECT_EQ(e.audioFlag, 1);

    soundrec::clearFrameSound(e, p);
    EXPECT_EQ(p.audioSize, 0u);
    EXPECT_EQ(p.frameFlags, PBF_KEY | PBF_AUDIO_RECORDED) << "only the audio-present bit goes";
    EXPECT_EQ(e.audioHeaderOffset, 0);
    EXPECT_EQ(e.audioHeaderOffsetCopy, 0);
    EXPECT_EQ(e.addedMark, 0);
    EXPECT_EQ(e.audioFlag, 0);
    EXPECT_EQ(e.keyFlag, 1);
    EXPECT_EQ(e.recordOffset, 1234);
}

} // namespace
