// Back from time away: "What were you doing?" waits beside what the user came back to, answers
// the stretches ticked with a typed or a recent answer, keeps them as Idle on Escape; the
// preferences switch it and the never-idle exceptions.

#include "MainWindowFixture.h"
#include "shell/OutlineModel.h"
#include "shell/gui/AwayQuestionWindow.h"
#include "shell/gui/PrefWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

class TimeAwayGuiTest : public MainWindowFixture
{
protected:
    // Works a while, is away `minutes`, and comes back.
    void awayFor(int minutes)
    {
        desktop.input();
        scheduler.advance(20);
        scheduler.advance(60.0 * minutes);
        desktop.input();
        scheduler.advance(2);
    }
};

TEST_F(TimeAwayGuiTest, TheQuestionWaitsBesideTheUsersWindowAndAnswersWhatIsTicked)
{
    ASSERT_NO_FATAL_FAILURE(writeSettings({{SettingsKey::MinutesUntilIdle, 1}}));
    openWindow();
    controller->startTimer();
    awayFor(3);
    AwayQuestionWindow &question = window->awayQuestion();
    ASSERT_TRUE(question.isVisible());
    EXPECT_TRUE(question.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(question.questionLabel()->text().startsWith(QStringLiteral("Away from "))) << question.questionLabel()->text().toStdString();
    EXPECT_TRUE(question.questionLabel()->text().endsWith(QStringLiteral("(3 min). What was it?"))) << question.questionLabel()->text().toStdString();
    EXPECT_FALSE(question.stretchList()->isVisible());

    // A second stretch waits with the first; the answer goes to the one left ticked.
    awayFor(5);
    ASSERT_EQ(question.stretchList()->count(), 2);
    EXPECT_TRUE(question.stretchList()->isVisible());
    EXPECT_TRUE(question.questionLabel()->text().startsWith(QStringLiteral("Away 2 times"))) << question.questionLabel()->text().toStdString();
    const double idleBefore = appTime(QStringLiteral("Idle"));
    const double second = controller->tracker().unansweredAway().at(1).seconds;
    question.stretchList()->item(0)->setCheckState(Qt::Unchecked);
    QTest::keyClicks(question.labelField(), QStringLiteral("Meeting"));
    QTest::keyClick(question.labelField(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Meeting")), second);
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Idle")), idleBefore - second);
    EXPECT_TRUE(shownApplications().contains(QStringLiteral("Meeting")));
    EXPECT_TRUE(window->outlineModel()->data(rowOf(QStringLiteral("Meeting")), Qt::ToolTipRole).toString().contains(QStringLiteral("time away")));
    ASSERT_EQ(controller->tracker().unansweredAway().size(), 1);

    // The answer is one click away next time; Escape keeps what is left as Idle.
    ASSERT_EQ(question.recentButtons().size(), 1);
    EXPECT_EQ(question.recentButtons().first()->text(), QStringLiteral("Meeting"));
    QTest::keyClick(&question, Qt::Key_Escape);
    EXPECT_TRUE(controller->tracker().unansweredAway().isEmpty());
    EXPECT_FALSE(question.isVisible());
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Idle")), idleBefore - second);

    awayFor(2);
    ASSERT_TRUE(question.isVisible());
    question.recentButtons().first()->click();
    EXPECT_FALSE(question.isVisible());
    EXPECT_GT(appTime(QStringLiteral("Meeting")), second);
}

TEST_F(TimeAwayGuiTest, ThePreferencesSwitchTheQuestionAndTheNeverIdleExceptions)
{
    openWindow();
    PrefWindow &prefs = window->prefWindow();
    prefs.makeKeyAndOrderFront();
    // On for a new user.
    EXPECT_TRUE(prefs.askAboutTimeAwayBox()->isChecked());
    EXPECT_TRUE(prefs.neverIdleWhileInhibitedBox()->isChecked());
    EXPECT_TRUE(prefs.neverIdleApplicationsBox()->isChecked());
    EXPECT_TRUE(prefs.neverIdleApplicationsEdit()->toPlainText().contains(QStringLiteral("LibreOffice Impress")));

    prefs.askAboutTimeAwayBox()->click();
    EXPECT_FALSE(settings->boolValue(SettingsKey::AskAboutTimeAway));
    EXPECT_FALSE(prefs.minutesAwayBeforeAskingBox()->isEnabled());
    prefs.neverIdleWhileInhibitedBox()->click();
    EXPECT_FALSE(settings->boolValue(SettingsKey::NeverIdleWhileInhibited));
    prefs.neverIdleApplicationsEdit()->setPlainText(QStringLiteral("Slides\n\n  Player  \n"));
    EXPECT_EQ(settings->textListValue(SettingsKey::NeverIdleApplications), (QStringList{QStringLiteral("Slides"), QStringLiteral("Player")}));

    // The list is honoured: with the editor on it, the editor in front never goes idle.
    prefs.neverIdleApplicationsEdit()->setPlainText(editorName());
    controller->startTimer();
    scheduler.advance(20 * 60);
    EXPECT_FALSE(controller->isIdle());
    // Without the list, idle counts from the moment the editor stopped keeping the time awake.
    prefs.neverIdleApplicationsBox()->click();
    EXPECT_FALSE(controller->isIdle());
    scheduler.advance(15 * 60);
    EXPECT_TRUE(controller->isIdle());
}
