#include "properties/WindowsKeyCodes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace WindowsKeyCodes;

namespace {

struct Code {
    uint32_t from;
    uint32_t to;
};

TEST(WindowsKeyCodes, CharactersGiveTheCodeOfTheKeyThatCarriesThem) {
    for (const Code& c : std::vector<Code>{
             {32, 32},  {33, 49},   {34, 222},  {35, 51},   {36, 52},   {37, 53},  {38, 55},
             {39, 222}, {40, 57},   {41, 48},   {42, 56},   {43, 187},  {44, 188}, {45, 189},
             {46, 190}, {47, 191},  {58, 186},  {59, 186},  {60, 188},  {61, 187}, {62, 190},
             {63, 191}, {64, 50},   {91, 219},  {92, 220},  {93, 221},  {94, 54},  {95, 189},
             {96, 192}, {123, 219}, {124, 220}, {125, 221}, {126, 192},
         }) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(getWindowsKeyValue(c.from), c.to);
    }
}

TEST(WindowsKeyCodes, ToolkitKeys) {
    std::vector<Code> rows{
        {4096, 27}, {4097, 9},  {4098, 0},  {4099, 8},   {4100, 13},  {4101, 0},  {4102, 45},
        {4103, 46}, {4104, 19}, {4105, 0},  {4106, 0},   {4112, 36},  {4113, 35}, {4114, 37},
        {4115, 38}, {4116, 39}, {4117, 40}, {4118, 33},  {4119, 34},  {4128, 0},  {4129, 0},
        {4130, 0},  {4131, 0},  {4132, 20}, {4133, 144}, {4134, 145},
    };
    for (uint32_t f = 0; f < 12; ++f)
        rows.push_back({4144 + f, 112 + f});
    for (const Code& c : rows) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(getWindowsKeyValue(c.from), c.to);
    }
}

TEST(WindowsKeyCodes, UnlistedInputsGiveZero) {
    std::vector<uint32_t> inputs{0, 31, 127, 255, 4107, 4111, 4120, 4135, 4143, 4156, 0x01000000};
    for (uint32_t c = 'a'; c <= 'z'; ++c)
        inputs.push_back(c);
    for (uint32_t c = '0'; c <= '9'; ++c)
        inputs.push_back(c);
    for (uint32_t c = 'A'; c <= 'Z'; ++c)
        inputs.push_back(c);
    for (uint32_t code : inputs) {
        SCOPED_TRACE(code);
        EXPECT_EQ(getWindowsKeyValue(code), 0u);
    }
}

TEST(WindowsKeyCodes, DisplayNames) {
    struct Name {
        uint32_t code;
        const char* name;
    };
    std::vector<Name> rows{
        {8, "Backspace"},  {9, "Tab"},       {13, "Enter"},       {20, "CapsLock"},  {27, "Esc"},
        {32, "Space"},     {33, "PageUp"},   {34, "PageDown"},    {35, "End"},       {36, "Home"},
        {37, "LeftArrow"}, {38, "UpArrow"},  {39, "RightArrow"},  {40, "DownArrow"}, {45, "Insert"},
        {46, "Delete"},    {144, "NumLock"}, {145, "ScrollLock"}, {186, ";"},        {187, "="},
        {188, ","},        {189, "-"},       {190, "."},          {191, "/"},        {192, "`"},
        {219, "["},        {220, "\\"},      {221, "]"},          {222, "'"},        {0, "None"},
        {19, "None"},      {65, "None"},     {90, "None"},        {111, "None"},     {124, "None"},
        {223, "None"},     {0xFFFF, "None"},
    };
    const char* digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (uint32_t d = 0; d < 10; ++d)
        rows.push_back({48 + d, digits[d]});
    const char* functions[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};
    for (uint32_t f = 0; f < 12; ++f)
        rows.push_back({112 + f, functions[f]});
    for (const Name& n : rows) {
        SCOPED_TRACE(n.code);
        EXPECT_EQ(fromAscii(n.code), QString::fromLatin1(n.name));
    }
}

TEST(WindowsKeyCodes, EveryProducedCodeButZeroAndPauseHasAName) {
    for (uint32_t key = 0; key < 4200; ++key) {
        const uint32_t vk = getWindowsKeyValue(key);
        if (vk == 0 || vk == 19)
            continue;
        SCOPED_TRACE(key);
        EXPECT_NE(fromAscii(vk), QStringLiteral("None"));
    }
}

TEST(WindowsKeyCodes, CharacterClasses) {
    for (uint32_t c = 0; c < 300; ++c) {
        SCOPED_TRACE(c);
        const bool digitOrCapital = (c >= 48 && c <= 57) || (c >= 65 && c <= 90);
        EXPECT_EQ(withinLimits(c), digitOrCapital);
        EXPECT_EQ(isUpperChar(c), c >= 33 && c <= 126 && !digitOrCapital);
    }
}

TEST(WindowsKeyCodes, KeyWordsSplitAndShow) {
    struct Word {
        uint32_t modifier;
        uint32_t key;
        uint32_t state;
        const char* text;
    };
    for (const Word& w : std::vector<Word>{{2, 65, 16, "CTRL+A"},
                                           {8, 36, 0, "Home"},
                                           {1, 186, 8, "SHIFT+;"},
                                           {4, 112, 32, "ALT+F1"},
                                           {0, 27, 0, "Esc"},
                                           {1, 48, 8, "SHIFT+0"},
                                           {0, 0, 0, "None"}}) {
        SCOPED_TRACE(w.text);
        const uint32_t word = setDWORD(w.modifier, w.key);
        EXPECT_EQ(word, (w.modifier << 16) | w.key);
        EXPECT_EQ(getKey(word), w.key);
        EXPECT_EQ(getModifier(word), w.state);
        EXPECT_EQ(keyWordText(word), QString::fromLatin1(w.text));
    }
}

TEST(WindowsKeyCodes, ModifierStates) {
    struct State {
        uint32_t state;
        const char* text;
    };
    for (const State& s : std::vector<State>{
             {0, ""}, {8, "SHIFT+"}, {16, "CTRL+"}, {32, "ALT+"}, {24, ""}, {40, ""}, {64, ""}}) {
        SCOPED_TRACE(s.state);
        EXPECT_EQ(setModifier(s.state), QString::fromLatin1(s.text));
    }
    for (uint32_t m : {0u, 1u, 2u, 4u}) {
        EXPECT_EQ(getWindowsModifier(getLinuxModifier(m)), m);
        EXPECT_EQ(getLinuxModifier(m), m << 3);
    }
    EXPECT_EQ(getWindowsModifier(16), 2u);
}

} // namespace
