#include "LogindMonitor.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QLoggingCategory>

#include <cstdio>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcLogind, "kestrum.logind")

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kUserInterface = QStringLiteral("org.freedesktop.login1.User");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kActive = QStringLiteral("Active");
const QString kLockedHint = QStringLiteral("LockedHint");

// logind answers at once; a bus that takes longer than this is treated as broken rather than
// left to block the main thread. Kestrum starts the monitor only once the bus has answered.
constexpr int kCallTimeoutMs = 2000;

// logind's errors are one line. A peer that sends a whole stack trace is cut to its last line,
// which names the fault.
QString errorText(const QDBusError &error)
{
    const QStringList lines = error.message().split(u'\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? error.name() : lines.constLast().trimmed();
}

QDBusMessage managerCall(const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface, method);
}

QDBusMessage propertyGet(const QString &path, const QString &interface, const QString &name)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, kPropertiesInterface, QStringLiteral("Get"));
    call << interface << name;
    return call;
}

QDBusMessage inhibitCall()
{
    QDBusMessage call = managerCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kestrum")
         << QStringLiteral("Pause counting before the computer sleeps") << QStringLiteral("delay");
    return call;
}

} // namespace

LogindMonitor::LogindMonitor(QObject *parent)
    : QObject(parent)
{
}

LogindMonitor::~LogindMonitor() = default;

bool LogindMonitor::start(const QDBusConnection &bus)
{
    if (m_started)
        return true;

    QString why;
    if (!bus.isConnected()) {
        reportRegistrationFailure(QStringLiteral("no system bus: %1").arg(errorText(bus.lastError())));
        return false;
    }
    if (!logindIsPresent(bus, &why)) {
        reportRegistrationFailure(why);
        return false;
    }
    m_bus = bus;
    // Subscribing before the inhibitor is taken, so that no sleep can slip in between unseen.
    if (!m_bus.connect(kService, kManagerPath, kManagerInterface, QStringLiteral("PrepareForSleep"), this,
                       SLOT(onPrepareForSleep(bool)))) {
        reportRegistrationFailure(QStringLiteral("cannot subscribe to PrepareForSleep: %1").arg(errorText(m_bus.lastError())));
        m_bus = QDBusConnection(QString());
        return false;
    }
    m_started = true;

    // A restarted logind knows nothing of the inhibitor Kestrum held; a new one is taken from it.
    auto *restarts = new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(restarts, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        m_inhibitor = QDBusUnixFileDescriptor();
        m_preparingForSleep = false;
        takeInhibitorLater();
    });

    takeInhibitor();
    m_sessionPath = findSession();
    if (!m_sessionPath.isEmpty())
        watchSession();
    return true;
}

bool LogindMonitor::logindIsPresent(const QDBusConnection &bus, QString *why)
{
    const auto busCall = [&bus](const QString &method, const QVariantList &arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                           QStringLiteral("org.freedesktop.DBus"), method);
        call.setArguments(arguments);
        return bus.call(call, QDBus::Block, kCallTimeoutMs);
    };
    const QDBusReply<bool> registered = busCall(QStringLiteral("NameHasOwner"), {kService});
    if (registered.isValid() && registered.value())
        return true;
    // logind may be started on demand; the first call to it then starts it.
    const QDBusReply<QStringList> activatable = busCall(QStringLiteral("ListActivatableNames"), {});
    if (activatable.isValid() && activatable.value().contains(kService))
        return true;
    *why = registered.isValid() ? QStringLiteral("%1 is not on the bus").arg(kService) : errorText(registered.error());
    return false;
}

void LogindMonitor::reportUnavailable(const QString &why)
{
    reportRegistrationFailure(QStringLiteral("the system bus does not answer: %1").arg(why));
}

void LogindMonitor::reportRegistrationFailure(const QString &why)
{
    if (m_registrationFailureReported)
        return;
    m_registrationFailureReported = true;
    qCWarning(lcLogind).noquote() << "Sleep and session switches are not watched:" << why;
    std::fputs(qPrintable(RegistrationFailedLine + u'\n'), stdout);
    std::fflush(stdout);
}

void LogindMonitor::reportOnce(Failure failure, const QString &text)
{
    if (!m_reported.insert(failure).second)
        return;
    qCWarning(lcLogind).noquote() << text;
}

void LogindMonitor::allowPowerChange()
{
    // Dropping the last copy closes the descriptor, which is what tells logind to go on.
    m_inhibitor = QDBusUnixFileDescriptor();
}

void LogindMonitor::onPrepareForSleep(bool sleeping)
{
    m_preparingForSleep = sleeping;
    if (sleeping) {
        Q_EMIT powerMessage(PowerMessage::WillSleep);
        return;
    }
    takeInhibitorLater();
    Q_EMIT powerMessage(PowerMessage::HasPoweredOn);
}

bool LogindMonitor::canPassDescriptors()
{
    if (m_bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)
        return true;
    reportOnce(Failure::NoFileDescriptorPassing, QStringLiteral("The system bus cannot pass file descriptors; sleep will not wait for Kestrum."));
    return false;
}

void LogindMonitor::takeInhibitor()
{
    if (canPassDescriptors())
        keepInhibitor(m_bus.call(inhibitCall(), QDBus::Block, kCallTimeoutMs));
}

void LogindMonitor::takeInhibitorLater()
{
    if (m_inhibitor.isValid() || m_inhibitorRequested || !canPassDescriptors())
        return;
    m_inhibitorRequested = true;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(inhibitCall(), kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        m_inhibitorRequested = false;
        // A sleep that began while the call was under way goes on without waiting; the wake
        // after it takes the inhibitor again.
        if (!m_preparingForSleep)
            keepInhibitor(finished->reply());
    });
}

void LogindMonitor::keepInhibitor(const QDBusMessage &answer)
{
    const QDBusReply<QDBusUnixFileDescriptor> reply = answer;
    if (!reply.isValid() || !reply.value().isValid()) {
        reportOnce(Failure::Inhibit,
                   QStringLiteral("Cannot take a sleep inhibitor; sleep will not wait for Kestrum: %1").arg(errorText(reply.error())));
        return;
    }
    m_inhibitor = reply.value();
}

QString LogindMonitor::findSession()
{
    QStringList errors;
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    if (!id.isEmpty()) {
        QDBusMessage call = managerCall(QStringLiteral("GetSession"));
        call << id;
        const QDBusReply<QDBusObjectPath> reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.isValid())
            return reply.value().path();
        errors << QStringLiteral("session %1: %2").arg(id, errorText(reply.error()));
    }

    QDBusMessage byPid = managerCall(QStringLiteral("GetSessionByPID"));
    byPid << quint32(::getpid());
    const QDBusReply<QDBusObjectPath> pidReply = m_bus.call(byPid, QDBus::Block, kCallTimeoutMs);
    if (pidReply.isValid())
        return pidReply.value().path();
    errors << QStringLiteral("by process: %1").arg(errorText(pidReply.error()));

    // A program started by the user's service manager rather than from inside the session
    // belongs to no session; the user's graphical session is then the one that matters.
    QDBusMessage getUser = managerCall(QStringLiteral("GetUser"));
    getUser << quint32(::getuid());
    const QDBusReply<QDBusObjectPath> user = m_bus.call(getUser, QDBus::Block, kCallTimeoutMs);
    if (user.isValid()) {
        const QDBusReply<QDBusVariant> display =
            m_bus.call(propertyGet(user.value().path(), kUserInterface, QStringLiteral("Display")), QDBus::Block, kCallTimeoutMs);
        if (display.isValid()) {
            QString displayId;
            QDBusObjectPath displayPath;
            const QDBusArgument argument = qvariant_cast<QDBusArgument>(display.value().variant());
            argument.beginStructure();
            argument >> displayId >> displayPath;
            argument.endStructure();
            if (!displayId.isEmpty() && displayPath.path() != u"/")
                return displayPath.path();
            errors << QStringLiteral("the user has no graphical session");
        } else {
            errors << QStringLiteral("user's session: %1").arg(errorText(display.error()));
        }
    } else {
        errors << QStringLiteral("user: %1").arg(errorText(user.error()));
    }

    reportOnce(Failure::SessionLookup,
               QStringLiteral("Kestrum's login session was not found; session switches are not watched (%1)").arg(errors.join(u"; ")));
    return QString();
}

void LogindMonitor::watchSession()
{
    // Subscribing before reading, so that no change between the two is lost.
    if (!m_bus.connect(kService, m_sessionPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                       SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)))) {
        reportOnce(Failure::SessionWatch, QStringLiteral("Cannot watch the login session %1; session switches are not watched: %2")
                                              .arg(m_sessionPath, errorText(m_bus.lastError())));
        return;
    }
    QDBusMessage getAll = QDBusMessage::createMethodCall(kService, m_sessionPath, kPropertiesInterface, QStringLiteral("GetAll"));
    getAll << kSessionInterface;
    const QDBusReply<QVariantMap> reply = m_bus.call(getAll, QDBus::Block, kCallTimeoutMs);
    if (!reply.isValid()) {
        reportOnce(Failure::SessionProperties,
                   QStringLiteral("Cannot read the login session %1: %2").arg(m_sessionPath, errorText(reply.error())));
        return;
    }
    const QVariantMap properties = reply.value();
    for (const QString &name : {kActive, kLockedHint}) {
        if (properties.contains(name))
            applySessionProperty(name, properties.value(name), Notify::Silently);
    }
}

void LogindMonitor::onSessionPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface != kSessionInterface)
        return;
    for (const QString &name : {kActive, kLockedHint}) {
        if (changed.contains(name))
            applySessionProperty(name, changed.value(name), Notify::OnChange);
        else if (invalidated.contains(name))
            fetchSessionProperty(name);
    }
}

void LogindMonitor::fetchSessionProperty(const QString &name)
{
    auto *watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(propertyGet(m_sessionPath, kSessionInterface, name), kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, name](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *finished;
        if (reply.isError()) {
            reportOnce(Failure::SessionProperties,
                       QStringLiteral("Cannot read the login session %1: %2").arg(m_sessionPath, errorText(reply.error())));
            return;
        }
        applySessionProperty(name, reply.value().variant(), Notify::OnChange);
    });
}

void LogindMonitor::applySessionProperty(const QString &name, const QVariant &value, Notify notify)
{
    if (value.typeId() != QMetaType::Bool) {
        reportOnce(Failure::PropertyType, QStringLiteral("The login session's %1 is not a boolean: %2").arg(name, QString::fromLatin1(value.typeName())));
        return;
    }
    const bool flag = value.toBool();
    if (name == kActive) {
        if (flag == m_sessionActive)
            return;
        m_sessionActive = flag;
        if (notify == Notify::OnChange)
            Q_EMIT sessionActiveChanged(flag);
    } else if (name == kLockedHint) {
        if (flag == m_locked)
            return;
        m_locked = flag;
        if (notify == Notify::OnChange)
            Q_EMIT lockedChanged(flag);
    }
}
