// Repainting a frame's shapes into a 1920x1080 pixmap on a private Xvfb, as
// the image holder does after every change: solid shapes, shapes with fill
// patterns (each patterned draw makes and frees its tile), lines with arrow
// heads, and polylines.
#include "objects/draw/CDrawLine.h"
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

// Paints everything with paintAll into a screen-sized pixmap of a private X
// server at each iteration; items is the number of objects it paints.
template <typename Paint> void repaintWith(benchmark::State& state, int64_t items, Paint paintAll) {
    testsupport::XvfbServer server({kWidth, kHeight, 24, {}});
    Display* dpy = server.running() ? XOpenDisplay(server.display().c_str()) : nullptr;
    if (!dpy) {
        state.SkipWithError("no private X server");
        return;
    }
    const int screen = DefaultScreen(dpy);
    Pixmap pixmap =
        XCreatePixmap(dpy, RootWindow(dpy, screen), kWidth, kHeight, unsigned(DefaultDepth(dpy, screen)));
    GC gc = XCreateGC(dpy, pixmap, 0, nullptr);
    for (auto _ : state) {
        paintAll(dpy, gc, pixmap);
        XSync(dpy, False);
    }
    state.SetItemsProcessed(state.iterations() * items);
    XFreeGC(dpy, gc);
    XFreePixmap(dpy, pixmap);
    XCloseDisplay(dpy);
}

void repaint(benchmark::State& state, bool patterned) {
    const std::vector<sDrawRect> shapes = frameShapes(int(state.range(0)), patterned);
    repaintWith(state, int64_t(shapes.size()), [&shapes](Display* dpy, GC gc, Pixmap pixmap) {
        for (const sDrawRect& s : shapes)
            DrawRect::paint(dpy, gc, pixmap, s);
    });
}

// Dashed lines of width 3 with heads at both ends, in every direction.
std::vector<sDrawLine> frameLines(int count) {
    std::vector<sDrawLine> lines;
    for (int i = 0; i < count; ++i) {
        sDrawLine l;
        l.x1 = 50 + (i * 97) % (kWidth - 300);
        l.y1 = 50 + (i * 53) % (kHeight - 300);
        l.x2 = l.x1 + (i % 2 ? 1 : -1) * (40 + (i * 31) % 200);
        l.y2 = l.y1 + (i % 3 ? 1 : -1) * (20 + (i * 17) % 200);
        l.lineWidth = 3;
        l.lineStyle = 1;
        l.arrow = 3;
        l.red = 200;
        lines.push_back(l);
    }
    return lines;
}

void BM_RepaintLines(benchmark::State& state) {
    const std::vector<sDrawLine> lines = frameLines(int(state.range(0)));
    repaintWith(state, int64_t(lines.size()), [&lines](Display* dpy, GC gc, Pixmap pixmap) {
        for (const sDrawLine& l : lines)
            CDrawLine::paint(dpy, gc, pixmap, l);
    });
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

void BM_RepaintPolylines(benchmark::State& state) {
    const std::vector<sPoly> lines = framePolylines(int(state.range(0)));
    repaintWith(state, int64_t(lines.size()), [&lines](Display* dpy, GC gc, Pixmap pixmap) {
        for (const sPoly& p : lines)
            CDrawPolyLine::paint(dpy, gc, pixmap, p);
    });
}

void BM_RepaintSolidShapes(benchmark::State& state) {
    repaint(state, false);
}
void BM_RepaintPatternedShapes(benchmark::State& state) {
    repaint(state, true);
}

BENCHMARK(BM_RepaintSolidShapes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPatternedShapes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintLines)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPolylines)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
