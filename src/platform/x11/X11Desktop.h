#pragma once

#include "DesktopEntries.h"
#include "tracking/DesktopEvents.h"
#include "tracking/Accessibility.h"
#include "tracking/IdleSource.h"
#include "tracking/Workspace.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <memory>

#include <xcb/xcb.h>

class QSocketNotifier;

// The desktop as an X11 display shows it: the active window (_NET_ACTIVE_WINDOW) and its
// application, window titles, idle time (XScreenSaver) and the screen saver. It runs on a
// connection of its own, watched by the event loop, so it needs no Qt platform plugin.
// A lost connection is logged once; from then on nothing can be read, and Kestrum goes on.
class X11Desktop : public QObject, public Workspace, public Accessibility, public IdleSource
{
    Q_OBJECT

public:
    // What may show that the screen is locked or the screen saver runs.
    enum class LockSource { ScreenSaverExtension, SessionScreenSaver, LoginSession };

    // Opens the display (empty: $DISPLAY). Answers null, with the reason, when it cannot.
    static std::unique_ptr<X11Desktop> open(const QByteArray &displayName, QString *error);
    // Whether an X server answers at that display (empty: $DISPLAY), without keeping the
    // connection; the reason when none does. Needs no Qt event loop.
    static bool canOpen(const QByteArray &displayName, QString *error);
    ~X11Desktop() override;

    bool isConnected() const { return m_connection != nullptr; }
    bool isScreenSaverActive() const { return !m_lockedBy.isEmpty(); }
    void setScreenLocked(LockSource source, bool locked);
    // The active window as last seen (null before the first one).
    WindowElement activeWindow() const { return m_activeWindow; }

    // --- Workspace ---------------------------------------------------------------------------------
    FrontApplication activeApplication() const override;
    std::unique_ptr<Subscription> subscribeToApplicationSwitches(std::function<void()> handler) override;

    // --- Accessibility -------------------------------------------------------------------------------
    bool isAccessEnabled() const override { return isConnected(); }
    AppElement elementForProcess(qint64 pid) const override { return AppElement{pid}; }
    std::unique_ptr<WindowObserver> createObserver(qint64 pid, std::function<void()> callback) override;
    std::optional<WindowElement> mainWindow(const AppElement &application) const override;
    std::optional<QString> applicationTitle(const AppElement &application) const override;
    std::optional<QString> windowTitle(WindowElement window) const override;
    void openAccessibilitySettings() override;

    // --- IdleSource ----------------------------------------------------------------------------------
    IdleReading read() override;

Q_SIGNALS:
    // Something the user would see changed: the active window, its title, the screen saver.
    void changed();
    void connectionLost();

private:
    struct Ewmh;

    X11Desktop(xcb_connection_t *connection, int screenNumber);
    bool initialize(QString *error);
    void drainEvents(bool readSocket);
    void handleEvent(const xcb_generic_event_t *event);
    void refreshActiveWindow();
    void updateFront();
    void watchWindow(WindowElement window);
    FrontApplication identify(WindowElement window);
    qint64 pidOfWindow(WindowElement window) const;
    std::optional<QString> applicationNameOfWindow(WindowElement window, qint64 pid);
    bool checkConnection();

    xcb_connection_t *m_connection = nullptr;
    std::unique_ptr<Ewmh> m_ewmh;
    int m_screenNumber = 0;
    quint32 m_root = 0;
    quint32 m_wmNameAtom = 0;
    quint32 m_netWmNameAtom = 0;
    quint32 m_activeWindowAtom = 0;
    quint32 m_compoundTextAtom = 0;
    int m_screenSaverEvent = -1; // first event code of the extension, -1 when it is missing
    bool m_hasResExtension = false;
    QSocketNotifier *m_notifier = nullptr;

    DesktopEntries m_desktopEntries;
    QHash<QString, std::optional<QString>> m_namesByClass;
    WindowElement m_activeWindow;
    FrontApplication m_front;         // the application of the active window
    FrontApplication m_reportedFront; // what the tracker is told: the screen saver while it runs
    QHash<qint64, WindowElement> m_lastWindowOfProcess;
    QList<LockSource> m_lockedBy;
    DesktopEvents m_events;
};
