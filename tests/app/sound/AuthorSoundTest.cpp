// An author records frames, records a sound clip on a frame from the "Record
// Sound Clip" window, plays it, makes the output file, opens it again and
// deletes the sound: driven through the keyboard and mouse on a private X
// server, with the program's sound going to a private PulseAudio server.
#include "../AuthorSessionFixture.h"
#include "media/G723Codec.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "support/PulseServer.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>

using namespace testsupport;

namespace {

bool emulationPreloaded() {
    const char* preload = getenv("LD_PRELOAD");
    return preload && strstr(preload, "libpulsedsp");
}

uint32_t word(const std::string& bytes, size_t at) {
    return at + 4 <= bytes.size() ? rec::readLe32(reinterpret_cast<const uint8_t*>(bytes.data()) + at) : 0;
}

std::vector<int16_t> samples16(const std::string& bytes) {
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(uint16_t(uint8_t(bytes[2 * i])) | uint16_t(uint8_t(bytes[2 * i + 1])) << 8);
    return out;
}

// The frame's audio chunk decoded, piece by piece.
std::optional<std::vector<int16_t>> decodedAudio(const std::string& vlm, uint32_t frame) {
    VlmFile file;
    if (file.openToRead(vlm) != 0)
        return std::nullopt;
    std::vector<uint8_t> chunk;
    const int got = file.vlmGetFormat(chunk, frame, 1);
    file.vlmFileClose();
    if (got != 0 || chunk.empty())
        return std::nullopt;
    std::vector<int16_t> out;
    size_t at = 0;
    while (at + 8 <= chunk.size()) {
        const uint32_t raw = rec::readLe32(chunk.data() + at);
        const uint32_t packed = rec::readLe32(chunk.data() + at + 4);
        if (packed > chunk.size() - at - 8)
            return std::nullopt;
        std::vector<short> piece(G723DecodedLength(packed) / 2 + 1);
        int bytes = 0;
        if (G723DeCompress(chunk.data() + at + 8, int(packed), piece.data(), &bytes) != 0)
            return std::nullopt;
        piece.resize(std::min<size_t>(size_t(bytes), raw) / 2);
        out.insert(out.end(), piece.begin(), piece.end());
        at += 8 + packed;
    }
    return out;
}

// The tone's frequency by its zero crossings, after `skip` samples.
double frequencyOf(const std::vector<int16_t>& x, int rate, size_t skip) {
    size_t crossings = 0, first = 0, last = 0;
    for (size_t n = skip + 1; n < x.size(); ++n)
        if ((x[n - 1] < 0) != (x[n] < 0)) {
            if (!crossings)
                first = n;
            last = n;
            ++crossings;
        }
    if (crossings < 3)
        return 0;
    return double(crossings - 1) / 2 / (double(last - first) / rate);
}

int peakOf(const std::vector<int16_t>& x) {
    int peak = 0;
    for (int16_t s : x)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

class AuthorSound : public AuthorSession {
  protected:
    void SetUp() override {
        if (!emulationPreloaded())
            GTEST_SKIP() << "run with LD_PRELOAD of libpulsedsp.so (CTest does)";
        AuthorSession::SetUp();
    }

    ProcessOptions soundOptions(const PulseServer& server, std::vector<std::string> args = {}) const {
        ProcessOptions o = options(std::move(args));
        for (const auto& [name, value] : server.clientEnvironment())
            o.env[name] = value;
        o.env["LD_PRELOAD"] = getenv("LD_PRELOAD");
        return o;
    }
    void key(const std::string& keys) { runCommand("xdotool " + keys); }
    void clickAt(int x, int y) {
        key("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1 sleep 0.3");
    }
    // View > Record Sound Clip, and where the window is.
    std::optional<Rect> showClipWindow(const std::string& main) {
        focus(main);
        key("keydown alt key v keyup alt");
        key("sleep 0.4 key r sleep 0.6");
        std::string id;
        waitUntil(
            [&] {
                return !(id = trim(runCommand("xdotool search --onlyvisible --name '^Record Sound Clip$' "
                                              "2>/dev/null | head -n1")))
                            .empty();
            },
            5000);
        if (id.empty())
            return std::nullopt;
        runCommand("sleep 0.5");
        return placeOf(id);
    }
    // The window's buttons: Record, Stop, Play, Forward, Rewind, 32 pixels apart.
    void press(const Rect& window, int button) { clickAt(window.x + 32 * button + 16, window.y + 15); }
    // Sound.dat's first clip and the frame it was recorded on.
    std::string soundFile() const { return readFile(home() + "/zedaro/Sound.dat"); }
    // What "speaker.monitor" hears while `run` runs and `seconds` after.
    std::string heard(const PulseServer& server, double seconds, const std::function<void()>& run) {
        const std::string captured = root.file("captured.raw");
        {
            PulseRecorder monitor(server, "speaker.monitor", PulseFormat{"s16le", 8000, 1}, captured);
            runCommand("sleep 0.5");
            run();
            runCommand("sleep " + std::to_string(seconds));
            monitor.stop();
        }
        return readFile(captured);
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

TEST_F(AuthorSound, RecordPlayMakeOpenAgainAndDeleteTheSound) {
    PulseServer server(PulseFormat{"s16le", 8000, 1});
    ASSERT_TRUE(server.running());
    Process p;
    ASSERT_TRUE(p.start(velmoraBinary(), soundOptions(server)));
    std::string main = mainWindow();
    ASSERT_FALSE(main.empty()) << p.err();
    ASSERT_TRUE(startRecording(p)) << p.err();
    runCommand("sleep 1.5");
    key("keydown alt key x keyup alt");
    ASSERT_TRUE(p.waitForErr("m_dwFrameCount == ", 10000)) << p.err();

    // Record, Stop, Play in the window.
    main = mainWindow();
    auto window = showClipWindow(main);
    ASSERT_TRUE(window.has_value()) << p.err();
    EXPECT_EQ(window->w, 160);
    press(*window, 0);
    runCommand("sleep 2.5");
    press(*window, 1);
    ASSERT_TRUE(p.waitForErr("Edit info of frame", 5000)) << p.err();
    const std::string sound = soundFile();
    const uint32_t length = word(sound, 48 + 4);
    const uint32_t frame = word(sound, 48 + 8);
    ASSERT_GE(length, 4096u);
    ASSERT_EQ(sound.size(), 48 + 28 + size_t(length));
    const std::string clip = sound.substr(76);
    const double recorded = frequencyOf(samples16(clip), 8000, 400);
    EXPECT_NEAR(recorded, 440, 10);

    const std::string played = heard(server, double(length) / 16000 + 1.5, [&] { press(*window, 2); });
    const size_t compared = std::min<size_t>(clip.size(), 16000);
    EXPECT_NE(played.find(clip.substr(0, compared)), std::string::npos) << "the monitor heard the clip";

    // Ctrl+M: the clip, coded, decodes to the tone.
    focus(main);
    key("key ctrl+m");
    const std::string vlm = home() + "/zedaro/Untitled.vlm";
    ASSERT_TRUE(waitUntil([&] { return fileExists(vlm); }, 15000)) << p.err();
    runCommand("sleep 1");
    const auto decoded = decodedAudio(vlm, frame);
    ASSERT_TRUE(decoded.has_value()) << "frame " << frame << " has audio";
    EXPECT_EQ(decoded->size() * 2, length);
    EXPECT_NEAR(frequencyOf(*decoded, 8000, 400), 440, 10);
    EXPECT_GT(peakOf(*decoded), 2000);
    quit(p);

    // Opened again: the clip is back, and plays.
    const std::string copy = root.file("show.vlm");
    writeFile(copy, readFile(vlm));
    Process again;
    ASSERT_TRUE(again.start(velmoraBinary(), soundOptions(server, {copy})));
    ASSERT_TRUE(again.waitForErr("m_dwFrameCount == ", 15000)) << again.err();
    main = mainWindow();
    ASSERT_FALSE(main.empty());
    runCommand("sleep 1");
    const std::string restored = soundFile();
    ASSERT_GE(restored.size(), 48u + 28u);
    // Record > Sound > Play on the frame with the clip.
    auto menuPlay = [&] {
        focus(main);
        key("keydown alt key r keyup alt");
        key("sleep 0.4 key o sleep 0.4 key p sleep 0.3");
    };
    ASSERT_EQ(frame, 0u) << "the clip window recorded on the first frame, where the project opens";
    const std::string replayed = heard(server, double(length) / 16000 + 1.5, menuPlay);
    const std::vector<int16_t> replayedSamples = samples16(replayed);
    EXPECT_GT(peakOf(replayedSamples), 2000) << "the restored clip plays: " << again.err();
    EXPECT_NEAR(frequencyOf(replayedSamples, 8000, 0), 440, 15);

    // Edit > Delete Sound > OK: Play is off, and the next make has no audio there.
    focus(main);
    key("keydown alt key e keyup alt");
    // Two items answer to D: the second press reaches "&Delete Sound".
    key("sleep 0.4 key d sleep 0.2 key d sleep 0.2 key Return sleep 0.3");
    key("key Return sleep 0.6"); // Delete Sound in this Frame?
    key("key Return sleep 0.6"); // Deleted Sound !
    ASSERT_TRUE(again.waitForErr("Deleted Sound From the Frame Number 0", 5000)) << again.err();
    const std::string silent = heard(server, 1.5, menuPlay);
    EXPECT_LT(peakOf(samples16(silent)), 200) << "Play does nothing";

    key("key Escape sleep 0.2 key Escape sleep 0.2 key Escape sleep 0.3"); // the menus stay open
    const std::string before = readFile(copy);
    focus(main);
    key("key ctrl+m");
    ASSERT_TRUE(waitUntil([&] { return readFile(copy) != before; }, 15000))
        << again.err() << runCommand("ls -l " + root.path() + " " + home() + "/zedaro");
    runCommand("sleep 1");
    EXPECT_FALSE(decodedAudio(copy, 0).has_value()) << "the sound was deleted";
    quit(again);
}

} // namespace
