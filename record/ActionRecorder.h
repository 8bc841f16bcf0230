// The action thread's X RECORD session: a control connection that creates,
// disables and frees the context, and a data connection on which only the
// blocking enable runs, on a thread of its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class ActionRecorder {
  public:
    // Called on the action thread with each intercepted key, button or motion
    // event in its 32-byte wire form.
    using EventSink = std::function<void(const uint8_t* event)>;

    ActionRecorder() = default;
    ~ActionRecorder();
    ActionRecorder(const ActionRecorder&) = delete;
    ActionRecorder& operator=(const ActionRecorder&) = delete;

    // Whether the default display offers X RECORD; prints "XRecorduery %d" with the answer.
    static bool extensionPresent();

    // Opens both connections, creates the context and starts the thread.
    // Returns false with a message in error() when any step fails.
    bool start(EventSink sink);
    // Disables the context from the control connection, joins the thread and
    // releases the context, the range and both connections. A stop that comes
    // before the thread's enable request reached the server is sent again
    // until the enable call returns.
    void stop();
    bool running() const { return m_thread.joinable(); }
    const std::string& error() const { return m_error; }

  private:
    static void intercept(char* closure, void* data);
    void release();

    void* m_control = nullptr; // Display*
    void* m_data = nullptr;    // Display*
    unsigned long m_context = 0;
    EventSink m_sink;
    std::thread m_thread;
    std::mutex m_endMutex;
    std::condition_variable m_endSignal;
    bool m_enableReturned = false;
    std::string m_error;
};
