#include "ClockChangeWatcher.h"

#include <QDBusError>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QVariantMap>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <limits>
#include <sys/timerfd.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcClockChange, "kestrum.clockchange")

namespace {

const QString kTimedatePath = QStringLiteral("/org/freedesktop/timedate1");
const QString kTimedateInterface = QStringLiteral("org.freedesktop.timedate1");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kTimezone = QStringLiteral("Timezone");

} // namespace

ClockChangeWatcher::ClockChangeWatcher(QObject *parent)
    : QObject(parent)
{
}

ClockChangeWatcher::~ClockChangeWatcher()
{
    delete m_notifier;
    if (m_timerFd >= 0)
        ::close(m_timerFd);
}

bool ClockChangeWatcher::start(const QDBusConnection &systemBus)
{
    // timedated starts on demand, so the signal is watched without asking for its owner.
    if (systemBus.isConnected()) {
        if (!QDBusConnection(systemBus).connect(QString(), kTimedatePath, kPropertiesInterface, QStringLiteral("PropertiesChanged"),
                                                this, SLOT(onTimedateProperties(QString, QVariantMap, QStringList))))
            qCWarning(lcClockChange).noquote() << "A change of the time zone cannot be watched:" << systemBus.lastError().message();
    } else {
        qCInfo(lcClockChange, "No system bus: a change of the time zone is noticed only at the next wake.");
    }

    if (m_timerFd >= 0)
        return true;
    m_timerFd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd < 0 || !armTimer()) {
        qCWarning(lcClockChange, "Changes of the system time cannot be watched (%s); they are noticed only at the next wake.",
                  strerror(errno));
        if (m_timerFd >= 0)
            ::close(m_timerFd);
        m_timerFd = -1;
        return false;
    }
    m_notifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &ClockChangeWatcher::onTimerReadable);
    return true;
}

bool ClockChangeWatcher::armTimer()
{
    // An absolute expiry far ahead that never comes; the kernel cancels the timer, and so wakes
    // its reader, whenever the real-time clock is set.
    itimerspec spec = {};
    spec.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    return ::timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) == 0;
}

void ClockChangeWatcher::onTimerReadable()
{
    std::uint64_t expirations = 0;
    const ssize_t read = ::read(m_timerFd, &expirations, sizeof expirations);
    if (read < 0 && errno == EAGAIN)
        return;
    const bool changed = read < 0 && errno == ECANCELED;
    // A cancelled timer stays cancelled until it is armed again.
    if (!armTimer()) {
        qCWarning(lcClockChange, "Changes of the system time can no longer be watched: %s", strerror(errno));
        m_notifier->setEnabled(false);
    }
    if (changed) {
        qCInfo(lcClockChange, "The system time was set.");
        Q_EMIT clockChanged();
    }
}

void ClockChangeWatcher::onTimedateProperties(const QString &interface, const QVariantMap &changed,
                                              const QStringList &invalidated)
{
    if (interface != kTimedateInterface || (!changed.contains(kTimezone) && !invalidated.contains(kTimezone)))
        return;
    qCInfo(lcClockChange).noquote() << "The time zone changed to" << changed.value(kTimezone).toString();
    Q_EMIT clockChanged();
}
