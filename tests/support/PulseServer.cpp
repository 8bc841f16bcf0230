#include "support/PulseServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

namespace {

// Starts `args` as a child of this thread with exactly `env`, standard output
// to `outFd` (or /dev/null) and standard error to `errPath` (or /dev/null).
pid_t spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& env, int outFd,
            const std::string& errPath) {
    std::vector<std::string> envText;
    for (const auto& [name, value] : env)
        envText.push_back(name + "=" + value);
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (auto& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
    const int devnull = open("/dev/null", O_RDWR);
    const int err = errPath.empty() ? devnull : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(devnull, 0);
    dup2(outFd >= 0 ? outFd : devnull, 1);
    dup2(err >= 0 ? err : devnull, 2);
    execvpe(argv[0], argv.data(), envp.data());
    _exit(127);
}

void endChild(pid_t pid, int sig) {
    kill(pid, sig);
    int status;
    for (int i = 0; i < 150; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return;
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

void sleepMs(int ms) {
    struct timespec ts {
        ms / 1000, (ms % 1000) * 1000000L
    };
    nanosleep(&ts, nullptr);
}

// Servers still running at exit (held by a static) are stopped then.
struct Running {
    std::mutex lock;
    std::set<PulseServer*> servers;
};
Running& liveServers() {
    static Running* r = new Running;
    return *r;
}
void stopAllAtExit() {
    std::set<PulseServer*> left;
    {
        std::lock_guard<std::mutex> g(liveServers().lock);
        left = liveServers().servers;
    }
    for (PulseServer* s : left)
        s->stop();
}
void track(PulseServer* s) {
    static std::once_flag once;
    std::call_once(once, [] { atexit(stopAllAtExit); });
    std::lock_guard<std::mutex> g(liveServers().lock);
    liveServers().servers.insert(s);
}
void untrack(PulseServer* s) {
    std::lock_guard<std::mutex> g(liveServers().lock);
    liveServers().servers.erase(s);
}

// The order matters: the tone is loaded after the default sink is set, or the
// server moves its stream to "speaker"; the loopback keeps "mic" at a low
// latency, so its monitor delivers in real time.
std::string serverScript(const std::string& dir, const PulseFormat& f) {
    return "load-module module-native-protocol-unix socket=" + dir +
           "/native auth-anonymous=1\n"
           "load-module module-null-sink sink_name=speaker format=" +
           f.format + " rate=" + std::to_string(f.rate) + " channels=" + std::to_string(f.channels) +
           " norewinds=1\n"
           "load-module module-null-sink sink_name=mic rate=22050 channels=1\n"
           "load-module module-null-sink sink_name=holder rate=22050 channels=1\n"
           "set-default-sink speaker\n"
           "set-default-source mic.monitor\n"
           "load-module module-sine sink=mic frequency=440\n"
           "load-module module-loopback source=mic.monitor sink=holder latency_msec=20 source_dont_move=true "
           "sink_dont_move=true\n";
}

} // namespace

std::string PulseServer::pidFilePath(pid_t pid) {
    const char* dir = getenv("VELMORA_TEST_PID_DIR");
    if (!dir || !*dir)
        return {};
    return std::string(dir) + "/pulse." + std::to_string(pid);
}

PulseServer::PulseServer(const PulseFormat& speaker) : m_speaker(speaker) {
    const std::string dir = m_dir.path();
    mkdir((dir + "/home").c_str(), 0700);
    mkdir((dir + "/run").c_str(), 0700);
    writeFile(dir + "/server.pa", serverScript(dir, speaker));
    m_clientConfig = dir + "/client.conf";
    writeFile(m_clientConfig, "autospawn = no\n");
    m_socket = dir + "/native";

    const std::map<std::string, std::string> env = {
        {"PATH", "/usr/bin:/bin"}, {"HOME", dir + "/home"}, {"XDG_RUNTIME_DIR", dir + "/run"}};
    m_pid = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                   "--disable-shm=yes", "--log-target=stderr", "-F", dir + "/server.pa"},
                  env, -1, dir + "/server.log");
    if (m_pid < 0)
        return;
    m_owner = getpid();
    track(this);
    m_pidFile = pidFilePath(m_pid);
    if (!m_pidFile.empty())
        writeFile(m_pidFile, std::to_string(m_pid) + "\n");

    for (const auto& [name, value] : clientEnvironment()) {
        const char* old = getenv(name.c_str());
        m_savedEnv[name] = {old != nullptr, old ? old : ""};
        setenv(name.c_str(), value.c_str(), 1);
    }
    m_ready = waitForSocket(10000) && waitForTone(10000);
}

PulseServer::~PulseServer() {
    stop();
    for (const auto& [name, saved] : m_savedEnv) {
        if (saved.first)
            setenv(name.c_str(), saved.second.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

void PulseServer::stop() {
    untrack(this);
    // A forked copy of the test process leaves its parent's server alone.
    if (m_pid > 0 && m_owner == getpid()) {
        endChild(m_pid, SIGTERM);
        if (!m_pidFile.empty())
            unlink(m_pidFile.c_str());
    }
    m_pid = -1;
    m_ready = false;
}

std::map<std::string, std::string> PulseServer::clientEnvironment() const {
    return {{"PULSE_SERVER", "unix:" + m_socket}, {"PULSE_CLIENTCONFIG", m_clientConfig}};
}

bool PulseServer::waitForSocket(int timeoutMs) const {
    struct stat st;
    for (int t = 0; t < timeoutMs; t += 20) {
        if (stat(m_socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
            return true;
        int status;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid)
            return false;
        sleepMs(20);
    }
    return false;
}

bool PulseServer::waitForTone(int timeoutMs) const {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::map<std::string, std::string> env = clientEnvironment();
    env["PATH"] = "/usr/bin:/bin";
    env["HOME"] = m_dir.path() + "/home";
    const pid_t reader = spawn({"parec", "-d", "mic.monitor", "--format=s16le", "--rate=22050",
                                "--channels=1", "--raw", "--latency-msec=20"},
                               env, fds[1], {});
    close(fds[1]);
    bool heard = false;
    if (reader > 0) {
        pollfd p{fds[0], POLLIN, 0};
        uint8_t buf[4096];
        for (int waited = 0; !heard && waited < timeoutMs;) {
            const int r = poll(&p, 1, 100);
            if (r == 0) {
                waited += 100;
                continue;
            }
            if (r < 0 && errno == EINTR)
                continue;
            const ssize_t n = r > 0 ? read(fds[0], buf, sizeof buf) : -1;
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n && !heard; ++i)
                heard = buf[i] != 0;
        }
        endChild(reader, SIGTERM);
    }
    close(fds[0]);
    return heard;
}

PulseRecorder::PulseRecorder(const PulseServer& server, const std::string& device, const PulseFormat& format,
                             const std::string& outPath) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return;
    std::map<std::string, std::string> env = server.clientEnvironment();
    env["PATH"] = "/usr/bin:/bin";
    const char* home = getenv("HOME");
    env["HOME"] = home ? home : "/tmp";
    m_pid =
        spawn({"parec", "-d", device, "--format=" + format.format, "--rate=" + std::to_string(format.rate),
               "--channels=" + std::to_string(format.channels), "--raw", "--latency-msec=20"},
              env, out, {});
    close(out);
}

PulseRecorder::~PulseRecorder() {
    stop();
}

void PulseRecorder::stop() {
    if (m_pid > 0)
        endChild(m_pid, SIGINT);
    m_pid = -1;
}

} // namespace testsupport
