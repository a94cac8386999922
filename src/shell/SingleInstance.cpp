#include "SingleInstance.h"

#include "persistence/AtomicFile.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShowAndStart = QByteArrayLiteral("start\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");

// A running Kestrum that is still starting up is given this long to answer.
constexpr int kHandOverMs = 5000;

} // namespace

SingleInstance::SingleInstance(const QString &settingsPath, QObject *parent)
    : QObject(parent)
    , m_lockPath(settingsPath + QStringLiteral(".lock"))
{
    const QByteArray id = QCryptographicHash::hash(QFile::encodeName(QFileInfo(settingsPath).absoluteFilePath()),
                                                   QCryptographicHash::Sha256).toHex().left(16);
    m_serverPath = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/kestrum-")
        + QString::fromLatin1(id);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

SingleInstance::Claim SingleInstance::claim(QString *error)
{
    if (!makePrivateDirectory(QFileInfo(m_lockPath).absolutePath(), error))
        return Claim::Failed;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Stale only when the process that made it is gone, never by age: Kestrum runs for months.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Claim::Claimed;
    if (m_lock->error() == QLockFile::LockFailedError)
        return Claim::HeldByAnother;
    if (error)
        *error = QStringLiteral("cannot make the lock %1").arg(m_lockPath);
    return Claim::Failed;
}

bool SingleInstance::handOver(Request request, QString *error)
{
    const QDeadlineTimer deadline(kHandOverMs);
    QLocalSocket socket;
    // The running Kestrum may hold the lock and not listen yet: it is still starting.
    for (;;) {
        socket.connectToServer(m_serverPath);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired()) {
            if (error)
                *error = QStringLiteral("it does not answer at %1: %2").arg(m_serverPath, socket.errorString());
            return false;
        }
        QThread::msleep(100);
    }
    socket.write(request == Request::ShowAndStart ? kShowAndStart : kShow);
    QByteArray reply;
    while (!reply.endsWith('\n') && socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
        reply += socket.readAll();
    if (reply == kDone)
        return true;
    if (error)
        *error = QStringLiteral("it does not answer at %1").arg(m_serverPath);
    return false;
}

bool SingleInstance::listen(QString *error)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a Kestrum that was killed: the lock says no other one uses it.
    QLocalServer::removeServer(m_serverPath);
    if (!m_server->listen(m_serverPath)) {
        if (error)
            *error = QStringLiteral("cannot listen at %1: %2").arg(m_serverPath, m_server->errorString());
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto serve = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            if (line == kShow || line == kShowAndStart) {
                Q_EMIT requested(line == kShowAndStart ? Request::ShowAndStart : Request::Show);
                socket->write(kDone);
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, serve);
        serve();
    }
}
