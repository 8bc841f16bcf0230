// The fixture of the tests of objects shown by an in-place editor, without
// X: an offscreen application, the test host and a parent widget for the
// editors.
#pragma once

#include "InteractiveTestHost.h"
#include "support/QtTestApp.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace interactivetest {

class EditorOwnerTest : public testsupport::OffscreenAppSuite {
  protected:
    void SetUp() override {
        DrawTools::currentlySelectedObject = SELECTION;
        parent = std::make_unique<QWidget>();
        parent->resize(600, 400);
        host.editorWidget = parent.get();
    }
    void TearDown() override { parent.reset(); }
    // No window manager: the window is made active explicitly.
    void showParent() {
        parent->show();
        QApplication::setActiveWindow(parent.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(parent.get()));
    }
    // Runs `step`, which applies a property row: the object tells its Left
    // and its Height once each and is drawn once.
    void expectAppliedOnce(DrawTools& object, const std::function<void()>& step) {
        QSignalSpy left(&object, &DrawTools::signalSetLeft);
        QSignalSpy height(&object, &DrawTools::signalSetHeight);
        const int draws = host.drawCount;
        step();
        EXPECT_EQ(1, left.count());
        EXPECT_EQ(1, height.count());
        EXPECT_EQ(draws + 1, host.drawCount);
    }

    FakeHost host;
    std::unique_ptr<QWidget> parent;
};

} // namespace interactivetest
