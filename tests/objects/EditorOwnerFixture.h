// The fixture of the tests of objects shown by an in-place editor, without
// X: an offscreen application, the test host and a parent widget for the
// editors.
#pragma once

#include "InteractiveTestHost.h"
#include "support/QtTestApp.h"

#include <QTest>

#include <gtest/gtest.h>

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

    FakeHost host;
    std::unique_ptr<QWidget> parent;
};

} // namespace interactivetest
