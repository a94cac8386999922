#pragma once

#include <QDBusConnection>
#include <QObject>

class QSocketNotifier;

// Tells when the wall clock jumps: the system time is set (a timer on the real-time clock that
// the kernel cancels on every such change) or the time zone changes (systemd-timedated's
// Timezone property). Kestrum's timers run on the monotonic clock and notice neither, so
// whatever is due at a wall-clock time is armed again on this signal.
class ClockChangeWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ClockChangeWatcher(QObject *parent = nullptr);
    ~ClockChangeWatcher() override;

    // Starts both watches; each that cannot start is logged once and left out. Answers
    // whether the system time is watched.
    bool start(const QDBusConnection &systemBus = QDBusConnection::systemBus());

Q_SIGNALS:
    void clockChanged();

private Q_SLOTS:
    void onTimedateProperties(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    bool armTimer();
    void onTimerReadable();

    int m_timerFd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
