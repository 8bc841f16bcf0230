// Grab + compare + copy of libNVCap at 1920x1080x24 on private Xvfb servers,
// through MIT-SHM and through XGetImage, and the band compare against a
// plain memcpy of the same bytes.
#include "capture/BandFinder.h"
#include "capture/NVCap.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr size_t kRowBytes = size_t(kWidth) * 4;

std::unique_ptr<testsupport::XvfbServer> g_shmServer;
std::unique_ptr<testsupport::XvfbServer> g_plainServer;

// Paints rows 100-109 of the root window in alternating colours.
class StripPainter {
  public:
    explicit StripPainter(const std::string& display) : m_dpy(XOpenDisplay(display.c_str())) {
        if (!m_dpy)
            return;
        m_root = DefaultRootWindow(m_dpy);
        m_gc = XCreateGC(m_dpy, m_root, 0, nullptr);
    }
    ~StripPainter() {
        if (m_dpy) {
            XFreeGC(m_dpy, m_gc);
            XCloseDisplay(m_dpy);
        }
    }
    bool ok() const { return m_dpy; }
    void toggle() {
        m_on = !m_on;
        XSetForeground(m_dpy, m_gc, m_on ? 0xFFFFFF : 0x000000);
        XFillRectangle(m_dpy, m_root, m_gc, 0, 100, kWidth, 10);
        XSync(m_dpy, False);
    }

  private:
    Display* m_dpy;
    Window m_root = 0;
    GC m_gc = nullptr;
    bool m_on = false;
};

// range(0): 1 through MIT-SHM, 0 through XGetImage; range(1): 1 when rows
// 100-109 change before every grab, 0 for an unchanged screen.
void BM_NVCapGrabCompareCopy(benchmark::State& state) {
    const bool shm = state.range(0) != 0;
    const bool changing = state.range(1) != 0;
    const auto& server = shm ? g_shmServer : g_plainServer;
    if (!server || !server->running()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    setenv("DISPLAY", server->display().c_str(), 1);
    NVCapInit init{{0, 0, kWidth - 1, kHeight - 1}, 0, 0};
    if (NV_CapInit(&init) != NVCAP_OK) {
        state.SkipWithError("NV_CapInit failed");
        return;
    }
    std::vector<uint8_t> previous(size_t(init.bytesPerLine) * kHeight, 0);
    SRect band{};
    NV_CapCmpCpy(previous.data(), &band, 0);
    StripPainter painter(server->display());
    for (auto _ : state) {
        if (changing) {
            state.PauseTiming();
            painter.toggle();
            state.ResumeTiming();
        }
        if (NV_CapCmpCpy(previous.data(), &band, 0) != NVCAP_OK) {
            state.SkipWithError("grab failed");
            break;
        }
        benchmark::DoNotOptimize(band);
    }
    state.counters["band_rows"] = band.bottom - band.top + 1;
    NV_CleanUpCapture();
}
BENCHMARK(BM_NVCapGrabCompareCopy)
    ->ArgNames({"shm", "changing"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Two frames that differ in rows first..last; compare+copy alternates between
// them so every iteration finds and copies that band.
void compareCopy(benchmark::State& state, int first, int last) {
    std::vector<uint8_t> a(kRowBytes * kHeight, 0x11), b = a, previous = a;
    for (int y = first; y <= last; ++y)
        std::memset(&b[size_t(y) * kRowBytes], 0x22, kRowBytes);
    bool useB = true;
    for (auto _ : state) {
        const auto& image = useB ? b : a;
        capture::Band band =
            capture::findChangedBand(image.data(), kRowBytes, previous.data(), kRowBytes, kHeight);
        capture::copyBand(image.data(), kRowBytes, previous.data(), kRowBytes, band);
        benchmark::DoNotOptimize(band);
        benchmark::ClobberMemory();
        useB = !useB;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(last - first + 1) * int64_t(kRowBytes));
}

void memcpyRows(benchmark::State& state, int rows) {
    std::vector<uint8_t> src(kRowBytes * kHeight, 0x33), dst(kRowBytes * kHeight, 0);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), size_t(rows) * kRowBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rows * int64_t(kRowBytes));
}

void BM_CompareCopyWholeFrameBand(benchmark::State& state) {
    compareCopy(state, 0, kHeight - 1);
}
void BM_MemcpyWholeFrame(benchmark::State& state) {
    memcpyRows(state, kHeight);
}
void BM_CompareCopyTenRowBand(benchmark::State& state) {
    compareCopy(state, 100, 109);
}
void BM_MemcpyTenRows(benchmark::State& state) {
    memcpyRows(state, 10);
}
BENCHMARK(BM_CompareCopyWholeFrameBand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyWholeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompareCopyTenRowBand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyTenRows)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    g_shmServer = std::make_unique<testsupport::XvfbServer>(testsupport::ScreenSpec{kWidth, kHeight, 24, {}});
    g_plainServer = std::make_unique<testsupport::XvfbServer>(
        testsupport::ScreenSpec{kWidth, kHeight, 24, {"-extension", "MIT-SHM"}});
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    NV_CleanUpCapture();
    g_plainServer.reset();
    g_shmServer.reset();
    return 0;
}
