#include "record/RecordingSession.h"
#include "store/Diagnostics.h"

#include "capture/NVCap.h"
#include "record/NVUtil.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

namespace {

// The recording under way, for the stop at process exit.
std::atomic<RecordingSession*> g_live{nullptr};

// A lost server ends the program with exit(1) from the toolkit or from Xlib,
// on the interface thread. The recording is stopped on the way out, so the
// working frame file holds every frame handed in and its header counts them.
void stopLiveRecording() {
    if (RecordingSession* s = g_live.exchange(nullptr))
        s->stop();
}

} // namespace

RecordingSession::RecordingSession(ProjectTables& tables) : m_tables(tables) {}

RecordingSession::~RecordingSession() {
    stop();
}

RecordingSession::StartResult RecordingSession::start(const std::string& path, bool withActions) {
    if (m_bRecording)
        return START_OK;
    m_failure = FAIL_NONE;
    m_refuseFrames = false;
    m_bPaused = false;
    m_state.m_bStopRequest = false;
    m_state.m_bPauseRequest = false;
    m_state.m_modifierWord = 0;
    m_state.m_hotKeyUnderAlt = false;
    m_state.m_pressedUnderAlt.reset();
    m_hookStatus = HOOK_IDLE;
    m_bTimerCapturing = false;
    m_captureCount = 0;

    auto [w, h] = NVUtil::getScreenResolution();
    m_screenWidth = w;
    m_screenHeight = h;
    m_depth = NVUtil::getScreenDepth();
    m_captureRect = SRect{0, 0, w - 1, h - 1};
    NVCapInit init{m_captureRect, 0, 0};
    if (w <= 0 || h <= 0 || NV_CapInit(&init) != NVCAP_OK) {
        NV_CleanUpCapture();
        return START_CAPTURE_FAILED;
    }
    m_screenBytesPerPixel = init.bytesPerLine / w;
    m_screenRowBytes = m_screenBytesPerPixel * w;
    try {
        m_pPreviousFrame.assign(size_t(m_screenRowBytes) * h, 0);
    } catch (const std::bad_alloc&) {
        diag::print("Fatal VL Error: Error allocating memory\n");
        NV_CleanUpCapture();
        return START_NO_MEMORY;
    }
    m_writer.initBufferManager(RING_SIZE, uint64_t(m_screenRowBytes) * h);
    if (m_tables.m_dwFrameCount == 0)
        m_tables.m_nextRecordOffset = uint32_t(NVBufferManager::getFileHeaderSize());
    if (m_writer.startBufferManager(path.c_str(), DAT_FILE_SIZE_LIMIT, SRect{0, 0, w, h}) != 0) {
        m_writer.stopBufferManager(0);
        NV_CleanUpCapture();
        m_pPreviousFrame = {};
        return START_FILE_FAILED;
    }
    m_bRecording = true;
    // Registered at every start: exit runs it before the destructors of
    // statics an earlier recording's stop first made.
    g_live = this;
    std::atexit(stopLiveRecording);
    if (m_depth <= 15)
        capturePalette();
    NVCaptureScreen(FRAME_STATE_FIRST, 0, nullptr);
    if (withActions && !m_actions.start([this](const uint8_t* e) { onWireEvent(e); }))
        diag::print("action capture not started: %s\n", m_actions.error().c_str());
    return START_OK;
}

void RecordingSession::capturePalette() {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return;
    XWindowAttributes attr;
    if (!XGetWindowAttributes(d, DefaultRootWindow(d), &attr)) {
        diag::print("error in getting win attr\n");
        XCloseDisplay(d);
        return;
    }
    XColor colors[256];
    for (int i = 0; i < 256; ++i) {
        colors[i].pixel = static_cast<unsigned long>(i);
        colors[i].flags = DoRed | DoGreen | DoBlue;
    }
    XQueryColors(d, attr.colormap, colors, 256);
    stdColormapArray palette;
    for (int i = 0; i < 256; ++i)
        palette.colors[i] = {uint32_t(colors[i].pixel), colors[i].red, colors[i].green, colors[i].blue,
                             uint8_t(colors[i].flags)};
    m_tables.m_vColormaps.push_back(palette);
    XCloseDisplay(d);
}

RecordingSession::TickAction RecordingSession::tick() {
    if (!m_bRecording)
        return TICK_IDLE;
    // A resume comes first, so a stop requested while paused runs once the author resumes.
    bool resumed = false;
    if (!m_state.m_bPauseRequest && m_bPaused) {
        togglePause();
        resumed = true;
    }
    if (m_state.m_bStopRequest)
        return m_bPaused ? TICK_IDLE : TICK_STOP;
    if (m_state.m_bPauseRequest) {
        if (m_bPaused)
            return TICK_IDLE;
        togglePause();
        return TICK_PAUSE;
    }
    if (m_state.m_bUserActionsOnly)
        return resumed ? TICK_RESUME : TICK_IDLE;
    {
        std::lock_guard<std::mutex> lock(m_hookMutex);
        if (m_hookStatus != HOOK_IDLE)
            return resumed ? TICK_RESUME : TICK_IDLE;
        m_bTimerCapturing = true;
    }
    NVCaptureScreen(FRAME_STATE_TIMER, 0, nullptr);
    {
        std::lock_guard<std::mutex> lock(m_hookMutex);
        m_bTimerCapturing = false;
    }
    m_timerDone.notify_all();
    return resumed ? TICK_RESUME : TICK_CAPTURED;
}

void RecordingSession::togglePause() {
    if (!m_bPaused) {
        m_bPaused = true;
        m_state.m_bPauseRequest = true;
    } else {
        m_bPaused = false;
        m_state.m_bPauseRequest = false;
    }
}

int RecordingSession::stop() {
    if (!m_bRecording)
        return 0;
    RecordingSession* self = this;
    g_live.compare_exchange_strong(self, nullptr);
    m_bRecording = false;
    m_actions.stop();
    const int result = m_writer.stopBufferManager(m_tables.m_dwFrameCount);
    NV_CleanUpCapture();
    m_pPreviousFrame = {};
    if (result != 0 && m_failure == FAIL_NONE)
        m_failure = FAIL_WRITE;
    dropLostFrames(m_writer.framesLost());

    // Release frames keep their place but are no user actions.
    m_tables.m_vUserActionFrames.clear();
    for (uint32_t i = 0; i < m_tables.m_vPlayBackFrameInfo.size(); ++i)
        if (m_tables.m_vPlayBackFrameInfo[i].vType != VALIDATION_NONE)
            m_tables.m_vUserActionFrames.push_back(i);
    m_tables.m_dwUserActionFrame = uint32_t(m_tables.m_vUserActionFrames.size());
    return result;
}

// Frames whose bytes did not all reach the file leave the tables, as a frame
// refused at the size limit never enters them; the writer cut them off the file.
void RecordingSession::dropLostFrames(unsigned long lost) {
    const uint32_t count = m_tables.m_dwFrameCount;
    const uint32_t keep = lost < count ? uint32_t(count - lost) : 0;
    if (keep == count)
        return;
    if (keep < m_tables.m_vEditInfo.size()) {
        m_tables.m_nextRecordOffset = uint32_t(m_tables.m_vEditInfo[keep].recordOffset);
        m_tables.m_vEditInfo.resize(keep);
    }
    if (keep < m_tables.m_vPlayBackFrameInfo.size())
        m_tables.m_vPlayBackFrameInfo.resize(keep);
    m_tables.m_dwFrameCount = keep;
}

void RecordingSession::requestStop(Failure why) {
    m_refuseFrames = true;
    Failure none = FAIL_NONE;
    m_failure.compare_exchange_strong(none, why);
    m_state.m_bStopRequest = true;
}

int RecordingSession::NVCaptureScreen(EFrameState state, unsigned long, SActionType* action) {
    std::lock_guard<std::mutex> lock(m_captureMutex);
    if (!m_bRecording || m_refuseFrames)
        return -1;
    SRect band{};
    if (NV_CapCmpCpy(m_pPreviousFrame.data(), &band, 0) != NVCAP_OK) {
        diag::print("capture failed: the recording stops\n");
        requestStop(FAIL_CAPTURE);
        return -1;
    }
    CaptureContext ctx;
    ctx.frameIndex = m_tables.m_dwFrameCount;
    ctx.captureCount = m_captureCount;
    ctx.captureRect = m_captureRect;
    ctx.rowBytes = uint32_t(m_screenRowBytes);
    ctx.depth = m_depth;
    ctx.paletteCount = m_tables.m_vColormaps.size();
    ctx.screenWidth = m_screenWidth;
    ctx.screenHeight = m_screenHeight;
    ctx.lastPointerX = m_state.m_lastPointerX;
    ctx.lastPointerY = m_state.m_lastPointerY;
    ctx.modifierWord = m_state.m_modifierWord;
    ctx.nextRecordOffset = m_tables.m_nextRecordOffset;
    ctx.now = uint32_t(time(nullptr));
    CapturedFrame f = buildCapturedFrame(ctx, state, band, action);
    ++m_captureCount;

    auto header = f.header.toBytes();
    const int r = m_writer.flushFrame(header.data(), header.size(), m_pPreviousFrame.data() + f.dataOffset,
                                      f.dataLength);
    if (r != NVBufferManager::FLUSH_OK) {
        // The frame never reaches the tables; every frame before it is kept.
        requestStop(r == NVBufferManager::FLUSH_LIMIT_REACHED ? FAIL_LIMIT : FAIL_WRITE);
        return -1;
    }
    m_tables.m_vPlayBackFrameInfo.push_back(f.playback);
    m_tables.m_vEditInfo.push_back(f.edit);
    if (f.userAction) {
        ++m_tables.m_dwUserActionFrame;
        m_tables.m_vUserActionFrames.push_back(m_tables.m_dwFrameCount);
    }
    ++m_tables.m_dwFrameCount;
    m_tables.m_nextRecordOffset += f.header.recordSize;
    return 0;
}

int RecordingSession::getSharedData(eHookStatus* out) {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    *out = m_hookStatus;
    return 1;
}

int RecordingSession::setSharedData(eHookStatus status) {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    m_hookStatus = status;
    return 1;
}

void RecordingSession::onWireEvent(const uint8_t* event) {
    DecodedAction d = decodeWireEvent(event, m_state);
    if (d.outcome == DecodedAction::DropAndIdle) {
        setSharedData(HOOK_IDLE);
    } else if (d.outcome == DecodedAction::Capture) {
        setSharedData(HOOK_PENDING);
        auto* action = new SActionType(d.action);
        if (onAction)
            onAction(action);
        else
            slotHook(action);
    }
}

void RecordingSession::slotHook(SActionType* action) {
    {
        std::unique_lock<std::mutex> lock(m_hookMutex);
        m_timerDone.wait(lock, [this] { return !m_bTimerCapturing; });
    }
    if (!m_bPaused)
        NVCaptureScreen(FRAME_STATE_ACTION, 0, action);
    delete action;
    setSharedData(HOOK_IDLE);
}
