// One QApplication for the canvas tests, on the offscreen platform: fonts
// and widgets need an application object but no display.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "canvas_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

  private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
