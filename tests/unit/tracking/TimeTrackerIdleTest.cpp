// Idleness: when the user counts as idle, how the idle stretch moves to "Idle", and that no
// time from before counting was switched on is ever moved there.

#include "TimeTrackerFixture.h"

#include <string>

// --- deciding idleness ------------------------------------------------------------------------------

class TimeTrackerIdleDecision : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerIdleDecision, FifteenMinutesOfRealTimeMakeTheUserIdle)
{
    desktop.input();
    clock.advance(899.999);
    EXPECT_EQ(idleReader.idleTime(), 899u);
    EXPECT_FALSE(isIdle(settings, idleReader));

    clock.advance(0.001);
    EXPECT_EQ(idleReader.idleTime(), 900u);
    EXPECT_TRUE(isIdle(settings, idleReader));
}

TEST_F(TimeTrackerIdleDecision, IdleSecondsAreWholeRealSeconds)
{
    desktop.input();
    clock.advance(1.999999999);
    EXPECT_EQ(idleReader.idleTime(), 1u);
    clock.advance(3600 - 1.999999999);
    EXPECT_EQ(idleReader.idleTime(), 3600u);
    desktop.input();
    EXPECT_EQ(idleReader.idleTime(), 0u);
}

TEST_F(TimeTrackerIdleDecision, MinutesUntilIdleIsHonoured)
{
    settings.setValue(SettingsKey::MinutesUntilIdle, 1);
    desktop.input();
    clock.advance(59);
    EXPECT_FALSE(isIdle(settings, idleReader));
    clock.advance(1);
    EXPECT_TRUE(isIdle(settings, idleReader));
}

TEST_F(TimeTrackerIdleDecision, NoIdlenessWhenDetectionIsOff)
{
    settings.setValue(SettingsKey::EnableIdleDetection, false);
    startCountingInEditor();
    runFor(7200);

    EXPECT_FALSE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(editorName()), 7200.0);
    EXPECT_EQ(app(idleName()), nullptr);
}

TEST_F(TimeTrackerIdleDecision, UnreadableIdleSourceNeverMakesTheUserIdleAndIsReportedOnce)
{
    desktop.setIdleFailure(IdleReading::Status::NotFound);
    testing::internal::CaptureStdout();
    startCountingInEditor();
    runFor(1200);
    desktop.setIdleFailure(IdleReading::Status::ServiceUnreachable);
    runFor(1200);
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(output, "Can't find idle time\nError accessing IOHIDSystem\n");
    EXPECT_DOUBLE_EQ(appTime(editorName()), 2400.0);
    EXPECT_EQ(app(idleName()), nullptr);

    desktop.setIdleFailure(IdleReading::Status::Ok);
    EXPECT_TRUE(isIdle(settings, idleReader));
}

// --- the idle correction ----------------------------------------------------------------------------

class TimeTrackerIdleCorrection : public TimeTrackerReadyFixture
{
protected:
    // The editor counted from the start; the last input 100 s in; idle 900 s later, at 1000 s.
    void workThenGoIdleAfter1000Seconds()
    {
        startCountingInEditor();
        runFor(100);
        desktop.input();
        runFor(899);
        ASSERT_FALSE(tracker->wasIdle());
        ASSERT_DOUBLE_EQ(appTime(editorName()), 999.0);
        ASSERT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 999.0);
        runFor(1);
        ASSERT_TRUE(tracker->wasIdle());
    }
};

TEST_F(TimeTrackerIdleCorrection, IdleStretchMovesFromTheAppAndItsWindowToIdle)
{
    workThenGoIdleAfter1000Seconds();

    // The second of the tick that notices idleness was never booked: the nodes give back only
    // what they were given, and every second of the 1000 is counted exactly once.
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 100.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 900.0);
    EXPECT_EQ(tracker->activeStoreApp(), app(idleName()));
}

TEST_F(TimeTrackerIdleCorrection, AppInFrontShorterThanTheIdleStretchGivesBackItsIdleTimeOnly)
{
    startCountingInEditor();
    runFor(300);
    desktop.bringToFront(TerminalPid); // came up by itself, no input
    runFor(599);
    ASSERT_DOUBLE_EQ(appTime(terminalName()), 599.0);
    runFor(1);

    ASSERT_TRUE(tracker->wasIdle());
    // The terminal came up during the idle stretch: all of its time was idle. The editor keeps
    // what it was given before the switch, so "Idle" gains only the terminal's share.
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 300.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 300.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 600.0);
}

TEST_F(TimeTrackerIdleCorrection, StartThenNoInputCountsTheWholeStretchOnceAsIdle)
{
    startCountingInEditor();
    runFor(899);
    ASSERT_FALSE(tracker->wasIdle());
    runFor(1);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(editorName()), 0.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 0.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 900.0);
}

TEST_F(TimeTrackerIdleCorrection, NoNodeGoesBelowZero)
{
    startCountingInEditor();
    runFor(100);
    desktop.input();
    runFor(500);
    // A window that comes up by itself after the last input.
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("popup"));
    runFor(399);
    ASSERT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("popup")), 399.0);
    runFor(1);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("popup")), 0.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 600.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 900.0);
}

TEST_F(TimeTrackerIdleCorrection, TicksWhileIdleGoToIdleAndNoWindowGains)
{
    workThenGoIdleAfter1000Seconds();
    const double windowsBefore = allWindowTime();
    runFor(30);
    desktop.setWindowTitle(WindowElement(1), QStringLiteral("renamed while away"));
    runFor(30);

    EXPECT_DOUBLE_EQ(appTime(idleName()), 960.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
    EXPECT_DOUBLE_EQ(allWindowTime(), windowsBefore);
    EXPECT_EQ(window(editorName(), QStringLiteral("renamed while away")), nullptr);
    EXPECT_EQ(windowCount(idleName()), 0);
}

TEST_F(TimeTrackerIdleCorrection, FirstActiveTickMakesTheFrontAppActiveAgain)
{
    workThenGoIdleAfter1000Seconds();
    runFor(30);
    desktop.input();
    runFor(1);

    EXPECT_FALSE(tracker->wasIdle());
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    EXPECT_DOUBLE_EQ(appTime(idleName()), 931.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);

    runFor(5);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 931.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 105.0);
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 1);
}

TEST_F(TimeTrackerIdleCorrection, SwitchWhileIdleMakesTheNewAppActive)
{
    workThenGoIdleAfter1000Seconds();
    runFor(10);
    desktop.input();
    desktop.bringToFront(BrowserPid);

    EXPECT_FALSE(tracker->wasIdle());
    EXPECT_EQ(tracker->activeStoreApp(), app(browserName()));
    EXPECT_EQ(desktop.attachedObserverCount(BrowserPid), 1);
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 0);

    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 3.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 910.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
}

TEST_F(TimeTrackerIdleCorrection, AnAppComingUpWhileTheUserIsAwayDoesNotCountTheStretchTwice)
{
    workThenGoIdleAfter1000Seconds();
    runFor(300);
    desktop.bringToFront(BrowserPid); // a window steals the focus; nobody is back
    runFor(10);

    ASSERT_TRUE(tracker->wasIdle());
    // 1200 s away in all: 900 moved at first, 300 by ticks, and the browser's 10 s.
    EXPECT_NEAR(appTime(idleName()), 1210.0, 1.0);
    EXPECT_NEAR(appTime(browserName()), 0.0, 1.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
}

TEST_F(TimeTrackerIdleCorrection, AnUnobservableAppComingUpWhileTheUserIsAwayDoesNotCountTheStretchTwice)
{
    // Its windows cannot be watched, so the switch leaves the start of the editor's stretch
    // in place; time already counted as idle must still not move again.
    desktop.setObserverFailure(BrowserPid, true);
    workThenGoIdleAfter1000Seconds();
    runFor(300);
    desktop.bringToFront(BrowserPid);
    runFor(10);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_NEAR(appTime(idleName()), 1210.0, 1.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
}

TEST_F(TimeTrackerIdleCorrection, IdlenessInAnAppWithoutReadableWindowsLeavesTheLastAppsWindowAlone)
{
    desktop.addApplication(TerminalPid, terminalName(), /*accessible=*/false);
    startCountingInEditor();
    runFor(500);
    desktop.input();
    desktop.bringToFront(TerminalPid);
    runFor(900);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 500.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 500.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 900.0);
}

TEST_F(TimeTrackerIdleCorrection, ScreenSaverAfterIdlenessDoesNotCountTheStretchTwice)
{
    desktop.addApplication(404, QStringLiteral("ScreenSaverEngine"), /*accessible=*/false);
    workThenGoIdleAfter1000Seconds();
    runFor(600);
    desktop.bringToFront(404);
    runFor(600);

    EXPECT_NEAR(appTime(idleName()), 2100.0, 1.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
}

TEST_F(TimeTrackerIdleCorrection, NoWindowIsBookedUnderIdle)
{
    workThenGoIdleAfter1000Seconds();
    runFor(30);
    // Another window of the editor comes up while the user is away; then the user is back.
    desktop.setMainWindow(EditorPid, WindowElement(9), QStringLiteral("reminder"));
    runFor(30);
    desktop.input();
    runFor(5);

    EXPECT_EQ(windowCount(idleName()), 0);
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("reminder")), 5.0, 1.0);
}

// --- nothing from before counting started ------------------------------------------------------------

class TimeTrackerIdleBeforeCounting : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerIdleBeforeCounting, StartAfterALongBreakMovesOnlyTheSecondsSinceStart)
{
    startCountingInEditor();
    runFor(100);
    tracker->setIsRunning(false);
    clock.advance(3 * 3600); // away, without touching anything
    tracker->setIsRunning(true);
    tick(); // the controller ticks at once when counting starts

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(idleName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);

    runFor(5);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 5.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 100.0);
}

TEST_F(TimeTrackerIdleBeforeCounting, FirstStartAfterHoursAwayMovesOnlyTheSecondsSinceStart)
{
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt"));
    desktop.bringToFront(EditorPid);
    clock.advance(5 * 3600);
    tracker->setIsRunning(true);
    runFor(2);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(idleName()), 2.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 0.0);
}

TEST_F(TimeTrackerIdleBeforeCounting, IdleStretchStartingBeforeStartIsCut)
{
    startCountingInEditor();
    runFor(10);
    tracker->setIsRunning(false);
    clock.advance(600); // the last input was 610 s ago
    tracker->setIsRunning(true);
    runFor(289);
    ASSERT_FALSE(tracker->wasIdle());
    runFor(1); // 900 s without input, 290 s after Start

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(idleName()), 290.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
}

TEST_F(TimeTrackerIdleBeforeCounting, RestartAfterWakeMovesOnlyTheSecondsSinceWake)
{
    startCountingInEditor();
    runFor(10);
    tracker->setIsRunning(false);
    clock.advance(8 * 3600);
    tracker->awakeFromSleep();
    tracker->setIsRunning(true);
    runFor(3);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(idleName()), 3.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
}

TEST_F(TimeTrackerIdleBeforeCounting, WakeAloneAlsoLimitsTheIdleStretch)
{
    startCountingInEditor();
    runFor(10);
    clock.advance(2 * 3600); // asleep without counting being switched off
    tracker->awakeFromSleep();
    runFor(5);
    desktop.bringToFront(BrowserPid); // comes up by itself, nobody touched anything
    runFor(1);

    ASSERT_TRUE(tracker->wasIdle());
    // Only the browser's second can be taken back; nothing from before the wake moves.
    EXPECT_DOUBLE_EQ(appTime(idleName()), 1.0);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 0.0);
}

TEST_F(TimeTrackerIdleBeforeCounting, BecomingIdleWhilePausedBooksNothingAndCreatesNoNode)
{
    startCountingInEditor();
    runFor(10);
    tracker->setIsRunning(false);
    clock.advance(1000);
    tick();
    runFor(100);

    EXPECT_TRUE(tracker->wasIdle());
    EXPECT_EQ(app(idleName()), nullptr);
    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 10.0);

    desktop.input();
    tracker->setIsRunning(true);
    EXPECT_FALSE(tracker->wasIdle());
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    runFor(2);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 12.0);
    EXPECT_EQ(app(idleName()), nullptr);
}

TEST_F(TimeTrackerIdleBeforeCounting, BecomingIdleBeforeTheFirstStartCreatesNothing)
{
    desktop.bringToFront(EditorPid);
    clock.advance(2000);
    tick();

    EXPECT_TRUE(tracker->wasIdle());
    EXPECT_TRUE(tracker->fullTimeSet().empty());
    EXPECT_TRUE(noticesOf(ObservedProperty::TimeSet).isEmpty());
}
