#include "record/ActionRecorder.h"
#include "capture/XErrorHandlers.h"
#include "store/Diagnostics.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

#include <chrono>
#include <cstdio>

namespace {
Display* dpy(void* p) {
    return static_cast<Display*>(p);
}
// A server lost during the last requests shows in the sync, while the
// connection is still watched. A lost connection is left unclosed: Xlib can
// wait forever there for the reply the ended enable call never read.
void closeWatched(Display* d) {
    if (!xerrors::connectionLost(d))
        XSync(d, False);
    const bool lost = xerrors::connectionLost(d);
    xerrors::forgetConnection(d);
    if (!lost)
        XCloseDisplay(d);
}
} // namespace

ActionRecorder::~ActionRecorder() {
    stop();
}

bool ActionRecorder::extensionPresent() {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    int major = 0, minor = 0;
    Status ok = XRecordQueryVersion(d, &major, &minor);
    diag::print("XRecorduery %d\n", int(ok));
    XCloseDisplay(d);
    return ok != 0;
}

void ActionRecorder::intercept(char* closure, void* raw) {
    auto* self = reinterpret_cast<ActionRecorder*>(closure);
    auto* d = static_cast<XRecordInterceptData*>(raw);
    if (d->category == XRecordFromServer && d->data_len != 0 && self->m_sink)
        self->m_sink(reinterpret_cast<const uint8_t*>(d->data));
    XRecordFreeData(d);
}

bool ActionRecorder::start(EventSink sink) {
    stop();
    m_error.clear();
    m_sink = std::move(sink);
    // A lost server ends the enable call instead of the process: the thread
    // returns and the stop finds both connections dead but harmless.
    xerrors::installHandlers();
    m_control = XOpenDisplay(nullptr);
    m_data = XOpenDisplay(nullptr);
    xerrors::watchConnection(dpy(m_control));
    xerrors::watchConnection(dpy(m_data));
    if (!m_control || !m_data) {
        m_error = "cannot open a display connection for the action thread";
        release();
        return false;
    }
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(dpy(m_data), &major, &minor)) {
        m_error = "X RECORD is not present";
        release();
        return false;
    }
    XRecordRange* range = XRecordAllocRange();
    if (!range) {
        m_error = "XRecordAllocRange failed";
        release();
        return false;
    }
    range->device_events.first = KeyPress;
    range->device_events.last = MotionNotify;
    XRecordClientSpec clients = XRecordAllClients;
    XRecordContext ctx = XRecordCreateContext(dpy(m_control), 0, &clients, 1, &range, 1);
    XFree(range);
    if (!ctx) {
        m_error = "XRecordCreateContext failed";
        release();
        return false;
    }
    m_context = ctx;
    // The data connection names the context: it must have reached the server.
    XSync(dpy(m_control), False);
    m_enableReturned = false;
    m_thread = std::thread([this] {
        XRecordEnableContext(dpy(m_data), XRecordContext(m_context),
                             reinterpret_cast<XRecordInterceptProc>(&ActionRecorder::intercept),
                             reinterpret_cast<XPointer>(this));
        std::lock_guard<std::mutex> g(m_endMutex);
        m_enableReturned = true;
        m_endSignal.notify_all();
    });
    return true;
}

void ActionRecorder::stop() {
    if (m_thread.joinable()) {
        // A disable that reaches the server before the thread's enable does
        // nothing, and the enable would then wait forever: disable again
        // until the enable call has returned. Without a server the enable
        // call has returned, or returns once it reads the loss.
        std::unique_lock<std::mutex> lock(m_endMutex);
        while (!m_enableReturned) {
            if (xerrors::connectionLost(dpy(m_data)) || xerrors::connectionLost(dpy(m_control))) {
                m_endSignal.wait(lock, [this] { return m_enableReturned; });
                break;
            }
            XRecordDisableContext(dpy(m_control), XRecordContext(m_context));
            XFlush(dpy(m_control));
            m_endSignal.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_enableReturned; });
        }
        lock.unlock();
        m_thread.join();
    }
    release();
}

void ActionRecorder::release() {
    if (m_context && m_control && !xerrors::connectionLost(dpy(m_data)))
        XRecordFreeContext(dpy(m_control), XRecordContext(m_context));
    m_context = 0;
    if (m_data)
        closeWatched(dpy(m_data));
    if (m_control)
        closeWatched(dpy(m_control));
    m_data = m_control = nullptr;
}
