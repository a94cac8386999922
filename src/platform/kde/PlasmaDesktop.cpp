#include "PlasmaDesktop.h"

#include "plasma-window-management-client-protocol.h"
#include "platform/wayland/WaylandConnection.h"

// Each version of the protocol adds events; this one handles those up to it.
static constexpr quint32 kHighestVersion = 16;
// From this version on a window tells when all of its first state has come.
static constexpr quint32 kInitialStateVersion = 4;
// From this version on windows are announced by uuid, and asked for by it.
static constexpr quint32 kUuidVersion = 13;

// From this version on a window has a destroy request.
static constexpr quint32 kDestroyVersion = 4;

struct PlasmaDesktop::Window
{
    PlasmaDesktop *desktop = nullptr;
    org_kde_plasma_window *proxy = nullptr;
    WindowElement element;
    Toplevel state;
    bool complete = false; // the first state has come in full
};

namespace {
template<typename... Args>
void ignore(void *, org_kde_plasma_window *, Args...)
{
}
} // namespace

const org_kde_plasma_window_management_listener PlasmaDesktop::s_managerListener = {
    .show_desktop_changed = [](void *, org_kde_plasma_window_management *, uint32_t) {},
    .window = [](void *data, org_kde_plasma_window_management *manager, uint32_t id) {
        auto *desktop = static_cast<PlasmaDesktop *>(data);
        if (desktop->m_version < kUuidVersion)
            desktop->addWindow(org_kde_plasma_window_management_get_window(manager, id));
    },
    .stacking_order_changed = [](void *, org_kde_plasma_window_management *, wl_array *) {},
    .stacking_order_uuid_changed = [](void *, org_kde_plasma_window_management *, const char *) {},
    .window_with_uuid = [](void *data, org_kde_plasma_window_management *manager, uint32_t, const char *uuid) {
        static_cast<PlasmaDesktop *>(data)->addWindow(org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
    },
};

const org_kde_plasma_window_listener PlasmaDesktop::s_windowListener = {
    .title_changed = [](void *data, org_kde_plasma_window *, const char *title) {
        auto *window = static_cast<Window *>(data);
        window->state.title = QString::fromUtf8(title);
        window->desktop->update(window);
    },
    .app_id_changed = [](void *data, org_kde_plasma_window *, const char *appId) {
        auto *window = static_cast<Window *>(data);
        window->state.appId = QString::fromUtf8(appId);
        window->desktop->update(window);
    },
    .state_changed = [](void *data, org_kde_plasma_window *, uint32_t flags) {
        auto *window = static_cast<Window *>(data);
        window->state.active = (flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE) != 0;
        window->desktop->update(window);
    },
    .virtual_desktop_changed = ignore<int32_t>,
    .themed_icon_name_changed = ignore<const char *>,
    .unmapped = [](void *data, org_kde_plasma_window *) {
        auto *window = static_cast<Window *>(data);
        window->desktop->removeWindow(window);
    },
    .initial_state = [](void *data, org_kde_plasma_window *) {
        auto *window = static_cast<Window *>(data);
        window->complete = true;
        window->desktop->update(window);
    },
    .parent_window = ignore<org_kde_plasma_window *>,
    .geometry = ignore<int32_t, int32_t, uint32_t, uint32_t>,
    .icon_changed = ignore<>,
    .pid_changed = [](void *data, org_kde_plasma_window *, uint32_t pid) {
        auto *window = static_cast<Window *>(data);
        window->state.pid = pid;
        window->desktop->update(window);
    },
    .virtual_desktop_entered = ignore<const char *>,
    .virtual_desktop_left = ignore<const char *>,
    .application_menu = ignore<const char *, const char *>,
    .activity_entered = ignore<const char *>,
    .activity_left = ignore<const char *>,
    .resource_name_changed = ignore<const char *>,
};

std::unique_ptr<PlasmaDesktop> PlasmaDesktop::open(std::unique_ptr<WaylandConnection> connection, QString *error)
{
    quint32 version = 0;
    auto *manager = static_cast<org_kde_plasma_window_management *>(
        connection->bind(&org_kde_plasma_window_management_interface, kHighestVersion, &version));
    if (!manager) {
        if (error)
            *error = tr("KWin does not let Kestrum list its windows (it offers no %1)").arg(QLatin1StringView(kProtocol));
        return nullptr;
    }
    std::unique_ptr<PlasmaDesktop> desktop(new PlasmaDesktop(std::move(connection), manager, version));
    // The windows that exist now and their first state, before anyone asks; then their state.
    if (!desktop->connection().roundtrip() || !desktop->connection().roundtrip()) {
        if (error)
            *error = tr("the Wayland compositor does not answer");
        return nullptr;
    }
    return desktop;
}

PlasmaDesktop::PlasmaDesktop(std::unique_ptr<WaylandConnection> connection, org_kde_plasma_window_management *manager,
                             quint32 version)
    : ToplevelDesktop(std::move(connection))
    , m_manager(manager)
    , m_version(version)
{
    org_kde_plasma_window_management_add_listener(m_manager, &s_managerListener, this);
}

PlasmaDesktop::~PlasmaDesktop()
{
    const bool connected = isConnected();
    for (Window *window : std::as_const(m_windows)) {
        if (connected)
            destroyProxy(window->proxy);
        delete window;
    }
    if (connected && m_manager)
        org_kde_plasma_window_management_destroy(m_manager);
}

void PlasmaDesktop::forgetProxies()
{
    qDeleteAll(m_windows);
    m_windows.clear();
    m_manager = nullptr;
}

void PlasmaDesktop::addWindow(org_kde_plasma_window *proxy)
{
    auto *window = new Window{this, proxy, newElement(), {}, m_version < kInitialStateVersion};
    m_windows.insert(window);
    org_kde_plasma_window_add_listener(proxy, &s_windowListener, window);
}

void PlasmaDesktop::update(Window *window)
{
    // Until its first state is complete a window is not reported: it would show half-known.
    if (window->complete)
        toplevelChanged(window->element, window->state);
}

void PlasmaDesktop::removeWindow(Window *window)
{
    toplevelClosed(window->element);
    m_windows.remove(window);
    destroyProxy(window->proxy);
    delete window;
}

void PlasmaDesktop::destroyProxy(org_kde_plasma_window *proxy) const
{
    if (m_version >= kDestroyVersion)
        org_kde_plasma_window_destroy(proxy);
    else
        wl_proxy_destroy(reinterpret_cast<wl_proxy *>(proxy));
}
