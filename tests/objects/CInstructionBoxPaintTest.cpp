// Instruction box pixels on a private Xvfb: the title bar is navy with the
// caption in white; a hidden title bar leaves the whole box to the text.
#include "InteractiveTestHost.h"
#include "objects/interactive/CEditInstructionBox.h"
#include "objects/interactive/CEditInstructionBoxLabel.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CInstructionBox.h"
#include "properties/EditPropertyBase.h"

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

namespace {

using objecttest::ImagePtr;

class InstructionBoxPaint : public objecttest::HolderTest {
  protected:
    static constexpr unsigned long kNavy = 0x000080;
    static constexpr unsigned long kWhite = 0xFFFFFF;
    const QRect place{60, 40, 320, 160};

    // The colours of the box's pixels, 0xRRGGBB, once the server shows them.
    ImagePtr shown(CInstructionBox& box, const std::function<bool(const ImagePtr&)>& ready) {
        ImagePtr img;
        for (int i = 0; i < 100; ++i) {
            QTest::qWait(30);
            img = grabWindow(place);
            if (img && ready(img))
                break;
        }
        (void)box;
        return img;
    }
    static unsigned long rgb(const ImagePtr& img, int x, int y) {
        return XGetPixel(img.get(), x, y) & 0xFFFFFF;
    }
    // Pixels near white (the caption's, smoothed at its edges).
    static int bright(const ImagePtr& img, QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const unsigned long p = rgb(img, x, y);
                n += (p >> 16) > 0xC0 && ((p >> 8) & 0xFF) > 0xC0 && (p & 0xFF) > 0xC0;
            }
        return n;
    }
    // Pixels of a colour in a rectangle of the image.
    static int count(const ImagePtr& img, QRect r, unsigned long colour) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += rgb(img, x, y) == colour;
        return n;
    }
};

TEST_F(InstructionBoxPaint, NavyTitleBarWithWhiteCaptionAndWithoutIt) {
    interactivetest::FakeHost host;
    host.editorWidget = holder;
    CInstructionBox box(holder, holder, holder, 1);
    box.restoreGeometry(place);
    box.getEditPropertyBase()->setProp_Value("Caption", "Step 1");
    box.repaintItem();
    box.show();
    const QRect bar = box.editor()->label()->geometry();
    ASSERT_GT(bar.height(), 8);
    const QRect inside = box.editor()->contentsRect().adjusted(2, 2, -2, -2);
    EXPECT_EQ(inside.top(), bar.top()) << "inside the 2-pixel margin";
    // Right of the emblem and the caption, the bar is navy.
    const QRect plain(bar.right() - 40, bar.top() + 3, 30, bar.height() - 6);
    ImagePtr img = shown(
        box, [&](const ImagePtr& i) { return count(i, plain, kNavy) == plain.width() * plain.height(); });
    ASSERT_TRUE(img);
    EXPECT_EQ(plain.width() * plain.height(), count(img, plain, kNavy));
    // The caption, centred: white pixels in the middle of the bar and none
    // at its right end.
    const QRect middle(bar.center().x() - 40, bar.top() + 2, 80, bar.height() - 4);
    EXPECT_GT(bright(img, middle), 10);
    EXPECT_EQ(0, count(img, plain, kWhite));
    // Below the bar the entry's white page.
    const QRect text(20, bar.bottom() + 10, 200, 40);
    EXPECT_EQ(text.width() * text.height(), count(img, text, kWhite));

    box.getEditPropertyBase()->setProp_Value("Title Bar", "Off");
    box.repaintItem();
    const QRect top(10, 4, place.width() - 30, bar.height() - 4);
    img = shown(box, [&](const ImagePtr& i) { return count(i, top, kNavy) == 0; });
    ASSERT_TRUE(img);
    EXPECT_EQ(0, count(img, top, kNavy));
    EXPECT_EQ(top.width() * top.height(), count(img, top, kWhite));
    // The entry fills the box inside the margin.
    EXPECT_EQ(inside, box.editor()->entry()->geometry());
}

} // namespace
