#include "support/XvfbServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
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
} // namespace

XvfbServer::XvfbServer(const ScreenSpec& spec) : m_spec(spec) {
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

    m_pid = fork();
    if (m_pid == 0) {
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
    if (m_pid > 0) {
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
    }
    restoreEnv("DISPLAY", m_oldDisplay, m_hadDisplay);
    restoreEnv("XDG_RUNTIME_DIR", m_oldRuntime, m_hadRuntime);
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
