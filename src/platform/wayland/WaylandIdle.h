#pragma once

#include "tracking/IdleSource.h"

#include <QString>

#include <chrono>
#include <optional>

class WaylandConnection;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle_timeout;

// The time since the last input on a Wayland seat. The compositor only announces that the
// seat has been idle for a timeout, and that input came again: Kestrum arms a short timeout
// and counts on from the moment it was announced, so a reading is right to within that
// timeout. ext-idle-notify where the compositor offers it, else KDE's idle protocol.
class WaylandIdle : public IdleSource
{
public:
    static constexpr std::chrono::milliseconds kTimeout{3000};

    explicit WaylandIdle(WaylandConnection &connection);
    ~WaylandIdle() override;

    // Which protocol announces idle ("ext_idle_notifier_v1", "org_kde_kwin_idle"); empty when
    // the compositor offers neither.
    QString protocol() const { return m_protocol; }
    IdleReading read() override;

    // The connection broke: the proxies are gone with it.
    void forget();

private:
    static void onIdle(void *data, void *);
    static void onResumed(void *data, void *);

    WaylandConnection &m_connection;
    QString m_protocol;
    void *m_notifier = nullptr;                          // the protocol's global
    ext_idle_notification_v1 *m_notification = nullptr;  // ext-idle-notify
    org_kde_kwin_idle_timeout *m_kdeTimeout = nullptr;   // KDE's idle
    std::optional<std::chrono::steady_clock::time_point> m_idleSince; // when the timeout ran out
    bool m_lost = false;
};
