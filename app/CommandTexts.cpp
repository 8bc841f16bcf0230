#include "app/CommandTexts.h"

#include "record/KeyTables.h"

#include <X11/Xlib.h>

namespace commandtexts {

namespace {

struct HelpEntry {
    int id;
    const char* text;
};

const HelpEntry kHelp[] = {
    {1002, "Displays the About Velmora dialog box."},
    {1003, "Displays the Velmora help index."},
    {3009, "Makes an VLM file."},
    {3012, "Adds a blank frame to the end of the row of frames."},
    {3013, "Adds a blank frame to the left of the currently selected frame."},
    {3014, "Marks the current frame as deleted."},
    {3015, "Permanently removes all deleted frames."},
    {3016, "Deletes audio from current frame."},
    {3019, "Enables/disables the Navigation Bar."},
    {3020, "Enables/disables the Record Sound Clip window."},
    {3021, "Enables/disables the Draw Palette."},
    {3022, "Enables/disables the Edit Palette."},
    {3023, "Enables/disables the Color Bar."},
    {3024, "Enables/disables the Full Screen view."},
    {3026, "Records sound from an external device."},
    {3027, "Stops recording sound."},
    {3028, "Plays recorded sound clip."},
    {3029, "Returns to the beginning of the sound clip."},
    {3030, "Jumps to the end of the sound clip."},
    {3031, "Starts recording a live session of computer desktop activity."},
    {3032, "Provides options for recording and playing a sound clip."},
    {3038, "Allows you to configure capture settings."},
    {3040, "Allows you to configure audio settings."},
    {3041, "Allows you to configure background sound settings."},
    {3046, "Provides access to the draw objects."},
    {3047, "Enables the Select tool."},
    {3049, "Enables the Line tool. "},
    {3050, "Enables the Round Rectangle tool. "},
    {3051, "Enables the Ellipse tool. "},
    {3052, "Enables the Rectangle tool."},
    {3057, "Enables the Polyline tool."},
    {3060, "Provides access to the edit objects."},
    {3062, "Enables the Hyperlink tool."},
    {3064, "Enables the Validation Field tool."},
    {3065, "Enables the Instruction Box tool."},
    {3066, "Enables the Text Field tool."},
    {3067, "Enables the Bitmap tool."},
    {3068, "Selects all frames containing user action or sound."},
    {3069, "Selects all frames."},
    {3070, "Deletes the selected object(s)."},
    {10020, "Creates a new file."},
    {10030, "Opens an existing file."},
    {10060, "Saves the file under a new name."},
    {10100, "Quits the application."},
    {11010, "Undoes the previous action."},
    {11030, "Copies the selected object(s) and places it on the clipboard."},
    {11040, "Cuts the selected object(s) and places it on the clipboard."},
    {11050, "Pastes the Cut/Copied object(s)."},
    {11060, "Selects all objects on the current frame."},
    {12010, "Enables/disables the Tool Bar."},
    {12020, "Enables/disables the Status Bar."},
};

// Modifier bits of a recorded key's modifier word.
constexpr uint32_t CONTROL_BIT = 1u << 31;
constexpr uint32_t SHIFT_BIT = 1u << 30;
constexpr uint32_t ALT_BIT = 1u << 29;

} // namespace

QString helpText(int id) {
    for (const HelpEntry& e : kHelp)
        if (e.id == id)
            return QString::fromLatin1(e.text);
    return QString();
}

QString frameLabel(int index, uint32_t frameCount) {
    return QStringLiteral("  Frame %1 of %2  ").arg(index + 1).arg(frameCount);
}

QString keyName(int32_t virtualKey) {
    if (virtualKey < 0 || virtualKey > 256)
        return QStringLiteral(" ");
    const char* name = XKeysymToString(KeySym(keys::asciiToKeySym(unsigned(virtualKey))));
    if (!name)
        return QStringLiteral(" ");
    QString text = QString::fromLatin1(name);
    if (text.startsWith("Meta"))
        return QStringLiteral("ALT ");
    return text;
}

ActionDisplay actionDisplay(const SPlayBackFrameInfo& info) {
    ActionDisplay d;
    auto set = [&d](const char* text, ActionDisplay::Icon icon) {
        d.changesText = true;
        d.text = QString::fromLatin1(text);
        d.icon = icon;
    };
    switch (info.vType) {
    case VALIDATION_MOUSE:
        switch (info.mouseMessage) {
        case 513:
            set(" Left button Pressed ", ActionDisplay::LeftClick);
            break;
        case 514:
            set(" Left button Released ", ActionDisplay::LeftClick);
            break;
        case 516:
            set(" Right button Pressed ", ActionDisplay::RightClick);
            break;
        case 517:
            set(" Right button Released", ActionDisplay::RightClick);
            break;
        case 519:
            set(" Middle button Pressed ", ActionDisplay::KeepIcon);
            break;
        case 520:
            set(" Middle button Released ", ActionDisplay::KeepIcon);
            break;
        default:
            break;
        }
        break;
    case VALIDATION_KEY: {
        const uint32_t mods = uint32_t(info.yOrModifiers);
        QString text = QStringLiteral("KeyBoard ");
        if (mods & CONTROL_BIT)
            text += "CTRL+";
        if (mods & SHIFT_BIT)
            text += "SHIFT+";
        if (mods & ALT_BIT)
            text += "ALT+";
        text += keyName(info.xOrKey);
        d.changesText = true;
        d.text = text;
        d.icon = ActionDisplay::KeyClick;
        break;
    }
    case VALIDATION_NONE:
        set(" No User Action ", ActionDisplay::NoUserAction);
        break;
    default:
        break;
    }
    return d;
}

} // namespace commandtexts
