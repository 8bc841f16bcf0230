// Repainting a frame's shapes into a 1920x1080 pixmap on a private Xvfb, as
// the image holder does after every change: solid shapes, and shapes with
// fill patterns (each patterned draw makes and frees its tile), and polylines.
#include "objects/draw/CDrawPolyLine.h"
#include "objects/draw/DrawRect.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

std::vector<sDrawRect> frameShapes(int count, bool patterned) {
    std::vector<sDrawRect> shapes;
    for (int i = 0; i < count; ++i) {
        sDrawRect s;
        s.shape = 1 + i % 3;
        s.left = (i * 97) % (kWidth - 200);
        s.top = (i * 53) % (kHeight - 150);
        s.right = s.left + 120 + i % 60;
        s.bottom = s.top + 80 + i % 40;
        s.borderWidth = 1 + i % 4;
        s.borderStyle = int8_t(i % 5);
        s.fillPattern = patterned ? uint8_t(1 + i % 6) : 0;
        s.cornerRadius = 7;
        s.borderRed = 200;
        s.fillBlue = 180;
        shapes.push_back(s);
    }
    return shapes;
}

std::vector<sPoly> framePolylines(int count) {
    std::vector<sPoly> lines;
    for (int i = 0; i < count; ++i) {
        sPoly p;
        p.thickness = 3;
        p.color = 0x0040C0u + uint32_t(i);
        const int left = (i * 97) % (kWidth - 400);
        const int top = (i * 53) % (kHeight - 150);
        for (int k = 0; k < 20; ++k)
            p.points.push_back(NVPoint{left + 20 * k, top + (k % 2 ? 120 : 0) + i % 30});
        lines.push_back(std::move(p));
    }
    return lines;
}

// A private server with a screen-sized pixmap and its GC.
struct Screen {
    Screen() : server({kWidth, kHeight, 24, {}}) {
        dpy = server.running() ? XOpenDisplay(server.display().c_str()) : nullptr;
        if (!dpy)
            return;
        const int screen = DefaultScreen(dpy);
        pixmap =
            XCreatePixmap(dpy, RootWindow(dpy, screen), kWidth, kHeight, unsigned(DefaultDepth(dpy, screen)));
        gc = XCreateGC(dpy, pixmap, 0, nullptr);
    }
    ~Screen() {
        if (!dpy)
            return;
        XFreeGC(dpy, gc);
        XFreePixmap(dpy, pixmap);
        XCloseDisplay(dpy);
    }
    testsupport::XvfbServer server;
    Display* dpy = nullptr;
    Pixmap pixmap = 0;
    GC gc = nullptr;
};

void repaint(benchmark::State& state, bool patterned) {
    Screen screen;
    if (!screen.dpy) {
        state.SkipWithError("no private X server");
        return;
    }
    const std::vector<sDrawRect> shapes = frameShapes(int(state.range(0)), patterned);
    for (auto _ : state) {
        for (const sDrawRect& s : shapes)
            DrawRect::paint(screen.dpy, screen.gc, screen.pixmap, s);
        XSync(screen.dpy, False);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(shapes.size()));
}

void BM_RepaintSolidShapes(benchmark::State& state) {
    repaint(state, false);
}
void BM_RepaintPatternedShapes(benchmark::State& state) {
    repaint(state, true);
}

void BM_RepaintPolylines(benchmark::State& state) {
    Screen screen;
    if (!screen.dpy) {
        state.SkipWithError("no private X server");
        return;
    }
    const std::vector<sPoly> lines = framePolylines(int(state.range(0)));
    for (auto _ : state) {
        for (const sPoly& p : lines)
            CDrawPolyLine::paint(screen.dpy, screen.gc, screen.pixmap, p);
        XSync(screen.dpy, False);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(lines.size()));
}

BENCHMARK(BM_RepaintSolidShapes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPatternedShapes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPolylines)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
