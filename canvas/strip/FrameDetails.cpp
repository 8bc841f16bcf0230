#include "canvas/strip/FrameDetails.h"

#include <QGuiApplication>
#include <QScreen>

#include <X11/Xlib.h>

namespace {
int g_minFrames = -1;

int probeScreenWidth() {
    if (Display* dpy = XOpenDisplay(nullptr)) {
        int width = DisplayWidth(dpy, DefaultScreen(dpy));
        XCloseDisplay(dpy);
        return width;
    }
    if (qGuiApp) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            return screen->virtualSize().width();
    }
    return 0;
}
} // namespace

int minFramesForScreenWidth(int screenWidth) {
    return screenWidth > 0 ? 10 * (screenWidth / 100) : 0;
}

void setMinFramesFromScreenWidth(int screenWidth) {
    g_minFrames = minFramesForScreenWidth(screenWidth);
}

void resetMinFrames() {
    g_minFrames = -1;
}

int MIN_FRAMES() {
    if (g_minFrames < 0)
        g_minFrames = minFramesForScreenWidth(probeScreenWidth());
    return g_minFrames;
}
