#include "app/CrashHandler.h"
#include "store/Diagnostics.h"

#include <QApplication>
#include <QMessageBox>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace crash {

namespace {

const char kStderrText[] = "Fatal signal Segmentation Fault occured Please make\n"
                           "               a bug report to <https://velmora.invalid/bugs>";

// Prepared at installation: nothing may be allocated inside the handler.
std::string g_exe;
std::vector<std::string> g_envStore;
std::vector<char*> g_envp;
char* g_argv[2] = {nullptr, nullptr};
std::vector<char> g_altStack;

void signalHandler(int) {
    diag::writeAll(kStderrText, sizeof kStderrText - 1);
    if (!g_exe.empty()) {
        pid_t pid = _Fork();
        if (pid == 0) {
            execve(g_argv[0], g_argv, g_envp.data());
            _exit(127);
        }
        if (pid > 0) {
            int status;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    _exit(1);
}

} // namespace

void installHandler() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n > 0) {
        path[n] = '\0';
        g_exe = path;
    }
    g_argv[0] = g_exe.data();
    g_envStore.clear();
    for (char** e = environ; *e; ++e)
        if (strncmp(*e, BOX_REQUEST, strlen(BOX_REQUEST)) != 0)
            g_envStore.emplace_back(*e);
    g_envStore.push_back(std::string(BOX_REQUEST) + "=1");
    g_envp.clear();
    for (auto& s : g_envStore)
        g_envp.push_back(s.data());
    g_envp.push_back(nullptr);

    // The handler must run even when the fault is a stack overflow.
    g_altStack.resize(std::max<size_t>(SIGSTKSZ, 64 * 1024));
    stack_t ss{};
    ss.ss_sp = g_altStack.data();
    ss.ss_size = g_altStack.size();
    sigaltstack(&ss, nullptr);

    struct sigaction sa {};
    sa.sa_handler = signalHandler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigaction(SIGSEGV, &sa, nullptr);
}

bool boxRequested() {
    return getenv(BOX_REQUEST) != nullptr;
}

int showBox(int& argc, char** argv) {
    unsetenv(BOX_REQUEST);
    QApplication app(argc, argv);
    QMessageBox box(
        QMessageBox::Critical, "Velmora 1.0",
        "Velmora has crashed Submit a bug report <font color=#ff0000> bugs@velmora.invalid </font>",
        QMessageBox::Ok);
    box.setTextFormat(Qt::RichText);
    box.exec();
    return 0;
}

} // namespace crash
