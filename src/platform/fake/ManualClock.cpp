#include "ManualClock.h"

#include <cmath>

ManualClock::ManualClock(QDateTime wallStart)
    : m_wall(std::move(wallStart))
{
}

void ManualClock::advance(double seconds)
{
    advance(MonotonicTime(std::llround(seconds * 1e9)));
}

void ManualClock::advance(MonotonicTime by)
{
    m_monotonic += by;
    m_wall = m_wall.addMSecs(by.count() / 1'000'000);
}
