// Objects and their rows through the real main window: a right click on each
// in-place editor, a disabled click target's Target row, the validation
// string dialog driven by real X key events, the background sound dialog's
// refusal, and a hyperlink's 3D highlight on the canvas.
#include "AnsweredBoxes.h"
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "HolderInMainWindow.h"
#include "MadeObjects.h"
#include "RecordedProject.h"
#include "app/MenuIds.h"
#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/sAllObjects.h"
#include "canvas/strip/NVNavigationBar.h"
#include "media/CBackgroundSound.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"
#include "store/CValidationData.h"
#include "store/DrawingObjectType.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidgetItemIterator>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// Xlib after the toolkit headers.
#include "PropertyBoxOnScreen.h"
#include "ScreenPixels.h"
// Xlib's event names would hide the toolkit's.
#undef KeyPress

using namespace testsupport;

namespace {

std::string sourceFolder() {
    std::string here = __FILE__; // <root>/tests/app/ObjectRowsInMainWindowTest.cpp
    return here.substr(0, here.rfind("/tests/app/"));
}

// Popup windows on the screen: mapped top-level windows that bypass the
// window manager, as a menu does.
int popupMenusShown() {
    int menus = 0;
    std::istringstream in(runCommand("xwininfo -root -children 2>/dev/null"));
    std::string line;
    while (std::getline(in, line)) {
        char id[32] = {};
        if (std::sscanf(line.c_str(), " 0x%31[0-9a-f]", id) != 1)
            continue;
        const std::string info = runCommand(std::string("xwininfo -id 0x") + id + " 2>/dev/null");
        if (info.find("Map State: IsViewable") != std::string::npos &&
            info.find("Override Redirect State: yes") != std::string::npos)
            ++menus;
    }
    return menus;
}

// ---- a right click on an in-place editor ----

struct InPlaceKind {
    const char* name;
    const char* paletteKey; // Objects > Edit Palette > ...
    const char* object;     // its name in the property box
};

void PrintTo(const InPlaceKind& k, std::ostream* os) {
    *os << k.name;
}

class RightClickOnEditor : public AuthorSession, public ::testing::WithParamInterface<InPlaceKind> {};

TEST_P(RightClickOnEditor, SelectsTheObjectAndShowsThePropertyBox) {
    const InPlaceKind& kind = GetParam();
    // The bitmap's default image is loaded from the working folder.
    for (const char* name : {"bitmap1.xpm", "RESOURCES.RSE"})
        writeFile(root.file(name), readFile(sourceFolder() + "/images/" + name));
    Process p;
    std::string main;
    Rect canvas;
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);
    focus(main);
    choosePaletteTool(kind.paletteKey);
    dragOnCanvas(canvas, {100, 100}, {400, 250});
    // Well inside the text, below an instruction box's title bar.
    xdotool("mousemove " + canvasPoint(canvas, 250, 200) + " click 3 sleep 0.6");

    const std::string boxId = propertyBoxBeside(main, 5000);
    const int menus = popupMenusShown();
    EXPECT_EQ(menus, 0) << "the editor's own menu shows";
    if (menus > 0)
        xdotool("key Escape sleep 0.3");
    ASSERT_FALSE(boxId.empty()) << "no property box\n" << p.err();
    const std::string title = "Properties [" + std::string(kind.object) + "]";
    EXPECT_TRUE(waitUntil([&] { return trim(runCommand("xdotool getwindowname " + boxId)) == title; }, 5000))
        << runCommand("xdotool getwindowname " + boxId);
    quit(p, main);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RightClickOnEditor,
                         ::testing::Values(InPlaceKind{"TextField", "t", "Text Field 1"},
                                           InPlaceKind{"InstructionBox", "i", "Instruction Box 1"},
                                           InPlaceKind{"ValidationField", "v", "Validation Field 1"},
                                           InPlaceKind{"Bitmap", "b", "Bitmap Object 1"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- a disabled mouse-click target ----

class ClickTargetInMainWindow : public mainwin::MainWindowTest {
  protected:
    void TearDown() override {
        DrawTools::currentlySelectedObject = SELECTION;
        MainWindowTest::TearDown();
    }
    void click(QPoint at) {
        VLImageHolder* holder = w->imageHolder();
        const QPointF global(holder->mapToGlobal(at));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(at), global, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(at), global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(holder, &release);
    }
    void pressF10() {
        QKeyEvent f10(QEvent::KeyPress, Qt::Key_F10, Qt::NoModifier);
        QCoreApplication::sendEvent(w->imageHolder(), &f10);
        QCoreApplication::processEvents();
    }
    // The value the Properties list shows in row `name`.
    QString shownValue(const QString& name) {
        PropertyListView* list = w->getView()->_get_editprop_box()->getListView();
        list->updateWidgets();
        for (QTreeWidgetItemIterator it(list); *it; ++it)
            if ((*it)->text(0) == name)
                return (*it)->text(1);
        return QStringLiteral("<no row %1>").arg(name);
    }
};

TEST_F(ClickTargetInMainWindow, TargetRowShowsTheTargetsOwnFlag) {
    ASSERT_NO_FATAL_FAILURE(mainwin::recordedProject(w, 3));
    struct Row {
        int frame;
        uint8_t disabled;
        const char* shown;
    };
    const Row rows[] = {{1, 1, "Disable"}, {2, 0, "Enable"}};
    ProjectTables& p = w->project();
    std::vector<int> actionFrames;
    for (const Row& r : rows) {
        SPlayBackFrameInfo& pb = p.m_vPlayBackFrameInfo[size_t(r.frame)];
        pb.vType = VALIDATION_MOUSE;
        pb.mouseMessage = 513;
        pb.clickRect = SRect{200, 150, 260, 190};
        pb.actionDisabled = r.disabled;
        p.m_vUserActionFrames.push_back(uint32_t(r.frame));
        actionFrames.push_back(r.frame);
    }
    p.m_dwUserActionFrame = uint32_t(actionFrames.size());
    w->frameStrip()->reset_frame_details(0, 0, nullptr);
    w->frameStrip()->reset_frame_details(3, int(actionFrames.size()), actionFrames.data());
    w->slotEnableMenu();
    w->show();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.shown);
        w->frameStrip()->set_current_frame(r.frame + 1); // the strip counts from 1
        ASSERT_EQ(w->imageHolder()->getCurrentFrame(), r.frame);
        click(QPoint(230, 170));
        DrawTools* selected = w->imageHolder()->getSelectedItem();
        ASSERT_NE(selected, nullptr);
        ASSERT_EQ(selected->drawingObject, MOUSECLICK);
        pressF10();
        EXPECT_EQ(shownValue("Target").toStdString(), r.shown);
    }
}

// ---- the background sound dialog refuses a loop count it cannot keep ----

class BackgroundSoundInMainWindow : public mainwin::MainWindowTest {};

TEST_F(BackgroundSoundInMainWindow, LoopCountAbove255IsRefusedWithAMessageAndTheDialogStays) {
    w->slotEditAppendFrames();
    w->show();
    QAction* command = w->actionById(menuid::PREFERENCES_BACKGROUND);
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled());
    command->trigger();
    CBackgroundSound* dialog = w->backgroundSoundDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    // The media library's answer to Browse: a WAV.
    dialog->SlotGetIDAndPath("/sounds/voice.wav", 0x03010001);
    dialog->findChild<QCheckBox*>("Loop Sound")->click();
    dialog->findChild<QCheckBox*>("Number of Times")->click();
    QLineEdit* count = dialog->findChild<QLineEdit*>("NoOfTimesCount");
    ASSERT_TRUE(count->isEnabled());
    count->setText("999");
    QPushButton* ok = dialog->findChild<QPushButton*>("Ok Button");
    const SBackgroundSoundBytes before = w->backgroundSoundRecord();

    const auto boxes = mainwin::answering({"OK"}, [&] {
        ok->click();
        waitUntil(
            [&] {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                for (QMessageBox* box : dialog->findChildren<QMessageBox*>())
                    if (box->property("answered").toBool() && !box->isVisible())
                        return true;
                return false;
            },
            5000);
    });
    ASSERT_EQ(boxes.size(), 1u) << "OK says why it refuses";
    const std::string text = boxes[0].text.toStdString();
    EXPECT_NE(text.find("Number of Times"), std::string::npos) << text;
    EXPECT_NE(text.find("999"), std::string::npos) << text;
    EXPECT_NE(text.find("0 to 255"), std::string::npos) << text;
    EXPECT_TRUE(dialog->isVisible()) << "the dialog stays open";
    EXPECT_EQ(w->backgroundSoundRecord(), before);

    // 255 is kept.
    count->setText("255");
    ok->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog->isVisible());
    const SBackgroundSoundSettings kept = SBackgroundSoundSettings::fromBytes(w->backgroundSoundRecord());
    EXPECT_EQ(kept.loopCount, 255);
    EXPECT_EQ(kept.loopForever, 0);
}

// ---- a hyperlink's 3D border ----

TEST_F(AuthorSession, HyperlinkHighlightIsLightGrey) {
    Process p;
    std::string main;
    Rect canvas;
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);
    focus(main);
    choosePaletteTool("h");
    dragOnCanvas(canvas, {100, 100}, {300, 160});
    // "3D": white outside at the top, the highlight one pixel in, on the top
    // and the left side; the points lie clear of the selection handles.
    const struct {
        int x, y;
        unsigned long colour;
    } points[] = {{150, 100, 0xFFFFFFul},
                  {150, 101, 0xDFDFDFul},
                  {250, 101, 0xDFDFDFul},
                  {101, 115, 0xDFDFDFul},
                  {101, 145, 0xDFDFDFul}};
    for (const auto& pt : points) {
        const Rect at{canvas.x + pt.x, canvas.y + pt.y, 1, 1};
        const std::vector<unsigned long> shown = screenPixelsBecoming(at, {pt.colour}, 5000);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown.front(), pt.colour) << std::hex << "at (" << std::dec << pt.x << ", " << pt.y << ")";
    }
    quit(p, main);
}

// ---- the validation string dialog under real X key events ----

class ValidationStringDialog : public AuthorSession {
  protected:
    // Places a validation field and opens its Validation String Dialog from
    // the property box; the dialog's place, none when it does not show.
    std::optional<Rect> openDialog(Process& p, std::string& main) {
        Rect canvas;
        if (!startWithAFrame(p, main, canvas))
            return std::nullopt;
        focus(main);
        choosePaletteTool("v");
        dragOnCanvas(canvas, {100, 100}, {300, 160});
        xdotool("mousemove " + canvasPoint(canvas, 200, 130) + " click 3 sleep 0.5");
        const std::string boxId = propertyBoxBeside(main);
        if (boxId.empty())
            return std::nullopt;
        std::string dialogId;
        for (int attempt = 0; attempt < 3 && dialogId.empty(); ++attempt) {
            const auto place = listInPropertyBox(boxId, "Validation Field 1", "key Escape sleep 0.3");
            if (!place)
                return std::nullopt;
            dialogId = openValidationStringDialog(*place);
        }
        if (dialogId.empty() || !waitUntil([&] { return placeOf(dialogId).has_value(); }, 5000))
            return std::nullopt;
        m_dialogId = dialogId;
        return placeOf(dialogId);
    }
    // Closes the dialog, makes the output file and gives its field's strings.
    std::optional<SMultiString> closeAndMake(const Rect& dialog, const std::string& main) {
        xdotool("mousemove " + windowPoint(dialog, 430, 265) + " click 1 sleep 0.8");
        if (!waitUntil([&] { return !placeOf(m_dialogId).has_value(); }, 5000))
            return std::nullopt;
        const std::string vlm = make(main);
        if (vlm.empty())
            return std::nullopt;
        for (const sAllObjects& o : objectsOfFirstFrame(vlm))
            if (const StoredValidationField* field =
                    o.drawingObject == VALIDATIONFIELD ? o.get<StoredValidationField>() : nullptr) {
                SMultiString strings;
                if (CValidationData().GetValidationDataArray(field->validationData.data(),
                                                             field->validationData.size(), strings))
                    return strings;
            }
        return std::nullopt;
    }
    std::string m_dialogId;
};

// "yes" typed and Add clicked, no Return; then chords pressed on the
// keyboard as a person does, each followed by Add: held in order, and let go
// in the order hands often do, the modifier a moment before the key.
TEST_F(ValidationStringDialog, AddTakesTheTypedStringAndChordsKeepTheirModifier) {
    Process p;
    std::string main;
    const auto dialog = openDialog(p, main);
    ASSERT_TRUE(dialog.has_value()) << p.err();
    const std::string add = windowPoint(*dialog, 430, 55);
    xdotool("type --delay 60 yes");
    xdotool("sleep 0.2 mousemove " + add + " click 1 sleep 0.4");
    const struct {
        const char* keys;
        uint32_t word;
    } chords[] = {
        {"keydown ctrl sleep 0.3 keydown k sleep 0.15 keyup k sleep 0.3 keyup ctrl", 0x0002004Bu},  // CTRL+K
        {"keydown ctrl sleep 0.3 keydown j sleep 0.15 keyup ctrl sleep 0.05 keyup j", 0x0002004Au}, // CTRL+J
        {"keydown shift sleep 0.3 keydown 0 sleep 0.15 keyup shift sleep 0.05 keyup 0",
         0x00010030u}, // SHIFT+0
    };
    std::vector<uint32_t> want;
    for (const auto& chord : chords) {
        xdotool(std::string(chord.keys) + " sleep 0.3 mousemove " + add + " click 1 sleep 0.4");
        want.push_back(chord.word);
    }

    const auto strings = closeAndMake(*dialog, main);
    ASSERT_TRUE(strings.has_value()) << "no validation data made\n" << p.err();
    ASSERT_EQ(strings->list.size(), 1u) << "Add takes the typed string";
    EXPECT_EQ(strings->list[0].text, "yes");
    std::vector<uint32_t> words;
    for (const sValidationKey& k : strings->list[0].keys)
        words.push_back(k.uiValidationKey);
    EXPECT_EQ(words, want) << "each chord with its modifier";
    quit(p, main);
}

} // namespace
