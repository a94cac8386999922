#pragma once

#include "Clock.h"

#include <functional>

// Clocks and timers. The application runs them on real time; tests and replays on virtual
// time, where due timers fire in time order as the clock is moved on.
class Scheduler : public Clock
{
public:
    using TimerId = quint64; // never 0

    // Calls `action` every `intervalSeconds`, the first time one interval from now.
    virtual TimerId startRepeating(double intervalSeconds, std::function<void()> action) = 0;
    // Calls `action` once, `delaySeconds` from now.
    virtual TimerId startOneShot(double delaySeconds, std::function<void()> action) = 0;
    // Stops a timer; an unknown or already stopped id is ignored.
    virtual void stop(TimerId id) = 0;
};
