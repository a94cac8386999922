#include "DisplaySession.h"

#include "Programs.h"
#include "Waiting.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>


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

DisplaySession::DisplaySession()
    : DisplaySession(Options{})
{
}

DisplaySession::DisplaySession(const Options &options)
    : m_options(options)
{
    const QString root = m_directory.path();
    for (const char *folder : {"home/.config", "home/.local/share", "home/.cache", "runtime", "data/applications",
                               "no-desktop-entries", "logs"})
        QDir().mkpath(root + u'/' + QString::fromLatin1(folder));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    m_environment = originalEnvironment();
    m_environment.insert(QStringLiteral("HOME"), home());
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
    m_environment.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirectory());
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    // An X11 session on this display only, whatever session the tests were started from.
    m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY",
                             "SESSION_MANAGER"})
        m_environment.remove(QString::fromLatin1(name));
    // xprop reads its arguments in the locale's encoding.
    m_environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
}

DisplaySession::~DisplaySession()
{
    stop();
}

QString DisplaySession::home() const
{
    return m_directory.filePath(QStringLiteral("home"));
}

QString DisplaySession::noDesktopEntries() const
{
    return m_directory.filePath(QStringLiteral("no-desktop-entries"));
}

QStringList DisplaySession::missingPrograms(const QStringList &tools)
{
    return ::missingPrograms(QStringList{QStringLiteral("Xvfb"), QStringLiteral("openbox")} + tools);
}

std::unique_ptr<QProcess> DisplaySession::newProcess(const QString &program, const QStringList &arguments, const QString &logPath,
                                                     const QProcessEnvironment &variables)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments(arguments);
    QProcessEnvironment environment = m_environment;
    environment.insert(variables);
    process->setProcessEnvironment(environment);
    // Should the test process die, the display and its programs go with it.
    endWithTestProcess(*process);
    if (!logPath.isEmpty()) {
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(logPath);
    }
    return process;
}

bool DisplaySession::start(QString *error)
{
    if (!m_directory.isValid()) {
        *error = QStringLiteral("cannot create a temporary directory");
        return false;
    }
    // -displayfd 1: the server takes the first free display number and writes it to its
    // standard output once it accepts connections. -noreset: it outlives its last client.
    m_server = newProcess(QStringLiteral("Xvfb"),
                          {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("%1x%2x24").arg(m_options.width).arg(m_options.height), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp"), QStringLiteral("-noreset")},
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

    // openbox finds its theme in the system's data directories, and ends without one.
    QProcessEnvironment managerVariables;
    const QString systemDataDirectories = originalEnvironment().value(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/local/share:/usr/share"));
    managerVariables.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirectory() + u':' + systemDataDirectories);
    m_windowManager = newProcess(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")},
                                 m_directory.filePath(QStringLiteral("logs/openbox.log")), managerVariables);
    m_windowManager->start();
    if (!m_windowManager->waitForStarted(5000)) {
        *error = QStringLiteral("openbox does not start: %1").arg(m_windowManager->errorString());
        return false;
    }
    return waitUntilManaging(error);
}

bool DisplaySession::waitUntilManaging(QString *error)
{
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

void DisplaySession::stop()
{
    m_client.reset();
    for (auto it = m_programs.rbegin(); it != m_programs.rend(); ++it)
        stopProcess(**it);
    m_programs.clear();
    if (m_windowManager)
        stopProcess(*m_windowManager);
    m_windowManager.reset();
    if (m_server)
        stopProcess(*m_server);
    m_server.reset();
}

QProcess *DisplaySession::startProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &variables)
{
    const QString log = m_directory.filePath(QStringLiteral("logs/%1-%2.log").arg(QFileInfo(program).fileName()).arg(m_programs.size()));
    std::unique_ptr<QProcess> process = newProcess(program, arguments, log, variables);
    process->setObjectName(log);
    process->start();
    if (!process->waitForStarted(5000))
        return nullptr;
    m_programs.push_back(std::move(process));
    return m_programs.back().get();
}

QString DisplaySession::logOf(const QProcess *process) const
{
    QFile log(process->objectName());
    return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
}

bool DisplaySession::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessEnvironment(m_environment);
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
    const QString printed = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (output) {
        *output = failure.isEmpty()
            ? printed
            : QStringLiteral("%1 %2 %3: %4%5")
                  .arg(program, arguments.join(u' '), failure, printed, QString::fromLocal8Bit(process.readAllStandardError()));
    }
    return failure.isEmpty();
}

QString DisplaySession::outputOf(const QString &program, const QStringList &arguments)
{
    QString output;
    return run(program, arguments, &output) ? output : QString();
}

QString DisplaySession::waitForWindow(const QStringList &searchArguments, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    do {
        const QStringList found =
            outputOf(QStringLiteral("xdotool"), QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + searchArguments)
                .split(u'\n', Qt::SkipEmptyParts);
        if (found.size() == 1)
            return found.constFirst().trimmed();
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return {};
}

void DisplaySession::killServer()
{
    if (!m_server)
        return;
    m_server->kill();
    m_server->waitForFinished(5000);
}
