// A shown view with its canvas and holder on a private Xvfb, and helpers
// that compare what the window shows with the holder's pixmap.
#pragma once

#include "canvas/VLCanvas.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraDoc.h"
#include "canvas/VelmoraView.h"

#include "CanvasTestSupport.h"
#include "support/VLImageHolderTestAccess.h"

#include <QPixmap>

namespace canvastest {

class HolderTest : public CanvasTest {
  protected:
    void SetUp() override {
        CanvasTest::SetUp();
        if (HasFatalFailure())
            return;
        view = std::make_unique<VelmoraView>(nullptr, &doc);
        view->setGeometry(0, 0, 700, 500);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        canvas = view->_get_vlCanvas();
        holder = canvas->get_image_holder();
        ASSERT_NE(nullptr, holder->drawTarget().display);
    }
    void TearDown() override {
        view.reset();
        image.reset();
        CanvasTest::TearDown();
    }

    void showPattern(int w, int h, short mode = 2) {
        image.reset(canvastest::makePatternImage(holder->drawTarget().display, w, h));
        canvas->setImageClient(QPixmap(), image.get(), mode);
        settle();
    }

    // The holder's area inside the canvas's viewport, in holder coordinates.
    QRect visibleHolderRect() const {
        const QWidget* vp = canvas->viewport();
        return QRect(holder->mapFrom(vp, QPoint(0, 0)), vp->size()).intersected(holder->rect());
    }
    QRect toGlobal(const QRect& r) const { return QRect(holder->mapToGlobal(r.topLeft()), r.size()); }

    ImagePtr grabPixmap(const QRect& r) const {
        const VLImageHolder::DrawTarget t = holder->drawTarget();
        XSync(t.display, False);
        return ImagePtr(XGetImage(t.display, t.pixmap, r.x(), r.y(), unsigned(r.width()),
                                  unsigned(r.height()), AllPlanes, ZPixmap));
    }

    // Screen pixels of the visible part of the holder that differ from the pixmap.
    long windowMismatches() {
        const QRect r = visibleHolderRect();
        if (r.isEmpty())
            return -1;
        ImagePtr shown = grabScreen(toGlobal(r));
        ImagePtr held = grabPixmap(r);
        return mismatches(shown.get(), held.get());
    }
    long windowPatternMismatches() {
        const QRect r = visibleHolderRect();
        ImagePtr shown = grabScreen(toGlobal(r));
        return mismatches(shown.get(), [r](int x, int y) { return patternPixel(x + r.x(), y + r.y()); });
    }

    VelmoraDoc doc;
    std::unique_ptr<VelmoraView> view;
    VLCanvas* canvas = nullptr;
    VLImageHolder* holder = nullptr;
    ImagePtr image;
};

} // namespace canvastest
