// After a recording, an author places six kinds of object on frame 1 with
// the tool bars only (a line, a polyline ended by a double-click, a text
// field, an instruction box, a validation field and a hyperlink) and makes
// the output file with the Make button: the made frame 1 holds all six.
// The window is the program's main window on the test's private server; the
// clicks and drags are real pointer events sent by xdotool while the window
// runs, so grabs and double-clicks behave as they do for an author.
#include "AnsweredBoxes.h"
#include "MadeObjects.h"
#include "MainWindowFixture.h"
#include "RecordedProject.h"

#include "canvas/VLImageHolder.h"
#include "canvas/records/sAllObjects.h"
#include "store/DrawingObjectType.h"
#include "support/ProcessRunner.h"

#include <QCoreApplication>
#include <QThread>
#include <QToolButton>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace mainwin;

namespace {

class SixKindsMake : public MainWindowTest {
  protected:
    // Runs xdotool with the arguments while the window takes what it sends,
    // then lets it settle.
    void xdotool(const std::string& args) {
        std::atomic<bool> done{false};
        std::thread sender([&] {
            testsupport::runCommand("xdotool " + args);
            done = true;
        });
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(2);
        }
        sender.join();
        settle(300);
    }
    void settle(int ms) {
        testsupport::waitUntil(
            [] {
                QCoreApplication::processEvents();
                return false;
            },
            ms);
    }
    static std::string at(const QPoint& p) { return std::to_string(p.x()) + " " + std::to_string(p.y()); }
    // A canvas point on the screen.
    std::string canvas(int x, int y) const { return at(w->imageHolder()->mapToGlobal(QPoint(x, y))); }
    void clickButton(QToolButton* b) {
        ASSERT_TRUE(b->isVisible() && b->isEnabled()) << b->toolTip().toStdString();
        xdotool("mousemove " + at(b->mapToGlobal(b->rect().center())) + " sleep 0.1 click 1");
    }
    // The tool button named by its tip.
    QToolButton* tool(const QString& tip) const {
        for (QToolButton* b : w->toolButtons())
            if (b->toolTip() == tip)
                return b;
        ADD_FAILURE() << "no tool button " << tip.toStdString();
        return nullptr;
    }
    void drag(int x0, int y0, int x1, int y1) {
        xdotool("mousemove " + canvas(x0, y0) + " mousedown 1 sleep 0.2 mousemove " +
                canvas((x0 + x1) / 2, (y0 + y1) / 2) + " sleep 0.2 mousemove " + canvas(x1, y1) +
                " sleep 0.2 mouseup 1");
    }
    void click(int x, int y) { xdotool("mousemove " + canvas(x, y) + " sleep 0.1 click 1"); }
};

TEST_F(SixKindsMake, SixKindsPlacedWithTheToolBarsReachTheMadeFrame) {
    ASSERT_NO_FATAL_FAILURE(recordedProject(w, 3));
    w->show();
    w->frameStrip()->set_current_frame(1);
    VLImageHolder* holder = w->imageHolder();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            QCoreApplication::processEvents();
            return holder->isVisible() && !holder->visibleRegion().isEmpty();
        },
        5000));
    settle(500);
    // Every place below shows on the screen.
    const QRect shown = holder->visibleRegion().boundingRect();
    ASSERT_TRUE(shown.contains(QRect(20, 20, 460, 360)))
        << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();

    ASSERT_NO_FATAL_FAILURE(clickButton(tool("Line")));
    drag(40, 40, 200, 100);

    // Two clicks, then a double-click at a third point.
    ASSERT_NO_FATAL_FAILURE(clickButton(tool("Polyline")));
    click(250, 40);
    click(350, 100);
    xdotool("mousemove " + canvas(450, 40) + " sleep 0.1 click --repeat 2 --delay 80 1");

    ASSERT_NO_FATAL_FAILURE(clickButton(tool("Text Field")));
    drag(40, 150, 200, 230);
    ASSERT_NO_FATAL_FAILURE(clickButton(tool("Instruction Box")));
    drag(250, 150, 450, 260);
    ASSERT_NO_FATAL_FAILURE(clickButton(tool("Validation Field")));
    drag(40, 300, 200, 340);
    ASSERT_NO_FATAL_FAILURE(clickButton(tool("Hyperlink")));
    drag(250, 300, 450, 360);

    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    answering({}, [&] {
        ASSERT_NO_FATAL_FAILURE(clickButton(w->widgets().makeButton));
        testsupport::waitUntil(
            [&] {
                QCoreApplication::processEvents();
                return w->project().m_dwFrameCount == 0 && testsupport::fileExists(vlm);
            },
            20000);
    });
    ASSERT_TRUE(testsupport::fileExists(vlm)) << "the make wrote no file";

    std::map<int32_t, int> kinds;
    const std::vector<sAllObjects> frame1 = testsupport::objectsOfFirstFrame(vlm);
    for (const sAllObjects& o : frame1)
        ++kinds[o.drawingObject];
    const std::map<int32_t, int> expected{{FRAMEOBJECT, 1}, {LINE, 1},           {POLYLINE, 1},
                                          {TEXTFIELD, 1},   {INSTRUCTIONBOX, 1}, {VALIDATIONFIELD, 1},
                                          {HYPERLINK, 1}};
    EXPECT_EQ(kinds, expected);

    const sPoly* poly = testsupport::firstOfKind<sPoly>(frame1, POLYLINE);
    ASSERT_NE(poly, nullptr);
    std::vector<std::pair<int, int>> points;
    for (const NVPoint& pt : poly->points)
        points.emplace_back(pt.x, pt.y);
    EXPECT_EQ(points, (std::vector<std::pair<int, int>>{{250, 40}, {350, 100}, {450, 40}}))
        << "the double-click ends the polyline at its third point";
}

} // namespace
