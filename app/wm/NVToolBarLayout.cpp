#include "app/wm/NVToolBarLayout.h"

#include <algorithm>

NVToolBarLayout::Result NVToolBarLayout::rows(const std::vector<Item>& items, int available, bool fullWidth,
                                              int itemHeight) {
    Result r;
    r.positions.resize(items.size());
    for (const Item& i : items)
        r.widths.push_back(i.width);
    r.barWidth = fullWidth ? available : 16;
    r.barHeight = itemHeight;
    int left = 16;
    int right = available;
    int rowY = 1;
    int widest = 0;
    int autoItem = -1;

    for (size_t n = 0; n < items.size(); ++n) {
        const Item& it = items[n];
        widest = std::max(widest, it.autoSized ? 150 : it.width);
        if (fullWidth && it.right) {
            // The right cursor is not reset when this wraps: later right items
            // keep filling leftwards on the new row.
            right -= it.width + 3;
            if (right <= left + 3) {
                rowY += itemHeight;
                r.barHeight += itemHeight;
            }
            r.positions[n] = QPoint(right, rowY);
        } else if (fullWidth) {
            const int w = it.autoSized ? 150 : it.width;
            if (it.autoSized)
                autoItem = int(n);
            if (left > right - w + 3) {
                left = 16;
                rowY += itemHeight;
                r.barHeight += itemHeight;
            }
            r.positions[n] = QPoint(left, rowY);
            left += w + 3;
        } else {
            if (left > available - it.width - 3 && left != 16) {
                // The item that starts a new row does not widen the bar.
                r.barHeight += itemHeight;
                rowY += itemHeight;
                r.positions[n] = QPoint(16, rowY);
                left = 16 + it.width + 3;
            } else {
                r.positions[n] = QPoint(left, rowY);
                left += it.width + 3;
                r.barWidth = std::max(r.barWidth, left);
            }
        }
    }
    if (autoItem >= 0)
        r.widths[size_t(autoItem)] = right - r.positions[size_t(autoItem)].x() - 1;
    r.barWidth = std::max(r.barWidth, widest + 16);
    return r;
}

NVToolBarLayout::Result NVToolBarLayout::columns(const std::vector<Item>& items, int maxHeight,
                                                 int itemHeight) {
    Result r;
    r.positions.resize(items.size());
    for (const Item& i : items)
        r.widths.push_back(i.width);
    r.barHeight = 16;
    r.barWidth = itemHeight;
    int columnWidth = itemHeight;
    int top = 16;
    int columnX = 3;

    for (size_t n = 0; n < items.size(); ++n) {
        bool newColumn = false;
        if (top > maxHeight - 3 - itemHeight) {
            columnX += columnWidth;
            r.barWidth += itemHeight;
            top = 16;
            newColumn = true;
        }
        r.positions[n] = QPoint(columnX, top);
        if (items[n].autoSized)
            r.widths[n] = std::max(columnWidth, 150);
        const int w = r.widths[n];
        if (columnX + w + 3 > r.barWidth)
            r.barWidth = columnX + w + 2;
        if (w + 3 > columnWidth)
            columnWidth = w + 3;
        top += itemHeight + 3;
        if (!newColumn)
            r.barHeight = std::max(r.barHeight, top);
    }
    return r;
}
