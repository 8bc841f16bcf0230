#include "canvas/records/NVFont.h"
#include "canvas/records/StoredText.h"

#include "../OffscreenQtTest.h"

#include <gtest/gtest.h>

namespace {

class NVFontTest : public OffscreenQtTest {};
class StoredTextTest : public OffscreenQtTest {};

TEST_F(NVFontTest, NamedWeightsMapBothWays) {
    struct Case {
        int legacy;
        int qt;
    };
    const Case cases[] = {{25, QFont::Light},
                          {50, QFont::Normal},
                          {63, QFont::DemiBold},
                          {75, QFont::Bold},
                          {87, QFont::Black}};
    for (const Case& c : cases) {
        EXPECT_EQ(NVFont::qtWeightFromLegacy(c.legacy), c.qt) << c.legacy;
        EXPECT_EQ(NVFont::legacyWeightFromQt(c.qt), c.legacy) << c.qt;
    }
    EXPECT_EQ(NVFont::qtWeightFromLegacy(-5), 100);
    EXPECT_EQ(NVFont::qtWeightFromLegacy(500), 1000);
}

TEST_F(NVFontTest, QFontRoundTripKeepsOldScale) {
    NVFont f;
    f.family = "courier";
    f.pointSize = 14;
    f.weight = NVFont::WEIGHT_BOLD;
    f.italic = true;
    f.underline = true;
    const QFont q = f.toQFont();
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.italic());
    EXPECT_EQ(q.pointSize(), 14);
    EXPECT_EQ(NVFont::fromQFont(q), f);
    QFont normal("helvetica", 12);
    EXPECT_EQ(NVFont::fromQFont(normal).weight, NVFont::WEIGHT_NORMAL);
}

TEST_F(StoredTextTest, OutsideLatin1BecomesQuestionMark) {
    EXPECT_EQ(toStoredText(QString::fromUtf8("a\u00e9\u20ac")), std::string("a\xe9?"));
    EXPECT_EQ(fromStoredText(std::string("a\xe9")), QString::fromUtf8("a\u00e9"));
}

} // namespace
