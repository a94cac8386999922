#pragma once

#include "platform/common/DesktopBackend.h"
#include "platform/common/DesktopEntries.h"

#include <QElapsedTimer>
#include <QHash>

#include <deque>
#include <memory>
#include <optional>

#include <xcb/sync.h>
#include <xcb/xcb.h>

class QSocketNotifier;
class QTimer;

// The desktop as an X11 display shows it: the active window (_NET_ACTIVE_WINDOW) and its
// application, window titles, idle time (the SYNC extension's IDLETIME, else XScreenSaver) and
// the screen saver. It runs on a connection of its own, watched by the event loop, so it needs
// no Qt platform plugin. A lost connection is logged once; from then on nothing can be read,
// and Kestrum goes on.
//
// A tick asks the server nothing: the active window's title is kept until the window says it
// changed, and the idle time follows from the server's alarms, which come only when the user
// stops or starts using the keyboard and the pointer. A switch back to a window seen before
// asks the server nothing, unless the window said since that its title changed.
class X11Desktop : public DesktopBackend
{
    Q_OBJECT

public:
    // Opens the display (empty: $DISPLAY). Answers null, with the reason, when it cannot.
    static std::unique_ptr<X11Desktop> open(const QByteArray &displayName, QString *error);
    // Whether an X server answers at that display (empty: $DISPLAY), without keeping the
    // connection; the reason when none does. Needs no Qt event loop.
    static bool canOpen(const QByteArray &displayName, QString *error);
    ~X11Desktop() override;

    QString backendName() const override { return QStringLiteral("x11"); }
    bool isConnected() const override { return m_connection != nullptr; }
    std::optional<QString> windowTitle(WindowElement window) const override;
    IdleReading read() override;

private:
    struct Ewmh;
    // Both title properties asked for at once, so that one round trip answers them.
    struct TitleRequest
    {
        xcb_get_property_cookie_t netWmName;
        xcb_get_property_cookie_t wmName;
    };

    X11Desktop(xcb_connection_t *connection, int screenNumber);
    bool initialize(QString *error);
    void followIdleTime();
    void drainEvents();
    void keepQueuedEvents() const;
    void handleEvent(const xcb_generic_event_t *event);
    void idleAlarm(const xcb_sync_alarm_notify_event_t *alarm);
    void refreshActiveWindow();
    FrontApplication applicationFrom(WindowElement window, xcb_get_property_cookie_t pid, xcb_get_property_cookie_t wmClass);
    void rememberWindow(WindowElement window, const FrontApplication &front);
    void forgetWindow(xcb_window_t window);
    void forgetWindows();
    void stopWatching(xcb_window_t window);
    qint64 pidFromServer(WindowElement window) const;
    std::optional<QString> applicationName(xcb_get_property_cookie_t wmClass, qint64 pid);
    TitleRequest askTitle(WindowElement window) const;
    std::optional<QString> titleFrom(const TitleRequest &request) const;
    IdleReading queryIdleTime();
    bool serverHungUp() const;
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
    // Events libxcb read along with a reply, after which the socket no longer wakes us.
    mutable std::deque<xcb_generic_event_t *> m_keptEvents;
    QTimer *m_drainKept = nullptr;

    bool m_activeWindowChanged = false; // read once the events at hand are handled

    // The active window's title as last read; read again once the window or the list of
    // windows changed (a closed window answers none).
    WindowElement m_titleWindow;
    mutable std::optional<QString> m_title;
    mutable bool m_titleCurrent = false;
    quint32 m_clientListAtom = 0;

    // Idle time from two alarms on IDLETIME: one when the user has been away for a second,
    // one when input comes after that. Between them it counts on from the last alarm.
    xcb_sync_counter_t m_idleCounter = 0; // 0 without the SYNC extension's IDLETIME
    int m_syncEvent = -1;
    xcb_sync_alarm_t m_awayAlarm = 0;
    xcb_sync_alarm_t m_backAlarm = 0;
    bool m_away = false;
    quint64 m_idleAtMark = 0; // milliseconds, as the server said at the mark
    QElapsedTimer m_sinceMark;

    DesktopEntries m_desktopEntries;
    QHash<QString, std::optional<QString>> m_namesByClass;

    // Each window that came to the front, with its application and its title as it last showed
    // it, for as long as the window manager lists the same windows: a new list may give a closed
    // window's id to a new window. Known windows are watched, so that a new title, class or
    // process is heard of. Only kept under a window manager that keeps such a list
    // (_NET_CLIENT_LIST); whether it does is unknown until asked, and again after another
    // window manager takes over.
    struct KnownWindow
    {
        FrontApplication front;
        std::optional<QString> title;
        bool titleCurrent = false; // false once the window said its title changed
    };
    QHash<xcb_window_t, KnownWindow> m_knownWindows;
    std::optional<bool> m_listsWindows;
    quint32 m_supportedAtom = 0;
    quint32 m_wmPidAtom = 0;
};
