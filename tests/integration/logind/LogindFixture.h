#pragma once

// Every logind test runs against its own private system bus; most also want the logind mock on
// it and a monitor connected to that bus.

#include "LogindMock.h"
#include "Programs.h"
#include "platform/logind/LogindMonitor.h"

#include <QByteArray>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

class LogindFixture : public ::testing::Test
{
protected:
    enum class Logind { Running, Absent };

    explicit LogindFixture(Logind logind = Logind::Running)
        : m_logind(logind)
    {
    }

    void SetUp() override
    {
        // The session is chosen by the test, never by the environment the tests happen to run in.
        m_savedSessionId = qgetenv("XDG_SESSION_ID");
        m_hadSessionId = qEnvironmentVariableIsSet("XDG_SESSION_ID");
        qunsetenv("XDG_SESSION_ID");

        if (const QString missing = LogindMock::missingTools(); !missing.isEmpty()) {
            if (runningInCi())
                FAIL() << "The logind integration tests need " << missing.toStdString() << " (scripts/install-deps installs them)";
            GTEST_SKIP() << "Not installed: " << missing.toStdString();
        }

        QString error;
        ASSERT_TRUE(mock.startBus(&error)) << error.toStdString();
        if (m_logind == Logind::Running) {
            ASSERT_TRUE(mock.startLogind(&error)) << error.toStdString();
        }
        bus = mock.connect(QStringLiteral("kestrum"));
        ASSERT_TRUE(bus.isConnected()) << bus.lastError().message().toStdString();
        monitor = std::make_unique<LogindMonitor>();
    }

    void TearDown() override
    {
        monitor.reset();
        bus = QDBusConnection(QString());
        mock.stop();
        if (m_hadSessionId)
            qputenv("XDG_SESSION_ID", m_savedSessionId);
        else
            qunsetenv("XDG_SESSION_ID");
    }

    static void useSessionId(const QString &id) { qputenv("XDG_SESSION_ID", id.toUtf8()); }

    // Starts the monitor on `on` and waits until the start is answered; answers whether sleep
    // is watched.
    bool startMonitor(const QDBusConnection &on)
    {
        QSignalSpy finished(monitor.get(), &LogindMonitor::startFinished);
        monitor->start(on);
        EXPECT_TRUE(waitFor([&] { return !finished.isEmpty(); }, 15000)) << "the start was never answered";
        return monitor->isStarted();
    }

    LogindMock mock;
    QDBusConnection bus{QString()};
    std::unique_ptr<LogindMonitor> monitor;

private:
    Logind m_logind;
    QByteArray m_savedSessionId;
    bool m_hadSessionId = false;
};

// The first argument of every signal a spy caught, in order.
template<typename T>
QList<T> arguments(const QSignalSpy &spy)
{
    QList<T> values;
    for (const QList<QVariant> &call : spy)
        values << call.value(0).value<T>();
    return values;
}
