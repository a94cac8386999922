#include "X11Session.h"

#include "Waiting.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/prctl.h>

#include <csignal>

using namespace std::chrono_literals;

namespace {

// The environment the tests were started with; each test changes its own process's.
const QProcessEnvironment &originalEnvironment()
{
    static const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    return environment;
}

} // namespace

X11Session::X11Session()
{
    const QString home = m_directory.filePath(QStringLiteral("home"));
    for (const QString &folder : {home, m_directory.filePath(QStringLiteral("config")), m_directory.filePath(QStringLiteral("cache")),
                                  m_directory.filePath(QStringLiteral("data-home")), dataDirectory() + QStringLiteral("/applications"),
                                  m_directory.filePath(QStringLiteral("logs"))})
        QDir().mkpath(folder);

    m_environment = originalEnvironment();
    m_environment.insert(QStringLiteral("HOME"), home);
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_directory.filePath(QStringLiteral("config")));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_directory.filePath(QStringLiteral("cache")));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_directory.filePath(QStringLiteral("data-home")));
    m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirectory());
    // An X11 session on this display only, whatever session the tests were started from.
    m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    m_environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    m_environment.remove(QStringLiteral("XAUTHORITY"));
    m_environment.remove(QStringLiteral("DISPLAY"));
    // xprop reads its arguments in the locale's encoding.
    m_environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
}

X11Session::~X11Session()
{
    stop();
}

QStringList X11Session::missingPrograms()
{
    QStringList missing;
    for (const char *name : {"Xvfb", "openbox", "xdotool", "xprop", "xset", "xterm", "xlogo"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty())
            missing.append(QString::fromLatin1(name));
    }
    return missing;
}

std::unique_ptr<QProcess> X11Session::newProcess(const QString &program, const QStringList &arguments, const QString &logName)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    process->setProcessEnvironment(m_environment);
    // Should the test process die, the display and its clients go with it.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    if (!logName.isEmpty()) {
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(m_directory.filePath(QStringLiteral("logs/") + logName));
    }
    return process;
}

bool X11Session::start(QString *error)
{
    if (!m_directory.isValid()) {
        *error = QStringLiteral("cannot create a temporary directory");
        return false;
    }
    // -displayfd 1: the server takes the first free display number and writes it to its
    // standard output once it accepts connections. -noreset: it outlives its last client.
    m_server = newProcess(QStringLiteral("Xvfb"),
                          {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")},
                          QString());
    m_server->start();
    if (!m_server->waitForStarted(5000)) {
        *error = QStringLiteral("Xvfb does not start: %1").arg(m_server->errorString());
        return false;
    }
    const QDeadlineTimer deadline(10s);
    while (!m_server->canReadLine() && m_server->state() == QProcess::Running && !deadline.hasExpired())
        m_server->waitForReadyRead(100);
    bool numberOk = false;
    const int number = m_server->canReadLine() ? m_server->readLine().trimmed().toInt(&numberOk) : -1;
    if (!numberOk) {
        *error = QStringLiteral("Xvfb names no display: %1").arg(QString::fromLocal8Bit(m_server->readAllStandardError()));
        return false;
    }
    m_displayName = ':' + QByteArray::number(number);
    m_environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(m_displayName));

    m_client = std::make_unique<TestClient>(m_displayName);
    if (!m_client->isConnected()) {
        *error = QStringLiteral("cannot connect to the new display %1").arg(QString::fromLatin1(m_displayName));
        return false;
    }

    m_windowManager = newProcess(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}, QStringLiteral("openbox.log"));
    // openbox finds its theme in the system's data directories, and ends without one.
    QProcessEnvironment managerEnvironment = m_environment;
    const QString systemDataDirectories = originalEnvironment().value(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/local/share:/usr/share"));
    managerEnvironment.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirectory() + u':' + systemDataDirectories);
    m_windowManager->setProcessEnvironment(managerEnvironment);
    m_windowManager->start();
    if (!m_windowManager->waitForStarted(5000)) {
        *error = QStringLiteral("openbox does not start: %1").arg(m_windowManager->errorString());
        return false;
    }
    // An EWMH window manager names its check window on the root window once it runs.
    const bool managing = waitUntil(
        [this] {
            return m_windowManager->state() != QProcess::Running || m_client->rootHasProperty(QByteArrayLiteral("_NET_SUPPORTING_WM_CHECK"));
        },
        10s);
    if (!managing || m_windowManager->state() != QProcess::Running) {
        *error = QStringLiteral("openbox does not manage the display %1").arg(QString::fromLatin1(m_displayName));
        return false;
    }
    // It names that window before it handles the first map request, and drops requests that
    // come in between: a window of the test's own that it manages shows that it is ready.
    const xcb_window_t check = m_client->createWindow(
        {QStringLiteral("check"), QByteArrayLiteral("kestrum-session-check"), QByteArrayLiteral("KestrumSessionCheck"), false});
    const auto checkIsManaged = [&] { return m_client->managedWindows().contains(check); };
    bool ready = false;
    for (int attempt = 0; attempt < 20 && !ready && check != 0; ++attempt) {
        if (attempt > 0)
            m_client->mapWindow(check);
        ready = waitUntil(checkIsManaged, 500ms);
    }
    if (!ready) {
        *error = QStringLiteral("openbox does not manage windows on the display %1").arg(QString::fromLatin1(m_displayName));
        return false;
    }
    m_client->destroyWindow(check);
    if (!waitUntil([&] { return !checkIsManaged(); }, 5s)) {
        *error = QStringLiteral("openbox does not let go of a destroyed window");
        return false;
    }
    // openbox goes on naming the last window it activated, gone or not; a display that has
    // never shown a window names none.
    m_client->deleteProperty(m_client->root(), QByteArrayLiteral("_NET_ACTIVE_WINDOW"));
    return true;
}

void X11Session::end(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

void X11Session::stop()
{
    m_client.reset();
    for (auto it = m_clients.rbegin(); it != m_clients.rend(); ++it)
        end(**it);
    m_clients.clear();
    if (m_windowManager)
        end(*m_windowManager);
    m_windowManager.reset();
    if (m_server)
        end(*m_server);
    m_server.reset();
}

QProcess *X11Session::startClient(const QString &program, const QStringList &arguments)
{
    const QString logName = QStringLiteral("%1-%2.log").arg(QFileInfo(program).fileName()).arg(m_clients.size());
    std::unique_ptr<QProcess> process = newProcess(program, arguments, logName);
    process->start();
    if (!process->waitForStarted(5000))
        return nullptr;
    m_clients.push_back(std::move(process));
    return m_clients.back().get();
}

bool X11Session::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessEnvironment(m_environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    QString failure;
    if (!process.waitForStarted(5000)) {
        failure = QStringLiteral("does not start: %1").arg(process.errorString());
    } else if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(3000);
        failure = QStringLiteral("did not finish within ten seconds");
    } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        failure = QStringLiteral("failed with exit code %1").arg(process.exitCode());
    }
    const QString printed = QString::fromLocal8Bit(process.readAll());
    if (output)
        *output = failure.isEmpty() ? printed : QStringLiteral("%1 %2 %3: %4").arg(program, arguments.join(u' '), failure, printed);
    return failure.isEmpty();
}

void X11Session::killServer()
{
    if (!m_server)
        return;
    m_server->kill();
    m_server->waitForFinished(5000);
}
