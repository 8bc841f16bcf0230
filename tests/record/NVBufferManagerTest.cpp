#include "record/NVBufferManager.h"

#include "store/DatRecords.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

using testsupport::TempDir;

// A frame whose every byte tells where it belongs.
struct Frame {
    std::vector<uint8_t> header;
    std::vector<uint8_t> data;
};

Frame makeFrame(int index, size_t headerLength, size_t dataLength) {
    Frame f;
    f.header.resize(headerLength);
    f.data.resize(dataLength);
    for (size_t i = 0; i < headerLength; ++i)
        f.header[i] = uint8_t(index * 13 + i);
    for (size_t i = 0; i < dataLength; ++i)
        f.data[i] = uint8_t(index * 29 + i * 3 + 1);
    return f;
}

std::string concatenation(const std::vector<Frame>& frames) {
    std::string s;
    for (const auto& f : frames) {
        s.append(f.header.begin(), f.header.end());
        s.append(f.data.begin(), f.data.end());
    }
    return s;
}

int flush(NVBufferManager& m, const Frame& f) {
    return m.flushFrame(f.header.data(), f.header.size(), f.data.data(), f.data.size());
}

SDatMainHeader headerOf(const std::string& file) {
    EXPECT_GE(file.size(), SDatMainHeader::SIZE);
    return SDatMainHeader::fromBytes(reinterpret_cast<const uint8_t*>(file.data()));
}

const SRect kRect{0, 0, 1024, 768};

TEST(NVBufferManager, FramesAcrossTheWrapReachTheFileInOrder) {
    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(100, 0));
    EXPECT_EQ(m.ringSize(), 100u);
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));

    // Header written at the start, frame count 10 until the stop.
    SDatMainHeader atStart = headerOf(testsupport::readFile(path));
    EXPECT_EQ(atStart.frameCount, 10u);

    std::vector<Frame> frames;
    for (int i = 0; i < 60; ++i) {
        frames.push_back(makeFrame(i, 10, 27)); // 37 bytes: wraps a 100-byte ring again and again
        ASSERT_EQ(NVBufferManager::FLUSH_OK, flush(m, frames.back()));
    }
    EXPECT_EQ(m.bytesHandedIn(), 60u * 37u);
    ASSERT_EQ(0, m.stopBufferManager(60));

    const std::string file = testsupport::readFile(path);
    ASSERT_EQ(file.size(), 48u + 60u * 37u);
    EXPECT_EQ(file.substr(48), concatenation(frames));

    SDatMainHeader expected;
    expected.fileSize = 52428800;
    expected.headerSize = 48;
    expected.frameCount = 60;
    expected.version = 1;
    expected.capture = kRect;
    EXPECT_EQ(headerOf(file), expected);
    EXPECT_EQ(file.substr(32, 16), std::string(16, '\0'));
}

TEST(NVBufferManager, LargestFrameGoesThroughAndALargerOneIsRefused) {
    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(100, 0));
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    std::vector<Frame> frames = {makeFrame(1, 60, 38), makeFrame(2, 60, 38), makeFrame(3, 5, 20)};
    ASSERT_EQ(NVBufferManager::FLUSH_OK, flush(m, frames[0])); // 98 bytes: the ring less two
    ASSERT_EQ(NVBufferManager::FLUSH_OK, flush(m, frames[1])); // waits until the first is written
    EXPECT_EQ(NVBufferManager::FLUSH_TOO_LARGE, flush(m, makeFrame(9, 60, 39)));
    ASSERT_EQ(NVBufferManager::FLUSH_OK, flush(m, frames[2]));
    ASSERT_EQ(0, m.stopBufferManager(3));
    EXPECT_EQ(testsupport::readFile(path).substr(48), concatenation(frames));
}

TEST(NVBufferManager, RingHoldsAKeyFrameOfALargeScreen) {
    const uint64_t keyFrame = 2560ull * 1600ull * 4ull; // above the 15 MiB default ring
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(15728640, keyFrame));
    EXPECT_GT(m.ringSize(), 60u + keyFrame + 1u);

    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    std::vector<uint8_t> header(60, 7), data(keyFrame, 9);
    EXPECT_EQ(NVBufferManager::FLUSH_OK, m.flushFrame(header.data(), 60, data.data(), data.size()));
    EXPECT_EQ(NVBufferManager::FLUSH_OK, m.flushFrame(header.data(), 60, data.data(), 100));
    ASSERT_EQ(0, m.stopBufferManager(2));
    EXPECT_EQ(testsupport::readFile(path).size(), 48u + 60u + keyFrame + 60u + 100u);
}

TEST(NVBufferManager, SmallRingRequestIsRaisedToTheFrame) {
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(10, 1000));
    EXPECT_EQ(m.ringSize(), NVBufferManager::ringSizeFor(1000));
    EXPECT_EQ(NVBufferManager::ringSizeFor(1000), 1062u);
}

TEST(NVBufferManager, LimitRefusesTheFrameAndEveryLaterOneAndKeepsTheRest) {
    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(1000, 0));
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), 500, kRect));
    std::vector<Frame> kept;
    for (int i = 0; i < 5; ++i) {
        kept.push_back(makeFrame(i, 60, 40)); // 100 bytes each: exactly the limit after five
        ASSERT_EQ(NVBufferManager::FLUSH_OK, flush(m, kept.back()));
    }
    EXPECT_EQ(NVBufferManager::FLUSH_LIMIT_REACHED, flush(m, makeFrame(5, 60, 40)));
    EXPECT_EQ(NVBufferManager::FLUSH_LIMIT_REACHED, flush(m, makeFrame(6, 0, 0)));
    ASSERT_EQ(0, m.stopBufferManager(5));
    const std::string file = testsupport::readFile(path);
    EXPECT_EQ(file.substr(48), concatenation(kept));
    EXPECT_EQ(headerOf(file).frameCount, 5u);
    EXPECT_EQ(headerOf(file).fileSize, 500u);

    // The next recording starts afresh.
    ASSERT_EQ(0, m.initBufferManager(1000, 0));
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), 500, kRect));
    EXPECT_EQ(NVBufferManager::FLUSH_OK, flush(m, makeFrame(7, 60, 40)));
    ASSERT_EQ(0, m.stopBufferManager(1));
    EXPECT_EQ(testsupport::readFile(path).size(), 48u + 100u);
}

TEST(NVBufferManager, StartFailsWhenTheFileCannotBeCreated) {
    TempDir dir;
    const std::string path = dir.file("missing/Untitled.dat");
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(1000, 0));
    EXPECT_EQ(-1, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    EXPECT_EQ(m.errorText(), "cannot create " + path + ": " + std::strerror(ENOENT));
    EXPECT_EQ(NVBufferManager::FLUSH_NOT_STARTED, flush(m, makeFrame(1, 60, 10)));
    EXPECT_EQ(0, m.stopBufferManager(0));
    EXPECT_FALSE(testsupport::fileExists(path));
}

// A FIFO or a folder in the working frame file's place is refused at once,
// without waiting for a reader, and left as it was.
TEST(NVBufferManager, StartRefusesWhatIsNotARegularFile) {
    TempDir dir;
    const std::string fifo = dir.file("Untitled.dat");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string folder = dir.file("folder.dat");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    for (const std::string& path : {fifo, folder}) {
        SCOPED_TRACE(path);
        NVBufferManager m;
        ASSERT_EQ(0, m.initBufferManager(1000, 0));
        EXPECT_EQ(-1, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));
        EXPECT_EQ(m.errorText(), "cannot create " + path + ": not a regular file");
        EXPECT_EQ(NVBufferManager::FLUSH_NOT_STARTED, flush(m, makeFrame(1, 60, 10)));
        EXPECT_EQ(0, m.stopBufferManager(0));
    }
    struct stat st {};
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(NVBufferManager, NullPointerWithLengthIsRefused) {
    TempDir dir;
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(1000, 0));
    ASSERT_EQ(0, m.startBufferManager(dir.file("a.dat").c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    EXPECT_EQ(NVBufferManager::FLUSH_BAD_ARGUMENT, m.flushFrame(nullptr, 60, nullptr, 0));
    EXPECT_EQ(0, m.stopBufferManager(0));
}

// Frames added to an empty project: the file with its header, no thread.
TEST(NVBufferManager, StartAloneWritesTheHeaderAndClosesTheFile) {
    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    NVBufferManager m;
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    const std::string file = testsupport::readFile(path);
    ASSERT_EQ(file.size(), 48u);
    SDatMainHeader h = headerOf(file);
    EXPECT_EQ(h.fileSize, 52428800u);
    EXPECT_EQ(h.headerSize, 48u);
    EXPECT_EQ(h.frameCount, 10u);
    EXPECT_EQ(h.version, 1u);
    EXPECT_EQ(h.capture.right, 1024);
    EXPECT_EQ(h.capture.bottom, 768);
    EXPECT_EQ(NVBufferManager::FLUSH_NOT_STARTED, flush(m, makeFrame(1, 60, 10)));
    EXPECT_EQ(0, m.stopBufferManager(3));
    EXPECT_EQ(testsupport::readFile(path), file);
    EXPECT_EQ(NVBufferManager::getFileHeaderSize(), 48);
}

TEST(NVBufferManager, StopWithNothingQueuedReturnsAtOnce) {
    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(1000, 0));
    ASSERT_EQ(0, m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    EXPECT_EQ(0, m.stopBufferManager(0));
    EXPECT_EQ(testsupport::readFile(path).size(), 48u);
    EXPECT_EQ(headerOf(testsupport::readFile(path)).frameCount, 0u);
}

TEST(NVBufferManager, DestroyedWhileRunningEndsItsThread) {
    TempDir dir;
    auto m = std::make_unique<NVBufferManager>();
    ASSERT_EQ(0, m->initBufferManager(1000, 0));
    ASSERT_EQ(0, m->startBufferManager(dir.file("a.dat").c_str(), DAT_FILE_SIZE_LIMIT, kRect));
    EXPECT_EQ(NVBufferManager::FLUSH_OK, flush(*m, makeFrame(1, 60, 10)));
    m.reset(); // joins the writer; must not hang or crash
}

// A write failure (here the file size limit of the process) is reported by
// the stop and refuses later frames; it never passes as success.
TEST(NVBufferManagerDeath, WriteErrorIsReportedAtStop) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit lim;
            lim.rlim_cur = lim.rlim_max = 20000;
            setrlimit(RLIMIT_FSIZE, &lim);
            NVBufferManager m;
            m.initBufferManager(100000, 0);
            if (m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect) != 0)
                std::exit(10);
            int refused = 0;
            for (int i = 0; i < 200; ++i)
                if (flush(m, makeFrame(i, 60, 940)) == NVBufferManager::FLUSH_WRITE_FAILED)
                    ++refused;
            int stopped = m.stopBufferManager(200);
            if (m.errorText() != "cannot write " + path + ": " + std::strerror(EFBIG))
                std::exit(5);
            std::exit(stopped == -1 && refused > 0 ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "could not be written");
}

// A write that fails part-way through a frame (the file size limit of the
// process falls inside the twentieth): that frame and every later one are
// lost, the file ends after the last whole frame and the header counts those.
TEST(NVBufferManagerDeath, FrameTornByAFailedWriteIsCutOff) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto tornRecording = [] {
        TempDir dir;
        const std::string path = dir.file("Untitled.dat");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim;
        lim.rlim_cur = lim.rlim_max = 48 + 19 * 1000 + 500;
        setrlimit(RLIMIT_FSIZE, &lim);
        NVBufferManager m;
        m.initBufferManager(100000, 0);
        if (m.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, kRect) != 0)
            return 10;
        std::vector<Frame> whole;
        unsigned long handedIn = 0;
        for (int i = 0; i < 100; ++i) {
            const Frame f = makeFrame(i, 60, 940);
            if (i < 19)
                whole.push_back(f);
            if (flush(m, f) == NVBufferManager::FLUSH_OK)
                ++handedIn;
        }
        const int stopped = m.stopBufferManager(handedIn);
        const std::string file = testsupport::readFile(path);
        if (stopped != -1 || handedIn < 20 || handedIn - m.framesLost() != 19)
            return 4;
        if (file.size() != 48u + 19u * 1000u || file.substr(48) != concatenation(whole))
            return 5;
        if (headerOf(file).frameCount != 19u)
            return 6;
        return 3;
    };
    EXPECT_EXIT(std::exit(tornRecording()), ::testing::ExitedWithCode(3), "could not be written");
}

class NVBufferManagerScreen : public testsupport::XvfbTest {
  protected:
    testsupport::ScreenSpec screen() const override { return {2560, 1600, 24, {}}; }
};

TEST_F(NVBufferManagerScreen, RingIsSizedFromTheScreen) {
    EXPECT_EQ(NVBufferManager::screenKeyFrameBytes(), 2560ull * 1600ull * 4ull);
    NVBufferManager m;
    ASSERT_EQ(0, m.initBufferManager(15728640));
    EXPECT_EQ(m.ringSize(), NVBufferManager::ringSizeFor(2560ull * 1600ull * 4ull));
    m.stopBufferManager(0);
}

} // namespace
