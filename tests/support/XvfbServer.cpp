#include "support/XvfbServer.h"

#include "support/TestFonts.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {
void saveEnv(const char* name, std::string& value, bool& had) {
    const char* v = getenv(name);
    had = v != nullptr;
    if (v)
        value = v;
}
void restoreEnv(const char* name, const std::string& value, bool had) {
    if (had)
        setenv(name, value.c_str(), 1);
    else
        unsetenv(name);
}

// The servers of this process that still run, stopped at exit when nothing
// else stopped them (a server held by a static pointer). Never destroyed, so
// the exit handler finds it whatever order the statics go in.
struct Running {
    std::mutex lock;
    std::set<XvfbServer*> servers;
};
Running& liveServers() {
    static Running* r = new Running;
    return *r;
}

void stopAllAtExit() {
    std::set<XvfbServer*> left;
    {
        std::lock_guard<std::mutex> g(liveServers().lock);
        left = liveServers().servers;
    }
    for (XvfbServer* s : left)
        s->stop();
}

void track(XvfbServer* s) {
    static std::once_flag once;
    std::call_once(once, [] { atexit(stopAllAtExit); });
    std::lock_guard<std::mutex> g(liveServers().lock);
    liveServers().servers.insert(s);
}

void untrack(XvfbServer* s) {
    std::lock_guard<std::mutex> g(liveServers().lock);
    liveServers().servers.erase(s);
}
} // namespace

std::string XvfbServer::pidFilePath(pid_t pid) {
    const char* dir = getenv(PID_DIR_VARIABLE);
    if (!dir || !*dir)
        return {};
    return std::string(dir) + "/xvfb." + std::to_string(pid);
}

XvfbServer::XvfbServer(const ScreenSpec& spec) : m_spec(spec) {
    // Whatever shows on a test's server shows in the tests' own fonts.
    useTestFonts();
    saveEnv("DISPLAY", m_oldDisplay, m_hadDisplay);
    saveEnv("XDG_RUNTIME_DIR", m_oldRuntime, m_hadRuntime);
    chmod(m_runtime.path().c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", m_runtime.path().c_str(), 1);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::string screen =
        std::to_string(spec.width) + "x" + std::to_string(spec.height) + "x" + std::to_string(spec.depth);
    std::vector<std::string> args = {
        "Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
    args.insert(args.end(), spec.extraArgs.begin(), spec.extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        // The server ends with the thread that started it, even when that is killed.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        fcntl(fds[1], F_SETFD, 0); // keep the write end open across exec
        int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execvp("Xvfb", argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (m_pid < 0) {
        close(fds[0]);
        return;
    }
    m_owner = parent;
    track(this);
    m_pidFile = pidFilePath(m_pid);
    if (!m_pidFile.empty()) {
        const std::string text = std::to_string(m_pid) + "\n";
        int fd = open(m_pidFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, text.data(), text.size()) != ssize_t(text.size()))
            m_pidFile.clear();
        if (fd >= 0)
            close(fd);
    }
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    for (int waited = 0; waited < 30000;) {
        int r = poll(&p, 1, 200);
        if (r > 0) {
            char buf[32];
            ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0)
                break;
            number.append(buf, size_t(n));
            if (number.find('\n') != std::string::npos)
                break;
        } else if (r == 0) {
            waited += 200;
        } else if (errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
        number.pop_back();
    if (number.empty())
        return;
    m_display = ":" + number;
    setenv("DISPLAY", m_display.c_str(), 1);
}

XvfbServer::~XvfbServer() {
    stop();
    restoreEnv("DISPLAY", m_oldDisplay, m_hadDisplay);
    restoreEnv("XDG_RUNTIME_DIR", m_oldRuntime, m_hadRuntime);
}

void XvfbServer::stop() {
    untrack(this);
    // A forked copy of the test process (a death test) leaves its parent's server alone.
    if (m_pid > 0 && m_owner == getpid()) {
        kill(m_pid, SIGTERM);
        int status;
        for (int i = 0; i < 100; ++i) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                break;
            }
            usleep(20000);
        }
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
        }
        if (!m_pidFile.empty())
            unlink(m_pidFile.c_str());
    }
    m_pid = -1;
}

void XvfbTest::SetUp() {
    m_server = std::make_unique<XvfbServer>(screen());
    ASSERT_TRUE(m_server->running()) << "Xvfb did not start";
}
void XvfbTest::TearDown() {
    m_server.reset();
}

void XvfbParamTest::SetUp() {
    m_server = std::make_unique<XvfbServer>(GetParam());
    ASSERT_TRUE(m_server->running()) << "Xvfb did not start";
}
void XvfbParamTest::TearDown() {
    m_server.reset();
}

std::string screenName(const ::testing::TestParamInfo<ScreenSpec>& info) {
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "x" +
           std::to_string(info.param.depth);
}

} // namespace testsupport
