// The status line tells the user when Kestrum times applications only, and why.

#include "MainWindowFixture.h"

#include <QStatusBar>

using StatusLineTest = MainWindowFixture;

TEST_F(StatusLineTest, SaysWhenWindowTitlesCannotBeRead)
{
    desktop.setAccessEnabled(false);
    openWindow();
    ASSERT_FALSE(controller->tracker().trackDocumentTiming());
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("Window titles cannot be read")))
        << window->statusBar()->currentMessage().toStdString();
}

TEST_F(StatusLineTest, SaysThatWindowTimingIsOffWhenTheUserTurnedItOff)
{
    SettingsStore earlierRun;
    earlierRun.load();
    earlierRun.setValue(SettingsKey::EnableDocumentMonitoring, false);
    ASSERT_TRUE(earlierRun.synchronize());
    openWindow();
    ASSERT_FALSE(controller->tracker().trackDocumentTiming());
    const QString message = window->statusBar()->currentMessage();
    EXPECT_FALSE(message.contains(QStringLiteral("cannot be read"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("turned off"))) << message.toStdString();
}

TEST_F(StatusLineTest, SaysNothingAboutTitlesWhenTheyCanBeRead)
{
    openWindow();
    ASSERT_TRUE(controller->tracker().trackDocumentTiming());
    EXPECT_FALSE(window->statusBar()->currentMessage().contains(QStringLiteral("Window titles")))
        << window->statusBar()->currentMessage().toStdString();
}
