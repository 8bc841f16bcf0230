// One recording: the capture path shared by the timer (interface thread) and
// the action thread, the frame writer, the X RECORD session and the frame
// tables it fills. The main window's recording slots drive it; it touches no
// widgets, so it runs the same with or without a window.
#pragma once

#include "record/ActionDecoder.h"
#include "record/ActionRecorder.h"
#include "record/FrameCapture.h"
#include "record/NVBufferManager.h"
#include "store/DatRecords.h"
#include "store/ProjectTables.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

enum eHookStatus : int { HOOK_IDLE = 0, HOOK_PENDING = 1 };

class RecordingSession {
  public:
    enum StartResult {
        START_OK = 0,
        START_CAPTURE_FAILED, // the capture library could not start
        START_NO_MEMORY,      // the previous-frame buffer could not be allocated
        START_FILE_FAILED,    // the working frame file could not be created
    };
    enum TickAction { TICK_CAPTURED, TICK_IDLE, TICK_PAUSE, TICK_RESUME, TICK_STOP };
    // Why a recording ended early; shown to the author after the stop.
    enum Failure { FAIL_NONE, FAIL_LIMIT, FAIL_CAPTURE, FAIL_WRITE };

    // Appends to the frame tables of `tables`, which must outlive the session.
    explicit RecordingSession(ProjectTables& tables);
    ~RecordingSession();
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    // Starts capturing into `path`: capture library, previous-frame buffer,
    // frame writer, palette of a screen of 15 bits or fewer, first frame, and
    // the action thread unless `withActions` is false. The timer is the caller's.
    StartResult start(const std::string& path, bool withActions);
    // One timer tick: serves stop and pause requests, else captures a timer
    // frame unless only user actions are recorded or an action capture runs.
    TickAction tick();
    // Toggles pause (the Pause button and the pause request).
    void togglePause();
    // Ends the action thread and the writer and releases the capture.
    // Returns 0, or -1 when the writer reported a failed write.
    int stop();

    // Captures one frame now (interface or action thread; callers keep
    // captures from overlapping as the timer and hook do).
    int NVCaptureScreen(EFrameState state, unsigned long unused, SActionType* action);
    // The action thread's capture of a decoded action (the hook).
    void slotHook(SActionType* action);

    int getSharedData(eHookStatus* out);
    int setSharedData(eHookStatus status);

    // The hook runs through this when set (the main window emits its signal
    // from here); by default the session calls slotHook itself.
    std::function<void(SActionType*)> onAction;

    bool recording() const { return m_bRecording; }
    bool paused() const { return m_bPaused; }
    Failure failure() const { return m_failure; }
    // The frame writer's cause of a failed start or write, on one line.
    std::string writerError() const { return m_writer.errorText(); }
    uint32_t captureCount() const { return m_captureCount; }
    int rowBytes() const { return m_screenRowBytes; }
    int bytesPerPixel() const { return m_screenBytesPerPixel; }
    int depth() const { return m_depth; }
    int width() const { return m_screenWidth; }
    int height() const { return m_screenHeight; }
    // Whether the action thread runs (X RECORD was there and started).
    bool actionsRecorded() const { return m_actions.running(); }

    ActionCaptureState& state() { return m_state; }

    static constexpr int RING_SIZE = 15728640;

  private:
    void onWireEvent(const uint8_t* event);
    void capturePalette();
    void requestStop(Failure why);
    void dropLostFrames(unsigned long lost);

    ProjectTables& m_tables;
    ActionCaptureState m_state;
    ActionRecorder m_actions;
    NVBufferManager m_writer;

    std::mutex m_hookMutex; // guards m_hookStatus and m_bTimerCapturing
    std::condition_variable m_timerDone;
    eHookStatus m_hookStatus = HOOK_IDLE;
    bool m_bTimerCapturing = false;

    std::mutex m_captureMutex; // one capture at a time, whatever the caller
    std::atomic<bool> m_bRecording{false};
    std::atomic<bool> m_bPaused{false};
    std::atomic<bool> m_refuseFrames{false};
    std::atomic<Failure> m_failure{FAIL_NONE};

    uint32_t m_captureCount = 0;
    int m_screenWidth = 0, m_screenHeight = 0, m_depth = 0;
    int m_screenBytesPerPixel = 0, m_screenRowBytes = 0;
    SRect m_captureRect{0, 0, 0, 0};
    std::vector<uint8_t> m_pPreviousFrame;
};
