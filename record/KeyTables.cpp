#include "record/KeyTables.h"

#include <array>
#include <utility>

namespace keys {

uint32_t pcKeyCodeFromEvdev(uint32_t code) {
    if (code >= 8 && code <= 96)
        return code;
    switch (code) {
    case 104:
        return 108; // KP_Enter
    case 105:
        return 109; // Control_R
    case 106:
        return 112; // KP_Divide
    case 107:
        return 111; // Print
    case 108:
        return 113; // Alt_R
    case 110:
        return 97; // Home
    case 111:
        return 98; // Up
    case 112:
        return 99; // Prior
    case 113:
        return 100; // Left
    case 114:
        return 102; // Right
    case 115:
        return 103; // End
    case 116:
        return 104; // Down
    case 117:
        return 105; // Next
    case 118:
        return 106; // Insert
    case 119:
        return 107; // Delete
    case 127:
        return 110; // Pause
    case 133:
        return 115; // Super_L
    case 134:
        return 116; // Super_R
    case 135:
        return 117; // Menu
    default:
        return 0;
    }
}

namespace {
constexpr std::pair<uint16_t, uint16_t> kToVirtualKey[] = {
    {9, 27},   {10, 33},  {11, 64},  {12, 35},   {13, 36},  {14, 37},  {15, 94},  {16, 38},  {17, 42},
    {18, 40},  {19, 41},  {20, 189}, {21, 187},  {22, 8},   {23, 9},   {24, 81},  {25, 87},  {26, 69},
    {27, 82},  {28, 84},  {29, 89},  {30, 85},   {31, 73},  {32, 79},  {33, 80},  {34, 219}, {35, 221},
    {36, 13},  {38, 65},  {39, 83},  {40, 68},   {41, 70},  {42, 71},  {43, 72},  {44, 74},  {45, 75},
    {46, 76},  {47, 186}, {48, 126}, {49, 222},  {51, 220}, {52, 90},  {53, 88},  {54, 67},  {55, 86},
    {56, 66},  {57, 78},  {58, 77},  {59, 188},  {60, 190}, {61, 191}, {63, 106}, {64, 18},  {65, 32},
    {66, 20},  {77, 144}, {78, 145}, {79, 103},  {80, 104}, {81, 105}, {82, 109}, {83, 100}, {84, 101},
    {85, 102}, {86, 107}, {87, 97},  {88, 98},   {89, 99},  {90, 96},  {91, 110}, {95, 122}, {96, 123},
    {97, 36},  {98, 38},  {99, 33},  {100, 37},  {102, 39}, {103, 35}, {104, 40}, {105, 34}, {106, 45},
    {107, 46}, {108, 13}, {110, 19}, {112, 111}, {113, 18},
};

constexpr std::pair<uint16_t, uint32_t> kToKeySym[] = {
    {8, 0xFF08},   {9, 0xFE20},   {13, 0xFF0D},  {18, 0xFFE7},  {19, 0xFF6B},  {20, 0xFFE5}, {27, 0xFF1B},
    {32, 0x20},    {33, 0xFF55},  {34, 0xFF56},  {35, 0xFF57},  {36, 0xFF50},  {37, 0xFF51}, {38, 0xFF52},
    {39, 0xFF53},  {40, 0xFF54},  {45, 0xFF63},  {46, 0xFFFF},  {48, 0x29},    {49, 0x21},   {50, 0x40},
    {51, 0x23},    {52, 0x24},    {53, 0x25},    {54, 0x5E},    {55, 0x26},    {56, 0x2A},   {57, 0x28},
    {106, 0xFFAA}, {107, 0xFFAB}, {109, 0xFFAD}, {110, 0xFFAE}, {111, 0xFFAF}, {126, 0xC0},  {144, 0xFEF9},
    {145, 0xFF14}, {186, 0x3A},   {187, 0x2B},   {188, 0x3C},   {189, 0x5F},   {190, 0x3E},  {219, 0x7B},
    {220, 0x7C},   {221, 0x7D},   {222, 0x22},
};
} // namespace

unsigned long keySymToAscii(unsigned long code) {
    if (code >= 67 && code <= 76)
        return code + 45;
    for (auto& [from, to] : kToVirtualKey)
        if (from == code)
            return to;
    return code;
}

unsigned long asciiToKeySym(unsigned long vk) {
    if (vk >= 112 && vk <= 123)
        return vk + 65358;
    if (vk >= 96 && vk <= 105)
        return 0xFFB0 + (vk - 96);
    for (auto& [from, to] : kToKeySym)
        if (from == vk)
            return to;
    return vk;
}

} // namespace keys
