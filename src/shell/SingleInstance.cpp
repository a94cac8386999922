#include "SingleInstance.h"

#include "persistence/AtomicFile.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <cstring>
#include <memory>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kShow = QByteArrayLiteral("show\n");
const QByteArray kShowAndStart = QByteArrayLiteral("start\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");

// A running Kestrum that is still starting up is given this long to answer.
constexpr int kHandOverMs = 5000;

// The socket's address; false when the path does not fit.
bool addressOf(const QString &path, sockaddr_un *address)
{
    const QByteArray native = QFile::encodeName(path);
    *address = {};
    address->sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, native.constData(), size_t(native.size()));
    return true;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    pollfd poller{fd, events, 0};
    for (;;) {
        const int result = ::poll(&poller, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        if (result >= 0 || errno != EINTR)
            return result > 0;
    }
}

// Reads one line of at most a few bytes before the deadline.
QByteArray readLine(int fd, const QDeadlineTimer &deadline)
{
    QByteArray line;
    char buffer[16];
    while (!line.endsWith('\n') && line.size() < 64 && waitFor(fd, POLLIN, deadline)) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        line.append(buffer, count);
    }
    return line;
}

bool writeAll(int fd, const QByteArray &data)
{
    // MSG_NOSIGNAL: a peer that went away must not end this process with SIGPIPE.
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t count = ::send(fd, data.constData() + written, size_t(data.size() - written), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

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
    if (m_server >= 0) {
        ::close(m_server);
        ::unlink(QFile::encodeName(m_serverPath).constData());
    }
}

SingleInstance::Claim SingleInstance::claim(QString *error)
{
    if (!makePrivateDirectory(QFileInfo(m_lockPath).absolutePath(), error))
        return Claim::Failed;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Stale only when the process that made it is gone, never by age: Kestrum runs for months.
    m_lock->setStaleLockTime(0);
    bool locked = false;
    {
        // The lock names the host, the machine and its boot: the user's alone, like the settings.
        const PrivateCreation privately;
        locked = m_lock->tryLock(0);
    }
    if (locked)
        return Claim::Claimed;
    if (m_lock->error() == QLockFile::LockFailedError)
        return Claim::HeldByAnother;
    if (error)
        *error = QStringLiteral("cannot make the lock %1").arg(m_lockPath); // not translated: only logged
    return Claim::Failed;
}

bool SingleInstance::handOver(Request request, QString *error)
{
    const QDeadlineTimer deadline(kHandOverMs);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = tr("it does not answer at %1: %2", "Kestrum is already running, but it does not answer").arg(m_serverPath, why);
        return false;
    };
    sockaddr_un address;
    if (!addressOf(m_serverPath, &address))
        return fail(tr("the path is too long for a socket"));
    int fd = -1;
    const auto closeSocket = qScopeGuard([&fd] {
        if (fd >= 0)
            ::close(fd);
    });
    // The running Kestrum may hold the lock and not listen yet: it is still starting. A socket
    // whose connect failed is not used again.
    for (;;) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return fail(qt_error_string(errno));
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
            break;
        const int connectError = errno;
        ::close(fd);
        fd = -1;
        if (deadline.hasExpired())
            return fail(qt_error_string(connectError));
        if (connectError != EINTR)
            QThread::msleep(100);
    }
    if (!writeAll(fd, request == Request::ShowAndStart ? kShowAndStart : kShow))
        return fail(qt_error_string(errno));
    if (readLine(fd, deadline) == kDone)
        return true;
    return fail(tr("no reply", "the running Kestrum did not answer"));
}

bool SingleInstance::listen(QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("cannot listen at %1: %2").arg(m_serverPath, why); // not translated: only logged
        if (m_server >= 0)
            ::close(m_server);
        m_server = -1;
        return false;
    };
    sockaddr_un address;
    if (!addressOf(m_serverPath, &address))
        return fail(QStringLiteral("the path is too long for a socket")); // not translated: only logged
    m_server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_server < 0)
        return fail(qt_error_string(errno));
    // A socket left by a Kestrum that was killed: the lock says no other one uses it.
    ::unlink(address.sun_path);
    int bound = -1;
    int bindError = 0;
    {
        // Only the user may connect: the socket is made with no permissions for anyone else.
        const PrivateCreation privately;
        bound = ::bind(m_server, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        bindError = errno;
    }
    if (bound != 0)
        return fail(qt_error_string(bindError));
    if (::listen(m_server, 8) != 0)
        return fail(qt_error_string(errno));
    m_serverNotifier = new QSocketNotifier(m_server, QSocketNotifier::Read, this);
    connect(m_serverNotifier, &QSocketNotifier::activated, this, &SingleInstance::answer);
    return true;
}

void SingleInstance::answer()
{
    for (;;) {
        const int connection = ::accept4(m_server, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0) {
            if (errno == EINTR)
                continue;
            return; // EAGAIN: no more waiting
        }
        serve(connection);
    }
}

void SingleInstance::serve(int connection)
{
    // A request is one short line. It is read as it arrives, so a peer that is slow to send it
    // never holds up the window.
    auto *notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
    auto line = std::make_shared<QByteArray>();
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, connection, line] {
        char buffer[16];
        ssize_t count = 0;
        while ((count = ::read(connection, buffer, sizeof buffer)) > 0 && line->size() < 64)
            line->append(buffer, count);
        const bool waitForMore = count < 0 && (errno == EAGAIN || errno == EINTR) && !line->endsWith('\n') && line->size() < 64;
        if (waitForMore)
            return;
        if (*line == kShow || *line == kShowAndStart) {
            Q_EMIT requested(*line == kShowAndStart ? Request::ShowAndStart : Request::Show);
            writeAll(connection, kDone);
        }
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(connection);
    });
}
