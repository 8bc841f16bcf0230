// Arrow heads, the line's hit polygon and the polyline's hit test, as tables.
#include "objects/draw/LineGeometry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Found by argument lookup when a table row fails.
static std::ostream& operator<<(std::ostream& os, const QPoint& p) {
    return os << "(" << p.x() << ", " << p.y() << ")";
}
static std::ostream& operator<<(std::ostream& os, const QPolygon& poly) {
    os << "[";
    for (const QPoint& p : poly)
        os << p;
    return os << "]";
}
static std::ostream& operator<<(std::ostream& os, const LineGeometry::PolylineHit& h) {
    static const char* const parts[] = {"none", "vertex", "segment"};
    return os << parts[h.part] << " " << h.index;
}

namespace {

using Hit = LineGeometry::PolylineHit;

QPolygon poly(std::initializer_list<QPoint> points) {
    return QPolygon(QList<QPoint>(points));
}

template <class Case> std::string rowName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// ---- head sizes ----

struct SizeCase {
    const char* name;
    int width;
    int arrow;
    int length, halfWidth;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

class HeadSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(HeadSizes, FollowTheLineWidth) {
    const SizeCase& c = GetParam();
    const LineGeometry::HeadSize size = LineGeometry::headSize(c.width, c.arrow);
    EXPECT_EQ(c.length, size.length);
    EXPECT_EQ(c.halfWidth, size.halfWidth);
}

INSTANTIATE_TEST_SUITE_P(Widths, HeadSizes,
                         ::testing::Values(SizeCase{"Width0", 0, LineGeometry::ARROW_END, 7, 4},
                                           SizeCase{"Width1", 1, LineGeometry::ARROW_START, 9, 5},
                                           SizeCase{"Width2", 2, LineGeometry::ARROW_END, 11, 6},
                                           SizeCase{"Width3", 3, LineGeometry::ARROW_START, 13, 8},
                                           SizeCase{"Width3Both", 3, LineGeometry::ARROW_BOTH, 13, 8},
                                           SizeCase{"Width10Both", 10, LineGeometry::ARROW_BOTH, 27, 17},
                                           // Only below zero does the float form of "Both" differ.
                                           SizeCase{"NegativeOneHead", -1, LineGeometry::ARROW_END, 5, 3},
                                           SizeCase{"NegativeBoth", -1, LineGeometry::ARROW_BOTH, 5, 2}),
                         rowName<SizeCase>);

// ---- wing points ----

struct WingCase {
    const char* name;
    QPoint a, b;
    int length, halfWidth;
    QPoint w1, w2, w3, w4;
};

void PrintTo(const WingCase& c, std::ostream* os) {
    *os << c.name;
}

class WingPoints : public ::testing::TestWithParam<WingCase> {};

TEST_P(WingPoints, SitBesideBothTips) {
    const WingCase& c = GetParam();
    QPoint w1, w2, w3, w4;
    ASSERT_TRUE(LineGeometry::getArrow(c.a, c.b, c.length, c.halfWidth, w1, w2, w3, w4));
    EXPECT_EQ(c.w1, w1);
    EXPECT_EQ(c.w2, w2);
    EXPECT_EQ(c.w3, w3);
    EXPECT_EQ(c.w4, w4);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, WingPoints,
    ::testing::Values(
        WingCase{"Right", {100, 100}, {200, 100}, 9, 5, {109, 105}, {109, 95}, {191, 105}, {191, 95}},
        WingCase{"Left", {200, 100}, {100, 100}, 9, 5, {191, 95}, {191, 105}, {109, 95}, {109, 105}},
        WingCase{"Down", {100, 100}, {100, 200}, 9, 5, {95, 109}, {105, 109}, {95, 191}, {105, 191}},
        WingCase{"Up", {100, 200}, {100, 100}, 9, 5, {105, 191}, {95, 191}, {105, 109}, {95, 109}},
        // cos 0.6, sin 0.8: each product truncated on its own (6.4, 7.8, 10.4, 4.8).
        WingCase{"DownRight", {0, 0}, {30, 40}, 13, 8, {1, 14}, {13, 6}, {17, 34}, {29, 26}},
        // The same products negative: truncated toward zero, not down.
        WingCase{"UpLeft", {30, 40}, {0, 0}, 13, 8, {29, 26}, {17, 34}, {13, 6}, {1, 14}}),
    rowName<WingCase>);

TEST(ArrowWings, NoneForCoincidentEnds) {
    const QPoint unset(-1, -1);
    QPoint w1 = unset, w2 = unset, w3 = unset, w4 = unset;
    EXPECT_FALSE(LineGeometry::getArrow({40, 40}, {40, 40}, 9, 5, w1, w2, w3, w4));
    EXPECT_EQ(unset, w1);
    EXPECT_EQ(unset, w2);
    EXPECT_EQ(unset, w3);
    EXPECT_EQ(unset, w4);
}

// ---- shaft and heads by arrow code ----

struct ArrowCase {
    const char* name;
    QPoint start, end;
    int width;
    int arrow;
    QPoint shaftStart, shaftEnd;
    QPolygon startHead, endHead;
};

void PrintTo(const ArrowCase& c, std::ostream* os) {
    *os << c.name;
}

class ArrowedLines : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowedLines, ShortenTheShaftUnderEachHead) {
    const ArrowCase& c = GetParam();
    const LineGeometry::ArrowedLine line = LineGeometry::arrowedLine(c.start, c.end, c.width, c.arrow);
    EXPECT_EQ(c.shaftStart, line.shaftStart);
    EXPECT_EQ(c.shaftEnd, line.shaftEnd);
    EXPECT_EQ(c.startHead, line.startHead);
    EXPECT_EQ(c.endHead, line.endHead);
}

const QPolygon kNoHead;
const QPolygon kStartHead = poly({{109, 105}, {100, 100}, {109, 95}, {109, 105}});
const QPolygon kEndHead = poly({{191, 105}, {200, 100}, {191, 95}, {191, 105}});

INSTANTIATE_TEST_SUITE_P(
    Codes, ArrowedLines,
    ::testing::Values(
        ArrowCase{"None", {100, 100}, {200, 100}, 1, 0, {100, 100}, {200, 100}, kNoHead, kNoHead},
        // Base middle (109, 100): the shaft starts halfway to the tip.
        ArrowCase{"Start", {100, 100}, {200, 100}, 1, 2, {104, 100}, {200, 100}, kStartHead, kNoHead},
        ArrowCase{"End", {100, 100}, {200, 100}, 1, 1, {100, 100}, {195, 100}, kNoHead, kEndHead},
        ArrowCase{"Both", {100, 100}, {200, 100}, 1, 3, {104, 100}, {195, 100}, kStartHead, kEndHead},
        ArrowCase{"BothDownWidth3",
                  {10, 10},
                  {10, 110},
                  3,
                  3,
                  {10, 16},
                  {10, 103},
                  poly({{2, 23}, {10, 10}, {18, 23}, {2, 23}}),
                  poly({{2, 97}, {10, 110}, {18, 97}, {2, 97}})},
        // (-109 + -100) / 2 is -104, not -105.
        ArrowCase{"NegativeCoordinatesHalveTowardZero",
                  {-100, -100},
                  {-200, -100},
                  1,
                  2,
                  {-104, -100},
                  {-200, -100},
                  poly({{-109, -105}, {-100, -100}, {-109, -95}, {-109, -105}}),
                  kNoHead},
        ArrowCase{
            "CoincidentEndsHaveNoHeads", {50, 50}, {50, 50}, 1, 3, {50, 50}, {50, 50}, kNoHead, kNoHead},
        ArrowCase{"UnknownCodeDrawsThePlainLine",
                  {100, 100},
                  {200, 100},
                  1,
                  7,
                  {100, 100},
                  {200, 100},
                  kNoHead,
                  kNoHead}),
    rowName<ArrowCase>);

// ---- the line's hit polygon ----

TEST(LineHitPolygon, TakesTheSecondCornersNearTheDownRightDiagonal) {
    EXPECT_EQ(poly({{93, 93}, {107, 107}, {207, 107}, {193, 93}}),
              LineGeometry::lineHitPolygon({100, 100}, {200, 100}));
    EXPECT_EQ(poly({{-7, 7}, {7, -7}, {107, 93}, {93, 107}}),
              LineGeometry::lineHitPolygon({0, 0}, {100, 100}));
    // |dy - dx| = 4 is still near the diagonal, 5 is not.
    EXPECT_EQ(poly({{-7, 7}, {7, -7}, {107, 89}, {93, 103}}),
              LineGeometry::lineHitPolygon({0, 0}, {100, 96}));
    EXPECT_EQ(poly({{-7, -7}, {7, 7}, {107, 102}, {93, 88}}),
              LineGeometry::lineHitPolygon({0, 0}, {100, 95}));
}

TEST(LineHitPolygon, ZeroLengthLineHasAnEmptyRegion) {
    EXPECT_TRUE(LineGeometry::lineHitRegion({50, 50}, {50, 50}).isEmpty());
    EXPECT_FALSE(LineGeometry::lineHitRegion({50, 50}, {51, 50}).isEmpty());
}

struct LineHitCase {
    const char* name;
    QPoint start, end, probe;
    bool hit;
};

void PrintTo(const LineHitCase& c, std::ostream* os) {
    *os << c.name;
}

class LineHits : public ::testing::TestWithParam<LineHitCase> {};

TEST_P(LineHits, FollowTheHitPolygon) {
    const LineHitCase& c = GetParam();
    EXPECT_EQ(c.hit, LineGeometry::lineHit(c.start, c.end, c.probe));
}

INSTANTIATE_TEST_SUITE_P(
    Probes, LineHits,
    ::testing::Values(LineHitCase{"HorizontalOnTheLine", {100, 100}, {200, 100}, {150, 100}, true},
                      LineHitCase{"HorizontalSixBelow", {100, 100}, {200, 100}, {150, 106}, true},
                      LineHitCase{"HorizontalEightBelow", {100, 100}, {200, 100}, {150, 108}, false},
                      // X's rule: the top edge belongs to the polygon, the bottom edge not.
                      LineHitCase{"HorizontalTopEdge", {100, 100}, {200, 100}, {150, 93}, true},
                      LineHitCase{"HorizontalBottomEdge", {100, 100}, {200, 100}, {150, 107}, false},
                      LineHitCase{"VerticalBeside", {100, 0}, {100, 100}, {95, 50}, true},
                      LineHitCase{"VerticalTooFar", {100, 0}, {100, 100}, {110, 50}, false},
                      LineHitCase{"DiagonalOnTheLine", {0, 0}, {100, 100}, {50, 50}, true},
                      LineHitCase{"DiagonalAbove", {0, 0}, {100, 100}, {55, 45}, true},
                      LineHitCase{"DiagonalBelow", {0, 0}, {100, 100}, {45, 55}, true},
                      LineHitCase{"DiagonalTooFar", {0, 0}, {100, 100}, {60, 40}, false},
                      LineHitCase{"AntiDiagonal", {0, 100}, {100, 0}, {54, 54}, true},
                      LineHitCase{"ZeroLengthOnItsPoint", {50, 50}, {50, 50}, {50, 50}, false},
                      LineHitCase{"ZeroLengthBeside", {50, 50}, {50, 50}, {52, 48}, false}),
    rowName<LineHitCase>);

// ---- the polyline's hit test ----

struct PolyHitCase {
    const char* name;
    std::vector<QPoint> points;
    QPoint probe;
    Hit expected;
};

void PrintTo(const PolyHitCase& c, std::ostream* os) {
    *os << c.name;
}

class PolylineHits : public ::testing::TestWithParam<PolyHitCase> {};

TEST_P(PolylineHits, FindVertexThenSegment) {
    const PolyHitCase& c = GetParam();
    QPolygon points;
    for (const QPoint& p : c.points)
        points << p;
    EXPECT_EQ(c.expected, LineGeometry::polylineHit(points, c.probe));
}

const std::vector<QPoint> kHorizontal{{0, 100}, {100, 100}};
const std::vector<QPoint> kSteep{{0, 0}, {100, 130}};
const std::vector<QPoint> kVertical{{100, 0}, {100, 100}};
constexpr Hit kNone{Hit::NONE, -1};
constexpr Hit vertex(int i) {
    return Hit{Hit::VERTEX, i};
}
constexpr Hit segment(int i) {
    return Hit{Hit::SEGMENT, i};
}

INSTANTIATE_TEST_SUITE_P(
    Probes, PolylineHits,
    ::testing::Values(
        PolyHitCase{"NoPoints", {}, {0, 0}, kNone},
        PolyHitCase{"VertexSevenAway", {{100, 100}, {200, 100}}, {93, 100}, vertex(0)},
        PolyHitCase{"VertexEightAway", {{100, 100}, {200, 100}}, {92, 100}, kNone},
        // 7.07 and 8.49, truncated.
        PolyHitCase{"VertexDiagonalSevenTruncated", {{100, 100}, {200, 100}}, {95, 95}, vertex(0)},
        PolyHitCase{"VertexDiagonalEightTruncated", {{100, 100}, {200, 100}}, {94, 94}, kNone},
        PolyHitCase{"LoneVertex", {{30, 30}}, {30, 37}, vertex(0)},
        PolyHitCase{"HighestIndexWins", {{10, 10}, {50, 50}, {12, 12}}, {11, 11}, vertex(2)},
        PolyHitCase{"HighestIndexWinsOverACloserOne", {{10, 10}, {50, 50}, {15, 10}}, {10, 10}, vertex(2)},
        PolyHitCase{"VertexBeforeSegment", {{0, 0}, {100, 0}, {100, 100}}, {100, 5}, vertex(1)},
        PolyHitCase{"SteepMiddle", kSteep, {50, 65}, segment(0)},
        PolyHitCase{"SteepSevenRight", kSteep, {57, 65}, segment(0)},
        PolyHitCase{"SteepTenRight", kSteep, {60, 65}, kNone},
        PolyHitCase{"SteepRunningBack", {{100, 130}, {0, 0}}, {57, 65}, segment(0)},
        PolyHitCase{"HorizontalFourBelow", kHorizontal, {50, 104}, segment(0)},
        PolyHitCase{"HorizontalFourAbove", kHorizontal, {50, 96}, segment(0)},
        PolyHitCase{"HorizontalBottomEdge", kHorizontal, {50, 105}, kNone},
        PolyHitCase{"HorizontalSixBelow", kHorizontal, {50, 106}, kNone},
        PolyHitCase{"VerticalLeftEdge", kVertical, {95, 50}, segment(0)},
        PolyHitCase{"VerticalFourRight", kVertical, {104, 50}, segment(0)},
        PolyHitCase{"VerticalRightEdge", kVertical, {105, 50}, kNone},
        PolyHitCase{"VerticalSixLeft", kVertical, {94, 50}, kNone},
        // 45 degrees takes the band that reaches 10 down and left.
        PolyHitCase{"FortyFiveDegreesWideBand", {{0, 0}, {100, 100}}, {38, 50}, segment(0)},
        PolyHitCase{"FortyFiveDegreesFarSide", {{0, 0}, {100, 100}}, {62, 50}, segment(0)},
        PolyHitCase{"FortyFiveDegreesTooFar", {{0, 0}, {100, 100}}, {36, 50}, kNone},
        PolyHitCase{"AntiDiagonal", {{0, 100}, {100, 0}}, {54, 54}, segment(0)},
        PolyHitCase{"AntiDiagonalTooFar", {{0, 100}, {100, 0}}, {56, 56}, kNone},
        PolyHitCase{"SecondSegment", {{0, 0}, {100, 0}, {100, 100}}, {100, 50}, segment(1)},
        PolyHitCase{"ZeroLengthSegmentBeyondReach", {{50, 50}, {50, 50}}, {50, 58}, kNone}),
    rowName<PolyHitCase>);

TEST(PolylineRegion, IsTheUnionOfTheSegmentBands) {
    const QPolygon points = poly({{0, 0}, {100, 0}, {100, 100}});
    const QRegion region = LineGeometry::polylineRegion(points);
    EXPECT_EQ(QRegion(LineGeometry::segmentBand({0, 0}, {100, 0})) +
                  QRegion(LineGeometry::segmentBand({100, 0}, {100, 100})),
              region);
    EXPECT_TRUE(region.contains(QPoint(50, 3)));
    EXPECT_TRUE(region.contains(QPoint(102, 50)));
    EXPECT_FALSE(region.contains(QPoint(50, 50)));
    EXPECT_TRUE(LineGeometry::polylineRegion(poly({{5, 5}})).isEmpty());
}

} // namespace
