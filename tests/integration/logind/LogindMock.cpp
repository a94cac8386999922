#include "LogindMock.h"

#include "Programs.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// The Debian interpreter: dbusmock is a Debian package, and a python3 found first on PATH
// (a virtual environment, pyenv) may not see it.
const QString kPython = QStringLiteral("/usr/bin/python3");
constexpr int kStartTimeoutMs = 15000;
constexpr int kCallTimeoutMs = 5000;

QString daemonProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"), {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
}

QString busConfig(const QString &socketDir)
{
    return QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:tmpdir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
)")
        .arg(socketDir);
}

// python3's arguments that run a mock on the system bus.
QStringList dbusmock()
{
    return {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system")};
}

QString processOutput(QProcess &process)
{
    return QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
}

} // namespace

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void processEventsFor(int ms)
{
    waitFor([] { return false; }, ms);
}

LogindMock::LogindMock() = default;

LogindMock::~LogindMock()
{
    stop();
}

QString LogindMock::missingTools()
{
    static const QString missing = [] {
        QStringList absent;
        if (daemonProgram().isEmpty())
            absent << QStringLiteral("dbus-daemon (Debian package dbus-daemon)");
        QProcess probe;
        probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
        const bool found = probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
        if (!found) {
            stopProcess(probe);
            absent << QStringLiteral("python3-dbusmock for %1").arg(kPython);
        }
        return absent.join(QStringLiteral(", "));
    }();
    return missing;
}

bool LogindMock::startBus(QString *error)
{
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        *error = QStringLiteral("no temporary directory: %1").arg(m_dir->errorString());
        return false;
    }
    // Programs that a test runs as another user (GNOME Shell as the test user) reach the bus too.
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    const QString configPath = m_dir->filePath(QStringLiteral("system-bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(busConfig(m_dir->path()).toUtf8()) < 0) {
        *error = QStringLiteral("cannot write %1: %2").arg(configPath, config.errorString());
        return false;
    }
    config.close();

    m_daemon.start(daemonProgram(), {QStringLiteral("--config-file=%1").arg(configPath), QStringLiteral("--print-address"),
                                     QStringLiteral("--nofork"), QStringLiteral("--nopidfile"), QStringLiteral("--nosyslog")});
    if (!m_daemon.waitForStarted(kStartTimeoutMs)) {
        *error = QStringLiteral("dbus-daemon did not start: %1").arg(m_daemon.errorString());
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray printed;
    while (!printed.contains('\n')) {
        if (deadline.hasExpired() || m_daemon.state() == QProcess::NotRunning) {
            *error = QStringLiteral("dbus-daemon printed no address: %1").arg(processOutput(m_daemon));
            return false;
        }
        m_daemon.waitForReadyRead(100);
        printed += m_daemon.readAllStandardOutput();
    }
    m_address = QString::fromUtf8(printed.left(printed.indexOf('\n'))).trimmed();
    m_control = connect(QStringLiteral("control"));
    if (!m_control.isConnected()) {
        *error = QStringLiteral("cannot connect to the private bus %1: %2").arg(m_address, m_control.lastError().message());
        return false;
    }
    return true;
}

bool LogindMock::startTemplate(QProcess &process, const QString &name, const QString &service, QString *error, const QString &parameters)
{
    QStringList arguments = dbusmock() + QStringList{QStringLiteral("--template"), name};
    if (!parameters.isEmpty())
        arguments << QStringLiteral("--parameters") << parameters;
    return startPython(process, arguments, service, error);
}

bool LogindMock::startMock(QProcess &process, const QString &service, const QString &path, const QString &interface, QString *error)
{
    return startPython(process, dbusmock() + QStringList{service, path, interface}, service, error);
}

bool LogindMock::startHungLogind(QString *error)
{
    return startSilentBusName(m_logind, m_address, Service, error);
}

bool LogindMock::startPython(QProcess &process, const QStringList &arguments, const QString &service, QString *error)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
    process.setProcessEnvironment(environment);
    process.start(kPython, arguments);
    if (!process.waitForStarted(kStartTimeoutMs)) {
        *error = QStringLiteral("the %1 mock did not start: %2").arg(service, process.errorString());
        return false;
    }
    const bool registered = waitFor(
        [&] { return process.state() == QProcess::NotRunning || m_control.interface()->isServiceRegistered(service).value(); },
        kStartTimeoutMs);
    if (!registered || process.state() == QProcess::NotRunning) {
        *error = QStringLiteral("the %1 mock did not come up on the bus: %2").arg(service, processOutput(process));
        return false;
    }
    return true;
}

bool LogindMock::startTimedated(QString *error)
{
    return startTemplate(m_timedated, QStringLiteral("timedated"), QStringLiteral("org.freedesktop.timedate1"), error);
}

bool LogindMock::startLogind(QString *error)
{
    if (!startTemplate(m_logind, QStringLiteral("logind"), Service, error))
        return false;
    // The template's own GetUser cannot make a path from the number it is given.
    call(ManagerPath, MockInterface, QStringLiteral("AddMethod"),
         {ManagerInterface, QStringLiteral("GetUser"), QStringLiteral("u"), QStringLiteral("o"),
          QStringLiteral("ret = '/org/freedesktop/login1/user/%d' % args[0]")});
    return true;
}

void LogindMock::stopLogind()
{
    stopProcess(m_logind);
}

void LogindMock::stop()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    m_connections.clear();
    m_control = QDBusConnection(QString());
    stopProcess(m_logind);
    stopProcess(m_timedated);
    stopProcess(m_daemon);
}

QDBusConnection LogindMock::connect(const QString &name)
{
    const QString unique = QStringLiteral("logind-test-%1").arg(name);
    m_connections << unique;
    return QDBusConnection::connectToBus(m_address, unique);
}

QDBusMessage LogindMock::call(const QString &path, const QString &interface, const QString &method, const QVariantList &arguments)
{
    return callService(Service, path, interface, method, arguments);
}

QDBusMessage LogindMock::callService(const QString &service, const QString &path, const QString &interface, const QString &method,
                                     const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = m_control.call(message, QDBus::Block, kCallTimeoutMs);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method.toStdString() << " on " << path.toStdString() << ": " << reply.errorMessage().toStdString();
    return reply;
}

void LogindMock::runInMock(const QString &path, const QString &code)
{
    const QString interface = QStringLiteral("org.kestrum.LogindTest");
    const QString method = QStringLiteral("Snippet%1").arg(++m_snippets);
    call(path, MockInterface, QStringLiteral("AddMethod"), {interface, method, QString(), QString(), code});
    call(path, interface, method);
}

QString LogindMock::addSession(const QString &id, uint uid, bool active)
{
    const QDBusMessage reply = call(ManagerPath, MockInterface, QStringLiteral("AddSession"),
                                    {id, QStringLiteral("seat0"), uid, QStringLiteral("tester"), active});
    return reply.arguments().value(0).toString();
}

void LogindMock::emitPrepareForSleep(bool sleeping)
{
    call(ManagerPath, MockInterface, QStringLiteral("EmitSignal"),
         {ManagerInterface, QStringLiteral("PrepareForSleep"), QStringLiteral("b"), QVariantList{sleeping}});
}

void LogindMock::updateSession(const QString &sessionPath, const QVariantMap &properties)
{
    call(sessionPath, MockInterface, QStringLiteral("UpdateProperties"), {SessionInterface, properties});
}

QList<Inhibitor> LogindMock::inhibitors()
{
    const QDBusMessage reply = call(ManagerPath, ManagerInterface, QStringLiteral("ListInhibitors"));
    QList<Inhibitor> list;
    if (reply.arguments().isEmpty())
        return list;
    const QDBusArgument array = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    array.beginArray();
    while (!array.atEnd()) {
        Inhibitor inhibitor;
        uint uid = 0;
        uint pid = 0;
        array.beginStructure();
        array >> inhibitor.what >> inhibitor.who >> inhibitor.why >> inhibitor.mode >> uid >> pid;
        array.endStructure();
        list << inhibitor;
    }
    array.endArray();
    return list;
}

QList<QVariantList> LogindMock::methodCalls(const QString &path, const QString &method, const QString &service)
{
    const QDBusMessage reply = callService(service, path, MockInterface, QStringLiteral("GetMethodCalls"), {method});
    QList<QVariantList> calls;
    if (reply.arguments().isEmpty())
        return calls;
    const QDBusArgument array = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    array.beginArray();
    while (!array.atEnd()) {
        qulonglong time = 0;
        QVariantList arguments;
        array.beginStructure();
        array >> time >> arguments;
        array.endStructure();
        calls << arguments;
    }
    array.endArray();
    return calls;
}
