#include "../ShellAppFixture.h"

#include "app/wm/NVWM.h"
#include "support/ProcessRunner.h"

#include <QElapsedTimer>
#include <QImage>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <unistd.h>

using namespace testsupport;

namespace {

Display* qtDisplay() {
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// A stand-in window manager on a connection of its own: it redirects the
// root window's substructure, so client messages sent there reach it.
class FakeWindowManager {
  public:
    FakeWindowManager() : m_dpy(XOpenDisplay(nullptr)) {
        if (!m_dpy)
            return;
        XSelectInput(m_dpy, DefaultRootWindow(m_dpy), SubstructureRedirectMask | PropertyChangeMask);
        XSync(m_dpy, False);
    }
    ~FakeWindowManager() {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    Display* display() const { return m_dpy; }
    Atom atom(const char* name) const { return XInternAtom(m_dpy, name, False); }

    // The next client message of that type, waiting at most two seconds.
    bool nextMessage(const char* type, XClientMessageEvent& out) {
        const Atom wanted = atom(type);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000) {
            while (XPending(m_dpy)) {
                XEvent ev;
                XNextEvent(m_dpy, &ev);
                if (ev.type == ClientMessage && ev.xclient.message_type == wanted) {
                    out = ev.xclient;
                    return true;
                }
            }
            QThread::msleep(5);
        }
        return false;
    }
    // The next event of that type, waiting at most two seconds.
    bool nextEvent(int type, XEvent& out) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000) {
            while (XPending(m_dpy)) {
                XNextEvent(m_dpy, &out);
                if (out.type == type)
                    return true;
            }
            QThread::msleep(5);
        }
        return false;
    }
    // A top-level window of that name, or 0.
    ::Window topLevelNamed(const char* name) {
        ::Window rootReturn, parentReturn, *children = nullptr;
        unsigned n = 0;
        ::Window found = 0;
        if (!XQueryTree(m_dpy, DefaultRootWindow(m_dpy), &rootReturn, &parentReturn, &children, &n))
            return 0;
        for (unsigned i = 0; i < n && !found; ++i) {
            char* title = nullptr;
            if (XFetchName(m_dpy, children[i], &title) && title) {
                if (std::strcmp(title, name) == 0)
                    found = children[i];
                XFree(title);
            }
        }
        if (children)
            XFree(children);
        return found;
    }
    ::Window createWindow(int x, int y, int w, int h) {
        ::Window win =
            XCreateSimpleWindow(m_dpy, DefaultRootWindow(m_dpy), x, y, unsigned(w), unsigned(h), 0, 0, 0);
        XSync(m_dpy, False);
        return win;
    }
    long simple(::Window w, const char* name) {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(m_dpy, w, atom(name), 0, 4, False, AnyPropertyType, &type, &format, &n, &after,
                           &data);
        long v = data && n ? reinterpret_cast<long*>(data)[0] : -1;
        if (data)
            XFree(data);
        return v;
    }
    void setSimple(::Window w, const char* name, long v) {
        XChangeProperty(m_dpy, w, atom(name), atom(name), 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&v), 1);
        XSync(m_dpy, False);
    }

  private:
    Display* m_dpy;
};

class NVWMTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        wm = std::make_unique<FakeWindowManager>();
        ASSERT_NE(wm->display(), nullptr);
    }
    void TearDown() override {
        wm.reset();
        ShellAppTest::TearDown();
    }
    static void sync() { XSync(qtDisplay(), False); }
    std::unique_ptr<FakeWindowManager> wm;
};

TEST_F(NVWMTest, WindowHintsRoundTrip) {
    const auto w = wm->createWindow(10, 20, 100, 50);
    NVWM::moveToDesktop(w, 3);
    EXPECT_EQ(NVWM::desktop(w), 3);
    EXPECT_FALSE(nvwm_error);
    NVWM::setGeometryRestore(w, QRect(1, 2, 3, 4));
    EXPECT_EQ(NVWM::geometryRestore(w), QRect(1, 2, 3, 4));
    NVWM::setIconGeometry(w, QRect(5, 6, 7, 8));
    EXPECT_EQ(NVWM::iconGeometry(w), QRect(5, 6, 7, 8));
    NVWM::setIconify(w, true);
    EXPECT_TRUE(NVWM::isIconified(w));
    NVWM::setMaximize(w, true, 2);
    EXPECT_TRUE(NVWM::isMaximized(w));
    EXPECT_EQ(NVWM::maximizeMode(w), 2);
    NVWM::setMaximize(w, true);
    EXPECT_EQ(NVWM::maximizeMode(w), 3);
    NVWM::doMaximize(w, true, 1);
    EXPECT_TRUE(NVWM::isDoMaximize(w));
    EXPECT_EQ(NVWM::doMaximizeMode(w), 1);
    NVWM::setSticky(w, true);
    EXPECT_TRUE(NVWM::isSticky(w));
    NVWM::setDecoration(w, 2);
    EXPECT_EQ(NVWM::getDecoration(w), 2);
    EXPECT_FALSE(NVWM::unsavedDataHintDefined(w));
    NVWM::setUnsavedDataHint(w, true);
    EXPECT_TRUE(NVWM::unsavedDataHintDefined(w));
    EXPECT_TRUE(NVWM::containsUnsavedData(w));
    EXPECT_FALSE(NVWM::isDockWindow(w));
    NVWM::setDockWindow(w);
    EXPECT_TRUE(NVWM::isDockWindow(w));
    sync();
    EXPECT_EQ(wm->simple(w, "KWM_WIN_DECORATION"), 2) << "visible to other clients";
    EXPECT_EQ(wm->simple(w, "KWM_WIN_DESKTOP"), 3);
}

TEST_F(NVWMTest, DefaultsAndTheOnesWrittenBack) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    const auto root = DefaultRootWindow(wm->display());

    EXPECT_EQ(wm->simple(root, "KWM_CURRENT_DESKTOP"), -1);
    EXPECT_EQ(NVWM::currentDesktop(), 1);
    sync();
    EXPECT_EQ(wm->simple(root, "KWM_CURRENT_DESKTOP"), 1) << "a bare root gets desktop 1 written";

    EXPECT_FALSE(NVWM::isIconified(w));
    EXPECT_TRUE(nvwm_error);
    sync();
    EXPECT_EQ(wm->simple(w, "KWM_WIN_ICONIFIED"), 0);

    EXPECT_EQ(NVWM::maximizeMode(w), 3) << "missing";
    NVWM::setMaximize(w, false);
    EXPECT_EQ(NVWM::maximizeMode(w), 3) << "0 reads as 3";
    EXPECT_FALSE(NVWM::isMaximized(w));

    EXPECT_EQ(NVWM::getDecoration(w), 1);
    sync();
    EXPECT_EQ(wm->simple(w, "KWM_WIN_DECORATION"), 1);

    wm->setSimple(root, "KWM_CURRENT_DESKTOP", 4);
    const auto other = wm->createWindow(0, 0, 10, 10);
    EXPECT_EQ(NVWM::desktop(other), 4);
    EXPECT_TRUE(nvwm_error) << "desktop supplied a default";
    sync();
    EXPECT_EQ(wm->simple(other, "KWM_WIN_DESKTOP"), 4);

    NVWM::setSticky(other, true);
    NVWM::moveToDesktop(other, 2);
    EXPECT_EQ(NVWM::desktop(other), 4) << "a sticky window is on the current desktop";

    EXPECT_EQ(NVWM::numberOfDesktops(), 1);
    NVWM::setNumberOfDesktops(8);
    EXPECT_EQ(NVWM::numberOfDesktops(), 8);
    EXPECT_EQ(NVWM::activeWindow(), 0ul);
    EXPECT_FALSE(NVWM::isNVWMInitialized());
    wm->setSimple(root, "KWM_ACTIVE_WINDOW", long(w));
    EXPECT_TRUE(NVWM::isActive(w));
}

TEST_F(NVWMTest, IconGeometryFallsBackToTheWindowCentre) {
    const auto w = wm->createWindow(10, 20, 100, 50);
    EXPECT_EQ(NVWM::iconGeometry(w), QRect(60, 45, 0, 0));
    NVWM::setIconGeometry(w, QRect(1, 1, 0, 0));
    EXPECT_EQ(NVWM::iconGeometry(w), QRect(60, 45, 0, 0)) << "an empty one counts as missing";
}

TEST_F(NVWMTest, GeometryWithAndWithoutFrameProperty) {
    const auto w = wm->createWindow(10, 20, 100, 50);
    EXPECT_EQ(NVWM::geometry(w, false), QRect(10, 20, 100, 50));
    EXPECT_EQ(NVWM::geometry(w, true), QRect(10, 20, 100, 50));
    long r[4] = {5, 6, 120, 80};
    XChangeProperty(wm->display(), w, wm->atom("KWM_WIN_FRAME_GEOMETRY"), wm->atom("KWM_WIN_FRAME_GEOMETRY"),
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(r), 4);
    XSync(wm->display(), False);
    EXPECT_EQ(NVWM::geometry(w, true), QRect(5, 6, 120, 80));
    EXPECT_EQ(NVWM::geometry(w, false), QRect(5, 6, 100, 50));
    EXPECT_EQ(NVWM::geometry(0x7fffff0, false), QRect()) << "no such window";
    EXPECT_EQ(NVWM::geometryRestore(w), QRect(5, 6, 100, 50)) << "missing restore geometry";
    sync();
    EXPECT_EQ(wm->simple(w, "KWM_WIN_GEOMETRY_RESTORE"), 5) << "and written";
}

TEST_F(NVWMTest, RegionsAndDesktopNames) {
    NVWM::setDesktopName(3, "Three");
    EXPECT_EQ(NVWM::getDesktopName(3), "Three");
    EXPECT_EQ(NVWM::getDesktopName(4), "");
    NVWM::setDesktopName(33, "none");
    EXPECT_TRUE(nvwm_error);
    EXPECT_EQ(NVWM::getDesktopName(33), "");
    EXPECT_EQ(NVWM::getDesktopName(0), "");

    EXPECT_EQ(NVWM::getWindowRegion(2), QRect(0, 0, 1024, 768));
    NVWM::setWindowRegion(2, QRect(0, 30, 1024, 700));
    EXPECT_EQ(NVWM::getWindowRegion(2), QRect(0, 30, 1024, 700));
    XClientMessageEvent m;
    ASSERT_TRUE(wm->nextMessage("KWM_WINDOW_REGION_CHANGED", m));
    EXPECT_EQ(m.format, 32);
    EXPECT_EQ(m.data.l[0], 2);
    EXPECT_EQ(NVWM::getWindowRegion(32), QRect(0, 0, 1024, 768));
    NVWM::setWindowRegion(32, QRect(1, 1, 2, 2));
    EXPECT_EQ(NVWM::getWindowRegion(32), QRect(1, 1, 2, 2)) << "32 is a valid number";
    NVWM::setWindowRegion(0, QRect(1, 1, 2, 2));
    EXPECT_TRUE(nvwm_error);
}

TEST_F(NVWMTest, RootStrings) {
    EXPECT_EQ(NVWM::getCloseString(), "");
    const char text[] = "Close window";
    XChangeProperty(wm->display(), DefaultRootWindow(wm->display()), wm->atom("KWM_STRING_CLOSE"), XA_STRING,
                    8, PropModeReplace, reinterpret_cast<const unsigned char*>(text), sizeof text);
    XSync(wm->display(), False);
    EXPECT_EQ(NVWM::getCloseString(), "Close window");
    EXPECT_FALSE(nvwm_error);
}

TEST_F(NVWMTest, TextMessagesCarryAtMostNineteenBytes) {
    EXPECT_EQ(NVWM::messageText("abc"), QByteArray("abc").leftJustified(20, '\0'));
    NVWM::sendNVWMCommand("abcdefghijklmnopqrstuvwxy"); // 25 characters
    XClientMessageEvent m;
    ASSERT_TRUE(wm->nextMessage("KWM_COMMAND", m));
    EXPECT_EQ(m.format, 8);
    EXPECT_EQ(m.window, DefaultRootWindow(wm->display()));
    EXPECT_EQ(std::string(m.data.b, 20), std::string("abcdefghijklmnopqrs\0", 20));

    struct Case {
        void (*send)();
        const char* text;
    } commands[] = {{NVWM::logout, "logout"},
                    {NVWM::refreshScreen, "refreshScreen"},
                    {NVWM::darkenScreen, "darkenScreen"},
                    {NVWM::configureWm, "configure"}};
    for (const auto& c : commands) {
        c.send();
        ASSERT_TRUE(wm->nextMessage("KWM_COMMAND", m)) << c.text;
        EXPECT_STREQ(m.data.b, c.text);
    }
    struct Named {
        void (*send)(const QString&);
        const char* type;
    } named[] = {{NVWM::raiseSoundEvent, "KDE_SOUND_EVENT"},
                 {NVWM::registerSoundEvent, "KDE_REGISTER_SOUND_EVENT"},
                 {NVWM::unregisterSoundEvent, "KDE_UNREGISTER_SOUND_EVENT"},
                 {NVWM::doNotManage, "KWM_DO_NOT_MANAGE"}};
    for (const auto& n : named) {
        n.send("event name");
        ASSERT_TRUE(wm->nextMessage(n.type, m)) << n.type;
        EXPECT_EQ(m.format, 8);
        EXPECT_STREQ(m.data.b, "event name");
    }
}

TEST_F(NVWMTest, ModuleAndActivateMessages) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    NVWM::setNVWMDockModule(w);
    XClientMessageEvent m;
    ASSERT_TRUE(wm->nextMessage("KWM_MODULE", m));
    EXPECT_EQ(m.format, 32);
    EXPECT_EQ(::Window(m.data.l[0]), w);
    EXPECT_TRUE(NVWM::isNVWMModule(w));
    EXPECT_TRUE(NVWM::isNVWMDockModule(w));
    NVWM::setNVWMModule(w);
    ASSERT_TRUE(wm->nextMessage("KWM_MODULE", m));
    EXPECT_FALSE(NVWM::isNVWMDockModule(w));

    NVWM::moveToDesktop(w, 5);
    NVWM::setIconify(w, true);
    NVWM::activate(w);
    ASSERT_TRUE(wm->nextMessage("KWM_ACTIVATE_WINDOW", m));
    EXPECT_EQ(::Window(m.data.l[0]), w);
    EXPECT_EQ(NVWM::currentDesktop(), 5);
    EXPECT_FALSE(NVWM::isIconified(w));
}

TEST_F(NVWMTest, CloseAsksAWindowThatTakesDeleteAndKillsOneThatDoesNot) {
    const auto polite = wm->createWindow(0, 0, 10, 10);
    Atom del = wm->atom("WM_DELETE_WINDOW");
    XSetWMProtocols(wm->display(), polite, &del, 1);
    XSync(wm->display(), False);
    NVWM::close(polite);
    XClientMessageEvent m;
    ASSERT_TRUE(wm->nextMessage("WM_PROTOCOLS", m));
    EXPECT_EQ(m.window, polite);
    EXPECT_EQ(Atom(m.data.l[0]), del);
    EXPECT_EQ(m.data.l[1], 0);

    // A client of its own in another process, which the kill ends.
    Process client;
    ASSERT_TRUE(client.start("/usr/bin/xev", ProcessOptions{}));
    ::Window rude = 0;
    ASSERT_TRUE(waitUntil([&] { return (rude = wm->topLevelNamed("Event Tester")) != 0; }, 10000))
        << client.err() << client.out();
    // The client names its window before it sets its protocols: wait for
    // them, so the deletion below is not undone.
    ASSERT_TRUE(waitUntil(
        [&] {
            Atom* protocols = nullptr;
            int count = 0;
            const bool set = XGetWMProtocols(wm->display(), rude, &protocols, &count) && count > 0;
            if (protocols)
                XFree(protocols);
            return set;
        },
        10000));
    // Without WM_DELETE_WINDOW among its protocols the client is killed.
    XDeleteProperty(wm->display(), rude, wm->atom("WM_PROTOCOLS"));
    XSync(wm->display(), False);
    NVWM::close(rude);
    sync();
    auto status = client.wait(10000);
    ASSERT_TRUE(status.has_value()) << "the client was not ended";
    EXPECT_NE(*status, 0);
    XWindowAttributes attr;
    auto old = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    EXPECT_EQ(XGetWindowAttributes(wm->display(), rude, &attr), 0) << "its window is gone";
    XSetErrorHandler(old);
}

TEST_F(NVWMTest, SessionManagementAddsSaveYourselfOnce) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    Atom del = wm->atom("WM_DELETE_WINDOW");
    XSetWMProtocols(wm->display(), w, &del, 1);
    XSync(wm->display(), False);
    NVWM::enableSessionManagement(w);
    NVWM::enableSessionManagement(w);
    sync();
    Atom* protocols = nullptr;
    int n = 0;
    ASSERT_TRUE(XGetWMProtocols(wm->display(), w, &protocols, &n));
    ASSERT_EQ(n, 2);
    EXPECT_EQ(protocols[0], del);
    EXPECT_EQ(protocols[1], wm->atom("WM_SAVE_YOURSELF"));
    XFree(protocols);
    EXPECT_EQ(wm->simple(w, "KWM_SAVE_YOURSELF"), 1);
}

TEST_F(NVWMTest, WmCommandAndClientMachine) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    NVWM::setWmCommand(w, "velmora --x");
    sync();
    char host[1024] = {};
    gethostname(host, sizeof host - 1);
    XTextProperty tp;
    ASSERT_TRUE(XGetTextProperty(wm->display(), w, &tp, wm->atom("WM_CLIENT_MACHINE")));
    const std::string machine(reinterpret_cast<char*>(tp.value));
    XFree(tp.value);
    EXPECT_EQ(machine.substr(0, strlen(host)), host);
    ASSERT_TRUE(XGetTextProperty(wm->display(), w, &tp, wm->atom("WM_COMMAND")));
    EXPECT_STREQ(reinterpret_cast<char*>(tp.value), "velmora --x");
    XFree(tp.value);
}

TEST_F(NVWMTest, TitleWithState) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    XStoreName(wm->display(), w, "plain name");
    XSync(wm->display(), False);
    EXPECT_EQ(NVWM::title(w), "plain name");
    NVWM::setIconify(w, true);
    EXPECT_EQ(NVWM::titleWithState(w), "(plain name)");
    const char t[] = "kwm title";
    XChangeProperty(wm->display(), w, wm->atom("KWM_WIN_TITLE"), XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(t), sizeof t);
    XSync(wm->display(), False);
    EXPECT_EQ(NVWM::title(w), "kwm title");
}

TEST_F(NVWMTest, PropertiesStringTable) {
    const auto w = wm->createWindow(10, 20, 100, 50);
    NVWM::moveToDesktop(w, 2);
    NVWM::setGeometryRestore(w, QRect(1, 2, 3, 4));
    NVWM::setMaximize(w, true, 2);
    EXPECT_EQ(NVWM::getProperties(w), "2+10+20+100+50+1+2+3+4+0+2+0+1");

    struct Case {
        const char* text;
        QRect result;
    } cases[] = {
        {"1+2+3+4+5+6+7+8+9+1+0+1", QRect()},
        {"3+30+40+200+100+0+0+10+10+1+3+1+2", QRect(30, 40, 200, 100)},
        {"4+31+41+201+101+0+0+10+10+0+0+0+5+99", QRect(31, 41, 201, 101)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NVWM::setProperties(w, c.text), c.result) << c.text;
    sync();
    // The manager redirects the geometry: it sees the two requests, last the 13-number one.
    XEvent ev;
    ASSERT_TRUE(wm->nextEvent(ConfigureRequest, ev));
    ASSERT_TRUE(wm->nextEvent(ConfigureRequest, ev));
    EXPECT_EQ(ev.xconfigurerequest.window, w);
    EXPECT_EQ(QRect(ev.xconfigurerequest.x, ev.xconfigurerequest.y, ev.xconfigurerequest.width,
                    ev.xconfigurerequest.height),
              QRect(31, 41, 201, 101));
    XMoveResizeWindow(wm->display(), w, 31, 41, 201, 101); // as the manager grants it
    XSync(wm->display(), False);
    EXPECT_EQ(NVWM::getProperties(w), "4+31+41+201+101+0+0+10+10+0+0+0+5") << "the 14th number is ignored";
    EXPECT_EQ(NVWM::setProperties(w, "x+1+2+3+4+5+6+7+8+9+1+0+1"), QRect(1, 2, 3, 4));
    sync();
    EXPECT_EQ(wm->simple(w, "KWM_WIN_DESKTOP"), 0) << "an invalid number reads as 0";
}

TEST_F(NVWMTest, MiniIconRoundTripScalesAndStopsAtACycle) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 0));
    NVWM::setMiniIcon(w, QPixmap::fromImage(img));
    sync();
    QPixmap back = NVWM::miniIcon(w);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.size(), QSize(4, 4));
    EXPECT_EQ(back.toImage().pixelColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(NVWM::miniIcon(w, 2, 2).size(), QSize(2, 2));
    EXPECT_EQ(NVWM::miniIcon(w, 8, 8).size(), QSize(4, 4)) << "never enlarged";

    const auto a = wm->createWindow(0, 0, 10, 10);
    const auto b = wm->createWindow(0, 0, 10, 10);
    for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
        XWMHints* h = XAllocWMHints();
        h->flags = WindowGroupHint;
        h->window_group = to;
        XSetWMHints(wm->display(), from, h);
        XFree(h);
    }
    XSync(wm->display(), False);
    EXPECT_TRUE(NVWM::miniIcon(a).isNull()) << "a group cycle ends";

    NVWM::setIcon(b, QPixmap::fromImage(img));
    sync();
    EXPECT_EQ(NVWM::miniIcon(a).size(), QSize(4, 4)) << "found through the group";
    EXPECT_EQ(NVWM::icon(b, 3, 3).size(), QSize(3, 3));
    EXPECT_TRUE(NVWM::icon(a).isNull());
}

TEST_F(NVWMTest, PrepareForSwallowingIsBounded) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    EXPECT_TRUE(NVWM::prepareForSwallowing(w)) << "no WM_STATE reads as withdrawn";
    wm->setSimple(w, "WM_STATE", 1); // a manager that never lets go
    EXPECT_EQ(NVWM::getWindowState(w), 1);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(NVWM::prepareForSwallowing(w, 200));
    EXPECT_LT(t.elapsed(), 2000);
}

TEST_F(NVWMTest, FixedSize) {
    const auto w = wm->createWindow(0, 0, 10, 10);
    EXPECT_FALSE(NVWM::fixedSize(w));
    XSizeHints h{};
    h.flags = PMinSize | PMaxSize;
    h.min_width = h.max_width = 50;
    h.min_height = h.max_height = 40;
    XSetWMNormalHints(wm->display(), w, &h);
    XSync(wm->display(), False);
    EXPECT_TRUE(NVWM::fixedSize(w));
    h.max_width = 60;
    XSetWMNormalHints(wm->display(), w, &h);
    XSync(wm->display(), False);
    EXPECT_FALSE(NVWM::fixedSize(w));
}

} // namespace
