// Kestrum's own login session: which one it is, and its Active and LockedHint properties as
// session switches and screen locks.

#include "LogindFixture.h"
#include "platform/logind/LogindWiring.h"

#include <unistd.h>

namespace {

const QString kSessionId = QStringLiteral("c7");

class LogindSession : public LogindFixture
{
protected:
    // Adds Kestrum's session, names it in XDG_SESSION_ID and starts the monitor.
    void startInSession(bool active = true)
    {
        sessionPath = mock.addSession(kSessionId, uint(::getuid()), active);
        ASSERT_FALSE(sessionPath.isEmpty());
        useSessionId(kSessionId);
        ASSERT_TRUE(startMonitor(bus));
        ASSERT_EQ(monitor->sessionPath(), sessionPath);
    }

    void setLockedHint(bool locked)
    {
        mock.call(sessionPath, LogindMock::SessionInterface, QStringLiteral("SetLockedHint"), {locked});
    }

    QString sessionPath;
};

TEST_F(LogindSession, TheSessionNamedByXdgSessionIdIsWatched)
{
    const QString otherSession = mock.addSession(QStringLiteral("c3"), uint(::getuid()), true); // the same user's
    ASSERT_NO_FATAL_FAILURE(startInSession());
    QSignalSpy active(monitor.get(), &LogindMonitor::sessionActiveChanged);

    EXPECT_EQ(monitor->sessionPath(), QStringLiteral("/org/freedesktop/login1/session/c7"));
    EXPECT_TRUE(monitor->isSessionActive());
    EXPECT_FALSE(monitor->isLocked());

    // Signals arrive in order: once Kestrum's session is reported, the other one would be too.
    mock.updateSession(otherSession, {{QStringLiteral("Active"), false}});
    mock.updateSession(sessionPath, {{QStringLiteral("Active"), false}});
    ASSERT_TRUE(waitFor([&] { return active.count() >= 1; }));
    processEventsFor(100);
    EXPECT_EQ(arguments<bool>(active), QList<bool>{false});
}

TEST_F(LogindSession, GoingInactiveAndBackIsReported)
{
    ASSERT_NO_FATAL_FAILURE(startInSession());
    QSignalSpy active(monitor.get(), &LogindMonitor::sessionActiveChanged);

    mock.updateSession(sessionPath, {{QStringLiteral("Active"), false}});
    ASSERT_TRUE(waitFor([&] { return active.count() == 1; }));
    EXPECT_FALSE(monitor->isSessionActive());

    mock.updateSession(sessionPath, {{QStringLiteral("Active"), true}});
    ASSERT_TRUE(waitFor([&] { return active.count() == 2; }));

    EXPECT_EQ(arguments<bool>(active), (QList<bool>{false, true}));
    EXPECT_TRUE(monitor->isSessionActive());
}

TEST_F(LogindSession, LockingAndUnlockingIsReported)
{
    ASSERT_NO_FATAL_FAILURE(startInSession());
    QSignalSpy locked(monitor.get(), &LogindMonitor::lockedChanged);

    setLockedHint(true);
    ASSERT_TRUE(waitFor([&] { return locked.count() == 1; }));
    EXPECT_TRUE(monitor->isLocked());

    setLockedHint(false);
    ASSERT_TRUE(waitFor([&] { return locked.count() == 2; }));

    EXPECT_EQ(arguments<bool>(locked), (QList<bool>{true, false}));
    EXPECT_FALSE(monitor->isLocked());
}

TEST_F(LogindSession, TheStateAtStartIsReadAndOnlyChangesAreReported)
{
    sessionPath = mock.addSession(kSessionId, uint(::getuid()), false);
    setLockedHint(true);
    useSessionId(kSessionId);
    QSignalSpy active(monitor.get(), &LogindMonitor::sessionActiveChanged);
    QSignalSpy locked(monitor.get(), &LogindMonitor::lockedChanged);

    ASSERT_TRUE(startMonitor(bus));
    EXPECT_FALSE(monitor->isSessionActive());
    EXPECT_TRUE(monitor->isLocked());

    // Active repeated unchanged, then a real change behind it: signals arrive in order, so once
    // the lock change is in, a report of the repeated value would be in as well.
    mock.updateSession(sessionPath, {{QStringLiteral("Active"), false}, {QStringLiteral("IdleHint"), true}});
    setLockedHint(false);
    ASSERT_TRUE(waitFor([&] { return locked.count() == 1; }));

    EXPECT_EQ(active.count(), 0);
    EXPECT_EQ(arguments<bool>(locked), QList<bool>{false});
}

TEST_F(LogindSession, APropertyOnlyInvalidatedIsReadAgain)
{
    ASSERT_NO_FATAL_FAILURE(startInSession());
    QSignalSpy active(monitor.get(), &LogindMonitor::sessionActiveChanged);
    QSignalSpy locked(monitor.get(), &LogindMonitor::lockedChanged);
    // Changes the values without telling anyone, as logind does before it sends only the names.
    mock.runInMock(sessionPath, QStringLiteral("self.props['org.freedesktop.login1.Session'].update(Active=False, LockedHint=True)"));

    mock.call(sessionPath, LogindMock::MockInterface, QStringLiteral("EmitSignal"),
              {LogindMock::PropertiesInterface, QStringLiteral("PropertiesChanged"), QStringLiteral("sa{sv}as"),
               QVariantList{LogindMock::SessionInterface, QVariantMap(), QStringList{QStringLiteral("Active"), QStringLiteral("LockedHint")}}});

    ASSERT_TRUE(waitFor([&] { return active.count() == 1 && locked.count() == 1; }));
    EXPECT_EQ(arguments<bool>(active), QList<bool>{false});
    EXPECT_EQ(arguments<bool>(locked), QList<bool>{true});
}

TEST_F(LogindSession, WithoutXdgSessionIdTheSessionIsFoundByProcess)
{
    sessionPath = mock.addSession(QStringLiteral("c9"), uint(::getuid()), true);
    mock.call(LogindMock::ManagerPath, LogindMock::MockInterface, QStringLiteral("AddMethod"),
              {LogindMock::ManagerInterface, QStringLiteral("GetSessionByPID"), QStringLiteral("u"), QStringLiteral("o"),
               QStringLiteral("ret = '/org/freedesktop/login1/session/c9'")});
    QSignalSpy active(monitor.get(), &LogindMonitor::sessionActiveChanged);

    ASSERT_TRUE(startMonitor(bus));

    EXPECT_EQ(monitor->sessionPath(), sessionPath);
    QList<uint> pids;
    for (const QVariantList &call : mock.methodCalls(LogindMock::ManagerPath, QStringLiteral("GetSessionByPID")))
        pids << call.value(0).toUInt();
    EXPECT_EQ(pids, QList<uint>{uint(::getpid())});

    mock.updateSession(sessionPath, {{QStringLiteral("Active"), false}});
    EXPECT_TRUE(waitFor([&] { return active.count() == 1; }));
}

TEST_F(LogindSession, OutsideAnySessionTheUsersGraphicalSessionIsWatched)
{
    sessionPath = mock.addSession(QStringLiteral("c11"), uint(::getuid()), true);
    const QString userPath = QStringLiteral("/org/freedesktop/login1/user/%1").arg(::getuid());
    mock.runInMock(userPath, QStringLiteral("self.props['org.freedesktop.login1.User']['Display'] = "
                                            "dbus.Struct(('c11', dbus.ObjectPath('%1')), signature='so')")
                                 .arg(sessionPath));
    QSignalSpy active(monitor.get(), &LogindMonitor::sessionActiveChanged);

    ASSERT_TRUE(startMonitor(bus));

    EXPECT_EQ(monitor->sessionPath(), sessionPath);
    mock.updateSession(sessionPath, {{QStringLiteral("Active"), false}});
    EXPECT_TRUE(waitFor([&] { return active.count() == 1; }));
}

TEST_F(LogindSession, WithoutASessionSleepIsStillHandled)
{
    QSignalSpy power(monitor.get(), &LogindMonitor::powerMessage);

    ASSERT_TRUE(startMonitor(bus));

    EXPECT_TRUE(monitor->sessionPath().isEmpty());
    EXPECT_TRUE(monitor->isSessionActive());
    EXPECT_TRUE(monitor->holdsInhibitor());
    mock.emitPrepareForSleep(true);
    EXPECT_TRUE(waitFor([&] { return power.count() == 1; }));
}

TEST_F(LogindSession, TheApplicationHearsSessionSwitchesAndLocks)
{
    QList<bool> activeStates;
    QList<bool> lockStates;
    connectLogindMonitor(*monitor, {.sessionActive = [&activeStates](bool active) { activeStates << active; },
                                    .locked = [&lockStates](bool locked) { lockStates << locked; }});
    ASSERT_NO_FATAL_FAILURE(startInSession());

    mock.updateSession(sessionPath, {{QStringLiteral("Active"), false}});
    setLockedHint(true);
    mock.updateSession(sessionPath, {{QStringLiteral("Active"), true}});
    ASSERT_TRUE(waitFor([&] { return activeStates.size() == 2 && lockStates.size() == 2; }));

    EXPECT_EQ(activeStates, (QList<bool>{false, true}));
    EXPECT_EQ(lockStates, (QList<bool>{false, true})) << "the state found at start, then the lock";
}

TEST_F(LogindSession, TheApplicationHearsOfAScreenLockedAtStart)
{
    sessionPath = mock.addSession(kSessionId, uint(::getuid()), true);
    setLockedHint(true);
    useSessionId(kSessionId);
    QList<bool> lockStates;
    connectLogindMonitor(*monitor, {.locked = [&lockStates](bool locked) { lockStates << locked; }});

    ASSERT_TRUE(startMonitor(bus));

    EXPECT_EQ(lockStates, QList<bool>{true});
}

} // namespace
