// Repainting a bitmap's label that shows a 1920 x 1080 image at 640 x 480,
// against repainting a widget of the same size that draws a pixmap already
// scaled to 640 x 480. On a private Xvfb at 1024x768x24. The goal: the label
// within 1.5 times the plain widget, as it keeps its scaled pixmap until its
// size or its image changes.
#include "objects/interactive/CBitmapObject.h"
#include "objects/interactive/CEditBitmapObject.h"

#include "XcbStage.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr QSize kImage(1920, 1080);
constexpr QSize kLabel(640, 480);

bool stageMade = false;

// Stopped by main before it returns (see XcbStage::stop).
XcbStage& stage() {
    stageMade = true;
    static XcbStage s;
    static const bool started = s.start(1024, 768);
    (void)started;
    return s;
}

QPixmap photo() {
    QImage image(kImage, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    return QPixmap::fromImage(image);
}

// A native widget that draws the pixmap it is given as it is.
class PlainPixmapWidget : public QWidget {
  public:
    PlainPixmapWidget(QWidget* parent, QPixmap pixmap) : QWidget(parent), m_pixmap(std::move(pixmap)) {
        setAttribute(Qt::WA_NativeWindow);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_pixmap);
    }

  private:
    QPixmap m_pixmap;
};

void repaint(benchmark::State& state, QWidget* widget) {
    widget->show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        widget->repaint();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RepaintBitmapLabel(benchmark::State& state) {
    XcbStage& s = stage();
    if (!s.app) {
        state.SkipWithError("no private X server");
        return;
    }
    CBitmapObject bitmap(nullptr, s.canvas.get(), nullptr, 1);
    bitmap.restoreGeometry(QRect(QPoint(100, 100), kLabel));
    bitmap.editor()->setImage(photo());
    bitmap.show();
    repaint(state, bitmap.editor());
}

void BM_RepaintScaledPixmap(benchmark::State& state) {
    XcbStage& s = stage();
    if (!s.app) {
        state.SkipWithError("no private X server");
        return;
    }
    PlainPixmapWidget widget(s.canvas.get(),
                             photo().scaled(kLabel, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    widget.setGeometry(QRect(QPoint(100, 100), kLabel));
    repaint(state, &widget);
}

BENCHMARK(BM_RepaintBitmapLabel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintScaledPixmap)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksThenStop(argc, argv, [] {
        if (stageMade)
            stage().stop();
    });
}
