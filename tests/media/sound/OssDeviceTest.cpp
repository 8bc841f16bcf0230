// The OSS device class on the real calls, through PulseAudio's emulation
// against a private server: requests give what was granted, reads fill the
// whole buffer, and abort() wakes a waiting read from another thread.
#include "media/OssDevice.h"
#include "support/PulseServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <linux/soundcard.h>
#include <thread>
#include <vector>

namespace {

bool emulationPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "libpulsedsp");
}

class OssDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!emulationPreloaded())
            GTEST_SKIP() << "run with LD_PRELOAD of libpulsedsp.so (CTest does)";
    }
};

TEST_F(OssDeviceTest, RequestsGiveTheGrantedValuesAndReadsFillTheBuffer) {
    testsupport::PulseServer server;
    ASSERT_TRUE(server.running());
    OssDevice dsp;
    ASSERT_TRUE(dsp.open(OssDevice::Direction::Record)) << strerror(errno);
    EXPECT_EQ(dsp.setFormat(AFMT_S16_LE), AFMT_S16_LE);
    EXPECT_EQ(dsp.setChannels(2), 2);
    EXPECT_EQ(dsp.setSpeed(22025), 22025);
    EXPECT_EQ(dsp.setSpeed(0), -1);
    EXPECT_EQ(errno, EINVAL);
    // Reads through the emulation come a few hundred bytes at a time.
    std::vector<uint8_t> buffer(3 * 4096, 0);
    ASSERT_TRUE(dsp.read(buffer.data(), buffer.size())) << strerror(errno);
    EXPECT_NE(std::count(buffer.begin(), buffer.end(), 0), long(buffer.size()));

    OssMixer mixer;
    ASSERT_TRUE(mixer.open()) << strerror(errno);
    EXPECT_TRUE(mixer.setInputGain(99));
    EXPECT_TRUE(mixer.setRecordSource(SOUND_MASK_MIC));
}

TEST_F(OssDeviceTest, AbortFromAnotherThreadFailsTheWaitingReadUntilReopened) {
    testsupport::PulseServer server;
    ASSERT_TRUE(server.running());
    OssDevice dsp;
    ASSERT_TRUE(dsp.open(OssDevice::Direction::Record));
    ASSERT_GT(dsp.setSpeed(8000), 0);
    std::vector<uint8_t> buffer(8000 * 2 * 60); // a minute: only an abort ends it soon
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        dsp.abort();
        dsp.abort();
    });
    EXPECT_FALSE(dsp.read(buffer.data(), buffer.size()));
    EXPECT_EQ(errno, ECANCELED);
    aborter.join();
    EXPECT_FALSE(dsp.read(buffer.data(), 16));
    EXPECT_EQ(errno, ECANCELED);

    ASSERT_TRUE(dsp.open(OssDevice::Direction::Record));
    EXPECT_TRUE(dsp.read(buffer.data(), 4096)) << strerror(errno);
}

TEST_F(OssDeviceTest, OpenWithoutServerFails) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("client.conf"), "autospawn = no\n");
    setenv("PULSE_SERVER", ("unix:" + dir.file("none")).c_str(), 1);
    setenv("PULSE_CLIENTCONFIG", dir.file("client.conf").c_str(), 1);
    OssDevice dsp;
    EXPECT_FALSE(dsp.open(OssDevice::Direction::Play));
    EXPECT_EQ(errno, ECONNREFUSED);
    OssMixer mixer;
    EXPECT_FALSE(mixer.open());
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_CLIENTCONFIG");
}

} // namespace
