// The eight selection handles around a selected object and the arithmetic of
// a handle drag. Every class with handles (drawing shapes, hyperlinks, click
// targets, the in-place editor frames) uses these functions; only the press,
// motion and release protocol around them is each class's own.
//
// Rectangles here are (x, y, w, h) with w and h as plain differences of the
// edges, never QRect's inclusive right and bottom.
//
// Xlib stays out of this header: X types appear as Xlib's own struct tags.
#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

#include <optional>

class QWidget;
struct _XDisplay;
struct _XGC;

class SelectionHandles {
  public:
    // Handle numbers: 0 inside (a move), 1..8 the squares, -1 not tested.
    enum Handle : int {
        NOT_TESTED = -1,
        INSIDE = 0,
        TOP_LEFT = 1,
        TOP_RIGHT = 2,
        BOTTOM_LEFT = 3,
        BOTTOM_RIGHT = 4,
        TOP_MIDDLE = 5,
        BOTTOM_MIDDLE = 6,
        LEFT_MIDDLE = 7,
        RIGHT_MIDDLE = 8,
    };
    static constexpr int SQUARE_SIZE = 6;
    // A drag never makes a band smaller than this on either axis.
    static constexpr int MIN_BAND_SIZE = 5;

    struct Box {
        int x = 0, y = 0, w = 0, h = 0;
        bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
        bool operator!=(const Box& o) const { return !(*this == o); }
    };

    // Top-left corner of the 6 x 6 square of handle 1..8; the hit area is
    // that corner to corner + 6, both ends included (7 x 7).
    static QPoint squareOrigin(int handle, int x, int y, int w, int h);

    // The handle whose hit area holds (px, py), testing 4, 1, 2, 3, 5, 6, 7, 8
    // and taking the first hit; 0 when none does.
    static int ItemsGetClickedRects(int px, int py, int x, int y, int w, int h);

    // Applies a pointer movement (dx, dy) on a handle to the rectangle; a
    // handle outside 0..8 changes nothing. True for the handles that can
    // move the top-left corner (0, 1, 2, 3, 5, 7).
    static bool ItemsGetResizeCoords(int handle, int& x, int& y, int& w, int& h, int dx, int dy);

    // Cursor of a handle: the resize shapes for 1..8, the arrow above 8, and
    // none (leave the cursor as it is) for 0 and below.
    static std::optional<Qt::CursorShape> cursorForHandle(int handle);
    // Sets the image holder's cursor for the handle (see cursorForHandle).
    static void ItemsSetMouseCursor(QWidget* holder, int handle);
    // The handle of the box (its size taken positive) under the pointer; the
    // holder's cursor follows it, the arrow inside.
    static int pickHandle(QWidget* holder, QPoint pointer, const Box& box);

    // One motion step of a move or resize drag: the band for the pointer,
    // from the object's rectangle at the press. The band stays where it was
    // (lastBand) while the pointer is right of or below the screen; it is
    // never smaller than minSize x minSize, never left of or above 0 and kept inside the
    // screen's right and bottom edges. minSize is the smallest width and
    // height (5 for shapes and lines, 1 or 5 for the in-place editors).
    static Box dragBand(int handle, const Box& atPress, QPoint press, QPoint pointer, QSize screen,
                        const Box& lastBand, int minSize = MIN_BAND_SIZE);
    // The screen a drag is bounded by: the display's default screen, else
    // the toolkit's primary screen, else no bound.
    static QSize screenSizeOf(_XDisplay* display);

    // Fills the eight squares in blue into the drawable, in handle order;
    // leaves the GC's foreground blue and its fill style solid.
    static void EditItemsPaintRects(_XDisplay* display, _XGC* gc, unsigned long drawable, int x, int y, int w,
                                    int h);

    // Draws a rectangle outline (w + 1 by h + 1 pixels) with the XOR context
    // and flushes; drawing the same rectangle again erases it.
    static void drawXorBand(_XDisplay* display, _XGC* xorGC, unsigned long window, const Box& band);
    // One drawn step of a move or resize drag: erases the band last shown,
    // draws the one dragBand gives for the pointer and gives it.
    static Box stepXorBand(_XDisplay* display, _XGC* xorGC, unsigned long window, int handle,
                           const Box& atPress, QPoint press, QPoint pointer, QSize screen,
                           const Box& lastBand, bool lastShown);
};
