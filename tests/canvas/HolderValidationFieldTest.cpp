// Validation fields on a real holder: IDs that stay unique after a deletion
// and come back with undo, the Events page on a chooser pick, the strings a
// pick loads, and the stored form taken in and written back.
#include "ObjectHolderFixture.h"
#include "objects/interactive/CEditValidationField.h"
#include "objects/interactive/CHyperLink.h"
#include "objects/interactive/CValidationField.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/EditPropertyEntry.h"
#include "properties/PropertyLviBase.h"
#include "store/CValidationData.h"
#include "support/ValidationStrings.h"

#include <QTabWidget>

namespace {

using canvastest::sendKey;
using testsupport::validationString;

class HolderValidationFieldTest : public canvastest::ObjectHolderTest {
  protected:
    void SetUp() override {
        ObjectHolderTest::SetUp();
        PropertyLviBase::resetSharedRecords();
    }
    void TearDown() override {
        PropertyLviBase::resetSharedRecords();
        ObjectHolderTest::TearDown();
    }
    CValidationField* drawField(QPoint from, QPoint to) {
        return dynamic_cast<CValidationField*>(drawWithTool(VALIDATIONFIELD, from, to));
    }
    std::vector<int> liveIds() {
        std::vector<int> ids;
        for (DrawTools* o : holder->liveObjects())
            if (o && o->drawingObject == VALIDATIONFIELD)
                ids.push_back(o->getObjectID());
        return ids;
    }
    int indexOf(DrawTools* object) {
        const auto& live = holder->liveObjects();
        for (size_t i = 0; i < live.size(); ++i)
            if (live[i] == object)
                return int(i);
        return -1;
    }
    void applyStrings(CValidationField& f, std::vector<sMultiValidationString> work, const QString& named) {
        PropertyLviBase::VRmuValidStr = std::move(work);
        PropertyLviBase::bNotFirstEntry = 1;
        f.getEditPropertyBase()->setProp_Value("Validation String", named);
        f.applyProperty("Validation String");
    }
};

TEST_F(HolderValidationFieldTest, IdsStayUniqueAfterADeletionAndUndoBringsTheFirstTwoBack) {
    ASSERT_NE(nullptr, drawField(QPoint(40, 50), QPoint(240, 90)));
    CValidationField* second = drawField(QPoint(40, 150), QPoint(240, 190));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ((std::vector<int>{1, 2}), liveIds());

    second->editor()->clearFocus();
    internals(holder).vSelectedObjectIndex = {indexOf(second)};
    sendKey(second->editor(), Qt::Key_Delete);
    EXPECT_EQ(std::vector<int>{1}, liveIds());
    CValidationField* third = drawField(QPoint(40, 250), QPoint(240, 290));
    ASSERT_NE(nullptr, third);
    // The count rule would give 2 again, the ID of the field Undo brings back.
    EXPECT_EQ((std::vector<int>{1, 3}), liveIds());
    EXPECT_EQ("Validation Field 3", third->editor()->field().name);

    // A hyperlink whose target is 3 shows the third field.
    CHyperLink link(nullptr, nullptr, 1);
    link.payload().events[0].validationTarget = 3;
    link.addEventPropEntrys(0);
    EditPropertyEntry* target = link.getEditPropertyBase()->getEventProperties(0, "Validation Target");
    ASSERT_NE(nullptr, target);
    EXPECT_EQ("Validation Field 3", target->value);

    holder->slotUndoAction();
    holder->slotUndoAction();
    EXPECT_EQ((std::vector<int>{1, 2}), liveIds());
}

TEST_F(HolderValidationFieldTest, ChooserPickEnablesTheEventsPageWhenTheNamedStringHasKeys) {
    EditPropertyBox* box = view->_get_editprop_box();
    box->show();
    settle(50);
    CValidationField* first = drawField(QPoint(40, 50), QPoint(240, 90));
    ASSERT_NE(nullptr, first);
    // The keyless string comes last.
    applyStrings(*first, {validationString("abc", {0x20041}), validationString("xyz", {})}, "abc");
    CValidationField* second = drawField(QPoint(40, 150), QPoint(240, 190));
    ASSERT_NE(nullptr, second);
    applyStrings(*second, {validationString("two", {})}, "two");
    // A press on the second, whose string has no keys, loads its strings.
    second->editor()->afterHandleTestHook();
    ASSERT_EQ(1u, PropertyLviBase::VRmuValidStr.size());

    box->tabWidget->setCurrentIndex(0);
    holder->slotItemSelectedFromProperty(indexOf(first));
    EXPECT_TRUE(box->tabWidget->isTabEnabled(1));
    // The pick loads the picked field's strings for the string editor.
    ASSERT_EQ(2u, PropertyLviBase::VRmuValidStr.size());
    EXPECT_EQ("abc", PropertyLviBase::VRmuValidStr[0].text);

    holder->slotItemSelectedFromProperty(indexOf(second));
    EXPECT_FALSE(box->tabWidget->isTabEnabled(1));
    ASSERT_EQ(1u, PropertyLviBase::VRmuValidStr.size());
    EXPECT_EQ("two", PropertyLviBase::VRmuValidStr[0].text);

    first->getEditPropertyBase()->setProp_Value("Validation String", "xyz");
    first->applyProperty("Validation String");
    holder->slotItemSelectedFromProperty(indexOf(first));
    EXPECT_FALSE(box->tabWidget->isTabEnabled(1));
    box->hide();
}

TEST_F(HolderValidationFieldTest, StoredFieldBecomesLiveAndIsWrittenBackByteForByte) {
    StoredValidationField v;
    v.control.name = "Validation Field 4";
    v.control.attribute = 1;
    v.control.x = 30;
    v.control.y = 40;
    v.control.width = 150;
    v.control.height = 30;
    v.control.backColor = 0x00FFFFFF;
    v.font.height = v.font.width = -12;
    v.font.weight = 50;
    v.font.family = "helvetica";
    v.validationNumber = v.validationId = 4;
    v.dialogLength = 44;
    v.dialog = sMessageDialogBlock{};
    v.dialog->caption1 = "Oops";
    v.dialog->icon1 = 0x05010001;
    v.errorText = "Wrong";
    v.caseSensitive = 1;
    SMultiString strings;
    strings.list.push_back(validationString("abc", {0x20041, 0x10042}));
    strings.list[0].keys[0].event = sValidationKeyEvent{};
    strings.list[0].keys[0].event->message = "Well done";
    strings.list[0].keys[0].event->caption = "Hi";
    strings.list[0].keys[0].event->imageId = 0x06010002;
    strings.list.push_back(validationString("xyz", {}));
    v.validationData = CValidationData().pack(strings);
    sAllObjects field;
    field.drawingObject = VALIDATIONFIELD;
    field.objectID = "V4";
    field.frameIndex = 1;
    field.payload = v;

    std::vector<sAllObjects> in;
    ASSERT_NO_FATAL_FAILURE(putInFrame1(field, in));
    holder->slot_get_current_frame(1);
    settle(50);
    std::vector<int> ids = liveIds();
    EXPECT_EQ(std::vector<int>{4}, ids);
    ASSERT_NO_FATAL_FAILURE(expectWrittenBackInFrame1(in[1]));
}

} // namespace
