// Without a system bus, or without logind on it, Kestrum says so once on standard output and
// runs on without sleep handling. A logind that is slow to answer, or never answers, holds
// nothing up.

#include "LogindFixture.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <string>

namespace {

const std::string kFailureLine = "Sleep and wake cannot be followed (logind is missing): counting does not pause over sleep.\n";

// Collects what the monitor logs, for as long as it lives.
class LogindLog
{
public:
    LogindLog() { s_previous = qInstallMessageHandler(&LogindLog::handle); }
    ~LogindLog()
    {
        qInstallMessageHandler(s_previous);
        s_messages.clear();
    }

    static QStringList messages() { return s_messages; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (context.category && QLatin1StringView(context.category) == QLatin1StringView("kestrum.logind"))
            s_messages << message;
        else if (s_previous)
            s_previous(type, context, message);
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_messages;
};

// Starts with a bus but no logind; a test may start logind later.
class LogindAbsent : public LogindFixture
{
protected:
    LogindAbsent()
        : LogindFixture(Logind::Absent)
    {
    }

    // How often the mock was asked for an inhibitor.
    qsizetype inhibitCalls() { return mock.methodCalls(LogindMock::ManagerPath, QStringLiteral("Inhibit")).size(); }
};

TEST_F(LogindAbsent, WithoutLogindTheFailureLineIsPrintedOnce)
{
    LogindLog log;
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);

    ::testing::internal::CaptureStdout();
    const bool first = startMonitor(bus);
    const bool second = startMonitor(bus);
    const std::string printed = ::testing::internal::GetCapturedStdout();

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_FALSE(monitor->isStarted());
    EXPECT_FALSE(monitor->holdsInhibitor());
    EXPECT_EQ(printed, kFailureLine);
    EXPECT_EQ(LogindLog::messages().size(), 1) << LogindLog::messages().join(u'\n').toStdString();
    EXPECT_EQ(power.count(), 0);
}

TEST_F(LogindAbsent, WithoutABusTheFailureLineIsPrintedOnce)
{
    const QString name = QStringLiteral("logind-test-nowhere");
    const QDBusConnection nowhere = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/kestrum-no-bus"), name);
    ASSERT_FALSE(nowhere.isConnected());

    ::testing::internal::CaptureStdout();
    const bool first = startMonitor(nowhere);
    const bool second = startMonitor(nowhere);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    QDBusConnection::disconnectFromBus(name);

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(printed, kFailureLine);
}

TEST_F(LogindAbsent, LogindArrivingLaterIsUsedByALaterStart)
{
    ::testing::internal::CaptureStdout();
    const bool before = startMonitor(bus);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    ASSERT_FALSE(before);
    ASSERT_EQ(printed, kFailureLine);

    QString error;
    ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();
    ::testing::internal::CaptureStdout();
    const bool after = startMonitor(bus);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    EXPECT_TRUE(after);
    EXPECT_TRUE(monitor->holdsInhibitor());
}

TEST_F(LogindAbsent, ARestartedLogindIsFollowed)
{
    QString error;
    ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();
    ASSERT_TRUE(startMonitor(bus));
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);

    mock.stopLogind();
    ASSERT_TRUE(waitFor([&] { return !bus.interface()->isServiceRegistered(LogindMock::Service).value(); }));
    ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();

    EXPECT_TRUE(waitFor([&] { return mock.inhibitors().size() == 1; })) << "no inhibitor taken from the new logind";
    mock.emitPrepareForSleep(true);
    ASSERT_TRUE(waitFor([&] { return power.count() == 1; }));
    monitor->allowPowerChange();
    EXPECT_TRUE(waitFor([&] { return mock.inhibitors().isEmpty(); }));
}

TEST_F(LogindAbsent, ARefusedInhibitorIsLoggedOnceAndSleepStillReported)
{
    QString error;
    ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();
    mock.call(LogindMock::ManagerPath, LogindMock::MockInterface, QStringLiteral("AddMethod"),
              {LogindMock::ManagerInterface, QStringLiteral("Inhibit"), QStringLiteral("ssss"), QStringLiteral("h"),
               QStringLiteral("raise dbus.exceptions.DBusException('not allowed', name='org.freedesktop.DBus.Error.AccessDenied')")});
    LogindLog log;
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);

    ASSERT_TRUE(startMonitor(bus));
    EXPECT_FALSE(monitor->holdsInhibitor());
    mock.emitPrepareForSleep(true);
    ASSERT_TRUE(waitFor([&] { return power.count() == 1; }));
    monitor->allowPowerChange();
    mock.emitPrepareForSleep(false); // the wake asks for the inhibitor again, and is refused again
    ASSERT_TRUE(waitFor([&] { return power.count() == 2; }));
    ASSERT_TRUE(waitFor([&] { return inhibitCalls() == 2; }));
    processEventsFor(300);

    EXPECT_EQ(arguments<PowerMessage>(power), (QList<PowerMessage>{PowerMessage::WillSleep, PowerMessage::HasPoweredOn}));
    EXPECT_FALSE(monitor->holdsInhibitor());
    const QStringList messages = LogindLog::messages().filter(u"inhibitor");
    ASSERT_EQ(messages.size(), 1) << LogindLog::messages().join(u'\n').toStdString();
    EXPECT_TRUE(messages[0].contains(u"not allowed")) << messages[0].toStdString();
}

TEST_F(LogindAbsent, AMissingSessionIsLoggedAndSleepStillHandled)
{
    QString error;
    ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();
    LogindLog log;
    useSessionId(QStringLiteral("c404")); // logind answers with a path, but no such session exists

    ASSERT_TRUE(startMonitor(bus));

    EXPECT_TRUE(monitor->holdsInhibitor());
    const QStringList messages = LogindLog::messages();
    ASSERT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
    EXPECT_TRUE(messages[0].contains(u"c404")) << messages[0].toStdString();
}

TEST_F(LogindAbsent, StartWaitsForNoAnswerAndTakesWhatASlowLogindSaysLater)
{
    QString error;
    ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();
    const QString sessionPath = mock.addSession(QStringLiteral("c7"), uint(::getuid()), true);
    mock.call(sessionPath, LogindMock::SessionInterface, QStringLiteral("SetLockedHint"), {true});
    useSessionId(QStringLiteral("c7"));
    // logind stops in GetSession, answering nothing at all, until the test lets it go on. Had
    // start() waited, every question it asked would have timed out by then.
    const QTemporaryDir gate;
    const QString open = gate.filePath(QStringLiteral("open"));
    mock.call(LogindMock::ManagerPath, LogindMock::MockInterface, QStringLiteral("AddMethod"),
              {LogindMock::ManagerInterface, QStringLiteral("GetSession"), QStringLiteral("s"), QStringLiteral("o"),
               QStringLiteral("import os, time\n"
                              "while not os.path.exists('%1'): time.sleep(0.02)\n"
                              "ret = '/org/freedesktop/login1/session/' + args[0]")
                   .arg(open)});
    QSignalSpy finished(monitor.get(), &LogindMonitor::startFinished);

    monitor->start(bus);
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_TRUE(monitor->sessionPath().isEmpty());
    QFile gateFile(open);
    ASSERT_TRUE(gateFile.open(QIODevice::WriteOnly));
    gateFile.close();

    ASSERT_TRUE(waitFor([&] { return !finished.isEmpty(); }));
    EXPECT_TRUE(monitor->isStarted());
    EXPECT_TRUE(monitor->holdsInhibitor());
    EXPECT_EQ(monitor->sessionPath(), sessionPath);
    EXPECT_TRUE(monitor->isLocked());
}

TEST_F(LogindAbsent, ALogindThatNeverAnswersIsToldOfOnceAndSleepIsStillWatched)
{
    QString error;
    ASSERT_TRUE(mock.startHungLogind(&error)) << error.toStdString();
    LogindLog log;

    ::testing::internal::CaptureStdout();
    const bool started = startMonitor(bus); // once its calls have timed out
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "logind is there, if silent";

    // A logind that comes round can still announce a sleep.
    EXPECT_TRUE(started);
    EXPECT_FALSE(monitor->holdsInhibitor());
    EXPECT_TRUE(monitor->sessionPath().isEmpty());
    EXPECT_TRUE(monitor->isSessionActive());
    const QStringList messages = LogindLog::messages();
    ASSERT_EQ(messages.size(), 2) << messages.join(u'\n').toStdString();
    EXPECT_TRUE(messages.filter(u"sleep inhibitor").size() == 1) << messages.join(u'\n').toStdString();
    EXPECT_TRUE(messages.filter(u"login session was not found").size() == 1) << messages.join(u'\n').toStdString();
}

} // namespace
