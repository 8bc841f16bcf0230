// The main window with a frame appended, and the left button sent to its
// holder as the author's mouse would.
#pragma once

#include "MainWindowFixture.h"

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "store/DrawingObjectType.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace mainwin {

class HolderInMainWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        w->slotEditAppendFrames();
        holder = w->imageHolder();
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        MainWindowTest::TearDown();
    }
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(holder->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &e);
    }
    void press(QPoint p) { send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void release(QPoint p) { send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    void moveTo(QPoint p) { send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    // Drags out an object with the tool, with a stop half way, and hands
    // back the selection tool.
    void drag(int tool, QPoint from, QPoint to) {
        holder->slot_select_draw_object(tool);
        press(from);
        moveTo((from + to) / 2);
        moveTo(to);
        release(to);
        holder->slot_select_draw_object(SELECTION);
    }

    VLImageHolder* holder = nullptr;
};

} // namespace mainwin
