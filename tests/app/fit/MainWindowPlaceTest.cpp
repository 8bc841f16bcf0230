// Under a window manager that frames its windows, the main window's frame,
// title bar included, starts at the screen's corner, and the window keeps
// the size the settings give it.
#include "FitApp.h"

#include "app/SWindowSettings.h"
#include "app/SessionFiles.h"
#include "app/Velmora.h"

#include <QScreen>

#include <map>
#include <memory>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A small reparenting window manager on its own connection, served from the
// test's event loop: every mapped top-level window gets a frame with a title
// bar; a window's position is its frame's (north-west gravity) or its own
// (static gravity), as the window asks in its size hints.
class FramingWindowManager {
  public:
    static constexpr int BORDER = 4;
    static constexpr int TITLE = 24;

    FramingWindowManager() : m_dpy(XOpenDisplay(nullptr)) {
        if (!m_dpy)
            return;
        m_root = DefaultRootWindow(m_dpy);
        XSetErrorHandler(&FramingWindowManager::ignoreErrors);
        XSelectInput(m_dpy, m_root, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(m_dpy, False);
    }
    ~FramingWindowManager() {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    bool running() const { return m_dpy != nullptr; }

    void serve() {
        if (!m_dpy)
            return;
        while (XPending(m_dpy)) {
            XEvent e;
            XNextEvent(m_dpy, &e);
            if (e.type == MapRequest)
                manage(e.xmaprequest.window);
            else if (e.type == ConfigureRequest)
                configure(e.xconfigurerequest);
        }
    }

    // The frame of a managed window in root coordinates; empty when unmanaged.
    QRect frameOf(Window client) const {
        const auto at = m_frames.find(client);
        if (at == m_frames.end())
            return {};
        Window root, child;
        int x, y;
        unsigned w, h, border, depth;
        XGetGeometry(m_dpy, at->second, &root, &x, &y, &w, &h, &border, &depth);
        return QRect(x, y, int(w), int(h));
    }

  private:
    static int ignoreErrors(Display*, XErrorEvent*) { return 0; }

    bool staticGravity(Window client) const {
        XSizeHints hints{};
        long supplied = 0;
        return XGetWMNormalHints(m_dpy, client, &hints, &supplied) && (hints.flags & PWinGravity) &&
               hints.win_gravity == StaticGravity;
    }
    // The frame's corner for a client asking for (x, y).
    QPoint frameCorner(Window client, int x, int y) const {
        return staticGravity(client) ? QPoint(x - BORDER, y - TITLE) : QPoint(x, y);
    }
    void placeFrame(Window client, Window frame, int x, int y, unsigned w, unsigned h) {
        const QPoint corner = frameCorner(client, x, y);
        XMoveResizeWindow(m_dpy, frame, corner.x(), corner.y(), w + 2 * BORDER, h + TITLE + BORDER);
        XResizeWindow(m_dpy, client, w, h);
        XEvent notify{};
        notify.xconfigure.type = ConfigureNotify;
        notify.xconfigure.event = client;
        notify.xconfigure.window = client;
        notify.xconfigure.x = corner.x() + BORDER;
        notify.xconfigure.y = corner.y() + TITLE;
        notify.xconfigure.width = int(w);
        notify.xconfigure.height = int(h);
        XSendEvent(m_dpy, client, False, StructureNotifyMask, &notify);
        XFlush(m_dpy);
    }
    void manage(Window client) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_dpy, client, &a))
            return;
        if (m_frames.count(client) || a.override_redirect) {
            XMapWindow(m_dpy, client);
            XFlush(m_dpy);
            return;
        }
        const Window frame = XCreateSimpleWindow(m_dpy, m_root, 0, 0, 1, 1, 0, 0, 0x808080);
        XSelectInput(m_dpy, frame, SubstructureRedirectMask | SubstructureNotifyMask);
        XAddToSaveSet(m_dpy, client);
        XReparentWindow(m_dpy, client, frame, BORDER, TITLE);
        m_frames[client] = frame;
        placeFrame(client, frame, a.x, a.y, unsigned(a.width), unsigned(a.height));
        const long extents[4] = {BORDER, BORDER, TITLE, BORDER};
        XChangeProperty(m_dpy, client, XInternAtom(m_dpy, "_NET_FRAME_EXTENTS", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(extents), 4);
        XMapWindow(m_dpy, client);
        XMapWindow(m_dpy, frame);
        XFlush(m_dpy);
    }
    void configure(const XConfigureRequestEvent& r) {
        const auto at = m_frames.find(r.window);
        if (at == m_frames.end()) {
            XWindowChanges c{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
            XConfigureWindow(m_dpy, r.window, unsigned(r.value_mask), &c);
            XFlush(m_dpy);
            return;
        }
        Window root, child;
        int fx, fy;
        unsigned w, h, border, depth;
        XGetGeometry(m_dpy, r.window, &root, &fx, &fy, &w, &h, &border, &depth);
        const QRect frame = frameOf(r.window);
        // Unasked coordinates stay where the window is now.
        const QPoint now =
            staticGravity(r.window) ? frame.topLeft() + QPoint(BORDER, TITLE) : frame.topLeft();
        const int x = (r.value_mask & CWX) ? r.x : now.x();
        const int y = (r.value_mask & CWY) ? r.y : now.y();
        placeFrame(r.window, at->second, x, y, (r.value_mask & CWWidth) ? unsigned(r.width) : w,
                   (r.value_mask & CWHeight) ? unsigned(r.height) : h);
    }

    Display* m_dpy = nullptr;
    Window m_root = 0;
    std::map<Window, Window> m_frames;
};

struct PlaceCase {
    const char* name;
    int storedWidth, storedHeight; // 0: no settings file
    QSize size;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class MainWindowPlace : public fit::FitTest, public ::testing::WithParamInterface<PlaceCase> {
  protected:
    void TearDown() override {
        w.reset();
        if (wm)
            fit::serveUntil({}, 100, [this] { wm->serve(); });
        wm.reset();
        fit::FitTest::TearDown();
    }
    std::unique_ptr<FramingWindowManager> wm;
    std::unique_ptr<Velmora> w;
};

TEST_P(MainWindowPlace, FrameStartsAtTheScreenCornerAndKeepsItsSize) {
    const PlaceCase& c = GetParam();
    if (c.storedWidth > 0) {
        SWindowSettings s{};
        s.width = c.storedWidth;
        s.height = c.storedHeight;
        s.flags = 0x37;
        ASSERT_TRUE(SessionFiles::saveSettings(dataDir(), s));
    }
    wm = std::make_unique<FramingWindowManager>();
    ASSERT_TRUE(wm->running());
    w = std::make_unique<Velmora>();
    w->show();
    const Window client = Window(w->winId());
    ASSERT_TRUE(fit::serveUntil([&] { return !wm->frameOf(client).isEmpty() && w->isVisible(); }, 5000,
                                [this] { wm->serve(); }));
    // Settled: the window's own requests answered.
    fit::serveUntil({}, 500, [this] { wm->serve(); });
    const QRect frame = wm->frameOf(client);
    EXPECT_EQ(frame.topLeft(), QPoint(0, 0))
        << "the title bar on the screen; the frame is at " << frame.x() << "," << frame.y();
    EXPECT_EQ(frame.size(), c.size + QSize(2 * FramingWindowManager::BORDER,
                                           FramingWindowManager::TITLE + FramingWindowManager::BORDER));
    EXPECT_EQ(w->size(), c.size);
    EXPECT_EQ(w->frameGeometry().topLeft(), QPoint(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Starts, MainWindowPlace,
                         ::testing::Values(PlaceCase{"FirstStart", 0, 0,
                                                     QSize(fit::SCREEN_WIDTH - 10, fit::SCREEN_HEIGHT - 100)},
                                           PlaceCase{"RestoredSize", 900, 700, QSize(900, 700)}),
                         [](const ::testing::TestParamInfo<PlaceCase>& info) { return info.param.name; });

} // namespace
