#pragma once

#include "platform/wayland/ToplevelDesktop.h"

#include <QSet>

struct org_kde_plasma_window;
struct org_kde_plasma_window_listener;
struct org_kde_plasma_window_management;
struct org_kde_plasma_window_management_listener;

// KDE Plasma's windows as KWin lists them to the programs it trusts (those whose installed
// desktop entry names the protocol in X-KDE-Wayland-Interfaces): application id, title,
// process id and the active state of every window.
class PlasmaDesktop : public ToplevelDesktop
{
    Q_OBJECT

public:
    static constexpr const char *kProtocol = "org_kde_plasma_window_management";

    // Null, with the reason, when the compositor does not offer the protocol to Kestrum.
    static std::unique_ptr<PlasmaDesktop> open(std::unique_ptr<WaylandConnection> connection, QString *error);
    ~PlasmaDesktop() override;

    QString backendName() const override { return QStringLiteral("kde"); }

private:
    struct Window;

    PlasmaDesktop(std::unique_ptr<WaylandConnection> connection, org_kde_plasma_window_management *manager, quint32 version);
    void forgetProxies() override;
    void addWindow(org_kde_plasma_window *proxy);
    void removeWindow(Window *window);
    void update(Window *window);
    void destroyProxy(org_kde_plasma_window *proxy) const;

    static const org_kde_plasma_window_management_listener s_managerListener;
    static const org_kde_plasma_window_listener s_windowListener;

    org_kde_plasma_window_management *m_manager = nullptr;
    quint32 m_version = 0;
    QSet<Window *> m_windows;
};
