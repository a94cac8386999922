#pragma once

#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A Wayland compositor of the test's own, in a private runtime directory: headless sway, run
// as an ordinary user (it refuses root; as root the session creates the user "kestrum-test"),
// or KWin's virtual backend inside a private session bus, which KWin needs. Clients are the
// test's own toplevel program; everything started is ended when the session stops.
class CompositorSession
{
public:
    enum class Compositor {
        Sway,
        KWin,        // KWin as a user's session has it: Kestrum from the build tree is not trusted
        TrustedKWin, // KWin that offers its window list to every client
    };

    explicit CompositorSession(Compositor compositor);
    ~CompositorSession();

    // Of the programs the session needs, those not installed.
    static QStringList missingPrograms(Compositor compositor);
    // The ordinary user that sessions refusing root run as when the tests run as root; made
    // once, if it is missing, by ensureTestUser.
    static QString testUser();
    static bool ensureTestUser(QString *error);

    bool start(QString *error);
    // Ends the compositor at once, as a crash would, and waits until it is gone.
    void killCompositor();

    // What Kestrum runs with on this desktop: the absolute socket path as WAYLAND_DISPLAY, no
    // X display, KWin's session bus, a home of its own.
    QProcessEnvironment environment() const { return m_environment; }
    // Makes this process a client of the session (for backends tested in process).
    void enterSession() const;
    QString sessionBusAddress() const { return m_environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")); }
    QString home() const { return m_runtimeDirectory + QStringLiteral("/home"); }
    // Installs a desktop entry named `fileName` whose Name is `name`, where the session's
    // programs look for them.
    bool addDesktopEntry(const QString &fileName, const QString &name) const;

    // Opens `count` toplevels of one client with that application id and title (numbered from
    // " 0" when several); waits until they are shown. Null when they cannot be.
    QProcess *openToplevels(const QString &appId, const QString &title, int count = 1);
    // Retitles the client's Nth toplevel ("\e" stands for an escape) and waits until it is done.
    bool retitle(QProcess *client, int index, const QString &title);
    // Opens one more toplevel of the client, of any application id, and waits until it is
    // shown; it is the client's Nth where it had N before.
    bool openToplevel(QProcess *client, const QString &appId, const QString &title);
    // Closes the client's Nth toplevel and waits until it is gone.
    bool closeToplevel(QProcess *client, int index);
    // The client's Nth toplevel takes an idle inhibitor (or lets it go), and it is done.
    bool inhibitIdle(QProcess *client, int index, bool inhibit);
    // Closes the client's toplevels.
    void close(QProcess *client);
    // Sway only: focuses the toplevel with that application id, as a user's key binding does.
    bool focus(const QString &appId);
    // Sway only: types a key on the seat's virtual keyboard.
    bool typeKey();

    // Starts a program in the session, with these variables on top; its output goes to a log.
    QProcess *startProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &variables = {});
    QString logOf(const QProcess *process) const;

private:
    bool startSway(QString *error);
    bool startKWin(QString *error);
    bool waitForSocket(QString *error);
    QStringList asSessionUser(const QString &program, const QStringList &arguments) const;
    bool runTool(const QString &program, const QStringList &arguments);
    // Gives a toplevel client one command and waits until it says it is done.
    static bool command(QProcess *client, const QString &line);

    Compositor m_compositor;
    QString m_runtimeDirectory;
    QString m_socketName;
    QProcessEnvironment m_environment;
    std::unique_ptr<QProcess> m_compositorProcess;
    std::vector<std::unique_ptr<QProcess>> m_programs;
    QHash<const QProcess *, QString> m_logs;
    bool m_asOtherUser = false;
};
