// Repainting 100 captioned "3D" hyperlinks into a 1024x768 pixmap on a
// private Xvfb, against 100 solid rectangles of the same sizes, measured as
// draw_rect_bench measures shapes. The goal: hyperlinks within 3x the time of
// the rectangles (the caption font is loaded once per display).
#include "objects/draw/DrawRect.h"
#include "objects/interactive/CHyperLink.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

QRect placeOf(int i) {
    const int left = (i * 97) % (kWidth - 200);
    const int top = (i * 53) % (kHeight - 100);
    return QRect(left, top, 120 + i % 60, 40 + i % 30);
}

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

void BM_RepaintHyperlinks(benchmark::State& state) {
    std::vector<sHyperLink> links;
    for (int i = 0; i < int(state.range(0)); ++i) {
        const QRect r = placeOf(i);
        sHyperLink s;
        s.x = r.x();
        s.y = r.y();
        s.right = r.x() + r.width();
        s.bottom = r.y() + r.height();
        s.caption = "Hyperlink " + std::to_string(i + 1);
        s.align = 1;
        s.font = NVFont{"courier", 18};
        s.backColor = NVColor{199, 195, 199};
        links.push_back(s);
    }
    repaintWith(state, int64_t(links.size()), [&links](Display* dpy, GC gc, Pixmap pixmap) {
        for (const sHyperLink& s : links)
            CHyperLink::paint(dpy, gc, pixmap, s);
    });
}

void BM_RepaintSolidRectangles(benchmark::State& state) {
    std::vector<sDrawRect> shapes;
    for (int i = 0; i < int(state.range(0)); ++i) {
        const QRect r = placeOf(i);
        sDrawRect s;
        s.shape = DrawRect::SHAPE_RECTANGLE;
        s.left = r.x();
        s.top = r.y();
        s.right = r.x() + r.width();
        s.bottom = r.y() + r.height();
        s.borderWidth = 1;
        s.fillRed = 199;
        shapes.push_back(s);
    }
    repaintWith(state, int64_t(shapes.size()), [&shapes](Display* dpy, GC gc, Pixmap pixmap) {
        for (const sDrawRect& s : shapes)
            DrawRect::paint(dpy, gc, pixmap, s);
    });
}

BENCHMARK(BM_RepaintSolidRectangles)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintHyperlinks)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
