#include "../ShellAppFixture.h"

#include "app/TaggedStyle.h"
#include "app/wm/NVToolBar.h"
#include "app/wm/NVToolBarLayout.h"
#include "app/wm/NVToolBoxManager.h"
#include "app/wm/NVWM.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace testsupport;
using Item = NVToolBarLayout::Item;

namespace {

TEST(NVToolBarLayout, RightAlignedItemMeetingTheLeftOnesAddsARow) {
    const auto r =
        NVToolBarLayout::rows({{100, false, false}, {80, true, false}, {50, true, false}}, 200, true, 26);
    EXPECT_EQ(r.positions, (std::vector<QPoint>{{16, 1}, {117, 27}, {64, 53}}))
        << "the right cursor is not reset for the wrapped item";
    EXPECT_EQ(r.barHeight, 78);
    EXPECT_EQ(r.barWidth, 200);
}

TEST(NVToolBarLayout, ItemStartingANewRowDoesNotWidenTheBar) {
    const auto r = NVToolBarLayout::rows({{30, false, false}, {60, false, false}}, 100, false, 26);
    EXPECT_EQ(r.positions, (std::vector<QPoint>{{16, 1}, {16, 27}}));
    EXPECT_EQ(r.barHeight, 52);
    EXPECT_EQ(r.barWidth, 76) << "widest + 16, not 16 + 60 + 3";
}

TEST(NVToolBarLayout, AutoSizedItemStretchesToTheRightItems) {
    const auto r = NVToolBarLayout::rows({{10, false, true}, {50, true, false}}, 400, true, 26);
    EXPECT_EQ(r.positions, (std::vector<QPoint>{{16, 1}, {347, 1}}));
    EXPECT_EQ(r.widths, (std::vector<int>{330, 50}));
    EXPECT_EQ(r.barHeight, 26);
}

TEST(NVToolBarLayout, ColumnsTable) {
    struct Case {
        const char* name;
        int maxHeight;
        std::vector<Item> items;
        std::vector<QPoint> positions;
        int barWidth, barHeight;
    } cases[] = {
        {"one column", 200, {{24}, {24}, {24}}, {{3, 16}, {3, 45}, {3, 74}}, 29, 103},
        {"first item starts in the second column", 40, {{24}, {24}}, {{29, 16}, {56, 16}}, 82, 16},
        {"wraps after two", 80, {{24}, {24}, {24}}, {{3, 16}, {3, 45}, {30, 16}}, 56, 74},
    };
    for (const auto& c : cases) {
        const auto r = NVToolBarLayout::columns(c.items, c.maxHeight, 26);
        EXPECT_EQ(r.positions, c.positions) << c.name;
        EXPECT_EQ(r.barWidth, c.barWidth) << c.name;
        EXPECT_EQ(r.barHeight, c.barHeight) << c.name;
    }
    const auto a = NVToolBarLayout::columns({{20, false, true}}, 200, 26);
    EXPECT_EQ(a.widths[0], 150) << "an auto-sized item in a column";
}

class NVToolBarTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        parent = std::make_unique<QWidget>();
        parent->setWindowTitle("Owner");
        parent->setGeometry(50, 40, 600, 300);
        bar = new NVToolBar(parent.get(), "bar");
        bar->move(0, 0);
        for (int i = 0; i < 3; ++i)
            bar->insertWidget(i + 1, 40, new QPushButton(QString::number(i), bar));
        parent->show();
        QApplication::processEvents();
        bar->updateRects(true);
    }
    void TearDown() override {
        delete bar;
        parent.reset();
        ShellAppTest::TearDown();
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, bar->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &e);
    }
    std::unique_ptr<QWidget> parent;
    NVToolBar* bar = nullptr;
};

TEST_F(NVToolBarTest, DockedRowLayoutUsesTheParentWidth) {
    EXPECT_EQ(bar->barPos(), NVToolBar::Top);
    EXPECT_EQ(bar->size(), QSize(600, 26));
    EXPECT_EQ(bar->getWidget(2)->geometry(), QRect(59, 1, 40, 24));
    EXPECT_EQ(bar->barSizeHint(), QSize(16 + 3 * 43, -1));
    bar->setItemAutoSized(3, true);
    EXPECT_EQ(bar->barSizeHint(), QSize(16 + 2 * 43 + 153, -1));
    bar->setMaxWidth(100);
    EXPECT_EQ(bar->width(), 166) << "never narrower than the auto-sized item's 150 + 16";
    bar->removeItem(2);
    EXPECT_EQ(bar->count(), 2);
    EXPECT_EQ(bar->getWidget(2), nullptr);
}

TEST_F(NVToolBarTest, FloatingAndDockingBack) {
    std::vector<int> moves;
    QObject::connect(bar, &NVToolBar::moved, [&](NVToolBar::BarPosition p) { moves.push_back(p); });
    bar->setBarPos(NVToolBar::Floating);
    EXPECT_EQ(bar->barPos(), NVToolBar::Floating);
    EXPECT_TRUE(bar->isWindow());
    EXPECT_TRUE(bar->windowFlags() & Qt::Tool);
    EXPECT_FALSE(bar->isVisible()) << "hidden until shown";
    EXPECT_EQ(bar->windowTitle(), "Owner [tools]");
    EXPECT_FALSE(bar->fullWidth());
    EXPECT_EQ(bar->minimumSize(), QSize(26, 26));
    EXPECT_EQ(NVWM::getDecoration(bar->winId()), 2);
    Display* d = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
    ::Window transientFor = 0;
    ASSERT_TRUE(XGetTransientForHint(d, bar->winId(), &transientFor));
    EXPECT_EQ(transientFor, parent->winId());

    bar->show();
    QCloseEvent close;
    QApplication::sendEvent(bar, &close);
    EXPECT_FALSE(close.isAccepted()) << "closing the tool window docks it";
    EXPECT_EQ(bar->barPos(), NVToolBar::Top);
    EXPECT_EQ(bar->parentWidget(), parent.get());
    EXPECT_EQ(bar->pos(), QPoint(0, 0));
    EXPECT_TRUE(bar->fullWidth());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(moves, (std::vector<int>{NVToolBar::Floating, NVToolBar::Top}));

    QCloseEvent dockedClose;
    QApplication::sendEvent(bar, &dockedClose);
    EXPECT_TRUE(dockedClose.isAccepted());
}

TEST_F(NVToolBarTest, FloatingBarKeepsItsLayoutBetweenTheShapeThresholds) {
    bar->setTitle("Tools");
    bar->setBarPos(NVToolBar::Floating);
    EXPECT_EQ(bar->windowTitle(), "Tools");
    bar->show();
    QApplication::processEvents();
    EXPECT_TRUE(bar->rowsLayout());
    bar->resize(100, 95);
    QApplication::processEvents();
    EXPECT_TRUE(bar->rowsLayout()) << "within 10 pixels: no new layout";
    bar->resize(50, 200);
    QApplication::processEvents();
    EXPECT_FALSE(bar->rowsLayout()) << "tall: columns";
    bar->resize(100, 95);
    QApplication::processEvents();
    EXPECT_FALSE(bar->rowsLayout()) << "within 10 pixels again: columns stay";
    bar->resize(300, 30);
    QApplication::processEvents();
    EXPECT_TRUE(bar->rowsLayout());
}

TEST_F(NVToolBarTest, FlatAndBack) {
    bar->setBarPos(NVToolBar::Left);
    bar->setFlat(true);
    EXPECT_EQ(bar->barPos(), NVToolBar::Flat);
    EXPECT_EQ(bar->lastPosition(), NVToolBar::Left);
    EXPECT_EQ(bar->size(), QSize(30, 10));
    EXPECT_EQ(bar->getWidget(1)->pos(), QPoint(100, 100));
    bar->setFlat(true); // already flat
    EXPECT_EQ(bar->lastPosition(), NVToolBar::Left);
    bar->setFlat(false);
    EXPECT_EQ(bar->barPos(), NVToolBar::Left);

    bar->setBarPos(NVToolBar::Floating);
    bar->setFlat(true);
    EXPECT_EQ(bar->barPos(), NVToolBar::Floating) << "a floating bar is not flattened";
    bar->setFlat(false);
    EXPECT_EQ(bar->barPos(), NVToolBar::Floating);
}

TEST_F(NVToolBarTest, HandleClicksToggleFlatAndKeepDoingSo) {
    // An owner lays the bar out again when it is docked.
    QObject::connect(bar, &NVToolBar::moved, [this](NVToolBar::BarPosition p) {
        if (p != NVToolBar::Flat && p != NVToolBar::Floating)
            bar->updateRects(true);
    });
    bar->enableMoving(true);
    mouse(QEvent::MouseButtonPress, {4, 10}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(NVToolBar::toggleFlatOnRelease());
    mouse(QEvent::MouseButtonRelease, {4, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar->barPos(), NVToolBar::Flat);
    mouse(QEvent::MouseButtonRelease, {20, 5}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar->barPos(), NVToolBar::Top) << "the flag stays set: every release toggles";

    mouse(QEvent::MouseButtonPress, {4, 10}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, {30, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(NVToolBar::toggleFlatOnRelease()) << "a left drag clears it";
    mouse(QEvent::MouseButtonRelease, {30, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(bar->barPos(), NVToolBar::Top);

    mouse(QEvent::MouseButtonPress, {4, 10}, Qt::MiddleButton, Qt::MiddleButton);
    EXPECT_EQ(bar->barPos(), NVToolBar::Flat) << "middle press on the handle";
    mouse(QEvent::MouseButtonPress, {4, 5}, Qt::MiddleButton, Qt::MiddleButton);
    EXPECT_EQ(bar->barPos(), NVToolBar::Top);
    mouse(QEvent::MouseButtonPress, {30, 10}, Qt::MiddleButton, Qt::MiddleButton);
    EXPECT_EQ(bar->barPos(), NVToolBar::Top) << "off the handle";
}

TEST_F(NVToolBarTest, HotSpotsDockAndFloatOnlyWithAManager) {
    bar->slotHotSpot(-1);
    EXPECT_EQ(bar->barPos(), NVToolBar::Top) << "no manager";
    NVToolBoxManager manager(bar, true);
    bar->setMoveManager(&manager);
    const struct {
        int index;
        NVToolBar::BarPosition expected;
    } cases[] = {{1, NVToolBar::Bottom}, {2, NVToolBar::Left},      {3, NVToolBar::Right},
                 {7, NVToolBar::Right},  {-1, NVToolBar::Floating}, {0, NVToolBar::Top}};
    for (const auto& c : cases) {
        bar->slotHotSpot(c.index);
        EXPECT_EQ(bar->barPos(), c.expected) << c.index;
        EXPECT_TRUE(bar->isVisible()) << c.index;
    }
    bar->setMoveManager(nullptr);
}

TEST_F(NVToolBarTest, EnableReportsWhetherVisibilityStayed) {
    EXPECT_TRUE(bar->enable(NVToolBar::Show));
    EXPECT_FALSE(bar->enable(NVToolBar::Toggle));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(bar->enable(NVToolBar::Hide));
    EXPECT_FALSE(bar->enable(NVToolBar::Show));
}

TEST_F(NVToolBarTest, MotifLookPaintsItsOwnHandle) {
    bar->enableMoving(true);
    const QImage plain = bar->grab().toImage();
    TaggedStyle motif("motif");
    bar->setStyle(&motif);
    const QImage motifImage = bar->grab().toImage();
    bar->setStyle(nullptr);
    EXPECT_NE(plain.copy(0, 0, 10, 26), motifImage.copy(0, 0, 10, 26));
}

} // namespace
