#pragma once

#include "platform/common/DesktopBackend.h"
#include "platform/common/DesktopEntries.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

#include <memory>

// GNOME on Wayland, where no public interface tells which window is in front: Kestrum's own
// GNOME Shell extension announces the focused window over D-Bus, Mutter tells the idle time
// and GNOME's screen saver the lock. Without the extension every application is "Unknown";
// until the extension first answers, the front application has no name.
//
// The extension names no window, only its application, title and process: each title of an
// application's process is a window of its own here, so a rename books on under the new title.
class GnomeDesktop : public DesktopBackend
{
    Q_OBJECT

public:
    static constexpr const char *kExtensionUuid = "kestrum@kestrum.github.io";

    // Whether this is GNOME's session ($XDG_CURRENT_DESKTOP names GNOME).
    static bool isGnomeSession();
    // Follows the extension and Mutter on `bus`, the session bus; null, with the reason, when
    // that bus cannot be reached.
    static std::unique_ptr<GnomeDesktop> open(const QDBusConnection &bus, QString *error);
    ~GnomeDesktop() override;

    QString backendName() const override { return QStringLiteral("gnome"); }
    bool isConnected() const override { return m_bus.isConnected(); }
    std::optional<QString> windowTitle(WindowElement window) const override;
    // The idle time Mutter gave at the last tick, counted on since; every read asks again.
    // Pending until Mutter's first answer, which comes a moment after the start.
    IdleReading read() override;

    // Whether the extension answered, and has not gone away since.
    bool hasExtension() const { return m_extensionAnswers; }

    // What GNOME Shell says of the extension, asked at start and whenever it comes or goes.
    enum class ExtensionState { Unknown, NotInstalled, Disabled, Enabled };
    ExtensionState extensionState() const { return m_extensionState; }
    // The state in words for the preferences window, with what to do about it.
    static QString describe(ExtensionState state);

Q_SIGNALS:
    void extensionStateChanged(GnomeDesktop::ExtensionState state);

private Q_SLOTS:
    void activeWindowChanged(const QString &appId, const QString &title, uint pid);
    void screenSaverActiveChanged(bool active);

private:
    explicit GnomeDesktop(const QDBusConnection &bus);
    void askActiveWindow();
    void extensionMissing(const QString &why);
    void askIdleTime();
    void askExtensionState();
    void setExtensionState(ExtensionState state);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_shellWatcher;
    QTimer m_retry; // asks the extension again while it does not answer
    bool m_extensionAnswers = false;
    bool m_missingReported = false;
    ExtensionState m_extensionState = ExtensionState::Unknown;

    DesktopEntries m_desktopEntries;
    QHash<QString, WindowElement> m_elements; // by application id, process and title
    QHash<WindowElement, QString> m_titles;
    quint64 m_lastElement = 0;

    std::optional<quint64> m_idleMilliseconds; // Mutter's last answer
    QElapsedTimer m_idleAnswered;              // since that answer
    bool m_idleAsked = false;
    IdleReading::Status m_idleFailure = IdleReading::Status::Ok;
};
