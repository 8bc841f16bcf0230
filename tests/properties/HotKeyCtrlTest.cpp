// The validation string dialog: capture of key strokes sent with QTest, the
// strings and keys lists, and deletions passed to the bound field.
#include "HotKeyStrokes.h"
#include "PropertyTestSupport.h"

#include "properties/HotKeyCtrl.h"
#include "properties/WindowsKeyCodes.h"
#include "store/DrawingObjectType.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

using namespace hotkeytest;

namespace {

// A client that records what the dialog tells the field.
class FieldClient : public proptest::FakeClient {
  public:
    std::vector<std::string> told;
    void removedKey(QObject*, int string, int key) override {
        told.push_back("key " + std::to_string(string) + " " + std::to_string(key));
    }
    void resizeMultiStringVector(QObject*, int string) override {
        told.push_back("string " + std::to_string(string));
    }
};

class HotKeyDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        answers.clear();
        HotKeyCtrl::setConfirm([this](QWidget*, const QString& text) {
            questions.push_back(text);
            const bool yes = answers.empty() || answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return yes;
        });
        dialog = std::make_unique<HotKeyCtrl>(nullptr, nullptr);
        dialog->setField(&client, &field);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    void TearDown() override {
        dialog.reset();
        HotKeyCtrl::setConfirm({});
    }
    // Types a string and Return into the string line.
    void insert(const QString& text) {
        dialog->stringLine->setFocus();
        QTest::keyClicks(dialog->stringLine, text);
        QTest::keyClick(dialog->stringLine, Qt::Key_Return);
    }
    void select(int row) {
        dialog->stringsList->clearSelection();
        dialog->stringsList->setCurrentRow(row);
    }
    void send(const std::vector<Event>& events) { hotkeytest::send(events, dialog.get()); }
    // Captures Ctrl with a letter and adds it to the selected string.
    void addCtrl(Qt::Key letter) {
        ctrlWith(letter);
        dialog->addButton->click();
    }
    QStringList rows(QListWidget* list) const {
        QStringList r;
        for (int i = 0; i < list->count(); ++i)
            r << list->item(i)->text();
        return r;
    }

    FieldClient client;
    proptest::FakeObject field{VALIDATIONFIELD};
    std::unique_ptr<HotKeyCtrl> dialog;
    std::vector<bool> answers;
    QStringList questions;
};

class HotKeyStrokes : public HotKeyDialog, public ::testing::WithParamInterface<StrokeRow> {};

TEST_P(HotKeyStrokes, CapturedAndAdded) {
    const StrokeRow& row = GetParam();
    insert("yes");
    ASSERT_TRUE(dialog->captureArmed);
    ASSERT_TRUE(dialog->keyLabel->hasFocus());
    send(row.events);
    EXPECT_EQ(dialog->keyLabel->text().toStdString(), row.label);
    if (row.word) {
        EXPECT_EQ(dialog->keyWord, *row.word);
    }
    dialog->addButton->click();
    EXPECT_EQ(dialog->keysList->count(), row.addTaken ? 1 : 0);
    ASSERT_EQ(dialog->strings.size(), 1u);
    if (row.addTaken) {
        EXPECT_EQ(dialog->keysList->item(0)->text().toStdString(), row.label);
        ASSERT_EQ(dialog->strings[0].keys.size(), 1u);
        EXPECT_EQ(dialog->strings[0].nKeyCount, 1);
        if (row.word) {
            EXPECT_EQ(dialog->strings[0].keys[0].uiValidationKey, *row.word);
        }
    } else {
        EXPECT_TRUE(dialog->strings[0].keys.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Strokes, HotKeyStrokes, ::testing::ValuesIn(strokeRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// Escape and Return never close the dialog; every grab is let go.
TEST_F(HotKeyDialog, EscapeAndReturnKeepItOpenAndNoGrabStays) {
    insert("yes");
    send({down(Qt::Key_Escape, NO), up(Qt::Key_Escape, NO), down(Qt::Key_Return, NO), up(Qt::Key_Return, NO),
          down(Qt::Key_Control, NO), down(Qt::Key_A, CTRL)});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(HotKeyDialog, KeypadEnterListedAsNoneOnceSelectedAgain) {
    insert("yes");
    send({down(Qt::Key_Enter, KEYPAD), up(Qt::Key_Enter, KEYPAD)});
    dialog->addButton->click();
    EXPECT_EQ(rows(dialog->keysList), QStringList{"Enter"});
    select(0);
    EXPECT_EQ(rows(dialog->keysList), QStringList{"None"});
}

TEST_F(HotKeyDialog, RefusedStringsAndKeys) {
    insert("");
    EXPECT_EQ(dialog->stringsList->count(), 0);
    insert("yes");
    insert("yes");
    insert("Yes");
    EXPECT_EQ(rows(dialog->stringsList), (QStringList{"yes", "Yes"}));
    ASSERT_EQ(dialog->strings.size(), 2u);
    select(0);
    addCtrl(Qt::Key_A);
    addCtrl(Qt::Key_A);
    EXPECT_EQ(rows(dialog->keysList), QStringList{"CTRL+A"});
    // A modifier alone is no key.
    for (const char* alone : {"SHIFT+", "CTRL+", "ALT+", "None"}) {
        dialog->keyLabel->setText(alone);
        dialog->addButton->click();
    }
    EXPECT_EQ(rows(dialog->keysList), QStringList{"CTRL+A"});
    EXPECT_EQ(dialog->strings[0].keys.size(), 1u);
}

TEST_F(HotKeyDialog, FirstStringCarriesFlagOne) {
    insert("one");
    insert("two");
    insert("three");
    ASSERT_EQ(dialog->strings.size(), 3u);
    EXPECT_EQ(dialog->strings[0].flag, 1);
    EXPECT_EQ(dialog->strings[1].flag, 0);
    EXPECT_EQ(dialog->strings[2].flag, 0);
    EXPECT_EQ(dialog->strings[2].text, "three");
}

TEST_F(HotKeyDialog, DeletedStringTellsItsKeysFromTheLastThenTheString) {
    insert("first");
    insert("second");
    select(1);
    addCtrl(Qt::Key_A);
    addCtrl(Qt::Key_B);
    addCtrl(Qt::Key_C);
    ASSERT_EQ(dialog->strings[1].keys.size(), 3u);
    select(1);
    dialog->keysList->clearSelection();
    dialog->removeButton->click();
    EXPECT_EQ(questions, QStringList{"Validation String Deleted! Are you sure?"});
    EXPECT_EQ(client.told, (std::vector<std::string>{"key 1 2", "key 1 1", "key 1 0", "string 1"}));
    EXPECT_EQ(rows(dialog->stringsList), QStringList{"first"});
    ASSERT_EQ(dialog->strings.size(), 1u);
    EXPECT_EQ(dialog->strings[0].text, "first");
}

TEST_F(HotKeyDialog, DeletedKeyLeavesTheOthers) {
    insert("yes");
    addCtrl(Qt::Key_A);
    addCtrl(Qt::Key_B);
    addCtrl(Qt::Key_C);
    dialog->keysList->setCurrentRow(1);
    answers = {false};
    dialog->removeButton->click();
    EXPECT_TRUE(client.told.empty());
    EXPECT_EQ(dialog->strings[0].keys.size(), 3u);
    dialog->keysList->setCurrentRow(1);
    dialog->removeButton->click();
    EXPECT_EQ(questions.back(), "Validation Key Deleted! Are you sure?");
    EXPECT_EQ(client.told, std::vector<std::string>{"key 0 1"});
    EXPECT_EQ(rows(dialog->keysList), (QStringList{"CTRL+A", "CTRL+C"}));
    ASSERT_EQ(dialog->strings[0].keys.size(), 2u);
    EXPECT_EQ(dialog->strings[0].nKeyCount, 2);
    EXPECT_EQ(dialog->strings[0].keys[1].uiValidationKey, 0x00020043u);
}

TEST_F(HotKeyDialog, DeletingTheOnlyStringEmptiesTheLineAndDisablesRemove) {
    insert("yes");
    EXPECT_EQ(dialog->selectedStringLine->text(), "yes");
    EXPECT_TRUE(dialog->removeButton->isEnabled());
    dialog->removeButton->click();
    EXPECT_EQ(dialog->stringsList->count(), 0);
    EXPECT_TRUE(dialog->strings.empty());
    EXPECT_EQ(dialog->selectedStringLine->text(), "");
    EXPECT_FALSE(dialog->removeButton->isEnabled());
}

// Only a live validation field hears of deletions.
TEST_F(HotKeyDialog, OtherKindsAndGoneFieldsAreNotTold) {
    proptest::FakeObject hyperlink(HYPERLINK);
    dialog->setField(&client, &hyperlink);
    insert("one");
    addCtrl(Qt::Key_A);
    dialog->removeButton->click();
    {
        auto gone = std::make_unique<proptest::FakeObject>(VALIDATIONFIELD);
        dialog->setField(&client, gone.get());
    }
    insert("two");
    addCtrl(Qt::Key_A);
    dialog->removeButton->click();
    EXPECT_TRUE(client.told.empty());
    EXPECT_EQ(dialog->stringsList->count(), 0);
}

} // namespace
