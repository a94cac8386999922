// Back from time away, the question as one of the desktop's notifications where the service
// offers actions: an answer button, dismissing (kept as Idle), expiring (the window asks), and
// the window alone where the service offers no actions.

#include "LogindMock.h"
#include "Programs.h"
#include "TimeTrackerFixture.h"
#include "Waiting.h"
#include "shell/gui/AwayNotifier.h"
#include "shell/gui/AwayQuestionWindow.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

class AwayNotifierTest : public TimeTrackerReadyFixture
{
protected:
    void SetUp() override
    {
        if (const QString missing = LogindMock::missingTools(); !missing.isEmpty()) {
            if (runningInCi())
                FAIL() << "The notification tests need " << missing.toStdString() << " (scripts/install-deps installs them)";
            GTEST_SKIP() << "Not installed: " << missing.toStdString();
        }
        TimeTrackerReadyFixture::SetUp();
        question = std::make_unique<AwayQuestionWindow>(*tracker, settings);
        settings.setValue(SettingsKey::MinutesUntilIdle, 2);
        settings.setValue(SettingsKey::RecentAwayAnswers, QStringList{QStringLiteral("Meeting"), QStringLiteral("Lunch")});
        QString error;
        ASSERT_TRUE(mock.startBus(&error)) << error.toStdString();
    }

    void TearDown() override
    {
        tracker->setAwayQuestionHandler(nullptr);
        notifier.reset();
        question.reset();
        daemon.kill();
        daemon.waitForFinished();
        mock.stop();
    }

    void startDaemon(const QString &capabilities)
    {
        QString error;
        ASSERT_TRUE(mock.startTemplate(daemon, QStringLiteral("notification_daemon"), kNotifications, &error,
                                       QStringLiteral("{\"capabilities\": \"%1\"}").arg(capabilities)))
            << error.toStdString();
        bus = mock.connect(QStringLiteral("kestrum"));
        notifier = std::make_unique<AwayNotifier>(*tracker, settings, *question, bus);
        tracker->setAwayQuestionHandler([this] { notifier->refresh(); });
        QSignalSpy started(notifier.get(), &AwayNotifier::started);
        notifier->start();
        ASSERT_TRUE(started.wait(5000));
        startCountingInEditor();
    }

    // Five minutes away, and back.
    void awayAndBack()
    {
        desktop.input();
        runFor(300);
        desktop.input();
        runFor(1);
    }

    qsizetype notifyCalls() { return mock.methodCalls(kPath, QStringLiteral("Notify"), kNotifications).size(); }

    void emitSignal(const QString &name, const QString &signature, const QVariantList &arguments)
    {
        mock.callService(kNotifications, kPath, LogindMock::MockInterface, QStringLiteral("EmitSignal"),
                         {kNotifications, name, signature, arguments});
    }

    LogindMock mock;
    QProcess daemon;
    QDBusConnection bus{QString()};
    std::unique_ptr<AwayQuestionWindow> question;
    std::unique_ptr<AwayNotifier> notifier;
};

TEST_F(AwayNotifierTest, ANotificationWithActionsAsksAndItsButtonsAnswerDismissOrLeaveItToTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(startDaemon(QStringLiteral("body actions")));
    ASSERT_TRUE(notifier->usesNotifications());
    awayAndBack();
    ASSERT_TRUE(waitUntil([&] { return notifyCalls() == 1 && notifier->notificationId() != 0; }));
    EXPECT_FALSE(question->isVisible());
    const QVariantList notify = mock.methodCalls(kPath, QStringLiteral("Notify"), kNotifications).constFirst();
    EXPECT_EQ(notify.at(3).toString(), QStringLiteral("What were you doing?"));
    EXPECT_TRUE(notify.at(4).toString().startsWith(QStringLiteral("Away from "))) << notify.at(4).toString().toStdString();
    const QStringList actions = notify.at(5).toStringList();
    EXPECT_EQ(actions, (QStringList{QStringLiteral("default"), QStringLiteral("Answer…"), QStringLiteral("answer:Meeting"), QStringLiteral("Meeting"),
                                    QStringLiteral("answer:Lunch"), QStringLiteral("Lunch"), QStringLiteral("keep-idle"), QStringLiteral("Keep as Idle")}));
    const double seconds = tracker->unansweredAway().first().seconds;

    // "Meeting" pressed.
    emitSignal(QStringLiteral("ActionInvoked"), QStringLiteral("us"), {notifier->notificationId(), QStringLiteral("answer:Meeting")});
    ASSERT_TRUE(waitUntil([&] { return tracker->unansweredAway().isEmpty(); }));
    EXPECT_DOUBLE_EQ(appTime(QStringLiteral("Meeting")), seconds);
    EXPECT_TRUE(waitUntil([&] { return !mock.methodCalls(kPath, QStringLiteral("CloseNotification"), kNotifications).isEmpty(); }));

    // Dismissed: kept as Idle.
    awayAndBack();
    ASSERT_TRUE(waitUntil([&] { return notifyCalls() == 2 && notifier->notificationId() != 0; }));
    const double idle = appTime(idleName());
    emitSignal(QStringLiteral("NotificationClosed"), QStringLiteral("uu"), {notifier->notificationId(), 2u});
    ASSERT_TRUE(waitUntil([&] { return tracker->unansweredAway().isEmpty(); }));
    EXPECT_DOUBLE_EQ(appTime(idleName()), idle);
    EXPECT_FALSE(question->isVisible());

    // Expired unanswered: the window asks, and goes on asking until it is answered.
    awayAndBack();
    ASSERT_TRUE(waitUntil([&] { return notifyCalls() == 3 && notifier->notificationId() != 0; }));
    emitSignal(QStringLiteral("NotificationClosed"), QStringLiteral("uu"), {notifier->notificationId(), 1u});
    ASSERT_TRUE(waitUntil([&] { return question->isVisible(); }));
    EXPECT_EQ(tracker->unansweredAway().size(), 1);
    awayAndBack();
    EXPECT_EQ(tracker->unansweredAway().size(), 2);
    runEventLoopFor(200ms);
    EXPECT_EQ(notifyCalls(), 3);
    question->answer(QStringLiteral("Workshop"));
    EXPECT_TRUE(tracker->unansweredAway().isEmpty());
    EXPECT_FALSE(question->isVisible());
}

TEST_F(AwayNotifierTest, WithoutActionsTheWindowAsks)
{
    ASSERT_NO_FATAL_FAILURE(startDaemon(QStringLiteral("body body-markup")));
    EXPECT_FALSE(notifier->usesNotifications());
    awayAndBack();
    EXPECT_TRUE(question->isVisible());
    runEventLoopFor(200ms);
    EXPECT_EQ(notifyCalls(), 0);
}
