#include "ToplevelDesktop.h"

#include "WaylandConnection.h"

ToplevelDesktop::ToplevelDesktop(std::unique_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
    , m_idle(*m_connection)
{
    connect(m_connection.get(), &WaylandConnection::lost, this, [this] {
        m_idle.forget();
        forgetProxies();
        Q_EMIT connectionLost();
        Q_EMIT changed();
    });
}

ToplevelDesktop::~ToplevelDesktop() = default;

bool ToplevelDesktop::isConnected() const
{
    return m_connection->isConnected();
}

std::optional<QString> ToplevelDesktop::windowTitle(WindowElement window) const
{
    if (!isConnected())
        return std::nullopt;
    const auto it = m_toplevels.constFind(window);
    return it != m_toplevels.constEnd() ? std::optional(it->title) : std::nullopt;
}

void ToplevelDesktop::toplevelChanged(WindowElement element, const Toplevel &toplevel)
{
    const auto it = m_toplevels.find(element);
    const bool known = it != m_toplevels.end();
    const Toplevel previous = known ? *it : Toplevel{};
    m_toplevels.insert(element, toplevel);
    if (toplevel.active && (element != activeWindow() || previous.appId != toplevel.appId || previous.pid != toplevel.pid))
        setActiveWindow(element, {m_desktopEntries.applicationName(toplevel.appId), toplevel.pid});
    else if (known && previous.title != toplevel.title)
        windowTitleChanged(element);
    // A window that stops being active without another one becoming so leaves the last one in
    // front, as a window manager's pause between two windows does on X11.
}

void ToplevelDesktop::toplevelClosed(WindowElement element)
{
    m_toplevels.remove(element);
}
