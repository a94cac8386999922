#pragma once

#include "tracking/Clock.h"

// A clock that moves only when told: tests and replays set the time they need.
class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime wallStart = QDateTime(QDate(2026, 1, 5), QTime(9, 0)));

    MonotonicTime monotonicNow() const override { return m_monotonic; }
    QDateTime wallNow() const override;
    QDateTime wallNowUtc() const override { return m_wallStartUtc.addMSecs(m_wallElapsedMs); }

    // Lets time pass: both clocks move on.
    void advance(double seconds);
    void advance(MonotonicTime by);
    // Sets the wall clock alone, as a time sync or the user would; intervals are not affected.
    void setWallTime(const QDateTime &wall);

    // Seconds as the clock counts them, to the nanosecond: none for less than 0, and at most a
    // century, so that a moment that far ahead still has a number.
    static MonotonicTime durationOf(double seconds);

private:
    MonotonicTime m_monotonic{std::chrono::hours(1)};
    // The wall clock as set, and the milliseconds it has moved on since. Moving a local time on
    // looks up the system's zone each time, which a replay's every virtual second would pay.
    QDateTime m_wallStart;
    QDateTime m_wallStartUtc;
    qint64 m_wallElapsedMs = 0;
};
