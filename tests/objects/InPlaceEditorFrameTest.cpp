// The in-place editor frame's gestures, one table over a stand-in owner and
// editor with the test host, one column per editor kind; and the same move
// delivered through the holder, the editor and the editor's child.
#include "InPlaceStandIn.h"
#include "InteractiveTestHost.h"

#include <QMouseEvent>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using inplacetest::StandInOwner;
using interactivetest::FakeHost;
using Box = InPlaceEditorFrame::Box;

enum Column { TEXT_FIELD, INSTRUCTION_BOX, VALIDATION_FIELD, BITMAP_LABEL, COLUMNS };

InPlaceEditorFrame::Policy policyOf(int column) {
    switch (column) {
    case TEXT_FIELD:
        return InPlaceEditorFrame::Policy::textField();
    case INSTRUCTION_BOX:
        return InPlaceEditorFrame::Policy::instructionBox();
    case VALIDATION_FIELD:
        return InPlaceEditorFrame::Policy::validationField();
    default:
        return InPlaceEditorFrame::Policy::bitmap();
    }
}

const char* columnName(int column) {
    static const char* names[] = {"text field", "instruction box", "validation field", "bitmap"};
    return names[column];
}

enum Source { HOLDER, EDITOR, CHILD };

std::string str(const Box& b) {
    return std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.w) + "," +
           std::to_string(b.h);
}

struct PerColumn {
    std::array<Box, COLUMNS> v;
    PerColumn(Box all) { v.fill(all); }
    PerColumn(Box a, Box b, Box c, Box d) : v{a, b, c, d} {}
};
struct NoticesPerColumn {
    std::array<std::vector<std::string>, COLUMNS> v;
    NoticesPerColumn(std::vector<std::string> all) { v.fill(all); }
    NoticesPerColumn(std::vector<std::string> a, std::vector<std::string> b, std::vector<std::string> c,
                     std::vector<std::string> d)
        : v{a, b, c, d} {}
};

struct Gesture {
    const char* name;
    Source source;
    int tool;
    Box start;
    QPoint press;
    std::vector<QPoint> moves;
    QPoint release;
    Qt::MouseButton button;
    bool locked;
    bool alignNone;
    bool stretched;
    PerColumn rect;
    NoticesPerColumn notices;
    // The outline left on the screen by the last move; none when w is 0.
    PerColumn outline;
    bool boxShown;
};

const Box R{100, 100, 100, 50};
const Box NONE{0, 0, 0, 0};
const std::vector<std::string> SELECTED{"selected"};
const std::vector<std::string> MOVED{"selected", "moved 100,100,100,50"};
const std::vector<std::string> QUIET{};

const Gesture kGestures[] = {
    {"click",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {},
     {150, 120},
     Qt::LeftButton,
     false,
     true,
     true,
     R,
     SELECTED,
     NONE,
     false},
    {"move",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {{160, 130}, {170, 140}},
     {170, 140},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{120, 120, 100, 50},
     MOVED,
     Box{120, 120, 100, 50},
     false},
    {"handle 1 past the right edge",
     HOLDER,
     SELECTION,
     R,
     {97, 97},
     {{170, 100}, {247, 107}},
     {247, 107},
     Qt::LeftButton,
     false,
     true,
     true,
     PerColumn(Box{199, 110, 1, 40}, Box{199, 110, 1, 40}, Box{199, 110, 5, 40}, Box{199, 110, 1, 40}),
     SELECTED,
     PerColumn(Box{199, 110, 1, 40}, Box{199, 110, 1, 40}, Box{199, 110, 5, 40}, Box{199, 110, 1, 40}),
     false},
    {"x pushed below 0",
     HOLDER,
     SELECTION,
     R,
     {97, 97},
     {{-13, 97}},
     {-13, 97},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{0, 100, 210, 50},
     SELECTED,
     Box{0, 100, 210, 50},
     false},
    {"pointer beyond the screen",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {{160, 130}, {2000, 130}},
     {2000, 130},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{110, 110, 100, 50},
     MOVED,
     Box{110, 110, 100, 50},
     false},
    {"pushed back at the right edge",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {{1000, 120}},
     {1000, 120},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{924, 100, 100, 50},
     MOVED,
     Box{924, 100, 100, 50},
     false},
    {"right click",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {},
     {150, 120},
     Qt::RightButton,
     false,
     true,
     true,
     R,
     SELECTED,
     NONE,
     true},
    {"locked frame",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {{170, 140}},
     {170, 140},
     Qt::LeftButton,
     true,
     true,
     true,
     R,
     QUIET,
     NONE,
     false},
    {"creation right and down",
     HOLDER,
     TEXTFIELD,
     NONE,
     {300, 300},
     {{320, 320}, {350, 340}},
     {350, 340},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{300, 300, 50, 40},
     QUIET,
     NONE,
     false},
    {"creation left and up",
     HOLDER,
     TEXTFIELD,
     NONE,
     {300, 300},
     {{280, 280}, {250, 260}},
     {250, 260},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{250, 260, 50, 40},
     QUIET,
     NONE,
     false},
    {"creation right and up",
     HOLDER,
     TEXTFIELD,
     NONE,
     {300, 300},
     {{320, 280}, {350, 260}},
     {350, 260},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{300, 260, 50, 40},
     QUIET,
     NONE,
     false},
    {"creation left and down",
     HOLDER,
     TEXTFIELD,
     NONE,
     {300, 300},
     {{280, 320}, {250, 340}},
     {250, 340},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{250, 300, 50, 40},
     QUIET,
     NONE,
     false},
    {"creation ending on its start column",
     HOLDER,
     TEXTFIELD,
     NONE,
     {300, 300},
     {{320, 340}},
     {300, 340},
     Qt::LeftButton,
     false,
     true,
     true,
     Box{0, 0, 0, 0},
     QUIET,
     NONE,
     false},
    {"bitmap with an alignment",
     EDITOR,
     SELECTION,
     R,
     {150, 120},
     {{170, 140}},
     {170, 140},
     Qt::LeftButton,
     false,
     false,
     true,
     PerColumn(Box{120, 120, 100, 50}, Box{120, 120, 100, 50}, Box{120, 120, 100, 50}, R),
     MOVED,
     PerColumn(Box{120, 120, 100, 50}, Box{120, 120, 100, 50}, Box{120, 120, 100, 50}, R),
     false},
    {"bitmap without stretch",
     HOLDER,
     SELECTION,
     R,
     {203, 153},
     {{223, 163}},
     {223, 163},
     Qt::LeftButton,
     false,
     true,
     false,
     PerColumn(Box{100, 100, 120, 60}, Box{100, 100, 120, 60}, Box{100, 100, 120, 60}, R),
     SELECTED,
     PerColumn(Box{100, 100, 120, 60}, Box{100, 100, 120, 60}, Box{100, 100, 120, 60}, R),
     false},
    {"handle pressed and released in place",
     HOLDER,
     SELECTION,
     R,
     {97, 97},
     {},
     {97, 97},
     Qt::LeftButton,
     false,
     true,
     true,
     R,
     SELECTED,
     NONE,
     false},
};

class InPlaceEditorFrameTest : public ::testing::TestWithParam<std::tuple<int, int>> {
  protected:
    void SetUp() override {
        interactivetest::app();
        holder = std::make_unique<QWidget>();
        // A holder away from the screen's origin, and an editor away from the
        // holder's, so that a position mapped twice or not at all shows.
        holder->setGeometry(40, 30, 1024, 768);
        holder->show();
        DrawTools::currentlySelectedObject = SELECTION;
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        InteractiveHost::setCurrent(nullptr);
    }

    // An event at holder position p, with its true global position, as the
    // source receives it.
    void send(StandInOwner& owner, Source source, QEvent::Type type, QPoint p, Qt::MouseButton button,
              Qt::MouseButtons buttons) {
        const QPointF global = holder->mapToGlobal(QPointF(p));
        QWidget* target = source == HOLDER   ? static_cast<QWidget*>(&owner)
                          : source == EDITOR ? static_cast<QWidget*>(owner.editor())
                                             : static_cast<QWidget*>(owner.editor()->child);
        const QPointF local = source == HOLDER ? QPointF(p) : target->mapFromGlobal(global);
        QMouseEvent e(type, local, local, global, button, buttons, Qt::NoModifier);
        if (source == CHILD) {
            // The child hands its events on as they arrive.
            if (type == QEvent::MouseButtonPress)
                owner.editor()->passPress(&e);
            else if (type == QEvent::MouseMove)
                owner.editor()->passMove(&e);
            else
                owner.editor()->passRelease(&e);
            return;
        }
        QCoreApplication::sendEvent(target, &e);
    }

    std::unique_ptr<QWidget> holder;
};

TEST_P(InPlaceEditorFrameTest, Gesture) {
    const Gesture& g = kGestures[std::get<0>(GetParam())];
    const int column = std::get<1>(GetParam());
    SCOPED_TRACE(std::string(g.name) + " / " + columnName(column));
    FakeHost host;
    host.selection = true;
    host.frameLocked = g.locked;
    StandInOwner owner(holder.get(), policyOf(column), g.start);
    // Only the bitmap has an alignment and a stretch setting.
    if (column == BITMAP_LABEL) {
        owner.editor()->alignNone = g.alignNone;
        owner.editor()->stretched = g.stretched;
    }
    std::vector<std::string> relayed;
    QObject::connect(&owner, &InPlaceEditorOwner::signalSelectedEditObject, [&](DrawTools* o) {
        EXPECT_EQ(&owner, o);
        relayed.push_back("selected");
    });
    QObject::connect(&owner, &InPlaceEditorOwner::signalMovedEditObject, [&](QRect r) {
        relayed.push_back("moved " + str(Box{r.x(), r.y(), r.width(), r.height()}));
    });
    DrawTools::currentlySelectedObject = g.tool;

    const Qt::MouseButton b = g.button;
    send(owner, g.source, QEvent::MouseButtonPress, g.press, b, b);
    for (QPoint m : g.moves)
        send(owner, g.source, QEvent::MouseMove, m, Qt::NoButton, b);
    const std::string rowsDuringDrag = owner.rows();
    const std::vector<QRect> bands = host.bands;
    send(owner, g.source, QEvent::MouseButtonRelease, g.release, b, Qt::NoButton);

    const Box want = g.rect.v[size_t(column)];
    EXPECT_EQ(str(want), str(owner.editor()->frame.rect()));
    EXPECT_EQ(g.notices.v[size_t(column)], owner.editor()->notices);
    EXPECT_EQ(g.notices.v[size_t(column)], relayed);
    EXPECT_EQ(g.boxShown ? 1 : 0, host.boxShown);
    if (g.locked) {
        EXPECT_EQ(",,,", owner.rows());
        EXPECT_TRUE(host.bands.empty());
        EXPECT_TRUE(host.cursors.empty());
        return;
    }
    EXPECT_EQ(str(want), owner.rows());

    const Box outline = g.outline.v[size_t(column)];
    if (g.tool == SELECTION) {
        if (outline.w > 0) {
            // Every outline but the last was drawn again to erase it; the last
            // is what the rows showed during the drag.
            ASSERT_FALSE(bands.empty());
            EXPECT_EQ(str(outline), str(Box{bands.back().x(), bands.back().y(), bands.back().width(),
                                            bands.back().height()}));
            EXPECT_EQ(str(outline), rowsDuringDrag);
            ASSERT_EQ(1u, bands.size() % 2);
            for (size_t i = 0; i + 1 < bands.size(); i += 2)
                EXPECT_EQ(bands[i], bands[i + 1]);
        } else {
            EXPECT_TRUE(bands.empty());
        }
    } else {
        // A creation band per move; each erased by the next, none before the first.
        ASSERT_EQ(2 * g.moves.size() - 1, bands.size());
        for (size_t i = 1; i + 1 < bands.size(); i += 2)
            EXPECT_EQ(bands[i - 1], bands[i]);
        EXPECT_EQ(want.w > 0, owner.keepWithinVLI());
        if (want.w > 0) {
            EXPECT_EQ(QRect(want.x, want.y, want.w, want.h), owner.editor()->geometry());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, InPlaceEditorFrameTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kGestures))),
                                            ::testing::Range(0, int(COLUMNS))),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                             std::string name = kGestures[std::get<0>(info.param)].name;
                             name += std::string("_") + columnName(std::get<1>(info.param));
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

class InPlaceEditorSourceTest : public InPlaceEditorFrameTest {};

// The same move through the holder, the editor and the editor's child ends
// in one place: every position is mapped to the holder once.
TEST_F(InPlaceEditorSourceTest, OneMoveThroughEverySourceGivesOneResult) {
    for (Source source : {HOLDER, EDITOR, CHILD}) {
        SCOPED_TRACE(int(source));
        FakeHost host;
        host.selection = true;
        StandInOwner owner(holder.get(), InPlaceEditorFrame::Policy::textField(), R);
        // Inside the child, which lies at (10, 10) in the editor.
        const QPoint press(115, 115);
        send(owner, source, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        EXPECT_EQ(0, owner.editor()->frame.handle());
        EXPECT_TRUE(owner.editor()->frame.pressInside());
        send(owner, source, QEvent::MouseMove, press + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        send(owner, source, QEvent::MouseButtonRelease, press + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(str(Box{130, 120, 100, 50}), str(owner.editor()->frame.rect()));
        EXPECT_EQ(QRect(130, 120, 100, 50), owner.editor()->geometry());
        EXPECT_EQ(MOVED, owner.editor()->notices);
    }
}

// The edge pixel of the rectangle's top-left is handle 1, also when the press
// reaches the editor itself.
TEST_F(InPlaceEditorSourceTest, EdgePressOnTheEditorPicksHandleOne) {
    FakeHost host;
    host.selection = true;
    StandInOwner owner(holder.get(), InPlaceEditorFrame::Policy::textField(), R);
    send(owner, EDITOR, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(1, owner.editor()->frame.handle());
    ASSERT_FALSE(host.cursors.empty());
    EXPECT_EQ(Qt::SizeFDiagCursor, host.cursors.back());
}

// A hover the holder passes on reaches the frame: owner and editor track the
// mouse. Over the bottom-right handle the holder shows its cursor; over the
// body, the arrow.
TEST_F(InPlaceEditorSourceTest, HoverThroughTheHolderSetsTheHandleCursor) {
    FakeHost host;
    host.selection = true;
    StandInOwner owner(holder.get(), InPlaceEditorFrame::Policy::textField(), R);
    send(owner, HOLDER, QEvent::MouseMove, QPoint(203, 153), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(4, owner.editor()->frame.handle());
    ASSERT_FALSE(host.cursors.empty());
    EXPECT_EQ(Qt::SizeFDiagCursor, host.cursors.back());
    send(owner, HOLDER, QEvent::MouseMove, QPoint(150, 120), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(0, owner.editor()->frame.handle());
    EXPECT_EQ(Qt::ArrowCursor, host.cursors.back());
}

TEST_F(InPlaceEditorSourceTest, OwnerKeepsTheCallersObjectIdAndShowsOnlyTheEditor) {
    FakeHost host;
    StandInOwner owner(holder.get(), InPlaceEditorFrame::Policy::bitmap(), R);
    // A window of its own, at which X clips the holder's outlines.
    EXPECT_TRUE(owner.editor()->testAttribute(Qt::WA_NativeWindow));
    owner.editor()->record.objectID = "F9";
    NVAllObjects target;
    target.objectID = "F2";
    ASSERT_TRUE(owner.getAllObjectStructure(&target));
    EXPECT_EQ("F2", target.objectID);
    EXPECT_EQ(100, target.get<sTextField>()->width);

    // A nudge moves the record only; showing places the editor at it.
    owner.updatePosition(3, -2);
    EXPECT_EQ(QRect(100, 100, 100, 50), owner.editor()->geometry());
    owner.show();
    EXPECT_TRUE(owner.isHidden());
    EXPECT_TRUE(owner.editor()->isVisible());
    EXPECT_EQ(QRect(103, 98, 100, 50), owner.editor()->geometry());
    owner.restoreGeometry(QRect(100, 100, 100, 50));
    EXPECT_EQ(str(R), str(owner.editor()->frame.rect()));
    EXPECT_EQ(QRect(100, 100, 100, 50), owner.editor()->geometry());
    owner.hide();
    EXPECT_FALSE(owner.editor()->isVisible());

    EXPECT_TRUE(owner.keepWithinVLI());
    owner.restoreGeometry(QRect(100, 100, 0, 50));
    EXPECT_FALSE(owner.keepWithinVLI());
    owner.editor()->setFrameRect(Box{100, 100, 20, -5});
    EXPECT_FALSE(owner.keepWithinVLI());
}

// Nudges erase their last outline, except the first after a repaint.
TEST_F(InPlaceEditorSourceTest, NudgeOutlines) {
    FakeHost host;
    StandInOwner owner(holder.get(), InPlaceEditorFrame::Policy::textField(), R);
    owner.updatePosition(1, 0);
    owner.updatePosition(1, 0);
    const std::vector<QRect> want{QRect(101, 100, 100, 50), QRect(101, 100, 100, 50),
                                  QRect(102, 100, 100, 50)};
    EXPECT_EQ(want, host.bands);
    unsigned long drawable = 0;
    owner.select(nullptr, nullptr, drawable);
    owner.updatePosition(0, 1);
    EXPECT_EQ(4u, host.bands.size());
    EXPECT_EQ(QRect(102, 101, 100, 50), host.bands.back());
}

} // namespace
