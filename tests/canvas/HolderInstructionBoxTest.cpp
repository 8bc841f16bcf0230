// Instruction boxes on a real holder: made by the tool, moved by a drag on
// the title bar and moved back by undo, their typing kept across a frame
// change, and taken in from and written back to the stored form with the
// frame's counter.
#include "canvas/DrawTools.h"
#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditInstructionBox.h"
#include "objects/interactive/CEditInstructionBoxLabel.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CInstructionBox.h"
#include "objects/interactive/InstructionBoxRecord.h"
#include "properties/EditPropertyBase.h"

// Xlib after the toolkit headers.
#include "ObjectHolderFixture.h"

namespace {

class HolderInstructionBoxTest : public canvastest::ObjectHolderTest {
  protected:
    CInstructionBox* drawBox(QPoint from, QPoint to) {
        drawWithTool(INSTRUCTIONBOX, from, to);
        return liveBox();
    }
    CInstructionBox* liveBox() const { return lastLive<CInstructionBox>(); }
};

TEST_F(HolderInstructionBoxTest, ToolMakesALiveBoxWithTheDraggedRectangle) {
    CInstructionBox* b = drawBox(QPoint(40, 50), QPoint(280, 170));
    ASSERT_NE(nullptr, b);
    const sInstructionBox& p = b->editor()->box();
    EXPECT_EQ("Instruction Box 1", p.name);
    EXPECT_STREQ("I1", b->getObjectIDText());
    EXPECT_EQ(QRect(40, 50, 240, 120), QRect(p.x, p.y, p.width, p.height));
    EXPECT_TRUE(b->editor()->isVisible());
    EXPECT_EQ(QRect(40, 50, 240, 120), b->editor()->geometry());
    EXPECT_EQ(1, VLImageHolder::currentCounters().numInstructionBoxes);
}

TEST_F(HolderInstructionBoxTest, TitleBarDragMovesTheBoxAndUndoPutsItBack) {
    CInstructionBox* b = drawBox(QPoint(40, 50), QPoint(280, 170));
    ASSERT_NE(nullptr, b);
    QWidget* label = b->editor()->label();
    send(label, QEvent::MouseButtonPress, QPoint(30, 5), Qt::LeftButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, QPoint(60, 25), Qt::NoButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, QPoint(130, 65), Qt::NoButton, Qt::LeftButton);
    send(label, QEvent::MouseButtonRelease, QPoint(130, 65), Qt::LeftButton, Qt::NoButton);
    settle(50);
    EXPECT_EQ(QRect(140, 110, 240, 120), b->editor()->geometry());
    holder->slotUndoAction();
    settle(50);
    CInstructionBox* back = liveBox();
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(QRect(40, 50, 240, 120), back->editor()->geometry());
    const sInstructionBox& p = back->editor()->box();
    EXPECT_EQ(QRect(40, 50, 240, 120), QRect(p.x, p.y, p.width, p.height));
}

TEST_F(HolderInstructionBoxTest, TypedTextAndAppliedRowsSurviveAFrameChange) {
    CInstructionBox* b = drawBox(QPoint(40, 50), QPoint(280, 170));
    ASSERT_NE(nullptr, b);
    b->editor()->entry()->setPlainText("Click Next");
    b->getEditPropertyBase()->setProp_Value("Caption", "Step 1");
    b->getEditPropertyBase()->setProp_Value("Title Bar", "Off");
    b->repaintItem();
    holder->slot_get_current_frame(1);
    holder->slot_get_current_frame(0);
    settle(50);
    CInstructionBox* again = liveBox();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ("Click Next", again->getWrittenText());
    EXPECT_EQ("Step 1", again->editor()->label()->text());
    EXPECT_TRUE(again->editor()->label()->isHidden());
    EXPECT_EQ("Off", again->getEditPropertyBase()->getPropValue("Title Bar"));
    EXPECT_EQ(QRect(40, 50, 240, 120), again->editor()->geometry());
}

TEST_F(HolderInstructionBoxTest, StoredBoxBecomesLiveAndIsWrittenBackByteForByte) {
    NVAllObjects r;
    r.drawingObject = INSTRUCTIONBOX;
    r.objectID = "I3";
    sInstructionBox s;
    s.name = "Instruction Box 3";
    s.caption = "Step 1";
    s.x = 30;
    s.y = 40;
    s.width = 220;
    s.height = 100;
    s.font = NVFont{"courier", 14};
    s.backColor = NVColor{255, 255, 224};
    s.foreColor = NVColor{0, 0, 128};
    s.scrolling = 0;
    s.titleBar = 0;
    s.text = toStoredText(QString::fromUtf8("Click {Next} é"));
    r.payload = s;
    sAllObjects stored = InstructionBoxRecord::toStored(r);
    stored.frameIndex = 1;
    std::vector<sAllObjects> in;
    ASSERT_NO_FATAL_FAILURE(putInFrame1(stored, in));
    ASSERT_EQ(2u, holder->allObjects()[1].AllObjects.size());
    EXPECT_EQ(3, internals(holder).vLastObjectNumber[1].numInstructionBoxes);

    holder->slot_get_current_frame(1);
    settle(50);
    CInstructionBox* live = liveBox();
    ASSERT_NE(nullptr, live);
    EXPECT_EQ(3, VLImageHolder::currentCounters().numInstructionBoxes);
    EXPECT_EQ(QString::fromUtf8("Click {Next} é"), live->getWrittenText());
    EXPECT_EQ("Step 1", live->editor()->label()->text());
    EXPECT_TRUE(live->editor()->label()->isHidden());
    EXPECT_EQ("No", live->getEditPropertyBase()->getPropValue("Scrolling"));
    EXPECT_EQ("courier", live->editor()->entry()->font().family());
    ASSERT_NO_FATAL_FAILURE(expectWrittenBackInFrame1(in[1]));
}

} // namespace
