// A private Xvfb server for one test: started with -displayfd at a fixed size
// and depth, DISPLAY and XDG_RUNTIME_DIR set while it runs, stopped afterwards.
// A server ends with its test process however that ends: by its destructor,
// at exit when it was never destroyed, and by the parent-death signal when the
// process is killed. With VELMORA_TEST_PID_DIR set, each server's PID is kept in
// a file "xvfb.<pid>" in that folder while the server runs, so the test command
// can check that none survives.
#pragma once

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

struct ScreenSpec {
    int width = 1024;
    int height = 768;
    int depth = 24;
    std::vector<std::string> extraArgs; // e.g. {"-extension", "RECORD"}
};

inline void PrintTo(const ScreenSpec& s, std::ostream* os) {
    *os << s.width << "x" << s.height << "x" << s.depth;
}

class XvfbServer {
  public:
    explicit XvfbServer(const ScreenSpec& spec = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Stops the server now (the destructor does it too).
    void stop();

    bool running() const { return m_pid > 0 && !m_display.empty(); }
    pid_t pid() const { return m_pid; }

    static constexpr const char* PID_DIR_VARIABLE = "VELMORA_TEST_PID_DIR";
    // The PID file of a server, or empty when no folder is named.
    static std::string pidFilePath(pid_t pid);
    const std::string& display() const { return m_display; }
    const ScreenSpec& spec() const { return m_spec; }
    const std::string& runtimeDir() const { return m_runtime.path(); }

  private:
    ScreenSpec m_spec;
    pid_t m_pid = -1;
    pid_t m_owner = -1;
    std::string m_pidFile;
    std::string m_display;
    std::string m_oldDisplay;
    bool m_hadDisplay = false;
    std::string m_oldRuntime;
    bool m_hadRuntime = false;
    TempDir m_runtime;
};

// Test fixture: one private Xvfb per test, 1024x768x24 unless a subclass
// overrides screen().
class XvfbTest : public ::testing::Test {
  protected:
    virtual ScreenSpec screen() const { return {}; }
    void SetUp() override;
    void TearDown() override;
    const XvfbServer& xvfb() const { return *m_server; }

  private:
    std::unique_ptr<XvfbServer> m_server;
};

// Parameterised variant: the screen comes from the test parameter.
class XvfbParamTest : public ::testing::TestWithParam<ScreenSpec> {
  protected:
    void SetUp() override;
    void TearDown() override;
    const XvfbServer& xvfb() const { return *m_server; }

  private:
    std::unique_ptr<XvfbServer> m_server;
};

std::string screenName(const ::testing::TestParamInfo<ScreenSpec>& info);

} // namespace testsupport
