// libNVCap: the exported C entry points over one ScreenGrabber.
#include "capture/NVCap.h"

#include "capture/BandFinder.h"
#include "capture/ScreenGrabber.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace {

// The library's state, one set per process. The recording side never runs
// two compares at once, but the lock keeps a misuse from corrupting it.
struct CaptureState {
    std::unique_ptr<capture::ScreenGrabber> grabber;
    SRect capRect{0, 0, 0, 0};
    int32_t dwCaptureType = 0;
    int m_bytesPerPixel = 0;
    int m_HoriRes = 0;
    int m_VertiRes = 0;
};

std::mutex g_mutex;
CaptureState g_state;

int resultCode(capture::ScreenGrabber::Result r) {
    using R = capture::ScreenGrabber::Result;
    switch (r) {
    case R::Ok:
        return NVCAP_OK;
    case R::NoDisplay:
        return NVCAP_E_DISPLAY;
    case R::BadArea:
        return NVCAP_E_PARAM;
    case R::GrabFailed:
        return NVCAP_E_GRAB;
    case R::ConnectionLost:
        return NVCAP_E_CONNECTION_LOST;
    }
    return NVCAP_E_GRAB;
}

void release() {
    g_state.grabber.reset();
    g_state.m_bytesPerPixel = 0;
}

} // namespace

extern "C" int NV_CapInit(NVCapInit* init) {
    std::lock_guard<std::mutex> lock(g_mutex);
    release();
    if (!init) {
        std::fprintf(stderr, "libNVCap: -fatal- Invalid Capture Parameters abort\n");
        return NVCAP_E_PARAM;
    }
    auto grabber = std::make_unique<capture::ScreenGrabber>();
    auto r = grabber->open();
    if (r != capture::ScreenGrabber::Result::Ok) {
        std::fprintf(stderr, "libNVCap: %s\n", grabber->error().c_str());
        return resultCode(r);
    }
    const SRect rc = init->rect;
    if (rc.left < 0 || rc.top < 0 || rc.right < rc.left || rc.bottom < rc.top ||
        rc.right >= grabber->screenWidth() || rc.bottom >= grabber->screenHeight()) {
        std::fprintf(stderr, "libNVCap: -fatal- Invalid Capture Parameters abort\n");
        return NVCAP_E_PARAM;
    }
    r = grabber->prepare(rc.left, rc.top, rc.right - rc.left + 1, rc.bottom - rc.top + 1);
    if (r == capture::ScreenGrabber::Result::BadArea) {
        std::fprintf(stderr, "libNVCap: -fatal- Invalid Capture Parameters abort\n");
        return NVCAP_E_PARAM;
    }
    if (r != capture::ScreenGrabber::Result::Ok) {
        std::fprintf(stderr, "libNVCap: %s\n", grabber->error().c_str());
        return resultCode(r);
    }
    g_state.capRect = rc;
    g_state.dwCaptureType = init->captureType;
    g_state.m_HoriRes = grabber->screenWidth();
    g_state.m_VertiRes = grabber->screenHeight();
    g_state.m_bytesPerPixel = grabber->bytesPerPixel();
    // The caller's rows are unpadded whatever the screen image's line padding.
    init->bytesPerLine = g_state.m_bytesPerPixel * g_state.m_HoriRes;
    g_state.grabber = std::move(grabber);
    return NVCAP_OK;
}

extern "C" int NV_CapCmpCpy(unsigned char* previousFrame, SRect* band, unsigned long) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_state.grabber) {
        std::fprintf(stderr, "libNVCap: capture not initialised\n");
        return NVCAP_E_NOT_INITIALISED;
    }
    if (!previousFrame || !band) {
        std::fprintf(stderr, "libNVCap :pointer is NULL \n");
        return NVCAP_E_PARAM;
    }
    capture::ScreenGrabber& g = *g_state.grabber;
    auto r = g.grab();
    if (r != capture::ScreenGrabber::Result::Ok) {
        std::fprintf(stderr, "libNVCap: %s\n", g.error().c_str());
        return resultCode(r);
    }
    if (!g.data()) {
        std::fprintf(stderr, "libNVCap :pointer is NULL \n");
        return NVCAP_E_GRAB;
    }
    const SRect& rc = g_state.capRect;
    const size_t rowBytes = size_t(g_state.m_bytesPerPixel) * size_t(rc.right - rc.left + 1);
    const int rows = rc.bottom - rc.top + 1;
    capture::Band b = capture::findChangedBand(g.data(), g.stride(), previousFrame, rowBytes, rows);
    capture::copyBand(g.data(), g.stride(), previousFrame, rowBytes, b);
    band->left = rc.left;
    band->top = rc.top + b.top;
    band->right = rc.right;
    band->bottom = rc.top + b.bottom;
    return NVCAP_OK;
}

extern "C" int NV_CleanUpCapture(void) {
    std::lock_guard<std::mutex> lock(g_mutex);
    release();
    return NVCAP_OK;
}
