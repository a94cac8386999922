// The status line tells the user when Kestrum times applications only, and why, and when a
// periodic save failed.

#include "MainWindowFixture.h"

#include <QFile>
#include <QLabel>
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
    ASSERT_NO_FATAL_FAILURE(writeSettings({{SettingsKey::EnableDocumentMonitoring, false}}));
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

TEST_F(StatusLineTest, AFailedPeriodicSaveIsShownAndTheTimingsAreKept)
{
    scheduler.setWallTime(QDateTime(QDate(2026, 12, 10), QTime(18, 0))); // a Thursday
    // A plain file where the folder of the periodic saves should be.
    const QString blocked = home.filePath(QStringLiteral("blocked"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_NO_FATAL_FAILURE(writeSettings({{SettingsKey::SaveTimerPeriodically, true},
                                           {SettingsKey::PeriodicSaveDirectory, blocked},
                                           {SettingsKey::EnableIdleDetection, false}}));

    openWindow();
    pressCountingButton();
    scheduler.advance(3600); // 19:00
    const QString message = window->statusBar()->currentMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("periodic save failed"))) << message.toStdString();
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3600.0);
}

TEST_F(StatusLineTest, ALongMessageIsShownWholeInANarrowAndInAWideWindow)
{
    openWindow();
    const QString message = QStringLiteral("Sleep, session switches and time-zone changes are not followed: the system bus does "
                                           "not answer (it takes the connection but does not answer).");
    window->statusBar()->showMessage(message);
    QList<QLabel *> showing;
    for (QLabel *label : window->statusBar()->findChildren<QLabel *>()) {
        if (label->text() == message)
            showing.append(label);
    }
    ASSERT_EQ(showing.size(), 1);
    for (const QSize size : {QSize(300, 400), QSize(560, 480), QSize(1400, 500)}) {
        resizeWindow(size);
        EXPECT_TRUE(showsAllOf(*showing.constFirst(), *window)) << size.width() << " wide";
        // The outline keeps the room that is left; the status line takes no more than it needs.
        EXPECT_LE(window->statusBar()->height(), 5 * window->statusBar()->fontMetrics().height()) << size.width() << " wide";
    }

    window->statusBar()->clearMessage();
    EXPECT_TRUE(showing.constFirst()->text().isEmpty());
}
