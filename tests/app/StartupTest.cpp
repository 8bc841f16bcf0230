#include "media/ResourceStore.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/stat.h>

using namespace testsupport;

namespace {

const char kFirstRun[] = "\nVelmora running for first time ...\n";
const char kNoHome[] = "$HOME not set, please set it to appropriate directory\n";

// One author's account: a fresh HOME and a working directory of its own.
struct Account {
    TempDir root;
    std::string home() const { return root.file("home"); }
    std::string cwd() const { return root.file("cwd"); }
    Account() {
        mkdir(home().c_str(), 0755);
        mkdir(cwd().c_str(), 0755);
    }
    ProcessOptions options() const {
        ProcessOptions o;
        o.env["HOME"] = home();
        o.workingDirectory = cwd();
        return o;
    }
};

std::string windowNamed(const std::string& pattern) {
    return runCommand("xdotool search --name '" + pattern + "' 2>/dev/null | head -n1");
}

// Geometry of the first window of that size in xwininfo's tree, "WxH+X+Y".
std::string windowGeometryOfSize(const std::string& size) {
    std::string tree = runCommand("xwininfo -root -tree 2>/dev/null");
    size_t at = tree.find(" " + size + "+");
    if (at == std::string::npos)
        return {};
    size_t end = tree.find_first_of(" \n", at + 1);
    return tree.substr(at + 1, end - at - 1);
}

class Startup : public XvfbParamTest {};

TEST_P(Startup, FirstStartMakesTheDataDirectoryAndShowsTheCaption) {
    Account a;
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), a.options()));

    std::string id;
    ASSERT_TRUE(waitUntil([&] { return !(id = trim(windowNamed("^Velmora 1.0 - "))).empty(); }, 15000))
        << p.err();
    EXPECT_EQ(trim(runCommand("xdotool getwindowname " + id)),
              "Velmora 1.0 - " + a.home() + "/zedaro/Untitled");

    struct stat st {};
    ASSERT_EQ(stat((a.home() + "/zedaro").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0766u & ~0022u) << "mode 0766 under the test's umask";
    EXPECT_NE(p.err().find(kFirstRun), std::string::npos) << p.err();
    p.signal(SIGTERM);
    p.wait(5000);

    Process second;
    ASSERT_TRUE(second.start(velmoraBinary(), a.options()));
    ASSERT_TRUE(waitUntil([&] { return !windowNamed("^Velmora 1.0 - ").empty(); }, 15000));
    EXPECT_EQ(second.err().find("running for first time"), std::string::npos) << second.err();
    second.signal(SIGTERM);
    second.wait(5000);
}

// Started in the folder that holds RESOURCES.RSE, a first start makes the
// media library's store with the 53 default icons.
TEST_P(Startup, FirstStartInTheImagesFolderMakesTheStoreWithTheDefaultIcons) {
    Account a;
    ProcessOptions o = a.options();
    o.workingDirectory = std::string(VELMORA_SOURCE_ROOT) + "/images";
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), o));
    ASSERT_TRUE(waitUntil([&] { return !windowNamed("^Velmora 1.0 - ").empty(); }, 15000)) << p.err();
    p.signal(SIGTERM);
    p.wait(5000);
    EXPECT_EQ(p.err().find("RESOURCES.RSE"), std::string::npos) << p.err();

    ResourceStore store(a.home() + "/zedaro/VELMORA.RSE", "");
    const std::vector<uint32_t> ids = store.identifiers();
    ASSERT_EQ(ids.size(), 53u);
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], 0x06010001u + i);
}

TEST_P(Startup, SplashIsCentredAndClosesAfterTheLoopStarts) {
    Account a;
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), a.options()));
    const ScreenSpec& s = GetParam();
    std::string expected =
        "408x300+" + std::to_string(s.width / 2 - 200) + "+" + std::to_string(s.height / 2 - 150);
    EXPECT_TRUE(waitUntil([&] { return windowGeometryOfSize("408x300") == expected; }, 15000))
        << windowGeometryOfSize("408x300");
    ASSERT_TRUE(waitUntil([&] { return !windowNamed("^Velmora 1.0 - ").empty(); }, 15000));
    EXPECT_TRUE(waitUntil([&] { return windowGeometryOfSize("408x300").empty(); }, 5000))
        << "splash still up";
    EXPECT_TRUE(p.running());
    p.signal(SIGTERM);
    p.wait(5000);
}

INSTANTIATE_TEST_SUITE_P(Screens, Startup,
                         ::testing::Values(ScreenSpec{1024, 768, 24, {}}, ScreenSpec{1280, 1024, 16, {}}),
                         screenName);

class StartupErrors : public XvfbTest {};

TEST_F(StartupErrors, MissingHomeEndsWithStatusOneAndCreatesNothing) {
    for (bool empty : {false, true}) {
        Account a;
        ProcessOptions o = a.options();
        o.env.erase("HOME");
        if (empty)
            o.env["HOME"] = "";
        else
            o.unset.push_back("HOME");
        Process p;
        ASSERT_TRUE(p.start(velmoraBinary(), o));
        auto status = p.wait(15000);
        ASSERT_TRUE(status.has_value());
        EXPECT_EQ(*status, 1) << (empty ? "empty HOME" : "HOME unset");
        EXPECT_NE(p.err().find(kNoHome), std::string::npos) << p.err();
        EXPECT_EQ(runCommand("ls -A " + a.cwd()), "") << "nothing is created";
        EXPECT_FALSE(fileExists(a.home() + "/zedaro"));
    }
}

TEST_F(StartupErrors, CrashShowsTheBoxAndEndsWithStatusOne) {
    Account a;
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), a.options()));
    ASSERT_TRUE(waitUntil([&] { return !windowNamed("^Velmora 1.0 - ").empty(); }, 15000)) << p.err();

    p.signal(SIGSEGV);
    ASSERT_TRUE(p.waitForErr("Fatal signal Segmentation Fault occured Please make\n"
                             "               a bug report to <",
                             5000))
        << p.err();
    std::string box;
    ASSERT_TRUE(waitUntil([&] { return !(box = trim(windowNamed("^Velmora 1.0$"))).empty(); }, 15000))
        << "the crash box appears";
    EXPECT_TRUE(p.running()) << "the program waits for the box";
    // The box can be named before it is viewable, when focusing it fails:
    // focus and press Return again until the program ends.
    std::optional<int> status;
    for (int attempt = 0; attempt < 10 && !status; ++attempt) {
        runCommand("xdotool windowfocus --sync " + box + " key Return");
        status = p.wait(1000);
    }
    ASSERT_TRUE(status.has_value()) << "the program ends once the box is closed";
    EXPECT_EQ(*status, 1);
}

} // namespace
