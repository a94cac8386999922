// Idle inhibitors as the desktop's services report them: one taken with systemd-inhibit through
// (a mocked) logind, the GNOME session's inhibition flags and KDE's HasInhibit, each on a private
// bus; a service that is not there counts as nothing held.

#include "LogindFixture.h"
#include "Waiting.h"
#include "platform/logind/IdleInhibitors.h"

#include <QDBusVariant>
#include <QProcess>

using namespace std::chrono_literals;

class IdleInhibitorsTest : public LogindFixture
{
protected:
    // Asks afresh and waits for every answer.
    IdleInhibition askAndWait(IdleInhibitors &inhibitors)
    {
        QSignalSpy answered(&inhibitors, &IdleInhibitors::answered);
        inhibitors.refresh();
        EXPECT_TRUE(answered.wait(5000));
        return inhibitors.idleInhibition();
    }

    bool logindLists(const QString &what)
    {
        const QList<Inhibitor> held = mock.inhibitors();
        return std::any_of(held.begin(), held.end(), [&](const Inhibitor &inhibitor) { return inhibitor.what == what; });
    }

    QString sourceState(const IdleInhibitors &inhibitors, const QString &name)
    {
        for (const IdleInhibitors::Source &source : inhibitors.sources()) {
            if (source.name == name)
                return IdleInhibitors::describe(source.state);
        }
        return {};
    }
};

TEST_F(IdleInhibitorsTest, AnIdleInhibitorTakenWithSystemdInhibitHoldsUntilItEnds)
{
    // Kestrum's own sleep inhibitor is listed too, and keeps nothing awake.
    monitor->start(bus);
    ASSERT_TRUE(waitUntil([&] { return logindLists(QStringLiteral("sleep")); }));
    IdleInhibitors inhibitors(bus, QDBusConnection(QString()));
    EXPECT_EQ(inhibitors.idleInhibition().state, IdleInhibition::State::Unknown);
    EXPECT_EQ(askAndWait(inhibitors).state, IdleInhibition::State::Free);
    EXPECT_EQ(sourceState(inhibitors, QStringLiteral("logind")), QStringLiteral("free"));
    EXPECT_EQ(sourceState(inhibitors, QStringLiteral("gnome-session")), QStringLiteral("absent"));

    QProcess film;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), mock.address());
    film.setProcessEnvironment(environment);
    film.start(QStringLiteral("systemd-inhibit"), {QStringLiteral("--what=idle"), QStringLiteral("--who=Film"),
                                                   QStringLiteral("--why=Playing video"), QStringLiteral("--mode=block"),
                                                   QStringLiteral("sleep"), QStringLiteral("60")});
    ASSERT_TRUE(film.waitForStarted()) << film.errorString().toStdString();
    ASSERT_TRUE(waitUntil([&] { return logindLists(QStringLiteral("idle")); }, 10s)) << film.readAllStandardError().toStdString();
    const IdleInhibition held = askAndWait(inhibitors);
    EXPECT_EQ(held.state, IdleInhibition::State::Inhibited);
    EXPECT_EQ(held.by, QStringList{QStringLiteral("Film (Playing video)")});

    film.kill();
    film.waitForFinished();
    ASSERT_TRUE(waitUntil([&] { return !logindLists(QStringLiteral("idle")); }, 10s));
    EXPECT_EQ(askAndWait(inhibitors).state, IdleInhibition::State::Free);
}

TEST_F(IdleInhibitorsTest, TheGnomeSessionsIdleFlagAndKdesHasInhibitCountAndOtherFlagsDoNot)
{
    QProcess gnome;
    QProcess kde;
    QString error;
    ASSERT_TRUE(mock.startMock(gnome, QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
                               QStringLiteral("org.gnome.SessionManager"), &error))
        << error.toStdString();
    ASSERT_TRUE(mock.startMock(kde, QStringLiteral("org.freedesktop.PowerManagement"), QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                               QStringLiteral("org.freedesktop.PowerManagement.Inhibit"), &error))
        << error.toStdString();
    const auto setGnomeFlags = [&](const QVariant &flags) {
        mock.callService(QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"), LogindMock::PropertiesInterface,
                         QStringLiteral("Set"),
                         {QStringLiteral("org.gnome.SessionManager"), QStringLiteral("InhibitedActions"), QVariant::fromValue(QDBusVariant(flags))});
    };
    mock.callService(QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"), LogindMock::MockInterface,
                     QStringLiteral("AddProperty"),
                     {QStringLiteral("org.gnome.SessionManager"), QStringLiteral("InhibitedActions"), QVariant::fromValue(QDBusVariant(0u))});
    const auto setKdeAnswer = [&](bool inhibited) {
        mock.callService(QStringLiteral("org.freedesktop.PowerManagement"), QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                         LogindMock::MockInterface, QStringLiteral("AddMethod"),
                         {QString(), QStringLiteral("HasInhibit"), QString(), QStringLiteral("b"),
                          inhibited ? QStringLiteral("ret = True") : QStringLiteral("ret = False")});
    };
    // The session bus's services, here on the test's one private bus.
    IdleInhibitors inhibitors(bus, bus);
    setGnomeFlags(8u | 4u);
    setKdeAnswer(true);
    const IdleInhibition both = askAndWait(inhibitors);
    EXPECT_EQ(both.state, IdleInhibition::State::Inhibited);
    EXPECT_EQ(both.by, (QStringList{QStringLiteral("GNOME session"), QStringLiteral("KDE power management")}));

    // Suspend and log-out inhibited (4, 1), idle not; KDE says no.
    setGnomeFlags(4u | 1u);
    setKdeAnswer(false);
    EXPECT_EQ(askAndWait(inhibitors).state, IdleInhibition::State::Free);

    // An answer of the wrong type is a failure, taken as nothing held, and logged.
    setGnomeFlags(QStringLiteral("8"));
    EXPECT_EQ(askAndWait(inhibitors).state, IdleInhibition::State::Free);
    EXPECT_EQ(sourceState(inhibitors, QStringLiteral("gnome-session")), QStringLiteral("failed"));
    for (QProcess *service : {&gnome, &kde}) {
        service->kill();
        service->waitForFinished();
    }
}
