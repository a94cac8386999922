// Sleep and wake: logind's PrepareForSleep becomes will-sleep and powered-on, and the "delay"
// inhibitor holds each sleep until Kestrum has acknowledged it.

#include "LogindFixture.h"
#include "platform/logind/LogindWiring.h"

namespace {

class LogindSleep : public LogindFixture
{
protected:
    void SetUp() override
    {
        LogindFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(startMonitor(bus));
    }

    // Whether logind lists exactly `count` inhibitors, waiting a while for it to get there.
    bool inhibitorCountBecomes(qsizetype count) { return waitFor([&] { return mock.inhibitors().size() == count; }); }

    // Sends PrepareForSleep and waits for the power message it must bring.
    void prepareForSleep(bool sleeping, QSignalSpy &spy)
    {
        const qsizetype before = spy.count();
        mock.emitPrepareForSleep(sleeping);
        ASSERT_TRUE(waitFor([&] { return spy.count() > before; })) << "no power message for PrepareForSleep(" << sleeping << ")";
    }
};

TEST_F(LogindSleep, StartTakesADelaySleepInhibitor)
{
    EXPECT_TRUE(monitor->isStarted());
    EXPECT_TRUE(monitor->holdsInhibitor());
    const QList<Inhibitor> inhibitors = mock.inhibitors();
    ASSERT_EQ(inhibitors.size(), 1);
    EXPECT_EQ(inhibitors[0].what, u"sleep");
    EXPECT_EQ(inhibitors[0].who, u"Kestrum");
    EXPECT_FALSE(inhibitors[0].why.isEmpty());
    EXPECT_EQ(inhibitors[0].mode, u"delay");
}

TEST_F(LogindSleep, WillSleepIsReportedWhileTheInhibitorStillHoldsTheSleep)
{
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);
    ASSERT_NO_FATAL_FAILURE(prepareForSleep(true, power));

    EXPECT_EQ(arguments<PowerMessage>(power), QList<PowerMessage>{PowerMessage::WillSleep});
    // Without the acknowledgement the sleep keeps waiting.
    processEventsFor(200);
    EXPECT_TRUE(monitor->holdsInhibitor());
    EXPECT_EQ(mock.inhibitors().size(), 1);
}

TEST_F(LogindSleep, TheAcknowledgementReleasesTheInhibitor)
{
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);
    ASSERT_NO_FATAL_FAILURE(prepareForSleep(true, power));

    monitor->allowPowerChange();

    EXPECT_FALSE(monitor->holdsInhibitor());
    EXPECT_TRUE(inhibitorCountBecomes(0)) << "logind still lists Kestrum's inhibitor";
}

TEST_F(LogindSleep, WakeReportsPoweredOnAndTakesTheInhibitorAgain)
{
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);
    ASSERT_NO_FATAL_FAILURE(prepareForSleep(true, power));
    monitor->allowPowerChange();
    ASSERT_TRUE(inhibitorCountBecomes(0));

    ASSERT_NO_FATAL_FAILURE(prepareForSleep(false, power));

    EXPECT_EQ(arguments<PowerMessage>(power), (QList<PowerMessage>{PowerMessage::WillSleep, PowerMessage::HasPoweredOn}));
    EXPECT_TRUE(waitFor([&] { return monitor->holdsInhibitor(); }));
    EXPECT_TRUE(inhibitorCountBecomes(1));
}

TEST_F(LogindSleep, EverySleepOfSeveralIsHeldAndReleased)
{
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(waitFor([&] { return monitor->holdsInhibitor(); }));
        ASSERT_TRUE(inhibitorCountBecomes(1));
        ASSERT_NO_FATAL_FAILURE(prepareForSleep(true, power));
        monitor->allowPowerChange();
        ASSERT_TRUE(inhibitorCountBecomes(0));
        ASSERT_NO_FATAL_FAILURE(prepareForSleep(false, power));
    }
    EXPECT_EQ(power.count(), 6);
}

TEST_F(LogindSleep, AWakeWithoutASleepTakesNoSecondInhibitor)
{
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);
    ASSERT_NO_FATAL_FAILURE(prepareForSleep(false, power));

    EXPECT_EQ(arguments<PowerMessage>(power), QList<PowerMessage>{PowerMessage::HasPoweredOn});
    processEventsFor(200);
    EXPECT_EQ(mock.inhibitors().size(), 1);
}

TEST_F(LogindSleep, TheApplicationsPowerHandlerLetsTheSleepGoOn)
{
    QList<PowerMessage> handled;
    connectLogindMonitor(*monitor, {.power = [&handled](PowerMessage message, const std::function<void()> &allowPowerChange) {
                                        handled << message;
                                        // What the application does: no controller yet, and every sleep acknowledged.
                                        handlePowerMessage(nullptr, message, allowPowerChange);
                                    }});

    mock.emitPrepareForSleep(true);
    ASSERT_TRUE(waitFor([&] { return !handled.isEmpty(); }));
    EXPECT_TRUE(inhibitorCountBecomes(0));

    mock.emitPrepareForSleep(false);
    ASSERT_TRUE(waitFor([&] { return handled.size() == 2; }));
    EXPECT_EQ(handled, (QList<PowerMessage>{PowerMessage::WillSleep, PowerMessage::HasPoweredOn}));
    EXPECT_TRUE(inhibitorCountBecomes(1));
}

} // namespace
