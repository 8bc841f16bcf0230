#include "objects/draw/SelectionHandles.h"

#include "objects/draw/XColorPixel.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <X11/Xlib.h>
#include <climits>
// Xlib names a constant after the Qt enumeration used below.
#undef CursorShape

QPoint SelectionHandles::squareOrigin(int handle, int x, int y, int w, int h) {
    const int s = SQUARE_SIZE;
    switch (handle) {
    case TOP_LEFT:
        return {x - s, y - s};
    case TOP_RIGHT:
        return {x + w, y - s};
    case BOTTOM_LEFT:
        return {x - s, y + h};
    case BOTTOM_RIGHT:
        return {x + w, y + h};
    case TOP_MIDDLE:
        return {x + w / 2 - s / 2, y - s};
    case BOTTOM_MIDDLE:
        return {x + w / 2 - s / 2, y + h};
    case LEFT_MIDDLE:
        return {x - s, y + h / 2 - s / 2};
    case RIGHT_MIDDLE:
        return {x + w, y + h / 2 - s / 2};
    default:
        return {x, y};
    }
}

int SelectionHandles::ItemsGetClickedRects(int px, int py, int x, int y, int w, int h) {
    static constexpr int order[] = {BOTTOM_RIGHT, TOP_LEFT,      TOP_RIGHT,   BOTTOM_LEFT,
                                    TOP_MIDDLE,   BOTTOM_MIDDLE, LEFT_MIDDLE, RIGHT_MIDDLE};
    for (int handle : order) {
        const QPoint o = squareOrigin(handle, x, y, w, h);
        if (px >= o.x() && px <= o.x() + SQUARE_SIZE && py >= o.y() && py <= o.y() + SQUARE_SIZE)
            return handle;
    }
    return INSIDE;
}

bool SelectionHandles::ItemsGetResizeCoords(int handle, int& x, int& y, int& w, int& h, int dx, int dy) {
    // The top-left corner never passes the far edge's last pixel; the size
    // changes by the whole movement all the same.
    const int x0 = x, y0 = y, w0 = w, h0 = h;
    auto clampedX = [&] { return x0 + dx < x0 + w0 - 1 ? x0 + dx : x0 + w0 - 1; };
    auto clampedY = [&] { return y0 + dy < y0 + h0 - 1 ? y0 + dy : y0 + h0 - 1; };
    switch (handle) {
    case INSIDE:
        x = x0 + dx;
        y = y0 + dy;
        return true;
    case TOP_LEFT:
        x = clampedX();
        y = clampedY();
        w = w0 - dx;
        h = h0 - dy;
        return true;
    case TOP_RIGHT:
        y = clampedY();
        w = w0 + dx;
        h = h0 - dy;
        return true;
    case BOTTOM_LEFT:
        x = clampedX();
        w = w0 - dx;
        h = h0 + dy;
        return true;
    case BOTTOM_RIGHT:
        w = w0 + dx;
        h = h0 + dy;
        return false;
    case TOP_MIDDLE:
        y = clampedY();
        h = h0 - dy;
        return true;
    case BOTTOM_MIDDLE:
        h = h0 + dy;
        return false;
    case LEFT_MIDDLE:
        x = clampedX();
        w = w0 - dx;
        return true;
    case RIGHT_MIDDLE:
        w = w0 + dx;
        return false;
    default:
        return false;
    }
}

std::optional<Qt::CursorShape> SelectionHandles::cursorForHandle(int handle) {
    switch (handle) {
    case TOP_LEFT:
    case BOTTOM_RIGHT:
        return Qt::SizeFDiagCursor;
    case TOP_RIGHT:
    case BOTTOM_LEFT:
        return Qt::SizeBDiagCursor;
    case TOP_MIDDLE:
    case BOTTOM_MIDDLE:
        return Qt::SizeVerCursor;
    case LEFT_MIDDLE:
    case RIGHT_MIDDLE:
        return Qt::SizeHorCursor;
    default:
        break;
    }
    if (handle > RIGHT_MIDDLE)
        return Qt::ArrowCursor;
    return std::nullopt;
}

void SelectionHandles::ItemsSetMouseCursor(QWidget* holder, int handle) {
    if (!holder)
        return;
    if (const auto shape = cursorForHandle(handle))
        holder->setCursor(*shape);
}

int SelectionHandles::pickHandle(QWidget* holder, QPoint pointer, const Box& box) {
    const int handle =
        ItemsGetClickedRects(pointer.x(), pointer.y(), box.x, box.y, std::abs(box.w), std::abs(box.h));
    ItemsSetMouseCursor(holder, handle);
    if (holder && handle == INSIDE)
        holder->setCursor(Qt::ArrowCursor);
    return handle;
}

SelectionHandles::Box SelectionHandles::dragBand(int handle, const Box& atPress, QPoint press, QPoint pointer,
                                                 QSize screen, const Box& lastBand, int minSize) {
    Box b = atPress;
    ItemsGetResizeCoords(handle, b.x, b.y, b.w, b.h, pointer.x() - press.x(), pointer.y() - press.y());
    if (b.x < 0)
        b.x = 0;
    if (b.y < 0)
        b.y = 0;
    if (pointer.x() > screen.width() || pointer.y() > screen.height()) {
        b = lastBand;
    } else {
        if (b.w <= 0)
            b.w = 1;
        if (b.h <= 0)
            b.h = 1;
    }
    if (b.w < minSize)
        b.w = minSize;
    if (b.h < minSize)
        b.h = minSize;
    if (b.x + b.w > screen.width())
        b.x = screen.width() - b.w;
    if (b.y + b.h > screen.height())
        b.y = screen.height() - b.h;
    return b;
}

void SelectionHandles::EditItemsPaintRects(Display* display, GC gc, unsigned long drawable, int x, int y,
                                           int w, int h) {
    if (!display || !gc || !drawable)
        return;
    XSetForeground(display, gc, XColorPixel::pixelOf(display, 0, 0, 255));
    XSetFillStyle(display, gc, FillSolid);
    for (int handle = TOP_LEFT; handle <= RIGHT_MIDDLE; ++handle) {
        const QPoint o = squareOrigin(handle, x, y, w, h);
        XFillRectangle(display, drawable, gc, o.x(), o.y(), SQUARE_SIZE, SQUARE_SIZE);
    }
}

void SelectionHandles::drawXorBand(Display* display, GC xorGC, unsigned long window, const Box& band) {
    if (!display || !xorGC || !window)
        return;
    // A negative size would wrap to a huge unsigned outline.
    const int x = band.w < 0 ? band.x + band.w : band.x;
    const int y = band.h < 0 ? band.y + band.h : band.y;
    XDrawRectangle(display, window, xorGC, x, y, unsigned(band.w < 0 ? -band.w : band.w),
                   unsigned(band.h < 0 ? -band.h : band.h));
    XFlush(display);
}

SelectionHandles::Box SelectionHandles::stepXorBand(Display* display, GC xorGC, unsigned long window,
                                                    int handle, const Box& atPress, QPoint press,
                                                    QPoint pointer, QSize screen, const Box& lastBand,
                                                    bool lastShown) {
    // Erase exactly what is on the window: nothing before the first band.
    if (lastShown)
        drawXorBand(display, xorGC, window, lastBand);
    const Box band = dragBand(handle, atPress, press, pointer, screen, lastBand);
    drawXorBand(display, xorGC, window, band);
    return band;
}

QSize SelectionHandles::screenSizeOf(Display* display) {
    if (display) {
        const int screen = DefaultScreen(display);
        return QSize(DisplayWidth(display, screen), DisplayHeight(display, screen));
    }
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry().size();
    return QSize(INT_MAX / 2, INT_MAX / 2);
}
