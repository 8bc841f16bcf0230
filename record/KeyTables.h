// Key code translations used by the recording and by the display of recorded keys.
#pragma once

#include <cstdint>

namespace keys {

// The X server reports evdev key codes; the recording's tables use the key
// codes of the classic PC keyboard. Codes 8..96 agree; the cursor block,
// right-hand modifiers and a few others differ. Unknown codes give 0.
uint32_t pcKeyCodeFromEvdev(uint32_t evdevCode);

// PC key code to Windows virtual-key code; codes not in the table pass through.
unsigned long keySymToAscii(unsigned long pcKeyCode);

// Windows virtual-key code to X key symbol, for showing a recorded key.
unsigned long asciiToKeySym(unsigned long virtualKey);

} // namespace keys
