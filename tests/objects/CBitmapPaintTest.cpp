// A bitmap's label on a private Xvfb: the image stretched over the label, each
// source pixel a block of label pixels, read back from the label's window.
#include "BitmapTestSupport.h"
#include "support/QtTestApp.h"

#include "objects/interactive/CBitmapObject.h"
#include "objects/interactive/CEditBitmapObject.h"

#include "support/XvfbServer.h"

#include <QTest>

#include <gtest/gtest.h>

// Xlib after the toolkit headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

class BitmapPaint : public testsupport::XcbAppSuite {
  protected:
    void SetUp() override {
        ASSERT_NE(QCoreApplication::instance(), nullptr) << "no X display";
        ASSERT_TRUE(folder.entered());
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, dpy);
    }
    void TearDown() override {
        if (dpy)
            XCloseDisplay(dpy);
    }

    // The label's window as X holds it, once the label has painted.
    QImage windowImage(QWidget* label) {
        QImage out;
        for (int attempt = 0; attempt < 50 && out.isNull(); ++attempt) {
            label->repaint();
            QCoreApplication::processEvents();
            QTest::qWait(20);
            XImage* img = XGetImage(dpy, Window(label->winId()), 0, 0, unsigned(label->width()),
                                    unsigned(label->height()), AllPlanes, ZPixmap);
            if (!img)
                continue;
            QImage read(img->width, img->height, QImage::Format_RGB32);
            for (int y = 0; y < img->height; ++y)
                for (int x = 0; x < img->width; ++x)
                    read.setPixel(x, y, uint(XGetPixel(img, x, y)) | 0xFF000000u);
            XDestroyImage(img);
            // Painted once the first block holds the first source pixel.
            if (read.pixelColor(0, 0) == bitmaptest::sourceColour(0, 0))
                out = read;
        }
        return out;
    }

    bitmaptest::PlaceholderFolder folder;
    interactivetest::FakeHost host;
    Display* dpy = nullptr;
};

TEST_F(BitmapPaint, EverySourcePixelIsAFiveByFiveBlock) {
    QWidget holder;
    holder.resize(400, 300);
    host.editorWidget = &holder;
    CBitmapObject bitmap(nullptr, nullptr, nullptr, 1);
    bitmap.restoreGeometry(QRect(30, 40, 200, 100));
    bitmap.editor()->setImage(QPixmap::fromImage(bitmaptest::testImage(40, 20)));
    holder.show();
    bitmap.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&holder));
    const QImage shown = windowImage(bitmap.editor());
    ASSERT_FALSE(shown.isNull()) << "the label never showed the image";
    ASSERT_EQ(QSize(200, 100), shown.size());
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (shown.pixelColor(x, y) != bitmaptest::sourceColour(x / 5, y / 5) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(0, wrong);
}

} // namespace
