// Applications whose windows cannot be read, and the question asked at start when window
// titles cannot be read at all.

#include "TimeTrackerFixture.h"

// --- applications offering no window access ----------------------------------------------------------

class TimeTrackerWithoutWindowAccess : public TimeTrackerReadyFixture
{
protected:
    static constexpr qint64 LockedPid = 707;
    static QString lockedName() { return QStringLiteral("Locked"); }

    TimeTrackerWithoutWindowAccess()
    {
        desktop.addApplication(LockedPid, lockedName(), false);
        desktop.setMainWindow(LockedPid, WindowElement(70), QStringLiteral("secret.txt"));
    }
};

TEST_F(TimeTrackerWithoutWindowAccess, NoWindowNodesButTheApplicationTimeIsBooked)
{
    startCountingInEditor();
    runFor(2);
    desktop.bringToFront(LockedPid);
    EXPECT_FALSE(tracker->isObservingWindows());
    EXPECT_EQ(desktop.attachedObserverCount(LockedPid), 0);
    runFor(5);
    desktop.setMainWindow(LockedPid, WindowElement(71), QStringLiteral("other.txt"));
    runFor(3);

    EXPECT_DOUBLE_EQ(appTime(lockedName()), 8.0);
    EXPECT_EQ(windowCount(lockedName()), 0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 2.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 2.0);
    EXPECT_EQ(windowCount(editorName()), 1);
}

TEST_F(TimeTrackerWithoutWindowAccess, SwitchingOnAfterwardsObservesTheNextApplication)
{
    startCountingInEditor();
    desktop.bringToFront(LockedPid);
    runFor(2);
    desktop.bringToFront(BrowserPid);

    EXPECT_TRUE(tracker->isObservingWindows());
    EXPECT_EQ(desktop.attachedObserverCount(BrowserPid), 1);
    desktop.setMainWindow(BrowserPid, WindowElement(20), QStringLiteral("Inbox"));
    runFor(1);
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Inbox")), 1.0);
    EXPECT_DOUBLE_EQ(appTime(lockedName()), 2.0);
}

TEST_F(TimeTrackerWithoutWindowAccess, IdlenessSoonAfterMeasuresFromThePreviousApplicationsStart)
{
    // An editor without windows, so only application nodes are involved.
    desktop.bringToFront(EditorPid);
    desktop.input();
    tracker->setIsRunning(true);
    runFor(500);
    desktop.input();
    desktop.bringToFront(LockedPid);
    runFor(899);
    ASSERT_FALSE(tracker->wasIdle());
    ASSERT_DOUBLE_EQ(appTime(lockedName()), 899.0);
    runFor(1);

    // Measured from the editor's start 1400 s ago, the stretch is longer than the 900 s
    // of idleness, so the application in front gives it back, down to zero.
    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(lockedName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 500.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 900.0);
}

TEST_F(TimeTrackerWithoutWindowAccess, FailedObserverLeavesWindowTimeToTheTicks)
{
    desktop.setObserverFailure(BrowserPid, true);
    desktop.setMainWindow(BrowserPid, WindowElement(20), QStringLiteral("Inbox @ Home"));
    startCountingInEditor();
    runFor(2);
    desktop.bringToFront(BrowserPid);

    EXPECT_FALSE(tracker->isObservingWindows());
    EXPECT_EQ(desktop.attachedObserverCount(BrowserPid), 0);
    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 3.0);
    // The window's title can still be read, and each tick books to it.
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Inbox")), 3.0);

    // Window changes between ticks are not reported: the tick that sees the change books its
    // second to the window that was main before it.
    clock.advance(0.5);
    desktop.setMainWindow(BrowserPid, WindowElement(21), QStringLiteral("Drafts"));
    EXPECT_EQ(window(browserName(), QStringLiteral("Drafts")), nullptr);
    clock.advance(0.5);
    tick();
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Drafts")), 0.0);
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Inbox")), 4.0);
    runFor(1);
    EXPECT_DOUBLE_EQ(windowTime(browserName(), QStringLiteral("Drafts")), 1.0);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 5.0);
}

TEST_F(TimeTrackerWithoutWindowAccess, FailedObserverKeepsTheStartOfThePreviousApplication)
{
    desktop.setObserverFailure(BrowserPid, true);
    desktop.bringToFront(EditorPid);
    desktop.input();
    tracker->setIsRunning(true);
    runFor(500);
    desktop.input();
    desktop.bringToFront(BrowserPid);
    runFor(900);

    ASSERT_TRUE(tracker->wasIdle());
    EXPECT_DOUBLE_EQ(appTime(browserName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 500.0);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 900.0);
}

// --- the question asked at start ------------------------------------------------------------------------

class TimeTrackerAccessibilityAlert : public TimeTrackerFixture
{
protected:
    TimeTrackerAccessibilityAlert() { desktop.setAccessEnabled(false); }

    int isAXEnabledNotices() const { return int(noticesOf(ObservedProperty::IsAXEnabled).size()); }
};

TEST_F(TimeTrackerAccessibilityAlert, AskedWhenTitlesCannotBeRead)
{
    questions.queueAnswer(QuestionAnswer::Other);
    createTracker();

    ASSERT_EQ(questions.asked().size(), 1);
    const Question &question = questions.asked().front();
    EXPECT_TRUE(question.message.contains(QStringLiteral("assistive devices")));
    EXPECT_EQ(question.defaultButton, QStringLiteral("Open System Preferences"));
    EXPECT_EQ(question.alternateButton, QStringLiteral("Disable and Don't Ask Again"));
    EXPECT_EQ(question.otherButton, QStringLiteral("Ignore This Time"));
    EXPECT_FALSE(tracker->isAXEnabled());
    EXPECT_FALSE(tracker->trackDocumentTiming());
}

TEST_F(TimeTrackerAccessibilityAlert, OpenSettingsAnswerOpensThemAndWaitsForAccess)
{
    questions.queueAnswer(QuestionAnswer::Default);
    createTracker();

    EXPECT_EQ(desktop.accessibilitySettingsOpened(), 1);
    EXPECT_TRUE(tracker->waitForUniversalAccessChange());
    EXPECT_FALSE(tracker->trackDocumentTiming());
    EXPECT_TRUE(settings.userValues().isEmpty());
}

TEST_F(TimeTrackerAccessibilityAlert, DisableAnswerStopsWindowTrackingForGood)
{
    questions.queueAnswer(QuestionAnswer::Alternate);
    createTracker();

    EXPECT_EQ(settings.userValues().value(SettingsKey::EnableDocumentMonitoring), QVariant(false));
    EXPECT_EQ(desktop.accessibilitySettingsOpened(), 0);
    EXPECT_FALSE(tracker->waitForUniversalAccessChange());

    createTracker();
    EXPECT_EQ(questions.asked().size(), 1);

    // Even with access on, windows are no longer tracked.
    desktop.setAccessEnabled(true);
    createTracker();
    EXPECT_EQ(questions.asked().size(), 1);
    EXPECT_FALSE(tracker->trackDocumentTiming());
    startCountingInEditor();
    runFor(3);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3.0);
    EXPECT_EQ(windowCount(editorName()), 0);
}

TEST_F(TimeTrackerAccessibilityAlert, IgnoreAnswerChangesNothingAndAsksAgainNextTime)
{
    questions.queueAnswer(QuestionAnswer::Other);
    createTracker();

    EXPECT_EQ(desktop.accessibilitySettingsOpened(), 0);
    EXPECT_FALSE(tracker->waitForUniversalAccessChange());
    EXPECT_TRUE(settings.userValues().isEmpty());

    createTracker();
    EXPECT_EQ(questions.asked().size(), 2);
}

TEST_F(TimeTrackerAccessibilityAlert, NotAskedWhenAccessIsOn)
{
    desktop.setAccessEnabled(true);
    createTracker();

    EXPECT_TRUE(questions.asked().isEmpty());
    EXPECT_TRUE(tracker->isAXEnabled());
    EXPECT_TRUE(tracker->trackDocumentTiming());
}

TEST_F(TimeTrackerAccessibilityAlert, NotAskedWhenDocumentMonitoringIsOff)
{
    settings.setValue(SettingsKey::EnableDocumentMonitoring, false);
    createTracker();

    EXPECT_TRUE(questions.asked().isEmpty());
    EXPECT_FALSE(tracker->trackDocumentTiming());
}

TEST_F(TimeTrackerAccessibilityAlert, WithoutAccessOnlyApplicationsAreTimed)
{
    createTracker();
    startCountingInEditor();
    runFor(4);

    EXPECT_DOUBLE_EQ(appTime(editorName()), 4.0);
    EXPECT_EQ(windowCount(editorName()), 0);
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 0);
}

TEST_F(TimeTrackerAccessibilityAlert, AccessTurnedOnIsUsedAtTheNextApplicationChange)
{
    questions.queueAnswer(QuestionAnswer::Default);
    createTracker();
    startCountingInEditor();
    runFor(2);
    EXPECT_EQ(isAXEnabledNotices(), 0);

    desktop.setAccessEnabled(true);
    runFor(1);
    EXPECT_FALSE(tracker->trackDocumentTiming());
    EXPECT_EQ(isAXEnabledNotices(), 0);

    desktop.setMainWindow(BrowserPid, WindowElement(20), QStringLiteral("Inbox"));
    desktop.bringToFront(BrowserPid);
    EXPECT_EQ(noticesOf(ObservedProperty::IsAXEnabled), noticePair(nullptr, ObservedProperty::IsAXEnabled));
    EXPECT_TRUE(tracker->isAXEnabled());
    EXPECT_TRUE(tracker->trackDocumentTiming());
    EXPECT_FALSE(tracker->waitForUniversalAccessChange());
    EXPECT_EQ(desktop.attachedObserverCount(BrowserPid), 1);

    clock.advance(0.5);
    desktop.setMainWindow(BrowserPid, WindowElement(21), QStringLiteral("Drafts"));
    EXPECT_NEAR(windowTime(browserName(), QStringLiteral("Inbox")), 0.5, 1e-9);

    desktop.bringToFront(EditorPid);
    EXPECT_EQ(isAXEnabledNotices(), 2);
}

TEST_F(TimeTrackerAccessibilityAlert, AccessStillOffKeepsWaiting)
{
    questions.queueAnswer(QuestionAnswer::Default);
    createTracker();
    startCountingInEditor();
    desktop.bringToFront(BrowserPid);
    desktop.bringToFront(EditorPid);

    EXPECT_EQ(isAXEnabledNotices(), 0);
    EXPECT_TRUE(tracker->waitForUniversalAccessChange());
    EXPECT_FALSE(tracker->trackDocumentTiming());

    desktop.setAccessEnabled(true);
    desktop.bringToFront(BrowserPid);
    EXPECT_EQ(isAXEnabledNotices(), 2);
    EXPECT_TRUE(tracker->trackDocumentTiming());
}

TEST_F(TimeTrackerAccessibilityAlert, AccessIsRecheckedWhilePaused)
{
    questions.queueAnswer(QuestionAnswer::Default);
    createTracker();
    desktop.setAccessEnabled(true);
    desktop.bringToFront(EditorPid);

    EXPECT_EQ(isAXEnabledNotices(), 2);
    EXPECT_TRUE(tracker->trackDocumentTiming());
    EXPECT_TRUE(tracker->fullTimeSet().empty());

    startCountingInEditor();
    EXPECT_EQ(desktop.attachedObserverCount(EditorPid), 1);
    runFor(1);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 1.0);
}

TEST_F(TimeTrackerAccessibilityAlert, AccessChangeUnnoticedWithoutAVisitToTheSettings)
{
    questions.queueAnswer(QuestionAnswer::Other);
    createTracker();
    startCountingInEditor();
    desktop.setAccessEnabled(true);
    desktop.bringToFront(BrowserPid);

    EXPECT_EQ(isAXEnabledNotices(), 0);
    EXPECT_FALSE(tracker->isAXEnabled());
    EXPECT_FALSE(tracker->trackDocumentTiming());
}

TEST_F(TimeTrackerAccessibilityAlert, OpeningTheSettingsWithAccessOnDoesNotWait)
{
    desktop.setAccessEnabled(true);
    createTracker();
    tracker->openUniversalAccessPreferences();

    EXPECT_EQ(desktop.accessibilitySettingsOpened(), 1);
    EXPECT_FALSE(tracker->waitForUniversalAccessChange());
}
