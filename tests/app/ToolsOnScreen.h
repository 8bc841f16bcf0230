// The main window shown on the test's Xvfb with a frame, and the author's
// mouse on it: real pointer events through xdotool, tool bar buttons found
// by their names, and the holder's own count of the mouse events it got.
#pragma once

#include "HolderInMainWindow.h"

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "support/ProcessRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMenuBar>
#include <QToolButton>
#include <QWindow>

#include <functional>
#include <memory>
#include <string>

namespace mainwin {

// Serves the event loop until the condition holds or the time is up.
inline bool serveUntil(const std::function<bool()>& condition, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline void serveFor(int ms) {
    serveUntil([] { return false; }, ms);
}

// The tool button whose tip is `name` ("Polyline", "Text Field" ...); null
// when there is none.
inline QToolButton* toolButtonNamed(Velmora* w, const QString& name) {
    for (QToolButton* b : w->toolButtons())
        if (b && b->toolTip() == name)
            return b;
    return nullptr;
}

// The screen point of a widget's middle, as xdotool takes it.
inline std::string middleOnScreen(const QWidget* widget) {
    const QPoint p = widget->mapToGlobal(widget->rect().center());
    return std::to_string(p.x()) + " " + std::to_string(p.y());
}

// The screen point of a menu's title in the window's menu bar.
inline std::string menuTitleOnScreen(Velmora* w, QMenu* menu) {
    const QRect r = w->menuBar()->actionGeometry(menu->menuAction());
    const QPoint p = w->menuBar()->mapToGlobal(r.center());
    return std::to_string(p.x()) + " " + std::to_string(p.y());
}

// Counts the mouse events a widget gets.
class MouseEventCount : public QObject {
  public:
    explicit MouseEventCount(QWidget* watched) { watched->installEventFilter(this); }
    int presses = 0, releases = 0, doubleClicks = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress)
            ++presses;
        else if (e->type() == QEvent::MouseButtonRelease)
            ++releases;
        else if (e->type() == QEvent::MouseButtonDblClick)
            ++doubleClicks;
        return false;
    }
};

// The main window with a frame appended, shown, and its holder.
class ToolsOnScreenTest : public HolderInMainWindowTest {
  protected:
    void SetUp() override {
        HolderInMainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NE(holder, nullptr);
        beforeShow();
        w->show();
        ASSERT_TRUE(serveUntil(
            [&] { return w->windowHandle() && w->windowHandle()->isExposed() && holder->isVisible(); }));
        serveFor(300);
        mouse = std::make_unique<MouseEventCount>(holder);
    }
    // Runs before the window shows (a window manager starts here).
    virtual void beforeShow() {}
    void TearDown() override {
        mouse.reset();
        HolderInMainWindowTest::TearDown();
    }

    // A holder point on the screen, as xdotool takes it.
    std::string at(QPoint p) const {
        const QPoint g = holder->mapToGlobal(p);
        return std::to_string(g.x()) + " " + std::to_string(g.y());
    }
    // xdotool with the arguments; then the events it made are served.
    void xdotool(const std::string& args, int settleMs = 300) {
        testsupport::runCommand("xdotool " + args);
        serveFor(settleMs);
    }
    // A left click at the screen point, wherever it goes.
    void clickOnScreen(const std::string& point) { xdotool("mousemove " + point + " click 1"); }
    // A click on the canvas; false when the holder did not get its release.
    bool clickCanvas(QPoint p) {
        const int releases = mouse->releases;
        clickOnScreen(at(p));
        return serveUntil([&] { return mouse->releases > releases; });
    }
    // A double-click as a person makes it; false when the holder did not
    // get both releases.
    bool doubleClickCanvas(QPoint p) {
        const int releases = mouse->releases;
        xdotool("mousemove " + at(p) + " click --repeat 2 --delay 80 1");
        return serveUntil([&] { return mouse->releases >= releases + 2; });
    }
    // Clicks the tool bar button named; false when there is none.
    bool clickTool(const QString& name) {
        QToolButton* b = toolButtonNamed(w, name);
        if (!b)
            return false;
        clickOnScreen(middleOnScreen(b));
        return true;
    }
    // A left-button drag on the canvas, with a stop half way.
    void dragOnCanvas(QPoint from, QPoint to) {
        xdotool("mousemove " + at(from) + " mousedown 1 sleep 0.1 mousemove " + at((from + to) / 2) +
                " sleep 0.1 mousemove " + at(to) + " sleep 0.1 mouseup 1");
    }

    std::unique_ptr<MouseEventCount> mouse;
};

} // namespace mainwin
