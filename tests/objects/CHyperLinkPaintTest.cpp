// Hyperlink pixels on a private Xvfb: attribute and button styles, caption
// placement and clipping, Transparent, and the font fallbacks.
#include "objects/interactive/CHyperLink.h"

#include "canvas/DrawTools.h"
#include "properties/EditPropertyBase.h"

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

namespace {

using objecttest::ImagePtr;

class HyperLinkPaint : public objecttest::PixmapTest {
  protected:
    void SetUp() override {
        PixmapTest::SetUp();
        if (HasFatalFailure())
            return;
        background = rgb(10, 20, 30);
        back = rgb(199, 195, 199);
        white = rgb(255, 255, 255);
        black = rgb(0, 0, 0);
        fore = rgb(200, 0, 0);
        clear(background);
    }
    static sHyperLink link(int l, int t, int r, int b) {
        sHyperLink s;
        s.x = l;
        s.y = t;
        s.right = r;
        s.bottom = b;
        s.backColor = NVColor{199, 195, 199};
        s.foreColor = NVColor{200, 0, 0};
        s.font = NVFont{"courier", 18};
        return s;
    }
    ImagePtr paint(const sHyperLink& s) {
        CHyperLink::paint(dpy, gc, pixmap, s);
        return grab();
    }
    // Pixels of a colour in a rectangle.
    int count(const ImagePtr& img, QRect r, unsigned long pixel) const {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += at(img, x, y) == pixel;
        return n;
    }
    unsigned long background = 0, back = 0, white = 0, black = 0, fore = 0;
};

TEST_F(HyperLinkPaint, AttributeStylesDrawTheirEdges) {
    const struct {
        int attribute;
        QPoint point;
        bool white, black, back;
    } cases[] = {
        {0, {60, 20}, true, false, false},  // 3D: white top edge
        {0, {120, 40}, false, true, false}, // 3D: black right edge
        {0, {40, 40}, false, false, true},  // inside
        {1, {20, 45}, false, true, false},  // Rounded: black left side
        {1, {60, 45}, false, false, true},
        {2, {124, 40}, false, true, false}, // Shadowed: the shadow right of the button
        {3, {60, 20}, false, true, false},  // Rectangle: black outline
        {4, {60, 20}, false, false, true},  // Clear: fill only
        {5, {119, 40}, false, false, true}, // Windows 98: fill only
    };
    for (const auto& c : cases) {
        clear(background);
        sHyperLink s = link(20, 20, 120, 70);
        s.attribute = uint8_t(c.attribute);
        s.caption.clear();
        const ImagePtr img = paint(s);
        const unsigned long p = at(img, c.point.x(), c.point.y());
        const unsigned long expected = c.white ? white : c.black ? black : back;
        EXPECT_EQ(expected, p) << c.attribute;
    }
}

TEST_F(HyperLinkPaint, TransparentKeepsTheBackground) {
    sHyperLink s = link(20, 20, 120, 70);
    s.transparent = 1;
    s.attribute = 4;
    s.caption.clear();
    const ImagePtr img = paint(s);
    EXPECT_EQ(background, at(img, 60, 45));
}

TEST_F(HyperLinkPaint, ButtonStylesDrawTheirMarks) {
    sHyperLink s = link(20, 20, 120, 70);
    s.caption.clear();
    s.buttonStyle = 2;
    ImagePtr img = paint(s);
    EXPECT_EQ(white, at(img, 20 + 24, 45)); // the check box's white square
    clear(background);
    s.buttonStyle = 1;
    img = paint(s);
    EXPECT_EQ(white, at(img, 20 + 24, 45)); // the radio circle
    clear(background);
    s.buttonStyle = 0;
    img = paint(s);
    EXPECT_EQ(back, at(img, 20 + 24, 45));
}

TEST_F(HyperLinkPaint, CaptionFollowsAlignmentAndStaysInsideTheButton) {
    const struct {
        int align;
        QRect where;
    } cases[] = {{0, {20, 20, 50, 50}}, {2, {70, 20, 50, 50}}, {1, {40, 20, 60, 50}}};
    for (const auto& c : cases) {
        clear(background);
        sHyperLink s = link(20, 20, 120, 70);
        s.caption = "ab";
        s.align = uint8_t(c.align);
        s.attribute = 4;
        const ImagePtr img = paint(s);
        EXPECT_GT(count(img, c.where, fore), 0) << c.align;
        EXPECT_EQ(0, count(img, {0, 0, 19, H}, fore)) << c.align;
        EXPECT_EQ(0, count(img, {121, 0, W - 121, H}, fore)) << c.align;
    }
}

TEST_F(HyperLinkPaint, NarrowRadioClipsItsWholeCaption) {
    sHyperLink s = link(20, 20, 50, 70); // W 30: the clip W - 40 is empty
    s.caption = "abcdef";
    s.buttonStyle = 1;
    s.align = 0;
    s.attribute = 4;
    const ImagePtr img = paint(s);
    EXPECT_EQ(0, count(img, {0, 0, W, H}, fore));
}

TEST_F(HyperLinkPaint, UnknownFamilyDrawsWithTheFallbackButKeepsTheAuthorsFont) {
    sHyperLink s = link(20, 20, 180, 70);
    s.caption = "Hello";
    s.attribute = 4;
    s.font = NVFont{"No Such Family", 12};
    const ImagePtr img = paint(s);
    EXPECT_GT(count(img, {20, 20, 160, 50}, fore), 0);
    // Drawing reads the record only: the author's font stays in it (the
    // "Font" row shows it, see the logic tests).
    EXPECT_EQ("No Such Family", s.font->family);
}

class HyperLinkBuiltInFonts : public HyperLinkPaint {
  protected:
    testsupport::ScreenSpec screen() const override {
        testsupport::ScreenSpec spec;
        spec.extraArgs = {"-fp", "built-ins"};
        return spec;
    }
};

TEST_F(HyperLinkBuiltInFonts, ServerWithoutCourierDrawsWithFixed) {
    sHyperLink s = link(20, 20, 180, 70);
    s.caption = "Hello";
    s.attribute = 4;
    const ImagePtr img = paint(s);
    EXPECT_GT(count(img, {20, 20, 160, 50}, fore), 0);
}

} // namespace
