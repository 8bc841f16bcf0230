// Placement of a movable tool bar's items in rows or columns, apart from any
// widget, so that the wrapping rules can be checked on their own.
#pragma once

#include <QPoint>

#include <vector>

class NVToolBarLayout {
  public:
    struct Item {
        int width = 0;
        bool right = false; // right-aligned
        bool autoSized = false;
    };
    struct Result {
        std::vector<QPoint> positions; // one per item
        std::vector<int> widths;       // the items' widths afterwards (auto-sized ones change)
        int barWidth = 0;
        int barHeight = 0;
    };

    // Rows from the left edge after the 16-pixel handle; with `fullWidth`
    // right-aligned items fill from the right edge and the last auto-sized
    // item stretches to meet them.
    static Result rows(const std::vector<Item>& items, int availableWidth, bool fullWidth, int itemHeight);
    // Columns from below the handle, wrapping into a new column when the next
    // item would pass `maxHeight`.
    static Result columns(const std::vector<Item>& items, int maxHeight, int itemHeight);
};
