// Instruction boxes on a real holder: made by the tool, moved by a drag on
// the title bar and moved back by undo, their typing kept across a frame
// change, and taken in from and written back to the stored form with the
// frame's counter.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditInstructionBox.h"
#include "objects/interactive/CEditInstructionBoxLabel.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CInstructionBox.h"
#include "objects/interactive/HolderInteractiveHost.h"
#include "objects/interactive/InstructionBoxRecord.h"
#include "properties/EditPropertyBase.h"
#include "store/DatRecords.h"

#include <QCoreApplication>
#include <QMouseEvent>

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;

class BoxHost : public HolderInteractiveHost {
  public:
    using HolderInteractiveHost::HolderInteractiveHost;
    std::vector<SPlayBackFrameInfo>* playbackRecords() override { return nullptr; }
    void changeFrameColor(const QColor&) override {}
    void setUserActionStatus(bool) override {}
    void soundAddedOrRemovedInFrame(bool) override {}
};

bool sameBytes(const sAllObjects& a, const sAllObjects& b) {
    return a.toBytes() == b.toBytes() && a.tailBytes() == b.tailBytes();
}

class HolderInstructionBoxTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installHolderObjectKinds();
        host = std::make_unique<BoxHost>(holder);
        InteractiveHost::setCurrent(host.get());
        showPattern(800, 600);
        holder->setPlaybackRecords(&playback);
        playback.assign(2, SPlayBackFrameInfo{});
        holder->getNoFramesOnFileOpen(2);
        holder->slot_get_current_frame(0);
        VLImageHolder::setCurrentCounters(sLastObjectNumber{});
        internals(holder).vLastObjectNumber[0] = sLastObjectNumber{};
    }
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        InteractiveHost::setCurrent(nullptr);
        HolderTest::TearDown();
        host.reset();
    }
    // p in the target's coordinates.
    void send(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button,
              Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), QPointF(target->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
    CInstructionBox* drawBox(QPoint from, QPoint to) {
        holder->slot_select_draw_object(INSTRUCTIONBOX);
        send(holder, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(holder, QEvent::MouseMove, from + (to - from) / 2, Qt::NoButton, Qt::LeftButton);
        send(holder, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(holder, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        holder->slot_select_draw_object(SELECTION);
        settle(50);
        return liveBox();
    }
    CInstructionBox* liveBox() const {
        CInstructionBox* found = nullptr;
        for (DrawTools* o : holder->liveObjects())
            if (auto* b = dynamic_cast<CInstructionBox*>(o))
                found = b;
        return found;
    }

    std::unique_ptr<BoxHost> host;
    std::vector<SPlayBackFrameInfo> playback;
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
    std::vector<sAllObjects> first;
    ASSERT_TRUE(holder->getVectorRef(first, 1));
    ASSERT_FALSE(first.empty());
    std::vector<sAllObjects> in = {first.front(), stored};
    std::vector<sAllObjects> copy = in;
    ASSERT_TRUE(holder->setVectorRef(copy, 1));
    EXPECT_TRUE(holder->keptRecords(1).empty()) << "instruction boxes are converted, not kept";
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
    holder->slot_get_current_frame(0);
    holder->slot_get_current_frame(1);

    std::vector<sAllObjects> out;
    ASSERT_TRUE(holder->getVectorRef(out, 1));
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(INSTRUCTIONBOX, out[1].drawingObject);
    EXPECT_TRUE(sameBytes(in[1], out[1]));
}

} // namespace
