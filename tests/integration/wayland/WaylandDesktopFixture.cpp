#include "WaylandDesktopFixture.h"

#include "Programs.h"

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
