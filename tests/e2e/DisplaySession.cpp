#include "DisplaySession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <sys/prctl.h>

#include <csignal>

using namespace std::chrono_literals;

DisplaySession::DisplaySession()
{
    const QString root = m_directory.path();
    for (const char *folder : {"home/.config", "home/.local/share", "home/.cache", "runtime", "no-desktop-entries", "logs"})
        QDir().mkpath(root + u'/' + QString::fromLatin1(folder));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), home());
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    // An X11 session on this display only, whatever session the tests were started from.
    m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY",
                             "SESSION_MANAGER"})
        m_environment.remove(QString::fromLatin1(name));
    m_environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
}

DisplaySession::~DisplaySession()
{
    stop();
}

QString DisplaySession::noDesktopEntries() const
{
    return m_directory.filePath(QStringLiteral("no-desktop-entries"));
}

QString DisplaySession::home() const
{
    return m_directory.filePath(QStringLiteral("home"));
}

QStringList DisplaySession::missingPrograms()
{
    QStringList missing;
    for (const char *name : {"Xvfb", "openbox", "xdotool", "xprop", "xterm", "xlogo"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty())
            missing.append(QString::fromLatin1(name));
    }
    return missing;
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
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
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
    // standard output once it accepts connections.
    m_server = newProcess(QStringLiteral("Xvfb"),
                          {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")},
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
    m_displayName = QStringLiteral(":%1").arg(number);
    m_environment.insert(QStringLiteral("DISPLAY"), m_displayName);

    m_windowManager = newProcess(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")},
                                 m_directory.filePath(QStringLiteral("logs/openbox.log")));
    m_windowManager->start();
    if (!m_windowManager->waitForStarted(5000)) {
        *error = QStringLiteral("openbox does not start: %1").arg(m_windowManager->errorString());
        return false;
    }
    // An EWMH window manager names its check window on the root window once it runs.
    const QDeadlineTimer managing(10s);
    while (!managing.hasExpired() && m_windowManager->state() == QProcess::Running) {
        bool ok = false;
        if (run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, &ok)
                .contains(QStringLiteral("window id"))
            && ok)
            return true;
        QThread::msleep(50);
    }
    *error = QStringLiteral("openbox does not manage the display %1").arg(m_displayName);
    return false;
}

void DisplaySession::end(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

void DisplaySession::stop()
{
    for (auto it = m_programs.rbegin(); it != m_programs.rend(); ++it)
        end(**it);
    m_programs.clear();
    if (m_windowManager)
        end(*m_windowManager);
    m_windowManager.reset();
    if (m_server)
        end(*m_server);
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

QString DisplaySession::run(const QString &program, const QStringList &arguments, bool *ok)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessEnvironment(m_environment);
    process.start();
    bool finished = process.waitForStarted(5000) && process.waitForFinished(10000);
    if (!finished) {
        process.kill();
        process.waitForFinished(3000);
    }
    finished = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok)
        *ok = finished;
    return finished ? QString::fromLocal8Bit(process.readAllStandardOutput()) : QString();
}

QString DisplaySession::waitForWindow(const QStringList &searchArguments, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    do {
        const QStringList found =
            run(QStringLiteral("xdotool"), QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + searchArguments)
                .split(u'\n', Qt::SkipEmptyParts);
        if (found.size() == 1)
            return found.constFirst().trimmed();
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return {};
}
