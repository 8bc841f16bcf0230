#include "../PropertyTestSupport.h"

#include "properties/PropertyEditorType.h"
#include "properties/PropertyListView.h"
#include "properties/PropertyListViewItem.h"
#include "properties/editors/PropertyEditorFactory.h"
#include "properties/editors/PropertyLviAlign.h"
#include "properties/editors/PropertyLviArrow.h"
#include "properties/editors/PropertyLviAttribute.h"
#include "properties/editors/PropertyLviBool.h"
#include "properties/editors/PropertyLviBorderStyle.h"
#include "properties/editors/PropertyLviButtonStyle.h"
#include "properties/editors/PropertyLviCGradientFillSetUp.h"
#include "properties/editors/PropertyLviColorEdit.h"
#include "properties/editors/PropertyLviFilename.h"
#include "properties/editors/PropertyLviFillMode.h"
#include "properties/editors/PropertyLviFillPattern.h"
#include "properties/editors/PropertyLviFont.h"
#include "properties/editors/PropertyLviHeight.h"
#include "properties/editors/PropertyLviLeft.h"
#include "properties/editors/PropertyLviMousePointer.h"
#include "properties/editors/PropertyLviResourceEditorFile.h"
#include "properties/editors/PropertyLviString.h"
#include "properties/editors/PropertyLviTop.h"
#include "properties/editors/PropertyLviTransitionEffect.h"
#include "properties/editors/PropertyLviTransitionSpeed.h"
#include "properties/editors/PropertyLviUInt.h"
#include "properties/editors/PropertyLviValidateTarget.h"
#include "properties/editors/PropertyLviValidationError.h"
#include "properties/editors/PropertyLviValidationFrame.h"
#include "properties/editors/PropertyLviValidationMessage.h"
#include "properties/editors/PropertyLviValidationString.h"
#include "properties/editors/PropertyLviWidth.h"
#include "store/DrawingObjectType.h"

#include <QLabel>
#include <QTreeWidgetItemIterator>

#include <map>
#include <typeindex>

using namespace proptest;

namespace {

// No editor at all on the row.
struct NoEditor {};

using Kind = PropertyEditorFactory::ListKind;

std::type_index expectedEditor(Kind list, int code) {
    static const std::map<int, std::type_index> properties{
        {PE_STRING, typeid(PropertyLviString)},
        {PE_BOOL, typeid(PropertyLviBool)},
        {PE_ARROW, typeid(PropertyLviArrow)},
        {PE_ATTRIBUTE, typeid(PropertyLviAttribute)},
        {PE_UINT, typeid(PropertyLviUInt)},
        {PE_ALIGN, typeid(PropertyLviAlign)},
        {PE_BORDER_STYLE, typeid(PropertyLviBorderStyle)},
        {PE_FILL_PATTERN, typeid(PropertyLviFillPattern)},
        {PE_FILL_MODE, typeid(PropertyLviFillMode)},
        {PE_BUTTON_STYLE, typeid(PropertyLviButtonStyle)},
        {PE_LEFT, typeid(PropertyLviLeft)},
        {PE_TOP, typeid(PropertyLviTop)},
        {PE_WIDTH, typeid(PropertyLviWidth)},
        {PE_HEIGHT, typeid(PropertyLviHeight)},
        {PE_FILENAME, typeid(PropertyLviFilename)},
        {PE_COLOR, typeid(PropertyLviColorEdit)},
        {PE_FONT, typeid(PropertyLviFont)},
        {PE_GRADIENT_FILL, typeid(PropertyLviCGradientFillSetUp)},
        {PE_RESOURCE_FILE, typeid(PropertyLviResourceEditorFile)},
        {PE_VALIDATION_STRING, typeid(PropertyLviValidationString)},
        {PE_VALIDATION_ERROR, typeid(PropertyLviValidationError)},
    };
    static const std::map<int, std::type_index> longSet{
        {PE_STRING, typeid(PropertyLviString)},
        {PE_BOOL, typeid(PropertyLviBool)},
        {PE_FILENAME, typeid(PropertyLviFilename)},
        {PE_RESOURCE_FILE, typeid(PropertyLviResourceEditorFile)},
        {PE_VALIDATE_TARGET, typeid(PropertyLviValidateTarget)},
        {PE_TRANSITION_EFFECT, typeid(PropertyLviTransitionEffect)},
        {PE_TRANSITION_SPEED, typeid(PropertyLviTransitionSpeed)},
        {PE_VALIDATION_FRAME, typeid(PropertyLviValidationFrame)},
        {PE_VALIDATION_ERROR, typeid(PropertyLviValidationError)},
        {PE_VALIDATION_MESSAGE, typeid(PropertyLviValidationMessage)},
    };
    static const std::map<int, std::type_index> shortSet{
        {PE_STRING, typeid(PropertyLviString)},
        {PE_BOOL, typeid(PropertyLviBool)},
        {PE_TRANSITION_EFFECT, typeid(PropertyLviTransitionEffect)},
        {PE_TRANSITION_SPEED, typeid(PropertyLviTransitionSpeed)},
        {PE_MOUSE_POINTER, typeid(PropertyLviMousePointer)},
        {PE_RESOURCE_FILE, typeid(PropertyLviResourceEditorFile)},
    };
    static const std::map<int, std::type_index> validationSet{
        {PE_RESOURCE_FILE, typeid(PropertyLviResourceEditorFile)},
        {PE_VALIDATION_FRAME, typeid(PropertyLviValidationFrame)},
        {PE_VALIDATION_MESSAGE, typeid(PropertyLviValidationMessage)},
    };
    const std::map<int, std::type_index>& table = list == Kind::PROPERTIES  ? properties
                                                  : list == Kind::LONG_SET  ? longSet
                                                  : list == Kind::SHORT_SET ? shortSet
                                                                            : validationSet;
    auto it = table.find(code);
    if (it != table.end())
        return it->second;
    // Other codes: a plain cell in the Properties list, nothing in events.
    return list == Kind::PROPERTIES ? std::type_index(typeid(PropertyLviBase))
                                    : std::type_index(typeid(NoEditor));
}

std::type_index editorOf(QTreeWidgetItem* item) {
    auto* row = dynamic_cast<PropertyListViewItem*>(item);
    PropertyLviBase* w = row ? row->getColumnWidget(1) : nullptr;
    return w ? std::type_index(typeid(*w)) : std::type_index(typeid(NoEditor));
}

struct Group {
    const char* title;
    std::vector<const char*> rows;
};

struct KindCase {
    int kind;
    std::vector<Group> groups;
};

const std::vector<KindCase>& kindCases() {
    static const std::vector<KindCase> cases{
        {LINE,
         {{"Appearance", {"Arrow", "Line Color", "Line Style", "Line Width"}},
          {"Geometry", {"X1", "Y1", "X2", "Y2"}},
          {"General", {"Name"}}}},
        {RECTANGLE,
         {{"Appearance",
           {"Border Color", "Border Style", "Border Width", "Fill Color", "Fill Mode", "Fill Pattern"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name"}}}},
        {ROUNDRECT,
         {{"Appearance",
           {"Border Color", "Border Style", "Border Width", "Fill Color", "Fill Mode", "Fill Pattern"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name"}}}},
        {ELLIPSE,
         {{"Appearance",
           {"Border Color", "Border Style", "Border Width", "Fill Color", "Fill Mode", "Fill Pattern"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name"}}}},
        {VALIDATIONFIELD,
         {{"Appearance",
           {"Align Text", "Attribute", "Back Color", "Case Sensitive", "Dynamic Grow", "Font", "Fore Color",
            "Password Field"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name", "Validation String", "Validation Error Message"}}}},
        {FRAMEOBJECT,
         {{"Appearance", {"Back Color", "Fore Color"}},
          {"General",
           {"Name", "User Action", "Sound Clip Name", "Audio File Name", "Sound Notes", "Mouse Delay"}}}},
        {INSTRUCTIONBOX,
         {{"Appearance", {"Back Color", "Font", "Fore Color", "Scrolling"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name", "Caption", "Title Bar"}}}},
        {HYPERLINK,
         {{"Appearance",
           {"Align Text", "Attribute", "Back Color", "Button Style", "Caption", "Font", "Fore Color",
            "Transparent"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name", "Clicked Image", "Mouse Over Image", "Tooltip"}}}},
        {TEXTFIELD,
         {{"Appearance", {"Attribute", "Back Color", "Font", "Fore Color", "Scrolling", "Transparent"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name", "Text File"}}}},
        {BITMAP,
         {{"Appearance", {"Align", "Image File", "Stretch"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name"}}}},
        {MOUSECLICK,
         {{"Appearance", {"Image"}},
          {"Geometry", {"Left", "Top", "Width", "Height"}},
          {"General", {"Name", "Target"}}}},
        {POLYLINE, {{"Appearance", {"Color"}}, {"Geometry", {"Thickness"}}, {"General", {"Name"}}}},
    };
    return cases;
}

class PropertyFill : public BoxTest {};

// (group, name, value, editor) of every row of every kind, against the
// orders the lists must show.
TEST_F(PropertyFill, EveryKindListsItsPropertiesInOrderWithTheirEditors) {
    for (const KindCase& k : kindCases()) {
        SCOPED_TRACE(kindKeyOf(k.kind).toStdString());
        auto object = makeSelected(k.kind);
        std::map<QString, Registration> byName;
        for (const Registration& r : registrationsOf(k.kind))
            byName[r.name] = r;

        box->getListView()->clear();
        box->refillList(object.get());
        settle();
        PropertyListView* list = box->getListView();
        ASSERT_EQ(list->topLevelItemCount(), int(k.groups.size()));
        for (int g = 0; g < int(k.groups.size()); ++g) {
            QTreeWidgetItem* group = list->topLevelItem(g);
            EXPECT_EQ(group->text(0), QString::fromLatin1(k.groups[size_t(g)].title));
            EXPECT_TRUE(group->isExpanded());
            EXPECT_EQ(editorOf(group), std::type_index(typeid(NoEditor)));
            ASSERT_EQ(group->childCount(), int(k.groups[size_t(g)].rows.size()))
                << group->text(0).toStdString();
            for (int i = 0; i < group->childCount(); ++i) {
                QTreeWidgetItem* row = group->child(i);
                const QString name = QString::fromLatin1(k.groups[size_t(g)].rows[size_t(i)]);
                SCOPED_TRACE(name.toStdString());
                EXPECT_EQ(row->text(0), name);
                const Registration& r = byName.at(name);
                EXPECT_EQ(r.category, group->text(0));
                EXPECT_EQ(row->text(1), r.value);
                EXPECT_EQ(editorOf(row), expectedEditor(Kind::PROPERTIES, r.editorType));
            }
        }
    }
}

// The box makes editors through the installed maker only: with none, its
// rows show their values without editors.
TEST_F(PropertyFill, RowsGetEditorsFromTheInstalledMakerOnly) {
    auto object = makeSelected(RECTANGLE);
    auto rowsWithEditors = [&] {
        box->getListView()->clear();
        box->refillList(object.get());
        settle();
        int n = 0;
        for (QTreeWidgetItemIterator it(box->getListView()); *it; ++it)
            if (editorOf(*it) != std::type_index(typeid(NoEditor)))
                ++n;
        return n;
    };
    PropertyRowEditors::install(nullptr);
    const int without = rowsWithEditors();
    PropertyEditorFactory::install();
    EXPECT_EQ(without, 0);
    EXPECT_GT(rowsWithEditors(), 0);
}

TEST_F(PropertyFill, EditorTypeAndListChooseTheEditor) {
    FakeObject object(RECTANGLE);
    client.selected = &object;
    EditPropertyEntry entry(QStringLiteral("Row"), QString(), QStringLiteral("General"), 0, QString(), 0);
    QWidget parent;
    for (Kind list : {Kind::PROPERTIES, Kind::LONG_SET, Kind::SHORT_SET, Kind::VALIDATION_SET})
        for (int code = 0; code <= 31; ++code) {
            SCOPED_TRACE(testing::Message() << "list " << int(list) << " code " << code);
            std::unique_ptr<PropertyLviBase> w(
                PropertyEditorFactory::create(list, code, &parent, &client, &entry, 0, 1));
            const std::type_index got = w ? std::type_index(typeid(*w)) : std::type_index(typeid(NoEditor));
            EXPECT_EQ(got, expectedEditor(list, code));
            if (w) {
                EXPECT_TRUE(w->isHidden());
            }
        }
}

TEST_F(PropertyFill, EventsAndEmptyCategoriesAreNotListed) {
    FakeObject object(RECTANGLE);
    object.store.addProp("Name", "R", "General", PE_STRING, "Rectangle", 0);
    object.store.addProp("Open URL", "x", "events", PE_STRING, "", 0);
    object.store.addProp("Loose", "y", "", PE_STRING, "", 0);
    object.store.addProp("Caption", "c", "GENERAL", PE_STRING, "", 0);
    object.store.addProp("Exit Play", "z", "EVENTS", PE_STRING, "", 0);
    client.selected = &object;
    box->refillList(&object);
    PropertyListView* list = box->getListView();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* general = list->topLevelItem(0);
    EXPECT_EQ(general->text(0), "General") << "the group takes the spelling of its first entry";
    ASSERT_EQ(general->childCount(), 2);
    EXPECT_EQ(general->child(0)->text(0), "Caption");
    EXPECT_EQ(general->child(1)->text(0), "Name");
}

TEST_F(PropertyFill, AFillEmptiesTheHelpLabel) {
    auto object = makeSelected(RECTANGLE);
    box->getHelpLabel()->setText("old");
    box->refillList(object.get());
    EXPECT_TRUE(box->getHelpLabel()->text().isEmpty());
    box->getHelpLabel()->setText("old");
    object->buildEvent = addFrameEvent;
    box->refillEventList(object.get(), 0);
    EXPECT_TRUE(box->getHelpLabel()->text().isEmpty());
}

TEST_F(PropertyFill, NullObjectChangesNothing) {
    auto object = makeSelected(RECTANGLE);
    box->refillList(object.get());
    const int rows = box->getListView()->topLevelItemCount();
    box->refillList(nullptr);
    box->refillEventList(nullptr, 0);
    box->refillHyperEventList(nullptr, 0);
    box->refillEventList(nullptr, 0, 0);
    EXPECT_EQ(box->getListView()->topLevelItemCount(), rows);
}

std::vector<QString> rowNames(QTreeWidgetItem* group) {
    std::vector<QString> v;
    for (int i = 0; i < group->childCount(); ++i)
        v.push_back(group->child(i)->text(0));
    return v;
}

TEST_F(PropertyFill, FrameEventListsItsRowsUnderOneEventsGroup) {
    auto frame = makeSelected(FRAMEOBJECT);
    frame->buildEvent = addFrameEvent;
    box->refillEventList(frame.get(), 1);
    PropertyListView* list = box->getEventListView();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* group = list->topLevelItem(0);
    EXPECT_EQ(group->text(0), "Events");
    EXPECT_FALSE(group->icon(0).isNull());
    EXPECT_EQ(group->icon(0).availableSizes().value(0), QSize(12, 16));
    EXPECT_EQ(rowNames(group), (std::vector<QString>{"Exit Play", "Transition Speed", "Transition Effect"}));
    EXPECT_EQ(editorOf(group->child(0)), std::type_index(typeid(PropertyLviBool)));
    EXPECT_EQ(editorOf(group->child(1)), std::type_index(typeid(PropertyLviTransitionSpeed)));
    EXPECT_EQ(editorOf(group->child(2)), std::type_index(typeid(PropertyLviTransitionEffect)));
    EXPECT_EQ(group->child(2)->text(1), "Wipe left");
}

TEST_F(PropertyFill, HyperlinkClickEventListedTwiceGivesOneGroupOfElevenRows) {
    auto link = makeSelected(HYPERLINK);
    link->buildEvent = addHyperlinkClickEvent;
    box->refillHyperEventList(link.get(), 2);
    box->refillHyperEventList(link.get(), 2);
    PropertyListView* list = box->getEventListView();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* group = list->topLevelItem(0);
    EXPECT_EQ(rowNames(group),
              (std::vector<QString>{"Exit Play", "Validation Target", "Validation Message",
                                    "Validation Error Message", "Validation Frame (Go To)",
                                    "Validation Video", "Validation Sound", "Validation Image", "Open URL",
                                    "Run External File", "Play VLM File"}));
    std::vector<std::type_index> editors;
    for (int i = 0; i < group->childCount(); ++i) {
        auto* entry = link->store.getEventProperties(2, group->child(i)->text(0));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(editorOf(group->child(i)), expectedEditor(Kind::LONG_SET, entry->editorType))
            << entry->name.toStdString();
    }
}

TEST_F(PropertyFill, HiddenEventListIsEmptiedBeforeAHyperlinkFill) {
    auto link = makeSelected(HYPERLINK);
    link->buildEvent = addHyperlinkClickEvent;
    ASSERT_FALSE(box->getEventListView()->isVisible());
    box->refillHyperEventList(link.get(), 0);
    box->refillHyperEventList(link.get(), 1);
    EXPECT_EQ(box->getEventListView()->topLevelItemCount(), 1);
    EXPECT_EQ(box->getEventListView()->topLevelItem(0)->childCount(), 11);
}

TEST_F(PropertyFill, RepeatedNameInALongSetIsListedOnceWithItsFirstValue) {
    auto link = makeSelected(HYPERLINK);
    link->buildEvent = [](EditPropertyBase& s, int e) {
        s.addProperties(e, "Open URL", "first", "Events", PE_STRING, "", 0);
        s.addProperties(e, "OPEN url", "second", "Events", PE_STRING, "", 0);
    };
    box->refillHyperEventList(link.get(), 0);
    QTreeWidgetItem* group = box->getEventListView()->topLevelItem(0);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->childCount(), 1);
    EXPECT_EQ(group->child(0)->text(1), "first");
}

TEST_F(PropertyFill, PointerEventGetsTheMousePointerEditorInAShortSetOnly) {
    auto link = makeSelected(HYPERLINK);
    link->buildEvent = addHyperlinkPointerEvent;
    box->refillEventList(link.get(), 4);
    QTreeWidgetItem* group = box->getEventListView()->topLevelItem(0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(rowNames(group), (std::vector<QString>{"Exit Play", "Mouse Pointer", "Audio File Name"}));
    EXPECT_EQ(editorOf(group->child(1)), std::type_index(typeid(PropertyLviMousePointer)));
    EXPECT_EQ(expectedEditor(Kind::LONG_SET, PE_MOUSE_POINTER), std::type_index(typeid(NoEditor)));
}

TEST_F(PropertyFill, ValidationKeyListsItsThreeRows) {
    auto field = makeSelected(VALIDATIONFIELD);
    client.frameNames = {"One", "Two"};
    int builtString = -1, builtKey = -1;
    field->buildKey = [&](EditPropertyBase& s, int string, int key) {
        builtString = string;
        builtKey = key;
        addValidationKey(s, string, key);
    };
    box->refillEventList(field.get(), 1, 2);
    EXPECT_EQ(builtString, 1);
    EXPECT_EQ(builtKey, 2);
    QTreeWidgetItem* group = box->getEventListView()->topLevelItem(0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(rowNames(group),
              (std::vector<QString>{"Validation Frame (Go To)", "Validation Image", "Validation Message"}));
    EXPECT_EQ(editorOf(group->child(0)), std::type_index(typeid(PropertyLviValidationFrame)));
    EXPECT_EQ(group->child(0)->text(1), "Next");
}

TEST_F(PropertyFill, EntriesOutsideTheEventsCategoryAreNotListedAsEvents) {
    auto frame = makeSelected(FRAMEOBJECT);
    frame->buildEvent = [](EditPropertyBase& s, int e) {
        s.addEventProperties(e, "Stray", "v", "General", PE_STRING, "", 0);
        s.addEventProperties(e, "Exit Play", "On", "events", PE_BOOL, "On/Off", 0);
    };
    box->refillEventList(frame.get(), 0);
    ASSERT_EQ(box->getEventListView()->topLevelItemCount(), 1);
    EXPECT_EQ(rowNames(box->getEventListView()->topLevelItem(0)), (std::vector<QString>{"Exit Play"}));
}

} // namespace
