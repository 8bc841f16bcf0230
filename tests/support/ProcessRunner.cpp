#include "support/ProcessRunner.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

Process::~Process() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        int st;
        waitpid(m_pid, &st, 0);
    }
}

bool Process::start(const std::string& program, const ProcessOptions& options) {
    std::vector<std::string> args{program};
    args.insert(args.end(), options.args.begin(), options.args.end());
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) {
        std::string kv = *e;
        std::string key = kv.substr(0, kv.find('='));
        bool drop = options.env.count(key) != 0;
        for (auto& u : options.unset)
            drop = drop || u == key;
        if (!drop)
            envs.push_back(kv);
    }
    for (auto& [k, v] : options.env)
        envs.push_back(k + "=" + v);
    std::vector<char*> argv, envp;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : envs)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string outPath = m_io.file("stdout"), errPath = m_io.file("stderr");

    m_pid = fork();
    if (m_pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    return m_pid > 0;
}

std::optional<int> Process::wait(int timeoutMs) {
    if (m_status || m_pid <= 0)
        return m_status;
    waitUntil(
        [&] {
            int st;
            pid_t r = waitpid(m_pid, &st, WNOHANG);
            if (r == m_pid)
                m_status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            return m_status.has_value();
        },
        timeoutMs);
    return m_status;
}

bool Process::running() {
    return m_pid > 0 && !wait(0);
}

void Process::signal(int sig) {
    if (m_pid > 0 && !m_status)
        kill(m_pid, sig);
}

std::string Process::out() const {
    return readFile(m_io.file("stdout"));
}
std::string Process::err() const {
    return readFile(m_io.file("stderr"));
}

bool Process::waitForErr(const std::string& text, int timeoutMs, int stepMs) {
    return waitUntil([&] { return err().find(text) != std::string::npos; }, timeoutMs, stepMs);
}

std::string trim(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string runCommand(const std::string& commandLine, int* status) {
    std::string result;
    FILE* p = popen(commandLine.c_str(), "r");
    if (!p) {
        if (status)
            *status = -1;
        return result;
    }
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        result.append(buf.data(), n);
    int st = pclose(p);
    if (status)
        *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return result;
}

} // namespace testsupport
