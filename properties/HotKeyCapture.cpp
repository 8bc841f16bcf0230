#include "properties/HotKeyCapture.h"

#include "properties/WindowsKeyCodes.h"

#include <QKeyEvent>

using namespace WindowsKeyCodes;

namespace HotKeyCapture {

namespace {

constexpr int QT_SPECIAL = 0x01000000;
constexpr uint32_t LEGACY_SPECIAL = 4096;
constexpr uint32_t KEY_ESCAPE = 4096;
constexpr uint32_t KEY_RETURN = 4100;
constexpr uint32_t KEY_ENTER = 4101;
constexpr uint32_t KEY_PAUSE = 4104;
constexpr uint32_t KEY_PRINT = 4105;
constexpr uint32_t KEY_SHIFT = 4128;
constexpr uint32_t KEY_CONTROL = 4129;
constexpr uint32_t KEY_ALT = 4131;

// The key's Windows code: digits and capitals are their own.
uint32_t windowsCode(uint32_t key) {
    return withinLimits(key) ? key : getWindowsKeyValue(key);
}

// The modifier a key is itself.
Qt::KeyboardModifier ownFlag(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

} // namespace

uint32_t legacyKey(int qtKey) {
    if (qtKey >= QT_SPECIAL)
        return uint32_t(qtKey - QT_SPECIAL) + LEGACY_SPECIAL;
    return qtKey < 0 ? 0 : uint32_t(qtKey);
}

uint32_t legacyState(int qtKey, Qt::KeyboardModifiers modifiers, bool release) {
    modifiers &= ~Qt::KeypadModifier;
    if (const Qt::KeyboardModifier own = ownFlag(qtKey); own != Qt::NoModifier) {
        if (release)
            modifiers |= own;
        else
            modifiers &= ~own;
    }
    uint32_t state = 0;
    const struct {
        Qt::KeyboardModifier qt;
        uint32_t legacy;
    } flags[] = {{Qt::ShiftModifier, SHIFT}, {Qt::ControlModifier, CONTROL}, {Qt::AltModifier, ALT}};
    for (const auto& f : flags)
        if (modifiers & f.qt) {
            state |= f.legacy;
            modifiers &= ~f.qt;
        }
    if (modifiers != Qt::NoModifier)
        state |= OTHER;
    return state;
}

Stroke fromEvent(const QKeyEvent& event) {
    const bool release = event.type() == QEvent::KeyRelease;
    return {legacyKey(event.key()), legacyState(event.key(), event.modifiers(), release), release};
}

Result press(uint32_t key, uint32_t state) {
    Result r;
    if (state == SHIFT || state == CONTROL || state == ALT) {
        const uint32_t k = windowsCode(key);
        QString name = withinLimits(key) ? QString(QChar(char16_t(key))) : fromAscii(k);
        if (key == KEY_ESCAPE)
            name = QStringLiteral("None");
        else if (key == KEY_ENTER)
            name = QStringLiteral("Enter");
        r.label = name == QLatin1String("None") ? name : setModifier(state) + name;
        r.word = setDWORD(getWindowsModifier(state), k);
    } else if (state != 0) {
        r.label = QStringLiteral("None");
    }
    return r;
}

Result release(uint32_t key, uint32_t state) {
    Result r;
    if (state != 0)
        return r;
    const uint32_t k = windowsCode(key);
    switch (key) {
    case KEY_RETURN:
    case KEY_ENTER:
        r.label = QStringLiteral("Enter");
        break;
    case KEY_PAUSE:
    case KEY_PRINT:
        r.label = QStringLiteral("None");
        break;
    case KEY_SHIFT:
        r.label = setModifier(SHIFT);
        break;
    case KEY_CONTROL:
        r.label = setModifier(CONTROL);
        break;
    case KEY_ALT:
        r.label = setModifier(ALT);
        break;
    default:
        r.label = withinLimits(key) ? QString(QChar(char16_t(key)))
                  : k == 0          ? QStringLiteral("None")
                                    : fromAscii(k);
    }
    const bool navigation = (k >= 33 && k <= 40) || k == 45 || k == 144;
    r.word = setDWORD(navigation ? 8 : 0, k);
    return r;
}

Result capture(const Stroke& stroke) {
    return stroke.release ? release(stroke.key, stroke.state) : press(stroke.key, stroke.state);
}

} // namespace HotKeyCapture
