// Runs a program as a subprocess with a chosen environment, capturing its exit
// status, standard output and standard error.
#pragma once

#include "support/TempDir.h"

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

struct ProcessOptions {
    std::vector<std::string> args;          // argv[1..]
    std::map<std::string, std::string> env; // variables to set
    std::vector<std::string> unset;         // variables to remove
    std::string workingDirectory;           // empty: inherit
};

class Process {
  public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool start(const std::string& program, const ProcessOptions& options);
    // Exit status (or 128 + signal) once the process has ended within the timeout.
    std::optional<int> wait(int timeoutMs);
    bool running();
    void signal(int sig);
    pid_t pid() const { return m_pid; }
    std::string out() const;
    std::string err() const;
    // Waits until standard error contains `text`.
    bool waitForErr(const std::string& text, int timeoutMs, int stepMs = 20);

  private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
    TempDir m_io;
};

// The velmora binary built with the tests (the test target defines its path).
inline std::string velmoraBinary() {
#ifdef VELMORA_BIN
    return VELMORA_BIN;
#else
    return "velmora";
#endif
}

// Polls `condition` every `stepMs` ms until it holds or the timeout passes.
template <class F> bool waitUntil(F condition, int timeoutMs, int stepMs = 20) {
    for (int t = 0; t <= timeoutMs; t += stepMs) {
        if (condition())
            return true;
        struct timespec ts {
            stepMs / 1000, long(stepMs % 1000) * 1000000
        };
        nanosleep(&ts, nullptr);
    }
    return condition();
}

// Runs a shell command line and returns its standard output (for xdotool).
std::string runCommand(const std::string& commandLine, int* status = nullptr);
// `text` without the newlines and blanks at its end, as commands print them.
std::string trim(std::string text);

} // namespace testsupport
