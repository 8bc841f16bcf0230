#include "InteractiveTestHost.h"

#include "objects/interactive/CFrameObject.h"
#include "objects/interactive/CMouseClick.h"
#include "properties/EditPropertyBase.h"
#include "store/RecordIO.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

using interactivetest::FakeHost;
using interactivetest::SpyMediaLibrary;

namespace {

SRect rectOf(const SPlayBackFrameInfo& p) {
    return p.clickRect;
}

bool operator==(const SRect& a, const SRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class MouseClickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        interactivetest::app();
        DrawTools::setMediaLibrary(&media);
        DrawTools::currentlySelectedObject = SELECTION;
        host = std::make_unique<FakeHost>(3);
        host->current = 1;
        host->playback[1].vType = VALIDATION_MOUSE;
        host->playback[1].clickRect = SRect{100, 200, 110, 210};
    }
    void TearDown() override { DrawTools::setMediaLibrary(nullptr); }

    std::unique_ptr<CMouseClick> target(int frame = 1) {
        return std::make_unique<CMouseClick>(nullptr, host->playback[size_t(frame)].clickRect, 0, frame);
    }
    static void setRow(CMouseClick& t, const QString& row, const QString& value, int valueId = 0) {
        t.getEditPropertyBase()->setProp_Value(row, value);
        if (valueId)
            t.getEditPropertyBase()->setProp_ValueId(row, valueId);
    }

    SpyMediaLibrary media;
    std::unique_ptr<FakeHost> host;
};

TEST_F(MouseClickTest, MadeFromThePlaybackRecord) {
    host->playback[1].cursorImage = 12;
    host->playback[1].actionDisabled = 1;
    media.paths[12] = "/icons/hand.png";
    auto t = target();
    const sMouseClick& c = t->clickRecord();
    EXPECT_EQ(c.name, "Mouse Click");
    EXPECT_EQ(c.x, 100);
    EXPECT_EQ(c.y, 200);
    EXPECT_EQ(c.width, 10);
    EXPECT_EQ(c.height, 10);
    EXPECT_EQ(t->imageId(), 12u);
    EXPECT_TRUE(t->targetDisabled());
    EXPECT_EQ(t->Prop2Str("Target"), "Disable");
    EXPECT_EQ(t->Prop2Str("Image"), "/icons/hand.png");
    EXPECT_EQ(t->Prop2Str("Width"), "10");
    EXPECT_EQ(t->drawingObject, MOUSECLICK);
    EXPECT_EQ(host->appendedNames, QStringList{"Mouse Click"});
    EXPECT_TRUE(t->getRegion().isEmpty());
}

TEST_F(MouseClickTest, DrawnAtLeast40By36WhileThePlaybackRecordKeepsTheClick) {
    auto t = target();
    unsigned long none = 0;
    t->draw(nullptr, nullptr, none);
    EXPECT_EQ(t->clickRecord().width, 40);
    EXPECT_EQ(t->clickRecord().height, 36);
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{100, 200, 110, 210}));
}

TEST_F(MouseClickTest, AnApplyWritesAtLeast40By36) {
    auto t = target();
    host->selected = t.get();
    QSignalSpy width(t.get(), &DrawTools::signalSetWidth);
    t->repaintItem();
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{100, 200, 140, 236}));
    EXPECT_EQ(host->drawCount, 1);
    EXPECT_EQ(host->currentObject, t.get());
    ASSERT_EQ(width.count(), 1);
    EXPECT_EQ(width.at(0).at(0).toInt(), 40);

    setRow(*t, "Width", "20");
    setRow(*t, "Left", "5");
    t->repaintItem();
    EXPECT_EQ(t->clickRecord().width, 40);
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{5, 200, 45, 236}));

    setRow(*t, "Width", "120");
    setRow(*t, "Height", "abc"); // not a number: 0, then the drawn minimum
    t->repaintItem();
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{5, 200, 125, 236}));
}

TEST_F(MouseClickTest, TargetAndImageRowsWriteTheirFramesPlaybackBytes) {
    host->playback[2].vType = VALIDATION_MOUSE;
    host->playback[2].clickRect = SRect{10, 10, 60, 50};
    auto t = target(2);
    setRow(*t, "Target", "Disable");
    setRow(*t, "Image", "arrow.png", 0x0A0B0C0D);
    t->repaintItem();
    auto bytes = host->playback[2].toBytes();
    EXPECT_EQ(bytes[SPlayBackFrameInfo::ACTION_DISABLED], 1);
    EXPECT_EQ(rec::readLe32(&bytes[SPlayBackFrameInfo::CURSOR_IMAGE]), 0x0A0B0C0Du);
    // The other frames' records are untouched.
    for (int f : {0, 1}) {
        auto other = host->playback[size_t(f)].toBytes();
        EXPECT_EQ(other[SPlayBackFrameInfo::ACTION_DISABLED], 0);
        EXPECT_EQ(rec::readLe32(&other[SPlayBackFrameInfo::CURSOR_IMAGE]), 0u);
    }

    setRow(*t, "Target", "Enable");
    setRow(*t, "Image", "[None]");
    t->repaintItem();
    bytes = host->playback[2].toBytes();
    EXPECT_EQ(bytes[SPlayBackFrameInfo::ACTION_DISABLED], 0);
    EXPECT_EQ(rec::readLe32(&bytes[SPlayBackFrameInfo::CURSOR_IMAGE]), 0u);
    EXPECT_EQ(rec::readLe32(&bytes[SPlayBackFrameInfo::CLICK_RECT]), 10u);
    EXPECT_EQ(rec::readLe32(&bytes[SPlayBackFrameInfo::CLICK_RECT + 8]), 60u);
    EXPECT_EQ(rec::readLe32(&bytes[SPlayBackFrameInfo::CLICK_RECT + 12]), 50u);
}

TEST_F(MouseClickTest, NameRow) {
    auto t = target();
    setRow(*t, "Name", QString(29, 'n'));
    t->repaintItem();
    EXPECT_EQ(t->clickRecord().name, std::string(29, 'n'));
    setRow(*t, "Name", QString(30, 'm'));
    t->repaintItem();
    EXPECT_EQ(t->clickRecord().name, std::string(29, 'n'));
    EXPECT_EQ(t->Prop2Str("Name"), QString(29, 'n'));
    setRow(*t, "Name", "   ");
    t->repaintItem();
    EXPECT_STREQ(t->getObjectName(), "Mouse Click");
}

TEST_F(MouseClickTest, DraggingTheBottomRightHandleResizesTheTarget) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    host->selection = true;
    t->press(QPoint(153, 243)); // handle 4's area: (150..156, 240..246)
    EXPECT_EQ(t->currentHandle(), 4);
    // The handle lies outside the target: the arrow, but the selection stays.
    EXPECT_EQ(host->cursors.back(), Qt::ArrowCursor);
    EXPECT_TRUE(host->selection);
    t->move(QPoint(173, 253), Qt::LeftButton, Qt::NoModifier);
    ASSERT_EQ(host->bands.size(), 1u);
    EXPECT_EQ(host->bands[0], QRect(100, 200, 70, 50));
    t->move(QPoint(183, 263), Qt::LeftButton, Qt::NoModifier);
    ASSERT_EQ(host->bands.size(), 3u); // the old band erased, the new one drawn
    EXPECT_EQ(host->bands[1], host->bands[0]);
    EXPECT_EQ(host->bands[2], QRect(100, 200, 80, 60));
    t->release(QPoint(183, 263));
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{100, 200, 180, 260}));
    EXPECT_EQ(t->Prop2Str("Width"), "80");
    EXPECT_EQ(t->Prop2Str("Height"), "60");
    EXPECT_EQ(host->cursors.back(), Qt::ArrowCursor);
}

TEST_F(MouseClickTest, DraggingTheBodyMovesItAndShowsTheMoveCursor) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    host->selection = true;
    t->press(QPoint(120, 220));
    EXPECT_EQ(t->currentHandle(), 0);
    EXPECT_EQ(host->cursors.back(), Qt::SizeAllCursor);
    t->move(QPoint(130, 215), Qt::LeftButton, Qt::NoModifier);
    t->release(QPoint(130, 215));
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{110, 195, 160, 235}));
}

TEST_F(MouseClickTest, AReleaseWithoutADrawnBandKeepsTheClickRectangle) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    host->selection = true;
    // A press outside the target and its handles: a body drag draws nothing.
    t->press(QPoint(400, 400));
    EXPECT_FALSE(host->selection);
    t->move(QPoint(420, 420), Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(host->bands.empty());
    t->release(QPoint(420, 420));
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{100, 200, 150, 240}));
    EXPECT_EQ(t->clickRecord().width, 50);

    // A press and release with no move in between.
    host->selection = true;
    t->press(QPoint(120, 220));
    t->release(QPoint(120, 220));
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{100, 200, 150, 240}));
}

TEST_F(MouseClickTest, PressWithoutSelectionTestsNoHandle) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    QSignalSpy left(t.get(), &DrawTools::signalSetLeft);
    t->press(QPoint(153, 243));
    EXPECT_EQ(t->currentHandle(), -1);
    EXPECT_EQ(host->cursors.back(), Qt::ArrowCursor);
    EXPECT_EQ(left.count(), 1);
}

TEST_F(MouseClickTest, MovesDoNothingWithADrawingTool) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    host->selection = true;
    t->press(QPoint(153, 243));
    host->cursors.clear();
    DrawTools::currentlySelectedObject = RECTANGLE;
    t->move(QPoint(173, 253), Qt::LeftButton, Qt::NoModifier);
    t->move(QPoint(153, 243), Qt::NoButton, Qt::NoModifier);
    EXPECT_TRUE(host->bands.empty());
    EXPECT_TRUE(host->cursors.empty());
    DrawTools::currentlySelectedObject = SELECTION;
}

TEST_F(MouseClickTest, HoverShowsTheHandleCursor) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    host->selection = true;
    t->move(QPoint(97, 220), Qt::NoButton, Qt::NoModifier); // left middle
    EXPECT_EQ(host->cursors.back(), Qt::SizeHorCursor);
    t->move(QPoint(120, 220), Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(host->cursors.back(), Qt::ArrowCursor);
}

// The red corner marks in a server pixmap.
class MouseClickDrawing : public testsupport::XvfbTest {};

TEST_F(MouseClickDrawing, CornerMarksAreRed) {
    interactivetest::app();
    SpyMediaLibrary media;
    DrawTools::setMediaLibrary(&media);
    FakeHost host(1);
    host.playback[0].clickRect = SRect{50, 60, 60, 70}; // drawn 40 x 36
    CMouseClick t(nullptr, host.playback[0].clickRect, 0, 0);

    Display* dpy = XOpenDisplay(xvfb().display().c_str());
    ASSERT_NE(dpy, nullptr);
    const int screen = DefaultScreen(dpy);
    unsigned long pixmap =
        XCreatePixmap(dpy, RootWindow(dpy, screen), 160, 160, unsigned(DefaultDepth(dpy, screen)));
    GC gc = XCreateGC(dpy, pixmap, 0, nullptr);
    XSetForeground(dpy, gc, BlackPixel(dpy, screen));
    XFillRectangle(dpy, pixmap, gc, 0, 0, 160, 160);
    t.draw(dpy, gc, pixmap);
    XImage* img = XGetImage(dpy, pixmap, 0, 0, 160, 160, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    auto red = [&](int x, int y) { return (XGetPixel(img, x, y) & 0xFFFFFF) == 0xFF0000; };
    const int r = 90, b = 96;
    struct Probe {
        int x, y;
        bool on;
    };
    const Probe probes[] = {
        {50, 60, true},
        {50, 68, true},
        {58, 60, true},
        {52, 62, true},
        {52, 68, true},
        {58, 62, true},
        {r, 60, true},
        {r - 8, 60, true},
        {r, 68, true},
        {r - 2, 62, true},
        {r, b, true},
        {r - 8, b, true},
        {r, b - 8, true},
        {r - 2, b - 2, true},
        {50, b, true},
        {58, b, true},
        {50, b - 8, true},
        {52, b - 2, true},
        // No outline between the marks, no fill.
        {70, 60, false},
        {50, 78, false},
        {r, 78, false},
        {70, b, false},
        {70, 78, false},
        {51, 61, false},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(red(p.x, p.y), p.on) << p.x << "," << p.y;
    XDestroyImage(img);
    XFreeGC(dpy, gc);
    XFreePixmap(dpy, pixmap);
    XCloseDisplay(dpy);
    DrawTools::setMediaLibrary(nullptr);
}

} // namespace

namespace {

TEST_F(MouseClickTest, MouseEventsSentToTheTargetRunTheGestures) {
    host->playback[1].clickRect = SRect{100, 200, 150, 240};
    auto t = target();
    host->selection = true;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(120, 220), QPointF(120, 220), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(t.get(), &press);
    EXPECT_EQ(t->currentHandle(), 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(125, 230), QPointF(125, 230), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(t.get(), &move);
    // A move with Shift held is no drag.
    QMouseEvent shifted(QEvent::MouseMove, QPointF(145, 250), QPointF(145, 250), Qt::NoButton, Qt::LeftButton,
                        Qt::ShiftModifier);
    QCoreApplication::sendEvent(t.get(), &shifted);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(125, 230), QPointF(125, 230), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(t.get(), &release);
    EXPECT_TRUE(rectOf(host->playback[1]) == (SRect{105, 210, 155, 250}));
}

// After a recording every frame gets its frame-object record, and every
// frame with a recorded click a target when it becomes current.
TEST_F(MouseClickTest, EveryRecordedFrameHasItsFrameObjectAndEveryClickFrameItsTarget) {
    FakeHost recorded(5);
    recorded.playback[0].vType = VALIDATION_MOUSE;
    recorded.playback[0].clickRect = SRect{10, 10, 20, 20};
    recorded.playback[1].vType = VALIDATION_KEY;
    recorded.playback[2].vType = VALIDATION_MOUSE;
    recorded.playback[2].clickRect = SRect{30, 30, 30, 40}; // no width: no target
    recorded.playback[3].vType = VALIDATION_MOUSE;
    recorded.playback[3].clickRect = SRect{300, 200, 340, 236};
    recorded.playback[4].vType = VALIDATION_NONE;

    std::vector<StrAllObjects> lists(recorded.playback.size());
    for (size_t f = 0; f < lists.size(); ++f)
        lists[f].AllObjects.push_back(CFrameObject::recordForNewFrame(nullptr, int(f) + 1, false));

    std::vector<int> targets;
    for (size_t f = 0; f < lists.size(); ++f) {
        recorded.current = int(f);
        const NVAllObjects& first = lists[f].AllObjects.at(0);
        EXPECT_EQ(first.drawingObject, FRAMEOBJECT);
        EXPECT_EQ(first.objectID, "XXX");
        EXPECT_EQ(first.recordSize, 1024);
        ASSERT_NE(first.get<NVFrame>(), nullptr);
        EXPECT_EQ(first.get<NVFrame>()->m_Caption, "Frame " + std::to_string(f + 1));
        CFrameObject live(nullptr, *first.get<NVFrame>(), 0);
        EXPECT_EQ(live.isRecordedFrame(), true);
        EXPECT_EQ(live.hasNoUserAction(), f == 4);
        if (CMouseClick::hasClickTarget(recorded.playback[f])) {
            CMouseClick t(nullptr, recorded.playback[f].clickRect, 0, int(f));
            targets.push_back(int(f));
        }
    }
    EXPECT_EQ(targets, (std::vector<int>{0, 3}));
    host->setCurrent(host.get());
}

} // namespace
