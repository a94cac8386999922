#pragma once

#include <QDateTime>

#include <chrono>

// Where the core reads the time. Intervals are measured on the monotonic clock, which
// never jumps; the wall clock serves only where a date is shown or stored.
class Clock
{
public:
    using MonotonicTime = std::chrono::nanoseconds; // since an arbitrary, fixed origin

    virtual ~Clock() = default;
    virtual MonotonicTime monotonicNow() const = 0;
    virtual QDateTime wallNow() const = 0; // local time
    // The same instant in UTC, for what is kept only as an instant: it needs no time zone,
    // and the local time costs a look at the system's zone on every reading.
    virtual QDateTime wallNowUtc() const { return wallNow().toUTC(); }

    // Seconds from an earlier monotonic moment to now.
    double secondsSince(MonotonicTime earlier) const
    {
        return std::chrono::duration<double>(monotonicNow() - earlier).count();
    }
};
