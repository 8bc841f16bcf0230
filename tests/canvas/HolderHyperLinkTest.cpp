// Hyperlinks on the canvas: drawn with the tool, moved, undone, pasted, and
// kept across frame changes and the stored records of the output file.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "canvas/records/sAllObjects.h"
#include "objects/interactive/CHyperLink.h"
#include "objects/interactive/CHyperLinkRecord.h"
#include "properties/EditPropertyBase.h"
#include "store/DatRecords.h"

#include <QCoreApplication>
#include <QMouseEvent>

// Xlib after the toolkit headers.
#include "ObjectHolderFixture.h"

namespace {

class HolderHyperLinkTest : public canvastest::ObjectHolderTest {
  protected:
    void drawLink(QPoint from, QPoint to) { drawWithTool(HYPERLINK, from, to); }
    CHyperLink* linkAt(size_t index) const {
        return qobject_cast<CHyperLink*>(holder->liveObjects().at(index));
    }
    QRect rectOf(const CHyperLink* h) const {
        const sHyperLink& s = h->payload();
        return QRect(s.x, s.y, s.right - s.x, s.bottom - s.y);
    }
};

TEST_F(HolderHyperLinkTest, TheToolDrawsAHyperlinkAndAClickMakesNone) {
    drawLink({100, 100}, {200, 140});
    ASSERT_EQ(2u, holder->liveObjects().size());
    CHyperLink* h = linkAt(1);
    ASSERT_NE(nullptr, h);
    EXPECT_STREQ("Hyperlink 1", h->getObjectName());
    EXPECT_EQ(QRect(100, 100, 100, 40), rectOf(h));
    const NVAllObjects& record = holder->allObjects()[0].AllObjects.at(1);
    EXPECT_EQ("J1", record.objectID);
    ASSERT_TRUE(record.get<sHyperLink>());
    EXPECT_EQ(6u, record.get<sHyperLink>()->events.size());

    // Released in its start row: nothing to keep.
    holder->slot_select_draw_object(HYPERLINK);
    drag({300, 300}, {360, 300});
    holder->slot_select_draw_object(SELECTION);
    EXPECT_EQ(2u, holder->liveObjects().size());
}

TEST_F(HolderHyperLinkTest, UndoOfAMoveBringsTheSameSizeBack) {
    drawLink({100, 100}, {200, 140});
    click({150, 120});
    press({150, 120});
    moveTo({160, 130});
    moveTo({170, 140});
    release({170, 140});
    EXPECT_EQ(QRect(120, 120, 100, 40), rectOf(linkAt(1)));
    holder->slotUndoAction();
    EXPECT_EQ(QRect(100, 100, 100, 40), rectOf(linkAt(1)));
}

TEST_F(HolderHyperLinkTest, BottomRightHandleResizesAtTheRelease) {
    drawLink({100, 100}, {200, 140});
    click({150, 120});
    holder->drawContents();
    send(QEvent::MouseMove, {203, 143}, Qt::NoButton, Qt::NoButton);
    press({203, 143});
    moveTo({218, 153});
    moveTo({233, 163});
    EXPECT_EQ(QRect(100, 100, 100, 40), rectOf(linkAt(1))) << "the band moves, the hyperlink waits";
    release({233, 163});
    EXPECT_EQ(QRect(100, 100, 130, 60), rectOf(linkAt(1)));
    EXPECT_EQ("130", linkAt(1)->getEditPropertyBase()->getPropValue("Width"));
}

TEST_F(HolderHyperLinkTest, PastedHyperlinksMoveByTheOffsetAndOwnTheirBlocks) {
    drawLink({100, 100}, {200, 140});
    linkAt(1)->payload().events[0].dialog = sMessageDialogBlock{"", "Hi", 0, 0};
    click({150, 120});
    holder->slotCutCopyObjects(COPY);
    holder->slotPasteObjects();
    holder->slotPasteObjects();
    ASSERT_EQ(4u, holder->liveObjects().size());
    EXPECT_STREQ("Hyperlink 2", linkAt(2)->getObjectName());
    EXPECT_EQ(rectOf(linkAt(1)).translated(5, 5), rectOf(linkAt(3)));
    linkAt(2)->payload().events[0].dialog->caption1 = "Changed";
    EXPECT_EQ("Hi", linkAt(3)->payload().events[0].dialog->caption1);
}

TEST_F(HolderHyperLinkTest, FrameChangeAndStoredRecordsKeepTheHyperlink) {
    drawLink({100, 100}, {200, 140});
    linkAt(1)->payload().events[2].gotoFrame = -1;
    holder->slot_get_current_frame(1);
    holder->slot_get_current_frame(0);
    ASSERT_EQ(2u, holder->liveObjects().size());
    ASSERT_NE(nullptr, linkAt(1));
    EXPECT_EQ(QRect(100, 100, 100, 40), rectOf(linkAt(1)));
    EXPECT_EQ(-1, linkAt(1)->payload().events[2].gotoFrame);

    std::vector<sAllObjects> out;
    ASSERT_TRUE(holder->getVectorRef(out, 0));
    ASSERT_EQ(2u, out.size());
    const StoredHyperLink* s = out[1].get<StoredHyperLink>();
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("Hyperlink 1", s->control.name);
    EXPECT_EQ(100, s->control.width);
    EXPECT_EQ(6u, s->events.size());
    EXPECT_EQ(4, s->eventMask);

    // Taken in again, it makes the same mask.
    std::vector<sAllObjects> copy = out;
    ASSERT_TRUE(holder->setVectorRef(copy, 1));
    std::vector<sAllObjects> again;
    ASSERT_TRUE(holder->getVectorRef(again, 1));
    ASSERT_EQ(2u, again.size());
    EXPECT_EQ(4, again[1].get<StoredHyperLink>()->eventMask);
}

} // namespace
