// Pixels of lines with arrow heads painted into a pixmap of a private X
// server: each line style, the heads alone, coincident ends, and the
// graphics context's line attributes before and after.
#include "objects/draw/CDrawLine.h"

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using objecttest::ImagePtr;

class CDrawLinePaint : public objecttest::PixmapTest {
  protected:
    void SetUp() override {
        PixmapTest::SetUp();
        if (HasFatalFailure())
            return;
        background = rgb(0, 0, 0);
        color = rgb(255, 0, 0);
        clear(background);
    }
    static sDrawLine line(int x1, int y1, int x2, int y2, int width = 1, int style = 0, int arrow = 0) {
        sDrawLine l;
        l.x1 = x1;
        l.y1 = y1;
        l.x2 = x2;
        l.y2 = y2;
        l.lineWidth = int16_t(width);
        l.lineStyle = int8_t(style);
        l.arrow = uint8_t(arrow);
        l.red = 255;
        return l;
    }
    ImagePtr paint(const sDrawLine& l) {
        CDrawLine::paint(dpy, gc, pixmap, l);
        return grab();
    }
    // Coloured pixels inside a box, edges included.
    long painted(const ImagePtr& img, int x0, int y0, int x1, int y1) const {
        long n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                n += at(img, x, y) != background;
        return n;
    }
    unsigned long background = 0, color = 0;
};

struct StyleCase {
    const char* name;
    int style;
    // The first pixels of the line from its start: '#' drawn, '.' not.
    const char* pattern;
};

class LineStyle : public CDrawLinePaint, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(LineStyle, FollowsItsDashList) {
    const StyleCase& c = GetParam();
    const ImagePtr img = paint(line(20, 40, 120, 40, 1, c.style));
    std::string seen;
    for (size_t i = 0; c.pattern[i]; ++i)
        seen += at(img, 20 + int(i), 40) == color ? '#' : '.';
    EXPECT_EQ(c.pattern, seen);
    // Nothing beside a one-pixel line.
    EXPECT_EQ(0, painted(img, 0, 42, W - 1, 42));
}

INSTANTIATE_TEST_SUITE_P(CDrawLine, LineStyle,
                         ::testing::Values(StyleCase{"Solid", 0, "################"},
                                           StyleCase{"Dash", 1, "####....####...."},
                                           StyleCase{"Dot", 2, "##..##..##..##.."},
                                           StyleCase{"DashDot", 3, "####..##..####..##.."},
                                           StyleCase{"DashDotDot", 4, "####..##..##..####..##..##.."},
                                           StyleCase{"Null", 5, "................"},
                                           StyleCase{"UnknownIsSolid", 9, "################"}),
                         [](const ::testing::TestParamInfo<StyleCase>& info) {
                             return std::string(info.param.name);
                         });

// The heads of a line of width 1 reach 9 pixels along the line from each
// tip and 5 to either side.
TEST_F(CDrawLinePaint, NullStyleWithAnArrowDrawsOnlyTheHeads) {
    const ImagePtr img = paint(line(40, 60, 160, 60, 1, 5, 3));
    EXPECT_EQ(color, at(img, 44, 60));
    EXPECT_EQ(color, at(img, 156, 60));
    EXPECT_EQ(color, at(img, 48, 57)); // a wing of the start head
    EXPECT_EQ(0, painted(img, 52, 50, 148, 70)) << "no shaft between the heads";
    EXPECT_EQ(0, painted(img, 0, 0, 38, H - 1)) << "nothing before the start tip";
}

TEST_F(CDrawLinePaint, ArrowCodesChooseTheHeads) {
    const struct {
        int arrow;
        bool startHead;
        bool endHead;
    } rows[] = {{0, false, false}, {1, false, true}, {2, true, false}, {3, true, true}};
    for (const auto& r : rows) {
        clear(background);
        const ImagePtr img = paint(line(40, 60, 160, 60, 1, 0, r.arrow));
        // Two pixels off the shaft, inside a head's wings.
        EXPECT_EQ(r.startHead, at(img, 46, 58) == color) << r.arrow;
        EXPECT_EQ(r.endHead, at(img, 154, 58) == color) << r.arrow;
        EXPECT_EQ(color, at(img, 100, 60)) << r.arrow;
    }
}

TEST_F(CDrawLinePaint, CoincidentEndsWithBothArrowsDrawNoHeads) {
    for (int width : {1, 3}) {
        clear(background);
        const ImagePtr img = paint(line(100, 80, 100, 80, width, 0, 3));
        // A head would reach at least 7 pixels from the point.
        EXPECT_EQ(0, painted(img, 80, 60, 120, 77)) << width;
        EXPECT_EQ(0, painted(img, 80, 83, 120, 100)) << width;
        EXPECT_EQ(0, painted(img, 80, 60, 97, 100)) << width;
        EXPECT_EQ(0, painted(img, 103, 60, 120, 100)) << width;
    }
}

// A polyline leaves round caps and joins behind; a line sets its own.
TEST_F(CDrawLinePaint, WideLinesHaveButtEndsWhateverTheContextHeld) {
    XSetLineAttributes(dpy, gc, 5, LineSolid, CapRound, JoinRound);
    const ImagePtr img = paint(line(50, 100, 150, 100, 9));
    EXPECT_EQ(color, at(img, 51, 100));
    EXPECT_EQ(color, at(img, 100, 103));
    EXPECT_EQ(background, at(img, 47, 100)) << "a round cap would reach past the end";
    EXPECT_EQ(background, at(img, 153, 100));

    XGCValues v{};
    ASSERT_TRUE(XGetGCValues(
        dpy, gc, GCForeground | GCLineWidth | GCLineStyle | GCCapStyle | GCJoinStyle | GCFillStyle, &v));
    EXPECT_EQ(0u, v.foreground);
    EXPECT_EQ(0, v.line_width);
    EXPECT_EQ(LineSolid, v.line_style);
    EXPECT_EQ(CapButt, v.cap_style);
    EXPECT_EQ(JoinMiter, v.join_style);
    EXPECT_EQ(FillSolid, v.fill_style);
}

TEST_F(CDrawLinePaint, WidthAndArrowGrowTheHeadsAndKeepTheShaftInside) {
    // Width 3: heads 13 long, 8 to either side; the shaft starts halfway
    // along the head, so nothing lies behind the tip.
    const ImagePtr img = paint(line(40, 60, 160, 60, 3, 0, 2));
    EXPECT_EQ(color, at(img, 52, 53));
    EXPECT_EQ(background, at(img, 52, 50));
    EXPECT_EQ(0, painted(img, 30, 50, 39, 70));
    EXPECT_EQ(color, at(img, 158, 61));
}

} // namespace
