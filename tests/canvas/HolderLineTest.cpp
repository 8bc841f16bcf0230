// Lines with arrow heads on the canvas: drawn with the tool, moved by their
// handles, dragged alone and in groups, nudged, undone, pasted, and kept
// across frame changes and the stored records of the output file.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "canvas/records/sAllObjects.h"
#include "objects/draw/CDrawLine.h"
#include "objects/draw/DrawRect.h"
#include "properties/EditPropertyBase.h"
#include "store/DatRecords.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>

// Xlib after the toolkit headers.
#include "ObjectHolderFixture.h"

namespace {

class HolderLineTest : public canvastest::ObjectHolderTest {
  protected:
    void hover(QPoint p) { send(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void key(Qt::Key k) { canvastest::sendKey(holder, k); }
    CDrawLine* lineAt(size_t index) const {
        return qobject_cast<CDrawLine*>(holder->liveObjects().at(index));
    }
    QRect rectAt(size_t index) const {
        const sDrawRect& s =
            *static_cast<DrawRect*>(holder->liveObjects().at(index))->record().get<sDrawRect>();
        return QRect(QPoint(s.left, s.top), QPoint(s.right, s.bottom));
    }

    // Two lines and a rectangle: live objects 1, 2 and 3.
    void drawScene() {
        drawWithTool(LINE, {100, 100}, {200, 150});
        drawWithTool(LINE, {300, 200}, {250, 120});
        drawWithTool(RECTANGLE, {400, 300}, {460, 340});
    }
    struct Scene {
        QPolygon first, second;
        QRect rect;
        bool operator==(const Scene& o) const {
            return first == o.first && second == o.second && rect == o.rect;
        }
    };
    Scene scene() const { return {lineAt(1)->getArrayPoints(), lineAt(2)->getArrayPoints(), rectAt(3)}; }
};

TEST_F(HolderLineTest, TheToolDrawsALineFromPressToRelease) {
    drawWithTool(LINE, {100, 100}, {200, 150});
    ASSERT_EQ(2u, holder->liveObjects().size());
    CDrawLine* line = lineAt(1);
    ASSERT_NE(nullptr, line);
    EXPECT_EQ(LINE, line->drawingObject);
    EXPECT_EQ(QPolygon({QPoint(100, 100), QPoint(200, 150)}), line->getArrayPoints());
    EXPECT_STREQ("Line 1", line->getObjectName());
    EXPECT_EQ("200", line->getEditPropertyBase()->getPropValue("X2"));
    const NVAllObjects& record = holder->allObjects()[0].AllObjects.at(1);
    EXPECT_EQ("L1", record.objectID);
    ASSERT_TRUE(record.get<sDrawLine>());
    EXPECT_EQ(150, record.get<sDrawLine>()->y2);

    // A press and release at one point makes no line and takes the number back.
    holder->slot_select_draw_object(LINE);
    click({300, 300});
    holder->slot_select_draw_object(SELECTION);
    EXPECT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(1, VLImageHolder::currentCounters().numLines);
}

// Every row starts from two lines and a rectangle and checks that one undo
// brings back exactly what was there before its action.
TEST_F(HolderLineTest, UndoBringsLinesBackExactly) {
    struct Row {
        const char* name;
        std::function<void()> before; // not undone
        std::function<void()> action; // undone by one step
        bool changes;                 // whether the action moves anything
    };
    const Row rows[] = {
        {"two lines and a rectangle nudged five times",
         [&] {
             drag({20, 20}, {600, 500});
         },
         [&] {
             for (int k = 0; k < 5; ++k)
                 key(Qt::Key_Right);
         },
         true},
        {"a line nudged after an earlier nudge sequence",
         [&] {
             click({150, 125});
             key(Qt::Key_Down);
             key(Qt::Key_Down);
             click({150, 127});
         },
         [&] {
             key(Qt::Key_Left);
             key(Qt::Key_Left);
         },
         true},
        {"a handle drag",
         [&] {
             click({150, 125});
             holder->drawContents();
             hover({200, 150});
             ASSERT_EQ(Qt::SizeVerCursor, holder->cursor().shape());
         },
         [&] {
             press({200, 150});
             moveTo({230, 170});
             moveTo({260, 190});
             release({260, 190});
         },
         true},
        {"a group drag",
         [&] {
             drag({20, 20}, {600, 500});
         },
         [&] {
             press({150, 125});
             moveTo({160, 130});
             moveTo({170, 140});
             release({170, 140});
         },
         true},
        {"a drag whose moves all fall off screen",
         [&] {
             click({150, 125});
         },
         [&] {
             press({150, 125});
             moveTo({20, 125});
             moveTo({10, 125});
             release({10, 125});
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        freshProject();
        drawScene();
        ASSERT_EQ(4u, holder->liveObjects().size());
        row.before();
        const Scene before = scene();
        const size_t steps = internals(holder).stUndoCodes.size();
        const size_t points = internals(holder).stPointArrays.size();
        const size_t rects = internals(holder).stRects.size();
        row.action();
        EXPECT_EQ(row.changes, !(scene() == before));
        holder->slotUndoAction();
        const Scene after = scene();
        EXPECT_EQ(before.first, after.first);
        EXPECT_EQ(before.second, after.second);
        EXPECT_EQ(before.rect, after.rect);
        EXPECT_EQ(steps, internals(holder).stUndoCodes.size());
        EXPECT_EQ(points, internals(holder).stPointArrays.size());
        EXPECT_EQ(rects, internals(holder).stRects.size());
    }
}

TEST_F(HolderLineTest, HandleDragMovesOneEndOnlyAtTheRelease) {
    drawWithTool(LINE, {100, 100}, {200, 150});
    click({150, 125});
    holder->drawContents();
    hover({100, 100});
    ASSERT_EQ(Qt::SizeVerCursor, holder->cursor().shape());
    press({100, 100});
    moveTo({80, 60});
    EXPECT_EQ(QPolygon({QPoint(100, 100), QPoint(200, 150)}), lineAt(1)->getArrayPoints());
    release({80, 60});
    EXPECT_EQ(QPolygon({QPoint(80, 60), QPoint(200, 150)}), lineAt(1)->getArrayPoints());
    EXPECT_EQ(Qt::ArrowCursor, holder->cursor().shape());
    EXPECT_EQ("60", lineAt(1)->getEditPropertyBase()->getPropValue("Y1"));
}

TEST_F(HolderLineTest, PastedLinesTakeNewNamesAndTheOffsetOfEachPaste) {
    drawWithTool(LINE, {100, 100}, {200, 150});
    click({150, 125});
    holder->slotCutCopyObjects(COPY);
    holder->slotPasteObjects();
    holder->slotPasteObjects();
    ASSERT_EQ(4u, holder->liveObjects().size());
    EXPECT_STREQ("Line 2", lineAt(2)->getObjectName());
    EXPECT_STREQ("Line 3", lineAt(3)->getObjectName());
    EXPECT_EQ(lineAt(1)->getArrayPoints(), lineAt(2)->getArrayPoints());
    EXPECT_EQ(lineAt(1)->getArrayPoints().translated(5, 5), lineAt(3)->getArrayPoints());
}

// A line with every property set away from its defaults.
void styleLine(CDrawLine* line) {
    EditPropertyBase* p = line->getEditPropertyBase();
    p->setProp_Value("Name", "Pointer");
    p->setProp_Value("Line Style", "Dash Dot");
    p->setProp_Value("Line Width", "3");
    p->setProp_Value("Line Color", "#123456");
    p->setProp_Value("Arrow", "Both");
    line->repaintItem();
}

void expectStyled(const CDrawLine* line, QPolygon ends) {
    ASSERT_NE(nullptr, line);
    const sDrawLine& l = line->payload();
    EXPECT_EQ("Pointer", l.name);
    EXPECT_EQ(ends, QPolygon({QPoint(l.x1, l.y1), QPoint(l.x2, l.y2)}));
    EXPECT_EQ(3, l.lineStyle);
    EXPECT_EQ(3, l.lineWidth);
    EXPECT_EQ(QColor("#123456"), QColor(l.red, l.green, l.blue));
    EXPECT_EQ(3, l.arrow);
}

TEST_F(HolderLineTest, LinesSurviveAFrameChangeAndTheStoredRecords) {
    drawWithTool(LINE, {300, 200}, {250, 120});
    styleLine(lineAt(1));
    const QPolygon ends({QPoint(300, 200), QPoint(250, 120)});
    holder->slot_get_current_frame(1);
    holder->slot_get_current_frame(0);
    ASSERT_EQ(2u, holder->liveObjects().size());
    expectStyled(lineAt(1), ends);

    // Made into the output file's records and read back as an import does.
    holder->updateObjects();
    std::vector<sAllObjects> out;
    ASSERT_TRUE(holder->getVectorRef(out, 0));
    ASSERT_EQ(2u, out.size());
    ASSERT_EQ(LINE, out[1].drawingObject);
    std::vector<uint8_t> bytes;
    for (const sAllObjects& s : out)
        s.appendTo(bytes);
    std::vector<sAllObjects> in;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t consumed = 0;
        const std::optional<sAllObjects> read =
            sAllObjects::read(bytes.data() + at, bytes.size() - at, consumed);
        ASSERT_TRUE(read);
        in.push_back(*read);
        at += consumed;
    }
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    ASSERT_TRUE(holder->setVectorRef(in, 0));
    EXPECT_TRUE(holder->keptRecords(0).empty());
    holder->slot_get_current_frame(0);
    ASSERT_EQ(2u, holder->liveObjects().size());
    expectStyled(lineAt(1), ends);
    EXPECT_EQ("L1", holder->allObjects()[0].AllObjects.at(1).objectID);
}

TEST_F(HolderLineTest, StoredLinesNumbered3And7And5LeaveTheCounterAt7) {
    std::vector<sAllObjects> in;
    for (const char* id : {"L3", "L7", "L5"}) {
        sAllObjects s;
        s.drawingObject = LINE;
        s.objectID = id;
        s.payload = StoredShape{};
        in.push_back(s);
    }
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    ASSERT_TRUE(holder->setVectorRef(in, 0));
    holder->slot_get_current_frame(0);
    EXPECT_EQ(4u, holder->liveObjects().size());
    EXPECT_EQ(7, VLImageHolder::currentCounters().numLines);
    drawWithTool(LINE, {10, 10}, {60, 60});
    ASSERT_EQ(5u, holder->liveObjects().size());
    EXPECT_STREQ("Line 8", lineAt(4)->getObjectName());
}

} // namespace
