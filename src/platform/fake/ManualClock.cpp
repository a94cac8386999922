#include "ManualClock.h"

#include <cmath>

ManualClock::ManualClock(QDateTime wallStart)
    : m_wall(std::move(wallStart))
{
}

void ManualClock::advance(double seconds)
{
    const auto ns = std::chrono::nanoseconds(std::llround(seconds * 1e9));
    m_monotonic += ns;
    m_wall = m_wall.addMSecs(ns.count() / 1'000'000);
}
