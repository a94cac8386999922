// Booking to the front application: switches, pausing, the wall clock, clearing, wake,
// the grand total and the change notices the outline follows.

#include "TimeTrackerFixture.h"

#include <QDateTime>

namespace {

constexpr double kTolerance = 1e-9;

} // namespace

// --- application switches --------------------------------------------------------------------

class TimeTrackerAppSwitch : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerAppSwitch, TimeBeforeTheSwitchGoesToThePreviousAppAndItsWindow)
{
    startCountingInEditor();
    runFor(3);
    clock.advance(0.5);
    desktop.setMainWindow(BrowserPid, WindowElement(2), QStringLiteral("Inbox @ Home"));
    desktop.bringToFront(BrowserPid);

    EXPECT_NEAR(appTime(editorName()), 3.5, kTolerance);
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("notes.txt")), 3.5, kTolerance);
    ASSERT_NE(app(browserName()), nullptr);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 0.0);
    EXPECT_EQ(tracker->activeStoreApp(), app(browserName()));

    runFor(2);
    EXPECT_NEAR(appTime(editorName()), 3.5, kTolerance);
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("notes.txt")), 3.5, kTolerance);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Inbox")), 2.0);
    EXPECT_EQ(windowCount(browserName()), 1);
}

TEST_F(TimeTrackerAppSwitch, SwitchingBackAndForthAddsUpPerApplication)
{
    startCountingInEditor();
    runFor(10);
    desktop.bringToFront(TerminalPid);
    runFor(4);
    desktop.bringToFront(EditorPid);
    runFor(6);
    desktop.bringToFront(TerminalPid);
    runFor(1);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 16.0);
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 5.0);
    EXPECT_EQ(appNames(), QStringList({editorName(), terminalName()}));
}

TEST_F(TimeTrackerAppSwitch, ObserverFollowsTheFrontApplication)
{
    startCountingInEditor();
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 1);
    desktop.bringToFront(BrowserPid);
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 0);
    EXPECT_EQ(desktop.attachedObserverCount(BrowserPid), 1);
}

TEST_F(TimeTrackerAppSwitch, ApplicationsWithTheSameDisplayNameShareOneNode)
{
    constexpr qint64 secondEditorPid = 102;
    desktop.addApplication(secondEditorPid, editorName());
    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(secondEditorPid);
    runFor(7);

    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_EQ(tracker->fullTimeSet().size(), 1u);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 12.0);
}

TEST_F(TimeTrackerAppSwitch, FrontApplicationWithoutANameKeepsThePreviousNodeActive)
{
    constexpr qint64 namelessPid = 404;
    desktop.addApplication(namelessPid, std::nullopt);
    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(namelessPid);
    runFor(3);

    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 8.0);
    EXPECT_EQ(appNames(), QStringList({editorName()}));
}

TEST_F(TimeTrackerAppSwitch, FrontApplicationWithAnEmptyNameGetsNoNode)
{
    constexpr qint64 blankPid = 405;
    desktop.addApplication(blankPid, QString());
    startCountingInEditor();
    runFor(2);
    desktop.bringToFront(blankPid);
    runFor(3);

    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 5.0);
    EXPECT_EQ(tracker->fullTimeSet().size(), 1u);
}

TEST_F(TimeTrackerAppSwitch, ScreenSaverTimeGoesToIdleAndItGetsNoNodeOfItsOwn)
{
    constexpr qint64 screenSaverPid = 500;
    desktop.addApplication(screenSaverPid, QStringLiteral("ScreenSaverEngine"));
    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(screenSaverPid);
    runFor(20);
    desktop.bringToFront(EditorPid);
    runFor(2);
    desktop.bringToFront(screenSaverPid);
    runFor(3);

    EXPECT_DOUBLE_EQ(appTime(idleName()), 23.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 7.0);
    EXPECT_EQ(app(QStringLiteral("ScreenSaverEngine")), nullptr);
    EXPECT_EQ(appNames(), QStringList({editorName(), idleName()}));
}

TEST_F(TimeTrackerAppSwitch, SwitchWhilePausedBooksNothingAndChangesNothing)
{
    startCountingInEditor();
    runFor(4);
    tracker->setIsRunning(false);
    clock.advance(30);
    desktop.bringToFront(BrowserPid);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 4.0);
    EXPECT_EQ(app(browserName()), nullptr);
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
}

// Without the desktop's switch event, the front application is read when counting starts
// and when the user comes back from idleness.
class TimeTrackerWithoutSwitchEvents : public TimeTrackerFixture
{
protected:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message) { s_messages.append(message); }

    static inline QStringList s_messages;
};

TEST_F(TimeTrackerWithoutSwitchEvents, FrontApplicationIsReadAtStartAndOnReturnFromIdleness)
{
    desktop.setApplicationSwitchSubscriptionFails(true);
    s_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(&TimeTrackerWithoutSwitchEvents::collect);
    createTracker();
    qInstallMessageHandler(previous);
    EXPECT_EQ(s_messages, QStringList({QStringLiteral("Could not install app change handler.")}));

    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(BrowserPid);
    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 8.0);
    EXPECT_EQ(app(browserName()), nullptr);

    runFor(900);
    ASSERT_TRUE(tracker->wasIdle());
    desktop.input();
    runFor(1);
    EXPECT_EQ(tracker->activeStoreApp(), app(browserName()));
    runFor(2);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 2.0);
}

// --- pausing and starting ----------------------------------------------------------------------

class TimeTrackerPauseAndStart : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerPauseAndStart, PauseDropsTheFractionSinceTheLastTick)
{
    startCountingInEditor();
    runFor(3);
    clock.advance(0.75);
    tracker->setIsRunning(false);

    EXPECT_FALSE(tracker->isRunning());
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 3.0);
    // Pausing leaves the observation as it is.
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 1);
}

TEST_F(TimeTrackerPauseAndStart, NothingIsBookedForThePauseToTheAppOrAnyWindow)
{
    startCountingInEditor();
    runFor(10);
    tracker->setIsRunning(false);
    for (int i = 0; i < 5; ++i) {
        clock.advance(600);
        desktop.input();
        tick();
    }
    tracker->setIsRunning(true);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 10.0);
    EXPECT_DOUBLE_EQ(allWindowTime(), 10.0);

    runFor(2);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 12.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 12.0);
}

TEST_F(TimeTrackerPauseAndStart, WindowChangesWhilePausedBookNothing)
{
    startCountingInEditor();
    runFor(2);
    tracker->setIsRunning(false);
    clock.advance(100);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("todo.txt"));
    clock.advance(100);
    desktop.notifyFocusedWindowChanged(EditorPid);

    EXPECT_EQ(window(editorName(), QStringLiteral("todo.txt")), nullptr);
    EXPECT_DOUBLE_EQ(allWindowTime(), 2.0);

    tracker->setIsRunning(true);
    EXPECT_DOUBLE_EQ(allWindowTime(), 2.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 2.0);
    runFor(1);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("todo.txt")), 1.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 2.0);
}

TEST_F(TimeTrackerPauseAndStart, StartMakesTheFrontApplicationActive)
{
    startCountingInEditor();
    runFor(1);
    tracker->setIsRunning(false);
    desktop.bringToFront(TerminalPid);
    clock.advance(50);
    tracker->setIsRunning(true);

    EXPECT_EQ(tracker->activeStoreApp(), app(terminalName()));
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 1.0);
    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 3.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 1.0);
}

TEST_F(TimeTrackerPauseAndStart, NothingCountsBeforeTheFirstStart)
{
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("notes.txt"));
    desktop.bringToFront(EditorPid);
    runFor(30);

    EXPECT_FALSE(tracker->isRunning());
    EXPECT_TRUE(tracker->fullTimeSet().empty());
    EXPECT_EQ(tracker->activeStoreApp(), nullptr);
}

// --- the wall clock ------------------------------------------------------------------------------

class TimeTrackerWallClock : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerWallClock, JumpForwardWhileCountingBooksNothingExtra)
{
    startCountingInEditor();
    runFor(5);
    clock.setWallTime(clock.wallNow().addDays(3));
    runFor(5);
    clock.setWallTime(clock.wallNow().addSecs(7200));
    clock.advance(0.5);
    desktop.bringToFront(BrowserPid);

    EXPECT_NEAR(appTime(editorName()), 10.5, kTolerance);
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("notes.txt")), 10.5, kTolerance);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 0.0);
}

TEST_F(TimeTrackerWallClock, JumpBackwardWhileCountingTakesNothingAway)
{
    startCountingInEditor();
    runFor(5);
    clock.setWallTime(clock.wallNow().addYears(-1));
    runFor(5);
    clock.setWallTime(clock.wallNow().addSecs(-3600));
    clock.advance(0.25);
    desktop.bringToFront(BrowserPid);
    runFor(2);

    EXPECT_NEAR(appTime(editorName()), 10.25, kTolerance);
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("notes.txt")), 10.25, kTolerance);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 2.0);
}

TEST_F(TimeTrackerWallClock, JumpDuringThePauseBooksNothing)
{
    startCountingInEditor();
    runFor(5);
    tracker->setIsRunning(false);
    clock.setWallTime(clock.wallNow().addDays(-2));
    tracker->setIsRunning(true);
    clock.setWallTime(clock.wallNow().addDays(5));
    runFor(1);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 6.0);
}

// --- clearing ---------------------------------------------------------------------------------------

class TimeTrackerReset : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerReset, WhilePausedLeavesAnEmptyStoreWithNoActiveNode)
{
    startCountingInEditor();
    runFor(5);
    tracker->setIsRunning(false);
    tracker->reset();

    EXPECT_TRUE(tracker->fullTimeSet().empty());
    EXPECT_EQ(app(editorName()), nullptr);
    EXPECT_EQ(tracker->activeStoreApp(), nullptr);
    EXPECT_EQ(tracker->activeStoreWindow(), nullptr);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 0.0);
}

TEST_F(TimeTrackerReset, WhilePausedTicksBookNothingUntilStartCreatesTheFrontNodeAtZero)
{
    startCountingInEditor();
    runFor(5);
    tracker->setIsRunning(false);
    tracker->reset();
    runFor(20);
    EXPECT_TRUE(tracker->fullTimeSet().empty());

    tracker->setIsRunning(true);
    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 0.0);
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));

    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 3.0);
}

TEST_F(TimeTrackerReset, WhileCountingCreatesTheFrontNodeAtZeroAtOnce)
{
    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(BrowserPid);
    runFor(5);
    clock.advance(0.5);
    tracker->reset();

    EXPECT_EQ(appNames(), QStringList({browserName()}));
    EXPECT_DOUBLE_EQ(appTime(browserName()), 0.0);
    EXPECT_EQ(windowCount(browserName()), 0);
    EXPECT_EQ(tracker->activeStoreApp(), app(browserName()));
    EXPECT_TRUE(tracker->isRunning());

    runFor(2);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 2.0);
    EXPECT_EQ(appNames(), QStringList({browserName()}));
}

TEST_F(TimeTrackerReset, WhileCountingTheSameMainWindowStillCollectsWindowTime)
{
    startCountingInEditor();
    runFor(5);
    tracker->reset();
    runFor(4);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 4.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 4.0);
    EXPECT_EQ(windowCount(editorName()), 1);
}

TEST_F(TimeTrackerReset, WhilePausedTheSameMainWindowCollectsWindowTimeAfterStart)
{
    startCountingInEditor();
    runFor(5);
    tracker->setIsRunning(false);
    tracker->reset();
    tracker->setIsRunning(true);
    runFor(2);

    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 2.0);
}

TEST_F(TimeTrackerReset, ASwitchAfterResetBooksNothingForTheDiscardedNodes)
{
    startCountingInEditor();
    runFor(5);
    clock.advance(0.5);
    tracker->reset();
    clock.advance(0.25);
    desktop.bringToFront(BrowserPid);

    EXPECT_NEAR(appTime(editorName()), 0.25, kTolerance);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 0.0);
    EXPECT_EQ(appNames(), QStringList({browserName(), editorName()}));
}

// --- sleep and wake ------------------------------------------------------------------------------

class TimeTrackerWake : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerWake, RestartAfterWakeBooksNothingForTheSleepAndIsActiveAtOnce)
{
    startCountingInEditor();
    runFor(10);
    tracker->setIsRunning(false); // going to sleep
    clock.advance(8 * 3600);
    tracker->awakeFromSleep();
    EXPECT_TRUE(tracker->wasIdle());
    desktop.input();
    notices.clear();
    tracker->setIsRunning(true);

    EXPECT_FALSE(tracker->wasIdle());
    EXPECT_EQ(tracker->activeStoreApp(), app(editorName()));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 10.0);
    EXPECT_EQ(app(idleName()), nullptr);
    EXPECT_TRUE(noticesOf(ObservedProperty::TimeSet).isEmpty());
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 1);

    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 13.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 13.0);
    EXPECT_EQ(app(idleName()), nullptr);
}

TEST_F(TimeTrackerWake, WindowNotificationsAfterWakeReachTheTrackerOnce)
{
    startCountingInEditor();
    runFor(1);
    tracker->setIsRunning(false);
    clock.advance(3600);
    tracker->awakeFromSleep();
    desktop.input();
    tracker->setIsRunning(true);

    clock.advance(0.5);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("todo.txt"));
    EXPECT_NEAR(windowTime(editorName(), QStringLiteral("notes.txt")), 1.5, kTolerance);
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 1);
}

TEST_F(TimeTrackerWake, AnotherApplicationInFrontAfterWakeBecomesActive)
{
    startCountingInEditor();
    runFor(10);
    tracker->setIsRunning(false);
    clock.advance(3600);
    desktop.bringToFront(TerminalPid);
    clock.advance(3600);
    tracker->awakeFromSleep();
    desktop.input();
    tracker->setIsRunning(true);

    EXPECT_EQ(tracker->activeStoreApp(), app(terminalName()));
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
    EXPECT_EQ(desktop.attachedObserverCount(TerminalPid), 1);
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 0);
    runFor(2);
    EXPECT_DOUBLE_EQ(appTime(terminalName()), 2.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 10.0);
}

// --- the grand total ------------------------------------------------------------------------------

class TimeTrackerTotalTime : public TimeTrackerReadyFixture
{
protected:
    // Editor 10 s, "idle" (an ordinary application) 5 s, the screen saver ("Idle") 7 s.
    void collectTimes()
    {
        desktop.addApplication(600, QStringLiteral("idle"));
        desktop.addApplication(500, QStringLiteral("ScreenSaverEngine"));
        startCountingInEditor();
        runFor(10);
        desktop.bringToFront(600);
        runFor(5);
        desktop.bringToFront(500);
        runFor(7);
        tracker->setIsRunning(false);
    }
};

TEST_F(TimeTrackerTotalTime, EmptyStoreIsZero)
{
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 0.0);
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 0.0);
}

TEST_F(TimeTrackerTotalTime, IdleIsLeftOutByDefaultButLowerCaseIdleCounts)
{
    collectTimes();
    ASSERT_DOUBLE_EQ(appTime(QStringLiteral("idle")), 5.0);
    ASSERT_DOUBLE_EQ(appTime(idleName()), 7.0);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 15.0);
}

TEST_F(TimeTrackerTotalTime, IdleCountsWhenIncludedInTheSum)
{
    collectTimes();
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 22.0);
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, false);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 15.0);
}

TEST_F(TimeTrackerTotalTime, WindowTimeIsNotAddedOnTop)
{
    startCountingInEditor();
    runFor(10);
    ASSERT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 10.0);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 10.0);
}

TEST_F(TimeTrackerTotalTime, FollowsTheCountingApplicationAndAChangeToAnother)
{
    collectTimes();
    ASSERT_DOUBLE_EQ(tracker->totalTime(), 15.0);
    tracker->setIsRunning(true);
    runFor(3); // the screen saver is still in front: "Idle" counts on
    app(QStringLiteral("idle"))->addTimeInterval(2.0);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 17.0);
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 27.0);
    runFor(1);
    EXPECT_DOUBLE_EQ(tracker->totalTime(), 28.0);
}

// --- change notices -------------------------------------------------------------------------------

class TimeTrackerNotices : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerNotices, ANewApplicationNodeIsAnnouncedOnce)
{
    startCountingInEditor();
    runFor(1);
    notices.clear();
    desktop.bringToFront(BrowserPid);

    EXPECT_EQ(noticesOf(ObservedProperty::TimeSet), noticePair(nullptr, ObservedProperty::TimeSet));
}

TEST_F(TimeTrackerNotices, SwitchingToAKnownApplicationChangesNoSet)
{
    startCountingInEditor();
    desktop.bringToFront(BrowserPid);
    runFor(1);
    notices.clear();
    desktop.bringToFront(EditorPid);

    EXPECT_TRUE(noticesOf(ObservedProperty::TimeSet).isEmpty());
}

TEST_F(TimeTrackerNotices, ResetWhilePausedIsAnnouncedOnce)
{
    startCountingInEditor();
    runFor(2);
    tracker->setIsRunning(false);
    notices.clear();
    tracker->reset();

    EXPECT_EQ(noticesOf(ObservedProperty::TimeSet), noticePair(nullptr, ObservedProperty::TimeSet));
}

TEST_F(TimeTrackerNotices, ResetWhileCountingAnnouncesTheEmptyingThenTheNewNode)
{
    startCountingInEditor();
    runFor(2);
    notices.clear();
    tracker->reset();

    EXPECT_EQ(noticesOf(ObservedProperty::TimeSet),
              noticePair(nullptr, ObservedProperty::TimeSet) + noticePair(nullptr, ObservedProperty::TimeSet));
}

TEST_F(TimeTrackerNotices, ATickAnnouncesTheTimeOfTheAppAndItsWindow)
{
    startCountingInEditor();
    runFor(1);
    const TimeStoreNode *editor = app(editorName());
    const TimeStoreNode *notes = window(editorName(), QStringLiteral("notes.txt"));
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(notes, nullptr);
    notices.clear();
    runFor(1);

    EXPECT_EQ(noticesOf(ObservedProperty::ActiveTimeString, editor), noticePair(editor, ObservedProperty::ActiveTimeString));
    EXPECT_EQ(noticesOf(ObservedProperty::ActiveTimeString, notes), noticePair(notes, ObservedProperty::ActiveTimeString));
    EXPECT_EQ(noticesOf(ObservedProperty::ActiveTimeString).size(), 4);
    EXPECT_TRUE(noticesOf(ObservedProperty::TimeSet).isEmpty());
}

TEST_F(TimeTrackerNotices, TheDurationTextFollowsTheBookedTime)
{
    startCountingInEditor();
    runFor(61);
    clock.advance(0.9);
    desktop.bringToFront(BrowserPid);
    EXPECT_EQ(app(editorName())->activeTimeString(), QStringLiteral("00:01:01"));
    EXPECT_EQ(TimeTracker::timeStringForDouble(appTime(editorName())), QStringLiteral("00:01:01"));
}
