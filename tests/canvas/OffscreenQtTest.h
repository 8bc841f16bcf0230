// Fixture for tests that need a QApplication (fonts, widgets) but no
// display: makes one on the offscreen platform for the test suite and removes
// it afterwards, so suites that need a real X connection can make their own.
// An application that already exists is used as it is.
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

class OffscreenQtTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance()) return;
        const bool hadPlatform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "offscreen_tests";
        static char* argv[] = {name, nullptr};
        s_app = new QApplication(argc, argv);
        if (hadPlatform)
            qputenv("QT_QPA_PLATFORM", platform);
        else
            qunsetenv("QT_QPA_PLATFORM");
    }
    static void TearDownTestSuite() {
        delete s_app;
        s_app = nullptr;
    }

  private:
    static inline QApplication* s_app = nullptr;
};
