// The main window's frame fill: a colour change refills blank frames only,
// the gradient switch paints over the plain fill, and the gradient set-up
// dialog is made through the maker the window installs.
#include "MainWindowFixture.h"

#include "canvas/FrameLoader.h"
#include "objects/draw/CGradientFillSetUp.h"
#include "objects/draw/XColorPixel.h"
#include "objects/interactive/InteractiveHost.h"
#include "properties/GradientDialogMaker.h"

#include <QDialog>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

using mainwin::MainWindowTest;

namespace {

class FrameFillTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        w->slotEditAppendFrames();
        ASSERT_EQ(1u, w->project().m_dwFrameCount);
        ASSERT_NE(nullptr, w->frameLoader());
        dpy = w->screenInfo().display;
        ASSERT_NE(nullptr, dpy);
    }
    unsigned long pixelOf(const QColor& c) const { return XColorPixel::pixelOf(dpy, c); }
    // Pixel (x, y) of the work buffer and of the edit image.
    std::pair<unsigned long, unsigned long> framePixel(int x, int y) {
        FrameLoader* loader = w->frameLoader();
        const int bpp = w->screenInfo().bytesPerPixel;
        unsigned long work = 0;
        std::memcpy(&work,
                    loader->store().workBuffer().data() +
                        (size_t(y) * size_t(w->screenInfo().width) + x) * bpp,
                    size_t(bpp));
        const unsigned long mask = bpp == 4 ? 0xFFFFFFul : 0xFFFFul;
        return {work & mask, XGetPixel(loader->frameImage(), x, y) & mask};
    }

    Display* dpy = nullptr;
};

TEST_F(FrameFillTest, AColourChangeRefillsBlankFramesOnly) {
    struct Case {
        const char* name;
        uint8_t flags;
        bool refilled;
    };
    const Case cases[] = {
        {"appended", PBF_APPENDED, true},
        {"inserted", PBF_INSERTED, true},
        {"recorded", PBF_KEY, false},
        {"recorded, no flags", 0, false},
    };
    InteractiveHost* host = InteractiveHost::current();
    ASSERT_NE(nullptr, host);
    const int frame = w->project().m_currentFrame;
    ASSERT_EQ(0, frame);
    const QColor before(40, 50, 60), after(200, 10, 90);
    for (const Case& c : cases) {
        w->fillFrameColor(pixelOf(before), Qt::white, Qt::white, 0, 0, false);
        ASSERT_EQ(pixelOf(before), framePixel(5, 5).first);
        w->project().m_vPlayBackFrameInfo[size_t(frame)].frameFlags = c.flags;
        host->changeFrameColor(after);
        const unsigned long expected = pixelOf(c.refilled ? after : before);
        EXPECT_EQ(expected, framePixel(5, 5).first) << c.name;
        EXPECT_EQ(expected, framePixel(5, 5).second) << c.name << ": the edit image";
        EXPECT_EQ(expected, framePixel(1000, 700).first) << c.name;
    }
}

TEST_F(FrameFillTest, TheGradientSwitchPaintsOverThePlainFill) {
    const QColor from(240, 0, 0), to(0, 0, 240), plain(22, 34, 199);
    const int width = w->screenInfo().width, height = w->screenInfo().height;
    w->fillFrameColor(pixelOf(plain), from, to, 0, 0, true);
    EXPECT_EQ(std::make_pair(pixelOf(from), pixelOf(from)), framePixel(0, height / 2)) << "linear, angle 0";
    EXPECT_NE(pixelOf(plain), framePixel(width - 1, 0).first);
    EXPECT_EQ(framePixel(width / 2, 0), framePixel(width / 2, height - 1)) << "one colour per column";

    w->fillFrameColor(pixelOf(plain), from, to, 0, 0, false);
    EXPECT_EQ(std::make_pair(pixelOf(plain), pixelOf(plain)), framePixel(0, height / 2)) << "switch off";
    EXPECT_EQ(pixelOf(plain), framePixel(width - 1, 0).first);
}

TEST_F(MainWindowTest, TheGradientDialogMakerMakesTheSetUpDialog) {
    QWidget parent;
    QDialog* d = GradientDialogMaker::make(&parent);
    ASSERT_NE(nullptr, qobject_cast<CGradientFillSetUp*>(d));
    EXPECT_EQ(&parent, d->parentWidget());
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ("SetUpGradientFill", d->windowTitle());
}

} // namespace
