#include "GnomeShellSession.h"

#include "../wayland/CompositorSession.h"
#include "Programs.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QString kShell = QStringLiteral("org.gnome.Shell");
const QString kShellPath = QStringLiteral("/org/gnome/Shell");
const QString kEvalExtension = QStringLiteral("shell-eval@kestrum-test");
const QString kSessionId = QStringLiteral("c1");
const QString kDisplayName = QStringLiteral("wayland-gnome");
// GNOME Shell's extension state for a running extension.
constexpr double kStateEnabled = 1.0;
constexpr int kCallTimeoutMs = 5000;

QString run(const QStringList &command, int timeoutMs, bool *ok)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.constFirst(), command.mid(1));
    *ok = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (process.state() != QProcess::NotRunning)
        stopProcess(process);
    return QString::fromLocal8Bit(process.readAll()).trimmed();
}

// The session bus as the Shell's session has it, open also to root: the tests, run as root,
// talk to the Shell of the user they run it as.
// Debian's session.conf listens in /tmp, which need not be writable by the Shell's user (it is
// mode 0711 on some machines): the bus listens in the session's runtime folder instead, as a
// login session's does.
QString sessionBusConfig(const QString &runtimeDirectory)
{
    return QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    <allow user="root"/>
  </policy>
  <includedir>/usr/share/dbus-1/session.d</includedir>
</busconfig>
)")
        .arg(runtimeDirectory);
}

// The Shell's answer to it is "true" while a window of the program is the focused one.
QString isFocused(const QString &appId)
{
    return QStringLiteral("global.display.focus_window?.get_wm_class() === '%1'").arg(appId);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

GnomeShellSession::GnomeShellSession() = default;

GnomeShellSession::~GnomeShellSession()
{
    for (auto &program : m_programs)
        stopProcess(*program);
    stopShell();
    m_logind.stop();
    if (!m_runtimeDirectory.isEmpty())
        QDir(m_runtimeDirectory).removeRecursively();
}

QStringList GnomeShellSession::missingPrograms()
{
    QStringList missing = ::missingPrograms({QStringLiteral("gnome-shell"), QStringLiteral("gnome-extensions"),
                                             QStringLiteral("dbus-run-session"), QStringLiteral("setpriv")});
    if (const QString tools = LogindMock::missingTools(); !tools.isEmpty())
        missing.append(tools);
    return missing;
}

bool GnomeShellSession::prepare(QString *error)
{
    m_asOtherUser = ::geteuid() == 0;
    m_uid = ::geteuid();
    m_gid = ::getegid();
    if (m_asOtherUser) {
        if (!CompositorSession::ensureTestUser(error))
            return false;
        const passwd *user = ::getpwnam(CompositorSession::testUser().toLocal8Bit().constData());
        if (!user) {
            *error = QStringLiteral("the user %1 is missing").arg(CompositorSession::testUser());
            return false;
        }
        m_uid = user->pw_uid;
        m_gid = user->pw_gid;
    }
    // Not under the test's own temporary folder: the Shell's user must be able to enter it.
    QByteArray path = QDir::tempPath().toLocal8Bit() + "/kestrum-gnome-XXXXXX";
    if (!::mkdtemp(path.data())) {
        *error = QStringLiteral("cannot create a runtime directory");
        return false;
    }
    m_runtimeDirectory = QString::fromLocal8Bit(path);
    for (const QString &folder : {QStringLiteral("home"), QStringLiteral("logs"), QStringLiteral("bin")})
        QDir(m_runtimeDirectory).mkpath(folder);

    if (!m_logind.startBus(error) || !m_logind.startLogind(error))
        return false;
    m_logind.addSession(kSessionId, m_uid, true);

    // A user's environment in a GNOME session, and nothing of the test's own desktop.
    m_environment.insert(QStringLiteral("PATH"), home() + QStringLiteral("/.local/bin:/usr/local/bin:/usr/bin:/bin"));
    m_environment.insert(QStringLiteral("HOME"), home());
    m_environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDirectory);
    m_environment.insert(QStringLiteral("XDG_SESSION_ID"), kSessionId);
    m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    m_environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), kDisplayName);
    m_environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_logind.address());
    return true;
}

bool GnomeShellSession::install(const QString &buildDirectory, QString *error)
{
    // The build tree's own install manifest (what a real install removes by) survives this one.
    QFile manifest(buildDirectory + QStringLiteral("/install_manifest.txt"));
    const std::optional<QByteArray> saved =
        manifest.open(QIODevice::ReadOnly) ? std::optional(manifest.readAll()) : std::nullopt;
    manifest.close();
    QStringList command{QStringLiteral(KESTRUM_CMAKE), QStringLiteral("--install"), buildDirectory, QStringLiteral("--prefix"),
                        home() + QStringLiteral("/.local")};
    if (const QString config = QStringLiteral(KESTRUM_BUILD_CONFIG); !config.isEmpty())
        command << QStringLiteral("--config") << config;
    bool ok = false;
    const QString output = run(command, 60000, &ok);
    if (saved)
        writeFile(manifest.fileName(), *saved);
    else
        manifest.remove();
    if (!ok)
        *error = QStringLiteral("cmake --install failed: %1").arg(output);
    return ok;
}

bool GnomeShellSession::addDesktopEntry(const QString &fileName, const QString &name) const
{
    return writeFile(home() + QStringLiteral("/.local/share/applications/") + fileName,
                     QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=true\n").arg(name).toUtf8());
}

bool GnomeShellSession::chownToUser(const QString &path)
{
    if (!m_asOtherUser)
        return true;
    bool ok = false;
    run({QStringLiteral("chown"), QStringLiteral("-R"), QStringLiteral("%1:%2").arg(m_uid).arg(m_gid), path}, 10000, &ok);
    return ok;
}

std::unique_ptr<QProcess> GnomeShellSession::newProcess(const QString &program, const QStringList &arguments, const QString &log)
{
    QStringList command = QStringList{program} + arguments;
    // setpriv, unlike runuser, leaves no process between: the program gets the signals sent.
    if (m_asOtherUser)
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(m_uid), QStringLiteral("--regid=%1").arg(m_gid),
                              QStringLiteral("--clear-groups"), QStringLiteral("--pdeathsig=TERM"), QStringLiteral("--")}
            + command;
    auto process = std::make_unique<QProcess>();
    process->setProgram(command.constFirst());
    process->setArguments(command.mid(1));
    process->setProcessEnvironment(m_environment);
    endWithTestProcess(*process);
    if (!log.isEmpty()) {
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(log);
        m_logs.insert(process.get(), log);
    }
    return process;
}

bool GnomeShellSession::start(QString *error)
{
    const QString extensions = home() + QStringLiteral("/.local/share/gnome-shell/extensions/");
    const QDir evalExtension(QStringLiteral(KESTRUM_EVAL_EXTENSION));
    QDir().mkpath(extensions + kEvalExtension);
    for (const QString &file : evalExtension.entryList(QDir::Files))
        QFile::copy(evalExtension.filePath(file), extensions + kEvalExtension + u'/' + file);
    const QString config = m_runtimeDirectory + QStringLiteral("/session-bus.conf");
    if (!writeFile(config, sessionBusConfig(m_runtimeDirectory).toUtf8()) || !chownToUser(m_runtimeDirectory)) {
        *error = QStringLiteral("cannot hand %1 over to the Shell's user").arg(m_runtimeDirectory);
        return false;
    }
    QFile::setPermissions(m_runtimeDirectory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // The session bus's address and the Shell's process are written where the test finds them;
    // should the session bus end, the Shell goes with it.
    const QString script = QStringLiteral(
                               "echo \"$DBUS_SESSION_BUS_ADDRESS\" > '%1/bus' && echo $$ > '%1/shell.pid' && "
                               "exec setpriv --pdeathsig=TERM -- gnome-shell --headless --wayland --no-x11 --wayland-display %2 "
                               "--virtual-monitor 1280x800")
                               .arg(m_runtimeDirectory, kDisplayName);
    m_shell = newProcess(QStringLiteral("dbus-run-session"),
                         {QStringLiteral("--config-file=%1").arg(config), QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), script},
                         m_runtimeDirectory + QStringLiteral("/logs/gnome-shell.log"));
    m_shell->start();
    if (!waitForShell(error) || !enableExtension(kEvalExtension, error))
        return false;
    // The Shell shows the overview once its start-up is done; animations would only slow it.
    if (!evaluateUntil(QStringLiteral("Main.layoutManager._startingUp"), QStringLiteral("false"), 20000)
        || !evaluate(QStringLiteral("imports.gi.St.Settings.get().inhibit_animations(); Main.overview.hide();"), error)
        || !evaluateUntil(QStringLiteral("Main.overview.visible"), QStringLiteral("false"), 10000)) {
        *error = QStringLiteral("GNOME Shell does not leave its overview: %1").arg(shellLog());
        return false;
    }
    return true;
}

bool GnomeShellSession::waitForShell(QString *error)
{
    const QDeadlineTimer deadline(30s);
    QFile busFile(m_runtimeDirectory + QStringLiteral("/bus"));
    QString address;
    while (!deadline.hasExpired() && m_shell->state() != QProcess::NotRunning) {
        if (address.isEmpty() && busFile.open(QIODevice::ReadOnly)) {
            const QByteArray line = busFile.readAll();
            busFile.close();
            if (line.endsWith('\n')) {
                address = QString::fromLocal8Bit(line.trimmed());
                m_bus = QDBusConnection::connectToBus(address, QStringLiteral("gnome-shell-session"));
                m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
            }
        }
        if (m_bus.isConnected() && m_bus.interface()->isServiceRegistered(kShell).value())
            return true;
        QThread::msleep(50);
    }
    *error = QStringLiteral("GNOME Shell does not start: %1").arg(shellLog());
    return false;
}

bool GnomeShellSession::enableExtension(const QString &uuid, QString *error)
{
    QProcess *tool = startProgram(QStringLiteral("gnome-extensions"), {QStringLiteral("enable"), uuid});
    if (!tool || !tool->waitForFinished(15000) || tool->exitCode() != 0) {
        *error = QStringLiteral("gnome-extensions enable %1 failed: %2").arg(uuid, tool ? logOf(tool) : QString());
        return false;
    }
    const QDeadlineTimer deadline(15s);
    QVariantMap info;
    while (!deadline.hasExpired()) {
        QDBusMessage message = QDBusMessage::createMethodCall(kShell, kShellPath, QStringLiteral("org.gnome.Shell.Extensions"),
                                                              QStringLiteral("GetExtensionInfo"));
        message.setArguments({uuid});
        const QDBusMessage reply = m_bus.call(message, QDBus::Block, kCallTimeoutMs);
        info = qdbus_cast<QVariantMap>(reply.arguments().value(0));
        if (info.value(QStringLiteral("state")).toDouble() == kStateEnabled)
            return true;
        QThread::msleep(50);
    }
    *error = QStringLiteral("GNOME Shell does not enable %1 (state %2, %3): %4")
                 .arg(uuid, info.value(QStringLiteral("state")).toString(), info.value(QStringLiteral("error")).toString(), shellLog());
    return false;
}

std::optional<QString> GnomeShellSession::evaluate(const QString &code, QString *error)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kShell, kShellPath, kShell, QStringLiteral("Eval"));
    message.setArguments({code});
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, kCallTimeoutMs);
    const bool ok = reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
    const QString result = reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(1).toString() : reply.errorMessage();
    if (!ok && error)
        *error = QStringLiteral("Eval of \"%1\" failed: %2").arg(code, result);
    return ok ? std::optional(result) : std::nullopt;
}

bool GnomeShellSession::evaluateUntil(const QString &code, const QString &result, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (evaluate(code) != result) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool GnomeShellSession::focus(const QString &appId)
{
    return evaluate(QStringLiteral("const window = global.display.list_all_windows().find(w => w.get_wm_class() === '%1');"
                                   "if (window) Main.activateWindow(window);")
                        .arg(appId))
        && evaluateUntil(isFocused(appId), QStringLiteral("true"), 5000);
}

qint64 GnomeShellSession::focusedProcess()
{
    return evaluate(QStringLiteral("global.display.focus_window?.get_pid() ?? 0")).value_or(QString()).toLongLong();
}

bool GnomeShellSession::typeKey()
{
    return evaluate(QStringLiteral("const {Clutter, GLib} = imports.gi;"
                                   "const keyboard = Clutter.get_default_backend().get_default_seat()"
                                   "    .create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);"
                                   "const now = GLib.get_monotonic_time();"
                                   "keyboard.notify_keyval(now, Clutter.KEY_Shift_L, Clutter.KeyState.PRESSED);"
                                   "keyboard.notify_keyval(now, Clutter.KEY_Shift_L, Clutter.KeyState.RELEASED);"))
        .has_value();
}

std::optional<quint64> GnomeShellSession::idleMilliseconds()
{
    const QDBusMessage reply = m_bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                                                         QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
                                                                         QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                                                         QStringLiteral("GetIdletime")),
                                          QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments().value(0).toULongLong();
}

QString GnomeShellSession::reachable(const QString &program)
{
    if (!QFileInfo(program).isAbsolute() || program.startsWith(m_runtimeDirectory + u'/'))
        return program;
    const QString copy = m_runtimeDirectory + QStringLiteral("/bin/") + QFileInfo(program).fileName();
    if (!QFile::exists(copy)) {
        QFile::copy(program, copy);
        chownToUser(copy);
    }
    return copy;
}

QProcess *GnomeShellSession::startProgram(const QString &program, const QStringList &arguments)
{
    const QString log = m_runtimeDirectory + QStringLiteral("/logs/%1-%2.log").arg(QFileInfo(program).fileName()).arg(m_programs.size());
    m_programs.push_back(newProcess(reachable(program), arguments, log));
    QProcess *process = m_programs.back().get();
    process->start();
    return process->waitForStarted(5000) ? process : nullptr;
}

QProcess *GnomeShellSession::openToplevel(const QString &appId, const QString &title)
{
    m_programs.push_back(newProcess(reachable(QStringLiteral(KESTRUM_TEST_TOPLEVELS)),
                                    {QStringLiteral("--app-id"), appId, QStringLiteral("--title"), title}));
    QProcess *client = m_programs.back().get();
    client->start();
    const QDeadlineTimer deadline(20s);
    while (!client->canReadLine() && client->state() != QProcess::NotRunning && !deadline.hasExpired())
        client->waitForReadyRead(100);
    if (client->readLine().trimmed() != "ready")
        return nullptr;
    // Mutter focuses a new window when it maps it, which on a busy machine may come well after
    // the client's first frame: until then a focus asked for could be taken away again.
    return evaluateUntil(isFocused(appId), QStringLiteral("true"), 20000) ? client : nullptr;
}

QString GnomeShellSession::logOf(const QProcess *process) const
{
    QFile file(m_logs.value(process));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll().right(6000)) : QString();
}

void GnomeShellSession::stopShell()
{
    if (!m_shell || m_shell->state() == QProcess::NotRunning)
        return;
    // dbus-run-session ends, and ends its bus, once the Shell it runs has ended.
    QFile pidFile(m_runtimeDirectory + QStringLiteral("/shell.pid"));
    const pid_t shell = pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readAll().trimmed().toLong()) : 0;
    if (shell > 0)
        ::kill(shell, SIGTERM);
    if (!m_shell->waitForFinished(10000) && shell > 0) {
        ::kill(shell, SIGKILL);
        m_shell->waitForFinished(5000);
    }
    stopProcess(*m_shell);
    QDBusConnection::disconnectFromBus(QStringLiteral("gnome-shell-session"));
}
