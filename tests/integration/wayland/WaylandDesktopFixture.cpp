#include "WaylandDesktopFixture.h"

#include "Programs.h"
#include "Waiting.h"

void WaylandDesktopFixture::SetUp()
{
    const QStringList missing = CompositorSession::missingPrograms(m_compositor);
    if (!missing.isEmpty()) {
        const std::string message = "The Wayland integration tests need " + missing.join(QStringLiteral(", ")).toStdString()
            + " on PATH; scripts/install-deps installs them.";
        if (runningInCi())
            FAIL() << message << " CI is set, so they must run here.";
        GTEST_SKIP() << message;
    }
    session = std::make_unique<CompositorSession>(m_compositor);
    QString error;
    ASSERT_TRUE(session->start(&error)) << error.toStdString();
    session->enterSession();
}

bool WaylandDesktopFixture::chooseBackend()
{
    DesktopChoice choice = chooseDesktop(sessionBus());
    if (!choice.desktop) {
        ADD_FAILURE() << "no backend: " << choice.limitation.toStdString();
        return false;
    }
    desktop = std::move(choice.desktop);
    idleReader = std::make_unique<IdleTimeReader>(*desktop);
    tracker = std::make_unique<TimeTracker>(TrackerPorts{*desktop, *desktop, *idleReader, clock, settings, questions});
    tracker->setBookingListener(&m_booked);
    return true;
}

QDBusConnection WaylandDesktopFixture::sessionBus() const
{
    const QString address = session->sessionBusAddress();
    if (address.isEmpty())
        return QDBusConnection(QString());
    return QDBusConnection::connectToBus(address, QStringLiteral("kwin-session"));
}

void WaylandDesktopFixture::TearDown()
{
    tracker.reset();
    idleReader.reset();
    desktop.reset();
    session.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("kwin-session"));
}

double WaylandDesktopFixture::appTime(const QString &name) const
{
    const TimeStoreApp *app = tracker->appForName(name);
    return app ? app->activeTime() : -1.0;
}

double WaylandDesktopFixture::windowTime(const QString &appName, const QString &windowName) const
{
    const TimeStoreApp *app = tracker->appForName(appName);
    if (!app)
        return -1.0;
    for (const auto &window : app->windows()) {
        if (window->name() == windowName)
            return window->activeTime();
    }
    return -1.0;
}

QStringList WaylandDesktopFixture::windowNames(const QString &appName) const
{
    QStringList names;
    if (const TimeStoreApp *app = tracker->appForName(appName)) {
        for (const auto &window : app->windows())
            names.append(window->name().value_or(QString()));
    }
    names.sort();
    return names;
}

void WaylandDesktopFixture::twoApplicationsOfOneClientKeepTheirOwnWindows()
{
    const QString mail = QStringLiteral("org.example.Mail");
    const QString calendar = QStringLiteral("org.example.Calendar");
    QProcess *client = session->openToplevels(mail, QStringLiteral("inbox"));
    ASSERT_NE(client, nullptr);
    ASSERT_TRUE(waitUntil([&] { return frontName() == mail; }));
    startCounting();
    runFor(2);

    // Each switch comes in the middle of a second, whose part is booked as the switch is.
    clock.advance(0.5);
    ASSERT_TRUE(session->openToplevel(client, calendar, QStringLiteral("week 12")));
    ASSERT_TRUE(waitUntil([&] { return frontName() == calendar; }));
    EXPECT_EQ(activeTitle(), QStringLiteral("week 12"));
    runFor(1);
    clock.advance(0.25);
    ASSERT_TRUE(session->closeToplevel(client, 1));
    ASSERT_TRUE(waitUntil([&] { return frontName() == mail; }));
    runFor(1);

    EXPECT_EQ(windowNames(mail), QStringList{QStringLiteral("inbox")});
    EXPECT_EQ(windowNames(calendar), QStringList{QStringLiteral("week 12")});
    EXPECT_EQ(bookedWindowNames(mail), QStringList{QStringLiteral("inbox")});
    EXPECT_EQ(bookedWindowNames(calendar), QStringList{QStringLiteral("week 12")});
    EXPECT_DOUBLE_EQ(windowTime(mail, QStringLiteral("inbox")), 3.5);
    EXPECT_DOUBLE_EQ(appTime(mail), 3.5);
    EXPECT_DOUBLE_EQ(windowTime(calendar, QStringLiteral("week 12")), 1.25);
    EXPECT_DOUBLE_EQ(appTime(calendar), 1.25);
}
