#include "canvas/FrameLoader.h"
#include "canvas/ProductBanner.h"
#include "canvas/VLCanvas.h"
#include "canvas/VLImageHolder.h"

#include "support/TempDir.h"

// Xlib last: it defines names Qt headers use.
#include "HolderFixture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using canvastest::CanvasTest;
using canvastest::HolderTest;
using canvastest::ImagePtr;
using canvastest::patternPixel;

constexpr uint32_t BAND_PIXEL = 0x00112233;

// A working frame file at the screen's size: records are written as given,
// the frame table points at them.
struct DatWriter {
    uint32_t width;
    uint32_t height;
    uint32_t bpp;
    std::vector<uint8_t> bytes;
    std::vector<SEditInfo> edit;
    std::vector<SPlayBackFrameInfo> playback;

    DatWriter(uint32_t w, uint32_t h, uint32_t b) : width(w), height(h), bpp(b) {
        SDatMainHeader mh;
        mh.capture = SRect{0, 0, int32_t(w), int32_t(h)};
        auto m = mh.toBytes();
        bytes.assign(m.begin(), m.end());
    }
    uint32_t rowBytes() const { return width * bpp; }

    void add(SDatFrameHeader h, const std::vector<uint8_t>& data, bool key, uint8_t flags = 0) {
        h.recordSize = uint32_t(SDatFrameHeader::SIZE + data.size());
        SEditInfo e;
        e.keyFlag = key ? 1 : 0;
        e.recordOffset = int32_t(bytes.size());
        edit.push_back(e);
        SPlayBackFrameInfo pb;
        pb.frameFlags = flags;
        playback.push_back(pb);
        auto hb = h.toBytes();
        bytes.insert(bytes.end(), hb.begin(), hb.end());
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    // Rows top..bottom, each pixel from `pixel(x, y)`, little-endian.
    std::vector<uint8_t> rows(int top, int bottom, unsigned long (*pixel)(int, int)) const {
        std::vector<uint8_t> d;
        for (int y = top; y <= bottom; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned long p = pixel(int(x), y);
                for (uint32_t b = 0; b < bpp; ++b)
                    d.push_back(uint8_t(p >> (8 * b)));
            }
        return d;
    }
    void key(int frame, unsigned long (*pixel)(int, int), uint32_t palette = 0) {
        SDatFrameHeader h;
        h.frameNumber = uint32_t(frame);
        h.paletteIndex = palette;
        h.data = SRect{0, 0, int32_t(width - 1), int32_t(height - 1)};
        h.keyFlag = 1;
        add(h, rows(0, int(height) - 1, pixel), true, PBF_KEY);
    }
    void band(int frame, int top, int bottom, unsigned long (*pixel)(int, int), size_t extraBytes = 0) {
        SDatFrameHeader h;
        h.frameNumber = uint32_t(frame);
        h.frameState = FRAME_STATE_TIMER;
        h.data = SRect{0, top, int32_t(width - 1), bottom};
        auto d = rows(top, bottom, pixel);
        d.resize(d.size() + extraBytes);
        add(h, d, false);
    }
    void blank(int frame, uint8_t flags) {
        SDatFrameHeader h;
        h.frameNumber = uint32_t(frame);
        h.keyFlag = 1;
        add(h, {}, true, uint8_t(flags | PBF_KEY));
    }
    void write(const std::string& path) const {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
};

unsigned long bandPixel(int, int) {
    return BAND_PIXEL;
}

NVAllObjects frameRecord(int32_t fore, uint32_t back) {
    NVAllObjects r;
    r.drawingObject = FRAMEOBJECT;
    r.objectID = "XXX";
    NVFrame f;
    f.foreColor = fore;
    f.backColor = back;
    r.payload = f;
    return r;
}

class LoaderTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        loader = std::make_unique<FrameLoader>(canvas);
        dat.key(0, patternPixel);
        dat.band(1, 100, 109, bandPixel);
        dat.blank(2, PBF_APPENDED);
        dat.band(3, 0, 1, bandPixel, 5); // length disagrees with its rows
        dat.write(path);
    }
    void TearDown() override {
        loader.reset();
        HolderTest::TearDown();
    }
    FrameGeometry geometry() const { return FrameGeometry{1024, 768, 4, 0}; }
    unsigned long pixmapPixel(int x, int y) {
        ImagePtr one = grabPixmap(QRect(x, y, 1, 1));
        return XGetPixel(one.get(), 0, 0) & 0xFFFFFF;
    }

    testsupport::TempDir dir;
    std::string path = dir.file("Untitled.dat");
    DatWriter dat{1024, 768, 4};
    std::unique_ptr<FrameLoader> loader;
};

TEST_F(LoaderTest, LoadFrameStoresTheRebuiltImageForTheNextDraw) {
    ASSERT_TRUE(loader->initEditingFrames(path, geometry())) << loader->lastError();
    ASSERT_NE(nullptr, loader->frameImage());
    EXPECT_EQ(loader->frameImage(), holder->shownImage()) << "the holder shows the loader's image";
    const unsigned long before = pixmapPixel(5, 105);

    SDatFrameHeader h;
    EXPECT_EQ(FrameLoader::LoadResult::Shown, loader->loadFrame(1, dat.edit, dat.playback, &h));
    EXPECT_EQ(1u, h.frameNumber);
    EXPECT_EQ(loader->frameImage(), holder->shownImage());
    EXPECT_EQ(before, pixmapPixel(5, 105)) << "mode 0 only stores";

    holder->drawContents();
    settle();
    EXPECT_EQ(patternPixel(5, 99), pixmapPixel(5, 99));
    EXPECT_EQ(BAND_PIXEL, pixmapPixel(5, 100));
    EXPECT_EQ(BAND_PIXEL, pixmapPixel(1023, 109));
    EXPECT_EQ(patternPixel(5, 110), pixmapPixel(5, 110));
    EXPECT_EQ(0, windowMismatches());
}

TEST_F(LoaderTest, BlankFrameIsPaintedInItsFrameObjectsColour) {
    ASSERT_TRUE(loader->initEditingFrames(path, geometry()));
    // No records for the frame yet: nothing is painted.
    EXPECT_EQ(FrameLoader::LoadResult::BlankWithoutRecords, loader->loadFrame(2, dat.edit, dat.playback));

    struct Case {
        int32_t fore;
        uint32_t back;
        unsigned long pixel;
    };
    const Case cases[] = {
        {NVFrame::NO_FORE_COLOR, 0x00C72216, 0x1622C7}, // back colour red 22, green 34, blue 199
        {0x000000FF, 0x00C72216, 0xFF0000},             // a fore colour wins
    };
    internals(holder).vAllObjects.resize(4);
    for (const Case& c : cases) {
        internals(holder).vAllObjects[2].AllObjects = {frameRecord(c.fore, c.back)};
        EXPECT_EQ(FrameLoader::LoadResult::BlankShown, loader->loadFrame(2, dat.edit, dat.playback));
        EXPECT_EQ(loader->frameImage(), holder->shownImage());
        settle();
        EXPECT_EQ(c.pixel, pixmapPixel(0, 0));
        EXPECT_EQ(c.pixel, pixmapPixel(1023, 767));
        EXPECT_EQ(c.pixel, XGetPixel(loader->frameImage(), 512, 384) & 0xFFFFFF);
        EXPECT_EQ(c.pixel & 0xFF, loader->store().workBuffer()[0]) << "the work buffer holds it too";
    }
}

TEST_F(LoaderTest, UnreadableFrameIsReportedAndShownBlack) {
    ASSERT_TRUE(loader->initEditingFrames(path, geometry()));
    ASSERT_EQ(FrameLoader::LoadResult::Shown, loader->loadFrame(0, dat.edit, dat.playback));
    EXPECT_EQ(FrameLoader::LoadResult::Failed, loader->loadFrame(3, dat.edit, dat.playback));
    EXPECT_NE(std::string::npos, loader->lastError().find("Frame 3 cannot be read")) << loader->lastError();
    holder->drawContents();
    EXPECT_EQ(0ul, pixmapPixel(5, 0)) << "no half-built picture";
    EXPECT_EQ(0ul, pixmapPixel(600, 600));
    EXPECT_EQ(FrameLoader::LoadResult::NoFrames, loader->loadFrame(9, dat.edit, dat.playback));
}

TEST_F(LoaderTest, TheImageGoesOnlyWithTheLoader) {
    ASSERT_TRUE(loader->initEditingFrames(path, geometry()));
    ASSERT_EQ(FrameLoader::LoadResult::Shown, loader->loadFrame(0, dat.edit, dat.playback));
    ASSERT_NE(nullptr, holder->shownImage());
    loader.reset();
    EXPECT_EQ(nullptr, holder->shownImage()) << "the holder no longer points at a freed image";
    holder->drawContents(); // must not touch freed memory
}

TEST_F(LoaderTest, MissingWorkingFileIsAnErrorNotAnExit) {
    EXPECT_FALSE(loader->initEditingFrames(dir.file("gone.dat"), geometry()));
    EXPECT_NE(std::string::npos, loader->lastError().find("Error opening file")) << loader->lastError();
    // A later project opens fine.
    EXPECT_TRUE(loader->initEditingFrames(path, geometry()));
}

TEST_F(LoaderTest, BannerIsCentredOrangeOnBlackAndBecomesTheEditImage) {
    EXPECT_EQ(0, loader->setBuilderSplash(1024, 768, 24));
    XImage* banner = loader->frameImage();
    ASSERT_NE(nullptr, banner);
    EXPECT_EQ(banner, holder->shownImage());
    EXPECT_EQ(QSize(1024, 768), holder->size());
    settle();

    // Orange where the text is, pixel 0 everywhere else.
    int minX = 1024, maxX = -1, minY = 768, maxY = -1;
    long other = 0;
    ImagePtr shown = grabPixmap(QRect(0, 0, 1024, 768));
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const unsigned long p = XGetPixel(shown.get(), x, y) & 0xFFFFFF;
            if (p == 0)
                continue;
            if (p != 0xEF7918) {
                ++other;
                continue;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    EXPECT_EQ(0, other);
    ASSERT_GE(maxX, 0) << "the text is drawn";
    EXPECT_EQ(383, maxY) << "baseline at half the height; the text has no descenders";
    EXPECT_LT(minY, 383);
    EXPECT_NEAR(512, (minX + maxX + 1) / 2, 3) << "centred horizontally";

    // Opening a project keeps the screen-sized banner image as the edit image.
    ASSERT_TRUE(loader->initEditingFrames(path, geometry()));
    EXPECT_EQ(banner, loader->frameImage());
    ASSERT_EQ(FrameLoader::LoadResult::Shown, loader->loadFrame(0, dat.edit, dat.playback));
    holder->drawContents();
    EXPECT_EQ(patternPixel(700, 500), pixmapPixel(700, 500));
}

// Without the usual fonts the banner still comes, in the built-in "fixed",
// after one message.
class BannerFontTest : public CanvasTest {
  protected:
    testsupport::ScreenSpec screen() const override { return {640, 480, 24, {"-fp", "built-ins"}}; }
};

TEST_F(BannerFontTest, FallsBackToFixedAfterOneMessage) {
    std::string font;
    testing::internal::CaptureStderr();
    FrameImage banner = ProductBanner::make(checker, 640, 480, 24, &font);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(banner);
    EXPECT_EQ("fixed", font);
    EXPECT_EQ("Cannot Load Font for Splash\n", err);
    EXPECT_EQ(640, banner.width());
    EXPECT_EQ(0ul, XGetPixel(banner.get(), 0, 0) & 0xFFFFFF);
    long orange = 0;
    for (int x = 0; x < 640; ++x)
        if ((XGetPixel(banner.get(), x, 235) & 0xFFFFFF) == 0xEF7918)
            ++orange;
    EXPECT_GT(orange, 0);
}

// The banner is the picture the server paints whole and reads back, byte for
// byte, also where the picture's edges cut the text; only its box is not 0.
void expectBannerAsServerPaintsIt(Display* display, int depth) {
    const struct { int width, height; } sizes[] = {{640, 480}, {61, 17}, {20, 300}, {1, 1}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << "x" << depth);
        std::string font;
        QRect painted;
        const FrameImage banner =
            ProductBanner::make(display, size.width, size.height, depth, &font, &painted);
        ASSERT_TRUE(banner);
        ASSERT_FALSE(font.empty());

        const int screen = DefaultScreen(display);
        const Pixmap pixmap = XCreatePixmap(display, RootWindow(display, screen), unsigned(size.width),
                                            unsigned(size.height), unsigned(depth));
        XColor colour{};
        colour.red = ProductBanner::RED * 257;
        colour.green = ProductBanner::GREEN * 257;
        colour.blue = ProductBanner::BLUE * 257;
        colour.flags = DoRed | DoGreen | DoBlue;
        ASSERT_TRUE(XAllocColor(display, DefaultColormap(display, screen), &colour));
        GC gc = XCreateGC(display, pixmap, 0, nullptr);
        XSetForeground(display, gc, 0);
        XFillRectangle(display, pixmap, gc, 0, 0, unsigned(size.width), unsigned(size.height));
        XFontStruct* fs = XLoadQueryFont(display, font.c_str());
        ASSERT_NE(nullptr, fs);
        const int length = int(std::strlen(ProductBanner::TEXT));
        XSetForeground(display, gc, colour.pixel);
        XSetFont(display, gc, fs->fid);
        XDrawString(display, pixmap, gc,
                    ProductBanner::textX(size.width, XTextWidth(fs, ProductBanner::TEXT, length)),
                    ProductBanner::textBaseline(size.height), ProductBanner::TEXT, length);
        ImagePtr whole(XGetImage(display, pixmap, 0, 0, unsigned(size.width), unsigned(size.height),
                                 AllPlanes, ZPixmap));
        XFreeFont(display, fs);
        XFreeGC(display, gc);
        XFreePixmap(display, pixmap);
        ASSERT_NE(nullptr, whole);

        const XImage* b = banner.get();
        EXPECT_EQ(whole->depth, b->depth);
        EXPECT_EQ(whole->bits_per_pixel, b->bits_per_pixel);
        ASSERT_EQ(whole->bytes_per_line, b->bytes_per_line);
        EXPECT_EQ(whole->byte_order, b->byte_order);
        EXPECT_EQ(0, std::memcmp(whole->data, b->data, size_t(b->bytes_per_line) * size_t(size.height)));
        long outside = 0;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                if (!painted.contains(x, y) && XGetPixel(whole.get(), x, y) != 0)
                    ++outside;
        EXPECT_EQ(0, outside) << "every pixel outside the painted box is 0";
    }
}

TEST_F(CanvasTest, BannerIsWhatTheServerPaints) {
    expectBannerAsServerPaintsIt(checker, 24);
}

class Banner16Test : public CanvasTest {
  protected:
    testsupport::ScreenSpec screen() const override { return {640, 480, 16, {}}; }
};

TEST_F(Banner16Test, BannerIsWhatTheServerPaints) {
    expectBannerAsServerPaintsIt(checker, 16);
}

// An 8-bit screen: frames carry palette indexes; a change of palette is
// reported entry by entry and the current index follows the frame's.
class PaletteLoaderTest : public CanvasTest {
  protected:
    testsupport::ScreenSpec screen() const override { return {320, 200, 8, {}}; }
};

unsigned long lowPixel(int x, int y) {
    return unsigned(x + y) & 0xFF;
}

TEST_F(PaletteLoaderTest, PaletteChangeIsReportedAndFollowed) {
    testsupport::TempDir dir;
    const std::string path = dir.file("Untitled.dat");
    DatWriter dat(320, 200, 1);
    dat.key(0, lowPixel, 0);
    dat.key(1, lowPixel, 1);
    dat.key(2, lowPixel, 7); // no such palette
    dat.write(path);
    std::vector<stdColormapArray> palettes(2);
    palettes[1].colors[5].red = 0xFFFF;
    palettes[1].colors[200].blue = 0x1234;

    FrameLoader loader(nullptr, checker);
    ASSERT_TRUE(loader.initEditingFrames(path, FrameGeometry{320, 200, 1, 0})) << loader.lastError();
    ASSERT_EQ(8, loader.image().depth());
    int current = -1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(FrameLoader::LoadResult::Shown,
              loader.loadFrame(0, dat.edit, dat.playback, nullptr, &palettes, &current));
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "nothing to compare before the first frame";
    EXPECT_EQ(0, current);
    EXPECT_EQ(lowPixel(30, 40), XGetPixel(loader.frameImage(), 30, 40));

    testing::internal::CaptureStderr();
    loader.loadFrame(1, dat.edit, dat.playback, nullptr, &palettes, &current);
    EXPECT_EQ("change in palette - 5\nchange in palette - 200\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(1, current);

    testing::internal::CaptureStderr();
    loader.loadFrame(2, dat.edit, dat.playback, nullptr, &palettes, &current);
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "an index outside the list is not compared";
    EXPECT_EQ(7, current);
}

} // namespace
