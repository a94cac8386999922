#pragma once

#include "tracking/Accessibility.h"
#include "tracking/DesktopEvents.h"
#include "tracking/IdleSource.h"
#include "tracking/Workspace.h"

#include <QHash>
#include <QList>
#include <QObject>

// What every desktop backend shares: the window in front and its application, the screen
// saver standing in for them while it runs, and the notifications the tracker listens to.
// A backend finds out which window is active and tells it here; it answers the titles and the
// idle time itself.
class DesktopBackend : public QObject, public Workspace, public Accessibility, public IdleSource
{
    Q_OBJECT

public:
    // What may show that the screen is locked or the screen saver runs.
    enum class LockSource { ScreenSaverExtension, SessionScreenSaver, LoginSession };

    // The backend's short name, as kestrum-probe prints it: "x11", "wlroots", "kde", …
    virtual QString backendName() const = 0;
    virtual bool isConnected() const = 0;
    // The compositor's idle notification the idle time comes from, where it honours idle
    // inhibitors itself (Wayland: "ext_idle_notifier_v1", "org_kde_kwin_idle"); else empty.
    virtual QString idleProtocol() const { return {}; }

    bool isScreenSaverActive() const { return !m_lockedBy.isEmpty(); }
    void setScreenLocked(LockSource source, bool locked);
    // The active window as last seen (null before the first one).
    WindowElement activeWindow() const { return m_activeWindow; }

    // --- Workspace ---------------------------------------------------------------------------------
    FrontApplication activeApplication() const override { return m_reportedFront; }
    std::unique_ptr<Subscription> subscribeToApplicationSwitches(std::function<void()> handler) override;

    // --- Accessibility -------------------------------------------------------------------------------
    bool isAccessEnabled() const override { return isConnected(); }
    AppElement elementForProcess(qint64 pid) const override { return AppElement{pid}; }
    std::unique_ptr<WindowObserver> createObserver(qint64 pid, std::function<void()> callback) override;
    std::optional<WindowElement> mainWindow(const AppElement &application) const override;
    std::optional<QString> applicationTitle(const AppElement &application) const override;
    void openAccessibilitySettings() override;

Q_SIGNALS:
    // Something the user would see changed: the active window, its title, the screen saver.
    void changed();
    // The display or compositor went away: nothing more can be read from now on.
    void connectionLost();
    // Something keeps the backend from seeing windows; `message` is for the status line.
    void problem(const QString &message);

protected:
    explicit DesktopBackend(QObject *parent = nullptr);

    // Another window came to the front; `front` is its application.
    void setActiveWindow(WindowElement window, const FrontApplication &front);
    // The title of a window changed: a rename of the active one is booked at once.
    void windowTitleChanged(WindowElement window);

private:
    void updateFront();

    WindowElement m_activeWindow;
    FrontApplication m_front;         // the application of the active window
    FrontApplication m_reportedFront; // what the tracker is told: the screen saver while it runs
    QHash<qint64, WindowElement> m_lastWindowOfProcess;
    QList<LockSource> m_lockedBy;
    DesktopEvents m_events;
};
