// Sleep and wake: the power messages reach the current controller, which suspends counting
// before sleep and resumes it on wake; every can-sleep and will-sleep is acknowledged.

#include "ControllerFixture.h"
#include "shell/PowerMessages.h"

namespace {

const QString kStart = QStringLiteral("Start");
const QString kPause = QStringLiteral("Pause");

} // namespace

TEST(PowerMessages, SleepIsAcknowledgedEvenWithoutAController)
{
    int acknowledged = 0;
    const auto allow = [&acknowledged] { ++acknowledged; };

    handlePowerMessage(nullptr, PowerMessage::CanSleep, allow);
    EXPECT_EQ(acknowledged, 1);
    handlePowerMessage(nullptr, PowerMessage::WillSleep, allow);
    EXPECT_EQ(acknowledged, 2);
    handlePowerMessage(nullptr, PowerMessage::WillNotSleep, allow);
    handlePowerMessage(nullptr, PowerMessage::HasPoweredOn, allow);
    EXPECT_EQ(acknowledged, 2);
}

TEST(PowerMessages, NamesReadAsTheirMessages)
{
    EXPECT_EQ(powerMessageFromName(QStringLiteral("can-sleep")), PowerMessage::CanSleep);
    EXPECT_EQ(powerMessageFromName(QStringLiteral("will-sleep")), PowerMessage::WillSleep);
    EXPECT_EQ(powerMessageFromName(QStringLiteral("will-not-sleep")), PowerMessage::WillNotSleep);
    EXPECT_EQ(powerMessageFromName(QStringLiteral("powered-on")), PowerMessage::HasPoweredOn);
    EXPECT_EQ(powerMessageFromName(QStringLiteral("hibernate")), std::nullopt);
    EXPECT_EQ(powerMessageFromName(QString()), std::nullopt);
}

class ControllerSleep : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        createController();
        QObject::connect(controller.get(), &KestrumController::countingChanged,
                         [this](bool counting) { countingEvents.append(counting); });
    }

    // As the power service delivers it: to whichever controller is current.
    void power(PowerMessage message)
    {
        handlePowerMessage(KestrumController::current(), message, [this] { ++acknowledged; });
    }

    int acknowledged = 0;
    QList<bool> countingEvents;
};

TEST_F(ControllerSleep, SleepWhileCountingSuspendsAndWakeResumesWithoutBookingTheSleep)
{
    controller->toggleCounting();
    scheduler.advance(60);
    power(PowerMessage::CanSleep);

    EXPECT_EQ(acknowledged, 1);
    EXPECT_TRUE(controller->isSuspendedForSleep());
    EXPECT_EQ(controller->buttonTitle(), kStart);
    EXPECT_FALSE(controller->isTicking());
    EXPECT_FALSE(controller->tracker().isRunning());

    power(PowerMessage::WillSleep);
    EXPECT_EQ(acknowledged, 2);
    EXPECT_TRUE(controller->isSuspendedForSleep());

    scheduler.advance(3600);
    desktop.input();
    power(PowerMessage::HasPoweredOn);
    EXPECT_FALSE(controller->isSuspendedForSleep());
    EXPECT_EQ(controller->buttonTitle(), kPause);
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);

    scheduler.advance(60);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 120.0);
    EXPECT_EQ(countingEvents, QList<bool>({true, false, true}));
}

TEST_F(ControllerSleep, SleepWhileNotCountingChangesNothingAndWakeStartsNothing)
{
    power(PowerMessage::CanSleep);
    power(PowerMessage::WillSleep);
    EXPECT_EQ(acknowledged, 2);
    EXPECT_FALSE(controller->isSuspendedForSleep());

    power(PowerMessage::HasPoweredOn);
    EXPECT_FALSE(controller->isTicking());
    EXPECT_EQ(controller->buttonTitle(), kStart);
    EXPECT_TRUE(countingEvents.isEmpty());
}

TEST_F(ControllerSleep, ACancelledSleepResumesCounting)
{
    controller->toggleCounting();
    power(PowerMessage::CanSleep);
    power(PowerMessage::WillNotSleep);
    EXPECT_TRUE(controller->isTicking());
    EXPECT_FALSE(controller->isSuspendedForSleep());
    EXPECT_EQ(countingEvents, QList<bool>({true, false, true}));
}

TEST_F(ControllerSleep, TwoSuspendMessagesAndOneWakeResumeExactlyOnce)
{
    controller->toggleCounting();
    scheduler.advance(60);
    power(PowerMessage::CanSleep);
    power(PowerMessage::WillSleep);
    scheduler.advance(300);
    desktop.input();
    power(PowerMessage::HasPoweredOn);
    EXPECT_TRUE(controller->isTicking());

    // A second wake message, half a second into a tick interval, must not restart anything.
    scheduler.advance(30.5);
    power(PowerMessage::HasPoweredOn);
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
    scheduler.advance(29.5);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 120.0);
    EXPECT_EQ(countingEvents, QList<bool>({true, false, true}));
}

TEST_F(ControllerSleep, StartPressedWhileSuspendedDecidesAndTheWakeAddsNoSecondTick)
{
    controller->toggleCounting();
    scheduler.advance(60);
    power(PowerMessage::CanSleep);
    power(PowerMessage::WillSleep);
    scheduler.advance(40);

    controller->toggleCounting();
    EXPECT_EQ(controller->buttonTitle(), kPause);
    EXPECT_FALSE(controller->isSuspendedForSleep());

    power(PowerMessage::HasPoweredOn);
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
    scheduler.advance(100);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 160.0);

    // Pause stops counting for good: no tick is left behind.
    controller->toggleCounting();
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
    scheduler.advance(60);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 160.0);
    EXPECT_EQ(countingEvents, QList<bool>({true, false, true, false}));
}

TEST_F(ControllerSleep, PauseWhileSuspendedMeansNoResumeOnWake)
{
    controller->toggleCounting();
    power(PowerMessage::CanSleep);
    controller->toggleCounting(); // reads "Start": counting starts
    controller->toggleCounting(); // and is paused again by the user
    power(PowerMessage::HasPoweredOn);

    EXPECT_FALSE(controller->isTicking());
    EXPECT_FALSE(controller->tracker().isRunning());
    EXPECT_EQ(controller->buttonTitle(), kStart);
}
