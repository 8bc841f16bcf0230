// An author gives the project a background sound: a frame, Preferences >
// Background Sound Settings..., Browse to the media library's one WAV, three
// loops and a two-second fade, OK, then Make; opening the made file again
// shows the same settings. Driven through the keyboard and mouse on a private
// X server with a fresh HOME whose resource store holds the WAV.
#include "../../media/ResourceStoreTestFiles.h"
#include "../AuthorSessionFixture.h"
#include "media/CBackgroundSound.h"
#include "media/ResourceStore.h"
#include "store/VlmFile.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <regex>
#include <sstream>

using namespace testsupport;

namespace {

// The last traced background sound record, without its identifier.
std::string tracedSettings(const std::string& err) {
    static const std::regex line("Background sound: id ([0-9]+) ([^\\n]*)");
    std::string last;
    for (auto it = std::sregex_iterator(err.begin(), err.end(), line); it != std::sregex_iterator(); ++it)
        last = (*it)[2];
    return last;
}

class AuthorBackgroundSound : public AuthorSession {
  protected:
    void key(const std::string& keys) { runCommand("xdotool " + keys); }
    void clickAt(const Rect& w, int x, int y) {
        key("mousemove " + std::to_string(w.x + x) + " " + std::to_string(w.y + y) + " click 1 sleep 0.3");
    }
    std::string windowNamed(const std::string& name, int timeoutMs = 8000) {
        std::string id;
        waitUntil(
            [&] {
                return !(id = trim(runCommand("xdotool search --onlyvisible --name '^" + name +
                                              "$' 2>/dev/null | head -n1")))
                            .empty();
            },
            timeoutMs);
        return id;
    }
    // Preferences > Background Sound Settings...: the dialog's place.
    std::optional<Rect> openDialog(const std::string& main) {
        focus(main);
        key("keydown alt key n keyup alt");
        key("sleep 0.4 key b sleep 0.6");
        const std::string id = windowNamed("Background Sound Settings");
        if (id.empty())
            return std::nullopt;
        runCommand("sleep 0.4");
        return placeOf(id);
    }
    void quit(Process& p) {
        focus(mainWindow());
        key("key ctrl+q");
        p.wait(10000);
        if (p.running()) {
            p.signal(SIGTERM);
            p.wait(5000);
        }
    }
};

TEST_F(AuthorBackgroundSound, ChosenMadeAndShownAgain) {
    // The working directory's default icons and a store with one WAV.
    writeFile(root.file("RESOURCES.RSE"), resourcetest::defaultIconFile(53, true));
    mkdir((home() + "/zedaro").c_str(), 0755);
    const std::string wav = root.file("voice.wav");
    writeFile(wav, std::string("RIFF\x24\x00\x00\x00WAVEfmt ", 16) + std::string(64, '\x11'));
    uint32_t id = 0;
    {
        ResourceStore store(home() + "/zedaro/VELMORA.RSE", root.file("RESOURCES.RSE"));
        id = store.importFile(QString::fromStdString(wav));
    }
    ASSERT_NE(id, 0u);

    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), options()));
    std::string main = mainWindow();
    ASSERT_FALSE(main.empty()) << p.err();
    focus(main);
    key("key F5 sleep 1"); // the Preferences items need a frame

    auto dialog = openDialog(main);
    ASSERT_TRUE(dialog.has_value()) << p.err();
    EXPECT_EQ(dialog->w, 400);
    EXPECT_EQ(dialog->h, 400);

    // Browse: the media library opens at Audio; the WAV, then OK.
    clickAt(*dialog, 276, 43);
    const std::string library = windowNamed("Resource Editor");
    if (library.empty())
        GTEST_SKIP() << "the main window's media library is not the resource editor yet";
    runCommand("sleep 0.5");
    focus(library);
    key("key Down sleep 0.3 keydown alt key o keyup alt sleep 0.5");
    ASSERT_TRUE(p.waitForErr("Background Sound File = " + wav, 5000)) << p.err();

    // Loop Sound, Number of Times 3; User Fading, Fade In and Fade Out of 2 seconds.
    clickAt(*dialog, 27, 93);
    clickAt(*dialog, 42, 134);
    clickAt(*dialog, 242, 135);
    key("key ctrl+a type 3");
    clickAt(*dialog, 27, 207);
    clickAt(*dialog, 42, 246);
    clickAt(*dialog, 340, 246);
    key("key ctrl+a type 2");
    clickAt(*dialog, 42, 266);
    clickAt(*dialog, 340, 266);
    key("key ctrl+a type 2");
    clickAt(*dialog, 253, 369); // OK
    const std::string want = "looping 1 count 3 forever 0 fading 1 in 1 out 1 seconds in 2 seconds out 2 "
                             "in frame 0 out frame 1";
    ASSERT_TRUE(waitUntil([&] { return tracedSettings(p.err()) == want; }, 5000)) << p.err();
    EXPECT_TRUE(windowNamed("Background Sound Settings", 500).empty()) << "OK hides the dialog";

    // Ctrl+M: the audio stream header holds the record and the resource table the sound.
    focus(main);
    key("key ctrl+m");
    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    ASSERT_TRUE(waitUntil([&] { return fileExists(vlm); }, 15000)) << p.err();
    runCommand("sleep 1");
    {
        VlmFile file;
        ASSERT_EQ(file.openToRead(vlm), 0);
        const SBackgroundSoundSettings s =
            SBackgroundSoundSettings::fromBytes(file.audioHeader().backgroundSound);
        EXPECT_EQ(s.resourceId, id);
        EXPECT_EQ(s.loopCount, 3);
        EXPECT_EQ(s.loopForever, 0);
        EXPECT_EQ(s.secondsFadeIn, 2);
        EXPECT_EQ(s.secondsFadeOut, 2);
        EXPECT_EQ(s.outFrame, 1);
        char name[200] = {};
        EXPECT_EQ(file.ScapResourceReadFileName(name, sizeof name, id), 0) << "the sound is in the table";
        file.vlmFileClose();
    }
    quit(p);

    // Opened again: the dialog shows the same settings, so OK gives them back.
    const std::string copy = root.file("show.vlm");
    writeFile(copy, readFile(vlm));
    Process again;
    ASSERT_TRUE(again.start(velmoraBinary(), options({copy})));
    ASSERT_TRUE(again.waitForErr("m_dwFrameCount == ", 15000)) << again.err();
    main = mainWindow();
    ASSERT_FALSE(main.empty());
    runCommand("sleep 1");
    dialog = openDialog(main);
    ASSERT_TRUE(dialog.has_value()) << again.err();
    clickAt(*dialog, 253, 369); // OK
    EXPECT_TRUE(waitUntil([&] { return tracedSettings(again.err()) == want; }, 5000)) << again.err();
    quit(again);
}

} // namespace
