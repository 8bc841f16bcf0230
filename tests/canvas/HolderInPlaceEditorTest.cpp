// An in-place editor on a real holder: a stand-in widget kind installed in
// the holder's maker table, driven by real pointer events, drawn across by
// the holder's XOR outlines, nudged and undone with a rectangle, and made and
// taken back by the creation gesture.
#include "objects/InPlaceStandIn.h"
#include "objects/draw/DrawRect.h"
#include "properties/EditPropertyBox.h"

#include <QComboBox>

// Xlib after the toolkit headers.
#include "ObjectHolderFixture.h"

#include <X11/extensions/XTest.h>

namespace {

using canvastest::colourBits;
using canvastest::ImagePtr;
using inplacetest::StandInOwner;
using Box = InPlaceEditorFrame::Box;

// The stand-in takes the text field's row of the maker table.
void installStandInKind() {
    installHolderObjectKinds();
    HolderObjectFactory f = HolderObjectFactory::current();
    HolderKindMakers row;
    row.newAtTool = [](VLImageHolder* holder, QPaintDevice*, int, int number) -> DrawTools* {
        // As every new-object maker does: its name at the end of the chooser.
        if (InteractiveHost* host = InteractiveHost::current())
            host->appendObjectName(QStringLiteral("Text Field %1").arg(number));
        return new StandInOwner(holder, InPlaceEditorFrame::Policy::textField(), Box{0, 0, 0, 0});
    };
    row.ofRecord = [](VLImageHolder* holder, const NVAllObjects& record) -> DrawTools* {
        const sTextField* p = record.get<sTextField>();
        return p ? new StandInOwner(holder, InPlaceEditorFrame::Policy::textField(),
                                    Box{p->x, p->y, p->width, p->height})
                 : nullptr;
    };
    row.pasted = [](VLImageHolder* holder, const NVAllObjects& record, int, QPoint offset) -> DrawTools* {
        const sTextField* p = record.get<sTextField>();
        return p ? new StandInOwner(holder, InPlaceEditorFrame::Policy::textField(),
                                    Box{p->x + offset.x(), p->y + offset.y(), p->width, p->height})
                 : nullptr;
    };
    row.toStored = [](const NVAllObjects&, sAllObjects&) { return false; };
    row.fromStored = [](const sAllObjects&, NVAllObjects&) { return false; };
    f.setKind(TEXTFIELD, row);
    HolderObjectFactory::install(f);
}

class HolderInPlaceEditorTest : public canvastest::ObjectHolderTest {
  protected:
    void installKinds() override { installStandInKind(); }
    void drawWith(int tool, QPoint from, QPoint to) { drawWithTool(tool, from, to); }
    StandInOwner* standIn(size_t index) const {
        return dynamic_cast<StandInOwner*>(holder->liveObjects().at(index));
    }
    QRect rectAt(size_t index) const {
        const sDrawRect& s =
            *static_cast<DrawRect*>(holder->liveObjects().at(index))->record().get<sDrawRect>();
        return QRect(QPoint(s.left, s.top), QPoint(s.right, s.bottom));
    }
    static QRect boxRect(const Box& b) { return QRect(b.x, b.y, b.w, b.h); }
    static QStringList chooserNames(const QComboBox* c) {
        QStringList names;
        for (int i = 0; i < c->count(); ++i)
            names << c->itemText(i);
        return names;
    }

    // Real pointer events through the X server, at holder positions.
    void pointerTo(QPoint p) {
        const QPoint g = holder->mapToGlobal(p);
        XTestFakeMotionEvent(checker, DefaultScreen(checker), g.x(), g.y(), 0);
        XFlush(checker);
        settle(40);
    }
    void button(bool down) {
        XTestFakeButtonEvent(checker, 1, down ? True : False, 0);
        XFlush(checker);
        settle(60);
    }
    void pointerDrag(QPoint from, QPoint to) {
        pointerTo(from);
        button(true);
        pointerTo(from + (to - from) / 2);
        pointerTo(to);
        button(false);
    }
};

TEST_F(HolderInPlaceEditorTest, RealPointerDragsOnTheBodyAndOnAHandle) {
    int xtestEvent = 0, xtestError = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(checker, &xtestEvent, &xtestError, &major, &minor))
        GTEST_SKIP() << "the server has no XTest";
    drawWithTool(TEXTFIELD, {100, 100}, {250, 200});
    ASSERT_EQ(2u, holder->liveObjects().size());
    StandInOwner* owner = standIn(1);
    ASSERT_NE(nullptr, owner);
    ASSERT_EQ(QRect(100, 100, 150, 100), boxRect(owner->editor()->frame.rect()));
    ASSERT_TRUE(owner->editor()->isVisible());
    EXPECT_EQ(QRect(100, 100, 150, 100), owner->editor()->geometry());
    EXPECT_TRUE(owner->editor()->testAttribute(Qt::WA_NativeWindow));

    // The body: the editor itself receives the pointer.
    const size_t undoBefore = internals(holder).stUndoCodes.size();
    pointerDrag({150, 150}, {190, 170});
    (void)QTest::qWaitFor([&] { return owner->editor()->notices.size() >= 2; }, 3000);
    EXPECT_EQ(QRect(140, 120, 150, 100), boxRect(owner->editor()->frame.rect()));
    EXPECT_EQ(QRect(140, 120, 150, 100), owner->editor()->geometry());
    EXPECT_EQ(std::vector<std::string>({"selected", "moved 100,100,150,100"}), owner->editor()->notices);
    ASSERT_EQ(std::vector<int>{1}, holder->selectedIndexes());
    EXPECT_EQ(undoBefore + 1, internals(holder).stUndoCodes.size());
    EXPECT_EQ(QRect(100, 100, 150, 100), internals(holder).stRects.top());

    // The bottom-right handle lies outside the editor: the holder receives
    // the pointer and passes it on.
    pointerTo({200, 200});
    pointerTo({293, 223});
    // The hover, passed on by the holder, shows the handle's cursor.
    EXPECT_TRUE(QTest::qWaitFor([&] { return holder->cursor().shape() == Qt::SizeFDiagCursor; }, 3000));
    pointerDrag({293, 223}, {333, 243});
    (void)QTest::qWaitFor([&] { return owner->editor()->frame.rect().w != 150; }, 3000);
    EXPECT_EQ(QRect(140, 120, 190, 120), boxRect(owner->editor()->frame.rect()));
    EXPECT_EQ(QRect(140, 120, 190, 120), owner->editor()->geometry());

    // Undo gives the resize back, then the move.
    holder->slotUndoAction();
    EXPECT_EQ(QRect(140, 120, 150, 100), boxRect(owner->editor()->frame.rect()));
    holder->slotUndoAction();
    EXPECT_EQ(QRect(100, 100, 150, 100), boxRect(owner->editor()->frame.rect()));
    EXPECT_EQ(QRect(100, 100, 150, 100), owner->editor()->geometry());
}

TEST_F(HolderInPlaceEditorTest, XorOutlineStopsAtTheNativeEditor) {
    drawWithTool(TEXTFIELD, {100, 100}, {250, 200});
    StandInOwner* owner = standIn(1);
    ASSERT_NE(nullptr, owner);
    holder->drawContents();
    settle(100);
    const QRect area(60, 80, 260, 160);
    const QRect editorArea(100 - area.x(), 100 - area.y(), 150, 100);
    ImagePtr before = grabScreen(toGlobal(area));

    // An outline through the editor, from left of it to right of it.
    host->drawBand(QRect(70, 140, 240, 30));
    settle(50);
    ImagePtr drawn = grabScreen(toGlobal(area));
    long editorChanged = 0, holderChanged = 0;
    for (int y = 0; y < before->height; ++y)
        for (int x = 0; x < before->width; ++x) {
            const bool changed = colourBits(before.get(), XGetPixel(before.get(), x, y)) !=
                                 colourBits(drawn.get(), XGetPixel(drawn.get(), x, y));
            if (!changed)
                continue;
            if (editorArea.contains(x, y))
                ++editorChanged;
            else
                ++holderChanged;
        }
    EXPECT_EQ(0, editorChanged);
    // The outline's pixels left and right of the editor: 2 x 30 on the
    // left edge and the two rows' parts outside.
    EXPECT_GT(holderChanged, 100);

    // A repaint of the holder takes the outline away and leaves the editor.
    holder->drawContents();
    settle(100);
    ImagePtr after = grabScreen(toGlobal(area));
    EXPECT_EQ(0, mismatches(after.get(), before.get()));
}

TEST_F(HolderInPlaceEditorTest, NudgeThreeTimesAndUndoBringsBothBack) {
    drawWithTool(TEXTFIELD, {100, 100}, {250, 200});
    drawWithTool(RECTANGLE, {400, 300}, {460, 340});
    ASSERT_EQ(3u, holder->liveObjects().size());
    StandInOwner* owner = standIn(1);
    ASSERT_NE(nullptr, owner);
    const QRect rectBefore = rectAt(2);
    internals(holder).vSelectedObjectIndex = {1, 2};
    holder->setObjectSelection(true);
    internals(holder).moveUndoSaved = false;

    for (int i = 0; i < 3; ++i)
        canvastest::sendKey(holder, Qt::Key_Right);
    settle(50);
    EXPECT_EQ(QRect(103, 100, 150, 100), boxRect(owner->editor()->frame.rect()));
    EXPECT_EQ(QRect(103, 100, 150, 100), owner->editor()->geometry());
    EXPECT_EQ(rectBefore.translated(3, 0), rectAt(2));

    holder->slotUndoAction();
    settle(50);
    EXPECT_EQ(QRect(100, 100, 150, 100), boxRect(owner->editor()->frame.rect()));
    EXPECT_EQ(QRect(100, 100, 150, 100), owner->editor()->geometry());
    EXPECT_EQ(rectBefore, rectAt(2));
}

TEST_F(HolderInPlaceEditorTest, CreationReleasedOnItsStartRowTakesTheNumberBack) {
    drawWithTool(TEXTFIELD, {100, 100}, {250, 200});
    ASSERT_EQ(2u, holder->liveObjects().size());
    ASSERT_EQ(1, VLImageHolder::currentCounters().numTextFields);
    const size_t undo = internals(holder).stUndoCodes.size();
    QComboBox* chooser = view->_get_editprop_box()->objectChooser;
    ASSERT_NE(nullptr, chooser);
    const QStringList names = chooserNames(chooser);

    // Down and back to the start's row: no area.
    holder->slot_select_draw_object(TEXTFIELD);
    send(QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {340, 330}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {360, 300}, Qt::LeftButton, Qt::NoButton);
    holder->slot_select_draw_object(SELECTION);

    EXPECT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(2u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(1, VLImageHolder::currentCounters().numTextFields);
    EXPECT_EQ(undo, internals(holder).stUndoCodes.size());
    EXPECT_EQ(names, chooserNames(chooser));

    // The next one takes the number again.
    drawWithTool(TEXTFIELD, {300, 300}, {360, 340});
    ASSERT_EQ(3u, holder->liveObjects().size());
    EXPECT_EQ(2, VLImageHolder::currentCounters().numTextFields);
    EXPECT_EQ("F2", holder->allObjects()[0].AllObjects.at(2).objectID);
    EXPECT_EQ(QRect(300, 300, 60, 40), boxRect(standIn(2)->editor()->frame.rect()));
}

} // namespace
