// Conversion between the holder's records and the stored records of the
// output file, and the reset of the per-frame store.
#include "app/HolderObjectKinds.h"
#include "canvas/DrawTools.h"
#include "canvas/records/sAllObjects.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"

#include <QComboBox>
#include <QSignalSpy>

// Xlib after the toolkit headers.
#include "ObjectHolderFixture.h"

namespace {

using canvastest::HolderTest;
using canvastest::sameBytes;

sAllObjects stored(int32_t kind, const char* id, sAllObjects::Payload payload) {
    sAllObjects s;
    s.drawingObject = kind;
    s.objectID = id;
    s.payload = std::move(payload);
    return s;
}

sAllObjects frameStored(const char* name, uint32_t audio = 0) {
    NVFrame f;
    f.m_Caption = name;
    f.backColor = 0x112233;
    f.audioId = audio;
    f.events = std::vector<NVFrameEvent>(2);
    f.events[1].transitionEffect = 3;
    return stored(FRAMEOBJECT, "XXX", f);
}

sAllObjects shapeStored(int32_t kind, const char* id, int16_t x) {
    StoredShape s;
    s.name = id;
    s.penStyle = 1;
    s.styleByte = 1;
    s.penWidth = 2;
    s.widthShort = 2;
    s.penColor = 0x0000FF;
    s.brushColor = 0x00FF00;
    s.left = x;
    s.top = 10;
    s.right = x + 40;
    s.bottom = 30;
    s.x = x;
    s.y = 10;
    s.width = 40;
    s.height = 20;
    if (kind == ROUNDRECT)
        s.cornerWidth = s.cornerHeight = 7;
    if (kind == LINE) {
        // A line's brush is its pen.
        s.brushColor = s.penColor;
        s.arrow = 1;
    }
    return stored(kind, id, s);
}

sAllObjects bitmapStored(const char* id, uint32_t image) {
    StoredBitmap b;
    b.control.name = id;
    b.control.x = 5;
    b.control.width = 30;
    b.imageId = image;
    b.stretch = 1;
    return stored(BITMAP, id, b);
}

sAllObjects hyperlinkStored(const char* id) {
    StoredHyperLink h;
    h.control.name = id;
    h.caption = "Go";
    h.clickedImageId = 21;
    h.events = std::vector<NVJumpButtonEvent>(6);
    h.events[0].gotoFrame = 3;
    h.events[0].validationSoundId = 22;
    h.events[0].dialog = sMessageDialogBlock{};
    return stored(HYPERLINK, id, h);
}

sAllObjects polylineStored(const char* id) {
    sPoly p;
    p.name = id;
    p.thickness = 3;
    p.color = 0x00804020;
    p.points = {{10, 20}, {110, 25}, {60, 90}};
    return stored(POLYLINE, id, p);
}

class HolderRecordsTest : public HolderTest {
  protected:
    void SetUp() override {
        HolderTest::SetUp();
        if (HasFatalFailure())
            return;
        installHolderObjectKinds();
        holder->setPlaybackRecords(&playback);
    }
    std::vector<SPlayBackFrameInfo> playback;
};

TEST_F(HolderRecordsTest, StoredRecordsOfEveryKindRoundTrip) {
    playback.assign(2, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(2);
    std::vector<sAllObjects> in = {
        frameStored("Intro", 9),     shapeStored(RECTANGLE, "R1", 10),
        shapeStored(LINE, "L2", 20), shapeStored(ROUNDRECT, "N3", 30),
        bitmapStored("B1", 44),      shapeStored(ELLIPSE, "E4", 40),
        hyperlinkStored("J1"),       polylineStored("P2"),
    };
    for (sAllObjects& s : in)
        s.frameIndex = 1;
    std::vector<sAllObjects> copy = in;
    ASSERT_TRUE(holder->setVectorRef(copy, 1));
    // Every kind here has a live object class: all are held as records.
    EXPECT_EQ(8u, holder->allObjects()[1].AllObjects.size());
    EXPECT_TRUE(holder->keptRecords(1).empty());
    // Storing a hyperlink recomputes its event mask and gives every event a block.
    StoredHyperLink& link = *in[6].get<StoredHyperLink>();
    link.eventMask = 1;
    for (NVJumpButtonEvent& e : link.events)
        e.dialog = sMessageDialogBlock{};

    std::vector<sAllObjects> out;
    ASSERT_TRUE(holder->getVectorRef(out, 1));
    ASSERT_EQ(in.size(), out.size());
    for (size_t i = 0; i < in.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(in[i].drawingObject, out[i].drawingObject);
        EXPECT_TRUE(sameBytes(in[i], out[i]));
    }
}

TEST_F(HolderRecordsTest, WithoutObjectClassesEveryObjectRecordIsKeptAsStored) {
    HolderObjectFactory::install(HolderObjectFactory{});
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    std::vector<sAllObjects> in = {frameStored("A"), shapeStored(RECTANGLE, "R1", 10), bitmapStored("B1", 4)};
    std::vector<sAllObjects> copy = in;
    holder->setVectorRef(copy, 0);
    EXPECT_EQ(1u, holder->allObjects()[0].AllObjects.size());
    EXPECT_EQ(2u, holder->keptRecords(0).size());
    holder->slot_get_current_frame(0);
    EXPECT_EQ(1u, holder->liveObjects().size()) << "the frame record alone, as a plain object";
    std::vector<sAllObjects> out;
    holder->getVectorRef(out, 0);
    ASSERT_EQ(3u, out.size());
    for (size_t i = 0; i < in.size(); ++i)
        EXPECT_TRUE(sameBytes(in[i], out[i])) << i;
    installHolderObjectKinds();
}

TEST_F(HolderRecordsTest, RecordsSurviveAVisitOfTheirFrame) {
    playback.assign(2, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(2);
    // The second bitmap is aligned bottom right and not stretched.
    sAllObjects aligned = bitmapStored("B2", 45);
    aligned.get<StoredBitmap>()->align = 3;
    aligned.get<StoredBitmap>()->stretch = 0;
    aligned.get<StoredBitmap>()->control = StoredControl{"Corner", "", 0, 0, 974, 718, 50, 50, 0};
    std::vector<sAllObjects> in = {frameStored("A"), shapeStored(RECTANGLE, "R1", 10), bitmapStored("B1", 44),
                                   polylineStored("P1"), aligned};
    std::vector<sAllObjects> copy = in;
    holder->setVectorRef(copy, 0);
    holder->slot_get_current_frame(0);
    ASSERT_EQ(5u, holder->liveObjects().size()) << "the bitmaps are made from their records";
    holder->slot_get_current_frame(1);
    holder->slot_get_current_frame(0);
    holder->updateObjects();
    std::vector<sAllObjects> out;
    holder->getVectorRef(out, 0);
    ASSERT_EQ(5u, out.size());
    for (size_t i = 0; i < in.size(); ++i)
        EXPECT_TRUE(sameBytes(in[i], out[i])) << i;
}

TEST_F(HolderRecordsTest, CountersRestoreFromTheHighestNumber) {
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    std::vector<sAllObjects> in = {
        frameStored("A"),           shapeStored(LINE, "L3", 1),       shapeStored(LINE, "L7", 2),
        shapeStored(LINE, "L5", 3), shapeStored(RECTANGLE, "R12", 4), shapeStored(RECTANGLE, "R2", 5)};
    holder->setVectorRef(in, 0);
    EXPECT_EQ(7, internals(holder).vLastObjectNumber[0].numLines);
    EXPECT_EQ(12, internals(holder).vLastObjectNumber[0].numRects);
    EXPECT_EQ(0, internals(holder).vLastObjectNumber[0].numEllipses);
}

TEST_F(HolderRecordsTest, ObjectIdNumberTable) {
    struct Case {
        const char* id;
        int number;
    };
    const Case cases[] = {
        {"R12", 12},
        {"XXX", 0},
        {"", 0},
        {"A1B2", 12},
        {"T0", 0},
        // Only the first ten characters count.
        {"L123456789012", 123456789},
        // Far too many digits stay bounded, so a raised counter still fits an ID.
        {"9999999999", 999999999},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.number, VLImageHolder::objectIdNumber(c.id)) << c.id;
}

TEST_F(HolderRecordsTest, FrameRecordThatIsNotFirstKeepsTheRecordsBeforeIt) {
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    std::vector<sAllObjects> in = {shapeStored(RECTANGLE, "R1", 10), frameStored("Late"),
                                   shapeStored(ELLIPSE, "E1", 40)};
    holder->setVectorRef(in, 0);
    const auto& records = holder->allObjects()[0].AllObjects;
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(FRAMEOBJECT, records[0].drawingObject);
    EXPECT_EQ(RECTANGLE, records[1].drawingObject);
    EXPECT_EQ(ELLIPSE, records[2].drawingObject);
}

TEST_F(HolderRecordsTest, FrameWithoutFrameRecordGetsOne) {
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    std::vector<sAllObjects> in = {shapeStored(RECTANGLE, "R1", 10), bitmapStored("B1", 3)};
    holder->setVectorRef(in, 0);
    std::vector<sAllObjects> out;
    holder->getVectorRef(out, 0);
    ASSERT_EQ(3u, out.size());
    EXPECT_EQ(FRAMEOBJECT, out[0].drawingObject);
    EXPECT_EQ(RECTANGLE, out[1].drawingObject);
    EXPECT_EQ(BITMAP, out[2].drawingObject);
}

TEST_F(HolderRecordsTest, EmptyFrameIsStoredWithItsFrameRecordAndPlaybackName) {
    playback.assign(2, SPlayBackFrameInfo{});
    playback[1].setName("Named");
    holder->getNoFramesOnFileOpen(2);
    std::vector<sAllObjects> out;
    ASSERT_TRUE(holder->getVectorRef(out, 0));
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ("Frame 1", out[0].get<NVFrame>()->m_Caption);
    EXPECT_EQ(0, out[0].frameIndex);
    // A read frame record takes the playback record's name when there is one.
    std::vector<sAllObjects> in = {frameStored("Stored")};
    holder->setVectorRef(in, 1);
    EXPECT_EQ("Named", holder->allObjects()[1].AllObjects[0].get<NVFrame>()->m_Caption);
    EXPECT_FALSE(holder->getVectorRef(out, 2));
    EXPECT_TRUE(out.empty());
}

TEST_F(HolderRecordsTest, ClickTargetIsNeverStored) {
    playback.assign(1, SPlayBackFrameInfo{});
    playback[0].vType = VALIDATION_MOUSE;
    playback[0].clickRect = SRect{10, 10, 50, 50};
    holder->getNoFramesOnFileOpen(1);
    std::vector<sAllObjects> in = {frameStored("A")};
    holder->setVectorRef(in, 0);
    holder->slot_get_current_frame(0);
    holder->getMouseActionFrames(playback);
    ASSERT_EQ(2u, holder->liveObjects().size());
    holder->updateObjects();
    std::vector<sAllObjects> out;
    holder->getVectorRef(out, 0);
    EXPECT_EQ(1u, out.size());
}

TEST_F(HolderRecordsTest, ResetWithLiveObjectsLeavesAnEmptyCanvas) {
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    std::vector<sAllObjects> in = {frameStored("A"), shapeStored(RECTANGLE, "R1", 10)};
    holder->setVectorRef(in, 0);
    holder->slot_get_current_frame(0);
    ASSERT_EQ(2u, holder->liveObjects().size());
    QSignalSpy undo(holder, &VLImageHolder::signalDisableUndo);
    holder->getNoFramesOnFileOpen(0);
    EXPECT_TRUE(holder->liveObjects().empty());
    EXPECT_TRUE(holder->allObjects().empty());
    EXPECT_EQ(0, holder->getTotalFrames());
    EXPECT_EQ(-1, holder->getCurrentFrame());
    EXPECT_EQ(0, view->_get_editprop_box()->objectChooser->count());
    EXPECT_EQ(1, undo.count());
    EXPECT_EQ(0, VLImageHolder::currentCounters().numRects);
}

TEST_F(HolderRecordsTest, KeptRecordsFollowCopiesAndPurges) {
    // Bitmaps without their class: their records are kept as stored.
    HolderObjectFactory withoutBitmaps = HolderObjectFactory::current();
    withoutBitmaps.setKind(BITMAP, HolderKindMakers{});
    HolderObjectFactory::install(withoutBitmaps);
    playback.assign(2, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(2);
    std::vector<sAllObjects> in = {frameStored("A", 5), bitmapStored("B1", 44), hyperlinkStored("J1")};
    holder->setVectorRef(in, 0);
    QSignalSpy added(holder, &VLImageHolder::signalAddIDOnCopy);
    playback.push_back(SPlayBackFrameInfo{});
    holder->addObjectsOnPaste(0, 2);
    QList<unsigned long long> ids;
    for (const auto& a : added)
        ids << a.at(0).toULongLong();
    // The hyperlink is held as a record and copied before the kept bitmap.
    EXPECT_EQ(QList<unsigned long long>({5, 21, 22, 44}), ids);
    EXPECT_EQ(1u, holder->keptRecords(2).size());

    QSignalSpy released(holder, &VLImageHolder::signalReduceIDOnDelete);
    holder->deleteObjectsOnPurge(0);
    ids.clear();
    for (const auto& a : released)
        ids << a.at(0).toULongLong();
    EXPECT_EQ(QList<unsigned long long>({21, 22, 44, 5}), ids);
    EXPECT_EQ(1u, holder->keptRecords(1).size());
    EXPECT_TRUE(holder->keptRecords(0).empty());
}

TEST_F(HolderRecordsTest, PurgedValidationFieldReleasesItsOwnResources) {
    playback.assign(1, SPlayBackFrameInfo{});
    holder->getNoFramesOnFileOpen(1);
    StoredValidationField v;
    v.control.name = "T1";
    v.dialogLength = 12;
    v.dialog = sMessageDialogBlock{};
    v.dialog->icon1 = 71;
    SMultiString strings;
    sMultiValidationString string;
    string.text = "ok";
    sValidationKey key;
    key.event = sValidationKeyEvent{};
    key.event->imageId = 72;
    key.event->iconId = 73;
    string.keys.push_back(key);
    strings.list.push_back(string);
    v.validationData = CValidationData().pack(strings);
    std::vector<sAllObjects> in = {frameStored("A"), stored(VALIDATIONFIELD, "T1", v)};
    holder->setVectorRef(in, 0);
    // A validation field is a live object, not a kept record.
    EXPECT_TRUE(holder->keptRecords(0).empty());
    holder->assignIDValue(999);
    QSignalSpy released(holder, &VLImageHolder::signalReduceIDOnDelete);
    holder->deleteObjectsOnPurge(0);
    QList<unsigned long long> ids;
    for (const auto& a : released)
        ids << a.at(0).toULongLong();
    EXPECT_EQ(QList<unsigned long long>({71, 72, 73}), ids);
}

} // namespace
