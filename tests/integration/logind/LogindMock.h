#pragma once

// A private system bus with python-dbusmock's logind (and timedated) template on it, started for one test and
// stopped with it, so that the tests never touch the machine's own logind.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

// One inhibitor as logind lists it.
struct Inhibitor
{
    QString what;
    QString who;
    QString why;
    QString mode;
};

class LogindMock
{
public:
    static inline const QString Service = QStringLiteral("org.freedesktop.login1");
    static inline const QString ManagerPath = QStringLiteral("/org/freedesktop/login1");
    static inline const QString ManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
    static inline const QString SessionInterface = QStringLiteral("org.freedesktop.login1.Session");
    static inline const QString UserInterface = QStringLiteral("org.freedesktop.login1.User");
    static inline const QString MockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
    static inline const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

    LogindMock();
    ~LogindMock();
    LogindMock(const LogindMock &) = delete;
    LogindMock &operator=(const LogindMock &) = delete;

    // Empty when dbus-daemon and python3-dbusmock are both installed; otherwise what is missing.
    static QString missingTools();

    // A bus of type "system" that only this test uses.
    bool startBus(QString *error);
    // The logind template on that bus; true once org.freedesktop.login1 answers.
    bool startLogind(QString *error);
    void stopLogind();
    // In logind's place, a process that owns its name, takes every call and never answers one.
    bool startHungLogind(QString *error);
    // systemd-timedated's template on the same bus; true once org.freedesktop.timedate1 answers.
    bool startTimedated(QString *error);
    // A plain mock on the same bus: `service` with one object at `path` that implements
    // `interface`, whose methods the test adds (AddMethod); true once the service answers.
    bool startMock(QProcess &process, const QString &service, const QString &path, const QString &interface, QString *error);
    void stop();

    QString address() const { return m_address; }
    // A new connection to the private bus, under a name of its own, for the code under test.
    QDBusConnection connect(const QString &name);

    // A method call on the mock that must succeed; failures are reported to the running test.
    QDBusMessage call(const QString &path, const QString &interface, const QString &method, const QVariantList &arguments = {});
    // The same on another service of the bus.
    QDBusMessage callService(const QString &service, const QString &path, const QString &interface, const QString &method,
                             const QVariantList &arguments = {});

    // Runs Python code inside the mock, on the object at `path` (`self`), for what the mock's own
    // methods cannot do, such as changing a property without announcing it.
    void runInMock(const QString &path, const QString &code);

    QString addSession(const QString &id, uint uid, bool active);
    void emitPrepareForSleep(bool sleeping);
    void updateSession(const QString &sessionPath, const QVariantMap &properties);
    QList<Inhibitor> inhibitors();
    // The arguments of every call of a mocked method on the object at `path` (of `service`), in order.
    QList<QVariantList> methodCalls(const QString &path, const QString &method, const QString &service = Service);

    // One of python-dbusmock's templates on the same bus, with its parameters (JSON); true once
    // `service` answers.
    bool startTemplate(QProcess &process, const QString &name, const QString &service, QString *error, const QString &parameters = {});

private:
    // Runs python3 with `arguments`; true once `service` is on the bus.
    bool startPython(QProcess &process, const QStringList &arguments, const QString &service, QString *error);

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_daemon;
    QProcess m_logind;
    QProcess m_timedated;
    QString m_address;
    QDBusConnection m_control{QString()};
    QStringList m_connections;
    int m_snippets = 0;
};

// Runs the event loop until `done` holds or `timeoutMs` passed; answers whether it holds.
bool waitFor(const std::function<bool()> &done, int timeoutMs = 5000);

// Runs the event loop for `ms` milliseconds, for checks that something did not happen.
void processEventsFor(int ms);
