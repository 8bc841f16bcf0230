#include "record/machineprofile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/statvfs.h>

namespace {

struct SpaceCase {
    const char* name;
    int64_t blocks;
    uint64_t blockSize;
    int64_t megabytes;
};

class FreeMegabytes : public ::testing::TestWithParam<SpaceCase> {};

TEST_P(FreeMegabytes, Computes) {
    const SpaceCase& c = GetParam();
    EXPECT_EQ(machineprofile::freeMegabytes(c.blocks, c.blockSize), c.megabytes);
}

INSTANTIATE_TEST_SUITE_P(Table, FreeMegabytes,
                         ::testing::Values(SpaceCase{"ThreeMillionBlocksOf4096", 3000000, 4096, 11718},
                                           SpaceCase{"ExactlyOneMegabyte", 256, 4096, 1},
                                           SpaceCase{"JustUnderOneMegabyte", 255, 4096, 0},
                                           // 2^32 blocks: beyond an int, still counted.
                                           SpaceCase{"FourBillionBlocks", 4294967296LL, 4096, 16777216},
                                           SpaceCase{"FailedQuery", -1, 4096, -1},
                                           SpaceCase{"Nothing", 0, 4096, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(machineprofile, FreeSpaceOfARealPathMatchesItsFileSystem) {
    testsupport::TempDir dir;
    machineprofile mp;
    EXPECT_EQ(mp.init(), 1);
    EXPECT_GT(mp.totalRam(), 0u);
    EXPECT_GT(mp.rootBlockSize(), 0u);
    struct statvfs vfs {};
    ASSERT_EQ(0, statvfs(dir.path().c_str(), &vfs));
    const int64_t expected = int64_t((uint64_t(vfs.f_bavail) * vfs.f_frsize) >> 20);
    const int64_t got = mp.getFreeDiskSpace(dir.path().c_str());
    EXPECT_NEAR(double(got), double(expected), 64.0); // other writers may use the disk meanwhile
    EXPECT_GE(got, 0);
}

TEST(machineprofile, FailedQueryIsNegativeAndSaysSo) {
    machineprofile mp;
    testing::internal::CaptureStdout();
    EXPECT_LT(mp.getFreeDiskSpace("/no/such/directory/anywhere"), 0);
    EXPECT_EQ(mp.fBlocksFree("/no/such/directory/anywhere"), -1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("statfs failed"), std::string::npos);
}

} // namespace
