// The texts the main window's status bar shows: the help text of each menu
// item, the frame label and the recorded action of the frame on display.
#pragma once

#include "store/DatRecords.h"

#include <QString>

namespace commandtexts {

// Help text of a menu item id; a null string for ids without one (the
// recent-file items), which leave the status bar as it was.
QString helpText(int id);

// "  Frame 3 of 10  " for the zero-based index 2 of 10 frames.
QString frameLabel(int index, uint32_t frameCount);

// X name of a recorded key: the virtual-key code through the reverse key
// table; "ALT " for the Meta keys, " " for codes outside 0..255 and for
// keys X has no name for.
QString keyName(int32_t virtualKey);

// What the action label and its icon show for a frame's recorded action.
struct ActionDisplay {
    enum Icon { KeepIcon, LeftClick, RightClick, KeyClick, NoUserAction };
    bool changesText = false; // false: both labels keep what they show
    QString text;
    Icon icon = KeepIcon;
};
ActionDisplay actionDisplay(const SPlayBackFrameInfo& info);

} // namespace commandtexts
