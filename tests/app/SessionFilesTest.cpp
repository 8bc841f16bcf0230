#include "app/SessionFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace testsupport;

namespace {

// A data directory under a long home path: the settings path no longer fits
// any small fixed buffer.
struct DataDir {
    TempDir root;
    std::string dir;
    DataDir() {
        std::string home = root.file("a-rather-long-home-directory-name-for-the-author");
        mkdir(home.c_str(), 0755);
        dir = home + "/zedaro";
        mkdir(dir.c_str(), 0755);
    }
};

std::string bytesOf(const QByteArray& a) {
    return std::string(a.constData(), size_t(a.size()));
}

TEST(SWindowSettings, LayoutIsTwentyLittleEndianBytes) {
    SWindowSettings s;
    s.x = -2;
    s.y = 0x01020304;
    s.width = 1014;
    s.height = 668;
    s.flags = 0x5f;
    const auto b = s.toBytes();
    const std::array<uint8_t, 20> golden = {0xfe, 0xff, 0xff, 0xff, 0x04, 0x03, 0x02, 0x01, 0xf6, 0x03,
                                            0x00, 0x00, 0x9c, 0x02, 0x00, 0x00, 0x5f, 0x00, 0x00, 0x00};
    EXPECT_EQ(b, golden);
    SWindowSettings back = SWindowSettings::fromBytes(b.data(), b.size());
    EXPECT_EQ(back.x, -2);
    EXPECT_EQ(back.y, 0x01020304);
    EXPECT_EQ(back.width, 1014);
    EXPECT_EQ(back.height, 668);
    EXPECT_EQ(back.flags, 0x5f);
}

TEST(SWindowSettings, ShortInputReadsMissingBytesAsZero) {
    const uint8_t part[10] = {1, 0, 0, 0, 2, 0, 0, 0, 0x20, 0x03};
    SWindowSettings s = SWindowSettings::fromBytes(part, sizeof part);
    EXPECT_EQ(s.x, 1);
    EXPECT_EQ(s.y, 2);
    EXPECT_EQ(s.width, 0x320);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(s.flags, 0);
}

struct MakeCase {
    const char* name;
    bool fullScreen;
    bool minimized;
    uint8_t visible;
    int width, height;
    uint8_t flags;
};

TEST(SessionFiles, MakeSettingsTable) {
    const MakeCase cases[] = {
        {"normal", false, false, 0x57, 800, 600, 0x57},
        {"high bit of visible ignored", false, false, 0xff, 800, 600, 0x7f},
        {"full screen", true, false, 0x07, 1014, 668, 0x87},
        {"minimized", false, true, 0x01, 800, 600, 0x77},
        {"minimized full screen", true, true, 0x01, 1014, 668, 0x77},
    };
    for (const auto& c : cases) {
        SWindowSettings s = SessionFiles::makeSettings(QRect(5, 7, 800, 600), c.fullScreen, c.minimized,
                                                       c.visible, 1024, 768);
        EXPECT_EQ(s.x, 5) << c.name;
        EXPECT_EQ(s.y, 7) << c.name;
        EXPECT_EQ(s.width, c.width) << c.name;
        EXPECT_EQ(s.height, c.height) << c.name;
        EXPECT_EQ(s.flags, c.flags) << c.name;
    }
}

TEST(SessionFiles, SettingsSurviveARestartAndAreConsumed) {
    DataDir d;
    SWindowSettings s = SessionFiles::makeSettings(QRect(3, 4, 640, 480), false, false, 0x3b, 1024, 768);
    ASSERT_TRUE(SessionFiles::saveSettings(d.dir, s));
    EXPECT_EQ(readFile(SessionFiles::settingsPath(d.dir)).size(), 20u);

    SWindowSettings back;
    ASSERT_EQ(SessionFiles::loadSettings(d.dir, back), SessionFiles::LoadResult::Loaded);
    EXPECT_EQ(back.flags, 0x3b);
    EXPECT_EQ(SessionFiles::startGeometry(&back, 1024, 768), QRect(0, 0, 640, 480))
        << "position not restored";
    EXPECT_FALSE(fileExists(SessionFiles::settingsPath(d.dir))) << "the file is removed once read";

    SWindowSettings again;
    EXPECT_EQ(SessionFiles::loadSettings(d.dir, again), SessionFiles::LoadResult::NoFile);
}

TEST(SessionFiles, ShortSettingsFileReadsAsZeroAndFallsBackToDefaultSize) {
    DataDir d;
    writeFile(SessionFiles::settingsPath(d.dir), std::string("\x01\x00\x00\x00\x02\x00\x00\x00\x90\x01", 10));
    SWindowSettings s;
    ASSERT_EQ(SessionFiles::loadSettings(d.dir, s), SessionFiles::LoadResult::Loaded);
    EXPECT_EQ(s.width, 400);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(s.flags, 0);
    EXPECT_EQ(SessionFiles::startGeometry(&s, 1024, 768), QRect(0, 0, 1014, 668));
}

TEST(SessionFiles, SettingsPathThatIsADirectoryIsRemovedAndDefaultsApply) {
    DataDir d;
    mkdir(SessionFiles::settingsPath(d.dir).c_str(), 0755);
    SWindowSettings s;
    EXPECT_EQ(SessionFiles::loadSettings(d.dir, s), SessionFiles::LoadResult::NoFile);
    EXPECT_FALSE(fileExists(SessionFiles::settingsPath(d.dir)));
}

TEST(SessionFiles, SaveIntoAMissingDirectoryFails) {
    TempDir t;
    EXPECT_FALSE(SessionFiles::saveSettings(t.file("nowhere"), SWindowSettings{}));
}

TEST(SessionFiles, StartGeometryTable) {
    struct Case {
        const char* name;
        int w, h;
        QRect expected;
    } cases[] = {
        {"fits", 800, 600, QRect(0, 0, 800, 600)},
        {"exactly the screen", 1024, 768, QRect(0, 0, 1024, 768)},
        {"too wide", 1025, 600, QRect(0, 0, 1014, 668)},
        {"too high", 800, 769, QRect(0, 0, 1014, 668)},
        {"zero width", 0, 600, QRect(0, 0, 1014, 668)},
        {"negative height", 800, -5, QRect(0, 0, 1014, 668)},
    };
    for (const auto& c : cases) {
        SWindowSettings s;
        s.width = c.w;
        s.height = c.h;
        EXPECT_EQ(SessionFiles::startGeometry(&s, 1024, 768), c.expected) << c.name;
    }
    EXPECT_EQ(SessionFiles::startGeometry(nullptr, 1280, 1024), QRect(0, 0, 1270, 924));
}

TEST(SessionFiles, RecentFilesUseTheQt2StreamLayout) {
    const QByteArray b = SessionFiles::encodeRecentFiles({"/a.vlm", "Z"});
    const std::string golden("\0\0\0\x02"
                             "\0\0\0\x0c\0/\0a\0.\0v\0l\0m"
                             "\0\0\0\x02\0Z",
                             4 + 4 + 12 + 4 + 2);
    EXPECT_EQ(bytesOf(b), golden);
    auto back = SessionFiles::decodeRecentFiles(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, QStringList({"/a.vlm", "Z"}));
}

TEST(SessionFiles, TruncatedRecentFilesAreRejected) {
    QByteArray b = SessionFiles::encodeRecentFiles({"/one.vlm", "/two.vlm"});
    b.chop(3);
    EXPECT_FALSE(SessionFiles::decodeRecentFiles(b));
}

// The count word is checked against what the bytes can hold (4 bytes at least
// per entry) before the stream reserves room for that many entries.
TEST(SessionFiles, CountLargerThanTheFileCanHoldIsRejected) {
    struct Case {
        std::string bytes;
        bool accepted;
    };
    const std::string oneEmpty("\0\0\0\0", 4); // an empty entry: its length word alone
    const Case cases[] = {
        {std::string("\xff\xff\xff\xff", 4), false},
        {std::string("\x7f\xff\xff\xff", 4), false},
        {std::string("\x10\0\0\0", 4) + oneEmpty, false},
        {std::string("\0\0\0\x02", 4) + oneEmpty, false},
        {std::string("\0\0\0", 3), false},
        {std::string("\0\0\0\x01", 4) + oneEmpty, true},
        {std::string("\0\0\0\0", 4), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(SessionFiles::decodeRecentFiles(QByteArray::fromStdString(c.bytes)).has_value(),
                  c.accepted);
    }
    DataDir d;
    writeFile(SessionFiles::recentFilesPath(d.dir), std::string("\xff\xff\xff\xf0", 4));
    EXPECT_TRUE(SessionFiles::readRecentFileList(d.dir).isEmpty());
}

TEST(SessionFiles, ExistingEntryMovesToTheFrontWithoutANewMenuItem) {
    QStringList list{"/c.vlm", "/b.vlm", "/a.vlm"};
    EXPECT_FALSE(SessionFiles::updateRecentFileList(list, "/a.vlm"));
    EXPECT_EQ(list, QStringList({"/a.vlm", "/c.vlm", "/b.vlm"}));
    EXPECT_TRUE(SessionFiles::updateRecentFileList(list, "/d.vlm"));
    EXPECT_EQ(list, QStringList({"/d.vlm", "/a.vlm", "/c.vlm", "/b.vlm"}));
    EXPECT_FALSE(SessionFiles::updateRecentFileList(list, "/d.vlm")) << "making the same file twice";
    EXPECT_EQ(list.size(), 4);
}

TEST(SessionFiles, RecentListKeepsAllEntriesInARunAndTenAfterARestart) {
    DataDir d;
    QStringList list;
    for (int i = 0; i < 3; ++i)
        SessionFiles::updateRecentFileList(list, QString("/old%1.vlm").arg(i));
    ASSERT_TRUE(SessionFiles::writeRecentFiles(d.dir, list));

    list = SessionFiles::readRecentFileList(d.dir);
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(SessionFiles::updateRecentFileList(list, QString("/new%1.vlm").arg(i)));
    EXPECT_EQ(list.size(), 15) << "not trimmed during the run";
    ASSERT_TRUE(SessionFiles::writeRecentFiles(d.dir, list));
    auto written = SessionFiles::decodeRecentFiles(
        QByteArray::fromStdString(readFile(SessionFiles::recentFilesPath(d.dir))));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), 15);

    QStringList next = SessionFiles::readRecentFileList(d.dir);
    ASSERT_EQ(next.size(), 10);
    EXPECT_EQ(next.first(), "/new11.vlm");
    EXPECT_EQ(next.last(), "/new2.vlm");
}

TEST(SessionFiles, TrimmingDropsEveryCopyOfTheLastEntry) {
    DataDir d;
    QStringList list;
    for (int i = 0; i < 10; ++i)
        list << QString("/f%1.vlm").arg(i);
    list << "/dup.vlm"
         << "/dup.vlm";
    list.prepend("/dup.vlm");
    ASSERT_TRUE(SessionFiles::writeRecentFiles(d.dir, list));
    QStringList read = SessionFiles::readRecentFileList(d.dir);
    EXPECT_EQ(read.size(), 10);
    EXPECT_FALSE(read.contains("/dup.vlm"));
}

TEST(SessionFiles, MissingRecentFilesGiveAnEmptyList) {
    DataDir d;
    EXPECT_TRUE(SessionFiles::readRecentFileList(d.dir).isEmpty());
    TempDir t;
    EXPECT_FALSE(SessionFiles::writeRecentFiles(t.file("nowhere"), {"/x.vlm"}));
}

} // namespace
