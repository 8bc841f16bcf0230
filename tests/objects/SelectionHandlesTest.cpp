// The handle hit zones, the resize arithmetic, the cursors and the drag band
// of the selection handles, as tables.
#include "objects/draw/SelectionHandles.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Found by argument lookup when a table row fails.
static std::ostream& operator<<(std::ostream& os, const SelectionHandles::Box& b) {
    return os << "(" << b.x << ", " << b.y << ", " << b.w << " x " << b.h << ")";
}

namespace {

using Box = SelectionHandles::Box;

struct HitCase {
    const char* name;
    int px, py;
    Box object;
    int handle;
};

class HandleHit : public ::testing::TestWithParam<HitCase> {};

TEST_P(HandleHit, FindsTheHandleUnderThePointer) {
    const HitCase& c = GetParam();
    EXPECT_EQ(c.handle, SelectionHandles::ItemsGetClickedRects(c.px, c.py, c.object.x, c.object.y, c.object.w,
                                                               c.object.h));
}

// Object at (100, 50), 40 x 20: far edges 140 and 70, halves 20 and 10.
constexpr Box kObject{100, 50, 40, 20};

INSTANTIATE_TEST_SUITE_P(
    Zones, HandleHit,
    ::testing::Values(
        HitCase{"BottomRightFarCorner", 146, 76, kObject, 4}, HitCase{"PastBottomRight", 147, 70, kObject, 0},
        HitCase{"TopLeftCornerItself", 100, 50, kObject, 1},
        HitCase{"TopLeftOuterCorner", 94, 44, kObject, 1}, HitCase{"LeftOfTopLeft", 93, 44, kObject, 0},
        HitCase{"TopRight", 143, 47, kObject, 2}, HitCase{"BottomLeft", 97, 73, kObject, 3},
        HitCase{"BottomRightNearCorner", 140, 70, kObject, 4},
        HitCase{"TopMiddleLeftEnd", 117, 44, kObject, 5}, HitCase{"TopMiddleRightEnd", 123, 50, kObject, 5},
        HitCase{"PastTopMiddle", 124, 47, kObject, 0}, HitCase{"BottomMiddle", 120, 76, kObject, 6},
        HitCase{"LeftMiddle", 94, 57, kObject, 7}, HitCase{"LeftMiddleLowEnd", 100, 63, kObject, 7},
        HitCase{"RightMiddle", 146, 60, kObject, 8}, HitCase{"Inside", 120, 60, kObject, 0},
        HitCase{"FarAway", 500, 500, kObject, 0},
        // A 2 x 2 object: overlapping zones go to the first in 4, 1, 2, 3, 5..8.
        HitCase{"TinyTopRight", 12, 10, Box{10, 10, 2, 2}, 2},
        HitCase{"TinyBottomLeft", 10, 12, Box{10, 10, 2, 2}, 3},
        HitCase{"TinyBottomRight", 12, 12, Box{10, 10, 2, 2}, 4},
        HitCase{"TinyTopLeft", 10, 10, Box{10, 10, 2, 2}, 1},
        HitCase{"TinyTopLeftOuter", 8, 4, Box{10, 10, 2, 2}, 1}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

struct ResizeCase {
    const char* name;
    int handle;
    int dx, dy;
    Box expected;
    bool movesTopLeft;
};

class HandleResize : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(HandleResize, AppliesTheMovement) {
    const ResizeCase& c = GetParam();
    Box b{100, 50, 50, 40};
    EXPECT_EQ(c.movesTopLeft,
              SelectionHandles::ItemsGetResizeCoords(c.handle, b.x, b.y, b.w, b.h, c.dx, c.dy));
    EXPECT_EQ(c.expected, b);
}

INSTANTIATE_TEST_SUITE_P(
    Effects, HandleResize,
    ::testing::Values(ResizeCase{"Move", 0, 7, -3, {107, 47, 50, 40}, true},
                      ResizeCase{"TopLeftGrow", 1, -10, -5, {90, 45, 60, 45}, true},
                      // The corner stops at the far edge's last pixel; the size takes the whole movement.
                      ResizeCase{"TopLeftPastFarEdge", 1, 60, 10, {149, 60, -10, 30}, true},
                      ResizeCase{"TopLeftExactlyToLastPixel", 1, 49, 39, {149, 89, 1, 1}, true},
                      ResizeCase{"TopRight", 2, 10, 10, {100, 60, 60, 30}, true},
                      ResizeCase{"TopRightPastBottom", 2, 0, 100, {100, 89, 50, -60}, true},
                      ResizeCase{"BottomLeft", 3, -10, 10, {90, 50, 60, 50}, true},
                      ResizeCase{"BottomRight", 4, -60, -50, {100, 50, -10, -10}, false},
                      ResizeCase{"TopMiddle", 5, 33, -10, {100, 40, 50, 50}, true},
                      ResizeCase{"BottomMiddle", 6, 33, 10, {100, 50, 50, 50}, false},
                      ResizeCase{"LeftMiddle", 7, 10, 33, {110, 50, 40, 40}, true},
                      ResizeCase{"RightMiddle", 8, 10, 33, {100, 50, 60, 40}, false},
                      ResizeCase{"NotTested", -1, 10, 10, {100, 50, 50, 40}, false},
                      ResizeCase{"Unknown", 9, 10, 10, {100, 50, 50, 40}, false}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

TEST(HandleCursor, ShapesFollowTheHandles) {
    struct Row {
        int handle;
        std::optional<Qt::CursorShape> shape;
    };
    const Row rows[] = {{-1, std::nullopt},       {0, std::nullopt},        {1, Qt::SizeFDiagCursor},
                        {2, Qt::SizeBDiagCursor}, {3, Qt::SizeBDiagCursor}, {4, Qt::SizeFDiagCursor},
                        {5, Qt::SizeVerCursor},   {6, Qt::SizeVerCursor},   {7, Qt::SizeHorCursor},
                        {8, Qt::SizeHorCursor},   {9, Qt::ArrowCursor},     {100, Qt::ArrowCursor}};
    for (const Row& r : rows)
        EXPECT_EQ(r.shape, SelectionHandles::cursorForHandle(r.handle)) << "handle " << r.handle;
    // The numbers the old toolkit gave these shapes.
    EXPECT_EQ(8, int(Qt::SizeFDiagCursor));
    EXPECT_EQ(7, int(Qt::SizeBDiagCursor));
    EXPECT_EQ(5, int(Qt::SizeVerCursor));
    EXPECT_EQ(6, int(Qt::SizeHorCursor));
    EXPECT_EQ(9, int(Qt::SizeAllCursor));
}

struct BandCase {
    const char* name;
    int handle;
    Box atPress;
    QPoint press, pointer;
    Box lastBand;
    Box expected;
};

class DragBand : public ::testing::TestWithParam<BandCase> {};

TEST_P(DragBand, FollowsThePointerWithinTheScreen) {
    const BandCase& c = GetParam();
    EXPECT_EQ(c.expected, SelectionHandles::dragBand(c.handle, c.atPress, c.press, c.pointer,
                                                     QSize(1024, 768), c.lastBand));
}

constexpr Box kRect{100, 100, 50, 40};

// The in-place editors' minimum is a parameter: 1, or 5 for the validation field.
TEST(DragBandMinimum, IsTheGivenSize) {
    const QSize screen(1024, 768);
    // Handle 1 past the far edge: the size goes to 1, then to the minimum.
    EXPECT_EQ((Box{149, 110, 1, 30}),
              SelectionHandles::dragBand(1, kRect, {100, 100}, {160, 110}, screen, {}, 1));
    EXPECT_EQ((Box{149, 110, 5, 30}),
              SelectionHandles::dragBand(1, kRect, {100, 100}, {160, 110}, screen, {}, 5));
    // Beyond the screen the kept band is raised to the minimum too.
    EXPECT_EQ((Box{300, 100, 1, 2}),
              SelectionHandles::dragBand(0, kRect, {120, 120}, {1030, 120}, screen, {300, 100, 1, 2}, 1));
    EXPECT_EQ((Box{300, 100, 5, 5}),
              SelectionHandles::dragBand(0, kRect, {120, 120}, {1030, 120}, screen, {300, 100, 1, 2}, 5));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DragBand,
    ::testing::Values(
        BandCase{"TopLeftPastFarEdgeJumpsRight", 1, kRect, {100, 100}, {160, 110}, {}, {149, 110, 5, 30}},
        BandCase{"BottomRightFarUpLeftIsMinimum", 4, kRect, {150, 140}, {0, 0}, {}, {100, 100, 5, 5}},
        BandCase{"BottomRightShrinkTo3Becomes5", 4, kRect, {150, 140}, {103, 143}, {}, {100, 100, 5, 43}},
        BandCase{"MoveStopsAtRightEdge", 0, kRect, {120, 120}, {1020, 120}, {}, {974, 100, 50, 40}},
        BandCase{"MoveStopsAtBottomEdge", 0, kRect, {120, 120}, {120, 760}, {}, {100, 728, 50, 40}},
        BandCase{"MoveClampsAtZero", 0, kRect, {120, 120}, {10, 5}, {}, {0, 0, 50, 40}},
        BandCase{"PointerBeyondScreenKeepsBand",
                 0,
                 kRect,
                 {120, 120},
                 {1030, 120},
                 {300, 100, 50, 40},
                 {300, 100, 50, 40}},
        BandCase{"PointerBelowScreenKeepsBand",
                 6,
                 kRect,
                 {125, 140},
                 {125, 800},
                 {100, 100, 50, 300},
                 {100, 100, 50, 300}},
        BandCase{
            "PointerOnScreenEdgeStillFollows", 8, kRect, {150, 120}, {1024, 120}, {}, {100, 100, 924, 40}},
        BandCase{"BackAtPressPointIsTheObject",
                 0,
                 kRect,
                 {120, 120},
                 {120, 120},
                 {200, 200, 50, 40},
                 {100, 100, 50, 40}},
        BandCase{"NotTestedLeavesTheObject", -1, kRect, {120, 120}, {300, 300}, {}, {100, 100, 50, 40}},
        BandCase{"ObjectPastRightEdgeIsPulledIn",
                 0,
                 {1010, 100, 30, 40},
                 {1020, 120},
                 {1020, 120},
                 {},
                 {994, 100, 30, 40}}),
    [](const ::testing::TestParamInfo<BandCase>& info) { return std::string(info.param.name); });

} // namespace
