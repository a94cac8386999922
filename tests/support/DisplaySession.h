#pragma once

#include "TestClient.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <vector>

// A desktop of its own for one test: Xvfb on a display number the server picks itself (so
// tests can run side by side), openbox as its EWMH window manager, an X client of the test's
// own, the programs a test starts there, and a home directory with its XDG folders. Everything
// it started is ended, and waited for, when it stops; should the test process die, the kernel
// ends them.
class DisplaySession
{
public:
    struct Options
    {
        int width = 1280;
        int height = 800;
    };

    DisplaySession();
    explicit DisplaySession(const Options &options);
    ~DisplaySession();

    DisplaySession(const DisplaySession &) = delete;
    DisplaySession &operator=(const DisplaySession &) = delete;

    // Of the programs a session needs (Xvfb, openbox) and the tools a test drives, those that
    // are not on PATH.
    static QStringList missingPrograms(const QStringList &tools);

    // Starts the server and the window manager, and waits until the manager manages windows.
    bool start(QString *error);
    void stop();

    QByteArray displayName() const { return m_displayName; }
    QString home() const;
    // What programs on the display are started with: the display, the home and XDG folders.
    QProcessEnvironment environment() const { return m_environment; }
    // Where desktop entries are looked up ($XDG_DATA_DIRS, with its "applications" folder).
    QString dataDirectory() const { return m_directory.filePath(QStringLiteral("data")); }
    // An empty data directory: as $XDG_DATA_DIRS it leaves a program without desktop entries,
    // so Kestrum names applications by their window class alone.
    QString noDesktopEntries() const;
    // The test's own connection to the display.
    TestClient &client() { return *m_client; }

    // Starts a program on the display, with the session's environment and these variables on
    // top; it runs until it ends or the session stops. Its output goes to a log of its own.
    // Null when it cannot start.
    QProcess *startProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &variables = {});
    // What a program started by startProgram printed so far.
    QString logOf(const QProcess *process) const;
    // Runs a program on the display to its end, for at most ten seconds. False when it fails;
    // `output` then says why, and otherwise holds what the program printed on its standard output.
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);
    // What a program run on the display printed on its standard output; empty when it fails.
    QString outputOf(const QString &program, const QStringList &arguments);

    // The one visible window that xdotool finds with these search arguments, waiting for it
    // until the deadline; empty when there is none by then.
    QString waitForWindow(const QStringList &searchArguments, std::chrono::milliseconds timeout);

    // Ends the X server at once, as a crash would, and waits until it is gone.
    void killServer();

private:
    std::unique_ptr<QProcess> newProcess(const QString &program, const QStringList &arguments, const QString &logPath,
                                         const QProcessEnvironment &variables = {});
    bool waitUntilManaging(QString *error);

    Options m_options;
    QTemporaryDir m_directory;
    QProcessEnvironment m_environment;
    QByteArray m_displayName;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
    std::vector<std::unique_ptr<QProcess>> m_programs;
    std::unique_ptr<TestClient> m_client;
};
