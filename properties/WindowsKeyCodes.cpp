#include "properties/WindowsKeyCodes.h"

namespace WindowsKeyCodes {

namespace {

constexpr uint32_t FIRST_FUNCTION_KEY = 4144; // F1
constexpr uint32_t LAST_FUNCTION_KEY = 4155;  // F12
constexpr uint32_t VK_F1 = 112;
constexpr uint32_t VK_F12 = 123;

struct CodePair {
    uint32_t from;
    uint32_t to;
};

// Shifted characters give the code of the US key that carries them.
constexpr CodePair CHARACTER_KEYS[] = {
    {32, 32},  {33, 49},  {34, 222},  {35, 51},   {36, 52},   {37, 53},   {38, 55},  {39, 222}, {40, 57},
    {41, 48},  {42, 56},  {43, 187},  {44, 188},  {45, 189},  {46, 190},  {47, 191}, {58, 186}, {59, 186},
    {60, 188}, {61, 187}, {62, 190},  {63, 191},  {64, 50},   {91, 219},  {92, 220}, {93, 221}, {94, 54},
    {95, 189}, {96, 192}, {123, 219}, {124, 220}, {125, 221}, {126, 192},
};

constexpr CodePair TOOLKIT_KEYS[] = {
    {4096, 27}, {4097, 9},  {4098, 0},  {4099, 8},   {4100, 13},  {4101, 0},  {4102, 45},
    {4103, 46}, {4104, 19}, {4105, 0},  {4106, 0},   {4112, 36},  {4113, 35}, {4114, 37},
    {4115, 38}, {4116, 39}, {4117, 40}, {4118, 33},  {4119, 34},  {4128, 0},  {4129, 0},
    {4130, 0},  {4131, 0},  {4132, 20}, {4133, 144}, {4134, 145},
};

struct KeyName {
    uint32_t code;
    const char* name;
};

constexpr KeyName KEY_NAMES[] = {
    {8, "Backspace"},  {9, "Tab"},       {13, "Enter"},       {20, "CapsLock"},  {27, "Esc"},
    {32, "Space"},     {33, "PageUp"},   {34, "PageDown"},    {35, "End"},       {36, "Home"},
    {37, "LeftArrow"}, {38, "UpArrow"},  {39, "RightArrow"},  {40, "DownArrow"}, {45, "Insert"},
    {46, "Delete"},    {144, "NumLock"}, {145, "ScrollLock"}, {186, ";"},        {187, "="},
    {188, ","},        {189, "-"},       {190, "."},          {191, "/"},        {192, "`"},
    {219, "["},        {220, "\\"},      {221, "]"},          {222, "'"},
};

template <size_t N> uint32_t lookup(const CodePair (&table)[N], uint32_t from) {
    for (const CodePair& p : table)
        if (p.from == from)
            return p.to;
    return 0;
}

} // namespace

uint32_t getWindowsKeyValue(uint32_t key) {
    if (key >= FIRST_FUNCTION_KEY && key <= LAST_FUNCTION_KEY)
        return key - FIRST_FUNCTION_KEY + VK_F1;
    return key >= 4096 ? lookup(TOOLKIT_KEYS, key) : lookup(CHARACTER_KEYS, key);
}

QString fromAscii(uint32_t code) {
    if (code >= '0' && code <= '9')
        return QString(QChar(char16_t(code)));
    if (code >= VK_F1 && code <= VK_F12)
        return QStringLiteral("F%1").arg(code - VK_F1 + 1);
    for (const KeyName& k : KEY_NAMES)
        if (k.code == code)
            return QString::fromLatin1(k.name);
    return QStringLiteral("None");
}

bool withinLimits(uint32_t code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
}

bool isUpperChar(uint32_t code) {
    return (code >= 33 && code <= 47) || (code >= 58 && code <= 64) || (code >= 91 && code <= 126);
}

uint32_t setDWORD(uint32_t modifier, uint32_t key) {
    return (modifier << 16) | key;
}

uint32_t getKey(uint32_t word) {
    return word & 0xFFFFu;
}

uint32_t getModifier(uint32_t word) {
    const uint32_t modifier = word >> 16;
    return modifier == 8 ? 0 : modifier << 3;
}

QString setModifier(uint32_t state) {
    switch (state) {
    case 8:
        return QStringLiteral("SHIFT+");
    case 16:
        return QStringLiteral("CTRL+");
    case 32:
        return QStringLiteral("ALT+");
    default:
        return QString();
    }
}

uint32_t getWindowsModifier(uint32_t state) {
    return state >> 3;
}

uint32_t getLinuxModifier(uint32_t modifier) {
    return modifier << 3;
}

QString keyWordText(uint32_t word) {
    const uint32_t key = getKey(word);
    const QString name = withinLimits(key) ? QString(QChar(char16_t(key))) : fromAscii(key);
    return setModifier(getModifier(word)) + name;
}

} // namespace WindowsKeyCodes
