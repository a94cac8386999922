#pragma once

#include "platform/wayland/ToplevelDesktop.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>

class QTemporaryFile;

// KDE Plasma when KWin does not list its windows to Kestrum (Kestrum runs from where no
// installed desktop entry vouches for it): a small script loaded into KWin over D-Bus tells
// Kestrum of every activation and caption change, by calling the methods below. The script is
// unloaded when Kestrum quits.
class KWinScriptDesktop : public ToplevelDesktop, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.kestrum.KWinWindows")

public:
    static constexpr const char *kPluginName = "kestrum-window-watcher";

    // Whether KWin answers on the session bus, to load a script into.
    static bool isKWinRunning(const QDBusConnection &bus);
    // Registers the methods the script calls and has KWin load and run the script, without
    // waiting for it; null, with the reason, when the methods cannot be registered. A script
    // that KWin refuses is reported through `problem`.
    static std::unique_ptr<KWinScriptDesktop> open(std::unique_ptr<WaylandConnection> connection, const QDBusConnection &bus,
                                                   QString *error);
    ~KWinScriptDesktop() override;

    QString backendName() const override { return QStringLiteral("kde"); }

public Q_SLOTS:
    // Called by the script inside KWin. `pid` is the process id as text ("0" when unknown).
    Q_SCRIPTABLE void WindowActivated(const QString &id, const QString &appId, const QString &title, const QString &pid);
    Q_SCRIPTABLE void WindowChanged(const QString &id, const QString &appId, const QString &title, const QString &pid);
    Q_SCRIPTABLE void WindowClosed(const QString &id);

private:
    KWinScriptDesktop(std::unique_ptr<WaylandConnection> connection, const QDBusConnection &bus);
    void forgetProxies() override {}
    bool writeScript(QString *error);
    void loadScript();
    void failToLoad(const QString &why);
    void report(const QString &id, const QString &appId, const QString &title, const QString &pid, bool activated);
    bool isFromKWin();

    QDBusConnection m_bus;
    QString m_kwinOwner; // KWin's unique name on the bus: only its calls are believed
    std::unique_ptr<QTemporaryFile> m_script;
    QHash<QString, WindowElement> m_elements; // KWin's window ids
};
