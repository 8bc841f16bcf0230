#include "canvas/VLImageHolder.h"
#include "canvas/DrawTools.h"
#include "canvas/VLCanvas.h"
#include "canvas/VelmoraDoc.h"
#include "canvas/VelmoraView.h"

#include "properties/EditPropertyBox.h"

#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>

// Xlib last: it defines names Qt headers use.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;
using canvastest::ImagePtr;
using canvastest::patternPixel;

TEST_F(HolderTest, WindowShowsThePixmapAfterADraw) {
    showPattern(1024, 768);
    holder->drawContents();
    settle();
    EXPECT_EQ(QSize(1024, 768), holder->size()) << "the holder takes the image's size";
    EXPECT_EQ(0, windowMismatches());
    EXPECT_EQ(0, windowPatternMismatches());
}

TEST_F(HolderTest, SurvivesCoverUncoverAndQtRepaints) {
    showPattern(1024, 768);
    ASSERT_EQ(0, windowPatternMismatches());

    // Another client's window over the canvas, then gone: the server keeps
    // nothing for the uncovered area, the holder redraws it on Expose.
    const QRect covered = toGlobal(visibleHolderRect()).adjusted(20, 20, -20, -20);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0x00FF00;
    Window cover = XCreateWindow(checker, DefaultRootWindow(checker), covered.x(), covered.y(),
                                 unsigned(covered.width()), unsigned(covered.height()), 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(checker, cover);
    XSync(checker, False);
    settle(150);
    XDestroyWindow(checker, cover);
    XSync(checker, False);
    settle(200);
    EXPECT_EQ(0, windowPatternMismatches()) << "after cover and uncover";

    holder->update();
    holder->repaint();
    view->update();
    canvas->viewport()->update();
    settle();
    EXPECT_EQ(0, windowPatternMismatches()) << "after Qt updates and repaints";

    view->resize(640, 480);
    settle();
    EXPECT_EQ(0, windowPatternMismatches()) << "after a resize of the top-level";
}

TEST_F(HolderTest, XorRubberBandDrawnTwiceLeavesTheImage) {
    showPattern(1024, 768);
    holder->initGC();
    GC first = holder->drawTarget().xorGC;
    holder->initGC();
    EXPECT_EQ(first, holder->drawTarget().xorGC) << "a second initGC makes no second context";
    ASSERT_TRUE(internals(holder).gcCreated);
    const VLImageHolder::DrawTarget t = holder->drawTarget();
    ASSERT_NE(0ul, t.window);

    const QRect band(30, 40, 200, 120);
    XDrawRectangle(t.display, t.window, t.xorGC, band.x(), band.y(), unsigned(band.width()),
                   unsigned(band.height()));
    XFlush(t.display);
    XSync(t.display, False);
    ImagePtr drawn = grabScreen(toGlobal(QRect(band.topLeft(), QSize(band.width() + 1, 1))));
    const unsigned long x = holder->xorForeground();
    EXPECT_NE(0ul, x);
    EXPECT_EQ(0,
              mismatches(drawn.get(), [&](int px, int) { return patternPixel(px + band.x(), band.y()) ^ x; }))
        << "the band's edge is the image XOR the band pixel";

    XDrawRectangle(t.display, t.window, t.xorGC, band.x(), band.y(), unsigned(band.width()),
                   unsigned(band.height()));
    XSync(t.display, False);
    EXPECT_EQ(0, windowPatternMismatches()) << "drawn twice, the band is gone";
}

TEST_F(HolderTest, ChildWidgetStaysIntact) {
    showPattern(1024, 768);
    auto* child = new QLineEdit(holder);
    child->setAttribute(Qt::WA_NativeWindow);
    child->setText("validation");
    child->setGeometry(50, 60, 180, 30);
    QPalette p = child->palette();
    p.setColor(QPalette::Base, QColor(0, 0, 255));
    child->setPalette(p);
    child->show();
    settle();
    const QRect inside = toGlobal(QRect(QPoint(55, 62), QSize(4, 4)));
    ImagePtr before = grabScreen(inside);

    holder->drawContents();
    holder->repaint();
    settle();
    ImagePtr after = grabScreen(inside);
    EXPECT_EQ(0, mismatches(after.get(), before.get())) << "the holder's copies do not paint over the child";
    EXPECT_EQ(0, mismatches(after.get(), [](int, int) { return 0x0000FFul; }))
        << "the child shows its own colour";
    // Around the child the frame is intact.
    ImagePtr outside = grabScreen(toGlobal(QRect(10, 10, 30, 30)));
    EXPECT_EQ(0, mismatches(outside.get(), [](int x, int y) { return patternPixel(x + 10, y + 10); }));
}

TEST_F(HolderTest, ModeZeroStoresOnlyAndTheNextDrawPutsIt) {
    ImagePtr blackBefore = grabPixmap(QRect(0, 0, 64, 64));
    showPattern(800, 600, 0);
    EXPECT_EQ(image.get(), holder->shownImage());
    EXPECT_EQ(QSize(800, 600), holder->size());
    ImagePtr stillBlack = grabPixmap(QRect(0, 0, 64, 64));
    EXPECT_EQ(0, mismatches(stillBlack.get(), blackBefore.get())) << "mode 0 does not touch the pixmap";
    EXPECT_EQ(0, mismatches(stillBlack.get(), [](int, int) { return 0ul; }));

    holder->drawContents();
    ImagePtr put = grabPixmap(QRect(0, 0, 800, 600));
    EXPECT_EQ(0, mismatches(put.get(), [](int x, int y) { return patternPixel(x, y); }));
}

TEST_F(HolderTest, ImageSmallerThan1024x768IsPutWholeAndNoMore) {
    showPattern(640, 480);
    EXPECT_EQ(QSize(640, 480), holder->size());
    ImagePtr put = grabPixmap(QRect(0, 0, 641, 481));
    EXPECT_EQ(
        0, mismatches(put.get(), [](int x, int y) { return x < 640 && y < 480 ? patternPixel(x, y) : 0ul; }));
    EXPECT_EQ(0, windowMismatches());
    ASSERT_TRUE(internals(holder).screenRegion);
    EXPECT_EQ(QRect(0, 0, 1024, 768), internals(holder).screenRegion->boundingRect());
}

TEST_F(HolderTest, SelectionHandlesOnlyWhenSelectionIsShown) {
    showPattern(320, 200);
    QSignalSpy cutCopy(holder, &VLImageHolder::signalEnableCutCopy);
    internals(holder).vSelectedObjectIndex = {0};
    holder->setObjectSelection(false);
    holder->drawContents();
    EXPECT_EQ(0, cutCopy.count());
    holder->setObjectSelection(true);
    holder->drawContents();
    EXPECT_EQ(1, cutCopy.count());
    // A new image empties the selection.
    canvas->setImageClient(QPixmap(), image.get(), 0);
    EXPECT_TRUE(holder->selectedIndexes().empty());
}

TEST_F(HolderTest, HolderNeverDestroysTheImageItShows) {
    showPattern(64, 64);
    XImage* shown = image.get();
    view.reset(); // destroys canvas and holder
    // Still ours: reading and destroying it must be fine (ASan catches a double free).
    EXPECT_EQ(64, shown->width);
    EXPECT_EQ(patternPixel(3, 4), XGetPixel(shown, 3, 4) & 0xFFFFFF);
}

TEST_F(HolderTest, CanvasFollowsTheViewAndScrollsOnlyForALargeHolder) {
    view->resize(600, 400);
    settle();
    EXPECT_EQ(view->rect(), canvas->geometry());
    showPattern(300, 200, 0);
    settle();
    EXPECT_FALSE(canvas->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(canvas->verticalScrollBar()->isVisible());
    showPattern(1024, 768, 0);
    settle();
    EXPECT_TRUE(canvas->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(canvas->verticalScrollBar()->isVisible());

    // Scrolled, the window still shows the pixmap at the right place.
    holder->drawContents();
    canvas->horizontalScrollBar()->setValue(200);
    canvas->verticalScrollBar()->setValue(150);
    settle();
    EXPECT_EQ(0, windowPatternMismatches());
}

TEST_F(HolderTest, DocumentIsNeverModified) {
    EXPECT_FALSE(doc.isModified());
    QSignalSpy changed(&doc, &VelmoraDoc::documentChanged);
    EXPECT_TRUE(doc.load("colours"));
    EXPECT_EQ(1, changed.count());
    EXPECT_TRUE(doc.save());
    EXPECT_FALSE(doc.isModified());
}

// A screen larger than 1024 x 768: the whole frame image reaches the pixmap
// and the window, not just its top-left 1024 x 768.
class LargeScreenHolderTest : public HolderTest {
  protected:
    testsupport::ScreenSpec screen() const override { return {1280, 1024, 24, {}}; }
};

// The property box's screen size is the private server's, at either size.
TEST_F(HolderTest, PropertyBoxScreenSizeComesFromTheDisplay) {
    EXPECT_EQ(view->getScreenResolution(), QSize(1024, 768));
}
TEST_F(LargeScreenHolderTest, PropertyBoxScreenSizeComesFromTheDisplay) {
    EXPECT_EQ(view->getScreenResolution(), QSize(1280, 1024));
}

TEST_F(LargeScreenHolderTest, ImageLargerThan1024x768IsPutWhole) {
    view->setGeometry(0, 0, 1280, 1024);
    showPattern(1280, 1024);
    EXPECT_EQ(QSize(1280, 1024), holder->size());
    ImagePtr corner = grabPixmap(QRect(1024, 768, 256, 256));
    EXPECT_EQ(0, mismatches(corner.get(), [](int x, int y) { return patternPixel(x + 1024, y + 768); }));
    EXPECT_EQ(0, windowMismatches());
    EXPECT_EQ(0, windowPatternMismatches());
}

} // namespace

namespace {

// An object that fills its rectangle in one pixel when drawn into the pixmap
// and marks its handles with another when selected.
class FillObject : public DrawTools {
  public:
    FillObject(QWidget* parent, int32_t kind, QRect r, unsigned long pixel)
        : DrawTools(parent, "fill"), m_rect(r), m_pixel(pixel) {
        drawingObject = kind;
        hide();
    }
    void draw(_XDisplay* d, _XGC* gc, unsigned long& drawable) override {
        ++draws;
        XSetForeground(d, gc, m_pixel);
        XFillRectangle(d, drawable, gc, m_rect.x(), m_rect.y(), unsigned(m_rect.width()),
                       unsigned(m_rect.height()));
    }
    void select(_XDisplay* d, _XGC* gc, unsigned long& drawable) override {
        ++selects;
        XSetForeground(d, gc, 0xFFFFFF);
        XFillRectangle(d, drawable, gc, m_rect.x(), m_rect.y(), 3, 3);
    }
    int draws = 0;
    int selects = 0;

  private:
    QRect m_rect;
    unsigned long m_pixel;
};

TEST_F(HolderTest, DrawContentsDrawsEveryLiveObjectButTheFrameObject) {
    showPattern(400, 300, 0);
    struct Case {
        int32_t kind;
        bool drawn;
        bool shown;
    };
    const Case cases[] = {
        {FRAMEOBJECT, false, false}, // index 0: never drawn
        {LINE, true, false},           {RECTANGLE, true, false}, {ROUNDRECT, true, false},
        {ELLIPSE, true, false},        {HYPERLINK, true, false}, {MOUSECLICK, true, false},
        {POLYLINE, true, false},       {TEXTFIELD, true, true},  {VALIDATIONFIELD, false, true},
        {INSTRUCTIONBOX, false, true}, {BITMAP, false, true},    {PENCIL, false, false},
    };
    std::vector<FillObject*> objects;
    int i = 0;
    for (const Case& c : cases) {
        auto* o = new FillObject(holder, c.kind, QRect(10 + 20 * i, 10, 10, 10), 0x102030ul + unsigned(i));
        internals(holder).vObjectList.push_back(o);
        objects.push_back(o);
        ++i;
    }
    internals(holder).vSelectedObjectIndex = {2};
    holder->setObjectSelection(true);
    holder->drawContents();
    ImagePtr put = grabPixmap(QRect(0, 0, 400, 40));
    for (size_t k = 0; k < objects.size(); ++k) {
        const Case& c = cases[k];
        EXPECT_EQ(c.drawn ? 1 : 0, objects[k]->draws) << "kind " << c.kind;
        EXPECT_EQ(c.shown, objects[k]->isVisible()) << "kind " << c.kind;
        const unsigned long at = XGetPixel(put.get(), 15 + 20 * int(k), 15) & 0xFFFFFF;
        EXPECT_EQ(c.drawn ? 0x102030ul + k : patternPixel(15 + 20 * int(k), 15), at) << "kind " << c.kind;
    }
    EXPECT_EQ(1, objects[2]->selects) << "handles of the selected object";
    EXPECT_EQ(0, objects[1]->selects);
    EXPECT_EQ(0xFFFFFFul, XGetPixel(put.get(), 50, 10) & 0xFFFFFF);
    // The view hands the property box the one selected object, else the frame object.
    EXPECT_EQ(objects[2], view->getSelectedItem());
    internals(holder).vSelectedObjectIndex = {2, 1};
    EXPECT_EQ(objects[0], view->getSelectedItem());
    EXPECT_EQ(1, view->getNumValidationFields());
    EXPECT_EQ(RECTANGLE, view->drawingObject(objects[2]));
    EXPECT_NE(nullptr, view->getEditPropertyBase(objects[2]));
}

} // namespace

namespace {
TEST_F(HolderTest, ViewOwnsAModelessPropertyBox) {
    EditPropertyBox* box = view->_get_editprop_box();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(view.get(), box->parentWidget());
    EXPECT_FALSE(box->isModal());
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(canvas, view->_get_vlCanvas());
    EXPECT_EQ(QStringLiteral("Canvas"), canvas->objectName());
    EXPECT_EQ(view.get(), holder->getVelmoraView());
}
} // namespace

namespace {
// A 16-bit screen: the pixmap, the image and the window share its depth.
class Depth16HolderTest : public HolderTest {
  protected:
    testsupport::ScreenSpec screen() const override { return {1024, 768, 16, {}}; }
};

TEST_F(Depth16HolderTest, WindowShowsThePixmapAfterADraw) {
    showPattern(1024, 768);
    holder->drawContents();
    settle();
    EXPECT_EQ(16, image->depth);
    EXPECT_EQ(0, windowMismatches());
    EXPECT_EQ(0, windowPatternMismatches());
}
} // namespace
