#include "app/CommandTexts.h"
#include "app/MenuIds.h"
#include "app/Velmora.h"

#include <gtest/gtest.h>

using namespace commandtexts;

namespace {

SPlayBackFrameInfo mouseFrame(int message) {
    SPlayBackFrameInfo f;
    f.vType = VALIDATION_MOUSE;
    f.mouseMessage = message;
    return f;
}

SPlayBackFrameInfo keyFrame(int32_t virtualKey, uint32_t modifiers) {
    SPlayBackFrameInfo f;
    f.vType = VALIDATION_KEY;
    f.xOrKey = virtualKey;
    f.yOrModifiers = int32_t(modifiers);
    return f;
}

} // namespace

struct HelpCase {
    int id;
    const char* text;
};

TEST(CommandTexts, HelpTextsOfMenuItems) {
    const HelpCase cases[] = {
        {1002, "Displays the About Velmora dialog box."},
        {1003, "Displays the Velmora help index."},
        {3009, "Makes an VLM file."},
        {3016, "Deletes audio from current frame."},
        {3032, "Provides options for recording and playing a sound clip."},
        {3049, "Enables the Line tool. "},
        {3050, "Enables the Round Rectangle tool. "},
        {3051, "Enables the Ellipse tool. "},
        {3052, "Enables the Rectangle tool."},
        {3068, "Selects all frames containing user action or sound."},
        {10100, "Quits the application."},
        {11030, "Copies the selected object(s) and places it on the clipboard."},
        {12020, "Enables/disables the Status Bar."},
    };
    for (const HelpCase& c : cases)
        EXPECT_EQ(helpText(c.id), QString(c.text)) << c.id;
}

TEST(CommandTexts, ItemsWithoutHelpGiveANullText) {
    // Recent-file items, the Password items and unknown ids leave the status bar alone.
    for (int id : {-2, -3, 0, 3033, 3034, 3035, 99999})
        EXPECT_TRUE(helpText(id).isNull()) << id;
}

TEST(CommandTexts, EveryFixedMenuIdOfTheMenuBarHasHelp) {
    using namespace menuid;
    const int ids[] = {HELP_ABOUT,
                       HELP_CONTENTS,
                       FILE_MAKE,
                       EDIT_APPEND_FRAME,
                       EDIT_INSERT_FRAME,
                       EDIT_DELETE_FRAME,
                       EDIT_PURGE_FRAMES,
                       EDIT_DELETE_SOUND,
                       VIEW_NAVIGATION_BAR,
                       VIEW_RECORD_SOUND_CLIP,
                       VIEW_DRAW_PALETTE,
                       VIEW_EDIT_PALETTE,
                       VIEW_COLOR_BAR,
                       VIEW_FULL_SCREEN,
                       SOUND_RECORD,
                       SOUND_STOP,
                       SOUND_PLAY,
                       SOUND_REWIND,
                       SOUND_FORWARD,
                       RECORD_START,
                       RECORD_SOUND,
                       PREFERENCES_CAPTURE,
                       PREFERENCES_AUDIO,
                       PREFERENCES_BACKGROUND,
                       OBJECTS_DRAW_PALETTE,
                       DRAW_SELECT,
                       DRAW_LINE,
                       DRAW_ROUND_RECT,
                       DRAW_ELLIPSE,
                       DRAW_RECTANGLE,
                       DRAW_POLYLINE,
                       OBJECTS_EDIT_PALETTE,
                       EDIT_HYPERLINK,
                       EDIT_VALIDATION,
                       EDIT_INSTRUCTION,
                       EDIT_TEXT_FIELD,
                       EDIT_BITMAP,
                       EDIT_SELECT_UA_FRAMES,
                       EDIT_SELECT_ALL_FRAMES,
                       EDIT_DELETE,
                       FILE_NEW,
                       FILE_OPEN,
                       FILE_SAVE_AS,
                       FILE_EXIT,
                       EDIT_UNDO,
                       EDIT_COPY,
                       EDIT_CUT,
                       EDIT_PASTE,
                       EDIT_SELECT_ALL,
                       VIEW_TOOL_BAR,
                       VIEW_STATUS_BAR};
    for (int id : ids)
        EXPECT_FALSE(helpText(id).isEmpty()) << id;
}

TEST(CommandTexts, FrameLabel) {
    EXPECT_EQ(frameLabel(2, 10), "  Frame 3 of 10  ");
    EXPECT_EQ(frameLabel(0, 1), "  Frame 1 of 1  ");
}

struct ActionCase {
    const char* name;
    SPlayBackFrameInfo frame;
    bool changesText;
    const char* text;
    ActionDisplay::Icon icon;
};

class ActionLabel : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ActionLabel, ShowsTheRecordedAction) {
    const ActionCase& c = GetParam();
    ActionDisplay d = actionDisplay(c.frame);
    EXPECT_EQ(d.changesText, c.changesText);
    if (c.changesText) {
        EXPECT_EQ(d.text, QString(c.text));
        EXPECT_EQ(d.icon, c.icon);
    }
}

constexpr uint32_t CTRL = 1u << 31, SHIFT = 1u << 30, ALT = 1u << 29;

INSTANTIATE_TEST_SUITE_P(
    Table, ActionLabel,
    ::testing::Values(
        ActionCase{"LeftPress", mouseFrame(513), true, " Left button Pressed ", ActionDisplay::LeftClick},
        ActionCase{"LeftRelease", mouseFrame(514), true, " Left button Released ", ActionDisplay::LeftClick},
        ActionCase{"RightPress", mouseFrame(516), true, " Right button Pressed ", ActionDisplay::RightClick},
        ActionCase{"RightReleaseHasNoTrailingBlank", mouseFrame(517), true, " Right button Released",
                   ActionDisplay::RightClick},
        ActionCase{"MiddlePressKeepsTheIcon", mouseFrame(519), true, " Middle button Pressed ",
                   ActionDisplay::KeepIcon},
        ActionCase{"MiddleRelease", mouseFrame(520), true, " Middle button Released ",
                   ActionDisplay::KeepIcon},
        ActionCase{"PointerMotionChangesNothing", mouseFrame(512), false, "", ActionDisplay::KeepIcon},
        ActionCase{"LetterWithControlAndShift", keyFrame(65, CTRL | SHIFT), true, "KeyBoard CTRL+SHIFT+A",
                   ActionDisplay::KeyClick},
        ActionCase{"AllThreeModifiers", keyFrame(66, CTRL | SHIFT | ALT), true, "KeyBoard CTRL+SHIFT+ALT+B",
                   ActionDisplay::KeyClick},
        ActionCase{"AltKeyIsWrittenAlt", keyFrame(18, 0), true, "KeyBoard ALT ", ActionDisplay::KeyClick},
        ActionCase{"FunctionKey", keyFrame(112, 0), true, "KeyBoard F1", ActionDisplay::KeyClick},
        ActionCase{"Return", keyFrame(13, 0), true, "KeyBoard Return", ActionDisplay::KeyClick},
        ActionCase{"KeypadDigit", keyFrame(97, 0), true, "KeyBoard KP_1", ActionDisplay::KeyClick},
        ActionCase{"CodeAbove256", keyFrame(300, 0), true, "KeyBoard  ", ActionDisplay::KeyClick},
        ActionCase{"NegativeCode", keyFrame(-1, 0), true, "KeyBoard  ", ActionDisplay::KeyClick},
        ActionCase{"CodeWithoutAnXName", keyFrame(256, 0), true, "KeyBoard  ", ActionDisplay::KeyClick},
        ActionCase{"NoUserAction",
                   [] {
                       SPlayBackFrameInfo f;
                       f.vType = VALIDATION_NONE;
                       return f;
                   }(),
                   true, " No User Action ", ActionDisplay::NoUserAction},
        ActionCase{"OtherKindChangesNothing",
                   [] {
                       SPlayBackFrameInfo f;
                       f.vType = 7;
                       return f;
                   }(),
                   false, "", ActionDisplay::KeepIcon}),
    [](const ::testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

TEST(CommandTexts, KeyNamesOfTheReverseTable) {
    EXPECT_EQ(keyName(144), "Pointer_EnableKeys");
    EXPECT_EQ(keyName(46), "Delete");
    EXPECT_EQ(keyName(49), "exclam");
    EXPECT_EQ(keyName(123), "F12");
}

TEST(ReverseKeyTable, VirtualKeysToKeySymbols) {
    const std::pair<unsigned long, unsigned long> cases[] = {
        {8, 0xFF08},   {9, 0xFE20},   {13, 0xFF0D},  {18, 0xFFE7},  {27, 0xFF1B},  {32, 0x20},
        {46, 0xFFFF},  {48, 0x29},    {57, 0x28},    {65, 65},      {90, 90},      {96, 0xFFB0},
        {105, 0xFFB9}, {106, 0xFFAA}, {111, 0xFFAF}, {112, 0xFFBE}, {123, 0xFFC9}, {126, 0xC0},
        {144, 0xFEF9}, {222, 0x22},   {300, 300},
    };
    for (auto [vk, sym] : cases)
        EXPECT_EQ(Velmora::asciiToKeySym(vk), sym) << vk;
}
