// The process's own 1280 x 1024 Xvfb and application (the main window
// fixture's own server, at 1024 x 768, is not started here), set up as the program
// sets itself up (its application font and the Windows style), and a fixture
// with a fresh HOME in the program's image folder.
#pragma once

#include "../MainWindowFixture.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QStyleFactory>

#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fit {

constexpr int SCREEN_WIDTH = 1280;
constexpr int SCREEN_HEIGHT = 1024;

inline QApplication& app() {
    static testsupport::XvfbServer server(testsupport::ScreenSpec{SCREEN_WIDTH, SCREEN_HEIGHT, 24, {}});
    static int argc = 1;
    static char name[] = "app_fit_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        unsetenv("QT_QPA_PLATFORMTHEME");
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        auto* a = new QApplication(argc, argv);
        QApplication::setFont(QFont("helvetica", 12, QFont::Normal, false));
        if (QStyle* style = QStyleFactory::create("Windows"))
            QApplication::setStyle(style);
        return a;
    }();
    (void)server;
    return *instance;
}

inline std::string sourceFile(const std::string& relative) {
    std::string here = __FILE__; // <root>/tests/app/fit/FitApp.h
    return here.substr(0, here.rfind("/tests/app/")) + "/" + relative;
}

// Serves events until `done` holds or `ms` pass; `also` runs on every turn.
inline bool serveUntil(const std::function<bool()>& done, int ms, const std::function<void()>& also = {}) {
    QElapsedTimer t;
    t.start();
    for (;;) {
        if (also)
            also();
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (done && done())
            return true;
        if (t.elapsed() > ms)
            return false;
        usleep(5000);
    }
}

class FitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(m_home.enter(sourceFile("images")));
    }
    void TearDown() override { m_home.leave(); }
    std::string dataDir() const { return m_home.dataDir(); }

  private:
    mainwin::FreshHome m_home;
};

} // namespace fit
