// The controller's counting states: launch, the Start/Pause button and its one tick, idleness,
// switches of the login session, start-up with saved timings, and which controller is current.

#include "ControllerFixture.h"

namespace {

const QString kStart = QStringLiteral("Start");
const QString kPause = QStringLiteral("Pause");

} // namespace

// --- the button and the tick ------------------------------------------------------------------

class ControllerCounting : public ControllerFixture
{
protected:
    void SetUp() override
    {
        ControllerFixture::SetUp();
        createController();
        QObject::connect(controller.get(), &KestrumController::countingChanged,
                         [this](bool counting) { countingEvents.append(counting); });
    }

    QList<bool> countingEvents;
};

TEST_F(ControllerCounting, LaunchLeavesCountingOff)
{
    controller->finishLaunching();
    EXPECT_EQ(controller->buttonTitle(), kStart);
    EXPECT_FALSE(controller->isTicking());
    EXPECT_FALSE(controller->tracker().isRunning());
    EXPECT_EQ(scheduler.activeTimerCount(), 1); // the store timer alone

    scheduler.advance(60);
    EXPECT_TRUE(appNames().isEmpty());
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:00:00"));
}

TEST_F(ControllerCounting, LaunchStartsCountingWhenTheUserAskedForThatAtEveryLaunch)
{
    settings->setValue(SettingsKey::StartCountingAtLaunch, true);
    controller->finishLaunching();
    EXPECT_EQ(controller->buttonTitle(), kPause);
    EXPECT_EQ(countingEvents, QList<bool>{true});
    scheduler.advance(60);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
}

TEST_F(ControllerCounting, TheButtonStartsAndPausesCountingAndSaysWhatItDoesNext)
{
    controller->toggleCounting();
    EXPECT_EQ(controller->buttonTitle(), kPause);
    EXPECT_TRUE(controller->isTicking());
    EXPECT_TRUE(controller->tracker().isRunning());
    scheduler.advance(30);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 30.0);
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:00:30"));

    controller->toggleCounting();
    EXPECT_EQ(controller->buttonTitle(), kStart);
    EXPECT_FALSE(controller->isTicking());
    EXPECT_FALSE(controller->tracker().isRunning());
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
    scheduler.advance(30);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 30.0);

    EXPECT_EQ(countingEvents, QList<bool>({true, false}));
}

TEST_F(ControllerCounting, StartingAgainReplacesTheTickInsteadOfAddingOne)
{
    controller->startTimer();
    controller->startTimer();
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
    scheduler.advance(10);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);

    controller->stopTimer();
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
    EXPECT_FALSE(controller->isTicking());
}

TEST_F(ControllerCounting, TheUserIsIdleAfterTheConfiguredMinutesWithoutInput)
{
    scheduler.advance(899);
    EXPECT_FALSE(controller->isIdle());
    scheduler.advance(1);
    EXPECT_TRUE(controller->isIdle());

    settings->setValue(SettingsKey::MinutesUntilIdle, 20);
    EXPECT_FALSE(controller->isIdle());
    settings->setValue(SettingsKey::MinutesUntilIdle, 15);
    settings->setValue(SettingsKey::EnableIdleDetection, false);
    EXPECT_FALSE(controller->isIdle());
}

// --- the login session --------------------------------------------------------------------------

class ControllerSession : public ControllerCounting
{
};

TEST_F(ControllerSession, AwayStopsTheTickKeepsThePauseTitleAndStoresTheTimings)
{
    controller->toggleCounting();
    scheduler.advance(60);
    controller->switchHandler(SessionEvent::Resigned);

    EXPECT_FALSE(controller->isTicking());
    EXPECT_EQ(controller->buttonTitle(), kPause);
    // Nothing books while the user is away, whatever happens on this desktop meanwhile.
    EXPECT_FALSE(controller->tracker().isRunning());
    EXPECT_TRUE(controller->isSessionAway());
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 60.0}}));

    scheduler.advance(300);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
}

TEST_F(ControllerSession, BackAgainCountingResumesOnceAndTheTimeAwayIsBookedNowhere)
{
    controller->toggleCounting();
    scheduler.advance(60);
    controller->switchHandler(SessionEvent::Resigned);
    scheduler.advance(300);
    controller->switchHandler(SessionEvent::BecameActive);

    EXPECT_TRUE(controller->isTicking());
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);

    // A repeated notice half a second into a tick interval must not restart the intervals.
    scheduler.advance(30.5);
    controller->switchHandler(SessionEvent::BecameActive);
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
    scheduler.advance(29.5);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 120.0);
    EXPECT_EQ(countingEvents, QList<bool>({true}));
}

TEST_F(ControllerSession, TheButtonPressedWhileAwaySwitchesCountingOff)
{
    controller->toggleCounting();
    scheduler.advance(60);
    controller->switchHandler(SessionEvent::Resigned);
    controller->toggleCounting();

    EXPECT_EQ(controller->buttonTitle(), kStart);
    EXPECT_FALSE(controller->tracker().isRunning());

    controller->switchHandler(SessionEvent::BecameActive);
    EXPECT_FALSE(controller->isTicking());
    scheduler.advance(60);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
}

TEST_F(ControllerSession, BackWhileCountingWasOffStartsNothing)
{
    controller->switchHandler(SessionEvent::Resigned);
    controller->switchHandler(SessionEvent::BecameActive);
    EXPECT_FALSE(controller->isTicking());
    EXPECT_EQ(controller->buttonTitle(), kStart);
    EXPECT_TRUE(countingEvents.isEmpty());
}

// --- start-up -------------------------------------------------------------------------------------

class ControllerStartup : public ControllerFixture
{
};

TEST_F(ControllerStartup, TheSavedTimingsAreLoadedAndTheirTotalShown)
{
    writeSavedTimings({{editorName(), 3725.0, {{QStringLiteral("notes.txt"), 3725.0}}}, {QStringLiteral("Idle"), 100.0, {}}});
    createController();

    EXPECT_EQ(appNames(), QStringList({editorName(), QStringLiteral("Idle")}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3725.0);
    EXPECT_EQ(controller->timeSum(), QStringLiteral("01:02:05"));
    EXPECT_FALSE(controller->isTicking());
    EXPECT_FALSE(controller->tracker().isRunning());
}

TEST_F(ControllerStartup, LoadingTheSavedTimingsTicksOnce)
{
    // A quarter of an hour and more without input: the one tick after loading sees it.
    scheduler.advance(1000);
    writeSavedTimings({{editorName(), 60.0, {}}});
    createController();
    EXPECT_TRUE(controller->tracker().wasIdle());
}

TEST_F(ControllerStartup, WithoutSavedTimingsTheStoreStartsEmptyAndNothingTicks)
{
    scheduler.advance(1000);
    createController();
    EXPECT_TRUE(appNames().isEmpty());
    EXPECT_FALSE(controller->tracker().wasIdle());
    EXPECT_EQ(controller->timeSum(), QStringLiteral("00:00:00"));
}

TEST_F(ControllerStartup, CurrentNamesTheLiveControllerUntilItIsDestroyed)
{
    EXPECT_EQ(KestrumController::current(), nullptr);
    createController();
    EXPECT_EQ(KestrumController::current(), controller.get());
    controller.reset();
    EXPECT_EQ(KestrumController::current(), nullptr);
}
