// Key capture of the validation string dialog, apart from the dialog: Qt 6
// key events turned into the old toolkit's numbers that the Windows key codes
// work on, and what a press or a release then shows and stores.
//
// Qt 6 numbers its special keys from 0x01000000 and its modifiers from
// 0x02000000; the key codes work on special keys from 4096 and the states
// Shift 8, Control 16, Alt 32. Qt 6 also reports, on the press and release
// of Shift, Control and Alt themselves, the state after the event; the
// capture expects the state before it, as X gives it.
#pragma once

#include <QString>
#include <Qt>

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace HotKeyCapture {

constexpr uint32_t SHIFT = 8;
constexpr uint32_t CONTROL = 16;
constexpr uint32_t ALT = 32;
// Meta, or any other flag: a state that captures nothing.
constexpr uint32_t OTHER = 64;

// A key stroke in the old numbers.
struct Stroke {
    uint32_t key = 0;
    uint32_t state = 0;
    bool release = false;
};

// A Qt 6 key code: special keys 0x01000000 + n become 4096 + n; printable
// keys keep their code (letters arrive as capitals).
uint32_t legacyKey(int qtKey);
// The state before the event: the keypad flag is dropped, Shift, Control and
// Alt become 8, 16 and 32, anything else adds OTHER; the press of Shift,
// Control or Alt is reported without its own flag and its release with it.
uint32_t legacyState(int qtKey, Qt::KeyboardModifiers modifiers, bool release);
Stroke fromEvent(const QKeyEvent& event);

// What a stroke does to the key label and the key word; an empty label
// leaves the label, no word leaves the word.
struct Result {
    QString label;
    std::optional<uint32_t> word;
    bool captured() const { return !label.isEmpty() || word.has_value(); }
};
// A press takes keys held with exactly one modifier; with two or more, or
// another flag, the label shows "None"; with none it does nothing.
Result press(uint32_t key, uint32_t state);
// A release takes keys released with no modifier held.
Result release(uint32_t key, uint32_t state);
Result capture(const Stroke& stroke);

} // namespace HotKeyCapture
