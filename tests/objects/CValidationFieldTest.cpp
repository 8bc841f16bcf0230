// Validation fields with the test host: the new field, the strings applied
// from the shared working copy, keys and strings removed, key events stored
// from their rows, use counts, the Events page, the shared records loaded at
// a press and a chooser pick, and the record's stored form.
#include "InteractiveTestHost.h"

#include "canvas/records/sAllObjects.h"
#include "objects/interactive/CEditValidationField.h"
#include "objects/interactive/CHyperLink.h"
#include "objects/interactive/CValidationField.h"
#include "objects/interactive/ValidationFieldRecord.h"
#include "properties/EditPropertyBase.h"
#include "properties/PropertyLviBase.h"
#include "store/CValidationData.h"
#include "store/RecordIO.h"
#include "support/ValidationStrings.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using interactivetest::FakeHost;
using interactivetest::SpyMediaLibrary;
using testsupport::CTRL_A;
using testsupport::HOME;
using testsupport::SHIFT_B;
using testsupport::validationString;

// A host with stand-in fields on the frame: IDs by position.
class FieldHost : public FakeHost {
  public:
    using FakeHost::FakeHost;
    std::vector<int> ids;
    int validationFieldCount() const override { return int(ids.size()); }
    int validationFieldId(int pos) const override {
        return pos >= 1 && pos <= int(ids.size()) ? ids[size_t(pos - 1)] : 0;
    }
};

sValidationKeyEvent event(uint32_t image, uint32_t icon = 0) {
    sValidationKeyEvent e;
    e.imageId = image;
    e.iconId = icon;
    return e;
}

std::vector<unsigned long> sorted(std::vector<unsigned long> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class ValidationFieldTest : public ::testing::Test {
  public:
    void SetUp() override {
        interactivetest::app();
        DrawTools::setMediaLibrary(&media);
        host = std::make_unique<FieldHost>(3);
        for (size_t i = 0; i < host->playback.size(); ++i)
            host->playback[i].frameNumber = uint32_t(10 + i);
        PropertyLviBase::resetSharedRecords();
    }
    void TearDown() override {
        host.reset();
        DrawTools::setMediaLibrary(nullptr);
        PropertyLviBase::resetSharedRecords();
    }

    std::unique_ptr<CValidationField> newField(int number = 1) {
        auto f = std::make_unique<CValidationField>(nullptr, nullptr, nullptr, number);
        f->restoreGeometry(QRect(20, 30, 200, 40));
        return f;
    }
    static sValidationField& rec(CValidationField& f) { return f.editor()->field(); }
    static QString value(CValidationField& f, const char* row) {
        return f.getEditPropertyBase()->getPropValue(QString::fromLatin1(row));
    }
    void apply(CValidationField& f, const char* row, const QString& v) {
        f.getEditPropertyBase()->setProp_Value(QString::fromLatin1(row), v);
        host->propertyRow = QString::fromLatin1(row);
        f.repaintItem();
    }
    // The string dialog's result applied with the named string.
    void applyStrings(CValidationField& f, std::vector<sMultiValidationString> work, const QString& named) {
        PropertyLviBase::VRmuValidStr = std::move(work);
        PropertyLviBase::bNotFirstEntry = 1;
        apply(f, "Validation String", named);
    }
    void enterEvents(CValidationField& f) {
        host->selected = &f;
        host->page = 1;
        f.slotEnterEventItems(host->eventsPage);
    }
    // Lists the key, writes the row as its editor would and stores it.
    void store(CValidationField& f, int s, int k, const char* row, const QString& v, int id = 0) {
        f.addEventPropEntrys(s, k);
        EditPropertyBase* p = f.getEditPropertyBase();
        p->setValEventPropValue(s, k, QString::fromLatin1(row), v);
        p->setValEventPropValueId(s, k, QString::fromLatin1(row), id);
        host->eventRow = QString::fromLatin1(row);
        f.setEventProperty(s, k);
    }
    QString shown(CValidationField& f, int s, int k, const char* row) {
        f.addEventPropEntrys(s, k);
        return f.getEditPropertyBase()->getValEventPropValue(s, k, QString::fromLatin1(row));
    }
    // A field whose first string has keys with events showing images and icons.
    std::unique_ptr<CValidationField> fieldWithEvents() {
        auto f = newField();
        applyStrings(*f, {validationString("abc", {CTRL_A, SHIFT_B, HOME}), validationString("xyz", {})},
                     "abc");
        auto& keys = rec(*f).strings.list[0].keys;
        keys[0].event = event(11, 12);
        keys[1].event = event(13);
        keys[2].event = event(0, 14);
        return f;
    }

    SpyMediaLibrary media;
    std::unique_ptr<FieldHost> host;
};

TEST_F(ValidationFieldTest, NewFieldDefaults) {
    host->ids = {1, 5};
    auto f = newField(3);
    const sValidationField& p = rec(*f);
    EXPECT_EQ("Validation Field 3", p.name);
    EXPECT_EQ(QStringList{"Validation Field 3"}, host->appendedNames);
    EXPECT_EQ((NVColor{255, 255, 255}), p.backColor);
    EXPECT_EQ((NVColor{0, 0, 0}), p.foreColor);
    EXPECT_EQ(1, p.attribute);
    EXPECT_EQ(QFrame::Panel | QFrame::Plain, f->editor()->frameStyle());
    EXPECT_EQ(1, f->editor()->lineWidth());
    ASSERT_TRUE(p.font);
    EXPECT_EQ("helvetica", p.font->family);
    EXPECT_EQ(12, p.font->pointSize);
    EXPECT_EQ(1, p.scrolling);
    EXPECT_EQ(0, p.align + p.transparent + p.caseSensitive + p.dynamicGrow + p.password);
    EXPECT_TRUE(p.strings.list.empty());
    EXPECT_EQ(40, p.dialogLength);
    EXPECT_TRUE(f->editor()->isReadOnly());
    EXPECT_EQ(Qt::ScrollBarAlwaysOff, f->editor()->verticalScrollBarPolicy());
    // One more than the highest ID on the frame, not the field count.
    EXPECT_EQ(6, p.validationId);
    EXPECT_EQ(6, p.validationNumber);
    EXPECT_EQ(6, f->getObjectID());
    EXPECT_EQ("Rectangle", value(*f, "Attribute"));
    EXPECT_EQ("Left", value(*f, "Align Text"));
    EXPECT_EQ("Off", value(*f, "Case Sensitive"));
    EXPECT_EQ("No", value(*f, "Password Field"));
    EXPECT_EQ("", value(*f, "Font"));
}

TEST_F(ValidationFieldTest, PropertyRowsApply) {
    auto f = newField();
    struct Row {
        const char* row;
        const char* value;
        std::function<bool(const sValidationField&, CEditValidationField&)> holds;
    };
    const std::vector<Row> rows{
        {"Name", "  Answer  ", [](auto& p, auto&) { return p.name == "Answer"; }},
        {"Name", "123456789012345678901234567890", [](auto& p, auto&) { return p.name == "Answer"; }},
        {"Name", "   ", [](auto& p, auto&) { return p.name == "Validation Field 1"; }},
        {"Left", "70", [](auto& p, auto& e) { return p.x == 70 && e.x() == 70; }},
        {"Height", "55", [](auto& p, auto& e) { return p.height == 55 && e.height() == 55; }},
        {"Attribute", "3D",
         [](auto& p, auto& e) { return p.attribute == 3 && e.frameStyle() == 49 && e.lineWidth() == 1; }},
        {"Attribute", "Odd", [](auto& p, auto&) { return p.attribute == 3; }},
        {"Attribute", "None", [](auto& p, auto& e) { return p.attribute == 0 && e.frameStyle() == 0; }},
        {"Back Color", "#102030",
         [](auto& p, auto&) {
             return p.backColor == NVColor{16, 32, 48};
         }},
        {"Case Sensitive", "On", [](auto& p, auto&) { return p.caseSensitive == 1; }},
        {"Case Sensitive", "yes", [](auto& p, auto&) { return p.caseSensitive == 0; }},
        {"Align Text", "Right", [](auto& p, auto&) { return p.align == 2; }},
        {"Align Text", "Middle", [](auto& p, auto&) { return p.align == 2; }},
        {"Dynamic Grow", "On", [](auto& p, auto&) { return p.dynamicGrow == 1; }},
        {"Password Field", "Yes", [](auto& p, auto&) { return p.password == 1; }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.row) + " " + r.value);
        apply(*f, r.row, QString::fromLatin1(r.value));
        EXPECT_TRUE(r.holds(rec(*f), *f->editor()));
    }
}

TEST_F(ValidationFieldTest, TwoStringsAppliedGetTheirEventsOnlyOnTheEventsPage) {
    auto f = newField();
    applyStrings(*f, {validationString("abc", {CTRL_A, SHIFT_B}), validationString("xyz", {})}, "abc");
    const SMultiString& s = rec(*f).strings;
    ASSERT_EQ(2u, s.list.size());
    EXPECT_EQ(2, s.list[0].nKeyCount);
    EXPECT_FALSE(s.list[0].keys[0].event);
    EXPECT_FALSE(s.list[0].keys[1].event);
    EXPECT_EQ(0u, s.list[1].keys.size());
    EXPECT_EQ(CValidationData().pack(s), rec(*f).validationData);
    // The keyless string came last; the named one has keys.
    EXPECT_TRUE(f->hasEvents);

    QSignalSpy itemKey(f.get(), &CValidationField::signalItemKey);
    enterEvents(*f);
    EXPECT_EQ((QStringList{"On CTRL+A", "On SHIFT+B"}), host->chooser);
    EXPECT_TRUE(s.list[0].keys[0].event);
    EXPECT_TRUE(s.list[0].keys[1].event);
    ASSERT_EQ(1, itemKey.count());
    EXPECT_EQ(0, itemKey.at(0).at(0).toInt());
    ASSERT_EQ(1u, host->keyEventLists.size());
    EXPECT_EQ(std::make_pair(0, 0), host->keyEventLists[0]);
    EXPECT_EQ("[None]", f->getEditPropertyBase()->getValEventPropValue(0, 0, "Validation Image"));
    // The chooser routes a key to its rows.
    host->chooserRoute(1);
    EXPECT_EQ(std::make_pair(0, 1), host->keyEventLists.back());
    host->chooserRoute(7);
    EXPECT_EQ(2u, host->keyEventLists.size());

    // A keyless string lists nothing and asks for no rows.
    host->page = 0;
    apply(*f, "Validation String", "xyz");
    EXPECT_FALSE(f->hasEvents);
    EXPECT_FALSE(host->eventsPageStates.back());
    enterEvents(*f);
    EXPECT_TRUE(host->chooser.isEmpty());
    EXPECT_EQ(1, itemKey.count());
}

TEST_F(ValidationFieldTest, EventsFlagFollowsTheNamedString) {
    struct Case {
        const char* name;
        std::function<void(ValidationFieldTest&, CValidationField&)> step;
        bool events;
    };
    const std::vector<Case> cases{
        {"keyless string applied last",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A}), validationString("xyz", {})}, "abc");
         },
         true},
        {"a second field made",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A}), validationString("xyz", {})}, "abc");
             t.host->currentObject = &f;
             auto second = t.newField(2);
         },
         true},
        {"a press on a field whose strings are keyless",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A}), validationString("xyz", {})}, "abc");
             f.editor()->afterHandleTestHook();
         },
         true},
        {"the named string's keys removed",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A}), validationString("xyz", {})}, "abc");
             t.rec(f).strings.list[0].keys[0].event = sValidationKeyEvent{};
             f.removedKey(0, 0);
         },
         false},
        {"the named string removed",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A}), validationString("xyz", {})}, "abc");
             f.resizeMultiStringVector(0);
         },
         false},
        {"every string removed by the dialog",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A})}, "abc");
             t.applyStrings(f, {}, "");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto f = newField();
        host->selected = f.get();
        c.step(*this, *f);
        EXPECT_EQ(c.events, f->hasEvents);
        PropertyLviBase::resetSharedRecords();
    }
}

TEST_F(ValidationFieldTest, RemovedKeyLeavesTheOtherKeysTheirOwnEvents) {
    auto f = fieldWithEvents();
    f->removedKey(0, 1);
    const auto& keys = rec(*f).strings.list[0].keys;
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(2, rec(*f).strings.list[0].nKeyCount);
    EXPECT_EQ(CTRL_A, keys[0].uiValidationKey);
    EXPECT_EQ(HOME, keys[1].uiValidationKey);
    // The dialog removed the same key from its copy; the apply keeps events.
    applyStrings(*f, {validationString("abc", {CTRL_A, HOME}), validationString("xyz", {})}, "abc");
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(11u, keys[0].event->imageId);
    EXPECT_EQ(14u, keys[1].event->iconId);
    EXPECT_EQ(CValidationData().pack(rec(*f).strings), rec(*f).validationData);
}

TEST_F(ValidationFieldTest, RemovalsOutsideTheListOrOfKeysWithoutEventsDoNothing) {
    auto f = fieldWithEvents();
    rec(*f).strings.list[0].keys[2].event.reset();
    const SMultiString before = rec(*f).strings;
    for (auto [s, k] : std::vector<std::pair<int, int>>{{0, 2}, {0, 3}, {2, 0}, {-1, 0}, {0, -1}})
        f->removedKey(s, k);
    for (int s : {2, 5, -1})
        f->resizeMultiStringVector(s);
    EXPECT_EQ(before, rec(*f).strings);
    EXPECT_TRUE(media.deleted.empty());
}

TEST_F(ValidationFieldTest, ThreeKeyStringRemoved) {
    auto f = fieldWithEvents();
    f->resizeMultiStringVector(0);
    ASSERT_EQ(1u, rec(*f).strings.list.size());
    EXPECT_EQ("xyz", rec(*f).strings.list[0].text);
    EXPECT_EQ(CValidationData().pack(rec(*f).strings), rec(*f).validationData);
}

TEST_F(ValidationFieldTest, UseCounts) {
    struct Case {
        const char* name;
        std::function<void(ValidationFieldTest&, CValidationField&)> step;
        std::vector<unsigned long> added;
        std::vector<unsigned long> released;
    };
    const std::vector<Case> cases{
        {"paste",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.rec(f).dialogLength = 44;
             t.rec(f).dialog = sMessageDialogBlock{};
             t.rec(f).dialog->caption0 = "Oops";
             t.rec(f).dialog->icon1 = 15;
             NVAllObjects record;
             f.getAllObjectStructure(&record);
             CValidationField pasted(nullptr, record, 2, QPoint(5, 5));
         },
         {11, 12, 13, 14, 15},
         {}},
        {"key removed", [](ValidationFieldTest&, CValidationField& f) { f.removedKey(0, 0); }, {}, {11, 12}},
        {"string removed",
         [](ValidationFieldTest&, CValidationField& f) { f.resizeMultiStringVector(0); },
         {},
         {11, 12, 13, 14}},
        {"keys trimmed by an apply",
         [](ValidationFieldTest& t, CValidationField& f) {
             t.applyStrings(f, {validationString("abc", {CTRL_A}), validationString("xyz", {})}, "abc");
         },
         {},
         {13, 14}},
        {"strings dropped by an apply",
         [](ValidationFieldTest& t, CValidationField& f) { t.applyStrings(f, {}, ""); },
         {},
         {11, 12, 13, 14}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto f = fieldWithEvents();
        media.added.clear();
        media.deleted.clear();
        c.step(*this, *f);
        EXPECT_EQ(c.added, sorted(media.added));
        EXPECT_EQ(c.released, sorted(media.deleted));
    }
}

TEST_F(ValidationFieldTest, PastedFieldOwnsItsStrings) {
    auto f = fieldWithEvents();
    rec(*f).strings.list[0].keys[0].event->caption = "Twelve chars";
    NVAllObjects record;
    f->getAllObjectStructure(&record);
    CValidationField pasted(nullptr, record, 4, QPoint(5, 5));
    const sValidationField& p = pasted.editor()->field();
    EXPECT_EQ("Validation Field 4", p.name);
    EXPECT_EQ(25, p.x);
    EXPECT_EQ(35, p.y);
    EXPECT_EQ(rec(*f).strings, p.strings);
    rec(*f).strings.list[0].keys[0].event->caption = "Other";
    EXPECT_EQ("Twelve chars", p.strings.list[0].keys[0].event->caption);
    // No string is named yet, so the Events page stays off.
    EXPECT_FALSE(pasted.hasEvents);
}

TEST_F(ValidationFieldTest, KeyEvents) {
    auto f = fieldWithEvents();
    sValidationKeyEvent& e0 = *rec(*f).strings.list[0].keys[0].event;

    store(*f, 0, 0, "Validation Image", "[None]");
    EXPECT_EQ(0u, e0.imageId);
    EXPECT_EQ(std::vector<unsigned long>{11}, media.deleted);
    media.paths[21] = "/res/images/sun.png";
    store(*f, 0, 0, "Validation Image", "sun.png", 21);
    EXPECT_EQ(21u, e0.imageId);
    EXPECT_EQ("sun.png", shown(*f, 0, 0, "Validation Image"));

    struct Goto {
        const char* value;
        int id;
        int32_t stored;
        const char* shown;
    };
    for (const Goto& g : std::vector<Goto>{{"Previous", 0, -2, "Previous"},
                                           {"Next", 0, -1, "Next"},
                                           {"Frame 1", 0, -3, "Frame 1"},
                                           {"0", 0, 0, "0"},
                                           {"Frame 3", 2, 12, "Frame 3"},
                                           {"Frame 9", 9, 12, "Frame 3"}}) {
        SCOPED_TRACE(g.value);
        store(*f, 0, 0, "Validation Frame (Go To)", g.value, g.id);
        EXPECT_EQ(g.stored, int32_t(e0.word268));
        EXPECT_EQ(g.shown, shown(*f, 0, 0, "Validation Frame (Go To)"));
    }

    const size_t before = rec(*f).validationData.size();
    PropertyLviBase::bNotFirstMessage = 1;
    PropertyLviBase::m_sValidMessage = sValidMessageRecord{"Well done", 31, "Caption"};
    store(*f, 0, 0, "Validation Message", "");
    EXPECT_EQ("Well done", e0.message);
    EXPECT_EQ("Caption", e0.caption);
    EXPECT_EQ(31u, e0.iconId);
    EXPECT_TRUE(PropertyLviBase::m_sValidMessage.text.empty());
    EXPECT_TRUE(PropertyLviBase::m_sValidMessage.caption.empty());
    EXPECT_EQ(before + 7, rec(*f).validationData.size());

    // The message comes back when the key is chosen on the Events page.
    PropertyLviBase::resetSharedRecords();
    f->getEditPropertyBase()->setProp_Value("Validation String", "abc");
    enterEvents(*f);
    EXPECT_EQ(1, PropertyLviBase::bNotFirstMessage);
    EXPECT_EQ("Caption", PropertyLviBase::m_sValidMessage.caption);
    f->editor()->slotEventForKeys(1);
    EXPECT_EQ(0, PropertyLviBase::bNotFirstMessage);

    PropertyLviBase::bNotFirstMessage = 0;
    store(*f, 0, 0, "Validation Message", "");
    EXPECT_TRUE(e0.message.empty());
    EXPECT_TRUE(e0.caption.empty());
    EXPECT_EQ(0u, e0.iconId);
}

TEST_F(ValidationFieldTest, KeyEventIndexesOutsideTheListDoNothing) {
    auto f = fieldWithEvents();
    const SMultiString before = rec(*f).strings;
    const size_t lists = host->keyEventLists.size();
    for (auto [s, k] : std::vector<std::pair<int, int>>{{0, 3}, {1, 0}, {2, 0}, {-1, 0}, {0, -1}}) {
        SCOPED_TRACE(s * 10 + k);
        f->addEventPropEntrys(s, k);
        host->eventRow = "Validation Image";
        f->setEventProperty(s, k);
        f->editor()->setCurrentString(s);
        host->page = 1;
        host->selected = f.get();
        f->editor()->slotEventForKeys(k);
    }
    EXPECT_EQ(before, rec(*f).strings);
    EXPECT_EQ(lists, host->keyEventLists.size());
    EXPECT_EQ(0, f->getEditPropertyBase()->validationStringCount());
}

TEST_F(ValidationFieldTest, ErrorMessageKeepsItsCaptionAfterAHyperlinkStore) {
    auto f = newField();
    PropertyLviBase::bNotFirstError = 1;
    PropertyLviBase::m_sValidError = sValidMessageRecord{"Wrong", 9, "Oops"};
    apply(*f, "Validation Error Message", "");
    const sValidationField& p = rec(*f);
    EXPECT_EQ("Wrong", p.errorText);
    ASSERT_TRUE(p.dialog);
    EXPECT_EQ("Oops", p.dialog->caption0);
    EXPECT_EQ(9u, p.dialog->icon1);
    EXPECT_EQ(44, p.dialogLength);
    EXPECT_EQ("Oops", PropertyLviBase::m_sValidError.caption);

    CHyperLink link(nullptr, nullptr, 1);
    link.addEventPropEntrys(0);
    link.applyEventProperty(0, "Validation Error Message");
    EXPECT_TRUE(PropertyLviBase::m_sValidError.caption.empty());
    EXPECT_EQ("Oops", p.dialog->caption0);

    PropertyLviBase::bNotFirstError = 0;
    apply(*f, "Validation Error Message", "");
    EXPECT_EQ(40, p.dialogLength);
    EXPECT_TRUE(p.errorText.empty());
    EXPECT_TRUE(p.dialog->caption0.empty());
}

TEST_F(ValidationFieldTest, PressAndChooserPickLoadTheirOwnFieldsStrings) {
    auto first = newField(1);
    auto second = newField(2);
    applyStrings(*first, {validationString("one", {CTRL_A})}, "one");
    applyStrings(*second, {validationString("two", {}), validationString("three", {SHIFT_B})}, "two");
    rec(*second).errorText = std::string(259, 'e');
    rec(*second).dialogLength = 42;
    rec(*second).dialog = sMessageDialogBlock{};
    rec(*second).dialog->caption0 = "Hi";
    PropertyLviBase::resetSharedRecords();

    first->editor()->afterHandleTestHook();
    ASSERT_EQ(1u, PropertyLviBase::VRmuValidStr.size());
    EXPECT_EQ("one", PropertyLviBase::VRmuValidStr[0].text);
    EXPECT_EQ(CTRL_A, PropertyLviBase::VRmuValidStr[0].keys[0].uiValidationKey);
    EXPECT_FALSE(PropertyLviBase::VRmuValidStr[0].keys[0].event);
    EXPECT_EQ(0, PropertyLviBase::bNotFirstError);

    // A Properties-page pick of the other field.
    host->selected = second.get();
    host->page = 0;
    second->selectValidationFromCombo();
    ASSERT_EQ(2u, PropertyLviBase::VRmuValidStr.size());
    EXPECT_EQ("three", PropertyLviBase::VRmuValidStr[1].text);
    EXPECT_EQ(1, PropertyLviBase::bNotFirstEntry);
    // A text of 259 characters arrives whole.
    EXPECT_EQ(259u, PropertyLviBase::m_sValidError.text.size());
    EXPECT_EQ("Hi", PropertyLviBase::m_sValidError.caption);

    // On the Events page only the error text is loaded.
    PropertyLviBase::resetSharedRecords();
    host->page = 1;
    second->selectValidationFromCombo();
    EXPECT_EQ(0, PropertyLviBase::bNotFirstEntry);
    EXPECT_EQ(1, PropertyLviBase::bNotFirstError);
    EXPECT_TRUE(PropertyLviBase::m_sValidError.caption.empty());
    // A field that is not the selected one loads nothing.
    PropertyLviBase::resetSharedRecords();
    host->page = 0;
    first->selectValidationFromCombo();
    EXPECT_TRUE(PropertyLviBase::VRmuValidStr.empty());
}

TEST_F(ValidationFieldTest, CreationPressEmptiesTheWorkingCopy) {
    auto f = newField();
    PropertyLviBase::VRmuValidStr = {validationString("old", {})};
    PropertyLviBase::bNotFirstEntry = 1;
    rec(*f).dialogLength = 50;
    f->editor()->armedPressHook();
    EXPECT_TRUE(PropertyLviBase::VRmuValidStr.empty());
    EXPECT_EQ(0, PropertyLviBase::bNotFirstEntry);
    EXPECT_EQ(40, rec(*f).dialogLength);
}

TEST_F(ValidationFieldTest, LookupsByTheCurrentString) {
    auto f = fieldWithEvents();
    NVAllObjects record;
    f->getAllObjectStructure(&record);
    const sMultiValidationString* found = nullptr;
    CValidationField::m_ValidationString.clear();
    EXPECT_FALSE(CValidationField::IsValKeyEmpty(&record));
    CValidationField::m_ValidationString = "xyz";
    CValidationField::GetCurrentValkey(found, &record);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ("xyz", found->text);
    EXPECT_FALSE(CValidationField::IsValKeyEmpty(&record));
    CValidationField::m_ValidationString = "abc";
    EXPECT_TRUE(CValidationField::IsValKeyEmpty(&record));
    CValidationField::m_ValidationString.clear();
    EXPECT_TRUE(CValidationField::CopyValidationData(&record));
    EXPECT_EQ(CValidationData().pack(record.get<sValidationField>()->strings),
              record.get<sValidationField>()->validationData);
    NVAllObjects empty;
    empty.payload = sValidationField{};
    EXPECT_FALSE(CValidationField::CopyValidationData(&empty));
}

// ---- stored form ----

TEST(ValidationFieldRecord, StoredForm) {
    sValidationField p;
    p.name = "Answer";
    p.font = NVFont{"helvetica", 10};
    p.validationNumber = 3;
    p.validationId = 3;
    p.scrolling = 1;
    NVAllObjects record;
    record.drawingObject = VALIDATIONFIELD;
    record.payload = p;
    const auto bytes = ValidationFieldRecord::toStored(record).toBytes();
    EXPECT_EQ(-10, int32_t(rec::readLe32(bytes.data() + 660)));
    EXPECT_EQ(-10, int32_t(rec::readLe32(bytes.data() + 664)));
    EXPECT_EQ(3, rec::readLe16(bytes.data() + 652));
    EXPECT_EQ(3, rec::readLe16(bytes.data() + 980));
    EXPECT_EQ(0, bytes[659]);
    EXPECT_EQ(0u, rec::readLe32(bytes.data() + 640)); // dialog length 40: no block
    EXPECT_EQ(0u, ValidationFieldRecord::toStored(record).tailLength());
    EXPECT_EQ(10, ValidationFieldRecord::fromStored(ValidationFieldRecord::toStored(record))
                      .get<sValidationField>()
                      ->font->pointSize);
}

TEST(ValidationFieldRecord, ErrorDialogBlockCarriesCaptionLengthAndIcon) {
    sValidationField p;
    p.dialogLength = 44;
    p.dialog = sMessageDialogBlock{};
    p.dialog->caption0 = "Oops";
    p.dialog->icon1 = 0x05010002;
    p.errorText = "Wrong";
    NVAllObjects record;
    record.drawingObject = VALIDATIONFIELD;
    record.payload = p;
    const sAllObjects stored = ValidationFieldRecord::toStored(record);
    const auto bytes = stored.toBytes();
    EXPECT_EQ(1u, rec::readLe32(bytes.data() + 640));
    EXPECT_EQ(44, rec::readLe16(bytes.data() + 654));
    const std::vector<uint8_t> tail = stored.tailBytes();
    ASSERT_EQ(sMessageDialogBlock::SIZE + 4, tail.size());
    EXPECT_EQ(4, rec::readLe16(tail.data() + sMessageDialogBlock::CAPTION1_LENGTH));
    EXPECT_EQ(0x05010002u, rec::readLe32(tail.data() + sMessageDialogBlock::ICON1));
    EXPECT_EQ("Oops", std::string(tail.end() - 4, tail.end()));
    const sValidationField back = *ValidationFieldRecord::fromStored(stored).get<sValidationField>();
    ASSERT_TRUE(back.dialog);
    EXPECT_EQ("Oops", back.dialog->caption0);
    EXPECT_EQ(0x05010002u, back.dialog->icon1);
    EXPECT_EQ("Wrong", back.errorText);
}

TEST(ValidationFieldRecord, KeyEventsRoundTrip) {
    sValidationField p;
    p.strings.list.push_back(validationString("abc", {CTRL_A, SHIFT_B}));
    p.strings.list.push_back(validationString("xyz", {}));
    p.strings.list[0].keys[0].event = event(11, 12);
    p.strings.list[0].keys[0].event->caption = "Caption";
    p.strings.list[0].keys[0].event->message = "Well done";
    p.strings.list[0].keys[0].event->word268 = uint32_t(-2);
    NVAllObjects record;
    record.drawingObject = VALIDATIONFIELD;
    record.payload = p;
    const sAllObjects stored = ValidationFieldRecord::toStored(record);
    std::vector<uint8_t> bytes;
    stored.appendTo(bytes);
    size_t consumed = 0;
    const auto read = sAllObjects::read(bytes.data(), bytes.size(), consumed);
    ASSERT_TRUE(read);
    EXPECT_EQ(bytes.size(), consumed);
    const sValidationField back = *ValidationFieldRecord::fromStored(*read).get<sValidationField>();
    EXPECT_EQ(p.strings, back.strings);
    std::vector<uint8_t> again;
    ValidationFieldRecord::toStored(ValidationFieldRecord::fromStored(*read)).appendTo(again);
    EXPECT_EQ(bytes, again);
}

} // namespace
