// A small framing window manager for tests that drive the program as a child
// process: on a connection of its own, served by a thread of the test, it
// frames every top-level window that maps, gives it the focus and raises it,
// keeps transient windows above the window they belong to, and on a click
// into a window that has not the focus gives it the focus and lets the click
// through, as click-to-focus window managers do. Start it after the test's X
// server; it ends with its destructor.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <map>
#include <poll.h>
#include <thread>

namespace testsupport {

class TestWindowManager {
  public:
    static constexpr int BORDER = 4;
    static constexpr int TITLE = 24;

    TestWindowManager() : m_dpy(XOpenDisplay(nullptr)) {
        if (!m_dpy)
            return;
        m_root = DefaultRootWindow(m_dpy);
        m_oldHandler = XSetErrorHandler(&TestWindowManager::ignoreErrors);
        XSelectInput(m_dpy, m_root, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(m_dpy, False);
        m_protocols = XInternAtom(m_dpy, "WM_PROTOCOLS", False);
        m_takeFocus = XInternAtom(m_dpy, "WM_TAKE_FOCUS", False);
        m_thread = std::thread([this] { serve(); });
    }
    ~TestWindowManager() {
        m_stop.store(true);
        if (m_thread.joinable())
            m_thread.join();
        if (m_dpy) {
            XCloseDisplay(m_dpy);
            XSetErrorHandler(m_oldHandler);
        }
    }
    TestWindowManager(const TestWindowManager&) = delete;
    TestWindowManager& operator=(const TestWindowManager&) = delete;

    bool running() const { return m_dpy != nullptr; }

  private:
    static int ignoreErrors(Display*, XErrorEvent*) { return 0; }

    void serve() {
        pollfd fd{ConnectionNumber(m_dpy), POLLIN, 0};
        while (!m_stop.load()) {
            while (XPending(m_dpy)) {
                XEvent e;
                XNextEvent(m_dpy, &e);
                handle(e);
            }
            XFlush(m_dpy);
            poll(&fd, 1, 20);
        }
    }

    void handle(const XEvent& e) {
        switch (e.type) {
        case MapRequest:
            manage(e.xmaprequest.window);
            break;
        case ConfigureRequest:
            configure(e.xconfigurerequest);
            break;
        case ButtonPress:
            focus(e.xbutton.window);
            XAllowEvents(m_dpy, ReplayPointer, e.xbutton.time);
            break;
        case UnmapNotify: {
            const auto at = m_frames.find(e.xunmap.window);
            if (at != m_frames.end() && e.xunmap.event == at->second)
                XUnmapWindow(m_dpy, at->second);
            break;
        }
        case DestroyNotify: {
            const auto at = m_frames.find(e.xdestroywindow.window);
            if (at != m_frames.end()) {
                XDestroyWindow(m_dpy, at->second);
                m_frames.erase(at);
            }
            break;
        }
        default:
            break;
        }
    }

    void manage(Window client) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_dpy, client, &a))
            return;
        if (a.override_redirect) {
            XMapWindow(m_dpy, client);
            return;
        }
        auto at = m_frames.find(client);
        if (at == m_frames.end()) {
            const Window frame = XCreateSimpleWindow(m_dpy, m_root, a.x, a.y, unsigned(a.width + 2 * BORDER),
                                                     unsigned(a.height + TITLE + BORDER), 0, 0, 0x808080);
            XSelectInput(m_dpy, frame, SubstructureRedirectMask | SubstructureNotifyMask);
            XAddToSaveSet(m_dpy, client);
            XReparentWindow(m_dpy, client, frame, BORDER, TITLE);
            XGrabButton(m_dpy, AnyButton, AnyModifier, client, False, ButtonPressMask, GrabModeSync,
                        GrabModeAsync, None, None);
            at = m_frames.emplace(client, frame).first;
        }
        XMapWindow(m_dpy, client);
        XMapWindow(m_dpy, at->second);
        tellPlace(client);
        focus(client);
    }

    void configure(const XConfigureRequestEvent& r) {
        const auto at = m_frames.find(r.window);
        if (at == m_frames.end()) {
            XWindowChanges c{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
            XConfigureWindow(m_dpy, r.window, unsigned(r.value_mask), &c);
            return;
        }
        XWindowChanges c{r.x, r.y, r.width + 2 * BORDER, r.height + TITLE + BORDER, 0, None, 0};
        XConfigureWindow(m_dpy, at->second, unsigned(r.value_mask & (CWX | CWY | CWWidth | CWHeight)), &c);
        if (r.value_mask & (CWWidth | CWHeight))
            XResizeWindow(m_dpy, r.window, unsigned(r.width), unsigned(r.height));
        tellPlace(r.window);
    }

    // The client learns where it is on the screen, inside its frame.
    void tellPlace(Window client) {
        const auto at = m_frames.find(client);
        XWindowAttributes frame, own;
        if (at == m_frames.end() || !XGetWindowAttributes(m_dpy, at->second, &frame) ||
            !XGetWindowAttributes(m_dpy, client, &own))
            return;
        XEvent n{};
        n.xconfigure.type = ConfigureNotify;
        n.xconfigure.event = client;
        n.xconfigure.window = client;
        n.xconfigure.x = frame.x + BORDER;
        n.xconfigure.y = frame.y + TITLE;
        n.xconfigure.width = own.width;
        n.xconfigure.height = own.height;
        XSendEvent(m_dpy, client, False, StructureNotifyMask, &n);
    }

    void focus(Window client) {
        const auto at = m_frames.find(client);
        if (at == m_frames.end())
            return;
        XRaiseWindow(m_dpy, at->second);
        for (const auto& [other, frame] : m_frames) {
            Window owner = 0;
            if (XGetTransientForHint(m_dpy, other, &owner) && owner == client)
                XRaiseWindow(m_dpy, frame);
        }
        XSetInputFocus(m_dpy, client, RevertToPointerRoot, CurrentTime);
        XEvent m{};
        m.xclient.type = ClientMessage;
        m.xclient.window = client;
        m.xclient.message_type = m_protocols;
        m.xclient.format = 32;
        m.xclient.data.l[0] = long(m_takeFocus);
        m.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_dpy, client, False, NoEventMask, &m);
    }

    Display* m_dpy = nullptr;
    XErrorHandler m_oldHandler = nullptr;
    Window m_root = 0;
    Atom m_protocols = 0, m_takeFocus = 0;
    std::map<Window, Window> m_frames; // client, frame
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace testsupport
