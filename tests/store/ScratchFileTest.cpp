#include "store/ScratchFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::fileExists;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

bool isLink(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// What lies at the target and the scratch's name before the write; the file
// "other" is someone else's, reached only through links.
struct Case {
    const char* name;
    std::function<void(const TempDir&)> before;
    bool commit;
    const char* target; // the target's bytes afterwards; null: absent
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ScratchFileCases : public ::testing::TestWithParam<Case> {};

TEST_P(ScratchFileCases, ReplacesTheTargetOnlyWhenCommittedAndNeverWritesThroughALink) {
    const Case& c = GetParam();
    for (const auto how : {ScratchFile::Replace::Durable, ScratchFile::Replace::Transient}) {
        SCOPED_TRACE(how == ScratchFile::Replace::Durable ? "durable" : "transient");
        TempDir dir;
        writeFile(dir.file("other"), "another project's file");
        c.before(dir);
        {
            ScratchFile scratch(dir.file("x.dat"));
            EXPECT_EQ(scratch.path(), dir.file("x.dat.part"));
            std::FILE* f = scratch.create();
            ASSERT_NE(f, nullptr) << scratch.error();
            EXPECT_FALSE(isLink(scratch.path()));
            ASSERT_GE(std::fputs("new bytes", f), 0);
            ASSERT_EQ(std::fclose(f), 0);
            if (c.commit) {
                ASSERT_TRUE(scratch.commit(how)) << scratch.error();
            }
        }
        EXPECT_EQ(readFile(dir.file("other")), "another project's file");
        EXPECT_FALSE(fileExists(dir.file("x.dat.part")));
        EXPECT_FALSE(isLink(dir.file("x.dat.part")));
        if (c.target) {
            EXPECT_EQ(readFile(dir.file("x.dat")), c.target);
        } else {
            EXPECT_FALSE(fileExists(dir.file("x.dat")));
        }
        if (c.commit) {
            EXPECT_FALSE(isLink(dir.file("x.dat"))) << "a link at the target is replaced";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScratchFileCases,
    ::testing::Values(Case{"NewTarget", [](const TempDir&) {}, true, "new bytes"},
                      Case{"NotCommittedLeavesNothing", [](const TempDir&) {}, false, nullptr},
                      Case{"OldTargetKeptWhenNotCommitted",
                           [](const TempDir& d) { writeFile(d.file("x.dat"), "old"); }, false, "old"},
                      Case{"OldTargetReplaced", [](const TempDir& d) { writeFile(d.file("x.dat"), "old"); },
                           true, "new bytes"},
                      Case{"StaleScratchStartsEmpty",
                           [](const TempDir& d) { writeFile(d.file("x.dat.part"), "stale stale"); }, true,
                           "new bytes"},
                      Case{"ScratchNameIsALink",
                           [](const TempDir& d) {
                               ASSERT_EQ(symlink(d.file("other").c_str(), d.file("x.dat.part").c_str()), 0);
                           },
                           true, "new bytes"},
                      Case{"TargetIsALinkNotCommitted",
                           [](const TempDir& d) {
                               ASSERT_EQ(symlink(d.file("other").c_str(), d.file("x.dat").c_str()), 0);
                           },
                           false, "another project's file"},
                      Case{"TargetIsALinkCommitted",
                           [](const TempDir& d) {
                               ASSERT_EQ(symlink(d.file("other").c_str(), d.file("x.dat").c_str()), 0);
                           },
                           true, "new bytes"}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// Each failure says what failed, which file and the system's text.
TEST(ScratchFile, FailuresNameTheFileAndTheSystemsError) {
    TempDir dir;
    {
        ScratchFile scratch(dir.file("missing/x.dat"));
        EXPECT_EQ(scratch.create(), nullptr);
        EXPECT_EQ(scratch.error(),
                  "cannot create " + dir.file("missing/x.dat.part") + ": " + std::strerror(ENOENT));
    }
    for (const auto how : {ScratchFile::Replace::Durable, ScratchFile::Replace::Transient}) {
        // A folder holds the target's name: the scratch is written, the move
        // fails, and the folder is neither replaced nor swapped away.
        SCOPED_TRACE(how == ScratchFile::Replace::Durable ? "durable" : "transient");
        TempDir folder;
        ASSERT_EQ(mkdir(folder.file("x.vlm").c_str(), 0755), 0);
        writeFile(folder.file("x.vlm/inside"), "kept");
        ScratchFile scratch(folder.file("x.vlm"));
        std::FILE* f = scratch.create();
        ASSERT_NE(f, nullptr) << scratch.error();
        std::fclose(f);
        EXPECT_FALSE(scratch.commit(how));
        EXPECT_EQ(scratch.error(), "cannot move " + folder.file("x.vlm.part") + " to " +
                                       folder.file("x.vlm") + ": " + std::strerror(EISDIR));
        EXPECT_FALSE(fileExists(folder.file("x.vlm.part"))) << "removed after the failed move";
        EXPECT_EQ(readFile(folder.file("x.vlm/inside")), "kept");
    }
}

// A copy takes the target's place whole, never through a link, and a failure
// leaves the target as it was and gives the system's error.
TEST(ScratchFile, CopiesAFileWholeOrNotAtAll) {
    struct Copy {
        const char* name;
        std::function<void(const TempDir&)> before;
        int error;          // 0: the copy succeeds
        const char* target; // the target's bytes afterwards
    };
    const std::string big(200000, 'v'); // more than one buffer of the copy
    const Copy cases[] = {
        {"NewTarget", [&](const TempDir& d) { writeFile(d.file("a.vlm"), big); }, 0, big.c_str()},
        {"OldTargetReplaced",
         [](const TempDir& d) {
             writeFile(d.file("a.vlm"), "made");
             writeFile(d.file("b.vlm"), "old");
         },
         0, "made"},
        {"ScratchNameIsALink",
         [](const TempDir& d) {
             writeFile(d.file("a.vlm"), "made");
             ASSERT_EQ(symlink(d.file("other").c_str(), d.file("b.vlm.part").c_str()), 0);
         },
         0, "made"},
        {"NoSource", [](const TempDir& d) { writeFile(d.file("b.vlm"), "old"); }, ENOENT, "old"},
        {"SourceIsAFifo",
         [](const TempDir& d) {
             ASSERT_EQ(mkfifo(d.file("a.vlm").c_str(), 0644), 0);
             writeFile(d.file("b.vlm"), "old");
         },
         EINVAL, "old"},
    };
    for (const Copy& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir.file("other"), "another project's file");
        c.before(dir);
        int error = -1;
        EXPECT_EQ(copyFileWhole(dir.file("a.vlm"), dir.file("b.vlm"), error), c.error == 0);
        EXPECT_EQ(error, c.error) << std::strerror(error);
        EXPECT_TRUE(readFile(dir.file("b.vlm")) == c.target) << "the target's bytes";
        EXPECT_EQ(readFile(dir.file("other")), "another project's file");
        EXPECT_FALSE(fileExists(dir.file("b.vlm.part")));
        EXPECT_FALSE(isLink(dir.file("b.vlm.part")));
    }
}

} // namespace
