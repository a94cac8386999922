#pragma once

#include "TestClient.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A private X display for one test: Xvfb on a display number the server picks itself (so
// test processes can run side by side), openbox as its EWMH window manager, and the clients
// a test starts there, all in a home directory of their own. Everything it started is ended,
// and waited for, when it stops.
class X11Session
{
public:
    X11Session();
    ~X11Session();

    X11Session(const X11Session &) = delete;
    X11Session &operator=(const X11Session &) = delete;

    // The programs a session and the tests drive that cannot be found on PATH.
    static QStringList missingPrograms();

    // Starts the server and the window manager and waits until the manager runs.
    bool start(QString *error);
    void stop();

    QByteArray displayName() const { return m_displayName; }
    // The environment clients are started with: the display, the private home and XDG directories.
    QProcessEnvironment environment() const { return m_environment; }
    // Where desktop entries are looked up ($XDG_DATA_DIRS, with its "applications" folder).
    QString dataDirectory() const { return m_directory.filePath(QStringLiteral("data")); }
    // The test's own connection to the display.
    TestClient &client() { return *m_client; }

    // Starts a client on the display; it runs until the session stops. Null when it cannot start.
    QProcess *startClient(const QString &program, const QStringList &arguments);
    // Runs a program on the display to its end, for at most ten seconds. False when it fails;
    // `output` then says why.
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

    // Ends the X server at once, as a crash would, and waits until it is gone.
    void killServer();

private:
    std::unique_ptr<QProcess> newProcess(const QString &program, const QStringList &arguments, const QString &logName);
    static void end(QProcess &process);

    QTemporaryDir m_directory;
    QProcessEnvironment m_environment;
    QByteArray m_displayName;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    std::unique_ptr<TestClient> m_client;
};
