#pragma once

#include <QString>

#include <cstdint>

// Validation key words: a Windows virtual-key code in bits 0 to 15 and a modifier (0 none, 1 Shift,
// 2 Control, 4 Alt, 8 a navigation key taken on release with none held) in bits 16 to 31. Key codes
// and modifier states given to these functions use the old toolkit numbering: special keys from 4096,
// Shift 8, Control 16, Alt 32.
namespace WindowsKeyCodes {

// The virtual-key code of a toolkit key or character code; 0 for digits, letters and unlisted codes.
uint32_t getWindowsKeyValue(uint32_t key);
// The display name of a virtual-key code; "None" for unlisted codes.
QString fromAscii(uint32_t code);
// Digits and capital letters, shown by their own character.
bool withinLimits(uint32_t code);
// Printable characters that are neither digits nor capital letters.
bool isUpperChar(uint32_t code);
uint32_t setDWORD(uint32_t modifier, uint32_t key);
uint32_t getKey(uint32_t word);
// The toolkit modifier state of a key word; modifier 8 counts as none.
uint32_t getModifier(uint32_t word);
// "SHIFT+", "CTRL+", "ALT+" for a single toolkit modifier state, else empty.
QString setModifier(uint32_t state);
uint32_t getWindowsModifier(uint32_t state);
uint32_t getLinuxModifier(uint32_t modifier);

// A stored key word as the keys lists show it, e.g. "CTRL+A", "Home", "SHIFT+;".
QString keyWordText(uint32_t word);

} // namespace WindowsKeyCodes
