// The engine on the real OSS calls, through PulseAudio's emulation (the test
// program runs with libpulsedsp.so preloaded) against a private server whose
// default source plays a 440 Hz tone.
#include "media/COSSSound.h"
#include "media/SoundClipStore.h"
#include "media/SoundEngineHost.h"
#include "support/ProcessRunner.h"
#include "support/PulseServer.h"
#include "support/TempDir.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::PulseFormat;
using testsupport::PulseServer;
using testsupport::TempDir;

namespace {

struct Box {
    int code;
    std::string text;
};

class FakeHost : public SoundEngineHost {
  public:
    sAudioSpecStruct settings;
    int frame = 3;
    std::map<int, sAudioSpecStruct> formats;
    std::vector<Box> boxes;
    std::function<void()> whileBoxShows; // what the author does before answering a box

    sAudioSpecStruct recordingSettings() override { return settings; }
    int currentFrame() override { return frame; }
    sAudioSpecStruct clipFormat(int f) override { return formats[f]; }
    void showSoundError(int code, const std::string& text) override {
        boxes.push_back({code, text});
        if (whileBoxShows)
            whileBoxShows();
    }
};

struct Clip {
    std::string bytes;
    sAudioSpecStruct format;
};

class MemoryClipStore : public SoundClipStore {
  public:
    std::map<int, Clip> clips;

    bool storeClip(int frame, const std::string& path, uint32_t length,
                   const sAudioSpecStruct& format) override {
        std::string bytes = testsupport::readFile(path);
        if (bytes.size() < length)
            return false;
        bytes.resize(length);
        clips[frame] = {bytes, format};
        return true;
    }
    long copyClip(int frame, const std::string& path) override {
        const std::string& bytes = clips[frame].bytes;
        testsupport::writeFile(path, bytes);
        return long(bytes.size());
    }
};

// Records the privilege steps; `root` makes the engine take them.
class FakePrivileges : public SoundPrivileges {
  public:
    explicit FakePrivileges(std::vector<std::string>* calls, bool root = false)
        : m_calls(calls), m_root(root) {}
    bool failBecomeRoot = false;
    bool failLockMemory = false;
    bool effectiveUserIsRoot() override { return m_root; }
    bool becomeRoot() override { return step("becomeRoot", failBecomeRoot); }
    bool lockMemory() override { return step("lockMemory", failLockMemory); }
    bool returnToRealUser() override { return step("returnToRealUser", false); }

  private:
    bool step(const char* name, bool fail) {
        m_calls->push_back(name);
        if (fail)
            errno = EPERM;
        return !fail;
    }
    std::vector<std::string>* m_calls;
    bool m_root;
};

bool emulationPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "libpulsedsp");
}

std::vector<int> samples16(const std::string& bytes) {
    std::vector<int> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(uint16_t(uint8_t(bytes[2 * i])) | uint16_t(uint8_t(bytes[2 * i + 1])) << 8);
    return out;
}

struct Continuity {
    double residual = 0; // largest |x[n+1] + x[n-1] - 2 cos(w) x[n]|
    int peak = 0;
};

// One channel of interleaved samples, from `skip` frames on.
Continuity toneContinuity(const std::vector<int>& x, int channels, int channel, int rate, size_t skip) {
    Continuity c;
    const double k = 2 * std::cos(2 * M_PI * 440.0 / rate);
    const size_t frames = x.size() / size_t(channels);
    auto at = [&](size_t n) { return double(x[n * size_t(channels) + size_t(channel)]); };
    for (size_t n = skip + 1; n + 1 < frames; ++n) {
        c.residual = std::max(c.residual, std::fabs(at(n + 1) + at(n - 1) - k * at(n)));
        c.peak = std::max(c.peak, std::abs(int(at(n))));
    }
    return c;
}

class SoundEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!emulationPreloaded())
            GTEST_SKIP() << "run with LD_PRELOAD of libpulsedsp.so (CTest does)";
        const char* home = getenv("HOME");
        m_hadHome = home != nullptr;
        m_oldHome = home ? home : "";
        setenv("HOME", m_home.path().c_str(), 1);
        mkdir(m_home.file("zedaro").c_str(), 0755);
        m_engine = std::make_unique<COSSSound>(nullptr, "OSS Sound Card Class");
        m_engine->setHost(&m_host);
        m_engine->setClipStore(&m_store);
        m_engine->setPrivileges(std::make_unique<FakePrivileges>(&m_privilegeCalls));
    }
    void TearDown() override {
        m_engine.reset();
        if (m_hadHome)
            setenv("HOME", m_oldHome.c_str(), 1);
        else
            unsetenv("HOME");
    }

    // Records until `stopAfterMs` have passed, then Stop; `during` runs at
    // `duringMs` while the recording runs.
    void record(int stopAfterMs, int duringMs = -1, const std::function<void()>& during = {}) {
        QTimer::singleShot(stopAfterMs, &m_timers, [this] { m_engine->stop_sound(); });
        if (during)
            QTimer::singleShot(duringMs, &m_timers, during);
        m_engine->record_sound();
    }

    std::string texts() const {
        std::string all;
        for (const Box& b : m_host.boxes)
            all += std::to_string(b.code) + " " + b.text + "\n";
        return all;
    }

    TempDir m_home;
    bool m_hadHome = false;
    std::string m_oldHome;
    FakeHost m_host;
    MemoryClipStore m_store;
    std::vector<std::string> m_privilegeCalls;
    std::unique_ptr<COSSSound> m_engine;
    QObject m_timers; // owns the test's timers: none outlives the test
};

struct RecordCase {
    const char* name;
    int bits, channels, rate;
};

class SoundRecordingTest : public SoundEngineTest, public ::testing::WithParamInterface<RecordCase> {};

// The clip is one unbroken tone after the resampler's start, whole segments
// long, stored as 16-bit samples in the format the device granted.
TEST_P(SoundRecordingTest, RecordsOneUnbrokenToneInWholeSegments) {
    const RecordCase c = GetParam();
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_host.settings = {sAudioSpecStruct::SOURCE_MICROPHONE, c.rate, c.channels, c.bits};
    record(2000);

    EXPECT_EQ(texts(), "");
    ASSERT_EQ(m_store.clips.count(m_host.frame), 1u);
    const Clip& clip = m_store.clips[m_host.frame];
    EXPECT_EQ(clip.format.samplingRate, c.rate);
    EXPECT_EQ(clip.format.channels, c.channels);
    EXPECT_EQ(clip.format.bitsPerSample, 16);
    EXPECT_EQ(m_engine->audioSettings().bitsPerSample, c.bits); // as granted
    ASSERT_GT(clip.bytes.size(), 0u);
    EXPECT_EQ(clip.bytes.size() % 4096, 0u);
    EXPECT_EQ(m_engine->clipLength(), clip.bytes.size());

    const std::vector<int> x = samples16(clip.bytes);
    if (c.bits == 8) { // widened: the low byte is always 0
        for (size_t i = 0; i < x.size(); ++i)
            ASSERT_EQ(x[i] & 0xff, 0) << "sample " << i;
    }
    // An 8-bit sample is up to one step (256 after widening) off the tone; a
    // lost or repeated segment leaves thousands.
    const double bound = c.bits == 8 ? 4 * 256 + 64 : 64;
    for (int ch = 0; ch < c.channels; ++ch) {
        const Continuity t = toneContinuity(x, c.channels, ch, c.rate, size_t(c.rate / 100));
        EXPECT_GT(t.peak, 4000) << "channel " << ch;
        EXPECT_LT(t.residual, bound) << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SoundRecordingTest,
                         ::testing::Values(RecordCase{"U8Mono8000", 8, 1, 8000},
                                           RecordCase{"U8Stereo22025", 8, 2, 22025},
                                           RecordCase{"S16Mono22025", 16, 1, 22025},
                                           RecordCase{"S16Stereo44100", 16, 2, 44100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SoundEngineTest, PlaybackReachesTheSpeakerByteForByte) {
    const PulseFormat format{"s16le", 22050, 1};
    PulseServer server(format);
    ASSERT_TRUE(server.running());
    std::string clip(44100 + 2, '\0'); // one second and a ragged end
    uint32_t r = 12345;
    for (char& b : clip) {
        r = r * 1103515245 + 12345;
        b = char(r >> 16);
    }
    m_store.clips[m_host.frame] = {clip, {}};
    m_host.formats[m_host.frame] = {0, 22050, 1, 16};

    const std::string captured = m_home.file("monitor.raw");
    {
        testsupport::PulseRecorder monitor(server, "speaker.monitor", format, captured);
        ASSERT_TRUE(monitor.running());
        // The monitor delivers silence as soon as it is connected.
        ASSERT_TRUE(
            testsupport::waitUntil([&] { return testsupport::readFile(captured).size() > 0; }, 10000));
        m_engine->play_sound();
        usleep(300000);
        monitor.stop();
    }
    EXPECT_EQ(texts(), "");
    const std::string played = clip.substr(0, 44100); // whole 4-byte frames only
    EXPECT_NE(testsupport::readFile(captured).find(played), std::string::npos);
    EXPECT_FALSE(testsupport::fileExists(m_engine->tempFilePath()));
}

TEST_F(SoundEngineTest, WithoutServerTheDeviceBoxShowsAndNothingIsRecorded) {
    TempDir dir;
    testsupport::writeFile(dir.file("client.conf"), "autospawn = no\n");
    setenv("PULSE_SERVER", ("unix:" + dir.file("none")).c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", dir.file("client.conf").c_str(), 1);
    m_engine->record_sound();
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_CLIENTCONFIG");
    EXPECT_EQ(texts(), "502 Unable to Open SoundDevice\n");
    EXPECT_TRUE(m_store.clips.empty());
}

TEST_F(SoundEngineTest, DeviceRefusingTheFormatGivesTheWarningAndNoClip) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_engine->setDevicePaths("/dev/null", "/dev/mixer");
    m_engine->record_sound();
    EXPECT_EQ(texts(), "504 Unable to set format\n");
    EXPECT_TRUE(m_store.clips.empty());
}

TEST_F(SoundEngineTest, ServerEndingMidRecordingKeepsWhatCameBefore) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_host.settings = {sAudioSpecStruct::SOURCE_MICROPHONE, 22050, 1, 16};
    record(20000, 1500, [&] { server.stop(); });

    ASSERT_EQ(m_host.boxes.size(), 1u) << texts();
    EXPECT_EQ(m_host.boxes[0].code, 502);
    EXPECT_EQ(m_host.boxes[0].text.rfind("read syscall of dsp device failed: ", 0), 0u) << texts();
    ASSERT_EQ(m_store.clips.count(m_host.frame), 1u);
    const std::string& bytes = m_store.clips[m_host.frame].bytes;
    EXPECT_GE(bytes.size(), 4096u * 4);
    const Continuity t = toneContinuity(samples16(bytes), 1, 0, 22050, 220);
    EXPECT_GT(t.peak, 4000);
    EXPECT_LT(t.residual, 64);
}

TEST_F(SoundEngineTest, TemporaryFileThatCannotBeWrittenKeepsThePreviousClip) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_store.clips[m_host.frame] = {"previous", {}};
    ASSERT_EQ(symlink("/dev/full", m_engine->tempFilePath().c_str()), 0);
    m_host.settings = {sAudioSpecStruct::SOURCE_MICROPHONE, 22050, 1, 16};
    record(20000);
    ASSERT_EQ(m_host.boxes.size(), 1u) << texts();
    // A device in place of the temporary file is not opened; the box names why.
    EXPECT_EQ(m_host.boxes[0].text, "Unable to open temp file for recording\n" + m_engine->tempFilePath() +
                                        ": " + strerror(EINVAL));
    EXPECT_EQ(m_store.clips[m_host.frame].bytes, "previous");
}

// Stop pressed while the recording is still being set up (here while the
// mixer's box waits, before the ring exists) ends it within its first segment.
TEST_F(SoundEngineTest, StopDuringTheSetUpEndsTheRecordingInItsFirstSegment) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_engine->setDevicePaths("/dev/dsp", m_home.file("no-mixer"));
    m_host.settings = {sAudioSpecStruct::SOURCE_MICROPHONE, 22050, 1, 16};
    m_host.whileBoxShows = [this] { m_engine->stop_sound(); };
    const auto start = std::chrono::steady_clock::now();
    record(10000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(texts(), "502 Unable to Open Mixer device\n");
    EXPECT_LT(seconds, 5.0) << "the stop was lost";
    ASSERT_EQ(m_store.clips.count(m_host.frame), 1u);
    EXPECT_EQ(m_store.clips[m_host.frame].bytes.size(), 0u);
    EXPECT_FALSE(m_engine->isBusy());
}

TEST_F(SoundEngineTest, ForwardEndsPlaybackAtOnce) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_store.clips[m_host.frame] = {std::string(10 * 44100, '\x10'), {}};
    m_host.formats[m_host.frame] = {0, 22050, 1, 16};
    QTimer::singleShot(500, &m_timers, [this] { m_engine->forward_audio(); });
    const auto start = std::chrono::steady_clock::now();
    m_engine->play_sound();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(texts(), "");
    EXPECT_LT(seconds, 4.0); // the clip lasts 10 s
    EXPECT_FALSE(m_engine->isBusy());
}

TEST_F(SoundEngineTest, PrivilegeStepsAroundTheWorkers) {
    PulseServer server;
    ASSERT_TRUE(server.running());
    m_host.settings = {sAudioSpecStruct::SOURCE_MICROPHONE, 22050, 1, 16};

    // Memory that cannot be locked is only reported; the clip is kept.
    auto privileges = std::make_unique<FakePrivileges>(&m_privilegeCalls, true);
    privileges->failLockMemory = true;
    m_engine->setPrivileges(std::move(privileges));
    record(300);
    EXPECT_EQ(m_privilegeCalls, (std::vector<std::string>{"becomeRoot", "lockMemory", "returnToRealUser"}));
    EXPECT_EQ(texts(), std::string("502 mlockall(MCL_CURRENT) failed: ") + strerror(EPERM) + "\n");
    EXPECT_EQ(m_store.clips.count(m_host.frame), 1u);

    // Without root the transfer does not start, and no clip is made.
    m_privilegeCalls.clear();
    m_host.boxes.clear();
    m_store.clips.clear();
    privileges = std::make_unique<FakePrivileges>(&m_privilegeCalls, true);
    privileges->failBecomeRoot = true;
    m_engine->setPrivileges(std::move(privileges));
    record(300);
    EXPECT_EQ(m_privilegeCalls, (std::vector<std::string>{"becomeRoot"}));
    EXPECT_EQ(texts(), std::string("502  seteuid( (uid_t) 0 ) failed: ") + strerror(EPERM) + "\n");
    EXPECT_TRUE(m_store.clips.empty());
}

} // namespace
