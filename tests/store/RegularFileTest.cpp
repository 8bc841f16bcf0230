#include "store/RegularFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every kind of name the program may meet where it expects a data file; none
// of the opens waits.
TEST(RegularFile, OpensOnlyRegularFilesAndNeverWaits) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("plain"), "abc");
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink(dir.file("plain").c_str(), dir.file("link").c_str()), 0);
    struct Case {
        const char* name;
        int flags;
        int error; // 0: opened
        bool notRegular;
    };
    const Case cases[] = {
        {"plain", O_RDONLY, 0, false},
        {"plain", O_RDWR, 0, false},
        {"link", O_RDONLY, 0, false},
        {"missing", O_RDONLY, ENOENT, false},
        {"fifo", O_RDONLY, EINVAL, true},
        {"fifo", O_RDWR, EINVAL, true},
        {"fifo", O_WRONLY | O_CREAT | O_TRUNC, ENXIO, true}, // no reader
        {"folder", O_RDONLY, EINVAL, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " flags " + std::to_string(c.flags));
        errno = 0;
        const int fd = regularfile::open(dir.file(c.name), c.flags);
        if (c.error == 0) {
            ASSERT_GE(fd, 0);
            EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "blocking again once open";
            char buf[3];
            if ((c.flags & O_ACCMODE) != O_WRONLY) {
                EXPECT_EQ(read(fd, buf, 3), 3);
            }
            close(fd);
        } else {
            EXPECT_EQ(fd, -1);
            EXPECT_EQ(errno, c.error);
        }
        EXPECT_EQ(regularfile::existsButNotRegular(dir.file(c.name)), c.notRegular);
    }
}

} // namespace
