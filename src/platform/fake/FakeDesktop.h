#pragma once

#include "tracking/Accessibility.h"
#include "tracking/Clock.h"
#include "tracking/DesktopEvents.h"
#include "tracking/IdleInhibition.h"
#include "tracking/IdleSource.h"
#include "tracking/Workspace.h"

#include <QHash>
#include <QList>

#include <optional>


// A scripted desktop: applications with process ids, their main windows and titles, the
// moments of user input, whether window titles can be read, and failures on demand.
// Events (application switches, window notifications) are delivered synchronously.
class FakeDesktop : public Workspace, public Accessibility, public IdleSource, public IdleInhibitionSource
{
public:
    explicit FakeDesktop(const Clock &clock);

    // --- scripting ----------------------------------------------------------------------
    // Describes a process afresh. An application that is not accessible fails the observer
    // set-up and answers no attribute.
    void addApplication(qint64 pid, std::optional<QString> name, bool accessible = true);
    // Brings the process to the front and delivers the application-switch event.
    void bringToFront(qint64 pid);
    // The process now shows a window of another application, as one process may (and on a
    // desktop that names no processes, any): its name and main window change, and only the
    // application-switch event is delivered.
    void showApplication(qint64 pid, const QString &name, WindowElement window, const QString &title);
    // Makes `window` (nullopt: none) the process's main window with that title (nullopt:
    // untitled) and notifies the observers of that process.
    void setMainWindow(qint64 pid, std::optional<WindowElement> window, std::optional<QString> title);
    // Changes a window's title without any notification.
    void setWindowTitle(WindowElement window, std::optional<QString> title);
    // Delivers a focused-window notification to the observers of the process.
    void notifyFocusedWindowChanged(qint64 pid);
    // User input happens now.
    void input();
    void setAccessEnabled(bool enabled) { m_accessEnabled = enabled; }
    void setObserverFailure(qint64 pid, bool fails);
    void setApplicationSwitchSubscriptionFails(bool fails) { m_subscriptionFails = fails; }
    // Makes every idle reading fail this way; Status::Ok reads normally again.
    void setIdleFailure(IdleReading::Status status) { m_idleFailure = status; }
    // Idle inhibitors held by these (none: nothing keeps the screen awake).
    void setIdleInhibitedBy(const QStringList &by) { m_inhibitedBy = by; }

    int accessibilitySettingsOpened() const { return m_settingsOpened; }
    int attachedObserverCount(qint64 pid) const { return m_events.attachedObserverCount(pid); }
    qint64 frontPid() const { return m_frontPid; }

    // --- Workspace ------------------------------------------------------------------------
    FrontApplication activeApplication() const override;
    std::unique_ptr<Subscription> subscribeToApplicationSwitches(std::function<void()> handler) override;

    // --- Accessibility ----------------------------------------------------------------------
    bool isAccessEnabled() const override { return m_accessEnabled; }
    AppElement elementForProcess(qint64 pid) const override { return AppElement{pid}; }
    std::unique_ptr<WindowObserver> createObserver(qint64 pid, std::function<void()> callback) override;
    std::optional<WindowElement> mainWindow(const AppElement &application) const override;
    std::optional<QString> applicationTitle(const AppElement &application) const override;
    std::optional<QString> windowTitle(WindowElement window) const override;
    void openAccessibilitySettings() override { ++m_settingsOpened; }

    // --- IdleSource ---------------------------------------------------------------------------
    IdleReading read() override;

    // --- IdleInhibitionSource -----------------------------------------------------------------
    IdleInhibition idleInhibition() override
    {
        return {m_inhibitedBy.isEmpty() ? IdleInhibition::State::Free : IdleInhibition::State::Inhibited, m_inhibitedBy};
    }

private:
    struct Application
    {
        std::optional<QString> name;
        bool accessible = true;
        bool observerFails = false;
        std::optional<WindowElement> mainWindow;
    };

    const Application *accessibleApplication(qint64 pid) const;

    const Clock &m_clock;
    QStringList m_inhibitedBy;
    QHash<qint64, Application> m_applications;
    QHash<WindowElement, std::optional<QString>> m_titles;
    DesktopEvents m_events;
    qint64 m_frontPid = 0;
    Clock::MonotonicTime m_lastInput;
    IdleReading::Status m_idleFailure = IdleReading::Status::Ok;
    int m_settingsOpened = 0;
    bool m_accessEnabled = true;
    bool m_subscriptionFails = false;
};
