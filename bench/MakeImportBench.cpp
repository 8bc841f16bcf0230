// Make and import of two generated 300-frame projects at 1920x1080, 4 bytes a
// pixel, a key frame every tenth: noise with a small band changing on every
// frame, and a desktop session (windows with text, typing in a field, a
// window dragged across, a menu opening, a list scrolling). The make runs
// with 1 thread, 4 and all cores; the import beside a case that writes the
// same working frame file records with no decoding. The program itself opens
// the desktop session's file and makes it again.
#include "store/DatRecords.h"
#include "store/OutputFileImporter.h"
#include "store/OutputFileMaker.h"
#include "store/ScratchFile.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int W = 1920, H = 1080, BPP = 4, FRAMES = 300, BAND = 16;
constexpr size_t ROW = size_t(W) * BPP;

struct Services : MakeServices, ImportServices {
    size_t objectCount(uint32_t) override { return 0; }
    std::vector<uint8_t> objectChunk(uint32_t) override { return {}; }
    std::vector<uint32_t> resourceIds(uint32_t) override { return {}; }
    bool resource(uint32_t, VlmResourceRecord&, std::vector<uint8_t>*) override { return false; }
    std::vector<uint8_t> encodeAudio(const uint8_t* p, size_t n) override { return {p, p + n}; }
    void addResource(const VlmResourceRecord&, const std::vector<uint8_t>&) override {}
    std::vector<uint8_t> decodeAudio(const uint8_t* c, size_t n, size_t) override { return {c, c + n}; }
    bool frameObjects(uint32_t, const uint8_t*, size_t, const vlm::FileVersion&) override { return true; }
};

// Peak resident memory since the last reset, in MB. The reset first hands
// back what earlier cases freed, so that it does not count here.
void resetPeakMemory() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}
double peakMemoryMb(const std::string& process = "self") {
    std::ifstream status("/proc/" + process + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// The desktop session, drawn whole for every frame.
class Desktop {
  public:
    Desktop() : m_px(ROW * H) {
        std::mt19937 gen(3);
        for (auto& line : m_lines) {
            line.clear();
            const size_t n = 30 + gen() % 60;
            for (size_t i = 0; i < n; ++i)
                line += (gen() % 6 == 0) ? ' ' : char('a' + gen() % 26);
        }
    }
    const std::vector<uint8_t>& draw(int n) {
        // Wallpaper, icons and the task bar.
        for (int y = 0; y < H; ++y) {
            const uint32_t c = rgb(30 + y * 60 / H, 60 + y * 40 / H, 110 + y * 80 / H);
            fill(0, y, W, 1, c);
        }
        for (int i = 0; i < 8; ++i) {
            fill(24, 24 + i * 96, 48, 48, rgb(200, 180 - i * 10, 60 + i * 20));
            text(16, 78 + i * 96, "icon " + std::to_string(i), rgb(255, 255, 255));
        }
        fill(0, H - 40, W, 40, rgb(40, 40, 48));
        text(W - 80, H - 26, "12:" + std::to_string(10 + n / 60), rgb(230, 230, 230));

        // An editor: typing in its field during the first and last frames.
        window(140, 90, 900, 620, "notes.txt - editor");
        for (int l = 0; l < 30; ++l)
            text(156, 130 + l * 16, m_lines[size_t(l)], rgb(20, 20, 20));
        fill(156, 640, 860, 24, rgb(255, 255, 255));
        const int typed = n < 60 ? n : (n >= 200 ? 60 + (n - 200) : 60);
        text(160, 648, m_lines[40].substr(0, size_t(std::min<int>(typed, 80))), rgb(0, 0, 0));
        if ((n / 8) % 2 == 0)
            fill(160 + 6 * std::min(typed, 80), 646, 2, 14, rgb(0, 0, 0));

        // A list that scrolls by a line every fifth frame from frame 140 on.
        window(1100, 120, 700, 780, "files");
        const int scroll = n >= 140 ? (n - 140) / 5 : 0;
        for (int l = 0; l < 46; ++l)
            text(1116, 160 + l * 16, m_lines[size_t((l + scroll) % 64)], rgb(30, 30, 60));

        // A window dragged across from frame 60 to 139.
        const int d = std::clamp(n - 60, 0, 80);
        window(300 + d * 14, 200 + d * 4, 560, 380, "picture");
        for (int y = 0; y < 300; y += 20)
            for (int x = 0; x < 520; x += 40)
                fill(320 + d * 14 + x, 240 + d * 4 + y, 30, 14, rgb(x / 3, y / 2, 128));

        // A menu opening and its highlight moving from frame 140 to 199.
        if (n >= 140 && n < 200) {
            const int items = std::min(12, (n - 140) + 1);
            fill(1100, 146, 260, items * 22 + 8, rgb(245, 245, 245));
            for (int i = 0; i < items; ++i) {
                if (i == (n - 140) / 4 % 12)
                    fill(1104, 150 + i * 22, 252, 22, rgb(60, 110, 200));
                text(1112, 156 + i * 22, m_lines[size_t(50 + i)].substr(0, 24), rgb(10, 10, 10));
            }
        }
        return m_px;
    }

  private:
    static uint32_t rgb(int r, int g, int b) {
        return uint32_t(b & 255) | uint32_t(g & 255) << 8 | uint32_t(r & 255) << 16;
    }
    void fill(int x0, int y0, int w, int h, uint32_t c) {
        const int x1 = std::min(W, x0 + w), y1 = std::min(H, y0 + h);
        x0 = std::max(0, x0), y0 = std::max(0, y0);
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = m_px.data() + size_t(y) * ROW + size_t(x0) * 4;
            for (int x = x0; x < x1; ++x, p += 4)
                std::memcpy(p, &c, 4);
        }
    }
    void window(int x, int y, int w, int h, const std::string& title) {
        fill(x - 1, y - 1, w + 2, h + 2, rgb(90, 90, 90));
        fill(x, y, w, 24, rgb(50, 90, 170));
        text(x + 8, y + 8, title, rgb(255, 255, 255));
        fill(x, y + 24, w, h - 24, rgb(236, 236, 232));
    }
    // 5x7 glyphs made from the character's code.
    void text(int x, int y, const std::string& s, uint32_t c) {
        for (char ch : s) {
            if (ch != ' ') {
                uint32_t bits = uint32_t(uint8_t(ch)) * 2654435761u;
                for (int gy = 0; gy < 7; ++gy)
                    for (int gx = 0; gx < 5; ++gx)
                        if ((bits >> ((gy * 5 + gx) % 32)) & 1)
                            fill(x + gx, y + gy, 1, 1, c);
            }
            x += 6;
        }
    }

    std::vector<uint8_t> m_px;
    std::string m_lines[64];
};

struct Project {
    std::string dir;
    ProjectTables tables;
    uint32_t offset = 48;
    std::FILE* f = nullptr;

    explicit Project(bool desktop) {
        char tmpl[] = "/tmp/velmora-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        f = std::fopen((dir + "/Untitled.dat").c_str(), "wb");
        SDatMainHeader mh;
        mh.capture = SRect{0, 0, W, H};
        mh.frameCount = FRAMES;
        auto mb = mh.toBytes();
        std::fwrite(mb.data(), 1, mb.size(), f);
        if (desktop)
            makeDesktop();
        else
            makeNoise();
        std::fclose(f);
        tables.m_dwFrameCount = FRAMES;
    }
    ~Project() {
        std::string cmd = "rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    }
    void record(int n, const std::vector<uint8_t>& screen, int top, int bottom) {
        const bool key = n % 10 == 0;
        if (key)
            top = 0, bottom = H - 1;
        SDatFrameHeader h;
        h.frameNumber = uint32_t(n);
        h.keyFlag = key;
        h.data = SRect{0, top, W - 1, bottom};
        const size_t length = ROW * size_t(bottom - top + 1);
        h.recordSize = uint32_t(60 + length);
        auto hb = h.toBytes();
        std::fwrite(hb.data(), 1, hb.size(), f);
        std::fwrite(screen.data() + size_t(top) * ROW, 1, length, f);
        SEditInfo e;
        e.keyFlag = key;
        e.recordOffset = int32_t(offset);
        offset += h.recordSize;
        tables.m_vEditInfo.push_back(e);
        SPlayBackFrameInfo p;
        p.frameFlags = key ? PBF_KEY : 0;
        p.pixelFlags = 0x03;
        tables.m_vPlayBackFrameInfo.push_back(p);
    }
    void makeNoise() {
        std::vector<uint8_t> screen(ROW * H);
        std::mt19937 gen(1);
        for (size_t i = 0; i < screen.size(); i += 4)
            screen[i] = uint8_t(gen()), screen[i + 1] = uint8_t(i >> 8);
        for (int n = 0; n < FRAMES; ++n) {
            const int top = (n * 37) % (H - BAND);
            for (int y = top; y < top + BAND; ++y)
                for (int x = (n * 13) % 200; x < (n * 13) % 200 + 300; ++x)
                    screen[size_t(y) * ROW + size_t(x) * 4] ^= 0x55;
            record(n, screen, top, top + BAND - 1);
        }
    }
    void makeDesktop() {
        Desktop d;
        std::vector<uint8_t> last;
        for (int n = 0; n < FRAMES; ++n) {
            const std::vector<uint8_t>& screen = d.draw(n);
            int top = H - 1, bottom = H - 1; // unchanged: the last row again
            if (!last.empty()) {
                int first = -1, end = -1;
                for (int y = 0; y < H; ++y)
                    if (std::memcmp(screen.data() + size_t(y) * ROW, last.data() + size_t(y) * ROW, ROW) !=
                        0) {
                        if (first < 0)
                            first = y;
                        end = y;
                    }
                if (first >= 0)
                    top = first, bottom = end;
            }
            record(n, screen, top, bottom);
            last = screen;
        }
    }
    MakeInput input(int threads) {
        MakeInput in;
        in.workingPath = dir + "/Untitled.dat";
        in.outputPath = dir + "/Untitled.vlm";
        in.project = &tables;
        in.depth = 24;
        in.screenWidth = W;
        in.screenHeight = H;
        in.bytesPerPixel = BPP;
        in.threads = threads;
        return in;
    }
};

// Each set is made once per process, when a case first needs it.
Project& project(int set) {
    if (set == 0) {
        static Project noise(false);
        return noise;
    }
    static Project desktop(true);
    return desktop;
}

long fileSize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    std::fseek(f, 0, SEEK_END);
    const long n = std::ftell(f);
    std::fclose(f);
    return n;
}

// Args: frame set (0 noise, 1 desktop), threads (0: all cores).
void BM_Make(benchmark::State& state) {
    Project& p = project(int(state.range(0)));
    const int threads = int(state.range(1));
    Services s;
    resetPeakMemory();
    for (auto _ : state) {
        OutputFileMaker maker(p.input(threads), s);
        if (maker.make() != OutputFileMaker::MAKE_OK)
            state.SkipWithError("make failed");
    }
    state.counters["peakMB"] = peakMemoryMb();
    state.counters["bytes/frame"] = double(fileSize(p.dir + "/Untitled.vlm")) / FRAMES;
    state.counters["threads"] = threads ? threads : double(std::thread::hardware_concurrency());
    state.counters["frames/s"] =
        benchmark::Counter(double(FRAMES) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Make)
    ->ArgNames({"desktop", "threads"})
    ->ArgsProduct({{0, 1}, {1, 4, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The output file of a set, made once, as a copy to import from.
std::string madeCopy(Project& p) {
    const std::string copy = p.dir + "/copy.vlm";
    if (fileSize(copy) > 0)
        return copy;
    Services s;
    OutputFileMaker maker(p.input(1), s);
    if (maker.make() != OutputFileMaker::MAKE_OK)
        return {};
    std::string cmd = "cp '" + p.dir + "/Untitled.vlm' '" + copy + "'";
    if (std::system(cmd.c_str()) != 0)
        return {};
    return copy;
}

// Removes a file the last run wrote, outside the timing.
void removeUntimed(benchmark::State& state, const std::string& path) {
    state.PauseTiming();
    std::remove(path.c_str());
    state.ResumeTiming();
}

// Args: frame set, and whether the working frame file is new (fresh 1, as at
// a project's first open) or replaces the one the last run wrote (fresh 0,
// as when it is opened again).
void BM_Import(benchmark::State& state) {
    Project& p = project(int(state.range(0)));
    const bool fresh = state.range(1) != 0;
    const std::string copy = madeCopy(p);
    if (copy.empty()) {
        state.SkipWithError("make failed");
        return;
    }
    Services s;
    resetPeakMemory();
    for (auto _ : state) {
        if (fresh)
            removeUntimed(state, datfile::workingPathFor(copy));
        OutputFileImporter importer(copy, {W, H, 24, BPP}, p.dir, p.dir + "/Sound.dat", s);
        if (importer.run().code != 0)
            state.SkipWithError("import failed");
    }
    state.counters["peakMB"] = peakMemoryMb();
    state.counters["frames/s"] =
        benchmark::Counter(double(FRAMES) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Import)
    ->ArgNames({"desktop", "fresh"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The import's own writing alone: the same records, as the import lays them
// out, written one at a time into a scratch file with no decoding, which
// then takes the working frame file's place as the import's does.
void BM_WriteWorkingFile(benchmark::State& state) {
    Project& p = project(int(state.range(0)));
    const bool fresh = state.range(1) != 0;
    const std::string copy = madeCopy(p);
    Services s;
    OutputFileImporter importer(copy, {W, H, 24, BPP}, p.dir, p.dir + "/Sound.dat", s);
    const ImportResult r = importer.run();
    if (copy.empty() || r.code != 0) {
        state.SkipWithError("import failed");
        return;
    }
    std::vector<uint32_t> lengths;
    const auto& edit = r.project.m_vEditInfo;
    for (size_t i = 0; i < edit.size(); ++i) {
        const uint32_t end =
            i + 1 < edit.size() ? uint32_t(edit[i + 1].recordOffset) : r.project.m_nextRecordOffset;
        lengths.push_back(end - uint32_t(edit[i].recordOffset));
    }
    std::vector<uint8_t> data(ROW * H + 60, 0x5A);
    const std::string path = p.dir + "/written.dat";
    resetPeakMemory();
    for (auto _ : state) {
        if (fresh)
            removeUntimed(state, path);
        ScratchFile scratch(path);
        std::FILE* f = scratch.create();
        bool ok = f && std::fwrite(data.data(), 1, SDatMainHeader::SIZE, f) == SDatMainHeader::SIZE;
        for (uint32_t n : lengths)
            ok = ok && std::fwrite(data.data(), 1, 60, f) == 60 &&
                 std::fwrite(data.data() + 60, 1, n - 60, f) == n - 60;
        ok = ok && std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(data.data(), 1, 48, f) == 48 &&
             std::fflush(f) == 0;
        if (f)
            ok = std::fclose(f) == 0 && ok;
        // Put in place as the import puts its working frame file.
        ok = ok && scratch.commit(ScratchFile::Replace::Transient);
        if (!ok)
            state.SkipWithError("write failed");
    }
    state.counters["peakMB"] = peakMemoryMb();
    state.counters["frames/s"] =
        benchmark::Counter(double(FRAMES) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteWorkingFile)
    ->ArgNames({"desktop", "fresh"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The program itself on the desktop session's output file, on a private
// screen of the frames' size. VELMORA_BENCH_PROGRAM names another build of
// the program, for paired runs.
std::string programBinary() {
    const char* other = std::getenv("VELMORA_BENCH_PROGRAM");
    return other && *other ? other : VELMORA_BIN;
}

// The program's steps are timed to this many milliseconds.
constexpr int POLL_MS = 2;

// The program started on a fresh copy of the made file in a home of its own;
// open() returns once it has rebuilt its frame strip and shows frame 1.
struct OpenedProgram {
    testsupport::TempDir home;
    std::string vlm = home.file("open.vlm");
    testsupport::Process program;

    explicit OpenedProgram(const std::string& made) {
        testsupport::writeFile(vlm, testsupport::readFile(made));
    }
    ~OpenedProgram() {
        if (program.running()) {
            program.signal(SIGTERM);
            program.wait(10000);
        }
    }
    bool open() {
        testsupport::ProcessOptions options;
        options.env["HOME"] = home.path();
        options.env["QT_ENABLE_HIGHDPI_SCALING"] = "0";
        options.workingDirectory = VELMORA_IMAGES;
        options.args = {vlm};
        return program.start(programBinary(), options) &&
               program.waitForErr("m_dwFrameCount == " + std::to_string(FRAMES), 60000, POLL_MS);
    }
};

// The made desktop file and a private X server of the screen's size for the
// program to run on; none, with the benchmark skipped, when either fails.
std::unique_ptr<testsupport::XvfbServer> programStage(benchmark::State& state, std::string& made) {
    made = madeCopy(project(1));
    if (made.empty()) {
        state.SkipWithError("make failed");
        return nullptr;
    }
    auto screen = std::make_unique<testsupport::XvfbServer>(testsupport::ScreenSpec{W, H, 24, {}});
    if (!screen->running()) {
        state.SkipWithError("no private X server");
        return nullptr;
    }
    return screen;
}

// The time until the program has opened the file and shows frame 1, and its
// own peak (VmHWM) then.
void BM_ProgramOpen(benchmark::State& state) {
    std::string made;
    const auto screen = programStage(state, made);
    if (!screen)
        return;
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Started and ended, with its home removed, while the timing is paused.
        auto p = std::make_unique<OpenedProgram>(made);
        state.ResumeTiming();
        const bool opened = p->open();
        state.PauseTiming();
        if (!opened)
            state.SkipWithError(("the program did not open the file\n" + p->program.err()).c_str());
        // Frame 1 is set once the strip is rebuilt; let the window settle.
        usleep(500000);
        peak = std::max(peak, peakMemoryMb(std::to_string(p->program.pid())));
        p.reset();
        state.ResumeTiming();
    }
    state.counters["programPeakMB"] = peak;
}
BENCHMARK(BM_ProgramOpen)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The program's Make of the opened file, from the author's Ctrl+M until the
// made file has taken the opened one's place.
void BM_ProgramMake(benchmark::State& state) {
    std::string made;
    const auto screen = programStage(state, made);
    if (!screen)
        return;
    for (auto _ : state) {
        state.PauseTiming();
        // Started and ended, with its home removed, while the timing is paused.
        auto p = std::make_unique<OpenedProgram>(made);
        std::string window;
        const bool opened =
            p->open() &&
            testsupport::waitUntil(
                [&] {
                    window = testsupport::trim(testsupport::runCommand(
                        "xdotool search --onlyvisible --name '^Velmora 1.0 - ' 2>/dev/null | tail -n1"));
                    return !window.empty();
                },
                30000);
        if (!opened) {
            state.SkipWithError(("the program did not open the file\n" + p->program.err()).c_str());
            break;
        }
        usleep(500000);
        testsupport::runCommand("xdotool windowfocus --sync " + window + " 2>/dev/null");
        const ino_t before = inodeOf(p->vlm);
        state.ResumeTiming();
        // A press while the window settles can be lost: press again until the
        // make has begun its scratch file; a press during the make does nothing.
        const auto made = [&] { return inodeOf(p->vlm) != before && inodeOf(p->vlm) != 0; };
        bool begun = false;
        for (int attempt = 0; attempt < 10 && !begun; ++attempt) {
            testsupport::runCommand("xdotool keydown ctrl key m keyup ctrl");
            begun = testsupport::waitUntil([&] { return inodeOf(p->vlm + ".part") != 0 || made(); }, 3000,
                                           POLL_MS);
        }
        const bool done = begun && testsupport::waitUntil(made, 120000, POLL_MS);
        state.PauseTiming();
        if (!done)
            state.SkipWithError(("the program did not make the file\n" + p->program.err()).c_str());
        p.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProgramMake)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
