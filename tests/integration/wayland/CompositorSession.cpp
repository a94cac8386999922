#include "CompositorSession.h"

#include "Programs.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cstdlib>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QString kTestUser = QStringLiteral("kestrum-test");
const QString kToplevels = QStringLiteral(KESTRUM_TEST_TOPLEVELS);

bool isRoot()
{
    return ::geteuid() == 0;
}

// Sway refuses root: as root the tests run it as this ordinary user, made once if missing.
bool ensureTestUser(QString *error)
{
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-u"), kTestUser});
    id.waitForFinished(5000);
    if (id.exitCode() == 0)
        return true;
    QProcess add;
    add.start(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"), QStringLiteral("--shell"),
                                          QStringLiteral("/usr/sbin/nologin"), kTestUser});
    add.waitForFinished(10000);
    // Another test may have made it meanwhile: 9 is "the user exists".
    if (add.exitCode() == 0 || add.exitCode() == 9)
        return true;
    *error = QStringLiteral("cannot create the user %1 to run the session as: %2").arg(kTestUser, QString::fromLocal8Bit(add.readAllStandardError()));
    return false;
}

std::unique_ptr<QProcess> newProcess(const QStringList &command, const QProcessEnvironment &environment, const QString &logPath)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(command.constFirst());
    process->setArguments(command.mid(1));
    process->setProcessEnvironment(environment);
    // Should the test process die, the compositor and its clients go with it.
    endWithTestProcess(*process);
    if (!logPath.isEmpty()) {
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(logPath);
    }
    return process;
}

} // namespace

CompositorSession::CompositorSession(Compositor compositor)
    : m_compositor(compositor)
{
}

CompositorSession::~CompositorSession()
{
    for (auto &program : m_programs)
        stopProcess(*program);
    // KWin runs under dbus-run-session and sway under runuser: ending those does not end the
    // compositor itself.
    killCompositor();
    if (!m_runtimeDirectory.isEmpty())
        QDir(m_runtimeDirectory).removeRecursively();
}

QString CompositorSession::testUser()
{
    return kTestUser;
}

bool CompositorSession::ensureTestUser(QString *error)
{
    return ::ensureTestUser(error);
}

QStringList CompositorSession::missingPrograms(Compositor compositor)
{
    if (compositor == Compositor::Sway)
        return ::missingPrograms({QStringLiteral("sway"), QStringLiteral("swaymsg"), QStringLiteral("wtype")});
    return ::missingPrograms({QStringLiteral("kwin_wayland"), QStringLiteral("dbus-run-session")});
}

bool CompositorSession::start(QString *error)
{
    // Not under the test's own temporary folder: sway's user must be able to enter it.
    QByteArray path = QDir::tempPath().toLocal8Bit() + "/kestrum-wayland-XXXXXX";
    if (!::mkdtemp(path.data())) {
        *error = QStringLiteral("cannot create a runtime directory");
        return false;
    }
    m_runtimeDirectory = QString::fromLocal8Bit(path);
    QDir(m_runtimeDirectory).mkpath(QStringLiteral("home"));
    QDir(m_runtimeDirectory).mkpath(QStringLiteral("logs"));
    m_socketName = QStringLiteral("wayland-test");

    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.remove(QStringLiteral("DISPLAY"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDirectory);
    m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    m_environment.insert(QStringLiteral("HOME"), home());
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
    m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), m_runtimeDirectory + QStringLiteral("/no-data"));
    return m_compositor == Compositor::Sway ? startSway(error) : startKWin(error);
}

bool CompositorSession::startSway(QString *error)
{
    m_asOtherUser = isRoot();
    if (m_asOtherUser) {
        if (!ensureTestUser(error))
            return false;
        QProcess chown;
        chown.start(QStringLiteral("chown"), {QStringLiteral("-R"), kTestUser, m_runtimeDirectory});
        chown.waitForFinished(5000);
    }
    QFile::setPermissions(m_runtimeDirectory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile config(m_runtimeDirectory + QStringLiteral("/sway.conf"));
    if (!config.open(QIODevice::WriteOnly) || config.write("output HEADLESS-1 resolution 1280x720\n") < 0) {
        *error = QStringLiteral("cannot write sway's configuration");
        return false;
    }
    config.close();

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), m_runtimeDirectory);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDirectory);
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socketName);
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    // sway names its socket itself (wayland-1, …): it is found after the start.
    m_compositorProcess = newProcess(asSessionUser(QStringLiteral("sway"), {QStringLiteral("-c"), config.fileName()}), environment,
                                     m_runtimeDirectory + QStringLiteral("/logs/sway.log"));
    m_logs.insert(m_compositorProcess.get(), m_runtimeDirectory + QStringLiteral("/logs/sway.log"));
    m_compositorProcess->start();
    return waitForSocket(error);
}

bool CompositorSession::startKWin(QString *error)
{
    // The installed binary carries a file capability that a container may refuse to execute;
    // a copy of it has none.
    const QString kwin = m_runtimeDirectory + QStringLiteral("/bin/kwin_wayland");
    QDir(m_runtimeDirectory).mkpath(QStringLiteral("bin"));
    if (!QFile::copy(QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")), kwin)) {
        *error = QStringLiteral("cannot copy kwin_wayland");
        return false;
    }
    QFile::setPermissions(kwin, QFile::ReadOwner | QFile::ExeOwner);
    QProcessEnvironment environment = m_environment;
    if (m_compositor == Compositor::TrustedKWin)
        environment.insert(QStringLiteral("KWIN_WAYLAND_NO_PERMISSION_CHECKS"), QStringLiteral("1"));
    const QString busFile = m_runtimeDirectory + QStringLiteral("/bus");
    m_compositorProcess = newProcess({QStringLiteral("dbus-run-session"), QStringLiteral("--"), QStringLiteral("sh"),
                                      QStringLiteral("-c"),
                                      QStringLiteral("echo \"$DBUS_SESSION_BUS_ADDRESS\" > '%1' && exec '%2' --virtual "
                                                     "--no-lockscreen --no-global-shortcuts --socket '%3'")
                                          .arg(busFile, kwin, m_socketName)},
                                     environment, m_runtimeDirectory + QStringLiteral("/logs/kwin.log"));
    m_logs.insert(m_compositorProcess.get(), m_runtimeDirectory + QStringLiteral("/logs/kwin.log"));
    m_compositorProcess->start();
    if (!waitForSocket(error))
        return false;
    QFile bus(busFile);
    if (!bus.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("KWin's session bus has no address");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLocal8Bit(bus.readAll().trimmed()));
    return true;
}

bool CompositorSession::waitForSocket(QString *error)
{
    const QDeadlineTimer deadline(20s);
    while (!deadline.hasExpired() && m_compositorProcess->state() != QProcess::NotRunning) {
        const QStringList sockets = QDir(m_runtimeDirectory).entryList({QStringLiteral("wayland-*")}, QDir::System);
        for (const QString &socket : sockets) {
            if (!socket.endsWith(QStringLiteral(".lock"))) {
                m_socketName = socket;
                m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_runtimeDirectory + u'/' + socket);
                // KWin announces its bus name a moment after its socket: wait for that too.
                if (m_compositor != Compositor::Sway && !QFileInfo(m_runtimeDirectory + QStringLiteral("/bus")).size())
                    break;
                return true;
            }
        }
        QThread::msleep(50);
    }
    *error = QStringLiteral("the compositor does not start: %1").arg(logOf(m_compositorProcess.get()));
    return false;
}

QStringList CompositorSession::asSessionUser(const QString &program, const QStringList &arguments) const
{
    if (!m_asOtherUser)
        return QStringList{program} + arguments;
    return QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), kTestUser, QStringLiteral("--"), program} + arguments;
}

bool CompositorSession::addDesktopEntry(const QString &fileName, const QString &name) const
{
    const QString applications = m_environment.value(QStringLiteral("XDG_DATA_DIRS")) + QStringLiteral("/applications");
    QDir().mkpath(applications);
    QFile entry(applications + u'/' + fileName);
    return entry.open(QIODevice::WriteOnly)
        && entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=true\n").arg(name).toUtf8()) > 0;
}

void CompositorSession::enterSession() const
{
    for (const QString &name : {QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("XDG_RUNTIME_DIR"),
                                QStringLiteral("XDG_DATA_DIRS")})
        qputenv(qPrintable(name), m_environment.value(name).toLocal8Bit());
    qunsetenv("DISPLAY");
}

QProcess *CompositorSession::startProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &variables)
{
    QProcessEnvironment environment = m_environment;
    environment.insert(variables);
    const QString log = m_runtimeDirectory + QStringLiteral("/logs/%1-%2.log").arg(QFileInfo(program).fileName()).arg(m_programs.size());
    m_programs.push_back(newProcess(QStringList{program} + arguments, environment, log));
    QProcess *process = m_programs.back().get();
    m_logs.insert(process, log);
    process->start();
    return process->waitForStarted(5000) ? process : nullptr;
}

QString CompositorSession::logOf(const QProcess *process) const
{
    QFile file(m_logs.value(process));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll().right(4000)) : QString();
}

QProcess *CompositorSession::openToplevels(const QString &appId, const QString &title, int count)
{
    auto process = newProcess({kToplevels, QStringLiteral("--app-id"), appId, QStringLiteral("--title"), title, QStringLiteral("--count"),
                               QString::number(count)},
                              m_environment, QString());
    process->start();
    const QDeadlineTimer deadline(20s);
    while (!process->canReadLine() && process->state() != QProcess::NotRunning && !deadline.hasExpired())
        process->waitForReadyRead(100);
    if (process->readLine().trimmed() != "ready")
        return nullptr;
    m_programs.push_back(std::move(process));
    return m_programs.back().get();
}

bool CompositorSession::retitle(QProcess *client, int index, const QString &title)
{
    return command(client, QStringLiteral("title %1 %2").arg(index).arg(title));
}

bool CompositorSession::openToplevel(QProcess *client, const QString &appId, const QString &title)
{
    return command(client, QStringLiteral("open %1 %2").arg(appId, title));
}

bool CompositorSession::closeToplevel(QProcess *client, int index)
{
    return command(client, QStringLiteral("close %1").arg(index));
}

bool CompositorSession::inhibitIdle(QProcess *client, int index, bool inhibit)
{
    return command(client, QStringLiteral("%1 %2").arg(inhibit ? QStringLiteral("inhibit") : QStringLiteral("uninhibit")).arg(index));
}

bool CompositorSession::command(QProcess *client, const QString &line)
{
    client->write((line + u'\n').toUtf8());
    const QDeadlineTimer deadline(10s);
    while (!client->canReadLine() && client->state() != QProcess::NotRunning && !deadline.hasExpired())
        client->waitForReadyRead(100);
    return client->readLine().trimmed() == "ok";
}

void CompositorSession::close(QProcess *client)
{
    client->write("quit\n");
    client->waitForFinished(5000);
}

bool CompositorSession::runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    QProcessEnvironment environment = m_environment;
    const QStringList sockets = QDir(m_runtimeDirectory).entryList({QStringLiteral("sway-ipc.*")}, QDir::System);
    if (!sockets.isEmpty())
        environment.insert(QStringLiteral("SWAYSOCK"), m_runtimeDirectory + u'/' + sockets.constFirst());
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    const bool ok = tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (!ok)
        qWarning().noquote() << program << "failed:" << tool.readAllStandardError();
    return ok;
}

bool CompositorSession::focus(const QString &appId)
{
    return runTool(QStringLiteral("swaymsg"), {QStringLiteral("[app_id=\"%1\"] focus").arg(appId)});
}

bool CompositorSession::typeKey()
{
    return runTool(QStringLiteral("wtype"), {QStringLiteral("-k"), QStringLiteral("Shift_L")});
}

void CompositorSession::killCompositor()
{
    if (!m_compositorProcess || m_compositorProcess->state() == QProcess::NotRunning)
        return;
    // The compositor may run as another user, under runuser or dbus-run-session: it is found by
    // what only its command line holds, this session's directory.
    QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-KILL"), QStringLiteral("-f"), m_runtimeDirectory});
    m_compositorProcess->waitForFinished(10000);
}
