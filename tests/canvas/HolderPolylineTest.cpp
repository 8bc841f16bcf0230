// Polylines on the canvas: entry with the polyline tool, vertex and whole
// drags with their undo, and the records through a frame change and through
// the stored form of a make and an import.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "objects/draw/CDrawPolyLine.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <ostream>

namespace {
// Before Xlib, which defines KeyPress.
void sendKey(QObject* receiver, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &e);
}
} // namespace

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;
using Points = std::vector<QPoint>;

Points pointsOf(const sPoly& p) {
    Points out;
    for (const NVPoint& q : p.points)
        out.push_back(QPoint(q.x, q.y));
    return out;
}

class HolderPolylineTest : public HolderTest {
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
        VLImageHolder::setCurrentCounters(sLastObjectNumber{});
        internals(holder).vLastObjectNumber[0] = sLastObjectNumber{};
        holder->slot_select_draw_object(POLYLINE);
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        HolderTest::TearDown();
    }

    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(holder->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &e);
    }
    void press(QPoint p) { send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void release(QPoint p) { send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    void dragTo(QPoint p) { send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void hover(QPoint p) { send(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void click(QPoint p) {
        press(p);
        release(p);
    }
    // What the toolkit sends for a double-click: press, release, double-click, release.
    void doubleClick(QPoint p) {
        click(p);
        send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
        release(p);
    }
    void drag(QPoint from, QPoint to) {
        press(from);
        dragTo(from + (to - from) / 2);
        dragTo(to);
        release(to);
    }
    // Enters a polyline through the points, ends it with a double-click on
    // the last and takes the selection tool.
    CDrawPolyLine* enter(const Points& points) {
        holder->slot_select_draw_object(POLYLINE);
        for (size_t i = 0; i + 1 < points.size(); ++i)
            click(points[i]);
        doubleClick(points.back());
        holder->slot_select_draw_object(SELECTION);
        return lastPolyline();
    }
    CDrawPolyLine* lastPolyline() const { return dynamic_cast<CDrawPolyLine*>(holder->liveObjects().back()); }
    const std::vector<NVAllObjects>& records(int frame = 0) const {
        return holder->allObjects()[size_t(frame)].AllObjects;
    }
    QComboBox* chooser() const { return view->_get_editprop_box()->objectChooser; }

    std::vector<SPlayBackFrameInfo> playback;
};

// ---- entry ----

struct Step {
    enum Kind { CLICK, DOUBLE_CLICK, HOVER, TOOL_CHANGE } kind;
    QPoint at;
};

struct EntryCase {
    const char* name;
    std::vector<Step> steps;
    Points made; // empty: no polyline is left
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

class PolylineEntry : public HolderPolylineTest, public ::testing::WithParamInterface<EntryCase> {};

const QPoint P(100, 100), Q(200, 150), R(260, 90);

TEST_P(PolylineEntry, LeavesThePolylineInTheChooserRecordsAndLiveList) {
    const EntryCase& c = GetParam();
    const int chooserBefore = chooser()->count();
    for (const Step& s : c.steps) {
        switch (s.kind) {
        case Step::CLICK:
            click(s.at);
            break;
        case Step::DOUBLE_CLICK:
            doubleClick(s.at);
            break;
        case Step::HOVER:
            hover(s.at);
            break;
        case Step::TOOL_CHANGE:
            holder->slot_select_draw_object(SELECTION);
            break;
        }
    }
    if (c.made.empty()) {
        EXPECT_EQ(1u, holder->liveObjects().size());
        EXPECT_EQ(1u, records().size());
        EXPECT_EQ(chooserBefore, chooser()->count());
        EXPECT_EQ(0, VLImageHolder::currentCounters().numPolylines) << "the number is given back";
        EXPECT_EQ(0, internals(holder).vLastObjectNumber[0].numPolylines);
        EXPECT_TRUE(internals(holder).stUndoCodes.empty());
        EXPECT_TRUE(holder->selectedIndexes().empty());
        return;
    }
    ASSERT_EQ(2u, holder->liveObjects().size());
    CDrawPolyLine* made = lastPolyline();
    ASSERT_NE(nullptr, made);
    EXPECT_FALSE(made->isEntering());
    EXPECT_EQ(c.made, pointsOf(made->payload()));
    ASSERT_EQ(2u, records().size());
    const NVAllObjects& record = records().back();
    EXPECT_EQ(POLYLINE, record.drawingObject);
    EXPECT_EQ("P1", record.objectID);
    ASSERT_NE(nullptr, record.get<sPoly>());
    EXPECT_EQ(c.made, pointsOf(*record.get<sPoly>()));
    EXPECT_EQ("Polyline 1", record.get<sPoly>()->name);
    EXPECT_EQ(chooserBefore + 1, chooser()->count());
    EXPECT_EQ("Polyline 1", chooser()->itemText(chooser()->count() - 1));
    EXPECT_EQ(1, VLImageHolder::currentCounters().numPolylines);
    EXPECT_EQ(UNDO_CREATION, internals(holder).stUndoCodes.top());
}

using S = Step;
INSTANTIATE_TEST_SUITE_P(
    Rows, PolylineEntry,
    ::testing::Values(
        EntryCase{"ClickThenDoubleClickElsewhere", {{S::CLICK, P}, {S::DOUBLE_CLICK, Q}}, {P, Q}},
        EntryCase{"DoubleClickAlone", {{S::DOUBLE_CLICK, P}}, {}},
        EntryCase{"TwoClicksThenToolChangeWithThePointerAtR",
                  {{S::CLICK, P}, {S::CLICK, Q}, {S::HOVER, R}, {S::TOOL_CHANGE, {}}},
                  {P, Q, R}},
        EntryCase{"ClickThenToolChangeWithoutMoving", {{S::CLICK, P}, {S::TOOL_CHANGE, {}}}, {}},
        EntryCase{"ClicksOnOneSpotThenToolChange",
                  {{S::CLICK, P}, {S::CLICK, P}, {S::HOVER, P}, {S::TOOL_CHANGE, {}}},
                  {}},
        EntryCase{"ClicksOnOneSpotThenDoubleClick", {{S::CLICK, P}, {S::CLICK, P}, {S::DOUBLE_CLICK, P}}, {}},
        EntryCase{"ThreeClicksThenDoubleClick",
                  {{S::CLICK, P}, {S::CLICK, Q}, {S::HOVER, P}, {S::DOUBLE_CLICK, R}},
                  {P, Q, R}}),
    [](const ::testing::TestParamInfo<EntryCase>& i) { return std::string(i.param.name); });

TEST_F(HolderPolylineTest, RubberBandKeepsTheEventsQueuedOnTheHoldersConnection) {
    click(P);
    const VLImageHolder::DrawTarget t = holder->drawTarget();
    ASSERT_NE(0ul, t.window);
    // An Expose for the holder, queued on its connection and not yet read.
    XEvent expose{};
    expose.xexpose.type = Expose;
    expose.xexpose.window = t.window;
    expose.xexpose.width = 10;
    expose.xexpose.height = 10;
    XSendEvent(checker, t.window, False, ExposureMask, &expose);
    XSync(checker, False);
    hover(Q);
    XEvent got{};
    EXPECT_TRUE(XCheckTypedWindowEvent(t.display, t.window, Expose, &got))
        << "the band's flush dropped the holder's Expose";
}

// ---- drags and undo ----

TEST_F(HolderPolylineTest, VertexDragThenUndo) {
    CDrawPolyLine* line = enter({{100, 100}, {200, 100}, {200, 200}});
    ASSERT_NE(nullptr, line);
    const Points before = pointsOf(line->payload());
    drag(QPoint(203, 104), QPoint(240, 60));
    EXPECT_EQ(Points({{100, 100}, {240, 60}, {200, 200}}), pointsOf(line->payload()));
    ASSERT_EQ(UNDO_GEOMETRY, internals(holder).stUndoCodes.top());
    holder->slotUndoAction();
    EXPECT_EQ(before, pointsOf(line->payload()));
}

TEST_F(HolderPolylineTest, WholeDragThenUndo) {
    CDrawPolyLine* line = enter({{100, 100}, {200, 100}, {200, 200}});
    ASSERT_NE(nullptr, line);
    const Points before = pointsOf(line->payload());
    drag(QPoint(150, 103), QPoint(170, 133));
    EXPECT_EQ(Points({{120, 130}, {220, 130}, {220, 230}}), pointsOf(line->payload()));
    holder->slotUndoAction();
    EXPECT_EQ(before, pointsOf(line->payload()));
}

TEST_F(HolderPolylineTest, WholeDragStopsAtTheCanvasBorder) {
    CDrawPolyLine* line = enter({{100, 100}, {200, 100}});
    ASSERT_NE(nullptr, line);
    press(QPoint(150, 102));
    dragTo(QPoint(130, 102));
    // The first point would land on the left column: the move is refused.
    dragTo(QPoint(50, 102));
    dragTo(QPoint(40, 102));
    release(QPoint(40, 102));
    EXPECT_EQ(Points({{70, 100}, {170, 100}}), pointsOf(line->payload()));
}

TEST_F(HolderPolylineTest, NudgesWithAnotherObjectThenUndoInOneStep) {
    CDrawPolyLine* first = enter({{100, 100}, {200, 100}});
    CDrawPolyLine* second = enter({{100, 300}, {200, 350}, {300, 300}});
    ASSERT_TRUE(first && second);
    holder->slotSelectAllObjects();
    ASSERT_EQ(2u, holder->selectedIndexes().size());
    for (int i = 0; i < 3; ++i)
        sendKey(holder, Qt::Key_Right);
    sendKey(holder, Qt::Key_Down);
    EXPECT_EQ(Points({{103, 101}, {203, 101}}), pointsOf(first->payload()));
    EXPECT_EQ(Points({{103, 301}, {203, 351}, {303, 301}}), pointsOf(second->payload()));
    holder->slotUndoAction();
    EXPECT_EQ(Points({{100, 100}, {200, 100}}), pointsOf(first->payload()));
    EXPECT_EQ(Points({{100, 300}, {200, 350}, {300, 300}}), pointsOf(second->payload()));
}

// ---- records ----

TEST_F(HolderPolylineTest, PolylinesSurviveAFrameChangeAndTheStoredForm) {
    CDrawPolyLine* line = enter({{100, 100}, {200, 150}, {260, 90}});
    ASSERT_NE(nullptr, line);
    EditPropertyBase* props = line->getEditPropertyBase();
    props->setProp_Value("Thickness", "4");
    props->setProp_Value("Color", "#102030");
    props->setProp_Value("Name", "Zigzag");
    line->repaintItem();
    internals(holder).vSelectedObjectIndex = {1};
    holder->slotCutCopyObjects(COPY);
    holder->slotPasteObjects();
    holder->slotPasteObjects();
    ASSERT_EQ(4u, holder->liveObjects().size());

    struct Expected {
        std::string name;
        Points points;
    };
    const std::vector<Expected> expected = {
        {"Zigzag", {{100, 100}, {200, 150}, {260, 90}}},
        {"Polyline  2", {{100, 100}, {200, 150}, {260, 90}}},
        {"Polyline  3", {{105, 105}, {205, 155}, {265, 95}}},
    };
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_EQ(4u, holder->liveObjects().size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            auto* p = dynamic_cast<CDrawPolyLine*>(holder->liveObjects()[i + 1]);
            ASSERT_NE(nullptr, p);
            EXPECT_EQ(expected[i].name, p->payload().name);
            EXPECT_EQ(expected[i].points, pointsOf(p->payload()));
            EXPECT_EQ(4, p->payload().thickness);
            EXPECT_EQ(0x302010u, p->payload().color);
            EXPECT_EQ("#102030", p->getEditPropertyBase()->getPropValue("Color"));
            EXPECT_EQ("4", p->getEditPropertyBase()->getPropValue("Thickness"));
        }
    };
    holder->slot_get_current_frame(1);
    holder->slot_get_current_frame(0);
    check("after a frame change");

    // The make writes every frame's stored records with their tails; the
    // import reads them into a fresh project.
    holder->updateObjects();
    std::vector<uint8_t> stream;
    for (int frame = 0; frame < 2; ++frame) {
        std::vector<sAllObjects> out;
        ASSERT_TRUE(holder->getVectorRef(out, frame));
        for (const sAllObjects& s : out)
            s.appendTo(stream);
    }
    holder->getNoFramesOnFileOpen(0);
    holder->getNoFramesOnFileOpen(2);
    std::vector<sAllObjects> frames[2];
    for (size_t at = 0; at < stream.size();) {
        size_t used = 0;
        std::optional<sAllObjects> s = sAllObjects::read(stream.data() + at, stream.size() - at, used);
        ASSERT_TRUE(s.has_value());
        at += used;
        frames[s->frameIndex == 0 ? 0 : 1].push_back(*s);
    }
    ASSERT_EQ(4u, frames[0].size());
    ASSERT_TRUE(holder->setVectorRef(frames[0], 0));
    ASSERT_TRUE(holder->setVectorRef(frames[1], 1));
    EXPECT_TRUE(holder->keptRecords(0).empty()) << "polylines are converted, not kept";
    EXPECT_EQ(3, internals(holder).vLastObjectNumber[0].numPolylines);
    holder->slot_get_current_frame(0);
    check("after a make and an import");
}

} // namespace
