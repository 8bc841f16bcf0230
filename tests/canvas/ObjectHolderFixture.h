// A holder showing frame 0 of two, with every object kind installed and a
// holder host registered, for tests that make objects with the holder's
// tools and send keys to their editors.
#pragma once

#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "objects/interactive/HolderInteractiveHost.h"
#include "store/DatRecords.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace canvastest {
// Before Xlib, which defines KeyPress.
inline void sendKey(QObject* receiver, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(receiver, &e);
}
} // namespace canvastest

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace canvastest {

// The holder's host without a main window behind it.
class PlainHolderHost : public HolderInteractiveHost {
  public:
    using HolderInteractiveHost::HolderInteractiveHost;
    std::vector<SPlayBackFrameInfo>* playbackRecords() override { return nullptr; }
    void changeFrameColor(const QColor&) override {}
    void setUserActionStatus(bool) override {}
    void soundAddedOrRemovedInFrame(bool) override {}
};

class ObjectHolderTest : public HolderTest {
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
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(holder->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &e);
    }
    // Drags out an object with the kind's tool; the newest live object.
    DrawTools* drawWithTool(int kind, QPoint from, QPoint to) {
        holder->slot_select_draw_object(kind);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, from + (to - from) / 2, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        holder->slot_select_draw_object(SELECTION);
        settle(50);
        return holder->liveObjects().empty() ? nullptr : holder->liveObjects().back();
    }

    std::unique_ptr<PlainHolderHost> host;
    std::vector<SPlayBackFrameInfo> playback;
};

} // namespace canvastest
