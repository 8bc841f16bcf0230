// A private Xvfb with an application on it (xcb) and a shown canvas widget
// of the screen's size, for the benchmarks that paint widgets.
#pragma once

#include "support/XvfbServer.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

struct XcbStage {
    std::unique_ptr<testsupport::XvfbServer> server;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QWidget> canvas;
    int argc = 1;
    char name[16] = "velmora_bench";
    char* argv[2] = {name, nullptr};

    // False when no server started.
    bool start(int width, int height) {
        server = std::make_unique<testsupport::XvfbServer>(testsupport::ScreenSpec{width, height, 24, {}});
        if (!server->running())
            return false;
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        app = std::make_unique<QApplication>(argc, argv);
        canvas = std::make_unique<QWidget>();
        canvas->setGeometry(0, 0, width, height);
        canvas->show();
        QCoreApplication::processEvents();
        return true;
    }
    // Call before exit when the stage is a static: at static destruction
    // Qt's thread storage is gone and destroying a native window crashes.
    void stop() {
        canvas.reset();
        app.reset();
        server.reset();
    }
    ~XcbStage() { stop(); }
};

// The main of a benchmark program whose stage is a function static: runs the
// benchmarks, then `stop` stops the stage while Qt's thread storage exists.
template <class StopStage> int runBenchmarksThenStop(int argc, char** argv, StopStage stop) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stop();
    return 0;
}
