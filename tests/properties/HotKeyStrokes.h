// Key strokes of the validation string dialog, each event made with the
// state the X server sends: the state before the event, so a modifier key's
// press lacks its own flag and its release has it. Qt 6 reports such events
// with the state after them (QKeyEvent::modifiers() flips the key's own
// flag), which the adapter turns back. With what the dialog then shows and
// stores; the adapter test and the dialog test run the same rows.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <Qt>

#include <cstdint>
#include <optional>
#include <vector>

namespace hotkeytest {

struct Event {
    bool press;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

struct StrokeRow {
    const char* name;
    std::vector<Event> events;
    const char* label;            // the key label afterwards
    std::optional<uint32_t> word; // the key word afterwards, when checked
    bool addTaken;                // Add then lists the key
};

constexpr Qt::KeyboardModifiers NO = Qt::NoModifier;
constexpr Qt::KeyboardModifiers SHIFT = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers CTRL = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers META = Qt::MetaModifier;
constexpr Qt::KeyboardModifiers KEYPAD = Qt::KeypadModifier;

inline Event down(Qt::Key k, Qt::KeyboardModifiers m) {
    return {true, k, m};
}
inline Event up(Qt::Key k, Qt::KeyboardModifiers m) {
    return {false, k, m};
}

// Sends the events, each to the widget that has the focus then (or `fallback`).
inline void send(const std::vector<Event>& events, QWidget* fallback = nullptr) {
    for (const Event& e : events) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
        if (to)
            QTest::simulateEvent(to, e.press, e.key, e.modifiers, QString(), false);
    }
}

// Ctrl held over a letter.
inline void ctrlWith(Qt::Key letter) {
    send({down(Qt::Key_Control, NO), down(letter, CTRL), up(letter, CTRL), up(Qt::Key_Control, CTRL)});
}

inline const std::vector<StrokeRow>& strokeRows() {
    static const std::vector<StrokeRow> rows{
        {"CtrlA", {down(Qt::Key_Control, NO), down(Qt::Key_A, CTRL)}, "CTRL+A", 0x00020041, true},
        {"ShiftParenRight",
         {down(Qt::Key_Shift, NO), down(Qt::Key_ParenRight, SHIFT), up(Qt::Key_ParenRight, SHIFT),
          up(Qt::Key_Shift, SHIFT)},
         "SHIFT+0",
         0x00010030,
         true},
        {"ShiftColon",
         {down(Qt::Key_Shift, NO), down(Qt::Key_Colon, SHIFT), up(Qt::Key_Colon, SHIFT),
          up(Qt::Key_Shift, SHIFT)},
         "SHIFT+;",
         0x000100BA,
         true},
        {"HomeReleased", {down(Qt::Key_Home, NO), up(Qt::Key_Home, NO)}, "Home", 0x00080024, true},
        {"CtrlHome",
         {down(Qt::Key_Control, NO), down(Qt::Key_Home, CTRL), up(Qt::Key_Home, CTRL),
          up(Qt::Key_Control, CTRL)},
         "CTRL+Home",
         0x00020024,
         true},
        // The word is still set, but the label refuses the key.
        {"EscapeWithModifier",
         {down(Qt::Key_Control, NO), down(Qt::Key_Escape, CTRL), up(Qt::Key_Escape, CTRL),
          up(Qt::Key_Control, CTRL)},
         "None",
         0x0002001B,
         false},
        {"EscapeReleased", {down(Qt::Key_Escape, NO), up(Qt::Key_Escape, NO)}, "Esc", 0x0000001B, true},
        {"KeypadEnterReleased", {down(Qt::Key_Enter, KEYPAD), up(Qt::Key_Enter, KEYPAD)}, "Enter", 0, true},
        {"Pause", {down(Qt::Key_Pause, NO), up(Qt::Key_Pause, NO)}, "None", std::nullopt, false},
        {"ShiftWithCtrl",
         {down(Qt::Key_Control, NO), down(Qt::Key_Shift, CTRL), down(Qt::Key_A, CTRL | SHIFT),
          up(Qt::Key_A, CTRL | SHIFT), up(Qt::Key_Shift, CTRL | SHIFT), up(Qt::Key_Control, CTRL)},
         "None",
         std::nullopt,
         false},
        {"MetaA",
         {down(Qt::Key_Meta, NO), down(Qt::Key_A, META), up(Qt::Key_A, META), up(Qt::Key_Meta, META)},
         "None",
         std::nullopt,
         false},
        {"LetterPressedAlone", {down(Qt::Key_A, NO)}, "None", 0, false},
        {"LetterReleased", {down(Qt::Key_A, NO), up(Qt::Key_A, NO)}, "A", 0x00000041, true},
        // Without the state before the event, releasing Ctrl would leave "CTRL+" and word 0.
        {"CtrlReleasedAfterA",
         {down(Qt::Key_Control, NO), down(Qt::Key_A, CTRL), up(Qt::Key_A, CTRL), up(Qt::Key_Control, CTRL)},
         "CTRL+A",
         0x00020041,
         true},
    };
    return rows;
}

} // namespace hotkeytest
