#pragma once

#include "../logind/LogindMock.h"

#include <QDBusConnection>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// A GNOME Shell of the test's own, headless on a virtual monitor, in a private runtime directory
// and home: run as an ordinary user (the test user when the tests run as root) inside a session
// bus of its own, which the test process may use too. The Shell does not start without logind:
// a mock logind on a private system bus has the user's session. A test-only extension opens
// org.gnome.Shell.Eval, through which the test moves the focus and types. Everything started
// ends with the session.
class GnomeShellSession
{
public:
    GnomeShellSession();
    ~GnomeShellSession();
    GnomeShellSession(const GnomeShellSession &) = delete;
    GnomeShellSession &operator=(const GnomeShellSession &) = delete;

    // Of the programs the session needs, those not installed.
    static QStringList missingPrograms();

    // The runtime directory, the user's home and the mock logind with the user's session.
    bool prepare(QString *error);
    QString home() const { return m_runtimeDirectory + QStringLiteral("/home"); }
    // What goes into the home before the Shell starts, which reads its extensions only then:
    // the build tree installed into ~/.local with cmake --install, as its user would, and
    // desktop entries.
    bool install(const QString &buildDirectory, QString *error);
    bool addDesktopEntry(const QString &fileName, const QString &name) const;

    // Starts the Shell, enables the test's extension, turns animations off and leaves the
    // overview the Shell starts in.
    bool start(QString *error);
    // Enables an installed extension as its user does (gnome-extensions enable); true once the
    // Shell says it is enabled.
    bool enableExtension(const QString &uuid, QString *error);

    // Runs JavaScript in the Shell: its result as JSON text, or none, with the reason.
    std::optional<QString> evaluate(const QString &code, QString *error = nullptr);
    // Gives the focus to the window with this Wayland application id; true once it has it.
    bool focus(const QString &appId);
    // The process whose window has the focus; 0 for none.
    qint64 focusedProcess();
    // A key typed on a virtual keyboard: input, as far as Mutter knows.
    bool typeKey();
    // The idle time Mutter tells, in milliseconds.
    std::optional<quint64> idleMilliseconds();

    // Starts a program as the session's user, in the session; its output goes to a log. A
    // program from elsewhere (the build tree may be closed to that user) is copied in first.
    QProcess *startProgram(const QString &program, const QStringList &arguments);
    // Opens a toplevel window of the tests' own client with that application id and title;
    // waits until it is shown. Null when it cannot be.
    QProcess *openToplevel(const QString &appId, const QString &title);
    QString logOf(const QProcess *process) const;
    QString shellLog() const { return logOf(m_shell.get()); }

private:
    std::unique_ptr<QProcess> newProcess(const QString &program, const QStringList &arguments, const QString &log = {});
    QString reachable(const QString &program);
    bool chownToUser(const QString &path);
    bool waitForShell(QString *error);
    bool evaluateUntil(const QString &code, const QString &result, int timeoutMs);
    void stopShell();

    QString m_runtimeDirectory;
    bool m_asOtherUser = false;
    uint m_uid = 0;
    uint m_gid = 0;
    LogindMock m_logind;
    QProcessEnvironment m_environment;
    QDBusConnection m_bus{QString()};
    std::unique_ptr<QProcess> m_shell;
    std::vector<std::unique_ptr<QProcess>> m_programs;
    QHash<const QProcess *, QString> m_logs;
};
