#include "WaylandIdle.h"

#include "WaylandConnection.h"
#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcWaylandIdle, "kestrum.wayland.idle")

WaylandIdle::WaylandIdle(WaylandConnection &connection)
    : m_connection(connection)
{
    wl_seat *seat = connection.seat();
    if (!seat) {
        qCWarning(lcWaylandIdle, "The Wayland compositor offers no seat: idle time cannot be read.");
        return;
    }
    const auto timeout = quint32(kTimeout.count());
    if (auto *notifier = static_cast<ext_idle_notifier_v1 *>(connection.bind(&ext_idle_notifier_v1_interface, 1))) {
        static const ext_idle_notification_v1_listener listener = {
            [](void *data, ext_idle_notification_v1 *) { onIdle(data, nullptr); },
            [](void *data, ext_idle_notification_v1 *) { onResumed(data, nullptr); },
        };
        m_notifier = notifier;
        m_notification = ext_idle_notifier_v1_get_idle_notification(notifier, timeout, seat);
        ext_idle_notification_v1_add_listener(m_notification, &listener, this);
        m_protocol = QStringLiteral("ext_idle_notifier_v1");
    } else if (auto *idle = static_cast<org_kde_kwin_idle *>(connection.bind(&org_kde_kwin_idle_interface, 1))) {
        static const org_kde_kwin_idle_timeout_listener listener = {
            [](void *data, org_kde_kwin_idle_timeout *) { onIdle(data, nullptr); },
            [](void *data, org_kde_kwin_idle_timeout *) { onResumed(data, nullptr); },
        };
        m_notifier = idle;
        m_kdeTimeout = org_kde_kwin_idle_get_idle_timeout(idle, seat, timeout);
        org_kde_kwin_idle_timeout_add_listener(m_kdeTimeout, &listener, this);
        m_protocol = QStringLiteral("org_kde_kwin_idle");
    } else {
        qCWarning(lcWaylandIdle, "The Wayland compositor announces no idle time (neither ext-idle-notify nor KDE's idle "
                                 "protocol): Kestrum cannot tell when you are away.");
    }
    connection.flush();
}

WaylandIdle::~WaylandIdle()
{
    if (m_lost)
        return;
    if (m_notification) {
        ext_idle_notification_v1_destroy(m_notification);
        ext_idle_notifier_v1_destroy(static_cast<ext_idle_notifier_v1 *>(m_notifier));
    }
    if (m_kdeTimeout) {
        org_kde_kwin_idle_timeout_release(m_kdeTimeout);
        org_kde_kwin_idle_destroy(static_cast<org_kde_kwin_idle *>(m_notifier));
    }
}

void WaylandIdle::forget()
{
    m_lost = true;
    m_notification = nullptr;
    m_kdeTimeout = nullptr;
    m_notifier = nullptr;
    m_idleSince.reset();
}

void WaylandIdle::onIdle(void *data, void *)
{
    // The seat has been idle for the whole timeout by now.
    static_cast<WaylandIdle *>(data)->m_idleSince = std::chrono::steady_clock::now() - kTimeout;
}

void WaylandIdle::onResumed(void *data, void *)
{
    static_cast<WaylandIdle *>(data)->m_idleSince.reset();
}

IdleReading WaylandIdle::read()
{
    if (m_lost || !m_connection.isConnected())
        return {IdleReading::Status::ServiceUnreachable};
    if (m_protocol.isEmpty())
        return {IdleReading::Status::NotFound};
    if (!m_idleSince)
        return {IdleReading::Status::Ok, 0};
    const auto idle = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - *m_idleSince);
    return {IdleReading::Status::Ok, quint64(idle.count())};
}
