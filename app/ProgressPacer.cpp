#include "app/ProgressPacer.h"

ProgressPacer::ProgressPacer(int lastValue, Clock::duration barGap, Clock::duration eventGap)
    : m_lastValue(lastValue), m_barGap(barGap), m_eventGap(eventGap) {}

ProgressPacer::Step ProgressPacer::step(int value, Clock::time_point now) {
    Step s;
    if (!m_started) {
        m_started = true;
        s.setValue = s.letEvents = true;
        return s;
    }
    s.setValue = value >= m_lastValue || now - m_barAt >= m_barGap;
    s.letEvents = now - m_eventsAt >= m_eventGap;
    return s;
}

void ProgressPacer::done(const Step& step, Clock::time_point now) {
    if (step.setValue)
        m_barAt = now;
    if (step.letEvents)
        m_eventsAt = now;
}
