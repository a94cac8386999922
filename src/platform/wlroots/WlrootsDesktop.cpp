#include "WlrootsDesktop.h"

#include "platform/wayland/WaylandConnection.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QLoggingCategory>

#include <algorithm>
#include <span>

Q_LOGGING_CATEGORY(lcWlroots, "kestrum.wlroots")

// One toplevel: what the compositor has said of it so far, applied at each `done`.
struct WlrootsDesktop::Handle
{
    WlrootsDesktop *desktop = nullptr;
    zwlr_foreign_toplevel_handle_v1 *proxy = nullptr;
    WindowElement element;
    Toplevel pending;
};

const zwlr_foreign_toplevel_manager_v1_listener WlrootsDesktop::s_managerListener = {
    .toplevel = [](void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *proxy) {
        static_cast<WlrootsDesktop *>(data)->addHandle(proxy);
    },
    .finished = [](void *data, zwlr_foreign_toplevel_manager_v1 *) {
        auto *desktop = static_cast<WlrootsDesktop *>(data);
        qCWarning(lcWlroots, "The compositor stopped listing its windows: the window in front is no longer followed.");
        zwlr_foreign_toplevel_manager_v1_destroy(desktop->m_manager);
        desktop->m_manager = nullptr;
    },
};

const zwlr_foreign_toplevel_handle_v1_listener WlrootsDesktop::s_handleListener = {
    .title = [](void *data, zwlr_foreign_toplevel_handle_v1 *, const char *title) {
        static_cast<Handle *>(data)->pending.title = QString::fromUtf8(title);
    },
    .app_id = [](void *data, zwlr_foreign_toplevel_handle_v1 *, const char *appId) {
        static_cast<Handle *>(data)->pending.appId = QString::fromUtf8(appId);
    },
    .output_enter = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
    .output_leave = [](void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {},
    .state = [](void *data, zwlr_foreign_toplevel_handle_v1 *, wl_array *states) {
        const std::span<const uint32_t> values(static_cast<const uint32_t *>(states->data), states->size / sizeof(uint32_t));
        static_cast<Handle *>(data)->pending.active =
            std::find(values.begin(), values.end(), uint32_t(ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)) != values.end();
    },
    .done = [](void *data, zwlr_foreign_toplevel_handle_v1 *) {
        auto *handle = static_cast<Handle *>(data);
        handle->desktop->toplevelChanged(handle->element, handle->pending);
    },
    .closed = [](void *data, zwlr_foreign_toplevel_handle_v1 *) {
        auto *handle = static_cast<Handle *>(data);
        handle->desktop->removeHandle(handle);
    },
    .parent = [](void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {},
};

std::unique_ptr<WlrootsDesktop> WlrootsDesktop::open(std::unique_ptr<WaylandConnection> connection, QString *error)
{
    auto *manager = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
        connection->bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!manager) {
        if (error)
            *error = tr("the Wayland compositor does not list its windows (it offers no %1)")
                         .arg(QLatin1StringView(kProtocol));
        return nullptr;
    }
    std::unique_ptr<WlrootsDesktop> desktop(new WlrootsDesktop(std::move(connection), manager));
    // The toplevels that exist now, and which one is active, before anyone asks.
    if (!desktop->connection().roundtrip()) {
        if (error)
            *error = tr("the Wayland compositor does not answer");
        return nullptr;
    }
    return desktop;
}

WlrootsDesktop::WlrootsDesktop(std::unique_ptr<WaylandConnection> connection, zwlr_foreign_toplevel_manager_v1 *manager)
    : ToplevelDesktop(std::move(connection))
    , m_manager(manager)
{
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &s_managerListener, this);
}

WlrootsDesktop::~WlrootsDesktop()
{
    if (!isConnected()) {
        qDeleteAll(m_handles);
        return;
    }
    for (Handle *handle : std::as_const(m_handles)) {
        zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
        delete handle;
    }
    if (m_manager)
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
}

void WlrootsDesktop::forgetProxies()
{
    qDeleteAll(m_handles);
    m_handles.clear();
    m_manager = nullptr;
}

void WlrootsDesktop::addHandle(zwlr_foreign_toplevel_handle_v1 *proxy)
{
    auto *handle = new Handle{this, proxy, newElement(), {}};
    m_handles.insert(proxy, handle);
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &s_handleListener, handle);
}

void WlrootsDesktop::removeHandle(Handle *handle)
{
    toplevelClosed(handle->element);
    m_handles.remove(handle->proxy);
    zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
    delete handle;
}
