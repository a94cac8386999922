#include "VirtualScheduler.h"

#include <algorithm>

VirtualScheduler::VirtualScheduler(QDateTime wallStart)
    : m_clock(std::move(wallStart))
{
}

Scheduler::TimerId VirtualScheduler::startRepeating(double intervalSeconds, std::function<void()> action)
{
    // A repeating timer needs a positive interval, or moving the clock on would never end.
    const MonotonicTime interval = std::max(ManualClock::durationOf(intervalSeconds), MonotonicTime(1));
    return start(interval, interval, std::move(action));
}

Scheduler::TimerId VirtualScheduler::startOneShot(double delaySeconds, std::function<void()> action)
{
    return start(ManualClock::durationOf(delaySeconds), MonotonicTime::zero(), std::move(action));
}

Scheduler::TimerId VirtualScheduler::start(MonotonicTime delay, MonotonicTime interval, std::function<void()> action)
{
    const TimerId id = m_nextId++;
    const MonotonicTime due = m_clock.monotonicNow() + delay;
    m_timers.emplace(id, Timer{due, interval, std::move(action)});
    m_queue.emplace(std::pair(due, id), id);
    return id;
}

void VirtualScheduler::stop(TimerId id)
{
    const auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    m_queue.erase(std::pair(it->second.due, id));
    m_timers.erase(it);
}

void VirtualScheduler::advance(double seconds)
{
    advanceTo(m_clock.monotonicNow() + ManualClock::durationOf(seconds));
}

void VirtualScheduler::advanceTo(MonotonicTime time)
{
    while (!m_queue.empty() && m_queue.begin()->first.first <= time) {
        const auto [key, id] = *m_queue.begin();
        m_queue.erase(m_queue.begin());
        Timer &timer = m_timers.at(id);
        m_clock.advance(key.first - m_clock.monotonicNow());
        std::function<void()> action = timer.action; // the action may stop or start timers
        if (timer.interval > MonotonicTime::zero()) {
            // Re-armed by the time it was due, not by when it ran, as a run-loop timer is.
            timer.due = key.first + timer.interval;
            m_queue.emplace(std::pair(timer.due, id), id);
        } else {
            m_timers.erase(id);
        }
        action();
    }
    if (time > m_clock.monotonicNow())
        m_clock.advance(time - m_clock.monotonicNow());
}
