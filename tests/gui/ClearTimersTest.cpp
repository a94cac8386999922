// Clear Timers: a question over the main window; keeping changes nothing, clearing empties the
// outline, the total and the stored timings.

#include "MainWindowFixture.h"

#include <QAbstractItemModel>
#include <QTreeView>

class ClearTimersTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                           {terminalName(), 120, {}}});
    }

    const QStringList storedRows{editorName(), QStringLiteral("  a.txt"), QStringLiteral("  b.txt"), terminalName()};
};

TEST_F(ClearTimersTest, AsksOverTheWindowWithKeepingAsTheDefault)
{
    openWindow();
    const ModalSeen seen = runAnsweringMessageBoxWithReturn([this] { window->clearTimers(); });

    ASSERT_EQ(seen.count, 1);
    EXPECT_EQ(seen.title, QStringLiteral("Clear Timers"));
    EXPECT_EQ(seen.text, QStringLiteral("Are you sure you wish to clear the timers?"));
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_TRUE(seen.buttons.contains(QStringLiteral("Clear Timers")));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("Keep Current Timers"));
    EXPECT_TRUE(seen.windowModal);
    EXPECT_TRUE(seen.answered);
    // Return pressed the default: nothing was cleared.
    EXPECT_EQ(shownRows(), storedRows);
}

TEST_F(ClearTimersTest, KeepCurrentTimersChangesNothing)
{
    openWindow();
    const ModalSeen seen = runAnsweringMessageBox([this] { window->clearTimers(); }, QStringLiteral("Keep Current Timers"));

    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(shownRows(), storedRows);
    EXPECT_EQ(totalText(), QStringLiteral("00:13:40"));
    EXPECT_EQ(savedAppTimes(), (QMap<QString, double>{{editorName(), 700}, {terminalName(), 120}}));
}

TEST_F(ClearTimersTest, ClearTimersEmptiesTheOutlineTheTotalAndTheStoredTimings)
{
    openWindow();
    const ModalSeen seen = runAnsweringMessageBox([this] { window->clearTimers(); }, QStringLiteral("Clear Timers"));

    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(window->outline()->model()->rowCount(), 0);
    EXPECT_EQ(totalText(), QStringLiteral("00:00:00"));
    // What the next start reads.
    EXPECT_TRUE(savedAppTimes().isEmpty());
}
