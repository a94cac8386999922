#include "KWinScriptDesktop.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTemporaryFile>

Q_LOGGING_CATEGORY(lcKWinScript, "kestrum.kde.script")

// The script is a resource of this static library, which must be brought in by name.
static void initializeScriptResource()
{
    Q_INIT_RESOURCE(kde);
}

namespace {

const QString kKWinService = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kObjectPath = QStringLiteral("/io/github/kestrum/KWinWindows");
// KWin may be busy, but never for long: a call that takes longer is given up.
constexpr int kCallTimeoutMs = 2000;

QDBusMessage scriptingCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kKWinService, kScriptingPath, kScriptingInterface, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

bool KWinScriptDesktop::isKWinRunning(const QDBusConnection &bus)
{
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kKWinService);
}

std::unique_ptr<KWinScriptDesktop> KWinScriptDesktop::open(std::unique_ptr<WaylandConnection> connection,
                                                           const QDBusConnection &bus, QString *error)
{
    std::unique_ptr<KWinScriptDesktop> desktop(new KWinScriptDesktop(std::move(connection), bus));
    if (!desktop->m_bus.registerObject(kObjectPath, desktop.get(), QDBusConnection::ExportScriptableSlots)) {
        if (error)
            *error = tr("cannot offer KWin a way to report its windows: %1").arg(desktop->m_bus.lastError().message());
        return nullptr;
    }
    if (!desktop->writeScript(error))
        return nullptr;
    desktop->loadScript();
    return desktop;
}

KWinScriptDesktop::KWinScriptDesktop(std::unique_ptr<WaylandConnection> connection, const QDBusConnection &bus)
    : ToplevelDesktop(std::move(connection))
    , m_bus(bus)
{
}

KWinScriptDesktop::~KWinScriptDesktop()
{
    m_bus.unregisterObject(kObjectPath);
    if (m_script)
        m_bus.call(scriptingCall(QStringLiteral("unloadScript"), {QString::fromLatin1(kPluginName)}), QDBus::Block, kCallTimeoutMs);
}

bool KWinScriptDesktop::writeScript(QString *error)
{
    initializeScriptResource();
    QFile source(QStringLiteral(":/kde/kwin-window-watcher.js"));
    source.open(QIODevice::ReadOnly);
    QByteArray text = source.readAll();
    text.replace("@KESTRUM_SERVICE@", m_bus.baseService().toUtf8());

    // Only the user can read the script, in the user's own runtime directory.
    m_script = std::make_unique<QTemporaryFile>(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                                + QStringLiteral("/kestrum-kwin-XXXXXX.js"));
    if (!m_script->open() || m_script->write(text) != text.size() || !m_script->flush()) {
        if (error)
            *error = tr("cannot write KWin's window watcher: %1").arg(m_script->errorString());
        m_script.reset();
        return false;
    }
    return true;
}

void KWinScriptDesktop::loadScript()
{
    m_kwinOwner = m_bus.interface()->serviceOwner(kKWinService);
    const QString plugin = QString::fromLatin1(kPluginName);
    // A watcher that an earlier Kestrum left loaded (it was killed) goes first; then this one
    // is loaded and the loaded scripts are started. Nothing here waits for KWin.
    const auto then = [this](const QDBusPendingCall &call, auto next) {
        auto *watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [next](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            next(*finished);
        });
    };
    then(m_bus.asyncCall(scriptingCall(QStringLiteral("unloadScript"), {plugin}), kCallTimeoutMs), [=, this](const QDBusPendingCall &) {
        then(m_bus.asyncCall(scriptingCall(QStringLiteral("loadScript"), {m_script->fileName(), plugin}), kCallTimeoutMs),
             [=, this](const QDBusPendingCall &call) {
                 const QDBusPendingReply<int> loaded = call;
                 if (loaded.isError() || loaded.value() < 0) {
                     failToLoad(loaded.isError() ? loaded.error().message() : tr("it refused", "KWin refused to load the script"));
                     return;
                 }
                 then(m_bus.asyncCall(scriptingCall(QStringLiteral("start"), {}), kCallTimeoutMs), [this](const QDBusPendingCall &call) {
                     if (call.isError())
                         failToLoad(call.error().message());
                 });
             });
    });
}

void KWinScriptDesktop::failToLoad(const QString &why)
{
    const QString message = tr("KWin did not run Kestrum's window watcher (%1): windows are not watched.").arg(why);
    qCWarning(lcKWinScript).noquote() << message;
    Q_EMIT problem(message);
}

void KWinScriptDesktop::WindowActivated(const QString &id, const QString &appId, const QString &title, const QString &pid)
{
    report(id, appId, title, pid, true);
}

void KWinScriptDesktop::WindowChanged(const QString &id, const QString &appId, const QString &title, const QString &pid)
{
    report(id, appId, title, pid, false);
}

void KWinScriptDesktop::WindowClosed(const QString &id)
{
    if (!isFromKWin())
        return;
    const auto it = m_elements.constFind(id);
    if (it == m_elements.constEnd())
        return;
    toplevelClosed(*it);
    m_elements.erase(it);
}

void KWinScriptDesktop::report(const QString &id, const QString &appId, const QString &title, const QString &pid, bool activated)
{
    if (!isFromKWin())
        return;
    auto it = m_elements.find(id);
    if (it == m_elements.end())
        it = m_elements.insert(id, newElement());
    bool pidOk = false;
    const qint64 processId = pid.toLongLong(&pidOk);
    // KWin tells activations, not states: a window stays active until another is activated.
    toplevelChanged(*it, {appId, title, pidOk ? processId : 0, activated || *it == activeWindow()});
}

bool KWinScriptDesktop::isFromKWin()
{
    if (!calledFromDBus() || message().service() == m_kwinOwner)
        return true;
    qCWarning(lcKWinScript).noquote() << "Ignored a window report that did not come from KWin but from" << message().service();
    return false;
}
