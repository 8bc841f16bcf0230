// Paces a long command's per-step progress on the interface thread, so that
// the thread spends its time on the command: the bar takes a new value at
// most every bar gap and events are let through at most every event gap,
// each counted from the end of the last time. The first step does both, so
// the window shows at once what the command changed; the last sets the bar's
// final value.
#pragma once

#include <chrono>

class ProgressPacer {
  public:
    using Clock = std::chrono::steady_clock;

    struct Step {
        bool setValue = false;
        bool letEvents = false;
    };

    ProgressPacer(int lastValue, Clock::duration barGap, Clock::duration eventGap);

    // What to do at the step that reaches `value`, at `now`.
    Step step(int value, Clock::time_point now);
    // The step's work ended at `now`: the gaps of what it did count from there.
    void done(const Step& step, Clock::time_point now);

  private:
    int m_lastValue;
    Clock::duration m_barGap, m_eventGap;
    bool m_started = false;
    Clock::time_point m_barAt, m_eventsAt;
};
