// The Qt 6 key adapter and the capture rules on constructed key events,
// without a dialog: the same strokes the dialog test sends.
#include "HotKeyStrokes.h"

#include "properties/HotKeyCapture.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

using namespace hotkeytest;

namespace {

class StrokeCapture : public ::testing::TestWithParam<StrokeRow> {};

TEST_P(StrokeCapture, LabelAndWordAfterTheStrokes) {
    const StrokeRow& row = GetParam();
    QString label = QStringLiteral("None");
    uint32_t word = 0;
    for (const Event& e : row.events) {
        const QKeyEvent event(e.press ? QEvent::KeyPress : QEvent::KeyRelease, e.key, e.modifiers);
        const HotKeyCapture::Result r = HotKeyCapture::capture(HotKeyCapture::fromEvent(event));
        if (!r.label.isEmpty())
            label = r.label;
        if (r.word)
            word = *r.word;
    }
    EXPECT_EQ(label.toStdString(), row.label);
    if (row.word) {
        EXPECT_EQ(word, *row.word);
    }
}

INSTANTIATE_TEST_SUITE_P(Strokes, StrokeCapture, ::testing::ValuesIn(strokeRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HotKeyAdapter, KeyCodesInTheOldNumbering) {
    const struct {
        int qt;
        uint32_t legacy;
    } rows[] = {
        {Qt::Key_Escape, 4096}, {Qt::Key_Enter, 4101},    {Qt::Key_Home, 4112}, {Qt::Key_Shift, 4128},
        {Qt::Key_F1, 4144},     {Qt::Key_F12, 4155},      {Qt::Key_A, 65},      {Qt::Key_0, 48},
        {Qt::Key_Colon, 58},    {Qt::Key_ParenRight, 41},
    };
    for (const auto& r : rows)
        EXPECT_EQ(HotKeyCapture::legacyKey(r.qt), r.legacy) << r.qt;
}

TEST(HotKeyAdapter, StatesBeforeTheEvent) {
    using HotKeyCapture::ALT;
    using HotKeyCapture::CONTROL;
    using HotKeyCapture::legacyState;
    using HotKeyCapture::OTHER;
    constexpr uint32_t SHIFT = HotKeyCapture::SHIFT;
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        bool release;
        uint32_t state;
    } rows[] = {
        {"ctrl press carries its flag in Qt 6", Qt::Key_Control, Qt::ControlModifier, false, 0},
        {"ctrl release lost its flag in Qt 6", Qt::Key_Control, Qt::NoModifier, true, CONTROL},
        {"shift press as X gives it", Qt::Key_Shift, Qt::NoModifier, false, 0},
        {"shift release as X gives it", Qt::Key_Shift, Qt::ShiftModifier, true, SHIFT},
        {"alt press with ctrl held", Qt::Key_Alt, Qt::AltModifier | Qt::ControlModifier, false, CONTROL},
        {"keypad flag dropped", Qt::Key_Home, Qt::KeypadModifier, false, 0},
        {"shift and ctrl", Qt::Key_A, Qt::ShiftModifier | Qt::ControlModifier, false, SHIFT | CONTROL},
        {"alt", Qt::Key_A, Qt::AltModifier, false, ALT},
        {"meta is other", Qt::Key_A, Qt::MetaModifier, false, OTHER},
        {"group switch is other", Qt::Key_A, Qt::GroupSwitchModifier | Qt::ShiftModifier, false,
         SHIFT | OTHER},
    };
    for (const auto& r : rows)
        EXPECT_EQ(legacyState(r.key, r.mods, r.release), r.state) << r.name;
}

} // namespace
