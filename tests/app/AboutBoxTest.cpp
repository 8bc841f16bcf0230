#include "ShellAppFixture.h"

#include "app/LinkButton.h"
#include "app/aboutVl.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <QEnterEvent>
#include <QMouseEvent>

#include <sys/stat.h>

using namespace testsupport;

namespace {

class AboutBoxTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        oldPath = getenv("PATH") ? getenv("PATH") : "";
        // A stand-in browser that records each address it is given.
        const std::string script = bin.file("xdg-open");
        writeFile(script, "#!/bin/sh\necho \"$1\" >> '" + bin.file("calls") + "'\n");
        chmod(script.c_str(), 0755);
        setenv("PATH", (bin.path() + ":" + oldPath).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        ShellAppTest::TearDown();
    }
    static void press(QWidget* w, QPoint at) {
        QMouseEvent e(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    std::string calls() const { return fileExists(bin.file("calls")) ? readFile(bin.file("calls")) : ""; }

    TempDir bin;
    std::string oldPath;
};

TEST_F(AboutBoxTest, LayoutOfTheBox) {
    aboutVl box(nullptr, "about");
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(box.size(), QSize(419, 255));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    LinkButton* link = box.link();
    EXPECT_EQ(link->objectName(), "link");
    EXPECT_EQ(link->parentWidget(), &box);
    EXPECT_TRUE(link->isFlat());
    // At least 200 wide, and as wide as the address needs.
    EXPECT_GE(link->width(), 200);
    EXPECT_GE(link->width(), link->sizeHint().width());
    EXPECT_EQ(link->pos(), QPoint(70, 180));
    EXPECT_EQ(link->text(), aboutVl::WEB_ADDRESS);
    EXPECT_EQ(link->palette().color(QPalette::Button), QColor(239, 125, 16));
}

TEST_F(AboutBoxTest, TwoPressesStartTheBrowserTwiceAndTheBoxStays) {
    aboutVl box(nullptr, "about");
    box.setWindowTitle("About Velmora");
    box.show();
    int clicked = 0;
    QObject::connect(box.link(), &QPushButton::clicked, [&] { ++clicked; });
    press(box.link(), QPoint(5, 5));
    press(box.link(), QPoint(5, 5));
    const std::string line = std::string(aboutVl::WEB_ADDRESS) + "\n";
    EXPECT_TRUE(waitUntil([&] { return calls() == line + line; }, 5000)) << calls();
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(box.link()->isDown());
    EXPECT_EQ(clicked, 0);
}

TEST_F(AboutBoxTest, PressOutsideTheLinkHidesTheBox) {
    aboutVl box(nullptr, "about");
    box.show();
    press(&box, QPoint(5, 5));
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(calls(), "");
}

TEST_F(AboutBoxTest, PointingHandWhileOverTheLink) {
    aboutVl box(nullptr, "about");
    box.show();
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(box.link(), &enter);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box.link(), &leave);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::sendEvent(box.link(), &leave);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "a second leave restores nothing more";
}

} // namespace
