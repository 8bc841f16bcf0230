#include "support/XvfbServer.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// True while `pid` is a process that has not ended (a zombie has ended).
bool alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

struct Ending {
    const char* how;
    int signal; // sent once the server runs; 0: none
    bool pidFileStays;
};

void PrintTo(const Ending& e, std::ostream* os) {
    *os << e.how << " signal " << e.signal;
}

class XvfbServerEnd : public ::testing::TestWithParam<Ending> {};

// However a test process ends, its server ends with it; the PID file names the
// server while it runs and is removed when the process stopped it itself.
TEST_P(XvfbServerEnd, ServerEndsWithItsTestProcess) {
    const Ending e = GetParam();
    TempDir pids;
    Process holder;
    ProcessOptions options;
    options.args = {e.how};
    options.env[XvfbServer::PID_DIR_VARIABLE] = pids.path();
    ASSERT_TRUE(holder.start(XVFB_HOLDER_BIN, options));
    ASSERT_TRUE(waitUntil([&] { return holder.out().find('\n') != std::string::npos; }, 30000))
        << holder.err();
    const pid_t server = pid_t(std::stol(holder.out()));
    ASSERT_GT(server, 0);
    const std::string pidFile = pids.file("xvfb." + std::to_string(server));
    // A holder that exits at once may already have stopped its server and
    // removed the file; otherwise it names the server.
    const std::string named = readFile(pidFile);
    if (e.pidFileStays || !named.empty()) {
        EXPECT_EQ(named, std::to_string(server) + "\n");
    }
    if (e.signal)
        holder.signal(e.signal);
    ASSERT_TRUE(holder.wait(10000).has_value());
    const bool ended = waitUntil([&] { return !alive(server); }, 5000);
    if (!ended)
        kill(server, SIGKILL);
    EXPECT_TRUE(ended) << "the server outlived its test process";
    EXPECT_EQ(fileExists(pidFile), e.pidFileStays);
}

INSTANTIATE_TEST_SUITE_P(Endings, XvfbServerEnd,
                         ::testing::Values(Ending{"exit", 0, false}, Ending{"abort", 0, true},
                                           Ending{"wait", SIGKILL, true}, Ending{"wait", SIGTERM, true}),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             return std::string(info.param.how) +
                                    (info.param.signal ? "_signal" + std::to_string(info.param.signal) : "");
                         });

// A forked copy of the test process (as a death test makes) that exits leaves
// its parent's server running.
TEST(XvfbServer, ForkedCopyLeavesTheParentsServerAlone) {
    XvfbServer server({320, 200, 24, {}});
    ASSERT_TRUE(server.running());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        exit(0); // runs the exit handlers of the copy
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(alive(server.pid()));
    const pid_t pid = server.pid();
    server.stop();
    EXPECT_FALSE(alive(pid));
}

} // namespace
