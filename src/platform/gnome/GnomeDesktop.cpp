#include "GnomeDesktop.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcGnome, "kestrum.gnome")

namespace {

const QString kShellService = QStringLiteral("org.gnome.Shell");
const QString kTrackerPath = QStringLiteral("/io/github/kestrum/Kestrum");
const QString kTrackerInterface = QStringLiteral("io.github.kestrum.Kestrum.FocusTracker");
const QString kExtensionsPath = QStringLiteral("/org/gnome/Shell");
const QString kExtensionsInterface = QStringLiteral("org.gnome.Shell.Extensions");
// GNOME Shell's extension states: ENABLED (ACTIVE from GNOME 45 on) is 1.
constexpr double kStateEnabled = 1.0;
const QString kIdleService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kIdlePath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kIdleInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kScreenSaverService = QStringLiteral("org.gnome.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/gnome/ScreenSaver");
const QString kScreenSaverInterface = QStringLiteral("org.gnome.ScreenSaver");
// The command that enables the extension, as the user types it.
const QString kEnableCommand = QStringLiteral("gnome-extensions enable %1"); // not translated: a command to type
// What the tracker is told is in front while the extension does not answer.
const QString kUnknownApplication = QStringLiteral("Unknown"); // not translated: booked and stored as an application name
// The Shell answers at once when it is well; a call that takes longer is given up.
constexpr int kCallTimeoutMs = 2000;
// The Shell enables its extensions a moment after it takes its bus name, and the user may
// enable the extension later: while it does not answer, it is asked again this often.
constexpr int kRetryMs = 10'000;

} // namespace

bool GnomeDesktop::isGnomeSession()
{
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    return desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive);
}

std::unique_ptr<GnomeDesktop> GnomeDesktop::open(const QDBusConnection &bus, QString *error)
{
    if (!bus.isConnected()) {
        if (error)
            *error = tr("the session bus, which GNOME Shell tells of windows on, cannot be reached");
        return nullptr;
    }
    return std::unique_ptr<GnomeDesktop>(new GnomeDesktop(bus));
}

GnomeDesktop::GnomeDesktop(const QDBusConnection &bus)
    : m_bus(bus)
    , m_shellWatcher(kShellService, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    // The front application stays nameless, so nothing is booked, until the extension's first
    // answer names it (a moment after the start) or the question fails and makes it "Unknown".
    m_bus.connect(kShellService, kTrackerPath, kTrackerInterface, QStringLiteral("ActiveWindowChanged"), this,
                  SLOT(activeWindowChanged(QString, QString, uint)));
    m_bus.connect(kScreenSaverService, kScreenSaverPath, kScreenSaverInterface, QStringLiteral("ActiveChanged"), this,
                  SLOT(screenSaverActiveChanged(bool)));
    connect(&m_shellWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                if (newOwner.isEmpty())
                    extensionMissing(tr("GNOME Shell left the session bus"));
                else
                    askActiveWindow();
            });
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &GnomeDesktop::askActiveWindow);
    askActiveWindow();

    QDBusMessage locked = QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath, kScreenSaverInterface,
                                                         QStringLiteral("GetActive"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(locked, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<bool> reply = *call;
        if (!reply.isError())
            screenSaverActiveChanged(reply.value());
    });
    askIdleTime();
}

GnomeDesktop::~GnomeDesktop() = default;

void GnomeDesktop::askActiveWindow()
{
    const QDBusMessage message = QDBusMessage::createMethodCall(kShellService, kTrackerPath, kTrackerInterface,
                                                                QStringLiteral("ActiveWindow"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QString, QString, uint> reply = *call;
        if (reply.isError()) {
            extensionMissing(reply.error().message());
            return;
        }
        activeWindowChanged(reply.argumentAt<0>(), reply.argumentAt<1>(), reply.argumentAt<2>());
    });
}

void GnomeDesktop::extensionMissing(const QString &why)
{
    m_extensionAnswers = false;
    m_retry.start();
    askExtensionState();
    setActiveWindow(WindowElement(), {kUnknownApplication, 0});
    if (m_missingReported)
        return;
    m_missingReported = true;
    const QString message =
        tr("Kestrum's GNOME Shell extension does not answer (%1), so applications are counted as \"Unknown\". Enable it with "
           "\"gnome-extensions enable %2\" and log in again.")
            .arg(why, QString::fromLatin1(kExtensionUuid));
    qCWarning(lcGnome).noquote() << message;
    Q_EMIT problem(message);
}

void GnomeDesktop::activeWindowChanged(const QString &appId, const QString &title, uint pid)
{
    if (!m_extensionAnswers)
        setExtensionState(ExtensionState::Enabled);
    m_extensionAnswers = true;
    m_missingReported = false;
    m_retry.stop();
    if (appId.isEmpty() && title.isEmpty() && pid == 0)
        return; // no window has the focus: the last one stays in front, as on the other desktops
    const QString key = appId + u'\n' + QString::number(pid) + u'\n' + title;
    auto element = m_elements.constFind(key);
    if (element == m_elements.constEnd()) {
        element = m_elements.insert(key, WindowElement(++m_lastElement));
        m_titles.insert(*element, title);
    }
    if (*element != activeWindow())
        setActiveWindow(*element, {m_desktopEntries.applicationName(appId), pid});
}

void GnomeDesktop::screenSaverActiveChanged(bool active)
{
    setScreenLocked(LockSource::SessionScreenSaver, active);
}

std::optional<QString> GnomeDesktop::windowTitle(WindowElement window) const
{
    const auto it = m_titles.constFind(window);
    return it != m_titles.constEnd() ? std::optional(*it) : std::nullopt;
}

void GnomeDesktop::askIdleTime()
{
    if (m_idleAsked)
        return; // the last question is still open: Mutter is slow, and is not asked twice
    m_idleAsked = true;
    const QDBusMessage message = QDBusMessage::createMethodCall(kIdleService, kIdlePath, kIdleInterface, QStringLiteral("GetIdletime"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        m_idleAsked = false;
        const QDBusPendingReply<quint64> reply = *call;
        if (reply.isError()) {
            if (m_idleFailure == IdleReading::Status::Ok)
                qCWarning(lcGnome).noquote() << "Mutter does not tell the idle time:" << reply.error().message();
            m_idleFailure = reply.error().type() == QDBusError::ServiceUnknown ? IdleReading::Status::ServiceUnreachable
                                                                                : IdleReading::Status::PropertiesUnreadable;
            m_idleMilliseconds.reset();
            return;
        }
        m_idleFailure = IdleReading::Status::Ok;
        m_idleMilliseconds = reply.value();
        m_idleAnswered.start();
    });
}

IdleReading GnomeDesktop::read()
{
    askIdleTime();
    if (!m_idleMilliseconds)
        return {m_idleFailure == IdleReading::Status::Ok ? IdleReading::Status::Pending : m_idleFailure};
    // No input since the answer, or the next answer says otherwise a tick later.
    const quint64 milliseconds = *m_idleMilliseconds + quint64(m_idleAnswered.elapsed());
    return {IdleReading::Status::Ok, milliseconds * 1'000'000u};
}

void GnomeDesktop::askExtensionState()
{
    QDBusMessage message = QDBusMessage::createMethodCall(kShellService, kExtensionsPath, kExtensionsInterface,
                                                          QStringLiteral("GetExtensionInfo"));
    message.setArguments({QString::fromLatin1(kExtensionUuid)});
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QVariantMap> reply = *call;
        if (m_extensionAnswers)
            return; // it answers: that says more than any state
        if (reply.isError())
            setExtensionState(ExtensionState::Unknown);
        else if (reply.value().isEmpty())
            setExtensionState(ExtensionState::NotInstalled);
        else
            setExtensionState(reply.value().value(QStringLiteral("state")).toDouble() == kStateEnabled ? ExtensionState::Enabled
                                                                                                        : ExtensionState::Disabled);
    });
}

void GnomeDesktop::setExtensionState(ExtensionState state)
{
    if (state == m_extensionState)
        return;
    m_extensionState = state;
    Q_EMIT extensionStateChanged(state);
}

QString GnomeDesktop::describe(ExtensionState state)
{
    const QString command = kEnableCommand.arg(QString::fromLatin1(kExtensionUuid));
    switch (state) {
    case ExtensionState::Enabled:
        return tr("Kestrum's GNOME Shell extension is installed and enabled: Kestrum sees which window is in front.");
    case ExtensionState::Disabled:
        return tr("Kestrum's GNOME Shell extension is installed but not enabled, so applications are counted as \"Unknown\". "
                  "Enable it with \"%1\"; it takes effect after you next log in.")
            .arg(command);
    case ExtensionState::NotInstalled:
        return tr("Kestrum's GNOME Shell extension is not installed, so applications are counted as \"Unknown\". Install "
                  "Kestrum (cmake --install), enable the extension with \"%1\" and log in again.")
            .arg(command);
    case ExtensionState::Unknown:
        break;
    }
    return tr("GNOME Shell does not say whether Kestrum's extension is installed. Kestrum needs it to see which window is "
              "in front: enable it with \"%1\" and log in again.")
        .arg(command);
}
