#pragma once

#include "shell/PowerMessages.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <set>

// Sleep, wake and switches of Kestrum's own login session, as systemd-logind reports them on the
// system bus. A "delay" sleep inhibitor gives Kestrum the time to pause counting before the
// machine sleeps. The monitor knows nothing of the controller: it reports through its signals.
class LogindMonitor : public QObject
{
    Q_OBJECT

public:
    // The line written to standard output when sleep and wake cannot be watched at all; it is
    // translated where it is written.
    static constexpr const char *RegistrationFailedLine = QT_TRANSLATE_NOOP(
        "LogindMonitor", "Sleep and wake cannot be followed (logind is missing): counting does not pause over sleep.");

    explicit LogindMonitor(QObject *parent = nullptr);
    ~LogindMonitor() override;

    // Watches sleep and wake, takes the sleep inhibitor and finds Kestrum's session. It returns at
    // once and waits for no answer: a logind that is slow or hung holds nothing up, and
    // startFinished() comes once every answer is in or has timed out. Without a connected bus or
    // without logind on it, the registration failure line goes to standard output (once per
    // monitor) and isStarted() stays false: Kestrum then runs on without sleep handling, and a
    // later start() tries again. Any later failure (inhibitor, session) is logged once and leaves
    // out only what it concerns.
    void start(const QDBusConnection &bus = QDBusConnection::systemBus());
    // The system bus did not answer: the registration failure line, once, as start() gives it.
    void reportUnavailable(const QString &why);
    // Whether sleep and wake are watched; true from the moment logind was found.
    bool isStarted() const { return m_started; }

    // Whether the sleep inhibitor is held, so that a coming sleep waits for the acknowledgement.
    bool holdsInhibitor() const { return m_inhibitor.isValid(); }

    // Kestrum's session as logind names it: the one in XDG_SESSION_ID, else the one this process
    // belongs to, else the user's graphical session; empty when none was found (or not yet).
    QString sessionPath() const { return m_sessionPath; }
    // The session's last known state; without a known session it counts as active and unlocked.
    // The state found at start is not signalled, only the changes after it: it is here once
    // startFinished() came.
    bool isSessionActive() const { return m_sessionActive; }
    bool isLocked() const { return m_locked; }

public Q_SLOTS:
    // Acknowledges a will-sleep message: the inhibitor is released and the sleep goes on. It is
    // taken again on wake.
    void allowPowerChange();

Q_SIGNALS:
    // What start() asked is answered, or timed out: whether logind is there (isStarted()), the
    // inhibitor, the session and its state. Once for each start() that found none under way or
    // done.
    void startFinished();
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
    // What a start waits for once logind was found.
    enum StartPart { InhibitorPart = 0x1, SessionPart = 0x2 };

    // Sends a call on the monitor's bus without waiting; `answered` gets the reply, or the error,
    // on this thread. Nothing is called once the monitor is gone.
    void ask(const QDBusMessage &call, std::function<void(const QDBusMessage &answer)> answered);
    void askWhetherLogindIsPresent();
    void logindFound();
    void startFailed(const QString &why);
    void startPartDone(StartPart part);
    void reportRegistrationFailure(const QString &why);
    void reportOnce(Failure failure, const QString &text);

    bool canPassDescriptors();
    void takeInhibitorLater();
    void keepInhibitor(const QDBusMessage &answer);
    // The session is looked for in the order sessionPath() gives, one question after another.
    void findSession();
    // Asks logind's `method` for a session: the one it names is Kestrum's; an error is noted
    // as `what`, and `otherwise` looks further.
    void askForSession(const QString &method, const QVariant &argument, const QString &what, std::function<void()> otherwise);
    void findSessionOfUser();
    void sessionFound(const QString &path);
    void sessionNotFound(const QString &why);
    void watchSession();
    void fetchSessionProperty(const QString &name);
    void applySessionProperty(const QString &name, const QVariant &value, Notify notify);

    QDBusConnection m_bus{QString()};
    bool m_starting = false; // asking whether logind is there
    bool m_started = false;
    int m_startPending = 0; // StartParts
    bool m_registrationFailureReported = false;
    std::set<Failure> m_reported;

    QDBusUnixFileDescriptor m_inhibitor;
    bool m_inhibitorRequested = false; // an asynchronous Inhibit call is under way
    bool m_preparingForSleep = false;

    QString m_sessionPath;
    QStringList m_sessionLookupErrors;
    // Changes announced before the start's reading of the session are in that reading already.
    bool m_sessionRead = false;
    bool m_sessionActive = true;
    bool m_locked = false;
};
