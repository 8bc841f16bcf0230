// A private PulseAudio server for one sound test: the test's own child, run in
// a temporary folder with a clean environment (no LD_PRELOAD). Its "speaker"
// sink takes the sample format the test plays (without rewinds, so what is
// played arrives on "speaker.monitor" byte for byte); its default source is
// the monitor of a sink fed by a 440 Hz tone. While it runs, PULSE_SERVER and
// a PULSE_CLIENTCONFIG that forbids autospawn are set for the test process.
// The server ends with its test process however that ends: by stop() or the
// destructor, at exit, and by the parent-death signal when the process is
// killed. With VELMORA_TEST_PID_DIR set, its PID is kept in "pulse.<pid>" in
// that folder while it runs.
#pragma once

#include "support/TempDir.h"

#include <map>
#include <string>
#include <sys/types.h>

namespace testsupport {

struct PulseFormat {
    std::string format = "s16le"; // s16le or u8
    int rate = 22050;
    int channels = 1;
};

class PulseServer {
  public:
    explicit PulseServer(const PulseFormat& speaker = {});
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Stops the server now; a test may do so midway.
    void stop();
    // True once the socket is up and the tone is heard, until stop().
    bool running() const { return m_pid > 0 && m_ready; }
    pid_t pid() const { return m_pid; }
    const PulseFormat& speaker() const { return m_speaker; }

    // The variables a client process needs (no LD_PRELOAD among them).
    std::map<std::string, std::string> clientEnvironment() const;
    static std::string pidFilePath(pid_t pid);

  private:
    bool waitForSocket(int timeoutMs) const;
    bool waitForTone(int timeoutMs) const;

    PulseFormat m_speaker;
    TempDir m_dir;
    std::string m_socket;
    std::string m_clientConfig;
    pid_t m_pid = -1;
    pid_t m_owner = -1;
    bool m_ready = false;
    std::string m_pidFile;
    std::map<std::string, std::pair<bool, std::string>> m_savedEnv;
};

// Runs `parec` on `device` in the server's format `format` into `outPath` until
// stopped; the test's own child, with the server's client environment.
class PulseRecorder {
  public:
    PulseRecorder(const PulseServer& server, const std::string& device, const PulseFormat& format,
                  const std::string& outPath);
    ~PulseRecorder();
    PulseRecorder(const PulseRecorder&) = delete;
    PulseRecorder& operator=(const PulseRecorder&) = delete;
    bool running() const { return m_pid > 0; }
    void stop();

  private:
    pid_t m_pid = -1;
};

} // namespace testsupport
