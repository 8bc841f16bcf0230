#include "record/NVUtil.h"

#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

class NVUtilScreens : public testsupport::XvfbParamTest {};

TEST_P(NVUtilScreens, ReportsTheScreen) {
    const auto& spec = GetParam();
    auto [w, h] = NVUtil::getScreenResolution();
    EXPECT_EQ(w, spec.width);
    EXPECT_EQ(h, spec.height);
    EXPECT_EQ(NVUtil::m_nsHres, spec.width);
    EXPECT_EQ(NVUtil::m_nsVres, spec.height);
    EXPECT_EQ(NVUtil::m_psxDisplay, nullptr); // closed again
    EXPECT_EQ(NVUtil::getScreenDepth(), spec.depth);
    EXPECT_EQ(NVUtil::getScreenPitch(), spec.depth / 8 * spec.width);
}

INSTANTIATE_TEST_SUITE_P(Screens, NVUtilScreens,
                         ::testing::Values(testsupport::ScreenSpec{800, 600, 24, {}},
                                           testsupport::ScreenSpec{638, 480, 8, {}}),
                         testsupport::screenName);

TEST(NVUtil, NoDisplayGivesZeros) {
    const char* old = std::getenv("DISPLAY");
    std::string saved = old ? old : "";
    setenv("DISPLAY", ":4094", 1);
    EXPECT_EQ(NVUtil::getScreenResolution(), std::make_pair(0, 0));
    EXPECT_EQ(NVUtil::getScreenDepth(), 0);
    if (old)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

TEST(NVUtil, TimeStampIsNow) {
    const long before = long(std::time(nullptr));
    const long stamp = NVUtil::getCurrentTimeStamp();
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, long(std::time(nullptr)));
}

} // namespace
