// A change of the time zone through systemd-timedated is a clock change; timedated's other
// properties are not. timedated starts on demand, so it is not yet on the bus when watching starts.

#include "LogindFixture.h"
#include "platform/logind/ClockChangeWatcher.h"

class ClockChangeWatcherTest : public LogindFixture
{
protected:
    ClockChangeWatcherTest()
        : LogindFixture(Logind::Absent)
    {
    }

    void callTimedated(const QString &method, const QVariantList &arguments)
    {
        const QString timedate = QStringLiteral("org.freedesktop.timedate1");
        mock.callService(timedate, QStringLiteral("/org/freedesktop/timedate1"), timedate, method, arguments);
    }
};

TEST_F(ClockChangeWatcherTest, ANewTimeZoneIsAClockChangeAndNtpIsNot)
{
    ClockChangeWatcher watcher;
    QSignalSpy changes(&watcher, &ClockChangeWatcher::clockChanged);
    EXPECT_TRUE(watcher.start(bus)) << "the system time is watched";

    QString error;
    ASSERT_TRUE(mock.startTimedated(&error)) << error.toStdString();
    callTimedated(QStringLiteral("SetNTP"), {false, false});
    processEventsFor(300);
    EXPECT_EQ(changes.count(), 0);

    callTimedated(QStringLiteral("SetTimezone"), {QStringLiteral("Europe/Berlin"), false});
    EXPECT_TRUE(waitFor([&] { return changes.count() == 1; }));
    processEventsFor(200);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ClockChangeWatcherTest, WithoutASystemBusTheSystemTimeIsStillWatched)
{
    ClockChangeWatcher watcher;
    EXPECT_TRUE(watcher.start(QDBusConnection(QString())));
}
