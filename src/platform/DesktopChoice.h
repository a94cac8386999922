#pragma once

#include "platform/common/DesktopBackend.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

// The desktop backend for this session, chosen once at start: X11 on an X11 session; on
// Wayland the first whose protocol the compositor offers (KDE's window management, then
// wlroots' foreign-toplevel, then a script inside KWin). Without one, `desktop` is null and
// `limitation` says, in words for the status line, why no windows are counted. GNOME comes
// first: its session is told apart by $XDG_CURRENT_DESKTOP, and it offers none of the protocols.
struct DesktopChoice
{
    std::unique_ptr<DesktopBackend> desktop;
    QString limitation;
};

// `sessionBus` is where KWin is asked to run a script; a disconnected one rules that out.
DesktopChoice chooseDesktop(const QDBusConnection &sessionBus);

// Whether this is a Wayland session, whose windows only the compositor can tell of.
bool isWaylandSession();
