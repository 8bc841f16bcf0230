#include "ShellAppFixture.h"

#include "app/HelpWindow.h"
#include "app/ShellMessage.h"
#include "support/TempDir.h"

#include <QAction>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QToolButton>

#include <sys/stat.h>

using namespace testsupport;

namespace {

// The project's own help pages, with ZEDARO at the project root.
const std::string kProjectRoot = VELMORA_SOURCE_ROOT;

class HelpWindowTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        const char* z = getenv("ZEDARO");
        hadZedaro = z != nullptr;
        if (z)
            oldZedaro = z;
        ShellMessage::setSink([this](ShellMessage::Kind, const QString& c, const QString& t) {
            captions << c;
            texts << t;
        });
    }
    void TearDown() override {
        ShellMessage::setSink({});
        if (hadZedaro)
            setenv("ZEDARO", oldZedaro.c_str(), 1);
        else
            unsetenv("ZEDARO");
        delete window;
        ShellAppTest::TearDown();
    }
    QString page() const { return window->browser()->source().fileName(); }

    bool hadZedaro = false;
    std::string oldZedaro;
    QStringList captions, texts;
    HelpWindow* window = nullptr;
};

int pdfPageCount(const std::string& pdf) {
    // Page objects, not the /Pages tree node.
    static const QRegularExpression re("/Type\\s*/Page(?![s])");
    auto it = re.globalMatch(QString::fromLatin1(pdf.data(), int(pdf.size())));
    int n = 0;
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

TEST_F(HelpWindowTest, WithoutZedaroEveryHelpShowsTheBoxAndNoWindow) {
    unsetenv("ZEDARO");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(HelpWindow::showHelp(nullptr, nullptr, 1024, 768), nullptr);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(captions[0], "Velmora 1.0");
    EXPECT_EQ(texts[0], "Unable to find User documentation files\nPlease set $ZEDARO to the Installation "
                        "directory,\nEg: If you are using bash shell\n`export ZEDARO=/your/velmora/dir'\nand "
                        "restart Velmora");
    TempDir empty;
    setenv("ZEDARO", empty.path().c_str(), 1);
    EXPECT_EQ(HelpWindow::showHelp(nullptr, nullptr, 1024, 768), nullptr) << "no start page there";
    EXPECT_EQ(texts.size(), 3);
}

TEST_F(HelpWindowTest, StartPageOpensAndHistoryFollowsLinks) {
    setenv("ZEDARO", kProjectRoot.c_str(), 1);
    window = HelpWindow::showHelp(nullptr, nullptr, 1024, 768);
    ASSERT_NE(window, nullptr) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.isEmpty());
    EXPECT_EQ(window->windowTitle(), "Velmora 1.0 Help Viewer");
    EXPECT_EQ(window->size(), QSize(768, 576));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), "vuduziv.htm");
    EXPECT_TRUE(window->browser()->toPlainText().contains("Contents"));
    EXPECT_FALSE(window->backItem()->isEnabled());
    EXPECT_FALSE(window->frontItem()->isEnabled());
    EXPECT_FALSE(window->backwardButton()->isEnabled());

    window->browser()->setSource(QUrl("recording.htm"));
    EXPECT_EQ(page(), "recording.htm");
    EXPECT_TRUE(window->browser()->toPlainText().contains("Start Recording")) << "relative link resolved";
    window->browser()->setSource(QUrl("keys.htm"));
    EXPECT_TRUE(window->backItem()->isEnabled());
    EXPECT_TRUE(window->backwardButton()->isEnabled());

    window->backItem()->trigger();
    EXPECT_EQ(page(), "recording.htm");
    EXPECT_TRUE(window->frontItem()->isEnabled());
    EXPECT_TRUE(window->forwardButton()->isEnabled());
    window->backwardButton()->click();
    EXPECT_EQ(page(), "vuduziv.htm");
    EXPECT_FALSE(window->backItem()->isEnabled());
    window->frontItem()->trigger();
    EXPECT_EQ(page(), "recording.htm");
    window->homeItem()->trigger();
    EXPECT_EQ(page(), "vuduziv.htm");
}

TEST_F(HelpWindowTest, ClosedWindowComesBackOnTheLastPage) {
    setenv("ZEDARO", kProjectRoot.c_str(), 1);
    window = HelpWindow::showHelp(nullptr, nullptr, 800, 600);
    ASSERT_NE(window, nullptr);
    window->browser()->setSource(QUrl("files.htm"));
    window->close();
    EXPECT_FALSE(window->isVisible());
    unsetenv("ZEDARO"); // an existing window needs no start page
    EXPECT_EQ(HelpWindow::showHelp(window, nullptr, 800, 600), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), "files.htm");
    EXPECT_TRUE(texts.isEmpty());
}

TEST_F(HelpWindowTest, MenusAndShortcuts) {
    setenv("ZEDARO", kProjectRoot.c_str(), 1);
    window = HelpWindow::showHelp(nullptr, nullptr, 800, 600);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->backItem()->text(), "&Back");
    EXPECT_EQ(window->backItem()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
    EXPECT_EQ(window->frontItem()->text(), "&Front");
    EXPECT_EQ(window->frontItem()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Right));
    EXPECT_EQ(window->homeItem()->text(), "Ho&me");
    EXPECT_EQ(window->homeItem()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_M));
    EXPECT_EQ(window->backwardButton()->text(), "Backward");
    EXPECT_EQ(window->forwardButton()->text(), "Forward");
    EXPECT_EQ(window->homeButton()->text(), "Home");
}

TEST_F(HelpWindowTest, IconsComeFromTheCurrentDirectory) {
    setenv("ZEDARO", kProjectRoot.c_str(), 1);
    char buf[4096];
    std::string old = getcwd(buf, sizeof buf) ? buf : "/";
    ASSERT_EQ(chdir((kProjectRoot + "/images").c_str()), 0);
    window = HelpWindow::showHelp(nullptr, nullptr, 800, 600);
    ASSERT_EQ(chdir(old.c_str()), 0);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->backItem()->icon().isNull());
    EXPECT_FALSE(window->frontItem()->icon().isNull());
    EXPECT_FALSE(window->homeButton()->icon().isNull());
}

TEST_F(HelpWindowTest, PrintingToPdfNumbersEachPage) {
    TempDir t;
    const std::string dir = t.file("help");
    mkdir(dir.c_str(), 0755);
    writeFile(dir + "/vuduziv.htm", "<html><body><p>One short page.</p></body></html>");
    std::string longPage = "<html><body>";
    for (int i = 0; i < 400; ++i)
        longPage += "<p>Paragraph " + std::to_string(i) + " of a long page.</p>";
    writeFile(dir + "/long.htm", longPage + "</body></html>");
    setenv("ZEDARO", t.path().c_str(), 1);
    window = HelpWindow::showHelp(nullptr, nullptr, 800, 600);
    ASSERT_NE(window, nullptr);

    auto print = [&](const std::string& out) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(out));
        return window->printDocument(printer);
    };
    EXPECT_EQ(print(t.file("short.pdf")), 1);
    EXPECT_EQ(pdfPageCount(readFile(t.file("short.pdf"))), 1);

    window->browser()->setSource(QUrl("long.htm"));
    const int pages = print(t.file("long.pdf"));
    EXPECT_GT(pages, 3);
    EXPECT_EQ(pdfPageCount(readFile(t.file("long.pdf"))), pages);
}

} // namespace
