#include "DesktopChoice.h"

#include "platform/gnome/GnomeDesktop.h"
#include "platform/kde/KWinScriptDesktop.h"
#include "platform/kde/PlasmaDesktop.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wlroots/WlrootsDesktop.h"
#include "platform/x11/X11Desktop.h"

#include <QCoreApplication>

namespace {

DesktopChoice chooseWaylandDesktop(const QDBusConnection &sessionBus)
{
    QString error;
    // GNOME offers none of the protocols: its Shell tells through Kestrum's extension.
    if (GnomeDesktop::isGnomeSession()) {
        if (auto desktop = GnomeDesktop::open(sessionBus, &error))
            return {std::move(desktop), {}};
        return {nullptr, QCoreApplication::translate("DesktopChoice", "Windows cannot be watched: %1.").arg(error)};
    }
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::open(&error);
    if (!connection)
        return {nullptr, QCoreApplication::translate("DesktopChoice", "Windows cannot be watched: %1.").arg(error)};
    if (connection->offers(PlasmaDesktop::kProtocol)) {
        if (auto desktop = PlasmaDesktop::open(std::move(connection), &error))
            return {std::move(desktop), {}};
    } else if (connection->offers(WlrootsDesktop::kProtocol)) {
        if (auto desktop = WlrootsDesktop::open(std::move(connection), &error))
            return {std::move(desktop), {}};
    } else if (KWinScriptDesktop::isKWinRunning(sessionBus)) {
        if (auto desktop = KWinScriptDesktop::open(std::move(connection), sessionBus, &error))
            return {std::move(desktop), {}};
    } else {
        return {nullptr, QCoreApplication::translate("DesktopChoice",
                                                     "Window tracking on Wayland needs GNOME, KDE Plasma or a wlroots compositor "
                                                     "such as sway; this compositor does not tell which application is in front, "
                                                     "so Kestrum counts no windows.")};
    }
    return {nullptr, QCoreApplication::translate("DesktopChoice", "Windows cannot be watched: %1.").arg(error)};
}

} // namespace

bool isWaylandSession()
{
    const QByteArray type = qgetenv("XDG_SESSION_TYPE");
    if (type == "wayland")
        return true;
    // A compositor started from a text console leaves the type "tty": its Wayland display says
    // more than the X display of its XWayland, which shows X clients alone.
    return type != "x11" && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

DesktopChoice chooseDesktop(const QDBusConnection &sessionBus)
{
    if (isWaylandSession())
        return chooseWaylandDesktop(sessionBus);
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return {nullptr, QCoreApplication::translate("DesktopChoice", "Window tracking needs an X11 display or a Wayland session.")};
    QString error;
    if (auto desktop = X11Desktop::open(QByteArray(), &error))
        return {std::move(desktop), {}};
    return {nullptr, QCoreApplication::translate("DesktopChoice", "Windows cannot be watched: %1.").arg(error)};
}
