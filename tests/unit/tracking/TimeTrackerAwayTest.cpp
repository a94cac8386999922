// Time away: coming back from an idle stretch asks what it was, an answer moves exactly that
// stretch's seconds from "Idle" to the entry named, and the exceptions that keep time from
// being idle (a never-idle application in front, an idle inhibitor).

#include "TimeTrackerFixture.h"

namespace {

// Inhibitors as a test sets them.
class ScriptedInhibition : public IdleInhibitionSource
{
public:
    IdleInhibition idleInhibition() override { return now; }
    IdleInhibition now;
};

} // namespace

class TimeAway : public TimeTrackerReadyFixture
{
protected:
    void SetUp() override
    {
        TimeTrackerReadyFixture::SetUp();
        settings.setValue(SettingsKey::MinutesUntilIdle, 2);
        tracker->setAwayQuestionHandler([this] { ++questionChanges; });
        startCountingInEditor();
    }

    // Works `working` seconds, then is away `away` seconds (ticks on), then comes back.
    void workThenAway(int working, int away)
    {
        for (int i = 0; i < working; ++i) {
            desktop.input();
            runFor(1);
        }
        runFor(away);
        desktop.input();
        runFor(1);
    }

    int questionChanges = 0;
};

TEST_F(TimeAway, ComingBackAsksOnceAndTheAnswerMovesExactlyThatStretchFromIdle)
{
    workThenAway(60, 300);
    ASSERT_EQ(tracker->unansweredAway().size(), 1);
    const AwayStretch stretch = tracker->unansweredAway().first();
    // The stretch reaches back to the last input, and on to the tick that saw the user back.
    EXPECT_GE(stretch.seconds, 300.0);
    EXPECT_LE(stretch.seconds, 303.0);
    EXPECT_NEAR(double(stretch.start.msecsTo(stretch.end)) / 1000.0, stretch.seconds, 0.01);
    EXPECT_EQ(questionChanges, 1);
    EXPECT_DOUBLE_EQ(appTime(idleName()), stretch.seconds);
    const double editor = appTime(editorName());

    ASSERT_TRUE(tracker->answerAway(stretch.id, {QStringLiteral("Meeting"), {QStringLiteral("Work")}}));
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Meeting")), stretch.seconds);
    EXPECT_DOUBLE_EQ(appTime(idleName()), 0.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), editor);
    EXPECT_TRUE(app(QStringLiteral("Meeting"))->isAway());
    EXPECT_FALSE(app(editorName())->isAway());
    EXPECT_TRUE(tracker->unansweredAway().isEmpty());
    EXPECT_EQ(questionChanges, 2);
    // Counted in the total like any application now; answered once only.
    EXPECT_DOUBLE_EQ(tracker->totalTime(), editor + stretch.seconds);
    EXPECT_FALSE(tracker->answerAway(stretch.id, {QStringLiteral("Meeting"), {}}));

    // A second stretch answered with the same name joins the entry.
    workThenAway(10, 200);
    ASSERT_EQ(tracker->unansweredAway().size(), 1);
    const double second = tracker->unansweredAway().first().seconds;
    ASSERT_TRUE(tracker->answerAway(tracker->unansweredAway().first().id, {QStringLiteral("Meeting"), {}}));
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Meeting")), stretch.seconds + second);
}

TEST_F(TimeAway, SeveralStretchesWaitTogetherAndKeepingOneAsIdleLeavesItsTimeThere)
{
    workThenAway(30, 150);
    workThenAway(30, 400);
    workThenAway(30, 60); // below the threshold: never moved, never asked
    ASSERT_EQ(tracker->unansweredAway().size(), 2);
    const QList<AwayStretch> waiting = tracker->unansweredAway();
    EXPECT_LT(waiting.at(0).start, waiting.at(1).start);
    const double idle = appTime(idleName());
    EXPECT_NEAR(idle, waiting.at(0).seconds + waiting.at(1).seconds, 1e-9);

    EXPECT_TRUE(tracker->keepAwayAsIdle(waiting.at(0).id));
    EXPECT_TRUE(tracker->answerAway(waiting.at(1).id, {QStringLiteral("Lunch"), {}}));
    EXPECT_DOUBLE_EQ(appTime(idleName()), idle - waiting.at(1).seconds);
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Lunch")), waiting.at(1).seconds);
    EXPECT_TRUE(tracker->unansweredAway().isEmpty());
    // "Idle" is no answer.
    workThenAway(0, 200);
    EXPECT_FALSE(tracker->answerAway(tracker->unansweredAway().first().id, {QStringLiteral("Idle"), {}}));
}

TEST_F(TimeAway, NoQuestionWhenSwitchedOffTooShortOrCutBySleepPauseOrTheSession)
{
    settings.setValue(SettingsKey::AskAboutTimeAway, false);
    workThenAway(10, 300);
    EXPECT_TRUE(tracker->unansweredAway().isEmpty());
    settings.setValue(SettingsKey::AskAboutTimeAway, true);

    settings.setValue(SettingsKey::MinutesAwayBeforeAsking, 10);
    workThenAway(10, 300);
    EXPECT_TRUE(tracker->unansweredAway().isEmpty());
    workThenAway(10, 660);
    EXPECT_EQ(tracker->unansweredAway().size(), 1);
    tracker->keepAwayAsIdle(tracker->unansweredAway().first().id);
    settings.setValue(SettingsKey::MinutesAwayBeforeAsking, 0);

    // Away, then the machine sleeps: on wake the user is back, but from sleep.
    runFor(300);
    tracker->setIsRunning(false);
    clock.advance(3600);
    tracker->setIsRunning(true);
    tracker->awakeFromSleep();
    desktop.input();
    runFor(5);
    // Away, then counting paused (as a session switch pauses it).
    runFor(300);
    tracker->setIsRunning(false);
    desktop.input();
    tracker->setIsRunning(true);
    runFor(5);
    EXPECT_TRUE(tracker->unansweredAway().isEmpty());
    EXPECT_EQ(questionChanges, 2);
}

TEST_F(TimeAway, NeitherANeverIdleApplicationInFrontNorAnInhibitorLetsTimeBeIdle)
{
    ScriptedInhibition inhibition;
    const std::optional<QString> editor = editorName();
    desktop.input();
    clock.advance(200);
    bool passed = false;
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::None);
    EXPECT_TRUE(passed);

    settings.setValue(SettingsKey::NeverIdleApplications, QStringList{editorName()});
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::ApplicationInFront);
    EXPECT_EQ(idleException(settings, idleReader, inhibition, browserName(), &passed), IdleException::None);
    settings.setValue(SettingsKey::EnableNeverIdleApplications, false);
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::None);

    inhibition.now = {IdleInhibition::State::Inhibited, {QStringLiteral("mpv (Playing video)")}};
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::Inhibited);
    inhibition.now = {IdleInhibition::State::Unknown, {}};
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::InhibitionUnknown);
    settings.setValue(SettingsKey::NeverIdleWhileInhibited, false);
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::None);

    // Before the threshold the inhibitors are not even asked.
    desktop.input();
    settings.setValue(SettingsKey::NeverIdleWhileInhibited, true);
    EXPECT_EQ(idleException(settings, idleReader, inhibition, editor, &passed), IdleException::None);
    EXPECT_FALSE(passed);
}
