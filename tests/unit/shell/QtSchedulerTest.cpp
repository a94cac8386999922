// Real time: QtScheduler's timers fire on the event loop of the thread that started them.

#include "shell/QtScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>

#include <functional>

namespace {

// Runs the event loop until `done` answers true or the time is up.
bool processEventsUntil(const std::function<bool()> &done, int milliseconds = 5000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

void processEventsFor(int milliseconds)
{
    processEventsUntil([] { return false; }, milliseconds);
}

} // namespace

class QtSchedulerTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        // Stopped timers are deleted later; let that happen before the next test.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QtScheduler scheduler;
};

TEST_F(QtSchedulerTest, AOneShotTimerFiresOnce)
{
    int fired = 0;
    scheduler.startOneShot(0.01, [&fired] { ++fired; });
    EXPECT_TRUE(processEventsUntil([&fired] { return fired > 0; }));
    processEventsFor(50);
    EXPECT_EQ(fired, 1);
}

TEST_F(QtSchedulerTest, ARepeatingTimerStoppedInItsOwnActionFiresNoMore)
{
    int fired = 0;
    Scheduler::TimerId id = 0;
    id = scheduler.startRepeating(0.01, [&] {
        if (++fired == 3)
            scheduler.stop(id);
    });
    EXPECT_TRUE(processEventsUntil([&fired] { return fired >= 3; }));
    processEventsFor(50);
    EXPECT_EQ(fired, 3);
}

TEST_F(QtSchedulerTest, AStoppedTimerNeverFires)
{
    int fired = 0;
    const Scheduler::TimerId id = scheduler.startOneShot(0.01, [&fired] { ++fired; });
    scheduler.stop(id);
    processEventsFor(50);
    EXPECT_EQ(fired, 0);
}

TEST_F(QtSchedulerTest, TheMonotonicClockMovesOn)
{
    const Clock::MonotonicTime before = scheduler.monotonicNow();
    processEventsFor(20);
    EXPECT_GE(scheduler.secondsSince(before), 0.015);
}
