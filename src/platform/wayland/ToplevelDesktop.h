#pragma once

#include "WaylandConnection.h"
#include "WaylandIdle.h"
#include "platform/common/DesktopBackend.h"
#include "platform/common/DesktopEntries.h"

#include <QHash>

#include <memory>


// A Wayland desktop whose compositor (or a script inside it) lists the toplevel windows with
// their application id, title, process and whether they are active. Subclasses follow one
// such list and report each toplevel here once all of an update has come; the idle time comes
// from the compositor's idle protocol on Kestrum's own connection.
class ToplevelDesktop : public DesktopBackend
{
    Q_OBJECT

public:
    ~ToplevelDesktop() override;

    bool isConnected() const override;
    std::optional<QString> windowTitle(WindowElement window) const override;
    IdleReading read() override { return m_idle.read(); }
    // Which protocol the idle time comes from; empty when none.
    QString idleProtocol() const override { return m_idle.protocol(); }
    qsizetype toplevelCount() const { return m_toplevels.size(); }

protected:
    struct Toplevel
    {
        QString appId;
        QString title;
        qint64 pid = 0;
        bool active = false;
    };

    explicit ToplevelDesktop(std::unique_ptr<WaylandConnection> connection);
    WaylandConnection &connection() { return *m_connection; }

    // An element for a toplevel not seen before.
    WindowElement newElement() { return WindowElement(++m_lastElement); }
    // A toplevel is new or changed; `toplevel` is all that is known of it now.
    void toplevelChanged(WindowElement element, const Toplevel &toplevel);
    void toplevelClosed(WindowElement element);
    // The compositor went away: the subclass forgets its proxies here.
    virtual void forgetProxies() = 0;

private:

    std::unique_ptr<WaylandConnection> m_connection; // first in, last out: proxies die before it
    WaylandIdle m_idle;
    DesktopEntries m_desktopEntries;
    QHash<WindowElement, Toplevel> m_toplevels;
    quint64 m_lastElement = 0;
};
