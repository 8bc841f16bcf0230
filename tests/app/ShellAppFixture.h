// A private Xvfb with a QApplication on it for one test; the application is
// torn down before the server stops.
#pragma once

#include "support/XvfbServer.h"

#include <QApplication>

#include <memory>

namespace testsupport {

class ShellAppTest : public XvfbTest {
  protected:
    void SetUp() override {
        XvfbTest::SetUp();
        if (HasFatalFailure())
            return;
        unsetenv("QT_QPA_PLATFORMTHEME");
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        if (!QApplication::instance())
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override {
        QApplication::closeAllWindows();
        m_app.reset();
        XvfbTest::TearDown();
    }

  private:
    int m_argc = 1;
    char m_name[16] = "shell_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

} // namespace testsupport
