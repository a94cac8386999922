#pragma once

#include "platform/wayland/ToplevelDesktop.h"

#include <QHash>

struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_handle_v1_listener;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_manager_v1_listener;

// The desktop as a wlroots compositor (sway, labwc, river, Hyprland) shows it through the
// foreign-toplevel protocol: every toplevel's application id, title and activated state.
// The protocol names no process, so every application's process id is 0.
class WlrootsDesktop : public ToplevelDesktop
{
    Q_OBJECT

public:
    static constexpr const char *kProtocol = "zwlr_foreign_toplevel_manager_v1";

    // Follows the toplevels of the compositor at the other end of `connection`. Null, with the
    // reason, when it does not offer the protocol.
    static std::unique_ptr<WlrootsDesktop> open(std::unique_ptr<WaylandConnection> connection, QString *error);
    ~WlrootsDesktop() override;

    QString backendName() const override { return QStringLiteral("wlroots"); }

private:
    struct Handle;

    WlrootsDesktop(std::unique_ptr<WaylandConnection> connection, zwlr_foreign_toplevel_manager_v1 *manager);
    void forgetProxies() override;
    void addHandle(zwlr_foreign_toplevel_handle_v1 *proxy);
    void removeHandle(Handle *handle);

    static const zwlr_foreign_toplevel_manager_v1_listener s_managerListener;
    static const zwlr_foreign_toplevel_handle_v1_listener s_handleListener;

    zwlr_foreign_toplevel_manager_v1 *m_manager = nullptr;
    QHash<zwlr_foreign_toplevel_handle_v1 *, Handle *> m_handles;
};
