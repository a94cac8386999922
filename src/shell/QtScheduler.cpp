#include "QtScheduler.h"

#include <QTimer>

#include <cmath>

QtScheduler::QtScheduler()
{
    m_elapsed.start();
}

QtScheduler::~QtScheduler() = default;

Clock::MonotonicTime QtScheduler::monotonicNow() const
{
    return MonotonicTime(m_elapsed.nsecsElapsed());
}

QDateTime QtScheduler::wallNow() const
{
    return QDateTime::currentDateTime();
}

QDateTime QtScheduler::wallNowUtc() const
{
    return QDateTime::currentDateTimeUtc();
}

Scheduler::TimerId QtScheduler::startRepeating(double intervalSeconds, std::function<void()> action)
{
    return start(intervalSeconds, true, std::move(action));
}

Scheduler::TimerId QtScheduler::startOneShot(double delaySeconds, std::function<void()> action)
{
    return start(delaySeconds, false, std::move(action));
}

Scheduler::TimerId QtScheduler::start(double seconds, bool repeating, std::function<void()> action)
{
    const TimerId id = m_nextId++;
    auto timer = std::make_unique<QTimer>();
    // QTimer takes milliseconds as an int: longer delays are capped (at about 24 days).
    const double ms = std::clamp(std::round(seconds * 1000.0), 0.0, double(std::numeric_limits<int>::max()));
    timer->setInterval(int(ms));
    timer->setSingleShot(!repeating);
    // A coarse timer may run out up to 5% early: a one-shot is due at its moment.
    timer->setTimerType(repeating ? Qt::CoarseTimer : Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id, repeating, action = std::move(action)] {
        if (!repeating)
            stop(id); // deleted once this signal has returned, so this lambda lives on until then
        action();
    });
    timer->start();
    m_timers.emplace(id, std::move(timer));
    return id;
}

void QtScheduler::stop(TimerId id)
{
    const auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    QTimer *timer = it->second.release();
    // Stopped now: a deferred deletion alone would let it fire again until the event loop
    // gets round to deleting it.
    timer->stop();
    timer->deleteLater(); // it may be the timer whose signal is running now
    m_timers.erase(it);
}
