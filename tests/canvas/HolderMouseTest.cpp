// Mouse interaction on the canvas and the link with the property box,
// driven with the events an author's mouse gives.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "objects/draw/DrawRect.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"
#include "store/DatRecords.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTabWidget>

// Before Xlib, which defines KeyPress.
static void sendKeyPress(QObject* receiver, Qt::Key key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &e);
}

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;

// A live object that answers as an unfinished creation does.
class UnfinishedObject : public DrawTools {
  public:
    UnfinishedObject() : DrawTools(nullptr, "unfinished") {}
    bool keepWithinVLI() override { return false; }
    const char* getObjectName() const override { return "Unfinished"; }
};

// A live object whose geometry is two end points, as a line keeps it.
class TwoPointObject : public DrawTools {
  public:
    TwoPointObject(QPoint a, QPoint b) : DrawTools(nullptr, "two points"), points({a, b}) {}
    QPolygon getArrayPoints() override { return points; }
    void restorePoly(QPolygon p) override { points = p; }
    void restoreGeometry(QRect) override { restoredAsRect = true; }
    QRegion getRegion() override { return QRegion(points.boundingRect()); }
    void updatePosition(int dx, int dy) override { points.translate(dx, dy); }
    using DrawTools::select;
    bool select(QPoint p) override { return getRegion().contains(p); }
    const char* getObjectName() const override { return "Two points"; }
    QPolygon points;
    QPoint dragBy;

  protected:
    // The object's own drag applies at the release.
    void mouseReleaseEvent(QMouseEvent*) override { points.translate(dragBy); }

  public:
    bool restoredAsRect = false;
};

class HolderMouseTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installHolderObjectKinds();
        showPattern(800, 600);
        holder->setPlaybackRecords(&playback);
        playback.assign(2, SPlayBackFrameInfo{});
        holder->get_no_frames(2);
        holder->addFrameStructureToList(1);
        holder->slot_get_current_frame(0);
        sLastObjectNumber counters = VLImageHolder::currentCounters();
        counters.numRects = 0;
        VLImageHolder::setCurrentCounters(counters);
        internals(holder).vLastObjectNumber[0] = sLastObjectNumber{};
    }

    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(holder->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &e);
    }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { send(QEvent::MouseButtonPress, p, b, b); }
    void moveTo(QPoint p, Qt::MouseButtons held = Qt::LeftButton) {
        send(QEvent::MouseMove, p, Qt::NoButton, held);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        send(QEvent::MouseButtonRelease, p, b, Qt::NoButton);
    }
    void drag(QPoint from, QPoint to) {
        press(from);
        moveTo(from + (to - from) / 2);
        moveTo(to);
        release(to);
    }
    // Draws a rectangle with the tool and goes back to the selection tool.
    void drawRect(QRect r) {
        holder->slot_select_draw_object(RECTANGLE);
        drag(r.topLeft(), r.topLeft() + QPoint(r.width(), r.height()));
        holder->slot_select_draw_object(SELECTION);
    }
    int chooserCount() const { return view->_get_editprop_box()->objectChooser->count(); }
    std::vector<SPlayBackFrameInfo> playback;
};

TEST_F(HolderMouseTest, ClickWithoutDragMakesNoRectangleAndTakesItsNumberBack) {
    holder->slot_select_draw_object(RECTANGLE);
    QSignalSpy region(holder, &VLImageHolder::signal_select_region);
    press(QPoint(50, 50));
    release(QPoint(50, 50));
    EXPECT_EQ(1u, holder->liveObjects().size());
    EXPECT_EQ(0, VLImageHolder::currentCounters().numRects);
    EXPECT_EQ(0, internals(holder).vLastObjectNumber[0].numRects);
    EXPECT_EQ(1, region.count());
    EXPECT_EQ(1, chooserCount());
    EXPECT_TRUE(internals(holder).stUndoCodes.empty());
}

TEST_F(HolderMouseTest, DragMakesOneObjectAndOneUndoRecordNotSelected) {
    holder->slot_select_draw_object(RECTANGLE);
    QSignalSpy undo(holder, &VLImageHolder::signalEnableUndo);
    drag(QPoint(50, 50), QPoint(150, 120));
    ASSERT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(RECTANGLE, holder->liveObjects()[1]->drawingObject);
    EXPECT_STREQ("R1", holder->liveObjects()[1]->getObjectIDText());
    ASSERT_EQ(2u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ("R1", holder->allObjects()[0].AllObjects[1].objectID);
    ASSERT_EQ(1u, internals(holder).stUndoCodes.size());
    EXPECT_EQ(UNDO_CREATION, internals(holder).stUndoCodes.top());
    EXPECT_EQ(1, internals(holder).stObjectIndexes.top());
    EXPECT_EQ(1, undo.count());
    EXPECT_TRUE(holder->selectedIndexes().empty());
    EXPECT_EQ(2, chooserCount());
    EXPECT_EQ(1, internals(holder).vLastObjectNumber[0].numRects);
    const sDrawRect* r = holder->allObjects()[0].AllObjects[1].get<sDrawRect>();
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(QRect(50, 50, 100, 70),
              QRect(QPoint(r->left, r->top), QPoint(r->right, r->bottom) - QPoint(1, 1)));
}

TEST_F(HolderMouseTest, DragReleasedInItsStartColumnOrRowMakesNothing) {
    const QPoint ends[] = {QPoint(50, 120), QPoint(150, 50)};
    for (QPoint end : ends) {
        holder->slot_select_draw_object(RECTANGLE);
        drag(QPoint(50, 50), end);
        EXPECT_EQ(1u, holder->liveObjects().size()) << end.x() << "," << end.y();
        EXPECT_EQ(0, VLImageHolder::currentCounters().numRects);
        EXPECT_EQ(1, chooserCount());
        EXPECT_TRUE(internals(holder).stUndoCodes.empty());
    }
}

TEST_F(HolderMouseTest, BandSelectsInDescendingOrderAndAnEmptyBandNothing) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    drawRect(QRect(300, 300, 40, 40));
    ASSERT_EQ(4u, holder->liveObjects().size());
    drag(QPoint(10, 10), QPoint(200, 100));
    EXPECT_EQ(std::vector<int>({2, 1}), holder->selectedIndexes());
    EXPECT_TRUE(holder->checkObjectSelection());

    drag(QPoint(10, 10), QPoint(10, 400));
    EXPECT_TRUE(holder->selectedIndexes().empty());
    EXPECT_FALSE(holder->checkObjectSelection());
}

TEST_F(HolderMouseTest, PressOnTheClickTargetDoesNotSelectItAndTheReleaseDoes) {
    playback[1].vType = VALIDATION_MOUSE;
    playback[1].clickRect = SRect{200, 200, 260, 240};
    holder->slot_get_current_frame(1);
    ASSERT_EQ(2u, holder->liveObjects().size());
    press(QPoint(230, 220));
    EXPECT_TRUE(holder->selectedIndexes().empty());
    release(QPoint(230, 220));
    EXPECT_EQ(std::vector<int>({1}), holder->selectedIndexes());
}

TEST_F(HolderMouseTest, GroupMoveMakesOneUndoRecordForAllObjects) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    while (!internals(holder).stUndoCodes.empty())
        internals(holder).stUndoCodes.pop();
    drag(QPoint(10, 10), QPoint(200, 100));
    ASSERT_EQ(2u, holder->selectedIndexes().size());
    press(QPoint(30, 30));
    moveTo(QPoint(35, 30));
    moveTo(QPoint(40, 30));
    release(QPoint(40, 30));
    const sDrawRect* a = static_cast<DrawRect*>(holder->liveObjects()[1])->record().get<sDrawRect>();
    const sDrawRect* b = static_cast<DrawRect*>(holder->liveObjects()[2])->record().get<sDrawRect>();
    EXPECT_EQ(30, a->left);
    EXPECT_EQ(110, b->left);
    EXPECT_EQ(2u, internals(holder).stUndoCodes.size());
    EXPECT_EQ(1u, internals(holder).stGeometryCounts.size());
    EXPECT_EQ(2, internals(holder).stGeometryCounts.top());
    EXPECT_EQ(2u, internals(holder).stRects.size());
}

TEST_F(HolderMouseTest, ToolChoiceAndSelection) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(100, 20, 40, 40));
    drag(QPoint(10, 10), QPoint(200, 100));
    ASSERT_EQ(2u, holder->selectedIndexes().size());
    holder->slot_select_draw_object(SELECTION);
    EXPECT_EQ(2u, holder->selectedIndexes().size()) << "the selector keeps the list";
    EXPECT_FALSE(holder->checkObjectSelection());
    holder->slot_select_draw_object(ELLIPSE);
    EXPECT_TRUE(holder->selectedIndexes().empty());
    EXPECT_EQ(ELLIPSE, DrawTools::currentlySelectedObject);
}

TEST_F(HolderMouseTest, ChoosingAToolDiscardsAnUnfinishedObjectWholly) {
    drawRect(QRect(20, 20, 40, 40));
    // An open polyline that cannot be kept, as the creation left it.
    auto* open = new UnfinishedObject;
    open->drawingObject = POLYLINE;
    sLastObjectNumber counters = VLImageHolder::currentCounters();
    counters.numPolylines = 1;
    VLImageHolder::setCurrentCounters(counters);
    std::snprintf(internals(holder).newObjectID, sizeof internals(holder).newObjectID, "P1");
    view->_get_editprop_box()->objectChooser->addItem("Unfinished");
    internals(holder).currentTool = POLYLINE;
    internals(holder).polylineClosed = false;
    holder->setCurrentObject(open);
    internals(holder).vObjectList.push_back(open);
    internals(holder).vAllObjects[0].AllObjects.emplace_back();
    internals(holder).stUndoCodes.push(UNDO_CREATION);
    internals(holder).stObjectIndexes.push(2);
    // A nudge made while drawing sits on top of the creation record.
    internals(holder).stRects.push(QRect(20, 20, 40, 40));
    internals(holder).stUndoCodes.push(UNDO_GEOMETRY);
    internals(holder).stObjectIndexes.push(1);
    internals(holder).stGeometryCounts.push(1);

    holder->slot_select_draw_object(SELECTION);
    EXPECT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(2u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(2, chooserCount());
    EXPECT_EQ(0, VLImageHolder::currentCounters().numPolylines);
    ASSERT_EQ(2u, internals(holder).stUndoCodes.size());
    EXPECT_EQ(UNDO_GEOMETRY, internals(holder).stUndoCodes.top());
    EXPECT_EQ(1, internals(holder).stObjectIndexes.top());
    EXPECT_TRUE(std::all_of(holder->liveObjects().begin(), holder->liveObjects().end(),
                            [](DrawTools* o) { return o; }));
}

TEST_F(HolderMouseTest, HighlightingEntryZeroShowsTheFrameObject) {
    drawRect(QRect(20, 20, 40, 40));
    EditPropertyBox* box = view->_get_editprop_box();
    box->show();
    holder->slotResetCombo();
    ASSERT_EQ(2, chooserCount());
    emit box->objectChooser->highlighted(1);
    EXPECT_EQ(std::vector<int>({1}), holder->selectedIndexes());
    EXPECT_EQ(holder->liveObjects()[1], holder->getSelectedItem());
    EXPECT_FALSE(box->tabWidget->isTabEnabled(1)) << "rectangles have no events";
    emit box->objectChooser->highlighted(0);
    EXPECT_TRUE(holder->selectedIndexes().empty());
    EXPECT_FALSE(holder->checkObjectSelection());
    EXPECT_EQ(holder->liveObjects()[0], holder->getSelectedItem());
    EXPECT_TRUE(box->tabWidget->isTabEnabled(1)) << "frame objects have events";
    EXPECT_EQ(QString("Properties [Frame 1]"), box->windowTitle());
    box->hide();
}

TEST_F(HolderMouseTest, DeletedFrameBlocksEditing) {
    holder->slotCheckFrameStatus(true);
    holder->slot_select_draw_object(RECTANGLE);
    drag(QPoint(50, 50), QPoint(150, 120));
    EXPECT_EQ(1u, holder->liveObjects().size());
    holder->slotCheckFrameStatus(false);
    drag(QPoint(50, 50), QPoint(150, 120));
    EXPECT_EQ(2u, holder->liveObjects().size());
}

TEST_F(HolderMouseTest, SingleDragMakesAGeometryRecordThatKeepsTheSize) {
    drawRect(QRect(20, 20, 40, 40));
    while (!internals(holder).stUndoCodes.empty())
        internals(holder).stUndoCodes.pop();
    press(QPoint(30, 30));
    release(QPoint(30, 30));
    ASSERT_EQ(std::vector<int>({1}), holder->selectedIndexes());
    drag(QPoint(30, 30), QPoint(50, 40));
    ASSERT_EQ(1u, internals(holder).stUndoCodes.size());
    EXPECT_EQ(UNDO_GEOMETRY, internals(holder).stUndoCodes.top());
    EXPECT_EQ(QRect(20, 20, 40, 40), internals(holder).stRects.top());
}

class HolderLineUndoTest : public HolderMouseTest {
  protected:
    TwoPointObject* addLine(QPoint a, QPoint b) {
        auto* line = new TwoPointObject(a, b);
        line->drawingObject = LINE;
        internals(holder).vObjectList.push_back(line);
        internals(holder).vAllObjects[0].AllObjects.emplace_back();
        return line;
    }
    void key(Qt::Key k) { sendKeyPress(holder, k); }
    void select(std::vector<int> indexes) { internals(holder).vSelectedObjectIndex = std::move(indexes); }
};

// Lines keep their own diagonal end points through nudges and undo, each
// sequence booking one step per selected line.
TEST_F(HolderLineUndoTest, NudgedLinesComeBackExactly) {
    drawRect(QRect(20, 20, 40, 40));
    TwoPointObject* a = addLine(QPoint(100, 100), QPoint(200, 150));
    TwoPointObject* b = addLine(QPoint(300, 200), QPoint(250, 120));
    const QPolygon a0 = a->points, b0 = b->points;
    select({1, 2, 3});
    for (int k = 0; k < 5; ++k)
        key(Qt::Key_Right);
    ASSERT_EQ(a0.translated(5, 0), a->points);
    holder->slotUndoAction();
    EXPECT_EQ(a0, a->points);
    EXPECT_EQ(b0, b->points);
    EXPECT_FALSE(a->restoredAsRect || b->restoredAsRect);
    EXPECT_EQ(20, static_cast<DrawRect*>(holder->liveObjects()[1])->record().get<sDrawRect>()->left);
    EXPECT_TRUE(internals(holder).stUndoCodes.empty() ||
                internals(holder).stUndoCodes.top() != UNDO_GEOMETRY);
    EXPECT_TRUE(internals(holder).stPointArrays.empty());

    // Later sequences book their own steps; a press on the canvas starts one.
    internals(holder).moveUndoSaved = false;
    key(Qt::Key_Down);
    internals(holder).moveUndoSaved = false;
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    holder->slotUndoAction();
    EXPECT_EQ(a0.translated(0, 1), a->points);
    holder->slotUndoAction();
    EXPECT_EQ(a0, a->points);
    EXPECT_EQ(b0, b->points);
}

TEST_F(HolderLineUndoTest, SingleDragOfALineBooksItsPoints) {
    TwoPointObject* line = addLine(QPoint(100, 100), QPoint(200, 150));
    const QPolygon before = line->points;
    line->dragBy = QPoint(30, 10);
    holder->slot_select_draw_object(SELECTION);
    press(QPoint(150, 120));
    ASSERT_EQ(std::vector<int>({1}), holder->selectedIndexes());
    release(QPoint(180, 130));
    ASSERT_FALSE(internals(holder).stUndoCodes.empty());
    ASSERT_EQ(UNDO_GEOMETRY, internals(holder).stUndoCodes.top());
    ASSERT_EQ(1u, internals(holder).stPointArrays.size());
    EXPECT_EQ(before, internals(holder).stPointArrays.top());
    holder->slotUndoAction();
    EXPECT_EQ(before, line->points);
    EXPECT_FALSE(line->restoredAsRect);
}

} // namespace

TEST_F(HolderMouseTest, PropertyBoxShownEmptyListsTheObjectTheChooserShows) {
    drawRect(QRect(20, 20, 40, 40));
    drawRect(QRect(200, 200, 40, 40));
    EditPropertyBox* box = view->_get_editprop_box();
    ASSERT_FALSE(box->isVisible());
    // A right click on the second rectangle shows the box with its rows.
    press(QPoint(220, 220), Qt::RightButton);
    release(QPoint(220, 220), Qt::RightButton);
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(holder->liveObjects()[2], holder->getSelectedItem());
    EXPECT_EQ(QString("Properties [Rectangle 2]"), box->windowTitle());
    EXPECT_GT(box->getListView()->topLevelItemCount(), 0);
    box->hide();
    EXPECT_EQ(0, box->getListView()->topLevelItemCount()) << "hiding empties the list";
    // Shown again with nothing selected: the frame's rows.
    press(QPoint(500, 500));
    release(QPoint(500, 500));
    box->show();
    EXPECT_EQ(QString("Properties [Frame 1]"), box->windowTitle());
    EXPECT_GT(box->getListView()->topLevelItemCount(), 0);
    box->hide();
}
