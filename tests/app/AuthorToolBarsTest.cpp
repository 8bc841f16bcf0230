// An author picks tools on the tool bars of the main window and draws with
// the mouse: a polyline ends at a double-click, at a new point or at its last
// one, and lets go of the mouse between its clicks, so that the tool bars,
// the menus and other programs' windows get their own clicks, with and
// without a window manager; the canvas shows the cross while a drawing or
// placing tool is chosen.
#include "MadeObjects.h"
#include "ToolsOnScreen.h"

#include "canvas/DrawTools.h"
#include "canvas/records/sAllObjects.h"
#include "store/DrawingObjectType.h"

#include <QMenu>

#include "TestWindowManager.h"

#include <X11/Xlib.h>
// X's query class of the same name hides the toolkit's enum.
#undef CursorShape

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using mainwin::serveUntil;
using Points = std::vector<QPoint>;

Points pointsOf(DrawTools* object) {
    const QPolygon a = object->getArrayPoints();
    return Points(a.begin(), a.end());
}

class AuthorToolBars : public mainwin::ToolsOnScreenTest {
  protected:
    // The live objects of a kind on the current frame.
    std::vector<DrawTools*> objectsOfKind(int kind) const {
        std::vector<DrawTools*> out;
        const auto& live = holder->liveObjects();
        for (size_t i = 1; i < live.size(); ++i)
            if (live[i] && live[i]->drawingObject == kind)
                out.push_back(live[i]);
        return out;
    }
    DrawTools* onlyPolyline() const {
        const auto polylines = objectsOfKind(POLYLINE);
        return polylines.size() == 1 ? polylines.front() : nullptr;
    }
    bool toolOn(const QString& name) const {
        QToolButton* b = mainwin::toolButtonNamed(w, name);
        return b && b->isChecked();
    }
    // The polyline tool from its button, then a click at every point.
    void enter(const Points& clicks) {
        ASSERT_TRUE(clickTool("Polyline"));
        ASSERT_TRUE(toolOn("Polyline"));
        for (QPoint p : clicks)
            ASSERT_TRUE(clickCanvas(p)) << "the canvas got no click at " << p.x() << "," << p.y();
    }
    // The points of the polylines in the made file's first frame.
    std::vector<Points> madePolylines() {
        w->slotFileMake();
        std::vector<Points> out;
        const auto frames = testsupport::objectsOf(home() + "/zedaro/Untitled.vlm", 1);
        if (frames.empty())
            return out;
        for (const sAllObjects& o : frames.front())
            if (const sPoly* s = o.drawingObject == POLYLINE ? std::get_if<sPoly>(&o.payload) : nullptr) {
                Points points;
                for (const NVPoint& p : s->points)
                    points.emplace_back(p.x, p.y);
                out.push_back(points);
            }
        return out;
    }
};

const QPoint P1(100, 100), P2(250, 160), P3(180, 300), P4(320, 260);

struct DoubleClickCase {
    const char* name;
    QPoint at;
    Points points;
};

class PolylineDoubleClick : public AuthorToolBars, public ::testing::WithParamInterface<DoubleClickCase> {};

// Three clicks and a double-click end the entry: the polyline button pops
// up, the selection tool is back, the polyline is selected with its points,
// a further click adds none, and the made file holds the same points.
TEST_P(PolylineDoubleClick, EndsTheEntry) {
    const DoubleClickCase& c = GetParam();
    enter({P1, P2, P3});
    ASSERT_TRUE(doubleClickCanvas(c.at));
    EXPECT_EQ(mouse->doubleClicks, 1) << "the holder got no double-click";
    EXPECT_FALSE(toolOn("Polyline"));
    EXPECT_TRUE(toolOn("Selection Tool"));
    EXPECT_EQ(DrawTools::currentlySelectedObject, SELECTION);
    DrawTools* polyline = onlyPolyline();
    ASSERT_NE(polyline, nullptr);
    EXPECT_EQ(pointsOf(polyline), c.points);

    ASSERT_TRUE(clickCanvas(QPoint(600, 400)));
    ASSERT_EQ(onlyPolyline(), polyline);
    EXPECT_EQ(pointsOf(polyline), c.points) << "a click after the end adds no point";

    EXPECT_EQ(madePolylines(), std::vector<Points>{c.points});
}

INSTANTIATE_TEST_SUITE_P(Table, PolylineDoubleClick,
                         ::testing::Values(DoubleClickCase{"AtANewPoint", P4, {P1, P2, P3, P4}},
                                           DoubleClickCase{"AtTheLastPoint", P3, {P1, P2, P3}}),
                         [](const auto& info) { return std::string(info.param.name); });

// After a polyline ended by a double-click, a click on the Edit tool bar
// reaches the tool bar, and the next drag makes a text field.
TEST_F(AuthorToolBars, ToolBarClickAfterAPolylineChoosesTheTool) {
    enter({P1, P2, P3});
    ASSERT_TRUE(doubleClickCanvas(P4));
    ASSERT_TRUE(clickTool("Text Field"));
    ASSERT_TRUE(serveUntil([&] { return toolOn("Text Field"); })) << "the click did not reach the tool bar";
    dragOnCanvas(QPoint(400, 100), QPoint(600, 180));
    ASSERT_TRUE(serveUntil([&] { return objectsOfKind(TEXTFIELD).size() == 1; }));
    ASSERT_NE(onlyPolyline(), nullptr);
    EXPECT_EQ(pointsOf(onlyPolyline()), (Points{P1, P2, P3, P4}));
}

// Choosing another tool on a tool bar in the middle of an entry ends it with
// the points clicked so far; the next drag makes the other tool's object.
TEST_F(AuthorToolBars, ChoosingAnotherToolEndsTheEntry) {
    enter({P1, P2, P3});
    ASSERT_TRUE(clickTool("Text Field"));
    ASSERT_TRUE(serveUntil([&] { return toolOn("Text Field"); })) << "the click did not reach the tool bar";
    EXPECT_FALSE(toolOn("Polyline"));
    EXPECT_EQ(mouse->presses, 3) << "the canvas got the tool bar's click";
    DrawTools* polyline = onlyPolyline();
    ASSERT_NE(polyline, nullptr);
    EXPECT_EQ(pointsOf(polyline), (Points{P1, P2, P3}));

    dragOnCanvas(QPoint(400, 100), QPoint(600, 180));
    ASSERT_TRUE(serveUntil([&] { return objectsOfKind(TEXTFIELD).size() == 1; }));
    EXPECT_EQ(pointsOf(polyline), (Points{P1, P2, P3}));
}

// A window of another program, on the test's own connection, below the main
// window; it notes the presses it gets.
class OtherProgramWindow {
  public:
    OtherProgramWindow() : m_dpy(XOpenDisplay(nullptr)) {
        if (!m_dpy)
            return;
        XSetWindowAttributes a{};
        a.event_mask = ButtonPressMask;
        a.background_pixel = WhitePixel(m_dpy, DefaultScreen(m_dpy));
        const int screenHeight = DisplayHeight(m_dpy, DefaultScreen(m_dpy));
        m_window = XCreateWindow(m_dpy, DefaultRootWindow(m_dpy), 10, screenHeight - 70, 200, 30, 0,
                                 CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixel, &a);
        XMapRaised(m_dpy, m_window);
        XSync(m_dpy, False);
    }
    ~OtherProgramWindow() {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    bool shown() const {
        XWindowAttributes a;
        return m_dpy && m_window && XGetWindowAttributes(m_dpy, m_window, &a) && a.map_state == IsViewable;
    }
    // Its middle on the screen, framed or not.
    std::string middle() const {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(m_dpy, m_window, DefaultRootWindow(m_dpy), 100, 15, &x, &y, &child);
        return std::to_string(x) + " " + std::to_string(y);
    }
    // Whether a press arrived since the last call.
    bool pressed() {
        bool seen = false;
        while (XPending(m_dpy)) {
            XEvent e;
            XNextEvent(m_dpy, &e);
            seen = seen || e.type == ButtonPress;
        }
        return seen;
    }

  private:
    Display* m_dpy = nullptr;
    Window m_window = 0;
};

// With and without a window manager.
class OutsideClicks : public AuthorToolBars, public ::testing::WithParamInterface<bool> {
  protected:
    void beforeShow() override {
        if (GetParam())
            wm = std::make_unique<testsupport::TestWindowManager>();
    }
    std::unique_ptr<testsupport::TestWindowManager> wm;
};

// Between the clicks of an entry, a click on another program's window goes
// to that window, and a click on the menu bar opens the menu (which ends the
// entry, as opening any menu drops the tool); the canvas gets neither.
TEST_P(OutsideClicks, AreNotCapturedDuringAnEntry) {
    if (GetParam()) {
        ASSERT_TRUE(wm->running());
        ASSERT_TRUE(serveUntil([&] { return w->frameGeometry().top() < w->geometry().top(); }))
            << "the main window has no frame";
    }
    OtherProgramWindow other;
    ASSERT_TRUE(serveUntil([&] { return other.shown(); }));
    enter({P1, P2});
    clickOnScreen(other.middle());
    EXPECT_TRUE(serveUntil([&] { return other.pressed(); })) << "the other window got no press";
    EXPECT_EQ(mouse->presses, 2) << "the canvas got the other window's click";
    ASSERT_TRUE(clickCanvas(P3));
    EXPECT_TRUE(toolOn("Polyline")) << "the entry goes on";

    clickOnScreen(mainwin::menuTitleOnScreen(w, w->widgets().objectsMenu));
    EXPECT_TRUE(serveUntil([] { return QApplication::activePopupWidget() != nullptr; }))
        << "the menu did not open";
    EXPECT_EQ(mouse->presses, 3) << "the canvas got the menu bar's click";
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    EXPECT_TRUE(toolOn("Selection Tool"));
    DrawTools* polyline = onlyPolyline();
    ASSERT_NE(polyline, nullptr);
    EXPECT_EQ(pointsOf(polyline), (Points{P1, P2, P3}));
}

INSTANTIATE_TEST_SUITE_P(Table, OutsideClicks, ::testing::Values(false, true), [](const auto& info) {
    return std::string(info.param ? "WithAWindowManager" : "WithoutAWindowManager");
});

struct CursorCase {
    const char* tool;
    Qt::CursorShape shape;
};

class CanvasCursor : public AuthorToolBars, public ::testing::WithParamInterface<CursorCase> {};

// Each tool button gives the canvas its cursor.
TEST_P(CanvasCursor, FollowsTheToolChosen) {
    const CursorCase& c = GetParam();
    // From the other shape, so that the change shows.
    ASSERT_TRUE(clickTool(c.shape == Qt::ArrowCursor ? "Line" : "Selection Tool"));
    ASSERT_TRUE(clickTool(c.tool));
    ASSERT_TRUE(serveUntil([&] { return toolOn(c.tool); }));
    EXPECT_EQ(holder->cursor().shape(), c.shape);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasCursor,
    ::testing::Values(CursorCase{"Selection Tool", Qt::ArrowCursor}, CursorCase{"Line", Qt::CrossCursor},
                      CursorCase{"Rectangle", Qt::CrossCursor}, CursorCase{"Ellipse", Qt::CrossCursor},
                      CursorCase{"Round Rectangle", Qt::CrossCursor}, CursorCase{"Polyline", Qt::CrossCursor},
                      CursorCase{"Bitmap", Qt::CrossCursor}, CursorCase{"Text Field", Qt::CrossCursor},
                      CursorCase{"Instruction Box", Qt::CrossCursor},
                      CursorCase{"Validation Field", Qt::CrossCursor},
                      CursorCase{"Hyperlink", Qt::CrossCursor}),
    [](const auto& info) {
        std::string name = info.param.tool;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        return name;
    });

// Drawing works under the cross: a rectangle dragged out with the cross
// shown is made and the tool stays; a click without a drag hands back the
// selection tool and the arrow; a menu opened drops the tool and the cross.
TEST_F(AuthorToolBars, DrawingWorksUnderTheCross) {
    ASSERT_TRUE(clickTool("Rectangle"));
    ASSERT_TRUE(serveUntil([&] { return holder->cursor().shape() == Qt::CrossCursor; }));
    dragOnCanvas(QPoint(100, 100), QPoint(300, 200));
    ASSERT_TRUE(serveUntil([&] { return objectsOfKind(RECTANGLE).size() == 1; }));
    EXPECT_TRUE(toolOn("Rectangle"));
    EXPECT_EQ(holder->cursor().shape(), Qt::CrossCursor);

    ASSERT_TRUE(clickCanvas(QPoint(500, 300)));
    EXPECT_TRUE(serveUntil([&] { return toolOn("Selection Tool"); }));
    EXPECT_EQ(holder->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(objectsOfKind(RECTANGLE).size(), 1u);

    ASSERT_TRUE(clickTool("Line"));
    ASSERT_TRUE(serveUntil([&] { return holder->cursor().shape() == Qt::CrossCursor; }));
    clickOnScreen(mainwin::menuTitleOnScreen(w, w->widgets().editMenu));
    ASSERT_TRUE(serveUntil([] { return QApplication::activePopupWidget() != nullptr; }));
    QApplication::activePopupWidget()->close();
    EXPECT_TRUE(toolOn("Selection Tool"));
    EXPECT_EQ(holder->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
