// A shown holder with every object class installed, a host over it whose
// main-window part answers nothing, and two empty frames with frame 0 shown:
// the ground of the tests of the kinds that show as an in-place editor.
#pragma once

#include "app/HolderObjectKinds.h"
#include "objects/interactive/HolderInteractiveHost.h"
#include "store/DatRecords.h"

#include <QCoreApplication>
#include <QMouseEvent>

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace canvastest {

class PlainHolderHost : public HolderInteractiveHost {
  public:
    using HolderInteractiveHost::HolderInteractiveHost;
    std::vector<SPlayBackFrameInfo>* playbackRecords() override { return nullptr; }
    void changeFrameColor(const QColor&) override {}
    void setUserActionStatus(bool) override {}
    void soundAddedOrRemovedInFrame(bool) override {}
};

inline bool sameBytes(const sAllObjects& a, const sAllObjects& b) {
    return a.toBytes() == b.toBytes() && a.tailBytes() == b.tailBytes();
}

class HolderWidgetKindTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installHolderObjectKinds();
        host = std::make_unique<PlainHolderHost>(holder);
        InteractiveHost::setCurrent(host.get());
        showPattern(800, 600);
        holder->setPlaybackRecords(&playback);
        playback.assign(2, SPlayBackFrameInfo{});
        holder->getNoFramesOnFileOpen(2);
        holder->slot_get_current_frame(0);
        VLImageHolder::setCurrentCounters(sLastObjectNumber{});
        internals(holder).vLastObjectNumber[0] = sLastObjectNumber{};
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        InteractiveHost::setCurrent(nullptr);
        HolderTest::TearDown();
        host.reset();
    }
    // A mouse event at the target, p in its coordinates.
    void send(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button,
              Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(target->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
    // A creation drag with the kind's tool, which is put back afterwards.
    void drawWithTool(int kind, QPoint from, QPoint to) {
        holder->slot_select_draw_object(kind);
        send(holder, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(holder, QEvent::MouseMove, from + (to - from) / 2, Qt::NoButton, Qt::LeftButton);
        send(holder, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(holder, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        holder->slot_select_draw_object(SELECTION);
        settle(50);
    }
    // The last live object of the class, or null.
    template <typename T> T* lastLive() const {
        T* found = nullptr;
        for (DrawTools* o : holder->liveObjects())
            if (auto* t = dynamic_cast<T*>(o))
                found = t;
        return found;
    }

    std::unique_ptr<PlainHolderHost> host;
    std::vector<SPlayBackFrameInfo> playback;
};

} // namespace canvastest
