// Pixels of rectangles, round rectangles and ellipses painted into a pixmap
// of a private X server, with each border style and fill pattern.
#include "objects/draw/DrawRect.h"
#include "objects/draw/SelectionHandles.h"

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

namespace {

using objecttest::ImagePtr;

class DrawRectPaint : public objecttest::PixmapTest {
  protected:
    void SetUp() override {
        PixmapTest::SetUp();
        if (HasFatalFailure())
            return;
        background = rgb(0, 0, 0);
        border = rgb(255, 0, 0);
        fill = rgb(0, 255, 0);
        clear(background);
    }
    static sDrawRect shape(int kind, int l, int t, int r, int b) {
        sDrawRect s;
        s.shape = kind;
        s.left = l;
        s.top = t;
        s.right = r;
        s.bottom = b;
        s.borderWidth = 1;
        s.borderRed = 255;
        s.fillGreen = 255;
        return s;
    }
    ImagePtr paint(const sDrawRect& s) {
        DrawRect::paint(dpy, gc, pixmap, s);
        return grab();
    }
    unsigned long background = 0, border = 0, fill = 0;
};

TEST_F(DrawRectPaint, SolidRectangleHasItsOutlineOnTheEdgesAndItsFillInside) {
    const ImagePtr img = paint(shape(1, 20, 30, 60, 70));
    EXPECT_EQ(border, at(img, 20, 30));
    EXPECT_EQ(border, at(img, 60, 70)); // the outline covers w + 1 by h + 1
    EXPECT_EQ(border, at(img, 40, 30));
    EXPECT_EQ(fill, at(img, 40, 50));
    EXPECT_EQ(fill, at(img, 21, 31));
    EXPECT_EQ(background, at(img, 61, 50));
    EXPECT_EQ(background, at(img, 19, 50));
}

TEST_F(DrawRectPaint, TransparentKeepsTheBackgroundAndNullDrawsNoOutline) {
    sDrawRect s = shape(1, 20, 30, 60, 70);
    s.fillMode = 1;
    ImagePtr img = paint(s);
    EXPECT_EQ(border, at(img, 20, 30));
    EXPECT_EQ(background, at(img, 40, 50));
    clear(background);
    s.fillMode = 0;
    s.borderStyle = 5;
    img = paint(s);
    EXPECT_EQ(fill, at(img, 20, 30));
    EXPECT_EQ(background, at(img, 60, 70));
}

TEST_F(DrawRectPaint, BorderWidthZeroHidesARectangleOutlineButNotAnEllipses) {
    sDrawRect r = shape(1, 20, 30, 60, 70);
    r.borderWidth = 0;
    r.fillMode = 1;
    ImagePtr img = paint(r);
    EXPECT_EQ(background, at(img, 20, 30));
    EXPECT_EQ(background, at(img, 40, 30));

    clear(background);
    sDrawRect e = shape(3, 20, 30, 60, 70);
    e.borderWidth = 0;
    e.fillMode = 1;
    img = paint(e);
    // The thin outline passes the middle of each side of the box.
    EXPECT_EQ(border, at(img, 40, 30));
    EXPECT_EQ(border, at(img, 20, 50));
    EXPECT_EQ(background, at(img, 40, 50));
    EXPECT_EQ(background, at(img, 20, 30)); // box corner
}

TEST_F(DrawRectPaint, EllipseFillsItsMiddleNotItsCorners) {
    sDrawRect e = shape(3, 20, 30, 100, 90);
    e.borderStyle = 5;
    const ImagePtr img = paint(e);
    EXPECT_EQ(fill, at(img, 60, 60));
    EXPECT_EQ(background, at(img, 21, 31));
    EXPECT_EQ(background, at(img, 99, 89));
}

TEST_F(DrawRectPaint, RoundRectangleRoundsItsCorners) {
    sDrawRect s = shape(2, 20, 30, 100, 90);
    s.cornerRadius = 7;
    const ImagePtr img = paint(s);
    EXPECT_EQ(background, at(img, 20, 30)); // outside the corner arc
    EXPECT_EQ(background, at(img, 100, 90));
    EXPECT_EQ(border, at(img, 20, 60)); // straight left side
    EXPECT_EQ(border, at(img, 60, 30)); // straight top side
    EXPECT_EQ(border, at(img, 100, 60));
    EXPECT_EQ(border, at(img, 60, 90));
    EXPECT_EQ(fill, at(img, 60, 60));
}

TEST_F(DrawRectPaint, ASmallRoundRectangleSkipsTheBandsThatWouldBeEmpty) {
    // Narrower than twice the radius: no middle band, only the corner pies
    // and the side bands.
    sDrawRect s = shape(2, 20, 30, 30, 80);
    s.cornerRadius = 7;
    s.borderStyle = 5;
    const ImagePtr img = paint(s);
    EXPECT_EQ(fill, at(img, 22, 55));
    EXPECT_EQ(fill, at(img, 28, 55));
    // Nothing is drawn beyond the shape's box.
    for (int y = 25; y < 90; ++y) {
        EXPECT_EQ(background, at(img, 19, y)) << y;
        EXPECT_EQ(background, at(img, 32, y)) << y;
    }
}

struct PatternCase {
    const char* name;
    int pattern;
    // The tile row and the pixels of an 8-wide row that take the border colour.
    std::vector<std::pair<int, std::vector<int>>> rows;
};

class FillPattern : public DrawRectPaint, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(FillPattern, TileIsAlignedToThePixmapOrigin) {
    const PatternCase& c = GetParam();
    sDrawRect s = shape(1, 16, 16, 80, 80);
    s.fillPattern = uint8_t(c.pattern);
    s.borderStyle = 5;
    const ImagePtr img = paint(s);
    for (const auto& [row, set] : c.rows) {
        for (int x = 0; x < 8; ++x) {
            const bool isSet = std::find(set.begin(), set.end(), x) != set.end();
            // Two tile periods away as well: the tile repeats from (0, 0).
            for (int y : {32 + row, 40 + row})
                EXPECT_EQ(isSet ? border : fill, at(img, 32 + x, y)) << "x " << x << " row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tiles, FillPattern,
    ::testing::Values(PatternCase{"Solid", 0, {{0, {}}, {3, {}}}},
                      PatternCase{"LeftDiagonal", 1, {{0, {0, 1}}, {1, {2, 3}}, {2, {4, 5}}, {3, {6, 7}}}},
                      PatternCase{"Cross", 2, {{0, {0, 1, 2, 3, 4, 5, 6, 7}}, {1, {3, 7}}, {3, {3, 7}}}},
                      PatternCase{
                          "DiagonalCross", 3, {{0, {0, 4}}, {1, {1, 3}}, {2, {2}}, {5, {5, 7}}, {6, {6}}}},
                      PatternCase{"RightDiagonal", 4, {{0, {6, 7}}, {3, {0, 1}}}},
                      PatternCase{"Horizontal", 5, {{0, {0, 1, 2, 3, 4, 5, 6, 7}}, {1, {}}, {2, {}}}},
                      PatternCase{"Vertical", 6, {{0, {3, 7}}, {5, {3, 7}}}},
                      // A code from a damaged file fills solid.
                      PatternCase{"Unknown", 9, {{0, {}}, {2, {}}}}),
    [](const ::testing::TestParamInfo<PatternCase>& info) { return std::string(info.param.name); });

struct DashCase {
    const char* name;
    int style;
    // On (border) and off pixels along the top edge from its left end.
    const char* expected;
};

class BorderStyle : public DrawRectPaint, public ::testing::WithParamInterface<DashCase> {};

TEST_P(BorderStyle, TopEdgeFollowsTheDashList) {
    const DashCase& c = GetParam();
    sDrawRect s = shape(1, 10, 10, 90, 50);
    s.borderStyle = int8_t(c.style);
    s.fillMode = 1;
    const ImagePtr img = paint(s);
    std::string seen;
    for (size_t i = 0; i < std::strlen(c.expected); ++i)
        seen += at(img, 10 + int(i), 10) == border ? '#' : '.';
    EXPECT_EQ(c.expected, seen);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, BorderStyle,
    ::testing::Values(DashCase{"Solid", 0, "################"}, DashCase{"Dash", 1, "####....####...."},
                      DashCase{"Dot", 2, "##..##..##..##.."}, DashCase{"DashDot", 3, "####..##..####..##.."},
                      DashCase{"DashDotDot", 4, "####..##..##..####..##..##.."},
                      DashCase{"Null", 5, "................"},
                      DashCase{"UnknownIsSolid", 7, "################"}),
    [](const ::testing::TestParamInfo<DashCase>& info) { return std::string(info.param.name); });

TEST_F(DrawRectPaint, WideBordersAreWide) {
    sDrawRect s = shape(1, 40, 40, 100, 100);
    s.borderWidth = 5;
    s.fillMode = 1;
    const ImagePtr img = paint(s);
    for (int dy = -2; dy <= 2; ++dy)
        EXPECT_EQ(border, at(img, 70, 40 + dy)) << dy;
    EXPECT_EQ(background, at(img, 70, 37));
    EXPECT_EQ(background, at(img, 70, 43));
}

TEST_F(DrawRectPaint, ReversedEdgesFromAFileStillPaintTheShape) {
    const ImagePtr img = paint(shape(1, 60, 70, 20, 30));
    EXPECT_EQ(fill, at(img, 40, 50));
    EXPECT_EQ(background, at(img, 150, 120));
}

TEST_F(DrawRectPaint, LeavesTheGraphicsContextNeutral) {
    sDrawRect s = shape(2, 20, 30, 100, 90);
    s.cornerRadius = 7;
    s.borderStyle = 3;
    s.borderWidth = 4;
    s.fillPattern = 2;
    paint(s);
    XGCValues v{};
    ASSERT_TRUE(XGetGCValues(dpy, gc,
                             GCForeground | GCBackground | GCLineWidth | GCLineStyle | GCCapStyle |
                                 GCJoinStyle | GCFillStyle,
                             &v));
    EXPECT_EQ(0u, v.foreground);
    EXPECT_EQ(1u, v.background);
    EXPECT_EQ(0, v.line_width);
    EXPECT_EQ(LineSolid, v.line_style);
    EXPECT_EQ(CapButt, v.cap_style);
    EXPECT_EQ(JoinMiter, v.join_style);
    EXPECT_EQ(FillSolid, v.fill_style);
}

TEST_F(DrawRectPaint, HandlesAreEightBlueSquares) {
    SelectionHandles::EditItemsPaintRects(dpy, gc, pixmap, 50, 40, 60, 30);
    const ImagePtr img = grab();
    const unsigned long blue = rgb(0, 0, 255);
    const QPoint squares[] = {{44, 34}, {110, 34}, {44, 70}, {110, 70},
                              {77, 34}, {77, 70},  {44, 52}, {110, 52}};
    for (QPoint o : squares) {
        EXPECT_EQ(blue, at(img, o.x(), o.y())) << o.x() << "," << o.y();
        EXPECT_EQ(blue, at(img, o.x() + 5, o.y() + 5)) << o.x() << "," << o.y();
        EXPECT_EQ(background, at(img, o.x() + 6, o.y() + 6)) << o.x() << "," << o.y();
    }
    EXPECT_EQ(background, at(img, 80, 55)); // the object itself is untouched
    XGCValues v{};
    XGetGCValues(dpy, gc, GCForeground | GCFillStyle, &v);
    EXPECT_EQ(blue, v.foreground);
    EXPECT_EQ(FillSolid, v.fill_style);
}

TEST_F(DrawRectPaint, AnXorBandDrawnTwiceLeavesNoTrace) {
    clear(rgb(12, 34, 56));
    const ImagePtr before = grab();
    XGCValues values{};
    values.function = GXxor;
    values.foreground = rgb(199, 201, 214) ^ BlackPixel(dpy, DefaultScreen(dpy));
    GC xorGC = XCreateGC(dpy, pixmap, GCFunction | GCForeground, &values);
    SelectionHandles::drawXorBand(dpy, xorGC, pixmap, {30, 30, 50, 40});
    const ImagePtr shown = grab();
    EXPECT_NE(at(before, 30, 30), at(shown, 30, 30));
    EXPECT_NE(at(before, 80, 70), at(shown, 80, 70));
    SelectionHandles::drawXorBand(dpy, xorGC, pixmap, {30, 30, 50, 40});
    const ImagePtr after = grab();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(at(before, x, y), at(after, x, y)) << x << "," << y;
    XFreeGC(dpy, xorGC);
}

} // namespace
