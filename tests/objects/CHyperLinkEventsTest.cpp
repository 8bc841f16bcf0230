// The hyperlink's six events: their rows, the actions stored from them, the
// message dialog's shared records and the Events page.
#include "InteractiveTestHost.h"

#include "objects/interactive/CHyperLink.h"
#include "objects/interactive/CHyperLinkRecord.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyLviBase.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using interactivetest::SpyMediaLibrary;

// A host with stand-in validation fields: IDs by position.
class HyperHost : public interactivetest::FakeHost {
  public:
    using FakeHost::FakeHost;
    std::vector<std::pair<int, QString>> fields;
    std::vector<std::pair<DrawTools*, int>> hyperLists;
    int validationFieldCount() const override { return int(fields.size()); }
    QString validationFieldName(int pos) const override {
        return pos >= 1 && pos <= int(fields.size()) ? fields[size_t(pos - 1)].second : QString();
    }
    int validationFieldId(int pos) const override {
        return pos >= 1 && pos <= int(fields.size()) ? fields[size_t(pos - 1)].first : 0;
    }
    void refillHyperEventList(DrawTools* o, int e) override {
        hyperLists.emplace_back(o, e);
        o->addEventPropEntrys(e);
    }
};

class HyperLinkEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        interactivetest::app();
        DrawTools::setMediaLibrary(&media);
        media.paths[0x06010001] = "/res/images/sun.png";
        media.paths[0x06010002] = "/res/images/moon.png";
        host = std::make_unique<HyperHost>(3);
        for (size_t i = 0; i < host->playback.size(); ++i)
            host->playback[i].frameNumber = uint32_t(10 + i);
        host->page = 1;
        link = std::make_unique<CHyperLink>(nullptr, nullptr, 1);
        host->selected = link.get();
        resetRecords();
    }
    void TearDown() override {
        link.reset();
        DrawTools::setMediaLibrary(nullptr);
        resetRecords();
    }
    static void resetRecords() {
        PropertyLviBase::m_sValidMessage = {};
        PropertyLviBase::m_sValidError = {};
        PropertyLviBase::bNotFirstMessage = 0;
        PropertyLviBase::bNotFirstError = 0;
    }
    sHyperLinkEvent& event(int i) { return link->payload().events[size_t(i)]; }
    // Lists the event, writes the row as its editor would and stores it.
    void store(int e, const QString& row, const QString& value, int id = 0) {
        link->addEventPropEntrys(e);
        EditPropertyBase* p = link->getEditPropertyBase();
        if (e < 4) {
            p->setEventPropertyValue(e, row, value);
            p->setEventPropertyValueId(e, row, id);
        } else {
            p->setEventPropValue(e, row, value);
            p->setEventPropValueId(e, row, id);
        }
        link->applyEventProperty(e, row);
    }
    QString shown(int e, const QString& row) {
        link->addEventPropEntrys(e);
        return e < 4 ? link->PropHypEventStr(e, row) : link->PropEventStr(e, row);
    }
    void acceptMessage(int e, const std::string& text, const std::string& caption, uint32_t icon = 0) {
        PropertyLviBase::bNotFirstMessage = 1;
        PropertyLviBase::m_sValidMessage = {text, icon, caption};
        store(e, "Validation Message", "");
    }
    void acceptError(int e, const std::string& text, const std::string& caption, uint32_t icon = 0) {
        PropertyLviBase::bNotFirstError = 1;
        PropertyLviBase::m_sValidError = {text, icon, caption};
        store(e, "Validation Error Message", "");
    }

    SpyMediaLibrary media;
    std::unique_ptr<HyperHost> host;
    std::unique_ptr<CHyperLink> link;
};

TEST_F(HyperLinkEvents, NewHyperlinkShowsEmptyActions) {
    const struct {
        int event;
        const char* row;
        const char* value;
    } rows[] = {
        {0, "Play VLM File", "[None]"},
        {0, "Run External File", "[None]"},
        {0, "Open URL", ""},
        {0, "Validation Image", "[None]"},
        {0, "Validation Sound", "[None]"},
        {0, "Validation Video", "[None]"},
        {0, "Validation Frame (Go To)", "0"},
        {0, "Validation Target", "[None]"},
        {0, "Exit Play", "Off"},
        {4, "Audio File Name", "[None]"},
        {4, "Mouse Pointer", "Arrow"},
        {4, "Exit Play", "Off"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.value, shown(r.event, r.row)) << r.event << " " << r.row;
}

TEST_F(HyperLinkEvents, MessagesAndErrorsBuildAndReleaseTheBlock) {
    acceptMessage(0, "Well done", "Hi");
    ASSERT_TRUE(event(0).dialog.has_value());
    EXPECT_EQ(42, event(0).dialogLength);
    EXPECT_EQ("Well done", event(0).message);
    EXPECT_TRUE(PropertyLviBase::m_sValidMessage.text.empty()) << "the record is consumed";
    acceptError(0, "Try again", "Oops!", 0x06010001);
    EXPECT_EQ(47, event(0).dialogLength);
    EXPECT_EQ("Oops!", event(0).dialog->caption1);

    // A shorter message after a longer one.
    acceptMessage(0, "Ok", "Hi");
    EXPECT_EQ("Ok", event(0).message);

    // Cancel of the message keeps the error part.
    PropertyLviBase::bNotFirstMessage = 0;
    store(0, "Validation Message", "");
    EXPECT_TRUE(event(0).message.empty());
    ASSERT_TRUE(event(0).dialog.has_value());
    EXPECT_EQ("Oops!", event(0).dialog->caption1);
    EXPECT_TRUE(event(0).dialog->caption0.empty());

    // Emptying the error too releases the block; both texts empty give 0.
    PropertyLviBase::bNotFirstError = 0;
    store(0, "Validation Error Message", "");
    EXPECT_FALSE(event(0).dialog.has_value());
    EXPECT_EQ(0, event(0).dialogLength);
    EXPECT_EQ(0, CHyperLinkRecord::eventMask(link->record()));
}

TEST_F(HyperLinkEvents, TextsLongerThanTheirFieldsAreBounded) {
    acceptMessage(1, std::string(300, 'm'), "c");
    EXPECT_EQ(257u, event(1).message.size());
    acceptError(1, std::string(256, 'e'), "c");
    EXPECT_EQ(255u, event(1).errorMessage.size());
}

TEST_F(HyperLinkEvents, PathsAndUrlsUpTo259Characters) {
    const QString ok(259, QLatin1Char('u')), tooLong(260, QLatin1Char('v'));
    for (const char* row : {"Open URL", "Run External File", "Play VLM File"}) {
        store(0, row, ok);
        store(0, row, tooLong);
    }
    EXPECT_EQ(259u, event(0).url.size());
    EXPECT_EQ(259u, event(0).runFile.size());
    EXPECT_EQ(259u, event(0).playFile.size());
    EXPECT_EQ('u', event(0).url[0]);
    // "[None]" empties both paths; an empty value empties only the file to run.
    store(0, "Run External File", "");
    store(0, "Play VLM File", "");
    EXPECT_TRUE(event(0).runFile.empty());
    EXPECT_EQ(259u, event(0).playFile.size());
    store(0, "Play VLM File", "[None]");
    EXPECT_TRUE(event(0).playFile.empty());
}

TEST_F(HyperLinkEvents, GotoWordsAndFrames) {
    const struct {
        const char* value;
        int id;
        int32_t stored;
        const char* shownAgain;
    } cases[] = {
        {"Next", 0, -1, "Next"},       {"Previous", 0, -2, "Previous"}, {"0", 0, 0, "0"},
        {"Frame 2", 1, 11, "Frame 2"}, {"Frame 9", 7, 11, "Frame 2"}, // an index past the frames
    };
    for (const auto& c : cases) {
        store(2, "Validation Frame (Go To)", c.value, c.id);
        EXPECT_EQ(c.stored, event(2).gotoFrame) << c.value;
        EXPECT_EQ(c.shownAgain, shown(2, "Validation Frame (Go To)")) << c.value;
    }
    event(2).gotoFrame = 99;
    EXPECT_EQ("", shown(2, "Validation Frame (Go To)"));
    EXPECT_EQ(4, CHyperLinkRecord::eventMask(link->record()));
}

TEST_F(HyperLinkEvents, TargetShowsTheFieldWithTheStoredId) {
    host->fields = {{2, "Answer A"}, {3, "Answer B"}};
    store(3, "Validation Target", "Answer B", 2);
    EXPECT_EQ(3, event(3).validationTarget);
    EXPECT_EQ("Answer B", shown(3, "Validation Target"));
    store(3, "Validation Target", "[None]");
    EXPECT_EQ(0, event(3).validationTarget);
}

TEST_F(HyperLinkEvents, ResourcesAndPointerRows) {
    store(0, "Validation Image", "sun.png", 0x06010001);
    EXPECT_EQ(0x06010001u, event(0).validationImageId);
    EXPECT_EQ("sun.png", shown(0, "Validation Image"));
    store(0, "Validation Image", "moon.png", 0x06010002);
    store(0, "Validation Image", "[None]");
    EXPECT_EQ(0u, event(0).validationImageId);
    EXPECT_EQ(std::vector<unsigned long>({0x06010001, 0x06010002}), media.deleted);

    const struct {
        const char* row;
        const char* value;
        int id;
    } rows[] = {
        {"Mouse Pointer", "Finger", 0}, {"Exit Play", "On", 0}, {"Audio File Name", "moon.png", 0x06010002}};
    for (const auto& r : rows)
        store(5, r.row, r.value, r.id);
    EXPECT_EQ(14, event(5).mousePointer);
    EXPECT_EQ(1, event(5).exitPlay);
    EXPECT_EQ(0x06010002u, event(5).audioId);
    store(5, "Mouse Pointer", "Banana");
    EXPECT_EQ(14, event(5).mousePointer);
    EXPECT_EQ("Finger", shown(5, "Mouse Pointer"));
}

TEST_F(HyperLinkEvents, EventsPageListsSixEventsAndLoadsTheRecords) {
    link->slotEnterEventItems(host->eventsPage);
    EXPECT_EQ(CHyperLink::eventNames(), host->chooser);
    ASSERT_FALSE(host->hyperLists.empty());
    EXPECT_EQ(0, host->hyperLists.back().second);

    acceptMessage(1, "Hello", "Hi");
    resetRecords();
    host->chooserRoute(1);
    EXPECT_EQ(1, link->payload().currentEvent);
    EXPECT_EQ(1, PropertyLviBase::bNotFirstMessage);
    EXPECT_EQ("Hello", PropertyLviBase::m_sValidMessage.text);
    EXPECT_EQ("Hi", PropertyLviBase::m_sValidMessage.caption);
    host->chooserRoute(2);
    EXPECT_EQ(0, PropertyLviBase::bNotFirstMessage);
    host->chooserRoute(4);
    EXPECT_EQ(4, host->eventLists.back().second);

    link->slotEnterEventItems(host->propertiesPage);
    EXPECT_EQ(1, host->resetComboCount);
}

} // namespace
