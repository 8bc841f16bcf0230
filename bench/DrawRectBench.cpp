// Repainting a frame's shapes into a 1920x1080 pixmap on a private Xvfb, as
// the image holder does after every change: solid shapes, and shapes with
// fill patterns (each patterned draw makes and frees its tile).
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

void repaint(benchmark::State& state, bool patterned) {
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
    const std::vector<sDrawRect> shapes = frameShapes(int(state.range(0)), patterned);
    for (auto _ : state) {
        for (const sDrawRect& s : shapes)
            DrawRect::paint(dpy, gc, pixmap, s);
        XSync(dpy, False);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(shapes.size()));
    XFreeGC(dpy, gc);
    XFreePixmap(dpy, pixmap);
    XCloseDisplay(dpy);
}

void BM_RepaintSolidShapes(benchmark::State& state) {
    repaint(state, false);
}
void BM_RepaintPatternedShapes(benchmark::State& state) {
    repaint(state, true);
}

BENCHMARK(BM_RepaintSolidShapes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPatternedShapes)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
