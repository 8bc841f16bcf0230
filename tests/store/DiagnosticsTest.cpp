#include "store/Diagnostics.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

TEST(Diagnostics, TextsPassUnchangedWhateverTheirLength) {
    const std::string longText(3000, 'x');
    testing::internal::CaptureStderr();
    diag::print("scap sucess\n");
    diag::print("frame %u size %u\n", 7u, 88200u);
    diag::print("%s|\n", longText.c_str());
    EXPECT_EQ("scap sucess\nframe 7 size 88200\n" + longText + "|\n", testing::internal::GetCapturedStderr());
}

TEST(Diagnostics, ErrorNamesTheReasonAndKeepsErrno) {
    testing::internal::CaptureStderr();
    errno = ENOENT;
    diag::error("unlink ");
    EXPECT_EQ(ENOENT, errno);
    EXPECT_EQ("unlink : No such file or directory\n", testing::internal::GetCapturedStderr());
}

} // namespace
