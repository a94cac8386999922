#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

#include <gtest/gtest.h>

TEST(TimeTracker, Smoke)
{
    ManualClock clock;
    FakeDesktop desktop(clock);
    MemorySettings settings;
    FakeQuestionDialog questions;
    IdleTimeReader idle(desktop);
    TimeTracker tracker({desktop, desktop, idle, clock, settings, questions});
    desktop.addApplication(101, QStringLiteral("Editor"));
    desktop.setMainWindow(101, WindowElement(7), QStringLiteral("notes.txt (edited)"));
    desktop.bringToFront(101);
    tracker.setIsRunning(true);
    for (int i = 0; i < 60; ++i) {
        clock.advance(1);
        tracker.updateDisplayTime(false);
    }
    ASSERT_NE(tracker.appForName(QStringLiteral("Editor")), nullptr);
    EXPECT_DOUBLE_EQ(tracker.appForName(QStringLiteral("Editor"))->activeTime(), 60);
}
