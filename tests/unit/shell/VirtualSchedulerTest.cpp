// Virtual time: due timers fire in time order as the clock moves on, each at its due time.

#include "platform/fake/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <ctime>

class VirtualSchedulerTest : public ::testing::Test
{
protected:
    // Seconds since the scheduler was made.
    double now() const { return scheduler.secondsSince(origin); }

    // An action that writes its name and the time it ran into the log.
    std::function<void()> logged(const QString &name)
    {
        return [this, name] { log.append(QStringLiteral("%1@%2").arg(name).arg(now())); };
    }

    VirtualScheduler scheduler;
    Clock::MonotonicTime origin = scheduler.monotonicNow();
    QStringList log;
};

TEST_F(VirtualSchedulerTest, DueTimersFireInTimeOrderAtTheirDueTimes)
{
    scheduler.startOneShot(3, logged(QStringLiteral("c")));
    scheduler.startOneShot(1, logged(QStringLiteral("a")));
    scheduler.startOneShot(2.5, logged(QStringLiteral("b")));
    scheduler.startOneShot(10, logged(QStringLiteral("late")));

    scheduler.advance(5);
    EXPECT_EQ(log, QStringList({QStringLiteral("a@1"), QStringLiteral("b@2.5"), QStringLiteral("c@3")}));
    EXPECT_DOUBLE_EQ(now(), 5.0);
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
}

TEST_F(VirtualSchedulerTest, TimersDueAtTheSameInstantFireInTheOrderTheyWereStarted)
{
    scheduler.startOneShot(2, logged(QStringLiteral("first")));
    scheduler.startOneShot(2, logged(QStringLiteral("second")));
    scheduler.startOneShot(2, logged(QStringLiteral("third")));
    scheduler.advance(2);
    EXPECT_EQ(log, QStringList({QStringLiteral("first@2"), QStringLiteral("second@2"), QStringLiteral("third@2")}));
}

TEST_F(VirtualSchedulerTest, RepeatingTimersKeepTheirStartOrderAtSharedInstants)
{
    scheduler.startRepeating(1, logged(QStringLiteral("slow")));
    scheduler.startRepeating(0.5, logged(QStringLiteral("fast")));
    scheduler.advance(2);
    EXPECT_EQ(log, QStringList({QStringLiteral("fast@0.5"), QStringLiteral("slow@1"), QStringLiteral("fast@1"),
                                QStringLiteral("fast@1.5"), QStringLiteral("slow@2"), QStringLiteral("fast@2")}));
}

TEST_F(VirtualSchedulerTest, ATimerStoppedByAnotherTimersActionDoesNotFire)
{
    Scheduler::TimerId sameInstant = 0;
    Scheduler::TimerId later = 0;
    scheduler.startOneShot(1, [&] {
        log.append(QStringLiteral("stopper"));
        scheduler.stop(sameInstant);
        scheduler.stop(later);
    });
    sameInstant = scheduler.startOneShot(1, logged(QStringLiteral("same instant")));
    later = scheduler.startRepeating(2, logged(QStringLiteral("repeating")));

    scheduler.advance(10);
    EXPECT_EQ(log, QStringList({QStringLiteral("stopper")}));
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
}

TEST_F(VirtualSchedulerTest, ARepeatingTimerStoppedInItsOwnActionFiresNoMore)
{
    Scheduler::TimerId id = 0;
    int fired = 0;
    id = scheduler.startRepeating(1, [&] {
        if (++fired == 3)
            scheduler.stop(id);
    });
    scheduler.advance(10);
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
}

TEST_F(VirtualSchedulerTest, RepeatingTimersAreReArmedFromTheirDueTime)
{
    scheduler.advance(0.25);
    scheduler.startRepeating(1, logged(QStringLiteral("tick")));
    // One long step: each firing still happens at its own due time.
    scheduler.advance(3.5);
    EXPECT_EQ(log, QStringList({QStringLiteral("tick@1.25"), QStringLiteral("tick@2.25"), QStringLiteral("tick@3.25")}));
    EXPECT_DOUBLE_EQ(now(), 3.75);
}

TEST_F(VirtualSchedulerTest, ATimerStartedByAnActionCountsFromThatActionsDueTime)
{
    scheduler.startOneShot(1, [this] { scheduler.startOneShot(0.5, logged(QStringLiteral("follow-up"))); });
    scheduler.advance(3);
    EXPECT_EQ(log, QStringList({QStringLiteral("follow-up@1.5")}));
}

TEST_F(VirtualSchedulerTest, TheWallClockMovesWithTheMonotonicClock)
{
    const QDateTime start = scheduler.wallNow();
    scheduler.advance(90);
    EXPECT_EQ(start.secsTo(scheduler.wallNow()), 90);
}

TEST_F(VirtualSchedulerTest, TheWallClockKeepsLocalTimeAcrossAChangeToSummerTimeAndItsInstantInUtc)
{
    // Central European time, without the system's zone files.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    scheduler.setWallTime(QDateTime(QDate(2026, 3, 29), QTime(1, 30)));
    for (int second = 0; second < 3600; ++second)
        scheduler.advance(1);
    scheduler.advance(0.0015); // the milliseconds count whole, as they always did
    scheduler.advance(0.0015);
    EXPECT_EQ(scheduler.wallNow(), QDateTime(QDate(2026, 3, 29), QTime(3, 30, 0, 2)));
    EXPECT_EQ(scheduler.wallNow().time(), QTime(3, 30, 0, 2));
    EXPECT_EQ(scheduler.wallNowUtc(), QDateTime(QDate(2026, 3, 29), QTime(1, 30, 0, 2), Qt::UTC));
    EXPECT_EQ(scheduler.wallNowUtc().timeSpec(), Qt::UTC);
    // Set anew, the wall clock moves on from there.
    scheduler.setWallTime(QDateTime(QDate(2026, 10, 25), QTime(2, 30), Qt::OffsetFromUTC, 7200));
    scheduler.advance(3600);
    EXPECT_EQ(scheduler.wallNow().toLocalTime().time(), QTime(2, 30));
    EXPECT_EQ(scheduler.wallNowUtc(), QDateTime(QDate(2026, 10, 25), QTime(1, 30), Qt::UTC));
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

TEST_F(VirtualSchedulerTest, StoppingAnUnknownOrStoppedTimerDoesNothing)
{
    const Scheduler::TimerId id = scheduler.startOneShot(1, logged(QStringLiteral("kept")));
    const Scheduler::TimerId gone = scheduler.startOneShot(1, logged(QStringLiteral("gone")));
    scheduler.stop(gone);
    scheduler.stop(gone);
    scheduler.stop(id + 1000);
    scheduler.advance(1);
    EXPECT_EQ(log, QStringList({QStringLiteral("kept@1")}));
}
