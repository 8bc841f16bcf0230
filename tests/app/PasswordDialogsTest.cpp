#include "ShellAppFixture.h"

#include "app/ChangePassword.h"
#include "app/ClearPassword.h"
#include "app/PasswordFile.h"
#include "app/SetPassword.h"
#include "app/ShellMessage.h"
#include "support/TempDir.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;
using Kind = ShellMessage::Kind;

namespace {

struct Box {
    Kind kind;
    QString caption, text;
};

void type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

void pressReturn(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

// Each test runs in a fresh current directory, where password.txt lives.
class PasswordTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        char buf[4096];
        oldCwd = getcwd(buf, sizeof buf) ? buf : "/";
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        ShellMessage::setSink([this](Kind k, const QString& c, const QString& t) {
            boxes.push_back({k, c, t});
        });
    }
    void TearDown() override {
        ShellMessage::setSink({});
        if (chdir(oldCwd.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << oldCwd;
        ShellAppTest::TearDown();
    }
    std::string stored() const { return readFile(dir.file("password.txt")); }
    void expectOneBox(Kind k, const char* caption, const char* text) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, k);
        EXPECT_EQ(boxes[0].caption, caption);
        EXPECT_EQ(boxes[0].text, text);
    }

    TempDir dir;
    std::string oldCwd;
    std::vector<Box> boxes;
};

TEST_F(PasswordTest, SetWithMatchingEntriesWritesTheFile) {
    SetPassword d(nullptr, "Dialog");
    EXPECT_EQ(d.windowTitle(), "Set Password");
    EXPECT_EQ(d.size(), QSize(390, 100));
    type(d.passwordField(), "secret1");
    pressReturn(d.passwordField());
    type(d.reEnterField(), "secret1");
    pressReturn(d.reEnterField());
    EXPECT_TRUE(boxes.empty()) << "Return only takes the text";
    d.okButton()->click();
    expectOneBox(Kind::Information, "Velmora", "Password is set");
    EXPECT_TRUE(d.resultFlag());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(stored(), "secret1") << "no line end";
}

TEST_F(PasswordTest, SetWithAMismatchRejects) {
    writeFile(dir.file("password.txt"), "before");
    SetPassword d(nullptr, "Dialog");
    type(d.passwordField(), "abc");
    pressReturn(d.passwordField());
    type(d.reEnterField(), "abd");
    pressReturn(d.reEnterField());
    d.okButton()->click();
    expectOneBox(Kind::Warning, "Message", "Error9889:Re-typed Password doesn't match");
    EXPECT_FALSE(d.resultFlag());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(stored(), "before");
}

TEST_F(PasswordTest, SetWithOkBeforeAnyReturnWritesAnEmptyPassword) {
    SetPassword d(nullptr, "Dialog");
    type(d.passwordField(), "typed");
    type(d.reEnterField(), "other");
    d.okButton()->click();
    expectOneBox(Kind::Information, "Velmora", "Password is set");
    EXPECT_TRUE(fileExists(dir.file("password.txt")));
    EXPECT_EQ(stored(), "");
}

TEST_F(PasswordTest, SetThatCannotWriteReportsTheFailure) {
    // A directory in the way of password.txt: the write fails.
    ASSERT_EQ(mkdir(dir.file("password.txt").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.file("password.txt/x").c_str(), 0755), 0);
    SetPassword d(nullptr, "Dialog");
    d.okButton()->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, Kind::Warning);
    EXPECT_NE(boxes[0].text, "Password is set");
    EXPECT_FALSE(d.resultFlag());
}

TEST_F(PasswordTest, NinthCharacterIsRefusedInEveryField) {
    SetPassword s(nullptr, "Dialog");
    ChangePassword c(nullptr, "Dialog");
    ClearPassword l(nullptr, "Dialog");
    for (QLineEdit* e :
         {s.passwordField(), s.reEnterField(), c.oldField(), c.newField(), c.retypeField(), l.entryField()}) {
        e->setEnabled(true);
        type(e, "123456789");
        EXPECT_EQ(e->text(), "12345678");
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
    }
}

TEST_F(PasswordTest, ChangeWithTheRightOldPassword) {
    writeFile(dir.file("password.txt"), "first\nold");
    ChangePassword d(nullptr, "Dialog");
    EXPECT_FALSE(d.newField()->isEnabled());
    type(d.oldField(), "old");
    pressReturn(d.oldField());
    EXPECT_TRUE(d.newField()->isEnabled()) << "the last line is the password";
    EXPECT_TRUE(d.retypeField()->isEnabled());
    EXPECT_TRUE(d.findChild<QLabel*>("QLabel_2")->isEnabled());
    type(d.newField(), "new");
    pressReturn(d.newField());
    pressReturn(d.newField()); // a second Return does not pile up connections
    type(d.retypeField(), "new");
    pressReturn(d.retypeField());
    d.okButton()->click();
    expectOneBox(Kind::Information, "Velmora", "Password  is changed");
    EXPECT_TRUE(d.resultFlag());
    EXPECT_EQ(stored(), "new");
}

TEST_F(PasswordTest, ChangeWithAWrongOldPasswordSaysNothing) {
    writeFile(dir.file("password.txt"), "old");
    ChangePassword d(nullptr, "Dialog");
    type(d.oldField(), "OLD");
    pressReturn(d.oldField());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(d.newField()->isEnabled());
    d.cancelButton()->click();
    EXPECT_FALSE(d.resultFlag());
    EXPECT_EQ(stored(), "old");
}

TEST_F(PasswordTest, ChangeWithRetypeMismatch) {
    writeFile(dir.file("password.txt"), "old");
    ChangePassword d(nullptr, "Dialog");
    type(d.oldField(), "old");
    pressReturn(d.oldField());
    type(d.newField(), "a");
    pressReturn(d.newField());
    type(d.retypeField(), "b");
    pressReturn(d.retypeField());
    d.okButton()->click();
    expectOneBox(Kind::Warning, "Message", "Error : Re-typed password doesn't match");
    EXPECT_FALSE(d.resultFlag());
    EXPECT_EQ(stored(), "old");
}

TEST_F(PasswordTest, ChangeAndClearWithoutAPasswordFileSaySoAndGoOn) {
    ChangePassword c(nullptr, "Dialog");
    type(c.oldField(), "x");
    pressReturn(c.oldField());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, Kind::Warning);
    EXPECT_FALSE(c.newField()->isEnabled());

    boxes.clear();
    ClearPassword l(nullptr, "Dialog");
    type(l.entryField(), "x");
    pressReturn(l.entryField());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, Kind::Warning);
    EXPECT_FALSE(l.resultFlag());
    EXPECT_EQ(l.result(), QDialog::Rejected);
}

TEST_F(PasswordTest, ClearWithTheRightAndTheWrongPassword) {
    writeFile(dir.file("password.txt"), "pw");
    {
        ClearPassword d(nullptr, "Dialog");
        EXPECT_EQ(d.windowTitle(), "Clear Password");
        type(d.entryField(), "pw");
        pressReturn(d.entryField());
        expectOneBox(Kind::Information, "Velmora", "Password  is Cleared");
        EXPECT_TRUE(d.resultFlag());
        EXPECT_EQ(stored(), "pw") << "the file is left as it is";
    }
    boxes.clear();
    ClearPassword d(nullptr, "Dialog");
    type(d.entryField(), "nope");
    d.okButton()->click();
    expectOneBox(Kind::Warning, "Warning", "Error :Illegal Operation Performed");
    EXPECT_FALSE(d.resultFlag());
}

TEST(PasswordFile, LastLineCounts) {
    TempDir t;
    const QString p = QString::fromStdString(t.file("password.txt"));
    struct Case {
        const char* content;
        const char* expected;
    } cases[] = {{"", ""},        {"abc", "abc"},      {"a\nb", "b"},
                 {"a\nb\n", "b"}, {"a\r\nb\r\n", "b"}, {"a\n\n", ""}};
    for (const auto& c : cases) {
        writeFile(p.toStdString(), c.content);
        auto got = PasswordFile::read(p);
        ASSERT_TRUE(got) << c.content;
        EXPECT_EQ(*got, c.expected) << c.content;
    }
    EXPECT_FALSE(PasswordFile::read(QString::fromStdString(t.file("missing"))));
}

TEST(PasswordMenuState, TableAfterEachDialog) {
    using D = PasswordMenuState::Dialog;
    struct Case {
        D dialog;
        bool result;
        PasswordMenuState expected;
    } cases[] = {
        {D::Set, true, {false, true, true}},     {D::Set, false, {true, false, false}},
        {D::Change, true, {false, false, true}}, {D::Change, false, {false, true, true}},
        {D::Clear, true, {true, false, false}},  {D::Clear, false, {false, true, true}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(PasswordMenuState::after(c.dialog, c.result) == c.expected)
            << int(c.dialog) << " " << c.result;
    EXPECT_TRUE(PasswordMenuState{} == (PasswordMenuState{true, false, false})) << "state at start";
}

} // namespace
