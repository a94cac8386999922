#include "BusProbe.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace std::chrono;

// The value of `key` in a D-Bus address's "key=value,..." part, with its %xx escapes undone.
QByteArray addressValue(const QByteArray &entry, const QByteArray &key)
{
    const int colon = entry.indexOf(':');
    for (const QByteArray &pair : entry.mid(colon + 1).split(',')) {
        if (pair.startsWith(key + '='))
            return QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
    }
    return {};
}

// org.freedesktop.DBus.Hello, the first call every client makes, as a little-endian message.
QByteArray helloMessage()
{
    QByteArray message;
    const auto pad = [&message](int alignment) {
        while (message.size() % alignment != 0)
            message.append('\0');
    };
    const auto uint32 = [&](quint32 value) {
        pad(4);
        for (int byte = 0; byte < 4; ++byte)
            message.append(char((value >> (8 * byte)) & 0xff));
    };
    message.append("l\x01\x00\x01", 4); // little-endian, method call, no flags, version 1
    uint32(0); // no body
    uint32(1); // serial
    const qsizetype fieldsLengthAt = message.size();
    uint32(0);
    pad(8);
    const qsizetype fieldsStart = message.size();
    const auto field = [&](char code, char type, const QByteArray &value) {
        pad(8);
        message.append(code).append('\x01').append(type).append('\0');
        uint32(quint32(value.size()));
        message.append(value).append('\0');
    };
    field(1, 'o', "/org/freedesktop/DBus");
    field(6, 's', "org.freedesktop.DBus");
    field(2, 's', "org.freedesktop.DBus");
    field(3, 's', "Hello");
    const quint32 fieldsLength = quint32(message.size() - fieldsStart);
    for (int byte = 0; byte < 4; ++byte)
        message[fieldsLengthAt + byte] = char((fieldsLength >> (8 * byte)) & 0xff);
    pad(8);
    return message;
}

class Probe
{
public:
    explicit Probe(milliseconds timeout)
        : m_deadline(steady_clock::now() + timeout)
    {
    }
    ~Probe()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool connectTo(const QByteArray &entry, QString *why)
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        QByteArray path = addressValue(entry, "path");
        qsizetype offset = 0;
        if (path.isEmpty()) {
            path = addressValue(entry, "abstract");
            offset = 1; // the abstract namespace: a name after a NUL byte
        }
        if (path.isEmpty() || size_t(path.size() + offset) >= sizeof address.sun_path)
            return fail(why, QCoreApplication::translate("BusProbe", "an address without a usable path"));
        std::memcpy(address.sun_path + offset, path.constData(), size_t(path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return fail(why, QString::fromLocal8Bit(strerror(errno)));
        const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(offset + path.size()));
        if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), length) != 0 && errno != EINPROGRESS)
            return fail(why, QString::fromLocal8Bit(strerror(errno)));
        return waitFor(POLLOUT, why);
    }

    bool send(const QByteArray &bytes, QString *why)
    {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t written = ::send(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (written > 0) {
                sent += written;
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                return fail(why, QString::fromLocal8Bit(strerror(errno)));
            } else if (!waitFor(POLLOUT, why)) {
                return false;
            }
        }
        return true;
    }

    // Reads until `enough` says the bytes so far suffice.
    bool receive(QByteArray *bytes, const std::function<bool(const QByteArray &)> &enough, QString *why)
    {
        while (!enough(*bytes)) {
            if (!waitFor(POLLIN, why))
                return false;
            char buffer[512];
            const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (count == 0)
                return fail(why, QCoreApplication::translate("BusProbe", "it closed the connection"));
            if (count < 0 && errno != EAGAIN && errno != EINTR)
                return fail(why, QString::fromLocal8Bit(strerror(errno)));
            if (count > 0)
                bytes->append(buffer, count);
        }
        return true;
    }

private:
    bool waitFor(short events, QString *why)
    {
        for (;;) {
            const auto left = duration_cast<milliseconds>(m_deadline - steady_clock::now()).count();
            if (left <= 0)
                return fail(why, QCoreApplication::translate("BusProbe", "it takes the connection but does not answer"));
            pollfd descriptor{m_fd, events, 0};
            const int ready = ::poll(&descriptor, 1, int(left));
            if (ready > 0) {
                int error = 0;
                socklen_t size = sizeof error;
                ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size);
                return error == 0 || fail(why, QString::fromLocal8Bit(strerror(error)));
            }
            if (ready < 0 && errno != EINTR)
                return fail(why, QString::fromLocal8Bit(strerror(errno)));
        }
    }

    static bool fail(QString *why, const QString &reason)
    {
        if (why)
            *why = reason;
        return false;
    }

    steady_clock::time_point m_deadline;
    int m_fd = -1;
};

} // namespace

bool busAnswers(const QByteArray &address, milliseconds timeout, QString *why)
{
    QByteArray entry;
    for (const QByteArray &candidate : address.split(';')) {
        if (candidate.startsWith("unix:")) {
            entry = candidate;
            break;
        }
    }
    if (entry.isEmpty())
        return true; // nothing this probe can try: Qt finds out itself

    Probe probe(timeout);
    const QByteArray user = QByteArray::number(::getuid()).toHex();
    QByteArray reply;
    if (!probe.connectTo(entry, why) || !probe.send(QByteArray(1, '\0') + "AUTH EXTERNAL " + user + "\r\n", why)
        || !probe.receive(&reply, [](const QByteArray &bytes) { return bytes.contains("\r\n"); }, why))
        return false;
    if (!reply.startsWith("OK ")) {
        if (why)
            *why = QCoreApplication::translate("BusProbe", "it refuses this user");
        return false;
    }
    // A daemon that authenticates but is stuck further on shows it in its answer to Hello.
    QByteArray answer;
    return probe.send("BEGIN\r\n" + helloMessage(), why)
        && probe.receive(&answer, [](const QByteArray &bytes) { return !bytes.isEmpty(); }, why);
}

QByteArray sessionBusAddress()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFile::exists(QFile::decodeName(runtime + "/bus")))
        return "unix:path=" + runtime + "/bus";
    return {};
}

QByteArray systemBusAddress()
{
    const QByteArray address = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    return address.isEmpty() ? QByteArrayLiteral("unix:path=/var/run/dbus/system_bus_socket") : address;
}

// --- BusWaiter ---------------------------------------------------------------------------------

BusWaiter::BusWaiter(QByteArray address, QObject *parent)
    : QObject(parent)
    , m_address(std::move(address))
{
}

BusWaiter::~BusWaiter()
{
    if (!m_thread)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread->wait();
    delete m_thread;
}

void BusWaiter::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create([this] { tryUntilAnswered(); });
    m_thread->start();
}

void BusWaiter::tryUntilAnswered()
{
    constexpr milliseconds kTry(1000);
    milliseconds pause(2000);
    for (bool first = true;; first = false) {
        QString why;
        if (busAnswers(m_address, kTry, &why)) {
            Q_EMIT answered();
            return;
        }
        if (first)
            Q_EMIT silent(why);
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, pause, [this] { return m_stop; }))
            return;
        pause = std::min(pause * 2, milliseconds(60000));
    }
}
