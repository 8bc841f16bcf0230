// The program's handlers after Qt has connected: the xcb plugin installs its
// own pair, which swallows protocol errors and ends the process on a lost
// connection; installHandlers() afterwards puts the program's back.
#include <QGuiApplication>

#include "capture/XErrorHandlers.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>

#include <gtest/gtest.h>

namespace {

int lastErrorAfterQtStartUp(bool reinstall) {
    testsupport::XvfbServer server({320, 200, 24, {}});
    xerrors::installHandlers();
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "capture_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    if (reinstall)
        xerrors::installHandlers();
    Display* d = XOpenDisplay(nullptr);
    xerrors::watchConnection(d);
    XGetImage(d, DefaultRootWindow(d), 300, 180, 100, 100, AllPlanes, ZPixmap);
    return xerrors::takeLastError(d);
}

TEST(XErrorHandlersQt, InstalledAfterQtTheyRecordErrors) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(lastErrorAfterQtStartUp(true) == BadMatch ? 3 : 4), ::testing::ExitedWithCode(3),
                "");
}

// Shows why the order matters: installed only before Qt, they are gone.
TEST(XErrorHandlersQt, InstalledOnlyBeforeQtTheyAreReplaced) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(lastErrorAfterQtStartUp(false) == 0 ? 3 : 4), ::testing::ExitedWithCode(3), "");
}

} // namespace
