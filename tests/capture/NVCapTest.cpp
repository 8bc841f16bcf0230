// libNVCap against private Xvfb servers at several depths, with and without MIT-SHM.
#include "capture/NVCap.h"

#include "support/XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using testsupport::ScreenSpec;

// A second connection that paints the root window and reads it back.
class Painter {
  public:
    Painter() : m_dpy(XOpenDisplay(nullptr)) {
        if (!m_dpy)
            return;
        m_root = DefaultRootWindow(m_dpy);
        m_gc = XCreateGC(m_dpy, m_root, 0, nullptr);
        XSetSubwindowMode(m_dpy, m_gc, IncludeInferiors);
    }
    ~Painter() {
        if (!m_dpy)
            return;
        XFreeGC(m_dpy, m_gc);
        XCloseDisplay(m_dpy);
    }
    bool ok() const { return m_dpy != nullptr; }
    int width() const { return DisplayWidth(m_dpy, DefaultScreen(m_dpy)); }
    int height() const { return DisplayHeight(m_dpy, DefaultScreen(m_dpy)); }
    unsigned long white() const { return WhitePixel(m_dpy, DefaultScreen(m_dpy)); }
    unsigned long black() const { return BlackPixel(m_dpy, DefaultScreen(m_dpy)); }

    void fill(int x, int y, int w, int h, unsigned long pixel) {
        XSetForeground(m_dpy, m_gc, pixel);
        XFillRectangle(m_dpy, m_root, m_gc, x, y, unsigned(w), unsigned(h));
        XSync(m_dpy, False);
    }
    // The screen as unpadded rows.
    std::vector<uint8_t> screen(size_t& rowBytes) {
        XImage* img =
            XGetImage(m_dpy, m_root, 0, 0, unsigned(width()), unsigned(height()), AllPlanes, ZPixmap);
        rowBytes = size_t(img->bits_per_pixel / 8) * size_t(img->width);
        std::vector<uint8_t> out(rowBytes * size_t(img->height));
        for (int y = 0; y < img->height; ++y)
            std::memcpy(&out[size_t(y) * rowBytes], img->data + size_t(y) * size_t(img->bytes_per_line),
                        rowBytes);
        XDestroyImage(img);
        return out;
    }

  private:
    Display* m_dpy;
    Window m_root = 0;
    GC m_gc = nullptr;
};

int openDescriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

int expectedBytesPerPixel(int depth) {
    return depth > 16 ? 4 : depth > 8 ? 2 : 1;
}

class NVCapScreen : public testsupport::XvfbParamTest {
  protected:
    void TearDown() override {
        NV_CleanUpCapture();
        XvfbParamTest::TearDown();
    }
};

TEST_P(NVCapScreen, BandOfAFilledStripAndBufferEqualsScreen) {
    Painter painter;
    ASSERT_TRUE(painter.ok());
    const int w = painter.width(), h = painter.height();
    painter.fill(0, 0, w, h, painter.black());

    NVCapInit init{{0, 0, w - 1, h - 1}, 0, 0};
    ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    const int bpp = expectedBytesPerPixel(GetParam().depth);
    EXPECT_EQ(init.bytesPerLine, bpp * w);

    const size_t rowBytes = size_t(init.bytesPerLine / w) * size_t(w);
    std::vector<uint8_t> buffer(rowBytes * size_t(h), 0);
    SRect band{};
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));

    // Nothing moved: the bottom row alone.
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.top, h - 1);
    EXPECT_EQ(band.right, w - 1);
    EXPECT_EQ(band.bottom, h - 1);

    painter.fill(0, 100, w, 10, painter.white());
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.top, 100);
    EXPECT_EQ(band.bottom, 109);
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.right, w - 1);

    size_t screenRow = 0;
    std::vector<uint8_t> screen = painter.screen(screenRow);
    ASSERT_EQ(screenRow, rowBytes);
    EXPECT_TRUE(buffer == screen);

    // The last pixel of a row, where a padded image is misread first.
    painter.fill(w - 1, 300, 1, 1, painter.white());
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.top, 300);
    EXPECT_EQ(band.bottom, 300);
    screen = painter.screen(screenRow);
    EXPECT_TRUE(buffer == screen);

    // The bottom row together with row 5.
    painter.fill(10, 5, 3, 1, painter.white());
    painter.fill(0, h - 1, 1, 1, painter.white());
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.top, 5);
    EXPECT_EQ(band.bottom, h - 1);
    screen = painter.screen(screenRow);
    EXPECT_TRUE(buffer == screen);
}

TEST_P(NVCapScreen, RepeatedInitKeepsOneConnection) {
    Painter painter;
    ASSERT_TRUE(painter.ok());
    NVCapInit init{{0, 0, painter.width() - 1, painter.height() - 1}, 0, 0};
    ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    const int after1 = openDescriptors();
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    EXPECT_EQ(openDescriptors(), after1);
    NV_CleanUpCapture();
    EXPECT_LT(openDescriptors(), after1);
}

TEST_P(NVCapScreen, RectangleOffTheScreenIsRefused) {
    Painter painter;
    ASSERT_TRUE(painter.ok());
    const int w = painter.width(), h = painter.height();
    const SRect bad[] = {{0, 0, w, h - 1}, {0, 0, w - 1, h}, {-1, 0, w - 1, h - 1}, {5, 0, 4, h - 1}};
    for (const SRect& r : bad) {
        NVCapInit init{r, 0, 0};
        EXPECT_EQ(NVCAP_E_PARAM, NV_CapInit(&init));
        std::vector<uint8_t> buffer(16);
        SRect band{};
        EXPECT_EQ(NVCAP_E_NOT_INITIALISED, NV_CapCmpCpy(buffer.data(), &band, 0));
    }
}

TEST_P(NVCapScreen, SubRectangleBand) {
    Painter painter;
    ASSERT_TRUE(painter.ok());
    painter.fill(0, 0, painter.width(), painter.height(), painter.black());
    NVCapInit init{{10, 20, 109, 219}, 0, 0};
    ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    const size_t rowBytes = size_t(init.bytesPerLine / painter.width()) * 100;
    std::vector<uint8_t> buffer(rowBytes * 200, 0);
    SRect band{};
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    painter.fill(0, 50, painter.width(), 2, painter.white());  // screen rows 50-51
    painter.fill(0, 300, painter.width(), 2, painter.white()); // below the rectangle
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.left, 10);
    EXPECT_EQ(band.right, 109);
    EXPECT_EQ(band.top, 50);
    EXPECT_EQ(band.bottom, 51);
}

std::vector<ScreenSpec> screens() {
    std::vector<ScreenSpec> out;
    for (bool shm : {true, false}) {
        std::vector<std::string> extra;
        if (!shm)
            extra = {"-extension", "MIT-SHM"};
        out.push_back({1024, 768, 24, extra});
        out.push_back({800, 600, 16, extra});
        out.push_back({638, 480, 8, extra}); // 640-byte padded lines
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Depths, NVCapScreen, ::testing::ValuesIn(screens()),
                         [](const ::testing::TestParamInfo<ScreenSpec>& info) {
                             return testsupport::screenName(info) +
                                    (info.param.extraArgs.empty() ? "_shm" : "_getimage");
                         });

// Without a server, or without a successful init, every call reports an
// error and nothing crashes.
TEST(NVCapFailures, NoDisplay) {
    const char* old = std::getenv("DISPLAY");
    std::string saved = old ? old : "";
    setenv("DISPLAY", ":4093", 1); // nothing listens there
    NVCapInit init{{0, 0, 99, 99}, 0, 0};
    EXPECT_EQ(NVCAP_E_DISPLAY, NV_CapInit(&init));
    std::vector<uint8_t> buffer(100 * 100 * 4);
    SRect band{1, 2, 3, 4};
    EXPECT_EQ(NVCAP_E_NOT_INITIALISED, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.left, 1);
    EXPECT_EQ(NVCAP_OK, NV_CleanUpCapture());
    if (old)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

TEST(NVCapFailures, NullArguments) {
    EXPECT_EQ(NVCAP_E_PARAM, NV_CapInit(nullptr));
    testsupport::XvfbServer server({320, 200, 24, {}});
    ASSERT_TRUE(server.running());
    NVCapInit init{{0, 0, 319, 199}, 0, 0};
    ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    SRect band{};
    EXPECT_EQ(NVCAP_E_PARAM, NV_CapCmpCpy(nullptr, &band, 0));
    std::vector<uint8_t> buffer(size_t(init.bytesPerLine) * 200);
    EXPECT_EQ(NVCAP_E_PARAM, NV_CapCmpCpy(buffer.data(), nullptr, 0));
    EXPECT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    NV_CleanUpCapture();
    EXPECT_EQ(NVCAP_OK, NV_CleanUpCapture());
}

class NVCapLostServer : public ::testing::TestWithParam<bool> {};

// The server goes away mid-recording: the compare reports it, the process lives on.
TEST_P(NVCapLostServer, CompareReportsLostConnection) {
    std::vector<std::string> extra;
    if (!GetParam())
        extra = {"-extension", "MIT-SHM"};
    auto server = std::make_unique<testsupport::XvfbServer>(ScreenSpec{320, 200, 24, extra});
    ASSERT_TRUE(server->running());
    NVCapInit init{{0, 0, 319, 199}, 0, 0};
    ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    std::vector<uint8_t> buffer(size_t(init.bytesPerLine) * 200, 0);
    SRect band{};
    ASSERT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    std::vector<uint8_t> kept = buffer;

    server.reset();
    band = SRect{7, 7, 7, 7};
    EXPECT_EQ(NVCAP_E_CONNECTION_LOST, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(NVCAP_E_CONNECTION_LOST, NV_CapCmpCpy(buffer.data(), &band, 0));
    EXPECT_EQ(band.top, 7);
    EXPECT_TRUE(buffer == kept);
    EXPECT_EQ(NVCAP_OK, NV_CleanUpCapture());

    // A new server and a new init work again.
    testsupport::XvfbServer again({320, 200, 24, {}});
    ASSERT_TRUE(again.running());
    ASSERT_EQ(NVCAP_OK, NV_CapInit(&init));
    EXPECT_EQ(NVCAP_OK, NV_CapCmpCpy(buffer.data(), &band, 0));
    NV_CleanUpCapture();
}

INSTANTIATE_TEST_SUITE_P(Paths, NVCapLostServer, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "shm" : "getimage"; });

} // namespace
