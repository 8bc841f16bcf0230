// The validation editors bound to real objects: the string editor's dialog
// on a validation field (Close and the window's close box), the error
// editor's dialog on the field, and the message editor on a hyperlink event
// and a validation key.
#include "../properties/HotKeyStrokes.h"
#include "InteractiveTestHost.h"

#include "objects/interactive/CEditValidationField.h"
#include "objects/interactive/CHyperLink.h"
#include "objects/interactive/CValidationField.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/HotKeyCtrl.h"
#include "properties/PropertyBoxClient.h"
#include "properties/editors/PropertyLviValidationError.h"
#include "properties/editors/PropertyLviValidationMessage.h"
#include "properties/editors/PropertyLviValidationString.h"
#include "properties/editors/ValidationError.h"
#include "support/ValidationStrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using interactivetest::FakeHost;
using interactivetest::SpyMediaLibrary;
using testsupport::CTRL_A;
using testsupport::HOME;
using testsupport::SHIFT_B;
using testsupport::validationString;

// The property box's questions answered by the objects themselves, as the
// view answers them.
class ObjectsClient : public PropertyBoxClient {
  public:
    FakeHost* host = nullptr;
    EditPropertyBox* box = nullptr;
    static DrawTools* object(QObject* item) { return qobject_cast<DrawTools*>(item); }

    EditPropertyBox* _get_editprop_box() override { return box; }
    QObject* getSelectedItem() override { return host->selected; }
    void slotResetCombo() override {}
    int getTotalFrames() override { return 0; }
    QString getFrameObjName(int) override { return {}; }
    int getNumValidationFields() override { return 0; }
    QString getValidationObjName(int) override { return {}; }
    QSize getScreenResolution() override { return {1024, 768}; }
    int drawingObject(QObject* item) override { return object(item) ? object(item)->drawingObject : -1; }
    EditPropertyBase* getEditPropertyBase(QObject* item) override {
        return object(item)->getEditPropertyBase();
    }
    void setGeometryEntrys(QObject* item, int* l, int* t, int* w, int* h) override {
        object(item)->setGeometryEntrys(l, t, w, h);
    }
    void repaintItem(QObject* item, const QString&) override { object(item)->repaintItem(); }
    void setEventProperty(QObject* item, int event) override { object(item)->setEventProperty(event); }
    void setEventProperty(QObject* item, int s, int k) override { object(item)->setEventProperty(s, k); }
    void addEventPropEntrys(QObject* item, int event) override { object(item)->addEventPropEntrys(event); }
    void addEventPropEntrys(QObject* item, int s, int k) override { object(item)->addEventPropEntrys(s, k); }
    bool isUserActionDisabled(QObject*) override { return false; }
    void removedKey(QObject* item, int s, int k) override { object(item)->removedKey(s, k); }
    void resizeMultiStringVector(QObject* item, int s) override { object(item)->resizeMultiStringVector(s); }
    void loadValidationStrings(QObject* item) override { object(item)->loadValidationStrings(); }
};

std::vector<uint32_t> words(const sMultiValidationString& s) {
    std::vector<uint32_t> w;
    for (const sValidationKey& k : s.keys)
        w.push_back(k.uiValidationKey);
    return w;
}

class ValidationEditorsOnField : public ::testing::Test {
  public:
    void SetUp() override {
        interactivetest::app();
        DrawTools::setMediaLibrary(&media);
        PropertyLviBase::resetSharedRecords();
        HotKeyCtrl::setConfirm([](QWidget*, const QString&) { return true; });
        host = std::make_unique<FakeHost>(3);
        client.host = host.get();
        box = std::make_unique<EditPropertyBox>(&client, nullptr, "Edit", false, 0);
        client.box = box.get();
        field = std::make_unique<CValidationField>(nullptr, nullptr, nullptr, 1);
        field->restoreGeometry(QRect(20, 30, 200, 40));
        host->selected = field.get();
    }
    void TearDown() override {
        field.reset();
        box.reset();
        host.reset();
        HotKeyCtrl::setConfirm({});
        DrawTools::setMediaLibrary(nullptr);
        PropertyLviBase::resetSharedRecords();
    }
    sValidationField& rec() { return field->editor()->field(); }
    // The field with strings applied as a Close would apply them, then
    // pressed, so the working copy holds them.
    void giveStrings(std::vector<sMultiValidationString> strings, const char* named) {
        PropertyLviBase::VRmuValidStr = std::move(strings);
        field->getEditPropertyBase()->setProp_Value("Validation String", named);
        host->propertyRow = "Validation String";
        field->repaintItem();
        field->loadValidationStrings();
    }
    EditPropertyEntry* row(const char* name) { return field->getEditPropertyBase()->getProp(name); }
    // Runs `work` on the modal dialog once it is open, then presses "...".
    template <class Editor> void press(Editor& editor, QDialog* dialog, std::function<void()> work) {
        QTimer::singleShot(0, [dialog, work] {
            QApplication::setActiveWindow(dialog);
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            work();
        });
        QTest::mouseClick(editor.getButton(), Qt::LeftButton);
    }
    static void ctrl(HotKeyCtrl& d, Qt::Key letter) {
        hotkeytest::ctrlWith(letter);
        d.addButton->click();
    }

    SpyMediaLibrary media;
    std::unique_ptr<FakeHost> host;
    ObjectsClient client;
    std::unique_ptr<EditPropertyBox> box;
    std::unique_ptr<CValidationField> field;
};

TEST_F(ValidationEditorsOnField, CloseKeepsBothStringsAndTheKeyAddedToTheSecond) {
    giveStrings({validationString("first", {CTRL_A}), validationString("second", {})}, "first");
    host->propertyRow = "Validation String";
    PropertyLviValidationString editor(nullptr, &client, row("Validation String"), nullptr);
    HotKeyCtrl& d = *editor.getHotKeyCtrl();
    press(editor, &d, [&] {
        ASSERT_EQ(d.stringsList->count(), 2);
        d.stringsList->setCurrentRow(1);
        ctrl(d, Qt::Key_B);
        d.closeButton->click();
    });
    const auto& list = rec().strings.list;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].text, "first");
    EXPECT_EQ(words(list[0]), std::vector<uint32_t>{CTRL_A});
    EXPECT_EQ(list[1].text, "second");
    EXPECT_EQ(words(list[1]), std::vector<uint32_t>{0x00020042});
    EXPECT_EQ(field->getEditPropertyBase()->getPropValue("Validation String"), "second");
    // The named string has a key, so the Events page is on.
    EXPECT_TRUE(field->hasEvents);
}

// A string without keys leaves the Events page alone: it follows the named
// string, which has a key.
TEST_F(ValidationEditorsOnField, KeylessStringLeavesTheEventsFlagToTheNamedString) {
    giveStrings({validationString("first", {CTRL_A}), validationString("second", {})}, "first");
    host->eventsPageStates.clear();
    host->propertyRow = "Validation String";
    PropertyLviValidationString editor(nullptr, &client, row("Validation String"), nullptr);
    HotKeyCtrl& d = *editor.getHotKeyCtrl();
    press(editor, &d, [&] {
        d.stringsList->setCurrentRow(0);
        d.closeButton->click();
    });
    EXPECT_EQ(field->getEditPropertyBase()->getPropValue("Validation String"), "first");
    EXPECT_TRUE(field->hasEvents);
    ASSERT_FALSE(host->eventsPageStates.empty());
    EXPECT_TRUE(host->eventsPageStates.back());
}

// A deleted key reaches the field at once; the close box then brings back
// nothing: the other keys keep their own events and the added key is dropped.
TEST_F(ValidationEditorsOnField, CloseBoxAfterADeletedKeyKeepsTheOtherKeysEvents) {
    giveStrings({validationString("abc", {CTRL_A, SHIFT_B, HOME})}, "abc");
    auto& keys = rec().strings.list[0].keys;
    for (size_t i = 0; i < keys.size(); ++i) {
        keys[i].event = sValidationKeyEvent{};
        keys[i].event->imageId = uint32_t(11 + i);
    }
    host->propertyRow = "Validation String";
    PropertyLviValidationString editor(nullptr, &client, row("Validation String"), nullptr);
    HotKeyCtrl& d = *editor.getHotKeyCtrl();
    press(editor, &d, [&] {
        d.stringsList->setCurrentRow(0);
        ASSERT_EQ(d.keysList->count(), 3);
        d.keysList->setCurrentRow(0);
        d.removeButton->click();
        ctrl(d, Qt::Key_D);
        d.close();
    });
    const auto& list = rec().strings.list;
    ASSERT_EQ(list.size(), 1u);
    ASSERT_EQ(words(list[0]), (std::vector<uint32_t>{SHIFT_B, HOME}));
    ASSERT_TRUE(list[0].keys[0].event && list[0].keys[1].event);
    EXPECT_EQ(list[0].keys[0].event->imageId, 12u);
    EXPECT_EQ(list[0].keys[1].event->imageId, 13u);
    EXPECT_EQ(media.deleted, std::vector<unsigned long>{11});
    ASSERT_EQ(PropertyLviBase::VRmuValidStr.size(), 1u);
    EXPECT_EQ(words(PropertyLviBase::VRmuValidStr[0]), (std::vector<uint32_t>{SHIFT_B, HOME}));
}

TEST_F(ValidationEditorsOnField, ErrorShownAgainAfterOkAndEmptyAfterCancel) {
    host->propertyRow = "Validation Error Message";
    PropertyLviValidationError editor(nullptr, &client, row("Validation Error Message"), nullptr, 0);
    ValidationError& d = *editor.getMessageDialog();
    QStringList shown;
    auto answer = [&](const QString& text, bool ok) {
        press(editor, &d, [&, text, ok] {
            shown << d.textBox->toPlainText() + "|" + d.captionLine->text();
            if (!text.isEmpty()) {
                d.textBox->setPlainText(text);
                d.captionLine->setText("Oops");
            }
            (ok ? d.okButton : d.cancelButton)->click();
        });
    };
    answer("Try again", true);
    EXPECT_EQ(rec().errorText, "Try again");
    ASSERT_TRUE(rec().dialog);
    EXPECT_EQ(rec().dialog->caption0, "Oops");
    answer("", true);
    answer("", false);
    EXPECT_EQ(rec().errorText, "");
    answer("", false);
    EXPECT_EQ(shown, (QStringList{"|", "Try again|Oops", "Try again|Oops", "|"}));
}

TEST_F(ValidationEditorsOnField, MessagesOfAHyperlinkEventAndAValidationKeyStoredThroughTheirEditors) {
    box->tabWidget->setCurrentIndex(1);
    host->page = 1;
    host->eventRow = "Validation Message";

    CHyperLink link(nullptr, nullptr, 1);
    host->selected = &link;
    link.addEventPropEntrys(2);
    PropertyLviValidationMessage onLink(
        nullptr, &client, link.getEditPropertyBase()->getEventProperties(2, "Validation Message"), nullptr, 0,
        2);
    ValidationError& d1 = *onLink.getMessageDialog();
    press(onLink, &d1, [&] {
        d1.textBox->setPlainText("Well done");
        d1.captionLine->setText("Yes");
        d1.okButton->click();
    });
    EXPECT_EQ(link.payload().events[2].message, "Well done");
    ASSERT_TRUE(link.payload().events[2].dialog);
    EXPECT_EQ(link.payload().events[2].dialog->caption0, "Yes");

    host->selected = field.get();
    giveStrings({validationString("abc", {CTRL_A, SHIFT_B})}, "abc");
    rec().strings.list[0].keys[1].event = sValidationKeyEvent{};
    field->addEventPropEntrys(0, 1);
    PropertyLviValidationMessage onKey(
        nullptr, &client, field->getEditPropertyBase()->getValProperties(0, 1, "Validation Message"), nullptr,
        0, 1);
    ValidationError& d2 = *onKey.getMessageDialog();
    press(onKey, &d2, [&] {
        d2.textBox->setPlainText("Shift B!");
        d2.captionLine->setText("Key");
        d2.okButton->click();
    });
    const sValidationKeyEvent& e = *rec().strings.list[0].keys[1].event;
    EXPECT_EQ(e.message, "Shift B!");
    EXPECT_EQ(e.caption, "Key");
}

} // namespace
