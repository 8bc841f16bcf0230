// Text fields on a real holder: made by the tool, typed into, deleted by a
// key that reaches their editor and brought back by undo, and taken in from
// and written back to the stored form.
#include "ObjectHolderFixture.h"
#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CTextField.h"
#include "objects/interactive/TextFieldRecord.h"

namespace {

using canvastest::sendKey;

class HolderTextFieldTest : public canvastest::ObjectHolderTest {
  protected:
    CTextField* drawField(QPoint from, QPoint to) {
        return dynamic_cast<CTextField*>(drawWithTool(TEXTFIELD, from, to));
    }
};

TEST_F(HolderTextFieldTest, ToolMakesALiveFieldWithTheDraggedRectangle) {
    CTextField* f = drawField(QPoint(40, 50), QPoint(240, 150));
    ASSERT_NE(nullptr, f);
    const sTextField& p = f->editor()->field();
    EXPECT_EQ("Text Field 1", p.name);
    EXPECT_EQ(QRect(40, 50, 200, 100), QRect(p.x, p.y, p.width, p.height));
    EXPECT_TRUE(f->editor()->isVisible());
    EXPECT_EQ(QRect(40, 50, 200, 100), f->editor()->geometry());
}

TEST_F(HolderTextFieldTest, DeleteAtTheUnfocusedEditorRemovesTheFieldAndUndoKeepsItsText) {
    CTextField* f = drawField(QPoint(40, 50), QPoint(240, 150));
    ASSERT_NE(nullptr, f);
    f->editor()->entry()->setPlainText("keep me");
    f->editor()->entry()->clearFocus();
    const size_t before = holder->liveObjects().size();
    internals(holder).vSelectedObjectIndex = {int(before - 1)};
    sendKey(f->editor(), Qt::Key_Delete);
    ASSERT_EQ(before - 1, holder->liveObjects().size());
    holder->slotUndoAction();
    ASSERT_EQ(before, holder->liveObjects().size());
    auto* back = dynamic_cast<CTextField*>(holder->liveObjects().back());
    ASSERT_NE(nullptr, back);
    EXPECT_EQ("keep me", back->getWrittenText());
    EXPECT_EQ("keep me", back->editor()->field().text);
}

TEST_F(HolderTextFieldTest, StoredFieldBecomesLiveAndIsWrittenBackByteForByte) {
    NVAllObjects r;
    r.drawingObject = TEXTFIELD;
    r.objectID = "F4";
    sTextField s;
    s.name = "Text Field 4";
    s.attribute = 1;
    s.x = 30;
    s.y = 40;
    s.width = 150;
    s.height = 60;
    s.font = NVFont{};
    s.backColor = NVColor{255, 255, 255};
    s.scrolling = 1;
    s.text = toStoredText(QString::fromUtf8("Hello {world} é"));
    r.payload = s;
    sAllObjects field = TextFieldRecord::toStored(r);
    field.frameIndex = 1;
    std::vector<sAllObjects> in;
    ASSERT_NO_FATAL_FAILURE(putInFrame1(field, in));
    EXPECT_EQ(2u, holder->allObjects()[1].AllObjects.size());

    holder->slot_get_current_frame(1);
    settle(50);
    CTextField* live = lastLive<CTextField>();
    ASSERT_NE(nullptr, live);
    EXPECT_EQ(QString::fromUtf8("Hello {world} é"), live->getWrittenText());
    ASSERT_NO_FATAL_FAILURE(expectWrittenBackInFrame1(in[1]));
}

} // namespace
