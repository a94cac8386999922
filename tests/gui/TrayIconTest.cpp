// The tray icon's menu: its Start/Pause item and the window's button always say the same, and
// its Quit goes through the window's question while counting.

#include "MainWindowFixture.h"
#include "shell/gui/TrayIcon.h"

#include <QAction>
#include <QPushButton>
#include <QSystemTrayIcon>

class TrayIconTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        openWindow();
        tray = std::make_unique<TrayIcon>(*controller, *window);
    }

    void TearDown() override { tray.reset(); }

    std::unique_ptr<TrayIcon> tray;
};

TEST_F(TrayIconTest, TheMenusStartPauseAndTheWindowsButtonAgree)
{
    EXPECT_EQ(tray->countingAction()->text(), QStringLiteral("Start"));
    EXPECT_TRUE(tray->trayIcon()->toolTip().contains(QStringLiteral("paused")));

    tray->countingAction()->trigger();
    EXPECT_TRUE(controller->isTicking());
    EXPECT_EQ(window->countingButton()->text(), QStringLiteral("Pause"));
    EXPECT_EQ(tray->countingAction()->text(), QStringLiteral("Pause"));
    EXPECT_TRUE(tray->trayIcon()->toolTip().contains(QStringLiteral("counting")));

    pressCountingButton();
    EXPECT_FALSE(controller->isTicking());
    EXPECT_EQ(tray->countingAction()->text(), QStringLiteral("Start"));
    EXPECT_TRUE(tray->trayIcon()->toolTip().contains(QStringLiteral("paused")));
}

TEST_F(TrayIconTest, ShowKestrumBringsBackAHiddenWindow)
{
    window->hide();
    tray->showAction()->trigger();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(TrayIconTest, QuitWhileCountingAsksFirstAndRemainOpenKeepsCounting)
{
    tray->countingAction()->trigger();
    questions.queueAnswer(QuestionAnswer::Default); // "Remain Open"
    tray->quitAction()->trigger();
    EXPECT_EQ(questions.asked().size(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(controller->isTicking());
}

TEST_F(TrayIconTest, TheIconsAreDrawn)
{
    // Without the SVG image plugin the tray would show an empty square.
    EXPECT_FALSE(TrayIcon::applicationIcon().pixmap(22, 22).isNull());
    EXPECT_FALSE(TrayIcon::pausedIcon().pixmap(22, 22).isNull());
}
