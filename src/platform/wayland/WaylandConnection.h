#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_seat;
class QSocketNotifier;

// Kestrum's own connection to the Wayland compositor, apart from the one Qt may have for the
// window (which may as well be an X11 client). The event loop watches its socket and
// dispatches what comes; a connection that breaks is reported once and never read again.
class WaylandConnection : public QObject
{
    Q_OBJECT

public:
    // A global object the compositor offers.
    struct Global
    {
        quint32 name = 0;
        QByteArray interface;
        quint32 version = 0;
    };

    // Connects to $WAYLAND_DISPLAY and learns the compositor's globals. Null, with the
    // reason, when no compositor answers there.
    static std::unique_ptr<WaylandConnection> open(QString *error);
    ~WaylandConnection() override;

    bool isConnected() const { return m_display != nullptr; }
    bool offers(const char *interface) const;
    // Binds the global of that interface at the highest version both sides know; null when the
    // compositor does not offer it. `version` receives the version bound.
    void *bind(const wl_interface *interface, quint32 highestKnownVersion, quint32 *version = nullptr);
    // The first seat: idle notifications are asked for per seat. Null when there is none.
    wl_seat *seat();

    // Sends what is queued and waits until the compositor has answered all of it.
    bool roundtrip();
    // Sends queued requests now.
    void flush();

Q_SIGNALS:
    // The compositor went away or broke the connection; `why` says which.
    void lost(const QString &why);

private:
    explicit WaylandConnection(wl_display *display);
    void dispatch(bool readSocket);
    bool checkConnection();
    static void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version);
    static void onGlobalRemove(void *data, wl_registry *registry, uint32_t name);

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    QList<Global> m_globals;
    QSocketNotifier *m_notifier = nullptr;
};
