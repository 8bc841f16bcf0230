#include "capture/XErrorHandlers.h"

#include <X11/Xlib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <vector>

namespace xerrors {

namespace {

struct Watched {
    Display* display;
    int lastError;
    bool lost;
};

// Never destroyed: connections may be forgotten from other static
// destructors at exit, in any order.
struct Registry {
    std::mutex mutex;
    std::vector<Watched> watched;
};
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

std::atomic<bool> g_installed{false};

Watched* find(Display* d) {
    for (auto& w : registry().watched)
        if (w.display == d)
            return &w;
    return nullptr;
}

int onXError(Display* d, XErrorEvent* e) {
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        if (Watched* w = find(d))
            w->lastError = e->error_code;
    }
    // XGetErrorText only looks up local tables; no request goes out from here.
    char text[256] = "";
    XGetErrorText(d, e->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text, int(e->request_code),
                 int(e->minor_code), e->resourceid);
    return 0;
}

int onXIOError(Display* d) {
    bool watched;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        Watched* w = find(d);
        watched = w != nullptr;
        if (w)
            w->lost = true;
    }
    std::fprintf(stderr, "X connection to %s lost%s\n", DisplayString(d),
                 watched ? "" : ", ending the program");
    // Xlib calls the connection's exit handler next: a watched connection's
    // handler returns, an unwatched one ends the process with status 1.
    return 0;
}

// Exit handler of a watched connection: returning leaves the connection
// marked dead instead of ending the process.
void keepRunning(Display*, void*) {}

} // namespace

void installHandlers() {
    if (!g_installed.exchange(true)) {
        XInitThreads();
        // A request written to a server that has gone away must fail with
        // EPIPE and reach the I/O-error handler, not end the process.
        struct sigaction old {};
        if (sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
            std::signal(SIGPIPE, SIG_IGN);
    }
    // Set every time: Qt's xcb plugin puts its own pair in place when it opens
    // its connection, and its I/O handler ends the process.
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIOError);
}

bool handlersInstalled() {
    return g_installed.load();
}

void watchConnection(_XDisplay* display) {
    if (!display)
        return;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        if (!find(display))
            registry().watched.push_back({display, 0, false});
    }
    XSetIOErrorExitHandler(display, keepRunning, nullptr);
}

void forgetConnection(_XDisplay* display) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    auto& watched = registry().watched;
    for (auto it = watched.begin(); it != watched.end(); ++it) {
        if (it->display == display) {
            watched.erase(it);
            return;
        }
    }
}

int takeLastError(_XDisplay* display) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    Watched* w = find(display);
    if (!w)
        return 0;
    int code = w->lastError;
    w->lastError = 0;
    return code;
}

bool connectionLost(_XDisplay* display) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    Watched* w = find(display);
    return w && w->lost;
}

} // namespace xerrors
