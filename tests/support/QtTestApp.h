// The test binaries' QApplication: made on a chosen platform for one test
// suite and removed after it; an application that already exists is used as
// it is. QT_QPA_PLATFORM is left as it was.
#pragma once

#include "support/TestFonts.h"
#include "support/XvfbServer.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace testsupport {

inline QApplication* makeTestApplication(const char* platform) {
    useTestFonts();
    const bool had = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const QByteArray old = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform);
    static int argc = 1;
    static char name[] = "velmora_tests";
    static char* argv[] = {name, nullptr};
    // As the program does: native editors without native siblings.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    auto* app = new QApplication(argc, argv);
    if (had)
        qputenv("QT_QPA_PLATFORM", old);
    else
        qunsetenv("QT_QPA_PLATFORM");
    return app;
}

// Suite fixture with an offscreen application: fonts and widgets, no display.
class OffscreenAppSuite : public ::testing::Test {
  public:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance())
            s_app = makeTestApplication("offscreen");
    }
    static void TearDownTestSuite() {
        delete s_app;
        s_app = nullptr;
    }

  private:
    static inline QApplication* s_app = nullptr;
};

// Suite fixture with a private Xvfb at 1024x768x24 and an application on it
// (xcb), both removed after the suite. An application that already exists
// is used as it is; without a server none is made.
class XcbAppSuite : public ::testing::Test {
  public:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance())
            return;
        s_server = new XvfbServer(ScreenSpec{1024, 768, 24, {}});
        if (!s_server->running())
            return;
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qunsetenv("QT_QPA_PLATFORMTHEME");
        s_app = makeTestApplication("xcb");
    }
    static void TearDownTestSuite() {
        delete s_app;
        s_app = nullptr;
        delete s_server;
        s_server = nullptr;
    }

  private:
    static inline XvfbServer* s_server = nullptr;
    static inline QApplication* s_app = nullptr;
};

} // namespace testsupport
