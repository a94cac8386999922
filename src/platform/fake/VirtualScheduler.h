#pragma once

#include "ManualClock.h"
#include "tracking/Scheduler.h"

#include <map>

// Timers on virtual time. Moving the clock on fires every timer that falls due, in time order,
// timers due at the same moment in the order they were started; each fires at its due time.
class VirtualScheduler : public Scheduler
{
public:
    explicit VirtualScheduler(QDateTime wallStart = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));

    MonotonicTime monotonicNow() const override { return m_clock.monotonicNow(); }
    QDateTime wallNow() const override { return m_clock.wallNow(); }
    QDateTime wallNowUtc() const override { return m_clock.wallNowUtc(); }

    TimerId startRepeating(double intervalSeconds, std::function<void()> action) override;
    TimerId startOneShot(double delaySeconds, std::function<void()> action) override;
    void stop(TimerId id) override;

    // Moves the clock on by `seconds`, firing what falls due on the way.
    void advance(double seconds);
    // Moves the clock to `time` (never back), firing what falls due on the way.
    void advanceTo(MonotonicTime time);
    // Sets the wall clock alone; timers and intervals are not affected.
    void setWallTime(const QDateTime &wall) { m_clock.setWallTime(wall); }

    int activeTimerCount() const { return int(m_timers.size()); }

private:
    struct Timer
    {
        MonotonicTime due;
        MonotonicTime interval; // zero for a one-shot timer
        std::function<void()> action;
    };
    TimerId start(MonotonicTime delay, MonotonicTime interval, std::function<void()> action);

    ManualClock m_clock;
    // Ordered by due time, then by the order of starting (ids grow).
    std::map<std::pair<MonotonicTime, TimerId>, TimerId> m_queue;
    std::map<TimerId, Timer> m_timers;
    TimerId m_nextId = 1;
};
