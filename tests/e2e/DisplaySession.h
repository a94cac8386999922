#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <vector>

// A desktop of its own for one test: Xvfb on a display number the server picks (so tests can
// run side by side), openbox as its window manager, the programs a test starts there, and a
// home directory with its XDG folders. Everything it started is ended, and waited for, when it
// stops; should the test process die, the kernel ends them.
class DisplaySession
{
public:
    DisplaySession();
    ~DisplaySession();

    DisplaySession(const DisplaySession &) = delete;
    DisplaySession &operator=(const DisplaySession &) = delete;

    // The programs a session needs that are not on PATH.
    static QStringList missingPrograms();

    // Starts the server and the window manager, and waits until the manager runs.
    bool start(QString *error);
    void stop();

    QString home() const;
    // An empty data directory: as $XDG_DATA_DIRS it leaves a program without installed desktop
    // entries, so Kestrum names applications by their window class alone.
    QString noDesktopEntries() const;
    QString displayName() const { return m_displayName; }
    // What programs on the display are started with: the display, the home and XDG folders.
    QProcessEnvironment environment() const { return m_environment; }

    // Starts a program on the display, with the session's environment and these variables on
    // top; it runs until it ends or the session stops. Its output goes to a log of its own.
    // Null when it cannot start.
    QProcess *startProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &variables = {});
    // What a program started by startProgram printed so far.
    QString logOf(const QProcess *process) const;
    // Runs a program on the display to its end, for at most ten seconds; answers its output,
    // or nothing with `ok` false when it fails.
    QString run(const QString &program, const QStringList &arguments, bool *ok = nullptr);

    // The one visible window that xdotool finds with these search arguments, waiting for it
    // until the deadline; empty when there is none by then.
    QString waitForWindow(const QStringList &searchArguments, std::chrono::milliseconds timeout);

    // Ends a program: SIGTERM, then SIGKILL if it is still there after three seconds.
    static void end(QProcess &process);

private:
    std::unique_ptr<QProcess> newProcess(const QString &program, const QStringList &arguments, const QString &logPath,
                                         const QProcessEnvironment &variables = {});

    QTemporaryDir m_directory;
    QProcessEnvironment m_environment;
    QString m_displayName;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
    std::vector<std::unique_ptr<QProcess>> m_programs;
};
