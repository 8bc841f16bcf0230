// Pixels of polylines painted into a pixmap of a private X server, and the
// state the pixmap's context is left in for the next object.
#include "objects/draw/CDrawPolyLine.h"

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

namespace {

using objecttest::ImagePtr;

sPoly polyline(std::vector<NVPoint> points, int thickness, uint32_t color) {
    sPoly p;
    p.points = std::move(points);
    p.thickness = thickness;
    p.color = color;
    return p;
}

class PolylinePaint : public objecttest::PixmapTest {
  protected:
    void SetUp() override {
        PixmapTest::SetUp();
        if (HasFatalFailure())
            return;
        background = rgb(0, 0, 0);
        red = rgb(255, 0, 0);
        clear(background);
    }
    unsigned long background = 0, red = 0;
};

TEST_F(PolylinePaint, ThickPolylineHasRoundEndsAndLeavesButtEndsAndMitredCorners) {
    // 0x00BBGGRR: pure red.
    CDrawPolyLine::paint(dpy, gc, pixmap, polyline({{30, 40}, {100, 40}, {100, 100}}, 5, 0x0000FF));
    ImagePtr img = grab();
    EXPECT_EQ(red, at(img, 60, 40));
    EXPECT_EQ(red, at(img, 60, 42));
    EXPECT_EQ(background, at(img, 60, 44));
    EXPECT_EQ(red, at(img, 28, 40)) << "a round end reaches past the first point";
    EXPECT_EQ(background, at(img, 26, 40));
    EXPECT_EQ(red, at(img, 100, 102)) << "and past the last";
    EXPECT_EQ(background, at(img, 100, 104));

    XGCValues v{};
    ASSERT_TRUE(
        XGetGCValues(dpy, gc, GCCapStyle | GCJoinStyle | GCLineWidth | GCLineStyle | GCForeground, &v));
    EXPECT_EQ(CapButt, v.cap_style);
    EXPECT_EQ(JoinMiter, v.join_style);
    EXPECT_EQ(0, v.line_width);
    EXPECT_EQ(LineSolid, v.line_style);
    EXPECT_EQ(0ul, v.foreground);

    // A plain wide line drawn next, setting nothing but its width and colour.
    XGCValues w{};
    w.line_width = 5;
    w.foreground = red;
    XChangeGC(dpy, gc, GCLineWidth | GCForeground, &w);
    XDrawLine(dpy, pixmap, gc, 30, 120, 100, 120);
    img = grab();
    EXPECT_EQ(red, at(img, 60, 120));
    EXPECT_EQ(background, at(img, 28, 120)) << "the line took the polyline's round ends";
    EXPECT_EQ(background, at(img, 102, 120));
}

TEST_F(PolylinePaint, ThicknessZeroDrawsOnePixelLines) {
    CDrawPolyLine::paint(dpy, gc, pixmap, polyline({{30, 40}, {100, 40}}, 0, 0x0000FF));
    ImagePtr img = grab();
    EXPECT_EQ(red, at(img, 30, 40));
    EXPECT_EQ(red, at(img, 100, 40));
    EXPECT_EQ(background, at(img, 60, 39));
    EXPECT_EQ(background, at(img, 60, 41));
}

TEST_F(PolylinePaint, FewerThanTwoPointsDrawNothing) {
    CDrawPolyLine::paint(dpy, gc, pixmap, polyline({{30, 40}}, 5, 0x0000FF));
    CDrawPolyLine::paint(dpy, gc, pixmap, polyline({}, 5, 0x0000FF));
    ImagePtr img = grab();
    EXPECT_EQ(background, at(img, 30, 40));
}

} // namespace
