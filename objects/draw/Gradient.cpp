#include "objects/draw/Gradient.h"

#include "objects/draw/XColorPixel.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
// The radial boxes start this far further left and up than their half-axes say.
constexpr int kRadialReach = 200;
constexpr int kFullCircle = 360 * 64;

int channelAt(int from, int to, double t) {
    return from - Gradient::roundHalfAway(double(from - to) * t);
}
} // namespace

Gradient::Gradient(const QColor& from, const QColor& to, GRADIENT_STYLE style, int angle)
    : m_from(from), m_to(to), m_style(style), m_angle(angle) {}

int Gradient::roundHalfAway(double d) {
    return d > 0 ? int(d + 0.5) : int(d - 0.5);
}

QColor Gradient::colorAt(const QColor& from, const QColor& to, double t) {
    QColor c;
    c.setRgb(channelAt(from.red(), to.red(), t), channelAt(from.green(), to.green(), t),
             channelAt(from.blue(), to.blue(), t));
    return c;
}

void Gradient::setForeground(Display* display, GC gc, double t) {
    XSetForeground(display, gc, XColorPixel::pixelOf(display, colorAt(m_from, m_to, t)));
}

void Gradient::createGradientImage(unsigned long& drawable, int width, int height, Display* display, GC& gc) {
    switch (m_style) {
    case LINEAR:
        createLinearGradient(drawable, width, height, display, gc);
        break;
    case RADIAL:
        createRadialGradient(drawable, width, height, display, gc);
        break;
    case RECTANGULAR:
        createRectGradient(drawable, width, height, display, gc);
        break;
    }
}

void Gradient::createLinearGradient(unsigned long& drawable, int width, int height, Display* display,
                                    GC& gc) {
    if (!display || width <= 0 || height <= 0)
        return;
    const int angle = (m_angle % 360 + 360) % 360;
    const double W = width, H = height;
    enum { VERTICAL, HORIZONTAL, SET_A, SET_B } sweep;
    double length, slope = 1.0;
    if (angle == 0 || angle == 180) {
        sweep = VERTICAL;
        length = W;
    } else if (angle == 90 || angle == 270) {
        sweep = HORIZONTAL;
        length = H;
    } else if (angle < 90 || (angle > 180 && angle < 270)) {
        sweep = SET_A;
        const int a = angle > 180 ? angle - 180 : angle;
        length = W + H / std::tan(kHalfPi - (2 * a) * kPi / 360);
        slope = std::tan(a * kPi / 360);
    } else {
        sweep = SET_B;
        const int u = angle > 270 ? angle - 270 : angle - 90;
        slope = std::tan((2 * u) * kPi / 360);
        length = W + H / slope;
    }
    if (sweep == SET_A || sweep == SET_B)
        XSetLineAttributes(display, gc, 3, LineSolid, CapNotLast, JoinMiter);
    if (angle >= 90 && angle < 270)
        std::swap(m_from, m_to);

    const double step = 1.0 / length;
    for (double t = 0.0; t < 1.0; t += step) {
        setForeground(display, gc, t);
        const int p = roundHalfAway(length * t);
        switch (sweep) {
        case VERTICAL:
            XDrawLine(display, drawable, gc, p, 0, p, height);
            break;
        case HORIZONTAL:
            XDrawLine(display, drawable, gc, 0, p, width, p);
            break;
        case SET_A: {
            const int y0 = int(p / slope);
            if (y0 <= height)
                XDrawLine(display, drawable, gc, 0, y0, p, width);
            else
                XDrawLine(display, drawable, gc, int((y0 - height) * slope), 0, p, width);
            break;
        }
        case SET_B: {
            const int e = int(height * slope);
            if (e <= height)
                XDrawLine(display, drawable, gc, p, 0, 0, e);
            else
                XDrawLine(display, drawable, gc, p, 0, int((e - height) / slope), height);
            break;
        }
        }
    }
}

template <typename DrawShape>
void Gradient::shrinkingShapes(int width, int height, Display* display, GC gc, DrawShape draw) {
    const double radius = std::max(width, height) / 2.0;
    const double step = 1.0 / radius;
    double kx = 1.0, ky = 1.0;
    if (width > height)
        ky = double(height) / width;
    else
        kx = double(width) / height;
    const int cx = width / 2, cy = height / 2;
    for (double t = 1.0; t > 0.0; t -= step) {
        setForeground(display, gc, t);
        draw(cx, cy, roundHalfAway(radius * t * kx), roundHalfAway(radius * t * ky));
    }
}

void Gradient::createRadialGradient(unsigned long& drawable, int width, int height, Display* display,
                                    GC& gc) {
    if (!display || width <= 0 || height <= 0)
        return;
    shrinkingShapes(width, height, display, gc, [&](int cx, int cy, int rx, int ry) {
        XFillArc(display, drawable, gc, cx - rx - kRadialReach, cy - ry - kRadialReach,
                 unsigned(2 * rx + kRadialReach), unsigned(2 * ry + kRadialReach), 0, kFullCircle);
    });
}

void Gradient::createRectGradient(unsigned long& drawable, int width, int height, Display* display, GC& gc) {
    if (!display || width <= 0 || height <= 0)
        return;
    shrinkingShapes(width, height, display, gc, [&](int cx, int cy, int rx, int ry) {
        XDrawRectangle(display, drawable, gc, cx - rx, cy - ry, unsigned(2 * rx), unsigned(2 * ry));
    });
}
