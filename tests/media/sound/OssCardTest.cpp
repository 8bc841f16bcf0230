// The card recorder on the real OSS calls, through PulseAudio's emulation (the
// test program runs with libpulsedsp.so preloaded) against a private server
// whose default source plays a 440 Hz tone. No record sound clip dialog is set:
// the recorder updates nothing.
#include "media/COSSCard.h"
#include "media/CVLSound.h"
#include "media/OssDevice.h"
#include "media/SoundEngineHost.h"
#include "media/SoundPrivileges.h"
#include "media/SoundWorkingFile.h"
#include "store/ProjectTables.h"
#include "store/RecordIO.h"
#include "support/ProcessRunner.h"
#include "support/PulseServer.h"
#include "support/TempDir.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <unistd.h>

using testsupport::PulseFormat;
using testsupport::PulseServer;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

bool emulationPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "libpulsedsp");
}

class CardHost : public SoundEngineHost {
  public:
    explicit CardHost(const TempDir& dir) : file(dir.file("Sound.dat"), dir.file("temp.snx")) {}
    SoundWorkingFile file;
    ProjectTables project;
    sAudioSpecStruct settings{sAudioSpecStruct::SOURCE_MICROPHONE, 8000, 1, 16};
    int disabled = 0;
    int frame = 1;
    std::map<int, std::pair<long, sAudioSpecStruct>> noted;
    std::string dataDirectory;

    sAudioSpecStruct recordingSettings() override { return settings; }
    int currentFrame() override { return frame; }
    sAudioSpecStruct clipFormat(int f) override {
        auto it = noted.find(f);
        return it == noted.end() ? sAudioSpecStruct{} : it->second.second;
    }
    void notePlaybackAudio(int f, long length, const sAudioSpecStruct& spec) override {
        noted[f] = {length, spec};
        project.m_vPlayBackFrameInfo[size_t(f)].audioSize = uint32_t(length);
    }
    std::string soundDataDirectory() override { return dataDirectory; }
    void showSoundError(int, const std::string&) override {}
    SoundWorkingFile* soundWorkingFileForClips() override { return &file; }
    ProjectTables* projectTablesForSound() override { return &project; }
    void disableSoundMenuItems() override { ++disabled; }
};

class PlainUser : public SoundPrivileges {
  public:
    bool effectiveUserIsRoot() override { return false; }
};

class OssCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!emulationPreloaded())
            GTEST_SKIP() << "run with LD_PRELOAD of libpulsedsp.so (CTest does)";
        m_oldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.path()); // "temp.dat" lies in the current directory
        m_host = std::make_unique<CardHost>(m_dir);
        m_host->project.m_vEditInfo.resize(3);
        m_host->project.m_vPlayBackFrameInfo.resize(3);
        m_host->project.m_dwFrameCount = 3;
    }
    void TearDown() override {
        if (!m_oldDir.empty())
            std::filesystem::current_path(m_oldDir);
    }
    TempDir m_dir;
    std::filesystem::path m_oldDir;
    std::unique_ptr<CardHost> m_host;
    QObject m_timers;
};

TEST_F(OssCardTest, TheDeviceAnswersTheCardRecordersRequests) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    OssDevice dsp;
    ASSERT_TRUE(dsp.open(OssDevice::Direction::Record));
    EXPECT_TRUE(dsp.reset());
    EXPECT_GT(dsp.blockSize(), 0);
    int fragments = 0, size = 0;
    ASSERT_TRUE(dsp.bufferSpace(true, fragments, size));
    EXPECT_GT(fragments, 0);
    EXPECT_GT(size, 0);
    char buffer[4096];
    const long n = dsp.readSome(buffer, sizeof buffer);
    EXPECT_GT(n, 0);
    EXPECT_LE(n, 4096);
    dsp.abort();
    EXPECT_EQ(dsp.readSome(buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, ECANCELED);
}

// A recording stopped by a timer appends its clip header and bytes to the
// sound working file and points the frame's table entry at them; the frame's
// playback record stays as it was.
TEST_F(OssCardTest, ARecordingAppendsItsClipAndLeavesThePlaybackRecord) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    COSSCard card(nullptr, "OSS Card");
    card.setHost(m_host.get());
    card.SlotCurrentFrame(1);
    m_host->project.m_vPlayBackFrameInfo[1].audioSize = 1234;
    const auto before = m_host->project.m_vPlayBackFrameInfo[1].toBytes();
    QTimer::singleShot(1500, &m_timers, [&] { card.SlotStopButtonClicked(); });
    ASSERT_TRUE(card.RecordAudioData());

    const long recorded = COSSCard::m_nTotBytesWritten;
    EXPECT_GE(recorded, 2 * 16000) << "stopped at the second after the timer";
    EXPECT_LT(recorded, 4 * 16000);
    EXPECT_EQ(COSSCard::m_nBytesPerSecond, 16000);
    const std::string sound = readFile(m_dir.file("Sound.dat"));
    ASSERT_EQ(sound.size(), 48u + 28u + size_t(recorded));
    const auto* b = reinterpret_cast<const uint8_t*>(sound.data());
    EXPECT_EQ(rec::readLe32(b + 48 + 4), uint32_t(recorded)) << "the clip header's length";
    EXPECT_EQ(sound.substr(76), readFile(m_dir.file("temp.dat"))) << "the bytes of temp.dat follow it";
    const SEditInfo& e = m_host->project.m_vEditInfo[1];
    EXPECT_EQ(e.audioFlag, 1);
    EXPECT_EQ(e.audioHeaderOffset, 48);
    EXPECT_EQ(m_host->project.m_vPlayBackFrameInfo[1].toBytes(), before);
}

// Without a server every step fails, says so and goes on; the recorder
// returns, the test process with it, and the frame gets no clip.
TEST_F(OssCardTest, WithoutAServerTheRecordingFailsAndTheProcessGoesOn) {
    TempDir conf;
    writeFile(conf.file("client.conf"), "autospawn = no\n");
    setenv("PULSE_SERVER", ("unix:" + conf.file("none")).c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", conf.file("client.conf").c_str(), 1);
    COSSCard card(nullptr, "OSS Card");
    card.setHost(m_host.get());
    card.SlotCurrentFrame(1);
    int quits = 0;
    QObject::connect(&card, &COSSCard::QuitSignal, [&] { ++quits; });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(card.RecordAudioData());
    const std::string err = testing::internal::GetCapturedStderr();
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_CLIENTCONFIG");
    EXPECT_NE(err.find("Unable To open the SoundDevice"), std::string::npos) << err;
    EXPECT_NE(err.find("Read Error"), std::string::npos) << err;
    EXPECT_GE(quits, 2);
    EXPECT_EQ(COSSCard::m_nTotBytesWritten, 0);
    EXPECT_EQ(m_host->project.m_vEditInfo[1].audioFlag, 0);
    EXPECT_LE(readFile(m_dir.file("Sound.dat")).size(), 48u);
}

TEST_F(OssCardTest, WithoutAServerTheSecondEngineReturnsItsFailure) {
    TempDir conf;
    writeFile(conf.file("client.conf"), "autospawn = no\n");
    setenv("PULSE_SERVER", ("unix:" + conf.file("none")).c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", conf.file("client.conf").c_str(), 1);
    m_host->dataDirectory = m_dir.path();
    CVLSound sound(nullptr, "sound");
    sound.setHost(m_host.get());
    sound.setPrivileges(std::make_unique<PlainUser>());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sound.recordAudio());
    EXPECT_FALSE(sound.playAudio());
    const std::string err = testing::internal::GetCapturedStderr();
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_CLIENTCONFIG");
    EXPECT_NE(err.find("Unable to open the sound device"), std::string::npos) << err;
    EXPECT_EQ(m_host->project.m_vEditInfo[1].audioFlag, 0);
    EXPECT_EQ(m_host->noted.count(1), 0u);
}

// A clip under a second moves the slider in one step of 100 and reaches the
// speaker byte for byte.
TEST_F(OssCardTest, PlayingAClipUnderASecond) {
    const PulseFormat format{"s16le", 22050, 1};
    PulseServer server(format);
    ASSERT_TRUE(server.running());
    std::string clip(22050, '\0'); // half a second
    uint32_t r = 777;
    for (char& c : clip) {
        r = r * 1103515245 + 12345;
        c = char(r >> 16);
    }
    writeFile(m_dir.file("temp.dat"), clip);
    COSSCard card(nullptr, "OSS Card");
    card.setHost(m_host.get());
    COSSCard::m_nTotBytesWritten = long(clip.size());
    COSSCard::m_nBytesPerSecond = 44100;
    const std::string captured = m_dir.file("monitor.raw");
    {
        testsupport::PulseRecorder monitor(server, "speaker.monitor", format, captured);
        ASSERT_TRUE(monitor.running());
        ASSERT_TRUE(testsupport::waitUntil([&] { return readFile(captured).size() > 0; }, 10000));
        ASSERT_EQ(card.InitSoundCardAndMixer(COSSCard::MODE_PLAY, 22050, 16, 1, 101), 0);
        EXPECT_TRUE(card.PlayAudio());
        usleep(300000);
        monitor.stop();
    }
    EXPECT_EQ(card.sliderStep(), 100);
    EXPECT_NE(readFile(captured).find(clip), std::string::npos);
}

// The second engine records 16-bit mono at 44100 Hz whatever the settings say
// and notes that format; its working file is a WAV of the recording, the
// samples follow the clip header, and playing sends them to the speaker.
TEST_F(OssCardTest, TheSecondEngineRecordsAndPlaysAClip) {
    const PulseFormat format{"s16le", 44100, 1};
    PulseServer server(format);
    ASSERT_TRUE(server.running());
    m_host->dataDirectory = m_dir.path();
    m_host->settings = {sAudioSpecStruct::SOURCE_MICROPHONE, 8000, 2, 8};
    CVLSound sound(nullptr, "sound");
    sound.setHost(m_host.get());
    sound.setPrivileges(std::make_unique<PlainUser>());
    QTimer::singleShot(1000, &m_timers, [&] { sound.stopAudio(); });
    ASSERT_TRUE(sound.recordAudio());

    const uint32_t recorded = sound.recordedBytes();
    EXPECT_GT(recorded, 44100u);
    EXPECT_EQ(recorded % 4096, 0u);
    ASSERT_EQ(m_host->noted.count(1), 1u);
    EXPECT_EQ(m_host->noted[1].first, long(recorded));
    EXPECT_EQ(m_host->noted[1].second, (sAudioSpecStruct{101, 44100, 1, 16}));
    const std::string work = readFile(m_dir.file("vlsound.tmp"));
    ASSERT_EQ(work.size(), 44u + recorded);
    const auto* w = reinterpret_cast<const uint8_t*>(work.data());
    EXPECT_EQ(rec::readLe32(w + 4), recorded + 36);
    EXPECT_EQ(rec::readLe32(w + 40), recorded);
    const std::string stored = readFile(m_dir.file("Sound.dat"));
    ASSERT_EQ(stored.size(), 48u + 28u + recorded);
    EXPECT_EQ(stored.substr(76), work.substr(44));
    EXPECT_EQ(readFile(m_dir.file("filtersound.dat")).size(), 44u + recorded);
    // One unbroken 440 Hz tone behind the header: x[n+1] + x[n-1] = 2 cos(w) x[n].
    std::vector<double> x(recorded / 2);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = int16_t(rec::readLe16(w + 44 + 2 * i));
    const double k = 2 * std::cos(2 * M_PI * 440.0 / 44100);
    double residual = 0, peak = 0;
    for (size_t n = 441; n + 1 < x.size(); ++n) {
        residual = std::max(residual, std::fabs(x[n + 1] + x[n - 1] - k * x[n]));
        peak = std::max(peak, std::fabs(x[n]));
    }
    EXPECT_GT(peak, 4000);
    EXPECT_LT(residual, 64);

    const std::string captured = m_dir.file("monitor.raw");
    {
        testsupport::PulseRecorder monitor(server, "speaker.monitor", format, captured);
        ASSERT_TRUE(monitor.running());
        ASSERT_TRUE(testsupport::waitUntil([&] { return readFile(captured).size() > 0; }, 10000));
        EXPECT_TRUE(sound.playAudio());
        usleep(300000);
        monitor.stop();
    }
    EXPECT_NE(readFile(captured).find(work.substr(44, 44100)), std::string::npos);
}

// Under the emulation "/dev/sndstat" is a character device: the second
// engine finds an OSS card.
TEST_F(OssCardTest, TheEmulationIsAnOssCard) {
    CVLSound sound(nullptr, "sound");
    EXPECT_EQ(sound.detectSoundCardType(), CVLSound::OSS_CARD);
}

} // namespace
