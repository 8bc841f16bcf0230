#include "../PropertyTestSupport.h"

#include "properties/EditPropertyEntry.h"
#include "properties/PropertyEditorType.h"
#include "properties/editors/PropertyLviAlign.h"
#include "properties/editors/PropertyLviArrow.h"
#include "properties/editors/PropertyLviAttribute.h"
#include "properties/editors/PropertyLviBool.h"
#include "properties/editors/PropertyLviBorderStyle.h"
#include "properties/editors/PropertyLviButtonStyle.h"
#include "properties/editors/PropertyLviFillMode.h"
#include "properties/editors/PropertyLviFillPattern.h"
#include "properties/editors/PropertyLviHeight.h"
#include "properties/editors/PropertyLviLeft.h"
#include "properties/editors/PropertyLviMousePointer.h"
#include "properties/editors/PropertyLviString.h"
#include "properties/editors/PropertyLviTop.h"
#include "properties/editors/PropertyLviTransitionEffect.h"
#include "properties/editors/PropertyLviTransitionSpeed.h"
#include "properties/editors/PropertyLviUInt.h"
#include "properties/editors/PropertyLviValidateTarget.h"
#include "properties/editors/PropertyLviValidationFrame.h"
#include "properties/editors/PropertyLviWidth.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <functional>

using namespace proptest;

namespace {

class PropertyEditors : public BoxTest {
  protected:
    // The entry of a named registered property of the selected object.
    EditPropertyEntry* entryOf(FakeObject& o, const char* name) { return o.store.getProp(QString(name)); }

    void onEventsPage(bool events) { box->tabWidget->setCurrentIndex(events ? 1 : 0); }

    QStringList items(QComboBox* c) {
        QStringList v;
        for (int i = 0; i < c->count(); ++i)
            v << c->itemText(i);
        return v;
    }

    // Chooses a word as the author does.
    void choose(PropertyLviChoice& editor, const QString& word) {
        QComboBox* c = editor.comboBox();
        const int i = c->findText(word);
        ASSERT_GE(i, 0) << word.toStdString();
        c->setCurrentIndex(i);
        emit c->textActivated(word);
    }
};

// ---- base ----

TEST_F(PropertyEditors, FrameObjectGetsNoGeometryAndNoConnection) {
    auto frame = makeSelected(FRAMEOBJECT);
    EditPropertyEntry entry("Left", "100", "Geometry", PE_LEFT, "", 0);
    PropertyLviLeft left(nullptr, &client, &entry, nullptr);
    EXPECT_EQ(left.spinBox()->maximum(), 1024) << "objWidth stays 0";
    frame->width = 1000;
    emit frame->signalSetWidth(1000);
    EXPECT_EQ(left.spinBox()->maximum(), 1024) << "no crosswise connection for a frame object";
}

TEST_F(PropertyEditors, ObjectWithoutARectangleBoundsLeftAndTopByTheScreen) {
    auto line = makeSelected(MOUSECLICK);
    line->hasRect = false;
    EditPropertyEntry l("Left", "0", "Geometry", PE_LEFT, "", 0), t("Top", "0", "Geometry", PE_TOP, "", 0);
    PropertyLviLeft left(nullptr, &client, &l, nullptr);
    PropertyLviTop top(nullptr, &client, &t, nullptr);
    EXPECT_EQ(left.spinBox()->maximum(), 1024);
    EXPECT_EQ(top.spinBox()->maximum(), 768);
}

TEST_F(PropertyEditors, PlainEditorHasNoTextAndTakesFocusOnPress) {
    auto object = makeSelected(RECTANGLE);
    EditPropertyEntry entry("X", "value", "General", PE_PLAIN, "", 0);
    PropertyLviBase plain(nullptr, &client, &entry, nullptr, 0);
    EXPECT_TRUE(plain.getText().isEmpty());
    EXPECT_TRUE(plain.getDisplayedText().isEmpty());
    EXPECT_EQ(plain.focusPolicy(), Qt::NoFocus);
    QTest::mousePress(&plain, Qt::LeftButton);
    EXPECT_EQ(plain.focusPolicy(), Qt::StrongFocus);
    PropertyLviBase other(nullptr, &client, &entry, nullptr, 0);
    QTest::keyPress(&other, Qt::Key_A);
    EXPECT_EQ(other.focusPolicy(), Qt::StrongFocus);
}

// ---- text ----

TEST_F(PropertyEditors, TypedTextReachesTheStoreAndTheEditedRowIsApplied) {
    auto object = makeSelected(RECTANGLE);
    PropertyLviString name(nullptr, &client, entryOf(*object, "Name"), nullptr, 0);
    EXPECT_TRUE(client.calls.empty()) << "building commits nothing";
    QTest::keyClicks(name.lineEdit(), "ab");
    EXPECT_EQ(object->store.getPropValue("Name"), "Object 1ab");
    const auto repaints = client.callsOf("repaint");
    ASSERT_EQ(repaints.size(), 2u) << "every change commits";
    EXPECT_EQ(repaints[1].name, "Name");
    QSignalSpy empty(&name, &PropertyLviString::signalObjectName);
    name.lineEdit()->clear();
    EXPECT_EQ(object->store.getPropValue("Name"), "");
    QTest::keyClick(name.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(empty.count(), 1);
    EXPECT_EQ(client.callsOf("repaint").size(), 4u);
}

TEST_F(PropertyEditors, TextLengthLimits) {
    auto object = makeSelected(HYPERLINK);
    struct Case {
        const char* name;
        int limit;
    };
    for (const Case& c : std::vector<Case>{{"Name", 30}, {"Tooltip", 20}, {"Caption", 32767}}) {
        SCOPED_TRACE(c.name);
        PropertyLviString editor(nullptr, &client, entryOf(*object, c.name), nullptr, 0);
        EXPECT_EQ(editor.lineEdit()->maxLength(), c.limit);
        QTest::keyClicks(editor.lineEdit(), QString(40, 'x'));
        EXPECT_LE(editor.lineEdit()->text().size(), c.limit);
        EXPECT_EQ(entryOf(*object, c.name)->value, editor.lineEdit()->text());
    }
}

TEST_F(PropertyEditors, FramePropertyRowIsReadOnlyAndNeverCommits) {
    auto frame = makeSelected(FRAMEOBJECT);
    EditPropertyEntry entry("Back Color", "#c0c0c0", "Appearance", PE_STRING, "FRAMEPROPERTY", 0);
    PropertyLviString editor(nullptr, &client, &entry, nullptr, 0);
    EXPECT_TRUE(editor.lineEdit()->isReadOnly());
    EXPECT_FALSE(editor.lineEdit()->hasFrame());
    QTest::keyClicks(editor.lineEdit(), "zz");
    EXPECT_EQ(entry.value, "#c0c0c0");
    EXPECT_TRUE(client.calls.empty());
}

struct RouteCase {
    const char* label;
    int kind;
    bool eventsPage;
    // Builds an editor over the entry with event 3 (and string 2).
    std::function<std::unique_ptr<PropertyLviBase>(FakeClient*, EditPropertyEntry*)> make;
    // Makes the editor commit.
    std::function<void(PropertyLviBase*)> edit;
    const char* expected; // "repaint", "event", "key" or "" for nothing
};

std::unique_ptr<PropertyLviBase> stringEditor(FakeClient* c, EditPropertyEntry* e) {
    return std::make_unique<PropertyLviString>(nullptr, c, e, nullptr, 3);
}
void typeText(PropertyLviBase* w) {
    static_cast<PropertyLviString*>(w)->lineEdit()->setText("new");
}

template <typename T>
std::function<std::unique_ptr<PropertyLviBase>(FakeClient*, EditPropertyEntry*)> oneNumber() {
    return [](FakeClient* c, EditPropertyEntry* e) { return std::make_unique<T>(nullptr, c, e, nullptr, 3); };
}
template <typename T>
std::function<std::unique_ptr<PropertyLviBase>(FakeClient*, EditPropertyEntry*)> noNumber() {
    return [](FakeClient* c, EditPropertyEntry* e) { return std::make_unique<T>(nullptr, c, e, nullptr); };
}
std::unique_ptr<PropertyLviBase> frameEditor(FakeClient* c, EditPropertyEntry* e) {
    return std::make_unique<PropertyLviValidationFrame>(nullptr, c, e, nullptr, 2, 3);
}
void chooseLast(PropertyLviBase* w) {
    QComboBox* c = static_cast<PropertyLviChoice*>(w)->comboBox();
    c->setCurrentIndex(c->count() - 1);
    emit c->textActivated(c->currentText());
}
void stepUp(PropertyLviBase* w) {
    QSpinBox* s = static_cast<PropertyLviNumber*>(w)->spinBox();
    s->setValue(s->value() + 1);
}

// Which operation of the object an edit reaches, by editor, page and kind.
TEST_F(PropertyEditors, CommitRouting) {
    const std::vector<RouteCase> cases{
        {"string, properties", RECTANGLE, false, stringEditor, typeText, "repaint"},
        {"string, events, hyperlink", HYPERLINK, true, stringEditor, typeText, "event"},
        {"string, events, frame object", FRAMEOBJECT, true, stringEditor, typeText, ""},
        {"bool, properties", BITMAP, false, oneNumber<PropertyLviBool>(), chooseLast, "repaint"},
        {"bool, events, hyperlink", HYPERLINK, true, oneNumber<PropertyLviBool>(), chooseLast, "event"},
        {"bool, events, frame object", FRAMEOBJECT, true, oneNumber<PropertyLviBool>(), chooseLast, "event"},
        {"bool, events, validation field", VALIDATIONFIELD, true, oneNumber<PropertyLviBool>(), chooseLast,
         ""},
        {"transition effect, properties, frame", FRAMEOBJECT, false, oneNumber<PropertyLviTransitionEffect>(),
         chooseLast, "event"},
        {"transition speed, events, frame", FRAMEOBJECT, true, oneNumber<PropertyLviTransitionSpeed>(),
         chooseLast, "event"},
        {"transition speed, events, hyperlink", HYPERLINK, true, oneNumber<PropertyLviTransitionSpeed>(),
         chooseLast, ""},
        {"mouse pointer, events, hyperlink", HYPERLINK, true, oneNumber<PropertyLviMousePointer>(),
         chooseLast, "event"},
        {"mouse pointer, properties, hyperlink", HYPERLINK, false, oneNumber<PropertyLviMousePointer>(),
         chooseLast, ""},
        {"mouse pointer, events, frame", FRAMEOBJECT, true, oneNumber<PropertyLviMousePointer>(), chooseLast,
         ""},
        {"target, events, hyperlink", HYPERLINK, true, oneNumber<PropertyLviValidateTarget>(), chooseLast,
         "event"},
        {"target, properties, hyperlink", HYPERLINK, false, oneNumber<PropertyLviValidateTarget>(),
         chooseLast, ""},
        {"go-to, events, hyperlink", HYPERLINK, true, frameEditor, chooseLast, "event"},
        {"go-to, events, validation field", VALIDATIONFIELD, true, frameEditor, chooseLast, "key"},
        {"go-to, events, frame object", FRAMEOBJECT, true, frameEditor, chooseLast, ""},
        {"go-to, properties", VALIDATIONFIELD, false, frameEditor, chooseLast, "repaint"},
        {"arrow, events page", LINE, true, noNumber<PropertyLviArrow>(), chooseLast, "repaint"},
        {"fill mode, properties", RECTANGLE, false, noNumber<PropertyLviFillMode>(), chooseLast, "repaint"},
        {"uint, events page", LINE, true, noNumber<PropertyLviUInt>(), stepUp, "repaint"},
        {"left, properties", RECTANGLE, false, noNumber<PropertyLviLeft>(), stepUp, "repaint"},
    };
    client.frameNames = {"First", "Second"};
    client.validationNames = {"Field A"};
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.label);
        client.calls.clear();
        FakeObject object(c.kind);
        client.selected = &object;
        onEventsPage(c.eventsPage);
        EditPropertyEntry entry("Row", "", "General", 0, "", 0);
        auto editor = c.make(&client, &entry);
        EXPECT_TRUE(client.calls.empty()) << "building commits nothing";
        c.edit(editor.get());
        if (std::string(c.expected).empty()) {
            EXPECT_TRUE(client.calls.empty());
            continue;
        }
        ASSERT_EQ(client.calls.size(), 1u);
        const Call& call = client.calls[0];
        EXPECT_EQ(call.what, c.expected);
        EXPECT_EQ(call.object, &object);
        if (call.what == "repaint") {
            EXPECT_EQ(call.name, "Row");
        }
        if (call.what == "event") {
            EXPECT_EQ(call.first, 3);
        }
        if (call.what == "key") {
            EXPECT_EQ(call.first, 2);
            EXPECT_EQ(call.second, 3);
        }
    }
}

// ---- numbers ----

TEST_F(PropertyEditors, GeometryRangesFollowTheObject) {
    auto object = makeSelected(RECTANGLE);
    object->left = 100;
    object->width = 300;
    PropertyLviLeft left(nullptr, &client, entryOf(*object, "Left"), nullptr);
    PropertyLviWidth width(nullptr, &client, entryOf(*object, "Width"), nullptr);
    PropertyLviTop top(nullptr, &client, entryOf(*object, "Top"), nullptr);
    PropertyLviHeight height(nullptr, &client, entryOf(*object, "Height"), nullptr);
    EXPECT_EQ(left.spinBox()->minimum(), 0);
    EXPECT_EQ(left.spinBox()->maximum(), 724);
    EXPECT_EQ(width.spinBox()->minimum(), 5);
    EXPECT_EQ(width.spinBox()->maximum(), 924);
    EXPECT_EQ(top.spinBox()->maximum(), 768 - 200);
    EXPECT_EQ(height.spinBox()->maximum(), 768 - 50);
    EXPECT_TRUE(client.calls.empty());

    emit object->signalSetLeft(200);
    EXPECT_EQ(width.spinBox()->maximum(), 824);
    emit object->signalSetWidth(500);
    EXPECT_EQ(left.spinBox()->maximum(), 524);
    emit object->signalSetTop(500);
    EXPECT_EQ(height.spinBox()->maximum(), 268);
    emit object->signalSetHeight(100);
    EXPECT_EQ(top.spinBox()->maximum(), 668);
    EXPECT_TRUE(client.calls.empty()) << "no value had to move";
}

TEST_F(PropertyEditors, NumberTextsAreReadAndKeptInRange) {
    auto object = makeSelected(LINE);
    struct Case {
        const char* name;
        const char* data;
        const char* value;
        int max;
        int shown;
    };
    for (const Case& c : std::vector<Case>{{"X1", "", "512", 1024, 512},
                                           {"X2", "", "5000", 1024, 1024},
                                           {"Y1", "", "700", 768, 700},
                                           {"Y2", "", "-4", 768, 0},
                                           {"Mouse Delay", "MouseDelay", "61", 60, 60},
                                           {"Line Width", "", "abc", 10, 0},
                                           {"Line Width", "", "12", 10, 10},
                                           {"Border Width", "", "3", 10, 3}}) {
        SCOPED_TRACE(c.name);
        EditPropertyEntry entry(c.name, c.value, "Geometry", PE_UINT, c.data, 0);
        PropertyLviUInt editor(nullptr, &client, &entry, nullptr);
        EXPECT_EQ(editor.spinBox()->minimum(), 0);
        EXPECT_EQ(editor.spinBox()->maximum(), c.max);
        EXPECT_EQ(editor.spinBox()->value(), c.shown);
        EXPECT_EQ(editor.getText(), QString::number(c.shown));
        EXPECT_EQ(entry.value, c.value) << "the entry keeps its value until the author edits";
    }
    EXPECT_TRUE(client.calls.empty());
}

TEST_F(PropertyEditors, WidthAndHeightNeverGoBelowFive) {
    auto object = makeSelected(RECTANGLE);
    EditPropertyEntry entry("Width", "1", "Geometry", PE_WIDTH, "", 0);
    PropertyLviWidth width(nullptr, &client, &entry, nullptr);
    EXPECT_EQ(width.spinBox()->value(), 5) << "a stored 1 shows as 5";
    width.spinBox()->setValue(0);
    EXPECT_EQ(width.spinBox()->value(), 5);
    EXPECT_TRUE(client.calls.empty());
    width.spinBox()->setValue(6);
    width.spinBox()->setValue(0);
    EXPECT_EQ(entry.value, "5");
}

TEST_F(PropertyEditors, TypedNumberReachesTheStoreAndTheEditedRowIsApplied) {
    auto object = makeSelected(RECTANGLE);
    PropertyLviTop top(nullptr, &client, entryOf(*object, "Top"), nullptr);
    top.spinBox()->selectAll();
    QTest::keyClicks(top.spinBox(), "77");
    EXPECT_EQ(object->store.getPropValue("Top"), "77");
    ASSERT_FALSE(client.callsOf("repaint").empty());
    EXPECT_EQ(client.callsOf("repaint").back().name, "Top");
}

// A clamp of another row commits that row, and the object applies that row,
// not the one selected in the list.
TEST_F(PropertyEditors, ClampedRowIsAppliedByNameAfterTheOuterApply) {
    auto object = makeSelected(BITMAP);
    object->left = 100;
    object->width = 300;
    PropertyLviLeft left(nullptr, &client, entryOf(*object, "Left"), nullptr);
    PropertyLviWidth width(nullptr, &client, entryOf(*object, "Width"), nullptr);
    // The object applies a row and then announces its geometry, as objects do.
    client.onRepaint = [](FakeObject* o, const QString& name) {
        if (name == "Left")
            o->left = o->store.getPropValue("Left").toInt();
        if (name == "Width")
            o->width = o->store.getPropValue("Width").toInt();
        o->emitGeometry();
    };
    // A drag made the object 100 wide; the Width row's spin box still
    // shows 300. Moving it to 900 leaves room for 124 only.
    object->width = 100;
    emit object->signalSetWidth(100);
    ASSERT_TRUE(client.calls.empty());
    left.spinBox()->setValue(900);
    const auto calls = client.callsOf("repaint");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "Left");
    EXPECT_EQ(calls[1].name, "Width");
    EXPECT_EQ(client.maxRepaintDepth, 1) << "the object is never re-entered";
    EXPECT_EQ(object->store.getPropValue("Width"), "124");
    EXPECT_EQ(object->width, 124);
    EXPECT_EQ(object->left, 900);
    EXPECT_EQ(object->store.getPropValue("Image File"), "[None]");
}

TEST_F(PropertyEditors, UnstretchedBitmapHoldsWidthAndHeightAtFifty) {
    auto bitmap = makeSelected(BITMAP);
    bitmap->store.setProp_Value("Stretch", "No");
    PropertyLviWidth width(nullptr, &client, entryOf(*bitmap, "Width"), nullptr);
    PropertyLviHeight height(nullptr, &client, entryOf(*bitmap, "Height"), nullptr);
    width.spinBox()->setValue(120);
    EXPECT_EQ(bitmap->store.getPropValue("Width"), "50");
    EXPECT_EQ(width.spinBox()->value(), 50);
    height.spinBox()->setValue(80);
    EXPECT_EQ(bitmap->store.getPropValue("Height"), "50");
    for (const Call& c : client.callsOf("repaint"))
        EXPECT_TRUE(c.name == "Width" || c.name == "Height");

    // The range slot holds it too.
    bitmap->store.setProp_Value("Width", "70");
    emit bitmap->signalSetLeft(10);
    EXPECT_EQ(bitmap->store.getPropValue("Width"), "50");
}

TEST_F(PropertyEditors, StretchedBitmapIsNotHeldByANoChosenElsewhere) {
    auto bitmap = makeSelected(BITMAP);
    EditPropertyEntry other("Transparent", "Yes", "Appearance", PE_BOOL, "TEXTFIELD", 0);
    PropertyLviBool elsewhere(nullptr, &client, &other, nullptr, 0);
    choose(elsewhere, "No");
    EXPECT_EQ(PropertyLviBase::stretchFlag, 0);
    PropertyLviWidth width(nullptr, &client, entryOf(*bitmap, "Width"), nullptr);
    width.spinBox()->setValue(120);
    EXPECT_EQ(bitmap->store.getPropValue("Width"), "120");
}

TEST_F(PropertyEditors, OtherObjectsAreNeverHeld) {
    auto rect = makeSelected(RECTANGLE);
    rect->store.addProp("Stretch", "No", "Appearance", PE_BOOL, "", 0);
    PropertyLviWidth width(nullptr, &client, entryOf(*rect, "Width"), nullptr);
    width.spinBox()->setValue(120);
    EXPECT_EQ(rect->store.getPropValue("Width"), "120");
}

// ---- choice lists ----

struct ListCase {
    const char* label;
    std::function<std::unique_ptr<PropertyLviChoice>(FakeClient*, EditPropertyEntry*)> make;
    const char* data;
    const char* value;
    QStringList items;
    int selected;
};

template <typename T>
std::function<std::unique_ptr<PropertyLviChoice>(FakeClient*, EditPropertyEntry*)> plain() {
    return [](FakeClient* c, EditPropertyEntry* e) { return std::make_unique<T>(nullptr, c, e, nullptr); };
}
template <typename T>
std::function<std::unique_ptr<PropertyLviChoice>(FakeClient*, EditPropertyEntry*)> evented() {
    return [](FakeClient* c, EditPropertyEntry* e) { return std::make_unique<T>(nullptr, c, e, nullptr, 0); };
}

TEST_F(PropertyEditors, ChoiceListsShowTheirWordsAndTheValue) {
    auto object = makeSelected(HYPERLINK);
    const QStringList transitions{"None",
                                  "Wipe left",
                                  "Wipe right",
                                  "Wipe top",
                                  "Wipe bottom",
                                  "Blinds left",
                                  "Blinds right",
                                  "Blinds top",
                                  "Blinds bottom",
                                  "Push left",
                                  "Push right",
                                  "Push top",
                                  "Push bottom",
                                  "Slide in left",
                                  "Slide in right",
                                  "Slide in top",
                                  "Slide in bottom",
                                  "Slide out left",
                                  "Slide out right",
                                  "Slide out top",
                                  "Slide out bottom"};
    const std::vector<ListCase> cases{
        {"arrow", plain<PropertyLviArrow>(), "", "End", {"None", "Start", "End", "Both"}, 2},
        {"border style",
         plain<PropertyLviBorderStyle>(),
         "",
         "Dash Dot Dot",
         {"Null", "Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"},
         5},
        {"fill pattern",
         plain<PropertyLviFillPattern>(),
         "",
         "Diagonal Cross",
         {"Solid", "Vertical", "Horizontal", "Cross", "Left Diagonal", "Right Diagonal", "Diagonal Cross"},
         6},
        {"fill mode", plain<PropertyLviFillMode>(), "", "Transparent", {"Opaque", "Transparent"}, 1},
        {"button style",
         plain<PropertyLviButtonStyle>(),
         "",
         "check box",
         {"Push Button", "Radio", "Check Box"},
         0},
        {"attribute hyperlink",
         plain<PropertyLviAttribute>(),
         "HYPERLINK",
         "",
         {"Rectangle", "3D", "Rounded", "Shadowed", "Clear", "Windows 98"},
         1},
        {"attribute hyperlink value",
         plain<PropertyLviAttribute>(),
         "HYPERLINK",
         "Windows 98",
         {"Rectangle", "3D", "Rounded", "Shadowed", "Clear", "Windows 98"},
         5},
        {"attribute other", plain<PropertyLviAttribute>(), "", "Rounded", {"None", "Rectangle", "3D"}, 1},
        {"align bitmap",
         plain<PropertyLviAlign>(),
         "BITMAPOBJECT",
         "Bottom Left",
         {"[None]", "Center", "Top Right", "Bottom Right", "Top Left", "Bottom Left"},
         5},
        {"align validation field",
         plain<PropertyLviAlign>(),
         "VALIDATIONFIELD",
         "Right",
         {"Left", "Center", "Right"},
         2},
        {"align other",
         plain<PropertyLviAlign>(),
         "",
         "Centre",
         {"Center", "Left", "Right", "Top", "Bottom"},
         0},
        {"transition speed",
         evented<PropertyLviTransitionSpeed>(),
         "",
         "Medium",
         {"Slow", "Medium", "Fast"},
         1},
        {"transition effect", evented<PropertyLviTransitionEffect>(), "", "Slide out top", transitions, 19},
        {"mouse pointer",
         evented<PropertyLviMousePointer>(),
         "",
         "Ibeam",
         {"Finger", "Arrow", "Hourglass", "Crosshair", "Ibeam"},
         4},
        {"bool on/off", evented<PropertyLviBool>(), "On/Off", "On", {"Off", "On"}, 1},
        {"bool on/off other", evented<PropertyLviBool>(), "On/Off", "Maybe", {"Off", "On"}, 0},
        {"bool hyperlink", evented<PropertyLviBool>(), "HYPERLINK", "", {"No", "Yes"}, 0},
        {"bool text field", evented<PropertyLviBool>(), "TEXTFIELD", "", {"No", "Yes"}, 0},
        {"bool other", evented<PropertyLviBool>(), "", "", {"No", "Yes"}, 1},
        {"bool no", evented<PropertyLviBool>(), "", "No", {"No", "Yes"}, 0},
        {"bool enable", evented<PropertyLviBool>(), "Enable/Disable", "Enable", {"Disable", "Enable"}, 1},
        {"bool disable unconfirmed",
         evented<PropertyLviBool>(),
         "Enable/Disable",
         "Disable",
         {"Disable", "Enable"},
         1},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.label);
        EditPropertyEntry entry("Row", c.value, "Appearance", 0, c.data, 0);
        auto editor = c.make(&client, &entry);
        EXPECT_EQ(items(editor->comboBox()), c.items);
        EXPECT_EQ(editor->comboBox()->currentIndex(), c.selected);
        EXPECT_FALSE(editor->comboBox()->isEditable());
        EXPECT_EQ(entry.value, c.value) << "the entry keeps its value until the author chooses";
    }
    EXPECT_TRUE(client.calls.empty());
}

TEST_F(PropertyEditors, ChoosingWritesTheWord) {
    auto object = makeSelected(RECTANGLE);
    PropertyLviFillPattern pattern(nullptr, &client, entryOf(*object, "Fill Pattern"), nullptr);
    choose(pattern, "Left Diagonal");
    EXPECT_EQ(object->store.getPropValue("Fill Pattern"), "Left Diagonal");
    ASSERT_EQ(client.callsOf("repaint").size(), 1u);
    EXPECT_EQ(client.callsOf("repaint")[0].name, "Fill Pattern");
}

TEST_F(PropertyEditors, DisableIsShownOnlyWhenTheObjectConfirmsIt) {
    for (int kind : {FRAMEOBJECT, MOUSECLICK}) {
        FakeObject object(kind);
        client.selected = &object;
        EditPropertyEntry entry("User Action", "Disable", "General", PE_BOOL, "Enable/Disable", 0);
        object.userActionDisabled = false;
        PropertyLviBool unconfirmed(nullptr, &client, &entry, nullptr, 0);
        EXPECT_EQ(unconfirmed.getText(), "Enable");
        object.userActionDisabled = true;
        PropertyLviBool confirmed(nullptr, &client, &entry, nullptr, 0);
        EXPECT_EQ(confirmed.getText(), "Disable");
    }
}

TEST_F(PropertyEditors, StretchFlagRules) {
    auto bitmap = makeSelected(BITMAP);
    EditPropertyEntry stretch("Stretch", "No", "Appearance", PE_BOOL, "", 0);
    PropertyLviBool built(nullptr, &client, &stretch, nullptr, 0);
    EXPECT_EQ(PropertyLviBase::stretchFlag, 1) << "building with No leaves the flag";
    choose(built, "No");
    EXPECT_EQ(PropertyLviBase::stretchFlag, 0);
    EditPropertyEntry yes("Scrolling", "Yes", "Appearance", PE_BOOL, "", 0);
    PropertyLviBool builtYes(nullptr, &client, &yes, nullptr, 0);
    EXPECT_EQ(PropertyLviBase::stretchFlag, 1) << "building with Yes sets the flag";
    for (const char* word : {"On", "Off"}) {
        PropertyLviBase::stretchFlag = 0;
        EditPropertyEntry onOff("Exit Play", "", "Events", PE_BOOL, "On/Off", 0);
        PropertyLviBool list(nullptr, &client, &onOff, nullptr, 0);
        choose(list, word);
        EXPECT_EQ(PropertyLviBase::stretchFlag, 1) << word;
    }
}

TEST_F(PropertyEditors, ValidationTargetListsTheFieldsAndStoresThePosition) {
    auto link = makeSelected(HYPERLINK);
    onEventsPage(true);
    EditPropertyEntry entry("Validation Target", "Field B", "Events", PE_VALIDATE_TARGET, "", 0);
    client.validationNames = {"Field A", "Field B"};
    PropertyLviValidateTarget target(nullptr, &client, &entry, nullptr, 1);
    EXPECT_EQ(items(target.comboBox()), (QStringList{"[None]", "Field A", "Field B"}));
    EXPECT_EQ(target.getIndex(), 2);
    choose(target, "Field A");
    EXPECT_EQ(entry.valueId, 1);
    EXPECT_EQ(entry.value, "Field A");
    choose(target, "[None]");
    EXPECT_EQ(entry.value, "[None]");
    EXPECT_EQ(entry.valueId, 0) << "no earlier target survives";

    client.validationNames.clear();
    EditPropertyEntry lone("Validation Target", "Field A", "Events", PE_VALIDATE_TARGET, "", 0);
    PropertyLviValidateTarget none(nullptr, &client, &lone, nullptr, 1);
    EXPECT_EQ(items(none.comboBox()), QStringList{"[None]"});
}

TEST_F(PropertyEditors, GoToListPrefersTheLaterOfTwoFramesWithOneName) {
    auto link = makeSelected(HYPERLINK);
    onEventsPage(true);
    client.frameNames = {"Intro", "Quiz", "Quiz", "End"};
    EditPropertyEntry entry("Validation Frame (Go To)", "Quiz", "Events", PE_VALIDATION_FRAME, "", 0);
    PropertyLviValidationFrame go(nullptr, &client, &entry, nullptr, 0, 2);
    EXPECT_EQ(items(go.comboBox()), (QStringList{"0", "Next", "Previous", "Intro", "Quiz", "Quiz", "End"}));
    EXPECT_EQ(go.comboBox()->currentIndex(), 5);
    choose(go, "Quiz");
    EXPECT_EQ(entry.valueId, 2);
    choose(go, "End");
    EXPECT_EQ(entry.valueId, 3);
    for (const char* word : {"0", "Next", "Previous"}) {
        EditPropertyEntry fixed("Validation Frame (Go To)", word, "Events", PE_VALIDATION_FRAME, "", 0);
        PropertyLviValidationFrame list(nullptr, &client, &fixed, nullptr, 0, 2);
        EXPECT_EQ(list.getText(), word);
    }
}

} // namespace
