// The gradient painter: the colour at t, and the three painters on a 40 x 30
// pixmap of a private Xvfb.
#include "objects/draw/Gradient.h"

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct ColourCase {
    const char* name;
    QColor from, to;
    double t;
    QColor expected;
};

TEST(GradientColour, AtT) {
    const ColourCase cases[] = {
        {"t 0 is the from colour", QColor(200, 40, 10), QColor(10, 120, 250), 0.0, QColor(200, 40, 10)},
        {"t 1 is the to colour", QColor(200, 40, 10), QColor(10, 120, 250), 1.0, QColor(10, 120, 250)},
        // Differences 1, -1, 3: products 0.5, -0.5, 1.5 round away from zero.
        {"halves away from zero", QColor(11, 10, 13), QColor(10, 11, 10), 0.5, QColor(10, 11, 11)},
        {"below a half stays", QColor(11, 10, 13), QColor(10, 11, 10), 0.49, QColor(11, 10, 12)},
        {"halfway, even difference", QColor(100, 0, 255), QColor(0, 100, 0), 0.5, QColor(50, 50, 127)},
        {"equal colours", QColor(7, 8, 9), QColor(7, 8, 9), 0.37, QColor(7, 8, 9)},
    };
    for (const ColourCase& c : cases)
        EXPECT_EQ(c.expected, Gradient::colorAt(c.from, c.to, c.t)) << c.name;

    EXPECT_EQ(3, Gradient::roundHalfAway(2.5));
    EXPECT_EQ(-3, Gradient::roundHalfAway(-2.5));
    EXPECT_EQ(-2, Gradient::roundHalfAway(-2.49));
    EXPECT_EQ(0, Gradient::roundHalfAway(0.0));
}

// Differences that are multiples of 120 give whole channel values at every
// step of a 40- or 30-pixel sweep, so no rounding decides a pixel.
const QColor kFrom(240, 0, 120);
const QColor kTo(0, 120, 240);
const QColor kMarker(1, 2, 3);

class GradientPaint : public objecttest::PixmapTest {
  protected:
    static constexpr int GW = 40;
    static constexpr int GH = 30;

    void SetUp() override {
        PixmapTest::SetUp();
        if (HasFatalFailure())
            return;
        area = XCreatePixmap(dpy, RootWindow(dpy, DefaultScreen(dpy)), GW, GH,
                             unsigned(DefaultDepth(dpy, DefaultScreen(dpy))));
        reset();
    }
    void TearDown() override {
        if (dpy)
            XFreePixmap(dpy, area);
        PixmapTest::TearDown();
    }
    void reset() {
        XSetForeground(dpy, gc, rgb(kMarker.red(), kMarker.green(), kMarker.blue()));
        XSetLineAttributes(dpy, gc, 0, LineSolid, CapButt, JoinMiter);
        XFillRectangle(dpy, area, gc, 0, 0, GW, GH);
    }
    void paint(Gradient& g, int width = GW, int height = GH) {
        unsigned long drawable = area;
        g.createGradientImage(drawable, width, height, dpy, gc);
    }
    objecttest::ImagePtr grabArea() {
        XSync(dpy, False);
        return objecttest::ImagePtr(XGetImage(dpy, area, 0, 0, GW, GH, AllPlanes, ZPixmap));
    }
    unsigned long pixelOf(const QColor& c) const { return rgb(c.red(), c.green(), c.blue()); }
    // Pixels that differ between the image and the colour of (x, y).
    template <typename ColourOf> int mismatches(const objecttest::ImagePtr& img, ColourOf colourOf) const {
        int bad = 0;
        for (int y = 0; y < GH; ++y)
            for (int x = 0; x < GW; ++x)
                if (at(img, x, y) != pixelOf(colourOf(x, y)))
                    ++bad;
        return bad;
    }
    bool sameImage(const objecttest::ImagePtr& a, const objecttest::ImagePtr& b) const {
        return mismatches(a, [&](int x, int y) {
                   const unsigned long p = at(b, x, y);
                   return QColor(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
               }) == 0;
    }

    unsigned long area = 0;
};

struct SweepCase {
    const char* name;
    int angle;
    bool rows;      // horizontal lines: the colour follows y
    bool exchanged; // the to colour at the start edge
};

TEST_F(GradientPaint, StraightAnglesSweepAcrossTheArea) {
    const SweepCase cases[] = {
        {"0: from colour in column 0", 0, false, false},
        {"180: colours exchanged", 180, false, true},
        {"90: rows, colours exchanged", 90, true, true},
        {"270: rows, not exchanged", 270, true, false},
    };
    for (const SweepCase& c : cases) {
        reset();
        Gradient g(kFrom, kTo, Gradient::LINEAR, c.angle);
        paint(g);
        const QColor start = c.exchanged ? kTo : kFrom, end = c.exchanged ? kFrom : kTo;
        const auto img = grabArea();
        EXPECT_EQ(0, mismatches(img,
                                [&](int x, int y) {
                                    return Gradient::colorAt(start, end,
                                                             c.rows ? y / double(GH) : x / double(GW));
                                }))
            << c.name;
        EXPECT_EQ(pixelOf(start), at(img, 0, 0)) << c.name;
        EXPECT_EQ(c.exchanged ? kTo : kFrom, g.fromColor()) << c.name << ": the exchange stays in the object";
    }
}

TEST_F(GradientPaint, PaintingTwiceAt90ReversesTheGradient) {
    Gradient g(kFrom, kTo, Gradient::LINEAR, 90);
    paint(g);
    EXPECT_EQ(pixelOf(kTo), at(grabArea(), 0, 0));
    reset();
    paint(g);
    const auto img = grabArea();
    EXPECT_EQ(0, mismatches(img, [&](int, int y) { return Gradient::colorAt(kFrom, kTo, y / double(GH)); }));
}

TEST_F(GradientPaint, EqualColoursGiveOnePlainColour) {
    const QColor c(90, 180, 45);
    struct Case {
        Gradient::GRADIENT_STYLE style;
        int angle;
    };
    const Case cases[] = {{Gradient::LINEAR, 0},     {Gradient::LINEAR, 45},  {Gradient::LINEAR, 135},
                          {Gradient::LINEAR, 200},   {Gradient::LINEAR, 300}, {Gradient::RADIAL, 0},
                          {Gradient::RECTANGULAR, 0}};
    for (const Case& k : cases) {
        reset();
        Gradient g(c, c, k.style, k.angle);
        paint(g);
        const auto img = grabArea();
        int painted = 0, other = 0;
        for (int y = 0; y < GH; ++y)
            for (int x = 0; x < GW; ++x) {
                const unsigned long p = at(img, x, y);
                if (p == pixelOf(c))
                    ++painted;
                else if (p != pixelOf(kMarker))
                    ++other;
            }
        const std::string name = "style " + std::to_string(k.style) + " angle " + std::to_string(k.angle);
        EXPECT_GT(painted, 0) << name;
        EXPECT_EQ(0, other) << name;
    }
}

TEST_F(GradientPaint, OtherStylesAndEmptyAreasPaintNothing) {
    struct Case {
        Gradient::GRADIENT_STYLE style;
        int angle, width, height;
    };
    std::vector<Case> cases = {{Gradient::GRADIENT_STYLE(3), 0, GW, GH},
                               {Gradient::GRADIENT_STYLE(-1), 0, GW, GH}};
    for (auto style : {Gradient::LINEAR, Gradient::RADIAL, Gradient::RECTANGULAR})
        for (int angle : {0, 45, 90, 135, 180, 270})
            for (auto [w, h] : {std::pair{0, 0}, std::pair{0, GH}, std::pair{GW, 0}})
                cases.push_back({style, angle, w, h});
    for (const Case& c : cases) {
        reset();
        Gradient g(kFrom, kTo, c.style, c.angle);
        paint(g, c.width, c.height);
        const auto img = grabArea();
        EXPECT_EQ(0, mismatches(img, [](int, int) { return kMarker; }))
            << "style " << c.style << " angle " << c.angle << " " << c.width << "x" << c.height;
        EXPECT_EQ(kFrom, g.fromColor()) << "nothing exchanged";
    }
}

TEST_F(GradientPaint, AnglesOutsideTheCircleAreTakenModulo360) {
    const std::pair<int, int> cases[] = {{-90, 270}, {360, 0}, {450, 90}, {-315, 45}, {765, 45}};
    for (const auto& [given, as] : cases) {
        reset();
        Gradient a(kFrom, kTo, Gradient::LINEAR, given);
        paint(a);
        const auto painted = grabArea();
        reset();
        Gradient b(kFrom, kTo, Gradient::LINEAR, as);
        paint(b);
        EXPECT_TRUE(sameImage(painted, grabArea())) << given << " paints as " << as;
        EXPECT_EQ(a.fromColor(), b.fromColor()) << given;
    }
}

TEST_F(GradientPaint, SlantedAnglesLeaveALineWidthOf3) {
    const std::pair<int, int> cases[] = {{0, 0}, {90, 0}, {45, 3}, {135, 3}, {225, 3}, {315, 3}};
    for (const auto& [angle, width] : cases) {
        reset();
        Gradient g(kFrom, kTo, Gradient::LINEAR, angle);
        paint(g);
        XGCValues v{};
        ASSERT_TRUE(XGetGCValues(dpy, gc, GCLineWidth, &v));
        EXPECT_EQ(width, v.line_width) << angle;
    }
}

TEST_F(GradientPaint, RectangularOutlinesStartAtTheEdgeInTheToColour) {
    Gradient g(kFrom, kTo, Gradient::RECTANGULAR, 0);
    paint(g);
    const auto img = grabArea();
    EXPECT_EQ(pixelOf(kTo), at(img, 0, 0));
    EXPECT_EQ(pixelOf(kTo), at(img, 0, GH / 2));
    EXPECT_EQ(pixelOf(kTo), at(img, GW / 2, 0));
}

} // namespace
