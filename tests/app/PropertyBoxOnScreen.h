// The property box of a running velmora as an author test finds it on the
// screen: its rows are found by their names in the order the box shows
// them, their places measured on the screen, never taken as fixed pixels.
// Include it after the toolkit headers (it includes Xlib).
#pragma once

#include "CanvasOnScreen.h"
#include "ScreenPixels.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// The selected row of a list in `column` (one pixel wide, screen
// coordinates), relative to the column's top: the row is drawn in the
// selection colour. Not found when none is.
struct RowBand {
    int top = -1, bottom = -1;
    bool found() const { return top >= 0; }
    int middle() const { return found() ? (top + bottom) / 2 : -1; }
};

inline RowBand selectedRowIn(const Rect& column) {
    RowBand band;
    const std::vector<unsigned long> pixels = screenPixelsOf(column);
    for (int y = 0; y < int(pixels.size()); ++y) {
        const unsigned long p = pixels[size_t(y)];
        const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
        if (b > 150 && r < 100 && g < 180) {
            if (band.top < 0)
                band.top = y;
            band.bottom = y;
        }
    }
    return band;
}

// The property list's selected row, in box coordinates: the name cell of
// the current row is drawn in the selection colour.
inline RowBand selectedRow(const Rect& box) {
    return selectedRowIn(Rect{box.x + 60, box.y, 1, box.h});
}

// The rows of the box's property list as shown: every row is as high as
// the others, the first at the top of the list. Measured by clicking row
// names (which only selects the rows) and reading where the selection shows.
struct PropertyRows {
    Rect box;
    int firstMiddle = 0;
    int height = 0;
    // The middle of the row named `name` in `shown`, the names of the rows
    // (group rows too) in the order the box shows them; box coordinates,
    // -1 when not listed.
    int middleOf(const std::vector<std::string>& shown, const std::string& name) const {
        const auto at = std::find(shown.begin(), shown.end(), name);
        return at == shown.end() ? -1 : firstMiddle + int(at - shown.begin()) * height;
    }
};

namespace rows {
// Clicks the name cell at `y` (box coordinates) and gives the selected row.
inline RowBand clickName(const Rect& box, int y) {
    runCommand("xdotool mousemove " + std::to_string(box.x + 60) + " " + std::to_string(box.y + y) +
               " click 1 sleep 0.3");
    RowBand band;
    waitUntil([&] { return (band = selectedRow(box)).found(); }, 1500);
    return band;
}
} // namespace rows

// Measures the list of the box at `box` once its rows show; none when no
// row can be selected. The list must show its first row at the top (as it
// does when listed). Middles, not edges: a group row's selection is drawn a
// pixel short at both ends.
inline std::optional<PropertyRows> measurePropertyRows(const Rect& box) {
    // A row in the list's upper part, well inside it.
    RowBand some;
    for (int y : {box.h / 3, box.h / 4, box.h / 2})
        if ((some = rows::clickName(box, y)).found())
            break;
    if (!some.found())
        return std::nullopt;
    // The height: the next row down, or up when this is the last.
    RowBand next = rows::clickName(box, some.bottom + 3);
    if (!next.found() || next.middle() <= some.middle())
        next = rows::clickName(box, some.top - 3);
    if (!next.found() || next.middle() == some.middle())
        return std::nullopt;
    PropertyRows shown{box, std::min(some.middle(), next.middle()), std::abs(next.middle() - some.middle())};
    // Up to the first row: a click above it selects nothing new.
    for (;;) {
        const int above = shown.firstMiddle - shown.height;
        if (above <= 0)
            break;
        const RowBand band = rows::clickName(box, above);
        if (!band.found() || std::abs(band.middle() - above) > 2)
            break;
        shown.firstMiddle = band.middle();
    }
    return shown;
}

// The names of `shown` as the box shows them once `group` is collapsed:
// without the rows between it and the group that follows it, `next`.
inline std::vector<std::string> withCollapsed(std::vector<std::string> shown, const std::string& group,
                                              const std::string& next) {
    const auto from = std::find(shown.begin(), shown.end(), group);
    const auto to = std::find(shown.begin(), shown.end(), next);
    if (from != shown.end() && to != shown.end() && from < to)
        shown.erase(from + 1, to);
    return shown;
}

// Collapses the group row whose middle is at `rowY` (box coordinates): a
// click on its name, then Left. Rows further down the list need no
// scrolling then, whatever the font makes of the rows' height.
inline void collapseGroup(const Rect& box, int rowY) {
    rows::clickName(box, rowY);
    runCommand("xdotool key Left sleep 0.4");
}

// The x of a selected row's button ("..." or a list's arrow) in box
// coordinates: the buttons sit at the value column's right end.
inline int rowButtonX(const Rect& box) {
    return box.w - 15;
}

// Opens the editor of the row whose middle is at `rowY` (box coordinates),
// presses the keys in its list, then Return.
inline void chooseInRow(const Rect& box, int rowY, const std::string& keys) {
    runCommand("xdotool mousemove " + windowPoint(box, 180, rowY) + " click 1 sleep 0.6");
    runCommand("xdotool mousemove " + windowPoint(box, rowButtonX(box), rowY) + " click 1 sleep 0.6");
    runCommand("xdotool " + keys + " sleep 0.1 key Return sleep 0.6");
}

// Opens a listed validation field's "Validation String Dialog" from its
// Validation String row in the box at `box`; gives the dialog's window id,
// empty when it did not show.
inline std::string openValidationStringDialog(const Rect& box) {
    // The field's rows as the box shows them.
    const std::vector<std::string> shown = {"Appearance",
                                            "Align Text",
                                            "Attribute",
                                            "Back Color",
                                            "Case Sensitive",
                                            "Dynamic Grow",
                                            "Font",
                                            "Fore Color",
                                            "Password Field",
                                            "Geometry",
                                            "Left",
                                            "Top",
                                            "Width",
                                            "Height",
                                            "General",
                                            "Name",
                                            "Validation String",
                                            "Validation Error Message"};
    const auto rows = measurePropertyRows(box);
    if (!rows)
        return {};
    // With Appearance collapsed the last rows show without scrolling.
    collapseGroup(rows->box, rows->middleOf(shown, "Appearance"));
    const int rowY = rows->middleOf(withCollapsed(shown, "Appearance", "Geometry"), "Validation String");
    runCommand("xdotool mousemove " + windowPoint(rows->box, 60, rowY) + " click 1 sleep 0.6 mousemove " +
               windowPoint(rows->box, rowButtonX(rows->box), rowY) + " click 1 sleep 0.8");
    std::string dialogId;
    waitUntil(
        [&] {
            return !(dialogId = trim(runCommand(
                         "xdotool search --name '^Validation String Dialog$' 2>/dev/null | head -n1")))
                        .empty();
        },
        3000);
    return dialogId;
}

} // namespace testsupport
