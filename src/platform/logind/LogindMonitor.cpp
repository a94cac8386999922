#include "LogindMonitor.h"

#include <QCoreApplication>
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

// logind answers at once; one that takes longer than this is treated as broken. Nothing waits
// for the answers: a hung logind leaves out only what it was asked for.
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
    // What, who, why and mode: logind shows who and why to the user, in its own dialogs too.
    call << QStringLiteral("sleep") << QStringLiteral("Kestrum")
         << QCoreApplication::translate("LogindMonitor", "Pause counting before the computer sleeps") << QStringLiteral("delay");
    return call;
}

} // namespace

LogindMonitor::LogindMonitor(QObject *parent)
    : QObject(parent)
{
}

LogindMonitor::~LogindMonitor() = default;

void LogindMonitor::start(const QDBusConnection &bus)
{
    if (m_starting || m_started)
        return;
    if (!bus.isConnected()) {
        // not translated: log only
        startFailed(QStringLiteral("no system bus: %1").arg(errorText(bus.lastError())));
        return;
    }
    m_bus = bus;
    m_starting = true;
    askWhetherLogindIsPresent();
}

void LogindMonitor::ask(const QDBusMessage &call, std::function<void(const QDBusMessage &answer)> answered)
{
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [answered = std::move(answered)](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        answered(finished->reply());
    });
}

void LogindMonitor::askWhetherLogindIsPresent()
{
    const auto busCall = [](const QString &method) {
        return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                              QStringLiteral("org.freedesktop.DBus"), method);
    };
    QDBusMessage hasOwner = busCall(QStringLiteral("NameHasOwner"));
    hasOwner << kService;
    ask(hasOwner, [this, busCall](const QDBusMessage &answer) {
        const QDBusReply<bool> registered = answer;
        if (registered.isValid() && registered.value()) {
            logindFound();
            return;
        }
        // logind may be started on demand; the first call to it then starts it.
        ask(busCall(QStringLiteral("ListActivatableNames")), [this, registered](const QDBusMessage &answer) {
            const QDBusReply<QStringList> activatable = answer;
            if (activatable.isValid() && activatable.value().contains(kService))
                logindFound();
            else
                // not translated: log only
                startFailed(registered.isValid() ? QStringLiteral("%1 is not on the bus").arg(kService) : errorText(registered.error()));
        });
    });
}

void LogindMonitor::logindFound()
{
    m_starting = false;
    // Subscribing before the inhibitor is taken, so that no sleep can slip in between unseen.
    if (!m_bus.connect(kService, kManagerPath, kManagerInterface, QStringLiteral("PrepareForSleep"), this,
                       SLOT(onPrepareForSleep(bool)))) {
        // not translated: log only
        startFailed(QStringLiteral("cannot subscribe to PrepareForSleep: %1").arg(errorText(m_bus.lastError())));
        return;
    }
    m_started = true;

    // A restarted logind knows nothing of the inhibitor Kestrum held; a new one is taken from it.
    auto *restarts = new QDBusServiceWatcher(kService, m_bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(restarts, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        m_inhibitor = QDBusUnixFileDescriptor();
        m_preparingForSleep = false;
        takeInhibitorLater();
    });

    m_startPending = InhibitorPart | SessionPart;
    takeInhibitorLater();
    findSession();
}

void LogindMonitor::startFailed(const QString &why)
{
    m_starting = false;
    m_bus = QDBusConnection(QString());
    reportRegistrationFailure(why);
    // Queued, as every other outcome of a start is: the caller hears of it from its event loop.
    QMetaObject::invokeMethod(this, &LogindMonitor::startFinished, Qt::QueuedConnection);
}

void LogindMonitor::startPartDone(StartPart part)
{
    if (!(m_startPending & part))
        return;
    m_startPending &= ~part;
    if (m_startPending == 0)
        Q_EMIT startFinished();
}

void LogindMonitor::reportUnavailable(const QString &why)
{
    // not translated: log only
    reportRegistrationFailure(QStringLiteral("the system bus does not answer: %1").arg(why));
}

void LogindMonitor::reportRegistrationFailure(const QString &why)
{
    if (m_registrationFailureReported)
        return;
    m_registrationFailureReported = true;
    qCWarning(lcLogind).noquote() << "Sleep and session switches are not watched:" << why;
    std::fputs(qPrintable(tr(RegistrationFailedLine) + u'\n'), stdout);
    std::fflush(stdout);
}

void LogindMonitor::reportOnce(Failure failure, const QString &text)
{
    // Only logged, so its texts stay English as every log line does.
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
    // not translated: log only
    reportOnce(Failure::NoFileDescriptorPassing, QStringLiteral("The system bus cannot pass file descriptors; sleep will not wait for Kestrum."));
    return false;
}

void LogindMonitor::takeInhibitorLater()
{
    if (m_inhibitor.isValid() || m_inhibitorRequested)
        return;
    if (!canPassDescriptors()) {
        startPartDone(InhibitorPart);
        return;
    }
    m_inhibitorRequested = true;
    ask(inhibitCall(), [this](const QDBusMessage &answer) {
        m_inhibitorRequested = false;
        // A sleep that began while the call was under way goes on without waiting; the wake
        // after it takes the inhibitor again.
        if (!m_preparingForSleep)
            keepInhibitor(answer);
        startPartDone(InhibitorPart);
    });
}

void LogindMonitor::keepInhibitor(const QDBusMessage &answer)
{
    const QDBusReply<QDBusUnixFileDescriptor> reply = answer;
    if (!reply.isValid() || !reply.value().isValid()) {
        reportOnce(Failure::Inhibit,
                   // not translated: log only
                   QStringLiteral("Cannot take a sleep inhibitor; sleep will not wait for Kestrum: %1").arg(errorText(reply.error())));
        return;
    }
    m_inhibitor = reply.value();
}

void LogindMonitor::findSession()
{
    m_sessionLookupErrors.clear();
    const auto byProcess = [this] {
        // not translated: log only
        askForSession(QStringLiteral("GetSessionByPID"), quint32(::getpid()), QStringLiteral("by process"), [this] { findSessionOfUser(); });
    };
    const QString id = qEnvironmentVariable("XDG_SESSION_ID");
    if (id.isEmpty())
        byProcess();
    else
        // not translated: log only
        askForSession(QStringLiteral("GetSession"), id, QStringLiteral("session %1").arg(id), byProcess);
}

void LogindMonitor::askForSession(const QString &method, const QVariant &argument, const QString &what, std::function<void()> otherwise)
{
    QDBusMessage call = managerCall(method);
    call << argument;
    ask(call, [this, what, otherwise = std::move(otherwise)](const QDBusMessage &answer) {
        const QDBusReply<QDBusObjectPath> reply = answer;
        if (reply.isValid()) {
            sessionFound(reply.value().path());
            return;
        }
        m_sessionLookupErrors << QStringLiteral("%1: %2").arg(what, errorText(reply.error()));
        otherwise();
    });
}

void LogindMonitor::findSessionOfUser()
{
    // A program started by the user's service manager rather than from inside the session
    // belongs to no session; the user's graphical session is then the one that matters.
    QDBusMessage getUser = managerCall(QStringLiteral("GetUser"));
    getUser << quint32(::getuid());
    ask(getUser, [this](const QDBusMessage &answer) {
        const QDBusReply<QDBusObjectPath> user = answer;
        if (!user.isValid()) {
            // not translated: log only
            sessionNotFound(QStringLiteral("user: %1").arg(errorText(user.error())));
            return;
        }
        ask(propertyGet(user.value().path(), kUserInterface, QStringLiteral("Display")), [this](const QDBusMessage &answer) {
            const QDBusReply<QDBusVariant> display = answer;
            if (!display.isValid()) {
                // not translated: log only
                sessionNotFound(QStringLiteral("user's session: %1").arg(errorText(display.error())));
                return;
            }
            QString displayId;
            QDBusObjectPath displayPath;
            const QDBusArgument argument = qvariant_cast<QDBusArgument>(display.value().variant());
            argument.beginStructure();
            argument >> displayId >> displayPath;
            argument.endStructure();
            if (!displayId.isEmpty() && displayPath.path() != u"/")
                sessionFound(displayPath.path());
            else
                // not translated: log only
                sessionNotFound(QStringLiteral("the user has no graphical session"));
        });
    });
}

void LogindMonitor::sessionFound(const QString &path)
{
    m_sessionPath = path;
    watchSession();
}

void LogindMonitor::sessionNotFound(const QString &why)
{
    m_sessionLookupErrors << why;
    // not translated: log only
    reportOnce(Failure::SessionLookup, QStringLiteral("Kestrum's login session was not found; session switches are not watched (%1)")
                                           .arg(m_sessionLookupErrors.join(u"; ")));
    startPartDone(SessionPart);
}

void LogindMonitor::watchSession()
{
    // Subscribing before reading, so that no change between the two is lost.
    if (!m_bus.connect(kService, m_sessionPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                       SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)))) {
        // not translated: log only
        reportOnce(Failure::SessionWatch, QStringLiteral("Cannot watch the login session %1; session switches are not watched: %2")
                                              .arg(m_sessionPath, errorText(m_bus.lastError())));
        startPartDone(SessionPart);
        return;
    }
    QDBusMessage getAll = QDBusMessage::createMethodCall(kService, m_sessionPath, kPropertiesInterface, QStringLiteral("GetAll"));
    getAll << kSessionInterface;
    ask(getAll, [this](const QDBusMessage &answer) {
        m_sessionRead = true;
        const QDBusReply<QVariantMap> reply = answer;
        if (reply.isValid()) {
            const QVariantMap properties = reply.value();
            for (const QString &name : {kActive, kLockedHint}) {
                if (properties.contains(name))
                    applySessionProperty(name, properties.value(name), Notify::Silently);
            }
        } else {
            reportOnce(Failure::SessionProperties,
                       // not translated: log only
                       QStringLiteral("Cannot read the login session %1: %2").arg(m_sessionPath, errorText(reply.error())));
        }
        startPartDone(SessionPart);
    });
}

void LogindMonitor::onSessionPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    // logind answers in order: the reading still to come was made after this change.
    if (interface != kSessionInterface || !m_sessionRead)
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
    ask(propertyGet(m_sessionPath, kSessionInterface, name), [this, name](const QDBusMessage &answer) {
        const QDBusReply<QDBusVariant> reply = answer;
        if (!reply.isValid()) {
            reportOnce(Failure::SessionProperties,
                       // not translated: log only
                       QStringLiteral("Cannot read the login session %1: %2").arg(m_sessionPath, errorText(reply.error())));
            return;
        }
        applySessionProperty(name, reply.value().variant(), Notify::OnChange);
    });
}

void LogindMonitor::applySessionProperty(const QString &name, const QVariant &value, Notify notify)
{
    if (value.typeId() != QMetaType::Bool) {
        // not translated: log only
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
