#include "../ShellAppFixture.h"

#include "app/wm/NVToolBoxManager.h"
#include "support/ProcessRunner.h"

#include <QTimer>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>

using namespace testsupport;

namespace {

// The pointer is driven through XTEST by xdotool, from inside the drag's
// nested loop; each position is followed by one explicit step so that the
// steps are exactly the ones listed.
void pointerTo(int x, int y) {
    runCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}
void buttonDown() {
    runCommand("xdotool mousedown 1");
}
void buttonUp() {
    runCommand("xdotool mouseup 1");
}

class NVToolBoxManagerTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        widget = std::make_unique<QWidget>();
        widget->setGeometry(100, 100, 80, 40);
        widget->show();
        QApplication::processEvents();
        XSync(display(), False);
        other = XOpenDisplay(nullptr);
        ASSERT_NE(other, nullptr);
    }
    void TearDown() override {
        if (other)
            XCloseDisplay(other);
        manager.reset(); // frees its graphics context while the connection is open
        widget.reset();
        ShellAppTest::TearDown();
    }
    static Display* display() {
        return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
    }

    // Runs `drag` with `script` executed inside its nested loop; the script
    // ends by releasing the button. Fails the test when the drag does not end.
    void dragWith(const std::function<void()>& drag, const std::function<void()>& script) {
        bool returned = false;
        QTimer::singleShot(0, [&] { script(); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (!returned) {
                ADD_FAILURE() << "the drag did not end";
                manager->stop();
            }
        });
        guard.start(20000);
        drag();
        returned = true;
    }
    void step(int x, int y) {
        pointerTo(x, y);
        manager->doMoveInternal();
    }
    void resizeStep(int x, int y) {
        pointerTo(x, y);
        manager->doResizeInternal();
    }
    void release(bool resize = false) {
        buttonUp();
        if (resize)
            manager->doResizeInternal();
        else
            manager->doMoveInternal();
    }
    std::vector<uint32_t> rootPixels(const QRect& r) {
        XImage* img = XGetImage(other, DefaultRootWindow(other), r.x(), r.y(), unsigned(r.width()),
                                unsigned(r.height()), AllPlanes, ZPixmap);
        std::vector<uint32_t> out;
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                out.push_back(uint32_t(XGetPixel(img, x, y)));
        XDestroyImage(img);
        return out;
    }

    std::unique_ptr<QWidget> widget;
    std::unique_ptr<NVToolBoxManager> manager;
    Display* other = nullptr;
};

TEST_F(NVToolBoxManagerTest, DragThroughTwoHotSpotsReportsEachAndLeavingOnce) {
    manager = std::make_unique<NVToolBoxManager>(widget.get(), false);
    EXPECT_EQ(manager->addHotSpot(300, 300, 50, 50), 0);
    EXPECT_EQ(manager->addHotSpot(400, 300, 50, 50), 1);
    std::vector<int> spots;
    QObject::connect(manager.get(), &NVToolBoxManager::onHotSpot, [&](int i) { spots.push_back(i); });
    pointerTo(110, 110);
    buttonDown();
    dragWith([&] { manager->doMove(false, false, false); },
             [&] {
                 EXPECT_TRUE(manager->isActive());
                 EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeAllCursor);
                 step(200, 200);
                 step(310, 310);
                 step(320, 320);
                 step(349, 349); // the far edge still counts
                 step(410, 310);
                 step(500, 500);
                 step(510, 510);
                 step(510, 510);
                 release();
             });
    EXPECT_FALSE(manager->isActive());
    EXPECT_EQ(spots, (std::vector<int>{-1, 0, 1, -1}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(widget->pos(), QPoint(500, 500)) << "the widget followed the pointer";
}

TEST_F(NVToolBoxManagerTest, HoldInHotSpotMovesOnceOnEntryThenStays) {
    manager = std::make_unique<NVToolBoxManager>(widget.get(), true);
    manager->addHotSpot(300, 300, 50, 50);
    std::vector<QPoint> positions;
    QObject::connect(manager.get(), &NVToolBoxManager::posChanged,
                     [&](int x, int y) { positions.push_back(QPoint(x, y)); });
    pointerTo(110, 110);
    buttonDown();
    dragWith([&] { manager->doMove(true, true, false); },
             [&] {
                 step(200, 200);
                 step(310, 310);
                 step(320, 320);
                 step(330, 330);
                 step(200, 200);
                 release();
             });
    EXPECT_EQ(positions,
              (std::vector<QPoint>{{190, 190}, {300, 300}, {190, 190}, {190, 190} /* final, at the stop */}));
}

TEST_F(NVToolBoxManagerTest, RubberBandIsDrawnInXorAndErasedAfterwards) {
    manager = std::make_unique<NVToolBoxManager>(widget.get(), true);
    const QRect area(250, 250, 200, 150);
    const auto before = rootPixels(area);
    const auto cornerBefore = rootPixels(QRect(290, 290, 1, 1))[0];
    pointerTo(110, 110);
    buttonDown();
    dragWith([&] { manager->doMove(false, false, false); },
             [&] {
                 step(300, 300);
                 EXPECT_TRUE(manager->rubberBandDrawn());
                 XSync(display(), False);
                 EXPECT_EQ(rootPixels(QRect(290, 290, 1, 1))[0], cornerBefore ^ 0xffffffu)
                     << "outline at the widget's place under the pointer";
                 EXPECT_EQ(rootPixels(QRect(292, 292, 1, 1))[0], cornerBefore ^ 0xffffffu) << "third outline";
                 EXPECT_EQ(widget->pos(), QPoint(100, 100)) << "the widget stays during the drag";
                 step(340, 310);
                 step(110, 110);
                 release();
             });
    XSync(display(), False);
    EXPECT_FALSE(manager->rubberBandDrawn());
    EXPECT_EQ(rootPixels(area), before) << "XOR drawn twice restores the screen";
    QApplication::processEvents();
    EXPECT_EQ(widget->pos(), QPoint(100, 100)) << "placed at the outline when the drag ended";
}

TEST_F(NVToolBoxManagerTest, WidthOnlyResizeIgnoresVerticalMotion) {
    manager = std::make_unique<NVToolBoxManager>(widget.get(), false);
    std::vector<QSize> sizes;
    QObject::connect(manager.get(), &NVToolBoxManager::sizeChanged,
                     [&](int w, int h) { sizes.push_back(QSize(w, h)); });
    pointerTo(170, 130);
    buttonDown();
    dragWith([&] { manager->doXResize(false, true); },
             [&] {
                 EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeFDiagCursor);
                 resizeStep(190, 180);
                 resizeStep(190, 100); // vertical only: no step
                 resizeStep(150, 130);
                 release(true);
             });
    EXPECT_EQ(sizes, (std::vector<QSize>{{100, 40}, {60, 40}, {60, 40} /* final, at the stop */}));
    EXPECT_EQ(widget->size(), QSize(60, 40));
    EXPECT_EQ(manager->x(), 100) << "a resize keeps the top-left";
}

TEST_F(NVToolBoxManagerTest, ResizeBelowZeroDrawsNoHugeOutline) {
    manager = std::make_unique<NVToolBoxManager>(widget.get(), true);
    pointerTo(170, 130);
    buttonDown();
    dragWith([&] { manager->doResize(false, false); },
             [&] {
                 resizeStep(50, 50); // 80 x 40 becomes -40 x -40
                 EXPECT_EQ(manager->width(), -40);
                 EXPECT_EQ(manager->height(), -40);
                 release(true);
             });
    EXPECT_EQ(widget->size(), QSize(1, 1));
}

TEST_F(NVToolBoxManagerTest, SecondDragWhileOneRunsIsIgnoredAndANewOneCanStartAfter) {
    manager = std::make_unique<NVToolBoxManager>(widget.get(), false);
    pointerTo(110, 110);
    buttonDown();
    int inner = 0;
    dragWith([&] { manager->doMove(false, false, false); },
             [&] {
                 manager->doMove(false, false, false); // returns at once
                 manager->doResize(false, false);
                 ++inner;
                 release();
             });
    EXPECT_EQ(inner, 1);
    buttonDown();
    dragWith([&] { manager->doMove(false, false, false); }, [&] { manager->stop(); });
    buttonUp();
    EXPECT_FALSE(manager->isActive());
}

TEST_F(NVToolBoxManagerTest, HotSpotBookkeeping) {
    QWidget parent;
    parent.setGeometry(50, 60, 300, 200);
    auto* child = new QWidget(&parent);
    parent.show();
    QApplication::processEvents();
    NVToolBoxManager m(child, false);
    EXPECT_EQ(m.addHotSpot(QRect(10, 10, 5, 5), true), 0);
    EXPECT_EQ(m.addHotSpot(QRect(10, 10, 5, 5), false), 1);
    EXPECT_EQ(m.hotSpotCount(), 2);
    m.removeHotSpot(0);
    EXPECT_EQ(m.hotSpotCount(), 1);
    m.removeHotSpot(5);
    EXPECT_EQ(m.hotSpotCount(), 1);
    m.setGeometry(-1); // does nothing
    m.setGeometry(0);  // not active: does nothing
    EXPECT_EQ(m.width(), 0);

    NVToolBoxManager orphan(widget.get(), false);
    EXPECT_EQ(orphan.addHotSpot(QRect(1, 2, 3, 4), true), 0) << "no parent: kept as given";
}

} // namespace
