// Stop ends a sound clip recording whichever way the author gives it: from
// the Sound menu or from the "Record Sound Clip" window, with the mouse or
// the keyboard, at once after Record and again and again, with and without a
// window manager. The program runs as a child on a private X server, with its
// sound going to a private PulseAudio server.
#include "../AuthorSessionFixture.h"
#include "store/RecordIO.h"
#include "support/PulseServer.h"

#include "../TestWindowManager.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>

using namespace testsupport;

namespace {

bool emulationPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "libpulsedsp");
}

enum class StopBy { MenuMouse, MenuKeys, WindowMouse, WindowSpace, WindowReturn };

struct StopCase {
    const char* name;
    StopBy by;
    bool windowManager;
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// The shown override-redirect windows (the open menus), left to right.
std::vector<Rect> openMenus() {
    std::vector<Rect> menus;
    std::istringstream in(runCommand("xwininfo -root -children 2>/dev/null"));
    std::string line;
    while (std::getline(in, line)) {
        char id[32] = {};
        if (std::sscanf(line.c_str(), " %31[0-9a-fx]", id) != 1 || std::strncmp(id, "0x", 2) != 0)
            continue;
        const std::string info = runCommand(std::string("xwininfo -id ") + id + " 2>/dev/null");
        if (info.find("Map State: IsViewable") == std::string::npos ||
            info.find("Override Redirect State: yes") == std::string::npos)
            continue;
        if (const auto r = placeOf(id))
            menus.push_back(*r);
    }
    std::sort(menus.begin(), menus.end(), [](const Rect& a, const Rect& b) { return a.x < b.x; });
    return menus;
}

class SoundStop : public AuthorSession, public ::testing::WithParamInterface<StopCase> {
  protected:
    void SetUp() override {
        if (!emulationPreloaded())
            GTEST_SKIP() << "run with LD_PRELOAD of libpulsedsp.so (CTest does)";
        AuthorSession::SetUp();
        if (GetParam().windowManager) {
            m_wm = std::make_unique<TestWindowManager>();
            ASSERT_TRUE(m_wm->running());
        }
    }
    void TearDown() override {
        m_wm.reset();
        if (emulationPreloaded())
            AuthorSession::TearDown();
    }

    ProcessOptions soundOptions(const PulseServer& server) const {
        ProcessOptions o = options();
        for (const auto& [name, value] : server.clientEnvironment())
            o.env[name] = value;
        o.env["LD_PRELOAD"] = getenv("LD_PRELOAD");
        return o;
    }
    void keys(const std::string& line) { runCommand("xdotool " + line); }
    void clickAt(int x, int y) {
        keys("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }

    // Append Frame (F5), pressed again while the window is still settling.
    bool appendFrame(Process& p) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            focus(m_main);
            keys("key F5");
            if (p.waitForErr("Inside Update Audio GUI", 4000))
                return true;
        }
        return false;
    }
    // View > Record Sound Clip; sets the window's id.
    bool showClipWindow() {
        focus(m_main);
        keys("keydown alt key v keyup alt sleep 0.4 key r");
        return waitUntil(
            [&] {
                m_clip = trim(runCommand(
                    "xdotool search --onlyvisible --name '^Record Sound Clip$' 2>/dev/null | head -n1"));
                return !m_clip.empty() && placeOf(m_clip).has_value();
            },
            5000);
    }
    // The window's buttons Record, Stop, ... 32 pixels apart.
    void pressButton(int button) {
        const auto place = placeOf(m_clip);
        ASSERT_TRUE(place.has_value());
        clickAt(place->x + 32 * button + 16, place->y + 15);
    }
    // Record > Sound opened from the keyboard; its first item that is on is chosen.
    void openSoundMenu() {
        focus(m_main);
        keys("keydown alt key r keyup alt sleep 0.4 key o sleep 0.4");
    }
    // Clicks Stop, the second of the Sound menu's five items of one height;
    // the Record menu above has two of them.
    void clickMenuStop() {
        std::vector<Rect> menus;
        waitUntil([&] { return (menus = openMenus()).size() >= 2; }, 3000);
        ASSERT_GE(menus.size(), 2u) << "Record > Sound is open";
        const Rect record = menus[menus.size() - 2], sound = menus.back();
        const int item = (sound.h - record.h) / 3;
        ASSERT_GT(item, 8);
        const int margin = 2;
        clickAt(sound.x + sound.w / 2, sound.y + sound.h - margin - 4 * item + item / 2);
    }

    void record(StopBy by) {
        if (by == StopBy::MenuMouse || by == StopBy::MenuKeys) {
            openSoundMenu();
            keys("key Return");
        } else {
            pressButton(0);
        }
    }
    void stop(StopBy by) {
        switch (by) {
        case StopBy::MenuMouse:
            openSoundMenu();
            clickMenuStop();
            break;
        case StopBy::MenuKeys:
            openSoundMenu();
            keys("key s");
            break;
        case StopBy::WindowMouse:
            pressButton(1);
            break;
        case StopBy::WindowSpace:
            focus(m_clip);
            keys("key space");
            break;
        case StopBy::WindowReturn:
            focus(m_clip);
            keys("key Return");
            break;
        }
    }

    std::string tempFile() const { return home() + "/zedaro/temp.snx"; }
    uint32_t clipCount() const {
        const std::string sound = readFile(home() + "/zedaro/Sound.dat");
        return sound.size() >= 8 ? rec::readLe32(reinterpret_cast<const uint8_t*>(sound.data()) + 4) : 0;
    }

    std::unique_ptr<TestWindowManager> m_wm;
    std::string m_main, m_clip;
};

TEST_P(SoundStop, EndsTheRecordingAtOnceEveryTime) {
    const StopCase c = GetParam();
    PulseServer server(PulseFormat{"s16le", 8000, 1});
    ASSERT_TRUE(server.running());
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), soundOptions(server)));
    m_main = mainWindow();
    ASSERT_FALSE(m_main.empty()) << p.err();
    ASSERT_TRUE(appendFrame(p)) << p.err();
    ASSERT_TRUE(showClipWindow()) << p.err();

    for (uint32_t cycle = 1; cycle <= 3; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        // Stop right after Record: while the recording is still starting.
        record(c.by);
        stop(c.by);
        const bool stored =
            waitUntil([&] { return occurrences(p.err(), "Edit info of frame") >= cycle; }, 8000);
        ASSERT_TRUE(stored) << "the recording went on: temp.snx "
                            << (fileExists(tempFile()) ? "is there" : "is gone") << "\n"
                            << p.err();
        ASSERT_TRUE(waitUntil([&] { return !fileExists(tempFile()); }, 3000));
        runCommand("sleep 0.8");
        EXPECT_FALSE(fileExists(tempFile())) << "no recording starts again";
        EXPECT_EQ(clipCount(), cycle);
    }
    quit(p, m_main);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SoundStop,
    ::testing::Values(StopCase{"MenuMouse", StopBy::MenuMouse, false},
                      StopCase{"MenuKeys", StopBy::MenuKeys, false},
                      StopCase{"WindowMouse", StopBy::WindowMouse, false},
                      StopCase{"WindowSpace", StopBy::WindowSpace, false},
                      StopCase{"WindowReturn", StopBy::WindowReturn, false},
                      StopCase{"MenuMouseUnderAWindowManager", StopBy::MenuMouse, true},
                      StopCase{"MenuKeysUnderAWindowManager", StopBy::MenuKeys, true},
                      StopCase{"WindowMouseUnderAWindowManager", StopBy::WindowMouse, true},
                      StopCase{"WindowSpaceUnderAWindowManager", StopBy::WindowSpace, true},
                      StopCase{"WindowReturnUnderAWindowManager", StopBy::WindowReturn, true}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

} // namespace
