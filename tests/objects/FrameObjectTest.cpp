#include "InteractiveTestHost.h"

#include "canvas/records/sAllObjects.h"
#include "objects/interactive/CFrameObject.h"
#include "properties/EditPropertyBase.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <clocale>
#include <memory>

using interactivetest::FakeHost;
using interactivetest::SpyMediaLibrary;

namespace {

class FrameObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        interactivetest::app();
        std::setlocale(LC_COLLATE, "C");
        DrawTools::setMediaLibrary(&media);
        CFrameObject::resetBackColor();
        host = std::make_unique<FakeHost>(4);
        host->current = 2;
    }
    void TearDown() override {
        DrawTools::setMediaLibrary(nullptr);
        CFrameObject::resetBackColor();
    }

    // The live frame object of the current frame, made from a record.
    std::unique_ptr<CFrameObject> live(NVFrame f) {
        auto o = std::make_unique<CFrameObject>(nullptr, f, 0);
        host->selected = o.get();
        return o;
    }
    static NVFrame named(const std::string& name) {
        NVFrame f;
        f.m_Caption = name;
        f.backColor = NVColor{22, 34, 199}.toColorRef();
        return f;
    }
    // Writes the value into the row and applies it as the property box does.
    static void apply(CFrameObject& o, const QString& row, const QString& value, int valueId = 0) {
        o.getEditPropertyBase()->setProp_Value(row, value);
        if (valueId)
            o.getEditPropertyBase()->setProp_ValueId(row, valueId);
        o.applyProperty(row);
    }

    SpyMediaLibrary media;
    std::unique_ptr<FakeHost> host;
};

TEST_F(FrameObjectTest, NewFrameObjectTakesTheFrameNameAndTheDefaultColours) {
    host->playback[3].setName("Appended 1");
    host->playback[3].frameFlags = PBF_APPENDED;
    host->playback[3].vType = VALIDATION_NONE;
    CFrameObject o(nullptr, 4, 0);
    NVAllObjects rec;
    ASSERT_TRUE(o.getAllObjectStructure(&rec));
    const NVFrame* f = rec.get<NVFrame>();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->m_Caption, "Appended 1");
    EXPECT_EQ(f->foreColor, -1);
    EXPECT_EQ(f->backColor, 0x00C72216u); // (22, 34, 199) packed 0x00BBGGRR
    EXPECT_EQ(f->events.size(), 2u);
    EXPECT_EQ(f->userAction, 0);
    EXPECT_EQ(rec.drawingObject, FRAMEOBJECT);
    EXPECT_EQ(rec.recordSize, 1024);
    EXPECT_EQ(rec.objectID, "XXX");
    EXPECT_STREQ(o.getObjectIDText(), "XXX");
    EXPECT_TRUE(o.hasNoUserAction());
    EXPECT_FALSE(o.isRecordedFrame());
}

TEST_F(FrameObjectTest, NewFramesTakeTheLastAppliedBackColourUntilReset) {
    host->playback[2].frameFlags = PBF_INSERTED;
    auto o = live(named("Frame 3"));
    apply(*o, "Back Color", "#102030");
    CFrameObject next(nullptr, 1, 1);
    EXPECT_EQ(next.getFrameObjectStructure()->backColor, 0x00302010u);
    CFrameObject::resetBackColor();
    CFrameObject after(nullptr, 1, 0);
    EXPECT_EQ(after.getFrameObjectStructure()->backColor, 0x00C72216u);
}

struct NameCase {
    const char* what;
    QString typed;
    std::string caption; // applied name
};

TEST_F(FrameObjectTest, NameRowCases) {
    const QString n29(29, 'a'), n30(30, 'b');
    const NameCase cases[] = {
        {"29 characters are taken", n29, n29.toStdString()},
        {"30 characters are refused", n30, "Frame 3"},
        {"another frame's name is refused", "Frame 1", "Frame 3"},
        {"the frame's own name changes nothing", "Frame 3", "Frame 3"},
        {"blanks are trimmed", "  Intro  ", "Intro"},
        {"31 characters trimmed to 29 are taken", " " + n29 + " ", n29.toStdString()},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.what);
        host->playback[2].setName("Frame 3");
        auto o = live(named("Frame 3"));
        apply(*o, "Name", c.typed);
        EXPECT_EQ(o->getFrameObjectStructure()->m_Caption, c.caption);
        EXPECT_EQ(host->playback[2].name(), c.caption);
        // The row always shows the applied name, never unapplied text.
        EXPECT_EQ(o->Prop2Str("Name").toStdString(), c.caption);
    }
}

TEST_F(FrameObjectTest, BlankNameRestoresTheNameTheFrameHadWhenItBecameCurrent) {
    host->playback[2].setName("Frame 3");
    auto o = live(named("Frame 3"));
    apply(*o, "Name", "First");
    apply(*o, "Name", "Second");
    EXPECT_EQ(host->playback[2].name(), "Second");
    apply(*o, "Name", "   ");
    EXPECT_EQ(o->getFrameObjectStructure()->m_Caption, "Frame 3");
    EXPECT_EQ(host->playback[2].name(), "Frame 3");
    EXPECT_EQ(o->Prop2Str("Name"), "Frame 3");
}

TEST_F(FrameObjectTest, BackColourRefillsOnlyAChangedColourWithoutForeColour) {
    host->playback[2].frameFlags = PBF_INSERTED;
    auto o = live(named("Frame 3"));

    apply(*o, "Back Color", "#1622c7"); // its own colour
    EXPECT_TRUE(host->refills.empty());
    EXPECT_EQ(CFrameObject::backColor, QColor(0x16, 0x22, 0xc7));

    apply(*o, "Back Color", "#ff0000");
    ASSERT_EQ(host->refills.size(), 1u);
    EXPECT_EQ(host->refills[0], QColor(255, 0, 0));
    EXPECT_EQ(o->getFrameObjectStructure()->backColor, 0x000000FFu);

    apply(*o, "Fore Color", "#00ff00");
    ASSERT_EQ(host->refills.size(), 2u);
    EXPECT_EQ(o->getFrameObjectStructure()->foreColor, 0x0000FF00);

    // With a fore colour the frame is filled with it: no refill for the back colour.
    apply(*o, "Back Color", "#0000ff");
    EXPECT_EQ(host->refills.size(), 2u);
    EXPECT_EQ(o->getFrameObjectStructure()->backColor, 0x00FF0000u);
    EXPECT_EQ(CFrameObject::backColor, QColor(0, 0, 255));

    apply(*o, "Fore Color", "[None]");
    EXPECT_EQ(o->getFrameObjectStructure()->foreColor, -1);
    EXPECT_EQ(host->refills.size(), 2u);
    EXPECT_EQ(o->getFrameObjectStructure()->fillColor(), 0x00FF0000u);

    // Empty values and unknown colour names change nothing.
    apply(*o, "Back Color", "");
    apply(*o, "Back Color", "not a colour");
    EXPECT_EQ(o->getFrameObjectStructure()->backColor, 0x00FF0000u);
    EXPECT_EQ(o->Prop2Str("Back Color"), "#0000ff");
}

TEST_F(FrameObjectTest, ColourRowsAreReadOnlyOnRecordedFramesAndUserActionWithoutAction) {
    host->playback[2].vType = VALIDATION_MOUSE;
    auto recorded = live(named("Frame 3"));
    EXPECT_EQ(recorded->getEditPropertyBase()->getPropData("Fore Color"), "FRAMEPROPERTY");
    EXPECT_EQ(recorded->getEditPropertyBase()->getPropData("Back Color"), "FRAMEPROPERTY");
    EXPECT_EQ(recorded->getEditPropertyBase()->getPropData("User Action"), "Enable/Disable");

    host->playback[2].vType = VALIDATION_NONE;
    host->playback[2].frameFlags = PBF_APPENDED;
    auto blank = live(named("Frame 3"));
    EXPECT_EQ(blank->getEditPropertyBase()->getPropData("Fore Color"), "ForeColor");
    EXPECT_EQ(blank->getEditPropertyBase()->getProp("Back Color")->editorType, 5);
    EXPECT_EQ(blank->getEditPropertyBase()->getPropData("User Action"), "FRAMEPROPERTY");
    EXPECT_EQ(blank->Prop2Str("Fore Color"), "[None]");
    EXPECT_EQ(blank->Prop2Str("Back Color"), "#1622c7");
}

TEST_F(FrameObjectTest, UserActionIsSetFromTheValue) {
    host->playback[2].vType = VALIDATION_MOUSE;
    auto o = live(named("Frame 3"));

    apply(*o, "User Action", "Enable"); // already enabled: stays enabled
    EXPECT_EQ(o->getFrameObjectStructure()->userAction, 0);
    EXPECT_EQ(host->playback[2].actionDisabled, 0);

    apply(*o, "User Action", "Disable");
    EXPECT_EQ(o->getFrameObjectStructure()->userAction, 1);
    EXPECT_EQ(host->playback[2].actionDisabled, 1);
    apply(*o, "User Action", "Disable"); // twice: still disabled
    EXPECT_EQ(o->getFrameObjectStructure()->userAction, 1);
    EXPECT_EQ(host->playback[2].actionDisabled, 1);
    EXPECT_EQ(host->playback[2].toBytes()[SPlayBackFrameInfo::ACTION_DISABLED], 1);

    // The strip's set form carries the chosen state over the selected range.
    EXPECT_EQ(host->userActionCalls, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(host->playback[1].actionDisabled, 0);
}

TEST_F(FrameObjectTest, AudioRowReportsReleasedUsesAndTellsTheStrip) {
    auto o = live(named("Frame 3"));
    apply(*o, "Audio File Name", "[None]"); // no audio: nothing happens
    EXPECT_TRUE(media.deleted.empty());
    EXPECT_TRUE(host->soundCalls.empty());

    apply(*o, "Audio File Name", "beep.wav", 41);
    EXPECT_EQ(o->getFrameObjectStructure()->audioId, 41u);
    apply(*o, "Audio File Name", "[None]");
    EXPECT_EQ(o->getFrameObjectStructure()->audioId, 0u);
    EXPECT_EQ(media.deleted, (std::vector<unsigned long>{0, 41}));
    EXPECT_EQ(host->soundCalls, (std::vector<bool>{true, false}));
}

TEST_F(FrameObjectTest, AudioRowShowsTheFileNameOfTheStoredResource) {
    media.paths[7] = "/home/author/sounds/click.wav";
    NVFrame f = named("Frame 3");
    f.audioId = 7;
    auto o = live(f);
    EXPECT_EQ(o->Prop2Str("Audio File Name"), "click.wav");
    f.audioId = 8; // unknown: the library reports it, the row stays empty
    auto missing = live(f);
    EXPECT_EQ(missing->Prop2Str("Audio File Name"), "");
}

TEST_F(FrameObjectTest, SoundTextsAndMouseDelay) {
    auto o = live(named("Frame 3"));
    apply(*o, "Sound Clip Name", QString(19, 'c'));
    apply(*o, "Sound Clip Name", QString(20, 'd'));
    EXPECT_EQ(o->getFrameObjectStructure()->soundClip, std::string(19, 'c'));
    EXPECT_EQ(o->Prop2Str("Sound Clip Name"), QString(19, 'c'));
    apply(*o, "Sound Notes", QString(250, 'n'));
    EXPECT_EQ(o->getFrameObjectStructure()->soundNotes, "");
    EXPECT_EQ(o->Prop2Str("Sound Notes"), "");
    apply(*o, "Mouse Delay", "12");
    EXPECT_EQ(o->getFrameObjectStructure()->mouseDelay, 12);
    apply(*o, "Mouse Delay", "soon");
    EXPECT_EQ(o->getFrameObjectStructure()->mouseDelay, 0);
}

TEST_F(FrameObjectTest, RepaintItemAppliesTheSelectedRowOnly) {
    auto o = live(named("Frame 3"));
    o->getEditPropertyBase()->setProp_Value("Sound Clip Name", "clip");
    o->getEditPropertyBase()->setProp_Value("Mouse Delay", "9");
    host->propertyRow = "Mouse Delay";
    o->repaintItem();
    EXPECT_EQ(o->getFrameObjectStructure()->mouseDelay, 9);
    EXPECT_EQ(o->getFrameObjectStructure()->soundClip, "");
}

TEST_F(FrameObjectTest, StoredBytesOfTheFrameAndItsEvents) {
    NVFrame f = named("Intro");
    f.soundClip = "clip";
    f.soundNotes = "notes";
    f.audioId = 0x01020304;
    f.userAction = 1;
    f.mouseDelay = 7;
    f.foreColor = 0x00112233;
    f.backColor = 0x00445566;
    f.events = {NVFrameEvent{3, 2, 1}, NVFrameEvent{20, 1, 0}};
    auto o = live(f);
    o->slotForEvents(1); // page 0: ignored
    host->page = 1;
    o->slotForEvents(1);

    sAllObjects stored;
    NVAllObjects rec;
    o->getAllObjectStructure(&rec);
    stored.drawingObject = rec.drawingObject;
    stored.objectID = rec.objectID;
    stored.payload = *rec.get<NVFrame>();
    const auto b = stored.toBytes();
    const uint8_t* p = b.data() + sAllObjects::KIND_PART;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p)), "Intro");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 255)), "clip");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 278)), "notes");
    EXPECT_EQ(rec::readLe32(p + 528), 0x01020304u);
    EXPECT_EQ(p[532], 1);
    EXPECT_EQ(p[533], 0);
    EXPECT_EQ(rec::readLe16(p + 534), 7);
    EXPECT_EQ(rec::readLe32(p + 536), 0x00112233u);
    EXPECT_EQ(rec::readLe32(p + 540), 0x00445566u);
    EXPECT_EQ(rec::readLe16(p + 544), 1);
    EXPECT_EQ(rec::readLe32(p + 548), 2u);
    EXPECT_EQ(rec::readLe32(p + 552), 1u);
    for (size_t i = 556; i < 592; ++i)
        EXPECT_EQ(p[i], 0) << i;

    const std::vector<uint8_t> tail = stored.tailBytes();
    ASSERT_EQ(tail.size(), 32u);
    const uint8_t expected[32] = {3,  2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  20, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(tail, std::vector<uint8_t>(expected, expected + 32));
}

TEST_F(FrameObjectTest, AnImportedEventCountOtherThanTwoStillGivesTwoEvents) {
    // A stored record claiming three events: the import consumes all three
    // from the tail, the frame object keeps the first two.
    NVFrame three = named("Frame 3");
    three.events = {NVFrameEvent{1, 1, 1}, NVFrameEvent{2, 2, 0}, NVFrameEvent{5, 0, 1}};
    sAllObjects stored;
    stored.drawingObject = FRAMEOBJECT;
    stored.payload = three;
    std::vector<uint8_t> bytes;
    stored.appendTo(bytes);
    ASSERT_EQ(bytes.size(), 1024u + 48u);
    size_t consumed = 0;
    auto back = sAllObjects::read(bytes.data(), bytes.size(), consumed);
    ASSERT_TRUE(back);
    EXPECT_EQ(consumed, bytes.size());
    auto o = live(*back->get<NVFrame>());
    EXPECT_EQ(o->getFrameObjectStructure()->events,
              (std::vector<NVFrameEvent>{NVFrameEvent{1, 1, 1}, NVFrameEvent{2, 2, 0}}));

    NVFrame one = named("Frame 3");
    one.events = {NVFrameEvent{4, 2, 1}};
    auto o1 = live(one);
    EXPECT_EQ(o1->getFrameObjectStructure()->events,
              (std::vector<NVFrameEvent>{NVFrameEvent{4, 2, 1}, NVFrameEvent{}}));
    NVAllObjects rec;
    o1->getAllObjectStructure(&rec);
    uint8_t image[NVFrame::SIZE] = {};
    rec.get<NVFrame>()->writeTo(image);
    EXPECT_EQ(rec::readLe32(image + NVFrame::EVENT_COUNT), 2u);
}

TEST_F(FrameObjectTest, ExportThenEditLeavesTheExportUnchanged) {
    auto o = live(named("Frame 3"));
    NVAllObjects exported;
    o->getAllObjectStructure(&exported);
    const NVFrame before = *exported.get<NVFrame>();
    apply(*o, "Name", "Changed");
    o->getEditPropertyBase()->addEventProperties(0, "Exit Play", "On", "Events", 2, "On/Off", 0);
    o->applyEventProperty(0, "Exit Play");
    EXPECT_EQ(o->getFrameObjectStructure()->events[0].exitPlay, 1);
    EXPECT_EQ(*exported.get<NVFrame>(), before);
}

TEST_F(FrameObjectTest, EventRowsShowAndApplyTheEventsValues) {
    NVFrame f = named("Frame 3");
    f.events = {NVFrameEvent{13, 2, 1}, NVFrameEvent{25, 7, 3}};
    auto o = live(f);
    o->addEventPropEntrys(0);
    EXPECT_EQ(o->PropEventStr(0, "Transition Effect"), "Slide in left");
    EXPECT_EQ(o->PropEventStr(0, "Transition Speed"), "Fast");
    EXPECT_EQ(o->PropEventStr(0, "Exit Play"), "On");
    o->addEventPropEntrys(1); // codes outside the tables show nothing
    EXPECT_EQ(o->PropEventStr(1, "Transition Effect"), "");
    EXPECT_EQ(o->PropEventStr(1, "Transition Speed"), "");
    EXPECT_EQ(o->PropEventStr(1, "Exit Play"), "");

    EditPropertyBase* props = o->getEditPropertyBase();
    props->setEventPropValue(1, "Transition Effect", "Wipe top");
    host->eventRow = "Transition Effect";
    o->setEventProperty(1);
    EXPECT_EQ(o->getFrameObjectStructure()->events[1].transitionEffect, 3);
    props->setEventPropValue(1, "Transition Effect", "wipe top"); // not a display word
    o->setEventProperty(1);
    EXPECT_EQ(o->getFrameObjectStructure()->events[1].transitionEffect, 3);
    props->setEventPropValue(1, "Transition Speed", "Medium");
    o->applyEventProperty(1, "Transition Speed");
    EXPECT_EQ(o->getFrameObjectStructure()->events[1].transitionSpeed, 1);
    o->applyEventProperty(5, "Transition Speed"); // no such event: ignored
}

TEST_F(FrameObjectTest, EventsPageFillsTheChooserAndShowsEventZero) {
    auto o = live(named("Frame 3"));
    QSignalSpy reset(o.get(), &CFrameObject::signalResetCombo);
    host->page = 1;
    o->slotEnterEventItems(host->eventsPage);
    EXPECT_EQ(host->chooser, (QStringList{"On Frame Enter", "On Frame Leaving"}));
    ASSERT_EQ(host->eventLists.size(), 1u);
    EXPECT_EQ(host->eventLists[0].second, 0);
    host->chooserRoute(1);
    EXPECT_EQ(o->getFrameObjectStructure()->eventIndex, 1);
    EXPECT_EQ(host->eventLists.back().second, 1);

    host->page = 0;
    o->slotEnterEventItems(host->propertiesPage);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(host->resetComboCount, 1);

    // Not the selected item: nothing.
    host->selected = nullptr;
    o->slotEnterEventItems(host->propertiesPage);
    EXPECT_EQ(reset.count(), 1);
}

TEST_F(FrameObjectTest, FillColourOfAFrameIsPackedInEveryCase) {
    auto o = live(named("Frame 3"));
    NVAllObjects first;
    NVFrame f = named("Frame 1");
    f.foreColor = 0x00010203;
    first.payload = f;
    host->records[0].AllObjects.push_back(first);
    NVFrame g = named("Frame 2");
    g.backColor = 0x00A0B0C0;
    NVAllObjects second;
    second.payload = g;
    host->records[1].AllObjects.push_back(second);
    EXPECT_EQ(o->getFrameFillColor(0), 0x00010203);
    EXPECT_EQ(o->getFrameFillColor(1), 0x00A0B0C0);
    CFrameObject::backColor = QColor(255, 0, 0);
    EXPECT_EQ(o->getFrameFillColor(3), 0x000000FF); // no records: the default, packed
}

} // namespace

namespace {

// The view applies the edited row by name without knowing the class.
TEST_F(FrameObjectTest, TheEditedRowCanBeAppliedByNameThroughTheMetaObject) {
    auto o = live(named("Frame 3"));
    o->getEditPropertyBase()->setProp_Value("Mouse Delay", "33");
    QObject* item = o.get();
    ASSERT_TRUE(
        QMetaObject::invokeMethod(item, "applyProperty", Q_ARG(QString, QStringLiteral("Mouse Delay"))));
    EXPECT_EQ(o->getFrameObjectStructure()->mouseDelay, 33);
}

} // namespace
