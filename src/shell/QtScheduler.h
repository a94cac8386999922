#pragma once

#include "tracking/Scheduler.h"

#include <QElapsedTimer>

#include <map>
#include <memory>

class QTimer;

// Real time: the monotonic clock from QElapsedTimer, the wall clock in local time, and QTimer
// timers on the thread that created the scheduler.
class QtScheduler : public Scheduler
{
public:
    QtScheduler();
    ~QtScheduler() override;

    MonotonicTime monotonicNow() const override;
    QDateTime wallNow() const override;
    QDateTime wallNowUtc() const override;

    TimerId startRepeating(double intervalSeconds, std::function<void()> action) override;
    TimerId startOneShot(double delaySeconds, std::function<void()> action) override;
    void stop(TimerId id) override;

private:
    TimerId start(double seconds, bool repeating, std::function<void()> action);

    QElapsedTimer m_elapsed;
    std::map<TimerId, std::unique_ptr<QTimer>> m_timers;
    TimerId m_nextId = 1;
};
