#include "WaylandConnection.h"

#include <QAbstractEventDispatcher>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>

Q_LOGGING_CATEGORY(lcWayland, "kestrum.wayland")

std::unique_ptr<WaylandConnection> WaylandConnection::open(QString *error)
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        if (error)
            *error = tr("cannot connect to the Wayland display \"%1\": %2")
                         .arg(qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0")), qt_error_string(errno));
        return nullptr;
    }
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    if (!connection->roundtrip()) {
        if (error)
            *error = tr("the Wayland compositor does not answer");
        return nullptr;
    }
    return connection;
}

WaylandConnection::WaylandConnection(wl_display *display)
    : m_display(display)
{
    static const wl_registry_listener listener = {&WaylandConnection::onGlobal, &WaylandConnection::onGlobalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);

    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { dispatch(true); });
    // Requests made between two wake-ups go out, and events read by a roundtrip are handled,
    // before the loop sleeps.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { dispatch(false); });
}

WaylandConnection::~WaylandConnection()
{
    if (!m_display)
        return;
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::onGlobal(void *data, wl_registry *, uint32_t name, const char *interface, uint32_t version)
{
    static_cast<WaylandConnection *>(data)->m_globals.append({name, QByteArray(interface), version});
}

void WaylandConnection::onGlobalRemove(void *data, wl_registry *, uint32_t name)
{
    auto *self = static_cast<WaylandConnection *>(data);
    self->m_globals.removeIf([name](const Global &global) { return global.name == name; });
}

bool WaylandConnection::offers(const char *interface) const
{
    return std::any_of(m_globals.cbegin(), m_globals.cend(), [interface](const Global &g) { return g.interface == interface; });
}

void *WaylandConnection::bind(const wl_interface *interface, quint32 highestKnownVersion, quint32 *version)
{
    if (!m_display)
        return nullptr;
    for (const Global &global : std::as_const(m_globals)) {
        if (global.interface != interface->name)
            continue;
        const quint32 bound = std::min({global.version, highestKnownVersion, quint32(interface->version)});
        if (version)
            *version = bound;
        return wl_registry_bind(m_registry, global.name, interface, bound);
    }
    return nullptr;
}

wl_seat *WaylandConnection::seat()
{
    if (!m_seat)
        m_seat = static_cast<wl_seat *>(bind(&wl_seat_interface, 1));
    return m_seat;
}

bool WaylandConnection::roundtrip()
{
    if (!m_display)
        return false;
    const bool ok = wl_display_roundtrip(m_display) >= 0;
    return checkConnection() && ok;
}

void WaylandConnection::flush()
{
    if (m_display)
        wl_display_flush(m_display);
}

void WaylandConnection::dispatch(bool readSocket)
{
    if (!m_display)
        return;
    if (readSocket) {
        // The notifier saw something to read: read it, which never blocks.
        while (wl_display_prepare_read(m_display) != 0)
            wl_display_dispatch_pending(m_display);
        wl_display_read_events(m_display);
    }
    wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    checkConnection();
}

bool WaylandConnection::checkConnection()
{
    if (!m_display)
        return false;
    const int error = wl_display_get_error(m_display);
    if (error == 0)
        return true;
    // Only logged: lost()'s listeners do not show it, and the status line says the display is gone.
    const QString why = error == EPROTO ? QStringLiteral("the compositor reported a protocol error") // not translated: log only
                                        : QStringLiteral("the connection to the compositor was lost (%1)") // not translated: log only
                                              .arg(qt_error_string(error));
    qCWarning(lcWayland).noquote() << "Wayland:" << why
                                   << "- windows and idle time can no longer be read. Kestrum goes on counting; the timings are kept.";
    m_notifier->setEnabled(false);
    wl_display_disconnect(m_display);
    m_display = nullptr;
    m_registry = nullptr;
    m_seat = nullptr;
    // Whoever holds proxies on this connection forgets them now: they must not be touched any
    // more, not even destroyed.
    Q_EMIT lost(why);
    return false;
}
