#include "capture/ScreenGrabber.h"
#include "capture/XErrorHandlers.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>

#include <gtest/gtest.h>

namespace {

using capture::ScreenGrabber;
using testsupport::ScreenSpec;

class GrabberPaths : public testsupport::XvfbParamTest {
  protected:
    bool shmOffered() const { return GetParam().extraArgs.empty(); }
};

TEST_P(GrabberPaths, ChoosesSharedMemoryOnlyWhenOffered) {
    ScreenGrabber g;
    ASSERT_EQ(ScreenGrabber::Result::Ok, g.open());
    ASSERT_EQ(ScreenGrabber::Result::Ok, g.prepare(0, 0, g.screenWidth(), g.screenHeight()));
    EXPECT_EQ(g.method(),
              shmOffered() ? ScreenGrabber::Method::SharedMemory : ScreenGrabber::Method::GetImage);
    EXPECT_EQ(ScreenGrabber::Result::Ok, g.grab());
    EXPECT_NE(g.data(), nullptr);
    EXPECT_GE(g.stride(), size_t(g.bytesPerPixel() * g.width()));

    // Asked not to use it, it never does.
    ASSERT_EQ(ScreenGrabber::Result::Ok, g.prepare(0, 0, 64, 64, false));
    EXPECT_EQ(g.method(), ScreenGrabber::Method::GetImage);
}

// A grab the server refuses (the area reaches past the screen, as after a
// resize) comes back as an error through the program's handlers.
TEST_P(GrabberPaths, RefusedGrabIsReportedNotFatal) {
    ScreenGrabber g;
    ASSERT_EQ(ScreenGrabber::Result::Ok, g.open());
    EXPECT_EQ(ScreenGrabber::Result::GrabFailed,
              g.prepare(g.screenWidth() - 50, g.screenHeight() - 50, 100, 100, shmOffered()));
    EXPECT_EQ(g.data(), nullptr);
    EXPECT_FALSE(g.error().empty());
    // The connection stays usable.
    EXPECT_EQ(ScreenGrabber::Result::Ok, g.prepare(0, 0, 10, 10));
}

INSTANTIATE_TEST_SUITE_P(Servers, GrabberPaths,
                         ::testing::Values(ScreenSpec{640, 480, 24, {}},
                                           ScreenSpec{640, 480, 24, {"-extension", "MIT-SHM"}}),
                         [](const auto& info) { return info.param.extraArgs.empty() ? "shm" : "getimage"; });

class XErrorHandlersTest : public testsupport::XvfbTest {};

TEST_F(XErrorHandlersTest, ProtocolErrorIsRecordedForWatchedConnection) {
    xerrors::installHandlers();
    EXPECT_TRUE(xerrors::handlersInstalled());
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    xerrors::watchConnection(d);
    EXPECT_EQ(0, xerrors::takeLastError(d));
    XImage* img = XGetImage(d, DefaultRootWindow(d), 1000, 700, 100, 100, AllPlanes, ZPixmap);
    EXPECT_EQ(img, nullptr);
    EXPECT_EQ(BadMatch, xerrors::takeLastError(d));
    EXPECT_EQ(0, xerrors::takeLastError(d)); // taken once
    EXPECT_FALSE(xerrors::connectionLost(d));
    xerrors::forgetConnection(d);
    XCloseDisplay(d);
}

TEST_F(XErrorHandlersTest, UnwatchedConnectionErrorDoesNotEndTheProcess) {
    xerrors::installHandlers();
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XImage* img = XGetImage(d, DefaultRootWindow(d), 1000, 700, 100, 100, AllPlanes, ZPixmap);
    EXPECT_EQ(img, nullptr);
    EXPECT_EQ(0, xerrors::takeLastError(d));
    XCloseDisplay(d);
}

// An unwatched connection whose server dies still ends the process, with a
// non-zero status.
TEST(XErrorHandlersDeath, LostUnwatchedConnectionExitsNonZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto server = std::make_unique<testsupport::XvfbServer>(ScreenSpec{320, 200, 24, {}});
            xerrors::installHandlers();
            Display* d = XOpenDisplay(nullptr);
            server.reset();
            XSync(d, False);
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "X connection to .* lost");
}

} // namespace
