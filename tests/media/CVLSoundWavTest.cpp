// The second engine's WAV reader and writer, sample scaling and clamping, its
// smoothing filter and its card probe. Failures come back as their codes and
// the test process goes on.
#include "media/CVLSound.h"
#include "media/SoundEngineHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

using testsupport::TempDir;

namespace {

std::string le32(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A WAV header of eleven words, optionally with a LIST chunk after "WAVE".
std::string header(const std::string& riff, uint32_t fmtLength, uint32_t formatAndChannels, uint32_t rate,
                   uint16_t blockAlign, uint16_t bits, uint32_t dataLength, const std::string& list = "") {
    std::string h = riff + le32(36 + dataLength) + "WAVE";
    if (!list.empty())
        h += "LIST" + le32(uint32_t(list.size())) + list;
    h += "fmt " + le32(fmtLength) + le32(formatAndChannels) + le32(rate) + le32(rate * blockAlign) +
         le32(uint32_t(blockAlign) | uint32_t(bits) << 16) + "data" + le32(dataLength);
    return h;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

std::string readFile(const std::string& path) {
    std::string s;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char b[4096];
        size_t n;
        while ((n = std::fread(b, 1, sizeof b, f)) > 0)
            s.append(b, n);
        std::fclose(f);
    }
    return s;
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    int code;
    long samples;
};

class WavHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(WavHeader, AcceptedOrRefusedWithItsCode) {
    const HeaderCase& c = GetParam();
    TempDir dir;
    writeFile(dir.file("a.wav"), c.bytes);
    CVLSound sound(nullptr, "sound");
    CVLSound::wavfile w;
    testing::internal::CaptureStderr();
    EXPECT_EQ(sound.wavfin(w, dir.file("a.wav").c_str()), c.code);
    const std::string printed = testing::internal::GetCapturedStderr();
    if (c.code == 0) {
        EXPECT_EQ(long(w.samples), c.samples);
        EXPECT_EQ(printed, "");
    } else {
        EXPECT_NE(printed.find("."), std::string::npos) << "the code's text is printed";
    }
    if (w.file)
        std::fclose(w.file);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WavHeader,
    ::testing::Values(HeaderCase{"PcmMono16", header("RIFF", 16, 65537, 44100, 2, 16, 200), 0, 100},
                      HeaderCase{"PcmMono8AfterList", header("RIFF", 16, 65537, 8000, 1, 8, 30, "INFOISFTxx"),
                                 0, 30},
                      HeaderCase{"Stereo", header("RIFF", 16, 0x20001, 44100, 4, 16, 200), 6, 0},
                      HeaderCase{"WrongTag", header("RIFX", 16, 65537, 44100, 2, 16, 200), 5, 0},
                      HeaderCase{"FormatLength18", header("RIFF", 18, 65537, 44100, 2, 16, 200), 5, 0},
                      HeaderCase{"FiveBytesASample", header("RIFF", 16, 65537, 44100, 5, 40, 200), 6, 0},
                      HeaderCase{"NoBytesASample", header("RIFF", 16, 65537, 44100, 0, 16, 200), 6, 0},
                      HeaderCase{"Short", header("RIFF", 16, 65537, 44100, 2, 16, 200).substr(0, 30), 7, 0},
                      HeaderCase{"ShortTag", std::string("RI"), 7, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WavHeader, ErrexitTextsEndWithAFullStop) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(CVLSound::errexit(6), 6);
    EXPECT_EQ(CVLSound::errexit(9), 9);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unsupported Wave-File-Format.\nOut of Memory.\n");
}

struct SampleCase {
    const char* name;
    int bytes;
    std::vector<float> in;
    std::vector<unsigned long> stored;
    std::vector<float> back;
    std::string messages;
};

class WavSamples : public ::testing::TestWithParam<SampleCase> {};

// Writing then reading gives the samples back within one step; each clamp's
// message shows once for the file.
TEST_P(WavSamples, ScaledClampedAndReadBack) {
    const SampleCase& c = GetParam();
    TempDir dir;
    CVLSound sound(nullptr, "sound");
    CVLSound::wavfile out;
    out.file = std::fopen(dir.file("s.wav").c_str(), "w+b");
    ASSERT_NE(out.file, nullptr);
    out.samples = c.in.size();
    out.rate = 8000;
    out.bits = 8 * c.bytes;
    out.bytesPerSample = c.bytes;
    testing::internal::CaptureStdout();
    ASSERT_EQ(sound.wavfout(out), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "h[7]=" + std::to_string(8000 * c.bytes));
    testing::internal::CaptureStderr();
    for (float v : c.in)
        ASSERT_EQ(sound.wavput(out, v), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.messages);
    std::fclose(out.file);

    const std::string bytes = readFile(dir.file("s.wav"));
    ASSERT_EQ(bytes.size(), 44 + c.in.size() * size_t(c.bytes));
    for (size_t i = 0; i < c.stored.size(); ++i) {
        unsigned long v = 0;
        for (int k = 0; k < c.bytes; ++k)
            v |= (unsigned long)(uint8_t(bytes[44 + i * size_t(c.bytes) + size_t(k)])) << (8 * k);
        EXPECT_EQ(v, c.stored[i]) << "sample " << i;
    }

    CVLSound::wavfile in;
    ASSERT_EQ(sound.wavfin(in, dir.file("s.wav").c_str()), 0);
    EXPECT_EQ(in.samples, c.in.size());
    EXPECT_EQ(in.bytesPerSample, c.bytes);
    for (size_t i = 0; i < c.back.size(); ++i) {
        float v = 0;
        ASSERT_EQ(sound.wavget(in, v), 0);
        EXPECT_NEAR(v, c.back[i], 1.0 / (1 << (8 * c.bytes - 1))) << "sample " << i;
    }
    float past = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(sound.wavget(in, past), 7) << "the end of the samples";
    testing::internal::GetCapturedStderr();
    std::fclose(in.file);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WavSamples,
    ::testing::Values(SampleCase{"OneByte",
                                 1,
                                 {0.f, 0.5f, -0.5f, -1.f, 2.f, 3.f, -2.f, -5.f},
                                 {128, 192, 64, 0, 255, 255, 0, 0},
                                 {0.f, 0.5f, -0.5f, -1.f, 0.99f, 0.99f, -1.f, -1.f},
                                 "Overflow: maximum value set.\nUnderflow: minimum value set.\n"},
                      SampleCase{"TwoBytes",
                                 2,
                                 {0.f, 0.25f, -0.25f, 1.f, -1.f, 1.5f, -1.5f, 1.5f},
                                 {0, 8192, 57344, 32767, 32768, 32767, 32768, 32767},
                                 {0.f, 0.25f, -0.25f, 0.99997f, -1.f, 0.99997f, -1.f, 0.99997f},
                                 "Overflow: maximum value set.\nUnderflow: minimum value set.\n"},
                      SampleCase{"NoClamp", 2, {0.5f, -0.75f}, {16384, 40960}, {0.5f, -0.75f}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

class DataHost : public SoundEngineHost {
  public:
    std::string dir;
    sAudioSpecStruct recordingSettings() override { return {}; }
    int currentFrame() override { return 0; }
    sAudioSpecStruct clipFormat(int) override { return {}; }
    void showSoundError(int, const std::string&) override {}
    std::string soundDataDirectory() override { return dir; }
};

// The filter reads the recorded clip back from the working file as a WAV and
// writes only "filtersound.dat", with the coefficient and gain it has always
// had (both 0: silence of the clip's length).
TEST(SoundFilter, WritesFiltersoundDatFromTheWorkingFile) {
    TempDir dir;
    const auto oldDir = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    DataHost host;
    host.dir = dir.path();
    CVLSound sound(nullptr, "sound");
    sound.setHost(&host);
    std::string samples;
    for (int i = 0; i < 100; ++i)
        samples += std::string{char(i * 37), char(i * 11)};
    {
        std::FILE* f = std::fopen(sound.workingFilePath().c_str(), "w+b");
        ASSERT_NE(f, nullptr);
        ASSERT_TRUE(CVLSound::writeWaveHeader(f, uint32_t(samples.size())));
        ASSERT_EQ(std::fwrite(samples.data(), 1, samples.size(), f), samples.size());
        std::fclose(f);
    }
    EXPECT_EQ(sound.workingFilePath(), dir.file("vlsound.tmp"));
    const std::string work = readFile(sound.workingFilePath());
    EXPECT_EQ(work.substr(0, 12), "RIFF" + le32(236) + "WAVE");
    EXPECT_EQ(work.substr(40, 4), le32(200));

    testing::internal::CaptureStdout();
    EXPECT_EQ(sound.applySoundFilter(), 0);
    testing::internal::GetCapturedStdout();
    const std::string filtered = readFile(dir.file("filtersound.dat"));
    std::filesystem::current_path(oldDir);
    ASSERT_EQ(filtered.size(), 44u + 200u);
    EXPECT_EQ(filtered.substr(0, 44), work.substr(0, 44));
    EXPECT_EQ(filtered.substr(44), std::string(200, '\0'));
    EXPECT_EQ(readFile(sound.workingFilePath()), work) << "the working file stays";
}

TEST(SoundFilter, AWorkingFileThatIsNoWavGivesItsCode) {
    TempDir dir;
    DataHost host;
    host.dir = dir.path();
    CVLSound sound(nullptr, "sound");
    sound.setHost(&host);
    writeFile(sound.workingFilePath(), "not a wave file at all, long enough to read words");
    testing::internal::CaptureStderr();
    EXPECT_EQ(sound.applySoundFilter(), 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Invalid Wave-File.\n");
}

// Without the emulation's "/dev/sndstat" (and without "/proc/asound/sndstat")
// the probe finds no card; through it, an OSS card.
TEST(SoundCardProbe, FollowsTheDriversFiles) {
    struct stat st {};
    const bool oss = stat("/dev/sndstat", &st) == 0 && S_ISCHR(st.st_mode);
    const bool alsa = stat("/proc/asound/sndstat", &st) == 0 && S_ISREG(st.st_mode);
    CVLSound sound(nullptr, "sound");
    testing::internal::CaptureStdout();
    const int kind = sound.detectSoundCardType();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n\tSoundCard = " + std::to_string(kind) + "\n[90=oss ,91 =alsa ,92 = nocard]\n");
    EXPECT_EQ(kind, alsa ? 901 : oss ? 900 : 902);
}

} // namespace
