// DrawRect on a real image holder: the object chooser, drawing through the
// holder's repaint, the handle protocol of moves and resizes with its XOR
// band on the holder's window, the property rows applied through the view,
// and the locked frame.
#include "objects/draw/DrawRect.h"

#include "canvas/DrawTools.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"

#include <QComboBox>
#include <QSignalSpy>

#include "ObjectTestSupport.h"
// Xlib names a constant after the Qt enumeration used below.
#undef CursorShape

#include <gtest/gtest.h>

namespace {

using objecttest::ImagePtr;

class DrawRectOnHolder : public objecttest::HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        DrawTools::currentlySelectedObject = SELECTION;
        // Live object 0 is the frame object; a plain object stands in for it.
        internals(holder).vObjectList.push_back(new DrawTools(nullptr, nullptr));
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        HolderTest::TearDown();
    }

    // A loaded rectangle made live and selected, as the holder does on a hit.
    DrawRect* addSelected(int l, int t, int r, int b, int shape = DrawRect::SHAPE_RECTANGLE) {
        sDrawRect p;
        p.left = l;
        p.top = t;
        p.right = r;
        p.bottom = b;
        p.shape = shape;
        p.borderWidth = 1;
        p.borderRed = 255;
        p.fillGreen = 255;
        p.name = "Live";
        auto* object = new DrawRect(holder, p);
        internals(holder).vObjectList.push_back(object);
        internals(holder).vSelectedObjectIndex = {int(holder->liveObjects().size()) - 1};
        holder->setObjectSelection(true);
        holder->setCurrentObject(object);
        return object;
    }
    QRect geometry(const DrawRect* r) const {
        const sDrawRect& s = r->payload();
        return QRect(s.left, s.top, s.right - s.left, s.bottom - s.top);
    }
    unsigned long pixel(int r, int g, int b) const {
        XColor c{};
        c.red = static_cast<unsigned short>(r * 257);
        c.green = static_cast<unsigned short>(g * 257);
        c.blue = static_cast<unsigned short>(b * 257);
        XAllocColor(checker, DefaultColormap(checker, DefaultScreen(checker)), &c);
        return c.pixel;
    }
    unsigned long at(const ImagePtr& img, int x, int y) const {
        const Visual* v = DefaultVisual(checker, DefaultScreen(checker));
        return XGetPixel(img.get(), x, y) & (v->red_mask | v->green_mask | v->blue_mask);
    }
    // Pixels of the window that differ from the holder's pixmap.
    long xorTrace() {
        const QRect r(0, 0, 400, 300);
        return differences(grabWindow(r), grabPixmap(r));
    }
    void repaintHolder() {
        holder->drawContents();
        QTest::qWait(30);
        QCoreApplication::processEvents();
    }
};

TEST_F(DrawRectOnHolder, NewAndPastedObjectsJoinTheObjectChooser) {
    QComboBox* chooser = view->_get_editprop_box()->objectChooser;
    chooser->clear();
    chooser->addItem("Frame 1");
    DrawRect made(holder, holder, DrawRect::SHAPE_ELLIPSE, 2);
    EXPECT_EQ(2, chooser->count());
    EXPECT_EQ("Ellipse 2", chooser->itemText(1));
    EXPECT_EQ(1, made.getIndex());
    NVAllObjects rec;
    made.getAllObjectStructure(&rec);
    DrawRect pasted(holder, rec, 3, QPoint(5, 5));
    EXPECT_EQ("Ellipse 3", chooser->itemText(2));
    // A loaded object is listed by the holder, not by itself.
    DrawRect loaded(holder, *rec.get<sDrawRect>());
    EXPECT_EQ(3, chooser->count());
}

TEST_F(DrawRectOnHolder, RepaintDrawsTheShapeThenItsHandles) {
    addSelected(40, 50, 120, 110);
    repaintHolder();
    ImagePtr img = grabPixmap(QRect(0, 0, 200, 200));
    EXPECT_EQ(pixel(255, 0, 0), at(img, 40, 50 + 30));
    EXPECT_EQ(pixel(0, 255, 0), at(img, 80, 80));
    EXPECT_EQ(pixel(0, 0, 255), at(img, 36, 46));   // handle 1
    EXPECT_EQ(pixel(0, 0, 255), at(img, 123, 113)); // handle 4
    holder->setObjectSelection(false);
    repaintHolder();
    img = grabPixmap(QRect(0, 0, 200, 200));
    EXPECT_NE(pixel(0, 0, 255), at(img, 36, 46));
    EXPECT_EQ(0, xorTrace());
}

TEST_F(DrawRectOnHolder, ResizeByTheBottomRightHandleShowsOneBandAndTakesItAtTheRelease) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    repaintHolder();
    QSignalSpy widths(r, &DrawTools::signalSetWidth);
    press(r, {123, 113});
    EXPECT_EQ(Qt::SizeFDiagCursor, holder->cursor().shape());
    EXPECT_EQ(0, xorTrace()); // nothing drawn at the press
    drag(r, {150, 140});
    drag(r, {173, 153});
    // Only the last band is on the window: its outline of 2 x (w + h) pixels.
    EXPECT_EQ(2 * (130 + 100), xorTrace());
    EXPECT_EQ(QRect(40, 50, 80, 60), geometry(r)); // unchanged during the drag
    release(r, {173, 153});
    EXPECT_EQ(QRect(40, 50, 130, 100), geometry(r));
    EXPECT_EQ(Qt::ArrowCursor, holder->cursor().shape());
    EXPECT_EQ("130", r->getEditPropertyBase()->getPropValue("Width"));
    EXPECT_EQ("100", r->getEditPropertyBase()->getPropValue("Height"));
    ASSERT_GE(widths.count(), 2);
    EXPECT_EQ(130, widths.last().at(0).toInt());
    repaintHolder();
    EXPECT_EQ(0, xorTrace());
}

TEST_F(DrawRectOnHolder, ReturningToThePressPointLeavesNoStaleBand) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    repaintHolder();
    press(r, {80, 80});
    drag(r, {100, 90});
    drag(r, {80, 80});
    // The band is the object's own rectangle again, drawn once.
    EXPECT_EQ(2 * (80 + 60), xorTrace());
    release(r, {80, 80});
    EXPECT_EQ(QRect(40, 50, 80, 60), geometry(r));
}

TEST_F(DrawRectOnHolder, DragInsideMovesTheObject) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    repaintHolder();
    press(r, {80, 80});
    EXPECT_EQ(Qt::ArrowCursor, holder->cursor().shape());
    drag(r, {90, 90});
    EXPECT_EQ(Qt::SizeAllCursor, holder->cursor().shape());
    release(r, {90, 90});
    EXPECT_EQ(QRect(50, 60, 80, 60), geometry(r));
    EXPECT_TRUE(holder->checkObjectSelection());
}

TEST_F(DrawRectOnHolder, APressOutsideClearsTheSelectionAndDragsNothing) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    repaintHolder();
    press(r, {300, 250});
    EXPECT_FALSE(holder->checkObjectSelection());
    drag(r, {320, 260});
    EXPECT_EQ(0, xorTrace());
    release(r, {320, 260});
    EXPECT_EQ(QRect(40, 50, 80, 60), geometry(r));
    // Without the selection flag hovering tests no handles.
    hover(r, {123, 113});
    EXPECT_NE(Qt::SizeFDiagCursor, holder->cursor().shape());
}

TEST_F(DrawRectOnHolder, HoveringOverHandlesShowsTheirCursors) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    const struct {
        QPoint at;
        Qt::CursorShape shape;
    } rows[] = {{{36, 46}, Qt::SizeFDiagCursor}, {{123, 46}, Qt::SizeBDiagCursor},
                {{80, 46}, Qt::SizeVerCursor},   {{36, 80}, Qt::SizeHorCursor},
                {{80, 80}, Qt::ArrowCursor},     {{37, 113}, Qt::SizeBDiagCursor}};
    for (const auto& row : rows) {
        hover(r, row.at);
        EXPECT_EQ(row.shape, holder->cursor().shape()) << row.at.x() << "," << row.at.y();
    }
}

TEST_F(DrawRectOnHolder, ResizeBelowFiveIsFive) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    press(r, {123, 113});
    drag(r, {10, 10});
    release(r, {10, 10});
    EXPECT_EQ(QRect(40, 50, 5, 5), geometry(r));
}

TEST_F(DrawRectOnHolder, CreationDragDrawsItsBandAndFixesTheEdges) {
    DrawTools::currentlySelectedObject = RECTANGLE;
    holder->setObjectSelection(false);
    internals(holder).vSelectedObjectIndex.clear();
    repaintHolder();
    auto* r = new DrawRect(holder, holder, DrawRect::SHAPE_RECTANGLE, 1);
    internals(holder).vObjectList.push_back(r);
    press(r, {200, 150});
    drag(r, {150, 120});
    drag(r, {100, 100});
    EXPECT_EQ(2 * (100 + 50), xorTrace());
    release(r, {100, 100});
    EXPECT_EQ(QRect(100, 100, 100, 50), geometry(r));
    EXPECT_TRUE(r->keepWithinVLI());
    repaintHolder();
    EXPECT_EQ(0, xorTrace());
}

TEST_F(DrawRectOnHolder, GroupMoveOutlinesFollowAndErase) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    repaintHolder();
    r->updatePosition(5, 0);
    EXPECT_EQ(2 * (80 + 60), xorTrace());
    r->updatePosition(5, 0);
    EXPECT_EQ(2 * (80 + 60), xorTrace()); // the first outline was erased
    EXPECT_EQ(QRect(50, 50, 80, 60), geometry(r));
    repaintHolder();
    EXPECT_EQ(0, xorTrace());
}

TEST_F(DrawRectOnHolder, RowsEditedInTheBoxReachTheObjectAndItsDrawing) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    repaintHolder();
    r->getEditPropertyBase()->setProp_Value("Fill Color", "#0000ff");
    r->getEditPropertyBase()->setProp_Value("Left", "200");
    view->repaintItem(r, "Left");
    QTest::qWait(30);
    EXPECT_EQ(QRect(200, 50, 80, 60), geometry(r));
    ImagePtr img = grabPixmap(QRect(0, 0, 400, 200));
    EXPECT_EQ(pixel(0, 0, 255), at(img, 240, 80));
    EXPECT_NE(pixel(0, 255, 0), at(img, 80, 80));
    // The holder's current object is the selection again.
    EXPECT_EQ(r, holder->currentObject());
}

TEST_F(DrawRectOnHolder, ALockedFrameIgnoresTheMouse) {
    DrawRect* r = addSelected(40, 50, 120, 110);
    internals(holder).editDisabled = true;
    press(r, {80, 80});
    drag(r, {120, 120});
    release(r, {120, 120});
    EXPECT_EQ(QRect(40, 50, 80, 60), geometry(r));
    EXPECT_EQ(0, xorTrace());
    internals(holder).editDisabled = false;
}

} // namespace
