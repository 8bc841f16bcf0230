// The holder's per-frame records through frame-row changes, and the frame
// change that turns records into live objects and back.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "objects/draw/DrawRect.h"
#include "objects/interactive/CMouseClick.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"

#include <QComboBox>
#include <QSignalSpy>

// Xlib after the toolkit headers.
#include "HolderFixture.h"

namespace {

using canvastest::HolderTest;

NVAllObjects rectRecord(const char* id, int left, int top, int right, int bottom) {
    NVAllObjects r;
    r.drawingObject = RECTANGLE;
    r.objectID = id;
    sDrawRect p;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.shape = 1;
    p.name = id;
    r.payload = p;
    return r;
}

class HolderFramesTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installHolderObjectKinds();
        holder->setPlaybackRecords(&playback);
    }
    // A project of n recorded frames whose store is sized for them.
    void project(int n) {
        playback.assign(size_t(n), SPlayBackFrameInfo{});
        holder->get_no_frames(n);
        for (int i = 1; i < n; ++i)
            holder->addFrameStructureToList(i);
    }
    QStringList chooserItems() const {
        QStringList items;
        QComboBox* c = view->_get_editprop_box()->objectChooser;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        return items;
    }
    std::vector<SPlayBackFrameInfo> playback;
};

TEST_F(HolderFramesTest, AppendingToAnEmptyProjectGivesOneFrameRecordEach) {
    holder->getNoFramesOnFileOpen(0);
    for (int i = 0; i < 3; ++i) {
        playback.emplace_back();
        holder->addFrameObject(false);
    }
    ASSERT_EQ(3u, holder->allObjects().size());
    ASSERT_EQ(3u, internals(holder).vLastObjectNumber.size());
    EXPECT_EQ(3, holder->getTotalFrames());
    for (const StrAllObjects& list : holder->allObjects()) {
        ASSERT_EQ(1u, list.AllObjects.size());
        EXPECT_EQ(FRAMEOBJECT, list.AllObjects[0].drawingObject);
        EXPECT_EQ("XXX", list.AllObjects[0].objectID);
        EXPECT_EQ(1024, list.AllObjects[0].recordSize);
    }
    EXPECT_TRUE(holder->liveObjects().empty()) << "the frame object that fills the record never goes live";
}

TEST_F(HolderFramesTest, InsertingBeforeTheCurrentFrameKeepsItCurrent) {
    project(6);
    holder->slot_get_current_frame(0);
    holder->slot_get_current_frame(3);
    internals(holder).vAllObjects[3].AllObjects.push_back(rectRecord("R1", 1, 1, 20, 20));
    playback.insert(playback.begin() + 3, SPlayBackFrameInfo{});
    holder->addFrameObject(true);
    EXPECT_EQ(4, holder->getCurrentFrame());
    ASSERT_EQ(7u, holder->allObjects().size());
    EXPECT_EQ(1u, holder->allObjects()[3].AllObjects.size()) << "the new frame holds only its frame record";
}

TEST_F(HolderFramesTest, CopiedFrameIsIndependentAndMovedFrameKeepsCounters) {
    project(6);
    internals(holder).vAllObjects[1].AllObjects.push_back(rectRecord("R2", 1, 1, 20, 20));
    internals(holder).vLastObjectNumber[1].numRects = 2;
    holder->addObjectsOnPaste(1, 5);
    ASSERT_EQ(7u, holder->allObjects().size());
    ASSERT_EQ(2u, holder->allObjects()[5].AllObjects.size());
    EXPECT_EQ(2, internals(holder).vLastObjectNumber[5].numRects);
    internals(holder).vAllObjects[5].AllObjects[1].get<sDrawRect>()->left = 99;
    EXPECT_EQ(1, holder->allObjects()[1].AllObjects[1].get<sDrawRect>()->left);

    // Frame 1 moves behind frame 3: it lands at index 3 with its counters.
    holder->changeObjectsOnCutPaste(1, 4);
    ASSERT_EQ(7u, holder->allObjects().size());
    EXPECT_EQ(2, internals(holder).vLastObjectNumber[3].numRects);
    EXPECT_EQ(2u, holder->allObjects()[3].AllObjects.size());
    EXPECT_EQ(1u, holder->allObjects()[1].AllObjects.size());
}

TEST_F(HolderFramesTest, PurgeReleasesFromTheLastRecordToTheFirst) {
    project(3);
    internals(holder).vAllObjects[1].AllObjects[0].get<NVFrame>()->audioId = 77;
    NVAllObjects bitmap;
    bitmap.drawingObject = BITMAP;
    sBitmapObject b;
    b.imageId = 55;
    bitmap.payload = b;
    internals(holder).vAllObjects[1].AllObjects.push_back(bitmap);
    NVAllObjects empty = bitmap;
    empty.get<sBitmapObject>()->imageId = 0;
    internals(holder).vAllObjects[1].AllObjects.push_back(empty);
    QSignalSpy spy(holder, &VLImageHolder::signalReduceIDOnDelete);
    holder->deleteObjectsOnPurge(1);
    ASSERT_EQ(2, spy.count());
    EXPECT_EQ(55u, spy.at(0).at(0).toULongLong());
    EXPECT_EQ(77u, spy.at(1).at(0).toULongLong());
    EXPECT_EQ(2u, holder->allObjects().size());
    EXPECT_EQ(2u, internals(holder).vLastObjectNumber.size());
}

TEST_F(HolderFramesTest, PurgingAnotherFrameKeepsTheShownFramesObjectsAndIndex) {
    project(4);
    playback[2].vType = VALIDATION_MOUSE;
    playback[2].clickRect = SRect{10, 10, 60, 40};
    internals(holder).vAllObjects[2].AllObjects.push_back(rectRecord("R1", 5, 5, 50, 50));
    holder->slot_get_current_frame(0);
    holder->slot_get_current_frame(2);
    ASSERT_EQ(3u, holder->liveObjects().size());
    // A change of the live rectangle not yet stored.
    holder->liveObjects()[1]->updatePosition(10, 0);
    playback.erase(playback.begin());
    holder->deleteObjectsOnPurge(0);
    EXPECT_EQ(1, holder->getCurrentFrame());
    ASSERT_EQ(3u, holder->liveObjects().size()) << "frame object, rectangle and click target stay shown";
    EXPECT_EQ(MOUSECLICK, holder->liveObjects()[2]->drawingObject);
    EXPECT_EQ(15, holder->allObjects()[1].AllObjects[1].get<sDrawRect>()->left);
    // Purging the shown frame leaves a valid index behind.
    holder->deleteObjectsOnPurge(2);
    holder->deleteObjectsOnPurge(1);
    EXPECT_LT(holder->getCurrentFrame(), int(holder->allObjects().size()));
    holder->slot_get_current_frame(0);
    EXPECT_EQ(0, holder->getCurrentFrame());
}

TEST_F(HolderFramesTest, FirstRecordedClickMakesATargetAndAKeyDoesNot) {
    project(2);
    playback[0].vType = VALIDATION_KEY;
    playback[0].clickRect = SRect{10, 10, 60, 40};
    holder->slot_get_current_frame(0);
    holder->getMouseActionFrames(playback);
    EXPECT_EQ(1u, holder->liveObjects().size());

    playback[0].vType = VALIDATION_MOUSE;
    holder->getMouseActionFrames(playback);
    ASSERT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(MOUSECLICK, holder->liveObjects()[1]->drawingObject);
    EXPECT_EQ(MOUSECLICK, holder->allObjects()[0].AllObjects.back().drawingObject);
    // Leaving the frame drops its target record.
    holder->slot_get_current_frame(1);
    EXPECT_EQ(1u, holder->allObjects()[0].AllObjects.size());
}

TEST_F(HolderFramesTest, FrameChangeRoundTripKeepsObjectsNamesAndClearsUndo) {
    project(2);
    playback[1].setName("Second");
    internals(holder).vAllObjects[0].AllObjects.push_back(rectRecord("R1", 5, 5, 50, 50));
    internals(holder).vAllObjects[0].AllObjects.push_back(rectRecord("R2", 60, 5, 90, 50));
    holder->slot_get_current_frame(0);
    ASSERT_EQ(3u, holder->liveObjects().size());
    EXPECT_EQ(QStringList({"Frame 1", "R1", "R2"}), chooserItems());

    // An object parked for undo does not survive the change.
    VLImageHolderTestAccess in = internals(holder);
    DrawTools* removed = in.vObjectList[2];
    in.vObjectList.erase(in.vObjectList.begin() + 2);
    in.vAllObjects[0].AllObjects.erase(in.vAllObjects[0].AllObjects.begin() + 2);
    in.stRemovedObjects.push(removed);
    in.stUndoCodes.push(UNDO_DELETION);
    QSignalSpy undo(holder, &VLImageHolder::signalDisableUndo);

    holder->slot_get_current_frame(1);
    EXPECT_EQ(1u, holder->liveObjects().size());
    EXPECT_TRUE(internals(holder).stRemovedObjects.empty());
    EXPECT_TRUE(internals(holder).stUndoCodes.empty());
    EXPECT_EQ(1, undo.count());
    holder->slot_get_current_frame(0);
    ASSERT_EQ(2u, holder->liveObjects().size());
    EXPECT_EQ(QStringList({"Frame 1", "R1"}), chooserItems());
    EXPECT_EQ(RECTANGLE, holder->liveObjects()[1]->drawingObject);
}

TEST_F(HolderFramesTest, ClickTargetOnlyForAMouseActionWithArea) {
    project(2);
    struct Case {
        int32_t type;
        SRect rect;
        size_t objects;
    };
    const Case cases[] = {
        {VALIDATION_MOUSE, SRect{10, 10, 60, 40}, 2},
        {VALIDATION_KEY, SRect{10, 10, 60, 40}, 1},
        {VALIDATION_MOUSE, SRect{10, 10, 10, 40}, 1},
        {VALIDATION_MOUSE, SRect{10, 10, 60, 10}, 1},
    };
    for (const Case& c : cases) {
        playback[1].vType = c.type;
        playback[1].clickRect = c.rect;
        holder->slot_get_current_frame(0);
        holder->slot_get_current_frame(1);
        EXPECT_EQ(c.objects, holder->liveObjects().size());
        EXPECT_EQ(int(c.objects), view->_get_editprop_box()->objectChooser->count());
    }
}

TEST_F(HolderFramesTest, ChangeFromNoFrameToALaterFrameMakesNothing) {
    project(3);
    holder->slot_get_current_frame(2);
    EXPECT_TRUE(holder->liveObjects().empty());
    EXPECT_EQ(2, holder->getCurrentFrame());
}

TEST_F(HolderFramesTest, FrameStructureNamesUnnamedFrames) {
    project(2);
    playback[1].setName("");
    holder->addFrameStructureToList(1);
    const NVFrame* f = holder->allObjects()[1].AllObjects[0].get<NVFrame>();
    ASSERT_NE(nullptr, f);
    EXPECT_EQ("Frame 2", f->m_Caption);
    EXPECT_EQ(-1, f->foreColor);
    EXPECT_EQ((199u << 16) | (34u << 8) | 22u, f->backColor);
    EXPECT_EQ(2u, f->events.size());
    EXPECT_EQ(QString(), holder->getFrameObjName(1));
}

} // namespace
