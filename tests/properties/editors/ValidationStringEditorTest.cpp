// The validation string editor over a stand-in canvas: how it fills its
// dialog from the working copy and what it takes back on Close and on the
// window's close box.
#include "../HotKeyStrokes.h"
#include "../PropertyTestSupport.h"

#include "properties/EditPropertyEntry.h"
#include "properties/HotKeyCtrl.h"
#include "properties/editors/PropertyLviValidationString.h"
#include "store/DrawingObjectType.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace proptest;

namespace {

sMultiValidationString str(const char* text, std::vector<uint32_t> words, uint8_t flag) {
    sMultiValidationString s;
    s.text = text;
    s.flag = flag;
    for (uint32_t w : words) {
        sValidationKey k;
        k.uiValidationKey = w;
        k.event = sValidationKeyEvent{};
        k.event->message = "event of " + std::to_string(w);
        s.keys.push_back(k);
    }
    s.nKeyCount = int32_t(s.keys.size());
    return s;
}

// A field that holds its own strings and loads them on request.
class FieldClient : public FakeClient {
  public:
    std::vector<sMultiValidationString> fieldStrings;
    int loads = 0;
    std::vector<std::string> told;
    void loadValidationStrings(QObject*) override {
        ++loads;
        PropertyLviBase::VRmuValidStr = fieldStrings;
        PropertyLviBase::bNotFirstEntry = 1;
    }
    void removedKey(QObject*, int string, int key) override {
        told.push_back("key " + std::to_string(string) + " " + std::to_string(key));
        auto& keys = fieldStrings[size_t(string)].keys;
        keys.erase(keys.begin() + key);
        fieldStrings[size_t(string)].nKeyCount = int32_t(keys.size());
    }
};

class StringEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        PropertyLviBase::resetSharedRecords();
        HotKeyCtrl::setConfirm([](QWidget*, const QString&) { return true; });
        client.selected = &field;
        entry.name = "Validation String";
        editor = std::make_unique<PropertyLviValidationString>(nullptr, &client, &entry, nullptr);
    }
    void TearDown() override {
        editor.reset();
        HotKeyCtrl::setConfirm({});
        PropertyLviBase::resetSharedRecords();
    }
    // Presses "..." and works the dialog while it is open.
    void press(std::function<void(HotKeyCtrl&)> work) {
        QTimer::singleShot(0, [this, work] {
            HotKeyCtrl& d = *editor->getHotKeyCtrl();
            QApplication::setActiveWindow(&d);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
            work(d);
        });
        QTest::mouseClick(editor->getButton(), Qt::LeftButton);
    }
    static void ctrl(HotKeyCtrl& d, Qt::Key letter) {
        hotkeytest::ctrlWith(letter);
        d.addButton->click();
    }
    static std::vector<uint32_t> words(const sMultiValidationString& s) {
        std::vector<uint32_t> w;
        for (const sValidationKey& k : s.keys)
            w.push_back(k.uiValidationKey);
        return w;
    }
    int repaints() const { return int(client.callsOf("repaint").size()); }

    FieldClient client;
    FakeObject field{VALIDATIONFIELD};
    EditPropertyEntry entry;
    std::unique_ptr<PropertyLviValidationString> editor;
};

// Rows and records come together, so a key added to the second string
// lands on it and Close gives the field both strings and the new key.
TEST_F(StringEditor, RefilledDialogTakesAKeyOnTheSecondStringAndCloseKeepsBoth) {
    PropertyLviBase::VRmuValidStr = {str("first", {0x00020041, 0x00080024}, 1), str("second", {}, 0)};
    PropertyLviBase::bNotFirstEntry = 1;
    press([](HotKeyCtrl& d) {
        EXPECT_EQ(d.stringsList->count(), 2);
        EXPECT_EQ(d.strings.size(), 2u);
        EXPECT_TRUE(d.removeButton->isEnabled());
        d.stringsList->setCurrentRow(1);
        ctrl(d, Qt::Key_B);
        EXPECT_EQ(d.keysList->count(), 1);
        d.closeButton->click();
    });
    const auto& w = PropertyLviBase::VRmuValidStr;
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].text, "first");
    EXPECT_EQ(words(w[0]), (std::vector<uint32_t>{0x00020041, 0x00080024}));
    EXPECT_EQ(w[0].flag, 1);
    EXPECT_EQ(w[1].text, "second");
    EXPECT_EQ(words(w[1]), std::vector<uint32_t>{0x00020042});
    EXPECT_EQ(w[1].nKeyCount, 1);
    EXPECT_EQ(PropertyLviBase::bNotFirstEntry, 1);
    EXPECT_EQ(entry.value, "second");
    EXPECT_EQ(editor->getText(), "second");
    EXPECT_EQ(editor->getHotKeyCtrl()->selectedStringLine->text(), "");
    EXPECT_GE(repaints(), 1);
    EXPECT_EQ(client.loads, 0);
}

// After a deletion, the close box gives the field's own strings back to the
// working copy before the row is applied: the deletion stays, the key added
// in the dialog goes, and the other keys keep their events.
TEST_F(StringEditor, CloseBoxAfterADeletionReloadsTheFieldsStrings) {
    client.fieldStrings = {str("first", {0x00020041, 0x00020042, 0x00020043}, 1)};
    PropertyLviBase::VRmuValidStr = client.fieldStrings;
    PropertyLviBase::bNotFirstEntry = 1;
    press([](HotKeyCtrl& d) {
        d.stringsList->setCurrentRow(0);
        d.keysList->setCurrentRow(0);
        d.removeButton->click();
        ctrl(d, Qt::Key_D);
        d.close();
    });
    EXPECT_EQ(client.told, std::vector<std::string>{"key 0 0"});
    EXPECT_EQ(client.loads, 1);
    const auto& w = PropertyLviBase::VRmuValidStr;
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(words(w[0]), (std::vector<uint32_t>{0x00020042, 0x00020043}));
    ASSERT_TRUE(w[0].keys[0].event);
    EXPECT_EQ(w[0].keys[0].event->message, "event of " + std::to_string(0x00020042));
    EXPECT_EQ(entry.value, "");
    EXPECT_EQ(repaints(), 1);
}

TEST_F(StringEditor, CloseWithNoStringLeftGivesAnEmptyValue) {
    PropertyLviBase::VRmuValidStr = {str("only", {}, 1)};
    PropertyLviBase::bNotFirstEntry = 1;
    press([](HotKeyCtrl& d) {
        d.stringsList->setCurrentRow(0);
        d.closeButton->click();
    });
    EXPECT_EQ(entry.value, "only");
    press([](HotKeyCtrl& d) {
        d.stringsList->setCurrentRow(0);
        d.removeButton->click();
        EXPECT_EQ(d.stringsList->count(), 0);
        d.closeButton->click();
    });
    EXPECT_TRUE(PropertyLviBase::VRmuValidStr.empty());
    EXPECT_EQ(PropertyLviBase::bNotFirstEntry, 0);
    EXPECT_EQ(entry.value, "");
}

} // namespace
