#pragma once

#include "IdleTime.h"
#include "NoDesktop.h"
#include "TimeTracker.h"

// A tracker with no desktop behind it, for tools that only read, total and write timings.
// Nothing is in front, no window can be read, no time passes and nobody is asked anything.
class OfflineTracker
{
public:
    explicit OfflineTracker(Settings &settings)
        : m_tracker({m_desktop, m_desktop, m_idleTime, m_desktop, settings, m_desktop})
    {
    }

    TimeTracker &tracker() { return m_tracker; }

private:
    NoDesktop m_desktop;
    IdleTimeReader m_idleTime{m_desktop};
    TimeTracker m_tracker;
};
