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

inline bool sameBytes(const sAllObjects& a, const sAllObjects& b) {
    return a.toBytes() == b.toBytes() && a.tailBytes() == b.tailBytes();
}

class ObjectHolderTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installKinds();
        host = std::make_unique<PlainHolderHost>(holder);
        InteractiveHost::setCurrent(host.get());
        showPattern(800, 600);
        holder->setPlaybackRecords(&playback);
        freshProject();
    }
    // Two empty frames, frame 0 shown, every counter at 0.
    void freshProject() {
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
        installHolderObjectKinds();
    }
    // The maker table the test works with; every kind there is by default.
    virtual void installKinds() { installHolderObjectKinds(); }
    // A mouse event at the target, p in its coordinates.
    void send(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button,
              Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(target->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        send(holder, type, p, button, buttons);
    }
    // The left button on the holder.
    void press(QPoint p) { send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void moveTo(QPoint p) { send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void release(QPoint p) { send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    // With a stop half way.
    void drag(QPoint from, QPoint to) {
        press(from);
        moveTo(from + (to - from) / 2);
        moveTo(to);
        release(to);
    }
    void click(QPoint p) {
        press(p);
        release(p);
    }
    // Drags out an object with the kind's tool; the newest live object.
    DrawTools* drawWithTool(int kind, QPoint from, QPoint to) {
        holder->slot_select_draw_object(kind);
        drag(from, to);
        holder->slot_select_draw_object(SELECTION);
        settle(50);
        return holder->liveObjects().empty() ? nullptr : holder->liveObjects().back();
    }

    // The last live object of the class, or null.
    template <typename T> T* lastLive() const {
        T* found = nullptr;
        for (DrawTools* o : holder->liveObjects())
            if (auto* t = dynamic_cast<T*>(o))
                found = t;
        return found;
    }

    // Puts a stored record into frame 1 after the frame's own first record;
    // gives the frame's records as put. The record is converted, not kept.
    // Call through ASSERT_NO_FATAL_FAILURE.
    void putInFrame1(const sAllObjects& record, std::vector<sAllObjects>& in) {
        ASSERT_TRUE(holder->getVectorRef(in, 1));
        ASSERT_FALSE(in.empty());
        in.resize(1);
        in.push_back(record);
        std::vector<sAllObjects> copy = in;
        ASSERT_TRUE(holder->setVectorRef(copy, 1));
        EXPECT_TRUE(holder->keptRecords(1).empty()) << "converted, not kept";
    }
    // Leaves frame 1 and shows it again; frame 1 then holds the first record
    // and `want`, written back byte for byte. Call through
    // ASSERT_NO_FATAL_FAILURE.
    void expectWrittenBackInFrame1(const sAllObjects& want) {
        holder->slot_get_current_frame(0);
        holder->slot_get_current_frame(1);
        std::vector<sAllObjects> out;
        ASSERT_TRUE(holder->getVectorRef(out, 1));
        ASSERT_EQ(2u, out.size());
        EXPECT_EQ(want.drawingObject, out[1].drawingObject);
        EXPECT_EQ(want.toBytes(), out[1].toBytes());
        EXPECT_EQ(want.tailBytes(), out[1].tailBytes());
    }

    std::unique_ptr<PlainHolderHost> host;
    std::vector<SPlayBackFrameInfo> playback;
};

} // namespace canvastest
