#include "record/NVUtil.h"
#include "store/Diagnostics.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <ctime>
#include <mutex>

_XDisplay* NVUtil::m_psxDisplay = nullptr;
int NVUtil::m_nsxScreen = 0;
int NVUtil::m_nsHres = 0;
int NVUtil::m_nsVres = 0;

namespace {
std::mutex g_queryMutex; // the static members are shared by every caller
}

bool NVUtil::openDisplay() {
    m_psxDisplay = XOpenDisplay(nullptr);
    if (!m_psxDisplay) {
        diag::print("NVUtil: cannot open display\n");
        return false;
    }
    m_nsxScreen = DefaultScreen(m_psxDisplay);
    return true;
}

void NVUtil::closeDisplay() {
    if (m_psxDisplay)
        XCloseDisplay(m_psxDisplay);
    m_psxDisplay = nullptr;
}

std::pair<int, int> NVUtil::getScreenResolution() {
    std::lock_guard<std::mutex> lock(g_queryMutex);
    if (!openDisplay())
        return {0, 0};
    m_nsHres = DisplayWidth(m_psxDisplay, m_nsxScreen);
    m_nsVres = DisplayHeight(m_psxDisplay, m_nsxScreen);
    closeDisplay();
    return {m_nsHres, m_nsVres};
}

int NVUtil::getScreenDepth() {
    std::lock_guard<std::mutex> lock(g_queryMutex);
    if (!openDisplay())
        return 0;
    const int depth = DefaultDepth(m_psxDisplay, m_nsxScreen);
    closeDisplay();
    return depth;
}

int NVUtil::getScreenPitch() {
    const int depth = getScreenDepth();
    return (depth / 8) * getScreenResolution().first;
}

int NVUtil::getCurrentTimeStamp() {
    return int(std::time(nullptr));
}
