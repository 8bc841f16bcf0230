#include "media/SoundWorkingFile.h"
#include "store/RecordIO.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

const sAudioSpecStruct kSixteen{100, 44100, 2, 16};
const sAudioSpecStruct kEight{100, 8000, 1, 8};

// A counter pattern, so a lost, repeated or moved byte shows.
std::string pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 7 + seed) % 251);
    return s;
}

uint32_t word(const std::string& bytes, size_t at) {
    return rec::readLe32(reinterpret_cast<const uint8_t*>(bytes.data()) + at);
}

class SoundWorkingFileTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string soundPath() const { return dir.file("Sound.dat"); }

    // Stores `bytes` as a recording would leave them in the temporary file.
    SoundWorkingFile::Status store(SoundWorkingFile& f, uint32_t frame, const std::string& bytes,
                                   const sAudioSpecStruct& spec, SoundWorkingFile::StoredClip& out) {
        writeFile(f.tempPath(), bytes);
        return f.storeClip(frame, uint32_t(bytes.size()), spec, out);
    }
};

TEST_F(SoundWorkingFileTest, ClipsFollowTheHeaderOneAfterAnother) {
    SoundWorkingFile f(dir.path());
    EXPECT_EQ(f.path(), dir.file("Sound.dat"));
    EXPECT_EQ(f.tempPath(), dir.file("temp.snx"));
    EXPECT_FALSE(f.isOpen());

    const std::string first = pattern(4096 * 3, 1), second = pattern(4096, 2);
    SoundWorkingFile::StoredClip a, b;
    ASSERT_TRUE(store(f, 5, first, kSixteen, a));
    EXPECT_TRUE(f.isOpen());
    EXPECT_EQ(a.headerOffset, 48u);
    EXPECT_EQ(a.length, first.size());
    EXPECT_EQ(a.format, kSixteen);
    EXPECT_EQ(f.clipCount(), 1u);
    ASSERT_TRUE(store(f, 2, second, kSixteen, b));
    EXPECT_EQ(b.headerOffset, 48u + 28u + first.size());
    EXPECT_EQ(f.clipCount(), 2u);
    EXPECT_EQ(f.nextClipOffset(), b.headerOffset + 28u + second.size());

    const std::string file = readFile(soundPath());
    ASSERT_EQ(file.size(), 48u + 28u + first.size() + 28u + second.size());
    EXPECT_EQ(word(file, 0), 48u);
    EXPECT_EQ(word(file, 4), 2u) << "the clip count";
    EXPECT_EQ(file.substr(8, 40), std::string(40, '\0'));
    const uint32_t firstHeader[] = {28, uint32_t(first.size()), 5, 1, 5, 0, 0};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(word(file, 48 + 4 * i), firstHeader[i]);
    EXPECT_EQ(file.substr(76, first.size()), first) << "the data at 76";
    EXPECT_EQ(word(file, b.headerOffset + 4), second.size());
    EXPECT_EQ(word(file, b.headerOffset + 8), 2u);
    EXPECT_EQ(file.substr(b.headerOffset + 28), second);
}

TEST_F(SoundWorkingFileTest, EightBitSamplesAreStoredWidened) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip c;
    ASSERT_TRUE(store(f, 0, std::string("\x00\x80\xff\x01", 4), kEight, c));
    EXPECT_EQ(c.length, 8u) << "two bytes a sample";
    EXPECT_EQ(c.format.bitsPerSample, 16);
    EXPECT_EQ(c.format.samplingRate, 8000);
    EXPECT_EQ(c.format.channels, 1);
    const std::string file = readFile(soundPath());
    EXPECT_EQ(word(file, 52), 8u) << "the header says the stored length";
    const auto* s = reinterpret_cast<const uint8_t*>(file.data()) + 76;
    const int16_t expected[] = {-32768, 0, 32512, -32512};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(int16_t(rec::readLe16(s + 2 * i)), expected[i]) << "sample " << i;
}

TEST_F(SoundWorkingFileTest, AShorterTemporaryFileGivesAShorterClip) {
    SoundWorkingFile f(dir.path());
    writeFile(f.tempPath(), pattern(1000, 3));
    SoundWorkingFile::StoredClip c;
    ASSERT_TRUE(f.storeClip(1, 4096, kSixteen, c));
    EXPECT_EQ(c.length, 1000u);
    EXPECT_EQ(f.nextClipOffset(), 48u + 28u + 1000u);
    EXPECT_EQ(word(readFile(soundPath()), 52), 1000u);
}

TEST_F(SoundWorkingFileTest, AClipOfLengthZeroStillHasItsHeader) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip c;
    ASSERT_TRUE(store(f, 3, "", kSixteen, c));
    EXPECT_EQ(c.headerOffset, 48u);
    EXPECT_EQ(c.length, 0u);
    EXPECT_EQ(readFile(soundPath()).size(), 76u);
    EXPECT_EQ(f.clipCount(), 1u);
}

TEST_F(SoundWorkingFileTest, TheFirstUseOfARunEmptiesAnEarlierRunsFile) {
    writeFile(soundPath(), pattern(500, 4));
    SoundWorkingFile f(dir.path());
    ASSERT_TRUE(f.prepare());
    EXPECT_EQ(f.clipCount(), 0u);
    EXPECT_EQ(f.nextClipOffset(), 48u);
    EXPECT_EQ(readFile(soundPath()).size(), 48u);
}

// A make closes the file; the next use reopens it at its end with its clips.
TEST_F(SoundWorkingFileTest, ReopenedAfterCloseKeepsTheClips) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip a, b;
    const std::string first = pattern(3000, 5);
    ASSERT_TRUE(store(f, 0, first, kSixteen, a));
    f.close();
    EXPECT_FALSE(f.isOpen());
    ASSERT_TRUE(store(f, 1, pattern(100, 6), kSixteen, b));
    EXPECT_EQ(b.headerOffset, 48u + 28u + 3000u);
    EXPECT_EQ(f.clipCount(), 2u);
    const std::string file = readFile(soundPath());
    EXPECT_EQ(file.substr(76, first.size()), first);
    EXPECT_EQ(word(file, 4), 2u);
}

// The import renames a new file over the path: later clips follow its clips.
TEST_F(SoundWorkingFileTest, AnImportedFileIsContinuedAtItsEnd) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip c;
    ASSERT_TRUE(store(f, 0, pattern(4096, 7), kSixteen, c));
    f.close();
    std::string imported(48, '\0');
    rec::writeLe32(reinterpret_cast<uint8_t*>(imported.data()), 48);
    rec::writeLe32(reinterpret_cast<uint8_t*>(imported.data()) + 4, 9);
    imported += std::string(28, '\x01') + pattern(222, 8);
    writeFile(dir.file("import.tmp"), imported);
    ASSERT_EQ(rename(dir.file("import.tmp").c_str(), soundPath().c_str()), 0);
    f.adoptImported();

    ASSERT_TRUE(store(f, 4, pattern(10, 9), kSixteen, c));
    EXPECT_EQ(c.headerOffset, imported.size());
    EXPECT_EQ(f.clipCount(), 10u);
    const std::string file = readFile(soundPath());
    EXPECT_EQ(file.substr(48, imported.size() - 48), imported.substr(48)) << "the imported clips stay";
}

TEST_F(SoundWorkingFileTest, AFileLinkedToDevFullFailsAndKeepsThePreviousClip) {
    // The path is a link: first to a real file, then to /dev/full, then back.
    const std::string real = dir.file("real.dat");
    ASSERT_EQ(symlink(real.c_str(), soundPath().c_str()), 0);
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip a;
    const std::string first = pattern(4096, 10);
    ASSERT_TRUE(store(f, 0, first, kSixteen, a));
    f.close();

    ASSERT_EQ(unlink(soundPath().c_str()), 0);
    ASSERT_EQ(symlink("/dev/full", soundPath().c_str()), 0);
    SoundWorkingFile::StoredClip b;
    const SoundWorkingFile::Status s = store(f, 1, pattern(4096, 11), kSixteen, b);
    EXPECT_FALSE(s);
    // A device in place of the file is not opened.
    EXPECT_EQ(s.text, "Unable to open file for recording");
    EXPECT_NE(s.cause.find(std::strerror(EINVAL)), std::string::npos) << s.cause;
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(f.clipCount(), 1u);

    ASSERT_EQ(unlink(soundPath().c_str()), 0);
    ASSERT_EQ(symlink(real.c_str(), soundPath().c_str()), 0);
    ASSERT_TRUE(store(f, 1, pattern(50, 12), kSixteen, b));
    EXPECT_EQ(b.headerOffset, 48u + 28u + first.size()) << "after the previous clip";
    EXPECT_EQ(readFile(real).substr(76, first.size()), first);
}

TEST_F(SoundWorkingFileTest, AWriteFailingWithinAClipCutsTheFileBack) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip a, b;
    const std::string first = pattern(1000, 13);
    ASSERT_TRUE(store(f, 0, first, kSixteen, a));
    const std::string before = readFile(soundPath());
    writeFile(f.tempPath(), pattern(200000, 14));

    // The file may not grow past 2000 more bytes while the clip is written.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = before.size() + 2000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SoundWorkingFile::Status s = f.storeClip(1, 200000, kSixteen, b);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(s);
    EXPECT_EQ(s.text, "Audio write error");
    EXPECT_NE(s.cause.find(std::strerror(EFBIG)), std::string::npos) << s.cause;
    EXPECT_EQ(readFile(soundPath()), before) << "the previous clip and the header as they were";
    EXPECT_EQ(f.clipCount(), 1u);
    EXPECT_EQ(f.nextClipOffset(), before.size());
    ASSERT_TRUE(store(f, 1, pattern(64, 15), kSixteen, b));
    EXPECT_EQ(b.headerOffset, before.size());
}

TEST_F(SoundWorkingFileTest, FailuresToOpenAreReportedNotFatal) {
    {
        // No data directory: the file cannot be made.
        SoundWorkingFile f(dir.file("missing"));
        const SoundWorkingFile::Status s = f.prepare();
        EXPECT_FALSE(s);
        EXPECT_EQ(s.text, "Unable to open file for recording");
        EXPECT_NE(s.cause.find(dir.file("missing/Sound.dat")), std::string::npos) << s.cause;
        int fd = -1;
        EXPECT_EQ(f.createTempForRecording(fd).text, "Unable to open temp file for recording");
        EXPECT_LT(fd, 0);
    }
    {
        // No temporary file to store: nothing changes.
        SoundWorkingFile f(dir.path());
        SoundWorkingFile::StoredClip c;
        const SoundWorkingFile::Status s = f.storeClip(0, 4096, kSixteen, c);
        EXPECT_EQ(s.text, "audio read error");
        EXPECT_EQ(f.clipCount(), 0u);
        EXPECT_EQ(readFile(soundPath()).size(), 48u);
    }
}

TEST_F(SoundWorkingFileTest, PlaybackCopiesTheClipInPieces) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip a, b;
    const std::string first = pattern(300000, 16), second = pattern(5000, 17);
    ASSERT_TRUE(store(f, 0, first, kSixteen, a));
    ASSERT_TRUE(store(f, 1, second, kSixteen, b));
    f.removeTemp();
    EXPECT_FALSE(fileExists(f.tempPath()));

    uint64_t copied = 0;
    ASSERT_TRUE(f.copyClipForPlayback(a.headerOffset, a.length, copied));
    EXPECT_EQ(copied, first.size());
    EXPECT_EQ(readFile(f.tempPath()), first);
    ASSERT_TRUE(f.copyClipForPlayback(b.headerOffset, b.length, copied));
    EXPECT_EQ(readFile(f.tempPath()), second);

    // A length past the file's end (a damaged record): the bytes there are played.
    const SoundWorkingFile::Status s = f.copyClipForPlayback(b.headerOffset, b.length + 100000, copied);
    EXPECT_EQ(s.text, "audio read error");
    EXPECT_EQ(copied, second.size());
    EXPECT_EQ(readFile(f.tempPath()), second);
    f.removeTemp();
    f.removeTemp(); // one already gone is no error
}

TEST_F(SoundWorkingFileTest, PlaybackIntoATemporaryFileLinkedToDevFullFails) {
    SoundWorkingFile f(dir.path());
    SoundWorkingFile::StoredClip a;
    ASSERT_TRUE(store(f, 0, pattern(8192, 18), kSixteen, a));
    ASSERT_EQ(unlink(f.tempPath().c_str()), 0);
    ASSERT_EQ(symlink("/dev/full", f.tempPath().c_str()), 0);
    uint64_t copied = 0;
    const SoundWorkingFile::Status s = f.copyClipForPlayback(a.headerOffset, a.length, copied);
    EXPECT_EQ(s.text, "Unable to open temp file for recording");
    EXPECT_NE(s.cause.find(std::strerror(EINVAL)), std::string::npos) << s.cause;
    EXPECT_EQ(copied, 0u);
}

} // namespace
