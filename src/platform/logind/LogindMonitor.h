#pragma once

#include "shell/PowerMessages.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <set>

// Sleep, wake and switches of Kestrum's own login session, as systemd-logind reports them on the
// system bus. A "delay" sleep inhibitor gives Kestrum the time to pause counting before the
// machine sleeps. The monitor knows nothing of the controller: it reports through its signals.
class LogindMonitor : public QObject
{
    Q_OBJECT

public:
    // The line written to standard output when sleep and wake cannot be watched at all.
    static inline const QString RegistrationFailedLine =
        QStringLiteral("Sleep and wake cannot be followed (logind is missing): counting does not pause over sleep.");

    explicit LogindMonitor(QObject *parent = nullptr);
    ~LogindMonitor() override;

    // Watches sleep and wake, takes the sleep inhibitor and finds Kestrum's session. Without a
    // connected bus or without logind on it, the registration failure line goes to standard output
    // (once per monitor) and the answer is false: Kestrum then runs on without sleep handling. Any
    // later failure (inhibitor, session) is logged once and leaves out only what it concerns.
    bool start(const QDBusConnection &bus = QDBusConnection::systemBus());
    // The system bus did not answer: the registration failure line, once, as start() gives it.
    void reportUnavailable(const QString &why);
    bool isStarted() const { return m_started; }

    // Whether the sleep inhibitor is held, so that a coming sleep waits for the acknowledgement.
    bool holdsInhibitor() const { return m_inhibitor.isValid(); }

    // Kestrum's session as logind names it: the one in XDG_SESSION_ID, else the one this process
    // belongs to, else the user's graphical session; empty when none was found.
    QString sessionPath() const { return m_sessionPath; }
    // The session's last known state; without a known session it counts as active and unlocked.
    // The state found at start is not signalled, only the changes after it.
    bool isSessionActive() const { return m_sessionActive; }
    bool isLocked() const { return m_locked; }

public Q_SLOTS:
    // Acknowledges a will-sleep message: the inhibitor is released and the sleep goes on. It is
    // taken again on wake.
    void allowPowerChange();

Q_SIGNALS:
    // WillSleep when the machine is about to sleep, HasPoweredOn when it woke (or the sleep failed).
    void powerMessage(PowerMessage message);
    // The session was switched away from (false) or back to (true).
    void sessionActiveChanged(bool active);
    // The session's screen was locked (true) or unlocked (false).
    void lockedChanged(bool locked);

private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);
    void onSessionPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    enum class Failure {
        NoFileDescriptorPassing,
        Inhibit,
        SessionLookup,
        SessionWatch,
        SessionProperties,
        PropertyType,
    };

    // The state read at start is the starting point, not a change.
    enum class Notify { OnChange, Silently };

    static bool logindIsPresent(const QDBusConnection &bus, QString *why);
    void reportRegistrationFailure(const QString &why);
    void reportOnce(Failure failure, const QString &text);

    bool canPassDescriptors();
    void takeInhibitor(); // waits for the answer
    void takeInhibitorLater();
    void keepInhibitor(const QDBusMessage &answer);
    QString findSession();
    void watchSession();
    void fetchSessionProperty(const QString &name);
    void applySessionProperty(const QString &name, const QVariant &value, Notify notify);

    QDBusConnection m_bus{QString()};
    bool m_started = false;
    bool m_registrationFailureReported = false;
    std::set<Failure> m_reported;

    QDBusUnixFileDescriptor m_inhibitor;
    bool m_inhibitorRequested = false; // an asynchronous Inhibit call is under way
    bool m_preparingForSleep = false;

    QString m_sessionPath;
    bool m_sessionActive = true;
    bool m_locked = false;
};
