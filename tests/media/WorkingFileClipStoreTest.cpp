// The engine's clip store over the sound working file: what a recording hands
// over becomes the frame's clip as it is, and playing copies it back out.
#include "media/WorkingFileClipStore.h"
#include "media/SoundEngineHost.h"
#include "media/SoundWorkingFile.h"
#include "store/ProjectTables.h"
#include "store/RecordIO.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testsupport;

namespace {

struct Box {
    int code;
    std::string text;
};

class Host : public SoundEngineHost {
  public:
    std::vector<Box> boxes;
    sAudioSpecStruct recordingSettings() override { return {}; }
    int currentFrame() override { return 0; }
    sAudioSpecStruct clipFormat(int) override { return {}; }
    void showSoundError(int code, const std::string& text) override { boxes.push_back({code, text}); }
};

std::string pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 11 + seed) % 251);
    return s;
}

const sAudioSpecStruct kWide{100, 8000, 1, 16};

class WorkingFileClipStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        project.m_vEditInfo.resize(3);
        project.m_vPlayBackFrameInfo.resize(3);
        project.m_dwFrameCount = 3;
    }
    // A recording's bytes, handed over as the engine does.
    bool record(int frame, const std::string& bytes, const sAudioSpecStruct& format = kWide) {
        writeFile(file.tempPath(), bytes);
        return store.storeClip(frame, file.tempPath(), uint32_t(bytes.size()), format);
    }

    TempDir dir;
    SoundWorkingFile file{dir.path()};
    ProjectTables project;
    Host host;
    std::vector<int> noted;
    WorkingFileClipStore store{
        file, project, &host, [this](int frame, uint32_t length, const sAudioSpecStruct& format) {
            noted.push_back(frame);
            soundrec::setPlaybackAudio(project.m_vPlayBackFrameInfo[size_t(frame)], length, format);
        }};
};

TEST_F(WorkingFileClipStoreTest, ARecordingIsStoredAsItIsAndPlayedBackByteForByte) {
    const std::string first = pattern(8192, 1), second = pattern(4096 * 3 + 2, 2);
    ASSERT_TRUE(record(2, first));
    ASSERT_TRUE(record(1, second));
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(noted, (std::vector<int>{2, 1}));

    // No second widening: the file holds the bytes handed over, behind their headers.
    const std::string all = readFile(file.path());
    EXPECT_EQ(all.substr(48 + 28, first.size()), first);
    EXPECT_EQ(all.substr(48 + 28 + first.size() + 28), second);
    EXPECT_EQ(project.m_vEditInfo[1].audioHeaderOffset, int32_t(48 + 28 + first.size()));
    EXPECT_EQ(project.m_vEditInfo[1].audioFlag, 1);
    EXPECT_EQ(project.m_vPlayBackFrameInfo[1].audioSize, second.size());
    EXPECT_EQ(project.m_vPlayBackFrameInfo[1].bitsPerSample, 16);
    EXPECT_EQ(project.m_vPlayBackFrameInfo[1].bytesPerSec, 16000u);

    EXPECT_EQ(store.copyClip(2, file.tempPath()), long(first.size()));
    EXPECT_EQ(readFile(file.tempPath()), first);
    EXPECT_EQ(store.copyClip(1, file.tempPath()), long(second.size()));
    EXPECT_EQ(readFile(file.tempPath()), second);
}

TEST_F(WorkingFileClipStoreTest, AFailedStoreShowsTheBoxAndKeepsThePreviousClip) {
    ASSERT_TRUE(record(0, pattern(4096, 3)));
    const SEditInfo editBefore = project.m_vEditInfo[0];
    const SPlayBackFrameInfo playBefore = project.m_vPlayBackFrameInfo[0];
    // The working file is now the full device: the clip cannot be written.
    file.close();
    ASSERT_EQ(unlink(file.path().c_str()), 0);
    ASSERT_EQ(symlink("/dev/full", file.path().c_str()), 0);
    noted.clear();

    EXPECT_FALSE(record(0, pattern(8192, 4)));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].code, 502);
    EXPECT_FALSE(host.boxes[0].text.empty());
    EXPECT_TRUE(noted.empty());
    EXPECT_EQ(project.m_vEditInfo[0].audioHeaderOffset, editBefore.audioHeaderOffset);
    EXPECT_EQ(project.m_vEditInfo[0].audioFlag, editBefore.audioFlag);
    EXPECT_EQ(project.m_vPlayBackFrameInfo[0], playBefore);
}

TEST_F(WorkingFileClipStoreTest, AClipCutShortPlaysWhatWasReadAfterTheBox) {
    const std::string clip = pattern(8192, 5);
    ASSERT_TRUE(record(0, clip));
    project.m_vPlayBackFrameInfo[0].audioSize = uint32_t(clip.size() + 5000); // more than the file holds
    EXPECT_EQ(store.copyClip(0, file.tempPath()), long(clip.size()));
    EXPECT_EQ(readFile(file.tempPath()), clip);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text.substr(0, 17), "audio read error\n");
}

struct RefusedCase {
    const char* name;
    int frame;
    bool otherPath;
    int bits;
};

class RefusedClips : public WorkingFileClipStoreTest, public ::testing::WithParamInterface<RefusedCase> {};

// Nothing is stored, nothing points anywhere new.
TEST_P(RefusedClips, LeaveTheFileAndTheFramesAlone) {
    const RefusedCase c = GetParam();
    const std::string bytes = pattern(4096, 6);
    writeFile(file.tempPath(), bytes);
    writeFile(dir.file("elsewhere.snx"), bytes);
    sAudioSpecStruct format = kWide;
    format.bitsPerSample = c.bits;
    EXPECT_FALSE(store.storeClip(c.frame, c.otherPath ? dir.file("elsewhere.snx") : file.tempPath(),
                                 uint32_t(bytes.size()), format));
    EXPECT_FALSE(fileExists(file.path()));
    EXPECT_TRUE(noted.empty());
    for (const SEditInfo& e : project.m_vEditInfo)
        EXPECT_EQ(e.audioFlag, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedClips,
                         ::testing::Values(RefusedCase{"NoSuchFrame", 3, false, 16},
                                           RefusedCase{"NegativeFrame", -1, false, 16},
                                           RefusedCase{"NotTheWorkingFilesTemp", 0, true, 16},
                                           RefusedCase{"EightBitsWouldBeWidenedTwice", 0, false, 8}),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(WorkingFileClipStoreTest, AFrameWithoutAClipGivesNothingToPlay) {
    EXPECT_EQ(store.copyClip(0, file.tempPath()), -1);
    EXPECT_EQ(store.copyClip(7, file.tempPath()), -1);
    ASSERT_TRUE(record(1, pattern(4096, 7)));
    EXPECT_EQ(store.copyClip(1, dir.file("elsewhere.snx")), -1);
    EXPECT_TRUE(host.boxes.empty());
}

} // namespace
