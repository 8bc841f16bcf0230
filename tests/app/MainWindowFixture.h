// One Xvfb and one QApplication per test process, and a fixture that builds
// the main window with a fresh HOME in a chosen working directory.
#pragma once

#include "app/Velmora.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mainwin {

// Screen depth of the process's Xvfb: MAINWIN_TEST_DEPTH, 24 by default.
inline int testDepth() {
    const char* d = getenv("MAINWIN_TEST_DEPTH");
    return d ? atoi(d) : 24;
}

// The server is a static object, stopped when the process exits; the
// application is left to the exit, as Qt's own statics may be gone by then.
inline QApplication& app() {
    static testsupport::XvfbServer server([] {
        testsupport::ScreenSpec spec;
        spec.depth = testDepth();
        return spec;
    }());
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        unsetenv("QT_QPA_PLATFORMTHEME");
        qputenv("QT_QPA_PLATFORM", "xcb");
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        return new QApplication(argc, argv);
    }();
    (void)server;
    return *instance;
}

// The folder with the image files the program loads from its working directory.
inline std::string imagesFolder() {
    std::string here = __FILE__; // <root>/tests/app/MainWindowFixture.h
    return here.substr(0, here.rfind("/tests/app/")) + "/images";
}

// A fresh HOME with its data directory "zedaro", and a working directory
// (a fresh empty one unless named); the old HOME and directory come back
// with leave().
class FreshHome {
  public:
    // False when the working directory cannot be entered.
    bool enter(const std::string& workingDirectory = {}) {
        if (const char* old = getenv("HOME"))
            m_oldHome = old;
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd))
            m_oldCwd = cwd;
        mkdir(m_root.file("home").c_str(), 0755);
        mkdir(m_root.file("cwd").c_str(), 0755);
        mkdir((home() + "/zedaro").c_str(), 0755);
        setenv("HOME", home().c_str(), 1);
        const std::string dir = workingDirectory.empty() ? m_root.file("cwd") : workingDirectory;
        return chdir(dir.c_str()) == 0;
    }
    void leave() {
        if (!m_oldCwd.empty())
            (void)!chdir(m_oldCwd.c_str());
        if (!m_oldHome.empty())
            setenv("HOME", m_oldHome.c_str(), 1);
    }
    std::string home() const { return m_root.file("home"); }
    std::string dataDir() const { return home() + "/zedaro"; }

  private:
    testsupport::TempDir m_root;
    std::string m_oldHome, m_oldCwd;
};

class MainWindowTest : public ::testing::Test {
  protected:
    // The working directory the window is built in; empty: a fresh empty one.
    virtual std::string workingDirectory() const { return {}; }
    // Called with HOME in place, before the window is built.
    virtual void prepareHome() {}

    void SetUp() override {
        app();
        ASSERT_TRUE(m_home.enter(workingDirectory()));
        prepareHome();
        w = new Velmora();
    }

    void TearDown() override {
        delete w;
        m_home.leave();
    }

    std::string home() const { return m_home.home(); }

    Velmora* w = nullptr;

  private:
    FreshHome m_home;
};

} // namespace mainwin
