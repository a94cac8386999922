#include "ManualClock.h"

#include <algorithm>
#include <cmath>

ManualClock::ManualClock(QDateTime wallStart)
{
    setWallTime(wallStart);
}

QDateTime ManualClock::wallNow() const
{
    return m_wallStart.addMSecs(m_wallElapsedMs);
}

void ManualClock::advance(double seconds)
{
    advance(durationOf(seconds));
}

void ManualClock::advance(MonotonicTime by)
{
    m_monotonic += by;
    m_wallElapsedMs += by.count() / 1'000'000;
}

void ManualClock::setWallTime(const QDateTime &wall)
{
    m_wallStart = wall;
    m_wallStartUtc = wall.toUTC();
    m_wallElapsedMs = 0;
}

Clock::MonotonicTime ManualClock::durationOf(double seconds)
{
    constexpr double kCentury = 100 * 365.25 * 24 * 3600;
    // NaN counts as none, like any other time that is not a positive number.
    return MonotonicTime(std::llround(std::clamp(std::isnan(seconds) ? 0.0 : seconds, 0.0, kCentury) * 1e9));
}
