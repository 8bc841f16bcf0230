#include "MainWindowFixture.h"

#include "app/HelpWindow.h"
#include "app/MenuIds.h"
#include "app/SessionFiles.h"
#include "app/aboutVl.h"
#include "canvas/VelmoraView.h"
#include "objects/draw/CColorBar.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"
#include "support/ProcessRunner.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace mainwin;
using namespace menuid;

namespace {

struct Item {
    int id; // 0: separator
    const char* text;
    const char* keys;
    bool enabled;
    bool checked;
};

const Item SEP{0, "-", "", true, false};

std::vector<Item> snapshot(QMenu* menu) {
    std::vector<Item> items;
    static std::deque<std::string> texts; // keeps the strings the items point to
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            items.push_back(SEP);
            continue;
        }
        texts.push_back(a->text().toStdString());
        const char* text = texts.back().c_str();
        texts.push_back(a->shortcut().toString().toStdString());
        items.push_back({a->data().toInt(), text, texts.back().c_str(), a->isEnabled(), a->isChecked()});
    }
    return items;
}

void expectItems(QMenu* menu, const std::vector<Item>& expected, const char* name) {
    ASSERT_NE(menu, nullptr) << name;
    std::vector<Item> got = snapshot(menu);
    ASSERT_EQ(got.size(), expected.size()) << name;
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(std::string(name) + " item " + std::to_string(i) + " " + expected[i].text);
        EXPECT_EQ(got[i].id, expected[i].id);
        EXPECT_STREQ(got[i].text, expected[i].text);
        EXPECT_STREQ(got[i].keys, expected[i].keys);
        EXPECT_EQ(got[i].enabled, expected[i].enabled);
        EXPECT_EQ(got[i].checked, expected[i].checked);
    }
}

} // namespace

// ---- Construction ---------------------------------------------------------

TEST_F(MainWindowTest, FieldsAfterConstruction) {
    EXPECT_EQ(w->objectName(), "VL 1.0-1 for Linux");
    EXPECT_TRUE(w->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(w->project().m_dwFrameCount, 0u);
    EXPECT_EQ(w->session().frameRate, 2);
    EXPECT_EQ(w->session().currentPalette, -1);
    EXPECT_EQ(w->session().blockSize, 8);
    EXPECT_EQ(w->workingFileName(), home() + "/zedaro/Untitled.dat");
    EXPECT_EQ(w->session().soundFile, home() + "/zedaro/Sound.dat");
    EXPECT_EQ(w->windowTitle().toStdString(), "Velmora 1.0 - " + home() + "/zedaro/Untitled");
    eHookStatus hook = HOOK_PENDING;
    EXPECT_EQ(w->recording().getSharedData(&hook), 1);
    EXPECT_EQ(hook, HOOK_IDLE);
    EXPECT_FALSE(w->session().recording);
    EXPECT_FALSE(w->session().fullScreen);
    EXPECT_EQ(w->widgets().recordBar, nullptr);
    EXPECT_NE(w->widgets().captureSettings, nullptr);
    EXPECT_NE(w->session().bufferManager, nullptr);
    EXPECT_NE(w->session().machineProfile, nullptr);
    EXPECT_TRUE(w->acceptDrops());
    EXPECT_FALSE(w->windowIcon().isNull());

    ASSERT_NE(w->screenInfo().display, nullptr);
    EXPECT_EQ(w->screenInfo().width, 1024);
    EXPECT_EQ(w->screenInfo().height, 768);
    EXPECT_EQ(w->screenInfo().captureRect.left, 0);
    EXPECT_EQ(w->screenInfo().captureRect.top, 0);
    EXPECT_EQ(w->screenInfo().captureRect.right, 1024);
    EXPECT_EQ(w->screenInfo().captureRect.bottom, 768);
    EXPECT_EQ(w->screenInfo().frameRect.right, 1023);
    EXPECT_EQ(w->screenInfo().frameRect.bottom, 767);
    EXPECT_NE(w->screenInfo().pixmap, 0u);
    EXPECT_EQ(w->screenInfo().depth, testDepth());
    if (testDepth() == 24) {
        EXPECT_EQ(w->screenInfo().bytesPerPixel, 4);
        EXPECT_EQ(w->screenInfo().rowBytes, 4 * 1024);
        EXPECT_EQ(w->screenInfo().redMask, 0xFF0000u);
        EXPECT_EQ(w->screenInfo().greenMask, 0x00FF00u);
        EXPECT_EQ(w->screenInfo().blueMask, 0x0000FFu);
    } else if (testDepth() == 16) {
        EXPECT_EQ(w->screenInfo().bytesPerPixel, 2);
        EXPECT_EQ(w->screenInfo().rowBytes, 2 * 1024);
        EXPECT_EQ(w->screenInfo().redMask, 0xF800u);
        EXPECT_EQ(w->screenInfo().greenMask, 0x07E0u);
        EXPECT_EQ(w->screenInfo().blueMask, 0x001Fu);
    }
}

TEST(MainWindowScreens, SixteenBitScreenFields) {
    if (testDepth() == 16)
        GTEST_SKIP() << "already the 16-bit run";
    testsupport::Process p;
    testsupport::ProcessOptions o;
    o.args = {"--gtest_filter=MainWindowTest.FieldsAfterConstruction"};
    o.env["MAINWIN_TEST_DEPTH"] = "16";
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    self[n] = 0;
    ASSERT_TRUE(p.start(self, o));
    auto status = p.wait(120000);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << p.out() << p.err();
    EXPECT_NE(p.out().find("[  PASSED  ] 1 test"), std::string::npos) << p.out();
}

// ---- Menu bar snapshot ----------------------------------------------------

TEST_F(MainWindowTest, MenuBarSnapshot) {
    QMenuBar* bar = w->menuBar();
    std::vector<std::string> titles;
    for (QAction* a : bar->actions())
        titles.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&View", "&Record", "Prefere&nces",
                                                "&Objects", "-", "&Help"}));

    expectItems(w->widgets().fileMenu,
                {{10020, "&New", "Ctrl+N", true, false},
                 {10030, "&Open...", "Ctrl+O", true, false},
                 {3009, "&Make", "Ctrl+M", false, false},
                 {10060, "Save &As...", "Ctrl+S", false, false},
                 SEP,
                 {10100, "E&xit", "Ctrl+Q", true, false},
                 SEP},
                "File");
    expectItems(w->widgets().editMenu,
                {{11010, "&Undo", "Ctrl+Z", false, false},
                 {11040, "Cu&t", "Shift+Del", false, false},
                 {11030, "&Copy", "Ctrl+Ins", false, false},
                 {11050, "&Paste", "Shift+Ins", false, false},
                 {3070, "&Delete", "Del", false, false},
                 {11060, "Se&lect All", "Ctrl+A", false, false},
                 SEP,
                 {3012, "&Append Frame", "F5", true, false},
                 {3013, "&Insert Frame", "F6", true, false},
                 {3014, "Delete &Frame", "F7", false, false},
                 SEP,
                 {3015, "&Purge Frames", "", false, false},
                 {3016, "&Delete Sound", "", false, false},
                 SEP,
                 {3069, "Select All Frames\tCtrl+Alt+A", "", false, false},
                 {3068, "Select All Sound or Action Frames\tCtrl+Alt+S", "", false, false}},
                "Edit");
    expectItems(w->widgets().viewMenu,
                {{12010, "&Tool Bar", "", true, true},
                 {12020, "&Status Bar", "", true, true},
                 {3019, "&Navigation Bar", "", true, true},
                 {3020, "&Record Sound Clip", "", false, false},
                 {3021, "&Draw Palette", "", true, true},
                 {3022, "&Edit Palette", "", true, true},
                 {3023, "&Color Bar", "", true, false},
                 {3024, "&Full Screen", "", true, false}},
                "View");
    expectItems(w->widgets().recordMenu,
                {{3031, "&Start Recording", "Alt+C", true, false}, {3032, "S&ound", "", false, false}},
                "Record");
    expectItems(w->widgets().soundMenu,
                {{3026, "&Record", "", false, false},
                 {3027, "&Stop", "", false, false},
                 {3028, "&Play", "", false, false},
                 {3029, "&Rewind", "", false, false},
                 {3030, "&Forward", "", false, false}},
                "Sound");
    expectItems(w->widgets().preferencesMenu,
                {{3038, "Capture &Settings...", "", true, false},
                 {3040, "&Audio Specifications...", "", false, false},
                 {3041, "&Background Sound Settings...", "", false, false}},
                "Preferences");
    expectItems(w->widgets().objectsMenu,
                {{3046, "&Draw Palette", "", true, false}, {3060, "&Edit Palette", "", true, false}},
                "Objects");
    expectItems(w->widgets().drawPaletteMenu,
                {{3047, "&Select", "", false, false},
                 {3049, "&Line", "", false, false},
                 {3052, "&Rectangle", "", false, false},
                 {3051, "&Ellipse", "", false, false},
                 {3050, "R&ound Rectangle", "", false, false},
                 {3057, "&Polyline", "", false, false}},
                "Draw Palette");
    expectItems(w->widgets().editPaletteMenu,
                {{3067, "&Bitmap", "", false, false},
                 {3066, "&Text Field", "", false, false},
                 {3065, "&Instruction Box", "", false, false},
                 {3064, "&Validation Field", "", false, false},
                 {3062, "&Hyperlink", "", false, false}},
                "Edit Palette");
    expectItems(w->widgets().helpMenu,
                {{1003, "Contents...", "F1", true, false}, {1002, "About...", "", true, false}}, "Help");
    expectItems(w->widgets().passwordMenu,
                {{3033, "&Set Password", "", true, false},
                 {3034, "&Change Password", "", false, false},
                 {3035, "C&lear Password", "", false, false}},
                "Password");

    EXPECT_EQ(w->widgets().recordMenu->actions()[1]->menu(), w->widgets().soundMenu);
    EXPECT_EQ(w->widgets().objectsMenu->actions()[0]->menu(), w->widgets().drawPaletteMenu);
    EXPECT_EQ(w->widgets().objectsMenu->actions()[1]->menu(), w->widgets().editPaletteMenu);
    for (QMenu* m : {w->widgets().fileMenu, w->widgets().editMenu, w->widgets().viewMenu,
                     w->widgets().recordMenu, w->widgets().soundMenu, w->widgets().preferencesMenu,
                     w->widgets().objectsMenu, w->widgets().drawPaletteMenu, w->widgets().editPaletteMenu,
                     w->widgets().helpMenu, w->widgets().passwordMenu})
        EXPECT_TRUE(m->isTearOffEnabled());

    // The Password and Style popups are reachable from no menu.
    for (QAction* a : bar->actions()) {
        EXPECT_NE(a->menu(), w->widgets().passwordMenu);
        EXPECT_NE(a->menu(), w->widgets().styleMenu);
    }
    ASSERT_NE(w->widgets().styleMenu, nullptr);
    EXPECT_FALSE(w->widgets().styleMenu->isEnabled());
    EXPECT_EQ(w->widgets().styleMenu->actions().size(), 8);
}

// ---- Accelerators ---------------------------------------------------------

TEST_F(MainWindowTest, EveryKeyIsBoundOnceSoNoShortcutIsAmbiguous) {
    std::vector<QKeySequence> expected = {
        QKeySequence("Ctrl+Left"),  QKeySequence("Ctrl+Right"), QKeySequence("Alt+Right"),
        QKeySequence("Alt+Left"),   QKeySequence("Ctrl+Alt+A"), QKeySequence("Ctrl+Alt+S"),
        QKeySequence("Ctrl+Alt+C"), QKeySequence("Ctrl+Alt+X"), QKeySequence("Ctrl+Alt+V"),
    };
    const auto& accels = w->frameAccelerators();
    ASSERT_EQ(accels.size(), expected.size());
    for (size_t i = 0; i < accels.size(); ++i) {
        EXPECT_EQ(accels[i]->key(), expected[i]) << i;
        EXPECT_TRUE(accels[i]->isEnabled());
        EXPECT_EQ(accels[i]->context(), Qt::WindowShortcut);
    }

    std::map<QString, int> uses;
    for (QShortcut* s : accels)
        ++uses[s->key().toString()];
    for (QAction* a : w->findChildren<QAction*>())
        for (const QKeySequence& k : a->shortcuts())
            ++uses[k.toString()];
    for (auto& [key, count] : uses)
        EXPECT_EQ(count, 1) << key.toStdString();
}

// ---- Enable state ---------------------------------------------------------

namespace {

struct StateCase {
    const char* name;
    std::function<void(Velmora*)> enter;
    std::set<int> enabledItems;
    std::set<std::string> enabledButtons;
};

const int kAllIds[] = {10020, 10030, 3009, 10060, 10100, 11010, 11040, 11030, 11050, 3070, 11060,
                       3012,  3013,  3014, 3015,  3016,  3069,  3068,  12010, 12020, 3019, 3020,
                       3021,  3022,  3023, 3024,  3031,  3032,  3026,  3027,  3028,  3029, 3030,
                       3038,  3040,  3041, 3046,  3060,  3047,  3049,  3052,  3051,  3050, 3057,
                       3067,  3066,  3065, 3064,  3062,  1003,  1002,  3033,  3034,  3035};

std::map<std::string, QToolButton*> buttons(Velmora* w) {
    return {{"New", w->widgets().newButton},
            {"Open", w->widgets().openButton},
            {"Make", w->widgets().makeButton},
            {"SaveAs", w->widgets().saveAsButton},
            {"Record", w->widgets().recordButton},
            {"Append", w->widgets().appendButton},
            {"Insert", w->widgets().insertButton},
            {"DeleteFrame", w->widgets().deleteFrameButton},
            {"Undo", w->widgets().undoButton},
            {"AudioSettings", w->widgets().audioSettingsButton},
            {"FullScreen", w->widgets().fullScreenButton},
            {"Select", w->toolButtons()[0]},
            {"Line", w->toolButtons()[1]},
            {"Rectangle", w->toolButtons()[2]},
            {"Ellipse", w->toolButtons()[3]},
            {"RoundRect", w->toolButtons()[4]},
            {"Polyline", w->toolButtons()[5]},
            {"Bitmap", w->toolButtons()[6]},
            {"TextField", w->toolButtons()[7]},
            {"InstructionBox", w->toolButtons()[8]},
            {"Validation", w->toolButtons()[9]},
            {"Hyperlink", w->toolButtons()[10]}};
}

const std::set<int> kStartItems = {10020, 10030, 10100, 3012, 3013, 12010, 12020, 3019, 3021, 3022,
                                   3023,  3024,  3031,  3038, 3046, 3060,  1003,  1002, 3033};
const std::set<int> kPalettes = {3047, 3049, 3052, 3051, 3050, 3057, 3067, 3066, 3065, 3064, 3062};
const std::set<std::string> kStartButtons = {"New", "Open", "Record", "Append", "Insert", "FullScreen"};
const std::set<std::string> kToolButtons = {"Select",         "Line",       "Rectangle", "Ellipse",
                                            "RoundRect",      "Polyline",   "Bitmap",    "TextField",
                                            "InstructionBox", "Validation", "Hyperlink"};

std::set<int> plus(std::set<int> a, const std::set<int>& b) {
    a.insert(b.begin(), b.end());
    return a;
}
std::set<int> minus(std::set<int> a, const std::set<int>& b) {
    for (int x : b)
        a.erase(x);
    return a;
}
std::set<std::string> plus(std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
}
std::set<std::string> minus(std::set<std::string> a, const std::set<std::string>& b) {
    for (auto& x : b)
        a.erase(x);
    return a;
}

void framesExist(Velmora* w) {
    w->slotEnableMenu();
    w->slotEnableTool();
    w->enableObjects();
}

// Frames exist: Make, the frame items, the palettes and the sound items on;
// Start Recording and the Record button off.
const std::set<int> kFramesItems =
    minus(plus(plus(kStartItems, kPalettes), {3009, 3014, 3069, 3026, 3032, 3020, 3040, 3041}), {3031});
const std::set<std::string> kFramesButtons =
    minus(plus(plus(kStartButtons, kToolButtons), {"Make", "DeleteFrame", "AudioSettings"}), {"Record"});

const StateCase kStates[] = {
    {"Start", [](Velmora*) {}, kStartItems, kStartButtons},
    {"FramesWithoutUserActions", framesExist, kFramesItems, kFramesButtons},
    {"FramesWithUserActions",
     [](Velmora* w) {
         w->project().m_dwUserActionFrame = 3;
         framesExist(w);
     },
     plus(kFramesItems, {3068}), kFramesButtons},
    {"CurrentFrameDeleted",
     [](Velmora* w) {
         framesExist(w);
         w->slotCheckCurrentFrameStatus(true);
     },
     minus(kFramesItems, plus(kPalettes, {3032, 3020, 3040, 3041})), minus(kFramesButtons, kToolButtons)},
    {"CurrentFrameUndeleted",
     [](Velmora* w) {
         framesExist(w);
         w->slotCheckCurrentFrameStatus(true);
         w->slotCheckCurrentFrameStatus(false);
     },
     kFramesItems, kFramesButtons},
    {"AfterNew",
     [](Velmora* w) {
         framesExist(w);
         w->slotEnableCutCopy();
         w->slotEnablePaste();
         w->slotEnableSelectAll();
         w->changePurgeStatus(true);
         w->slotDisableMenu();
         w->slotDisableTools();
         w->disableObjects();
     },
     // Sound > Record stays on: no set of New switches it off.
     plus(kStartItems, {3026}), kStartButtons},
    {"CanvasSelection",
     [](Velmora* w) {
         framesExist(w);
         w->slotEnableCutCopy();
         w->slotEnablePaste();
         w->slotEnableSelectAll();
         w->changePurgeStatus(true);
     },
     plus(kFramesItems, {11040, 11030, 3070, 11050, 11060, 3015}), kFramesButtons},
    {"CanvasSelectionCleared",
     [](Velmora* w) {
         framesExist(w);
         w->slotEnableCutCopy();
         w->slotEnablePaste();
         w->slotEnableSelectAll();
         w->slotDisableCutCopy();
         w->slotDisablePaste();
         w->slotDisableSelectAll();
     },
     kFramesItems, kFramesButtons},
};

class EnableState : public MainWindowTest, public ::testing::WithParamInterface<StateCase> {};

} // namespace

TEST_P(EnableState, MenuItemsAndButtonsFollowTheTables) {
    const StateCase& c = GetParam();
    c.enter(w);
    for (int id : kAllIds) {
        ASSERT_NE(w->actionById(id), nullptr) << id;
        EXPECT_EQ(w->isItemEnabled(id), c.enabledItems.count(id) == 1) << "item " << id;
    }
    for (auto& [name, button] : buttons(w)) {
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->isEnabled(), c.enabledButtons.count(name) == 1) << "button " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(States, EnableState, ::testing::ValuesIn(kStates),
                         [](const ::testing::TestParamInfo<StateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MainWindowTest, EnableMenuRemovesTheSoundClipCheckMark) {
    w->setItemChecked(VIEW_RECORD_SOUND_CLIP, true);
    w->slotEnableMenu();
    EXPECT_FALSE(w->isItemChecked(VIEW_RECORD_SOUND_CLIP));
    EXPECT_TRUE(w->isItemEnabled(VIEW_RECORD_SOUND_CLIP));
}

TEST_F(MainWindowTest, ObjectSetsReportTheFrameStatus) {
    std::vector<bool> seen;
    QObject::connect(w, &Velmora::signalFrameStatus, [&](bool locked) { seen.push_back(locked); });
    w->enableObjects();
    w->disableObjects();
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
}

// ---- Tools ----------------------------------------------------------------

namespace {

struct ToolCase {
    const char* name;
    std::function<void(Velmora*)> slot;
    std::set<std::string> on;
    Qt::CursorShape cursor;
    int kind;
};

class ToolChoice : public MainWindowTest, public ::testing::WithParamInterface<ToolCase> {};

std::set<std::string> checkedButtons(Velmora* w) {
    std::set<std::string> on;
    for (auto& [name, b] : buttons(w))
        if (b->isChecked())
            on.insert(name);
    return on;
}

} // namespace

TEST_P(ToolChoice, SetsTheButtonsTheCursorAndTheKind) {
    const ToolCase& c = GetParam();
    framesExist(w);
    // Every button on first, so that the slot's own switching shows.
    for (auto& [name, b] : buttons(w))
        b->setChecked(b->isCheckable());
    std::vector<int> kinds;
    QObject::connect(w, &Velmora::signal_draw_object, [&](int k) { kinds.push_back(k); });
    c.slot(w);
    EXPECT_EQ(checkedButtons(w), c.on);
    EXPECT_EQ(w->toolCursor(), c.cursor);
    EXPECT_EQ(kinds, std::vector<int>{c.kind});
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToolChoice,
    ::testing::Values(
        ToolCase{"Select", [](Velmora* v) { v->slotDrawToolsSelect(); }, {"Select"}, Qt::ArrowCursor, 0},
        ToolCase{"Line", [](Velmora* v) { v->slotDrawToolsLine(); }, {"Line"}, Qt::CrossCursor, 1},
        ToolCase{
            "Rectangle", [](Velmora* v) { v->slotDrawToolsRectangle(); }, {"Rectangle"}, Qt::CrossCursor, 2},
        ToolCase{"Round", [](Velmora* v) { v->slotDrawToolsRound(); }, {"RoundRect"}, Qt::CrossCursor, 3},
        ToolCase{"Ellipse", [](Velmora* v) { v->slotDrawToolsEllipse(); }, {"Ellipse"}, Qt::CrossCursor, 4},
        ToolCase{
            "Polyline", [](Velmora* v) { v->slotDrawToolsPolyline(); }, {"Polyline"}, Qt::CrossCursor, 25},
        ToolCase{"Validation",
                 [](Velmora* v) { v->slotEditToolsValidation(); },
                 {"Validation"},
                 Qt::CrossCursor,
                 6},
        ToolCase{"Instruction",
                 [](Velmora* v) { v->slotEditToolsInstruction(); },
                 {"InstructionBox"},
                 Qt::CrossCursor,
                 14},
        ToolCase{
            "Hyperlink", [](Velmora* v) { v->slotEditToolsHyperlink(); }, {"Hyperlink"}, Qt::CrossCursor, 17},
        ToolCase{
            "TextBox", [](Velmora* v) { v->slotEditToolsTextBox(); }, {"TextField"}, Qt::CrossCursor, 19},
        ToolCase{"Bitmap", [](Velmora* v) { v->slotEditToolsBitmap(); }, {"Bitmap"}, Qt::CrossCursor, 20},
        // Tools without objects: the draw buttons and Validation go off,
        // the other edit buttons and the cursor stay.
        ToolCase{"Pencil",
                 [](Velmora* v) { v->slotDrawToolsPencil(); },
                 {"Bitmap", "TextField", "InstructionBox", "Hyperlink"},
                 Qt::ArrowCursor,
                 5},
        ToolCase{"AirBrush",
                 [](Velmora* v) { v->slotDrawToolsAirBrush(); },
                 {"Bitmap", "TextField", "InstructionBox", "Hyperlink"},
                 Qt::ArrowCursor,
                 7},
        ToolCase{"PaintBrushSwitchesRectangleOn",
                 [](Velmora* v) { v->slotDrawToolsPaintBrush(); },
                 {"Rectangle", "Bitmap", "TextField", "InstructionBox", "Hyperlink"},
                 Qt::ArrowCursor,
                 23}),
    [](const ::testing::TestParamInfo<ToolCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, RectangleToolEnablesTheHyperlinkButton) {
    framesExist(w);
    w->slotEditToolsHyperlink();
    w->slotDrawToolsRectangle();
    EXPECT_EQ(checkedButtons(w), std::set<std::string>{"Rectangle"});

    w->disableObjects();
    w->slotDrawToolsRectangle();
    EXPECT_TRUE(w->toolButtons()[10]->isEnabled());
    EXPECT_FALSE(w->toolButtons()[1]->isEnabled());
}

TEST_F(MainWindowTest, SelectDoesNothingWhileItsButtonIsHeldDown) {
    framesExist(w);
    w->slotDrawToolsLine();
    std::vector<int> kinds;
    QObject::connect(w, &Velmora::signal_draw_object, [&](int k) { kinds.push_back(k); });
    w->toolButtons()[0]->setDown(true);
    w->slotDrawToolsSelect();
    EXPECT_TRUE(kinds.empty());
    EXPECT_TRUE(w->toolButtons()[1]->isChecked());
    w->toolButtons()[0]->setDown(false);
}

TEST_F(MainWindowTest, OpeningAnyPopupReturnsToTheSelectionTool) {
    framesExist(w);
    for (QMenu* popup : {w->widgets().fileMenu, w->widgets().editMenu, w->widgets().viewMenu,
                         w->widgets().soundMenu, w->widgets().recordMenu, w->widgets().passwordMenu,
                         w->widgets().preferencesMenu, w->widgets().drawPaletteMenu,
                         w->widgets().editPaletteMenu, w->widgets().objectsMenu, w->widgets().helpMenu}) {
        w->slotDrawToolsLine();
        std::vector<int> kinds;
        auto c = QObject::connect(w, &Velmora::signal_draw_object, [&](int k) { kinds.push_back(k); });
        emit popup->aboutToShow();
        QObject::disconnect(c);
        EXPECT_EQ(kinds, std::vector<int>{0}) << popup->title().toStdString();
        EXPECT_EQ(checkedButtons(w), std::set<std::string>{"Select"});
        EXPECT_EQ(w->toolCursor(), Qt::ArrowCursor);
    }

    // A real popup too.
    w->show();
    w->slotEditToolsBitmap();
    w->widgets().editMenu->popup(QPoint(10, 10));
    EXPECT_EQ(checkedButtons(w), std::set<std::string>{"Select"});
    w->widgets().editMenu->hide();
}

// ---- Status texts ---------------------------------------------------------

TEST_F(MainWindowTest, HighlightedItemsShowTheirHelpText) {
    const std::pair<int, const char*> cases[] = {
        {3049, "Enables the Line tool. "},
        {10020, "Creates a new file."},
        {3032, "Provides options for recording and playing a sound clip."},
        {1003, "Displays the Velmora help index."},
    };
    for (auto [id, text] : cases) {
        w->actionById(id)->hover();
        EXPECT_EQ(w->statusBar()->currentMessage(), QString(text)) << id;
    }
}

TEST_F(MainWindowTest, EditCommandsShowReadyAndReachTheCanvas) {
    std::vector<int> cutCopy;
    int pastes = 0;
    QObject::connect(w, &Velmora::signalCutCopyObjects, [&](int k) { cutCopy.push_back(k); });
    QObject::connect(w, &Velmora::signalPasteObjects, [&] { ++pastes; });
    w->slotEditCut();
    w->slotEditCopy();
    w->slotEditPaste();
    w->slotEditDelete();
    EXPECT_EQ(cutCopy, (std::vector<int>{1, 0}));
    EXPECT_EQ(pastes, 1);
    EXPECT_EQ(w->statusBar()->currentMessage(), "Ready.");
}

TEST_F(MainWindowTest, FrameAndActionLabels) {
    w->project().m_dwFrameCount = 4;
    w->project().m_vPlayBackFrameInfo.resize(4);
    w->project().m_vPlayBackFrameInfo[0].vType = VALIDATION_KEY;
    w->project().m_vPlayBackFrameInfo[0].xOrKey = 65;
    w->project().m_vPlayBackFrameInfo[0].yOrModifiers = int32_t(1u << 31);
    w->project().m_vPlayBackFrameInfo[1].vType = VALIDATION_MOUSE;
    w->project().m_vPlayBackFrameInfo[1].mouseMessage = 519;
    w->project().m_vPlayBackFrameInfo[2].vType = VALIDATION_MOUSE;
    w->project().m_vPlayBackFrameInfo[2].mouseMessage = 516;
    w->project().m_vPlayBackFrameInfo[3].vType = VALIDATION_NONE;

    auto iconIs = [&](const QPixmap& p) {
        return w->widgets().actionIconLabel->pixmap().toImage() == p.toImage();
    };
    w->slotLoadFrame(0);
    EXPECT_EQ(w->project().m_currentFrame, 0);
    EXPECT_EQ(w->widgets().frameLabel->text(), "  Frame 1 of 4  ");
    EXPECT_EQ(w->widgets().actionLabel->text(), "KeyBoard CTRL+A");
    EXPECT_TRUE(iconIs(*w->widgets().keyClickIcon));

    w->slotLoadFrame(1); // a middle press keeps the key icon
    EXPECT_EQ(w->widgets().actionLabel->text(), " Middle button Pressed ");
    EXPECT_TRUE(iconIs(*w->widgets().keyClickIcon));

    w->slotLoadFrame(2);
    EXPECT_EQ(w->widgets().actionLabel->text(), " Right button Pressed ");
    EXPECT_TRUE(iconIs(*w->widgets().rightClickIcon));

    w->slotLoadFrame(3);
    EXPECT_EQ(w->widgets().frameLabel->text(), "  Frame 4 of 4  ");
    EXPECT_EQ(w->widgets().actionLabel->text(), " No User Action ");
    EXPECT_TRUE(iconIs(*w->widgets().noUserActionIcon));

    // A frame without a playback record changes only the frame label.
    w->slotLoadFrame(7);
    EXPECT_EQ(w->widgets().frameLabel->text(), "  Frame 8 of 4  ");
    EXPECT_EQ(w->widgets().actionLabel->text(), " No User Action ");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, PointerPosition) {
    w->slotMouseMovePositions(QPoint(120, 45));
    EXPECT_EQ(w->widgets().pointerLabel->text(), " 120,45");
    w->slotMouseMovePositions(QPoint(-1, 5));
    EXPECT_EQ(w->widgets().pointerLabel->text(), " 120,45");
}

// ---- Tool bars and status bar ---------------------------------------------

TEST_F(MainWindowTest, ToolBarsAndTheirPlaces) {
    struct Bar {
        QToolBar* bar;
        const char* title;
        Qt::ToolBarArea area;
        bool visible;
    };
    w->show();
    for (const Bar& b : {Bar{w->widgets().fileToolBar, "file operations", Qt::TopToolBarArea, true},
                         Bar{w->widgets().colorToolBar, "ColorBar", Qt::RightToolBarArea, false},
                         Bar{w->widgets().drawToolBar, "draw tools", Qt::LeftToolBarArea, true},
                         Bar{w->widgets().editToolBar, "edit tools", Qt::LeftToolBarArea, true}}) {
        ASSERT_NE(b.bar, nullptr) << b.title;
        EXPECT_EQ(b.bar->windowTitle(), b.title);
        EXPECT_EQ(w->toolBarArea(b.bar), b.area) << b.title;
        EXPECT_EQ(b.bar->isVisible(), b.visible) << b.title;
        EXPECT_FALSE(b.bar->isMovable()) << b.title;
    }
    EXPECT_EQ(w->widgets().colorToolBar->width(), 168);
    EXPECT_EQ(w->widgets().colorToolBar->orientation(), Qt::Vertical);
    ASSERT_NE(w->colorBar(), nullptr);
    EXPECT_EQ(w->colorBar()->objectName(), "colorbar");
    EXPECT_EQ(w->colorBar()->parentWidget(), w->widgets().colorToolBar);

    std::vector<std::string> labels;
    for (QToolBar* bar : {w->widgets().colorToolBar, w->widgets().drawToolBar, w->widgets().editToolBar})
        for (QLabel* l : bar->findChildren<QLabel*>())
            labels.push_back(l->text().toStdString());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "              Color Bar"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Draw"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "Edit"), labels.end());

    EXPECT_EQ(w->widgets().appendButton->statusTip(),
              "Adds a blank frame to the end of the row of frames.\n        ");
    EXPECT_EQ(w->widgets().recordButton->toolTip(), "Record");
    EXPECT_EQ(w->widgets().saveAsButton->toolTip(), "Save As...");
    EXPECT_EQ(w->toolButtons()[0]->toolTip(), "Selection Tool");
    EXPECT_TRUE(w->toolButtons()[0]->statusTip().isEmpty());
    EXPECT_EQ(w->toolButtons()[10]->toolTip(), "Hyperlink");
    for (auto& [name, b] : buttons(w))
        EXPECT_FALSE(b->isChecked()) << name;
}

TEST_F(MainWindowTest, StatusBarLayout) {
    w->show();
    QStatusBar* bar = w->statusBar();
    EXPECT_EQ(bar, w->widgets().statusBar);
    EXPECT_EQ(bar->objectName(), "vl_status");
    EXPECT_FALSE(bar->isSizeGripEnabled());
    EXPECT_EQ(w->widgets().pointerLabel->text(), " ");
    // At least 60 wide, and wide enough for the widest position it shows.
    EXPECT_GE(w->widgets().pointerLabel->width(), 60);
    EXPECT_GE(w->widgets().pointerLabel->width(),
              w->widgets().pointerLabel->fontMetrics().horizontalAdvance(QStringLiteral(" 9999,9999")));
    EXPECT_EQ(w->widgets().pointerLabel->height(), 18);
    EXPECT_EQ(w->widgets().progressBar->size(), QSize(150, 18));
    EXPECT_EQ(w->widgets().progressBar->maximum(), 100);
    EXPECT_EQ(w->widgets().actionIconLabel->size(), QSize(15, 18));
    EXPECT_EQ(w->widgets().frameLabel->height(), 18);
    EXPECT_EQ(w->widgets().actionLabel->height(), 18);
    // Left to right: progress, action, action icon, frame, pointer.
    EXPECT_LT(w->widgets().progressBar->x(), w->widgets().actionLabel->x());
    EXPECT_LT(w->widgets().actionLabel->x(), w->widgets().actionIconLabel->x());
    EXPECT_LT(w->widgets().actionIconLabel->x(), w->widgets().frameLabel->x());
    EXPECT_LT(w->widgets().frameLabel->x(), w->widgets().pointerLabel->x());
}

TEST_F(MainWindowTest, WithoutImageFilesTheButtonsHaveNoIcons) {
    // The working directory is empty.
    EXPECT_TRUE(w->widgets().makeButton->icon().isNull());
    EXPECT_TRUE(w->widgets().recordButton->icon().isNull());
    EXPECT_TRUE(w->actionById(SOUND_RECORD)->icon().isNull());
    EXPECT_FALSE(w->widgets().newButton->icon().isNull()) << "compiled-in images need no file";
}

class MainWindowInImagesFolder : public MainWindowTest {
  protected:
    std::string workingDirectory() const override { return imagesFolder(); }
};

TEST_F(MainWindowInImagesFolder, ImageFilesGiveTheButtonsTheirIcons) {
    for (QToolButton* b :
         {w->widgets().makeButton, w->widgets().saveAsButton, w->widgets().recordButton,
          w->widgets().undoButton, w->widgets().audioSettingsButton, w->widgets().fullScreenButton})
        EXPECT_FALSE(b->icon().isNull()) << b->toolTip().toStdString();
    EXPECT_FALSE(w->actionById(SOUND_RECORD)->icon().isNull());
    EXPECT_FALSE(w->actionById(PREFERENCES_AUDIO)->icon().isNull());
}

// ---- Recent files ---------------------------------------------------------

class MainWindowWithRecentFiles : public MainWindowTest {
  protected:
    void prepareHome() override {
        ASSERT_TRUE(SessionFiles::writeRecentFiles(home() + "/zedaro",
                                                   {"/tmp/c.vlm", "/tmp/b & a.vlm", "/tmp/a.vlm"}));
    }
};

TEST_F(MainWindowWithRecentFiles, FileMenuEndsWithTheRecentFiles) {
    QList<QAction*> items = w->widgets().fileMenu->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_TRUE(items[6]->isSeparator());
    EXPECT_EQ(items[7]->text(), "/tmp/c.vlm");
    EXPECT_EQ(items[8]->text(), "/tmp/b && a.vlm") << "shown as it is, not as a mnemonic";
    EXPECT_EQ(items[9]->text(), "/tmp/a.vlm");

    w->statusBar()->showMessage("before");
    items[8]->hover();
    EXPECT_EQ(w->statusBar()->currentMessage(), "before") << "recent files have no help text";
    EXPECT_EQ(w->session().recentFiles, (QStringList{"/tmp/c.vlm", "/tmp/b & a.vlm", "/tmp/a.vlm"}));
}

// ---- View commands --------------------------------------------------------

TEST_F(MainWindowTest, ViewTogglesFollowTheirWindows) {
    w->show();
    w->slotViewToolBar();
    EXPECT_FALSE(w->widgets().fileToolBar->isVisible());
    EXPECT_FALSE(w->isItemChecked(VIEW_TOOL_BAR));
    w->slotViewToolBar();
    EXPECT_TRUE(w->widgets().fileToolBar->isVisible());
    EXPECT_TRUE(w->isItemChecked(VIEW_TOOL_BAR));

    w->slotViewStatusBar();
    EXPECT_FALSE(w->widgets().statusBar->isVisible());
    EXPECT_FALSE(w->isItemChecked(VIEW_STATUS_BAR));
    EXPECT_EQ(w->widgets().statusBar->currentMessage(), "Ready.");
    w->slotViewStatusBar();
    EXPECT_TRUE(w->widgets().statusBar->isVisible());

    w->slotViewDrawTool();
    EXPECT_FALSE(w->widgets().drawToolBar->isVisible());
    EXPECT_FALSE(w->isItemChecked(VIEW_DRAW_PALETTE));
    w->slotViewEditTool();
    EXPECT_FALSE(w->widgets().editToolBar->isVisible());
    EXPECT_FALSE(w->isItemChecked(VIEW_EDIT_PALETTE));
}

TEST_F(MainWindowTest, HidingTheColourBarSavesTheCustomColours) {
    w->show();
    const std::string file = home() + "/zedaro/customclr.clr";
    w->slotViewColorBar();
    EXPECT_TRUE(w->widgets().colorToolBar->isVisible());
    EXPECT_TRUE(w->isItemChecked(VIEW_COLOR_BAR));
    EXPECT_FALSE(testsupport::fileExists(file));
    w->slotViewColorBar();
    EXPECT_FALSE(w->widgets().colorToolBar->isVisible());
    EXPECT_FALSE(w->isItemChecked(VIEW_COLOR_BAR));
    EXPECT_EQ(testsupport::readFile(file).size(), CColorBar::FILE_SIZE);
}

TEST_F(MainWindowTest, FullScreenTwiceReturnsToTheNormalWindow) {
    w->show();
    w->slotViewFullScreen();
    EXPECT_TRUE(w->session().fullScreen);
    EXPECT_TRUE(w->isFullScreen());
    EXPECT_FALSE(w->widgets().statusBar->isVisible());
    EXPECT_FALSE(w->isItemChecked(VIEW_STATUS_BAR));
    EXPECT_TRUE(w->isItemChecked(VIEW_FULL_SCREEN));
    w->slotViewFullScreen();
    EXPECT_FALSE(w->session().fullScreen);
    EXPECT_FALSE(w->isFullScreen());
    EXPECT_TRUE(w->widgets().statusBar->isVisible());
    EXPECT_TRUE(w->isItemChecked(VIEW_STATUS_BAR));
    EXPECT_FALSE(w->isItemChecked(VIEW_FULL_SCREEN));
    EXPECT_EQ(w->widgets().statusBar->currentMessage(), "Ready.");
}

TEST_F(MainWindowTest, ClosingDeletesTheWindow) {
    QPointer<Velmora> window = w;
    w->show();
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    w = nullptr; // already gone
}

// ---- Help, about and window settings --------------------------------------

TEST_F(MainWindowTest, AboutShowsTheAboutBox) {
    w->slotHelpAbout();
    ASSERT_NE(w->widgets().aboutDialog, nullptr);
    EXPECT_TRUE(w->widgets().aboutDialog->isVisible());
    EXPECT_EQ(w->widgets().aboutDialog->windowTitle(), "About Velmora");
    EXPECT_EQ(w->widgets().aboutDialog->objectName(), "about");
    w->widgets().aboutDialog->hide();
}

TEST_F(MainWindowTest, HelpOpensOneHelpWindow) {
    testsupport::TempDir install;
    mkdir(install.file("help").c_str(), 0755);
    testsupport::writeFile(install.file("help/vuduziv.htm"), "<html><body>Help</body></html>");
    setenv("ZEDARO", install.path().c_str(), 1);
    w->slotHelp();
    QPointer<HelpWindow> first = w->widgets().helpWindow;
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    first->close();
    w->slotHelp();
    EXPECT_EQ(w->widgets().helpWindow, first) << "the same window comes back";
    EXPECT_TRUE(first->isVisible());
    unsetenv("ZEDARO");
}

class MainWindowWithSettings : public MainWindowTest {
  protected:
    void prepareHome() override {
        SWindowSettings s;
        s.width = 800;
        s.height = 600;
        s.flags = SWindowSettings::TOOL_BAR | SWindowSettings::DRAW_PALETTE | SWindowSettings::COLOR_BAR;
        ASSERT_TRUE(SessionFiles::saveSettings(home() + "/zedaro", s));
    }
};

TEST_F(MainWindowWithSettings, StoredSizeAndBarsAreAppliedAndTheFileRemoved) {
    w->show();
    EXPECT_EQ(w->size(), QSize(800, 600));
    EXPECT_TRUE(w->widgets().fileToolBar->isVisible());
    EXPECT_FALSE(w->widgets().statusBar->isVisible());
    EXPECT_TRUE(w->widgets().drawToolBar->isVisible());
    EXPECT_FALSE(w->widgets().editToolBar->isVisible());
    EXPECT_TRUE(w->widgets().colorToolBar->isVisible());
    EXPECT_TRUE(w->isItemChecked(VIEW_TOOL_BAR));
    EXPECT_FALSE(w->isItemChecked(VIEW_STATUS_BAR));
    EXPECT_FALSE(w->isItemChecked(VIEW_NAVIGATION_BAR));
    EXPECT_TRUE(w->isItemChecked(VIEW_DRAW_PALETTE));
    EXPECT_FALSE(w->isItemChecked(VIEW_EDIT_PALETTE));
    EXPECT_TRUE(w->isItemChecked(VIEW_COLOR_BAR));
    EXPECT_FALSE(testsupport::fileExists(home() + "/zedaro/settings.rse"));
}

TEST_F(MainWindowTest, WithoutSettingsTheWindowTakesNearlyTheWholeScreen) {
    EXPECT_EQ(w->size(), QSize(1024 - 10, 768 - 100));
    EXPECT_FALSE(w->widgets().colorToolBar->isVisibleTo(w));
}

// ---- Keys through the X server --------------------------------------------

namespace {

// Shows the window under the pointer so that keys from xdotool reach it, as
// there is no window manager to give it the focus.
bool showForKeys(Velmora* w) {
    w->show();
    w->activateWindow();
    const QPoint centre = w->geometry().center();
    testsupport::runCommand("xdotool mousemove " + std::to_string(centre.x()) + " " +
                            std::to_string(centre.y()));
    return testsupport::waitUntil(
        [&] {
            QCoreApplication::processEvents();
            return w->isActiveWindow();
        },
        5000);
}

bool pumpUntil(const std::function<bool()>& done) {
    return testsupport::waitUntil(
        [&] {
            QCoreApplication::processEvents();
            return done();
        },
        3000);
}

} // namespace

TEST_F(MainWindowTest, ControlAltSFiresItsOneBindingEvenWithTheEditItemDisabled) {
    ASSERT_TRUE(showForKeys(w));
    ASSERT_FALSE(w->isItemEnabled(EDIT_SELECT_UA_FRAMES));
    int fired = 0, ambiguous = 0;
    QShortcut* selectUa = w->frameAccelerators()[5];
    QObject::connect(selectUa, &QShortcut::activated, [&] { ++fired; });
    QObject::connect(selectUa, &QShortcut::activatedAmbiguously, [&] { ++ambiguous; });
    testsupport::runCommand("xdotool key ctrl+alt+s");
    EXPECT_TRUE(pumpUntil([&] { return fired + ambiguous > 0; }));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(ambiguous, 0);

    // With the Edit item enabled the key still has one binding.
    w->setItemEnabled(EDIT_SELECT_UA_FRAMES, true);
    testsupport::runCommand("xdotool key ctrl+alt+s");
    EXPECT_TRUE(pumpUntil([&] { return fired + ambiguous > 1; }));
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(ambiguous, 0);
}

TEST_F(MainWindowTest, F1OpensTheHelpWithNoPopupOpen) {
    testsupport::TempDir install;
    mkdir(install.file("help").c_str(), 0755);
    testsupport::writeFile(install.file("help/vuduziv.htm"), "<html><body>Help</body></html>");
    setenv("ZEDARO", install.path().c_str(), 1);
    ASSERT_TRUE(showForKeys(w));
    testsupport::runCommand("xdotool key F1");
    EXPECT_TRUE(pumpUntil([&] { return w->widgets().helpWindow && w->widgets().helpWindow->isVisible(); }));
    unsetenv("ZEDARO");
}

TEST_F(MainWindowTest, ControlMDoesNothingWhileMakeIsDisabled) {
    ASSERT_TRUE(showForKeys(w));
    int makes = 0;
    QObject::connect(w->actionById(FILE_MAKE), &QAction::triggered, [&] { ++makes; });
    testsupport::runCommand("xdotool key ctrl+m");
    pumpUntil([] { return false; });
    EXPECT_EQ(makes, 0);
    w->setItemEnabled(FILE_MAKE, true);
    testsupport::runCommand("xdotool key ctrl+m");
    EXPECT_TRUE(pumpUntil([&] { return makes == 1; }));
}

// ---- Password menu --------------------------------------------------------

TEST_F(MainWindowTest, CancelledPasswordDialogsSetTheMenuByTheirFalseRows) {
    struct Row {
        void (Velmora::*slot)();
        bool set, change, clear;
    };
    // Each dialog is rejected as soon as it shows.
    const Row rows[] = {{&Velmora::slotPasswordSet, true, false, false},
                        {&Velmora::slotPasswordChange, false, true, true},
                        {&Velmora::slotPasswordClear, false, true, true}};
    for (const Row& r : rows) {
        QTimer::singleShot(0, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        std::invoke(r.slot, *w);
        EXPECT_EQ(w->isItemEnabled(PASSWORD_SET), r.set);
        EXPECT_EQ(w->isItemEnabled(PASSWORD_CHANGE), r.change);
        EXPECT_EQ(w->isItemEnabled(PASSWORD_CLEAR), r.clear);
    }
}

// ---- Exit and close -------------------------------------------------------

namespace {

// The prompt's answer, or none when no prompt is expected.
enum class Answer { None, No, Cancel };

struct EndCase {
    const char* name;
    bool appendFrame;     // a frame, and with it a working frame file this run made
    bool makeFirst;       // make the output file before ending (the project is then empty)
    bool removeFileFirst; // the working frame file is gone before the end
    Answer answer;
    bool ends;      // the program ends (Exit) or the window closes (close)
    bool fileStays; // the working frame file is still there afterwards
};

enum class Ending { Exit, Close };

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.name;
}
void PrintTo(Ending how, std::ostream* os) {
    *os << (how == Ending::Exit ? "Exit" : "Close");
}

// Presses the button of `text` of the next modal box as soon as it shows.
void answerWith(const QString& text) {
    QTimer::singleShot(0, [text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            for (QAbstractButton* b : box->buttons())
                if (b->text() == text)
                    b->click();
    });
}

// What the window showed once the session ended, or went on.
struct Outcome {
    bool ended = false;
    bool boxVisible = false;
    uint32_t frames = 0;
    bool windowVisible = false;
};

class EndSession : public MainWindowTest, public ::testing::WithParamInterface<std::tuple<Ending, EndCase>> {
  protected:
    // Ends the session the chosen way, answering the prompt with `answer`
    // (empty: none expected). A window that ends is deleted: `w` is cleared.
    Outcome end(Ending how, const QString& answer) {
        Outcome o;
        QPointer<Velmora> window = w;
        QPointer<EditPropertyBox> box = w->getView()->_get_editprop_box();
        auto look = [&] {
            o.boxVisible = box && box->isVisible();
            o.frames = w->project().m_dwFrameCount;
            o.windowVisible = w->isVisible();
        };
        if (how == Ending::Close) {
            if (!answer.isEmpty())
                answerWith(answer);
            o.ended = w->close();
            look();
        } else {
            // Exit ends the event loop: run one, with a guard for when it goes on.
            QTimer guard;
            guard.setSingleShot(true);
            QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
            guard.start(3000);
            auto c = QObject::connect(qApp, &QCoreApplication::aboutToQuit, look);
            QTimer::singleShot(0, w, [this, answer] {
                if (!answer.isEmpty())
                    answerWith(answer);
                w->slotFileQuit();
            });
            o.ended = QApplication::exec() == 0;
            QObject::disconnect(c);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (window.isNull())
            w = nullptr; // closed and deleted
        return o;
    }
};

} // namespace

TEST_P(EndSession, KeepsTheSettingsAndRemovesOnlyTheWorkingFileThisRunMade) {
    const auto& [how, c] = GetParam();
    const std::string dat = home() + "/zedaro/Untitled.dat";
    if (c.appendFrame) {
        w->slotEditAppendFrames();
        ASSERT_EQ(w->project().m_dwFrameCount, 1u);
        ASSERT_TRUE(testsupport::fileExists(dat));
    } else {
        testsupport::writeFile(dat, "a working frame file of an earlier run");
    }
    if (c.makeFirst) {
        w->slotFileMake();
        ASSERT_EQ(w->project().m_dwFrameCount, 0u) << "the make succeeded";
        ASSERT_TRUE(testsupport::fileExists(home() + "/zedaro/Untitled.vlm"));
    }
    if (c.removeFileFirst) {
        ASSERT_EQ(unlink(dat.c_str()), 0);
    }
    w->show();
    w->getView()->_get_editprop_box()->show();
    const QString answer = c.answer == Answer::No ? "&No " : c.answer == Answer::Cancel ? "&Cancel" : "";

    testing::internal::CaptureStderr();
    const Outcome o = end(how, answer);
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(o.ended, c.ends);
    EXPECT_EQ(w == nullptr, c.ends) << "a window that ends is deleted";
    EXPECT_FALSE(o.boxVisible) << "the property box is hidden";
    EXPECT_TRUE(testsupport::fileExists(home() + "/zedaro/settings.rse")) << "the window settings are kept";
    EXPECT_TRUE(testsupport::fileExists(home() + "/zedaro/recentfiles"));
    EXPECT_EQ(testsupport::fileExists(dat), c.fileStays);
    EXPECT_EQ(err.find("unlink"), std::string::npos) << err;
    if (c.ends) {
        EXPECT_EQ(o.frames, 0u);
    } else {
        EXPECT_EQ(o.frames, 1u) << "Cancel keeps the project";
        EXPECT_TRUE(o.windowVisible);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, EndSession,
    ::testing::Combine(::testing::Values(Ending::Exit, Ending::Close),
                       ::testing::Values(
                           // A file this run did not make is left alone.
                           EndCase{"EarlierRunsFileStays", false, false, false, Answer::None, true, true},
                           EndCase{"NoRemovesTheFramesFile", true, false, false, Answer::No, true, false},
                           EndCase{"CancelKeepsEverything", true, false, false, Answer::Cancel, false, true},
                           EndCase{"FileAlreadyGoneIsNoError", true, false, true, Answer::No, true, false},
                           // After a make the project is empty, but its working file is still this run's.
                           EndCase{"AfterMakeTheFramesFileGoes", true, true, false, Answer::None, true,
                                   false})),
    [](const ::testing::TestParamInfo<std::tuple<Ending, EndCase>>& info) {
        return std::string(std::get<0>(info.param) == Ending::Exit ? "Exit" : "Close") +
               std::get<1>(info.param).name;
    });

// ---- Failure messages -----------------------------------------------------

namespace {

// Runs `action`; the first message box it shows is read and closed.
QString firstBoxText(const std::function<void()>& action) {
    QString text;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (text.isEmpty())
                text = box->text();
            box->done(0);
        }
    });
    timer.start();
    action();
    return text;
}

struct MakeFailure {
    const char* name;
    // Spoils the make; returns the cause expected.
    std::function<std::string(const std::string& zedaro)> spoil;
    // The make runs with the file access of an ordinary user, for whom a
    // folder's permissions hold.
    bool ordinaryUser;
};

void PrintTo(const MakeFailure& c, std::ostream* os) {
    *os << c.name;
}

class MakeFailureBox : public MainWindowTest, public ::testing::WithParamInterface<MakeFailure> {};

} // namespace

// The box keeps its text and names the cause on a second line; the project stays.
TEST_P(MakeFailureBox, KeepsItsTextAndNamesTheCause) {
    w->slotEditAppendFrames();
    ASSERT_EQ(w->project().m_dwFrameCount, 1u);
    const std::string zedaro = home() + "/zedaro";
    const std::string cause = GetParam().spoil(zedaro);
    const bool asOther = GetParam().ordinaryUser && geteuid() == 0;
    if (asOther) {
        // Only this thread's file access changes; the folders above must let it through.
        ASSERT_EQ(chmod(home().substr(0, home().rfind('/')).c_str(), 0755), 0);
        setfsgid(65534);
        setfsuid(65534);
        ASSERT_EQ(int(setfsuid(uid_t(-1))), 65534);
    }
    const QString text = firstBoxText([&] { w->slotFileMake(); });
    if (asOther) {
        setfsuid(0);
        setfsgid(0);
    }
    chmod(zedaro.c_str(), 0755);

    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 2) << text.toStdString();
    EXPECT_EQ(lines[0], "Make VLM... process exited with errors");
    EXPECT_EQ(lines[1].toStdString(), cause);
    EXPECT_EQ(w->project().m_dwFrameCount, 1u) << "the project is kept";
    EXPECT_FALSE(testsupport::fileExists(zedaro + "/Untitled.vlm.part"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MakeFailureBox,
    ::testing::Values(MakeFailure{"FolderCannotBeWritten",
                                  [](const std::string& zedaro) {
                                      chmod(zedaro.c_str(), 0555);
                                      return "cannot create " + zedaro +
                                             "/Untitled.vlm.part: " + std::strerror(EACCES);
                                  },
                                  true},
                      MakeFailure{"OutputNameTakenByAFolder",
                                  [](const std::string& zedaro) {
                                      mkdir((zedaro + "/Untitled.vlm").c_str(), 0755);
                                      return "cannot move " + zedaro + "/Untitled.vlm.part to " + zedaro +
                                             "/Untitled.vlm: " + std::strerror(EISDIR);
                                  },
                                  false}),
    [](const ::testing::TestParamInfo<MakeFailure>& info) { return std::string(info.param.name); });

// A damaged output file: the box keeps its text and names the file and what is wrong.
// Save As copies the made file whole to the chosen name, and never writes
// through a link that lies at the name of its scratch.
TEST_F(MainWindowTest, SaveAsCopiesTheMadeFileWholeAndNotThroughALink) {
    const std::string made = home() + "/zedaro/Untitled.vlm", other = home() + "/other";
    const std::string target = home() + "/copy.vlm";
    testsupport::writeFile(made, "made bytes");
    testsupport::writeFile(other, "another project's file");
    ASSERT_EQ(symlink(other.c_str(), (target + ".part").c_str()), 0);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            d->selectFile(QString::fromStdString(target));
            static_cast<QDialog*>(d)->accept(); // the dialog's own accept, as its Save button
        }
    });
    poll.start(10);
    w->slotFileSaveAs();
    poll.stop();
    EXPECT_EQ(testsupport::readFile(target), "made bytes");
    EXPECT_EQ(testsupport::readFile(other), "another project's file");
    struct stat st {};
    EXPECT_NE(lstat((target + ".part").c_str(), &st), 0) << "no scratch and no link are left";
}

TEST_F(MainWindowTest, ImportFailureBoxKeepsItsTextAndNamesTheCause) {
    struct Case {
        const char* bytes;
        const char* first;
        const char* cause; // followed by the file's path
    };
    const std::string path = home() + "/zedaro/bad.vlm";
    for (const Case& c : {Case{"INT and no more", "VLM File Error", "the header is cut short in "},
                          Case{"XYZ and no more", "VLM File Wrong Sign", "wrong signature in "}}) {
        SCOPED_TRACE(c.bytes);
        std::string bytes = c.bytes;
        if (bytes[0] == 'X')
            bytes.resize(4096, '\0');
        testsupport::writeFile(path, bytes);
        const QString text = firstBoxText([&] { w->openFromArgv(path.c_str()); });
        const QStringList lines = text.split('\n');
        ASSERT_EQ(lines.size(), 2) << text.toStdString();
        EXPECT_EQ(lines[0], c.first);
        EXPECT_EQ(lines[1].toStdString(), c.cause + path);
        EXPECT_FALSE(testsupport::fileExists(home() + "/zedaro/bad.dat"));
        EXPECT_EQ(w->project().m_dwFrameCount, 0u);
    }
}
