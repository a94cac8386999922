#!/usr/bin/python3
"""Kestrum's tray icon through the StatusNotifierItem protocol, as KDE Plasma's panel and GNOME's
AppIndicator extension see it.

A private session bus holds a StatusNotifierWatcher (python-dbusmock) that says a host is there;
the real kestrum, on a private Xvfb display, registers its item with it. The item's title,
icon, status and tooltip, and its menu (com.canonical.dbusmenu) with Kestrum's entries, are
read back from the bus, and a click on the menu's counting entry starts counting.

Usage: status_notifier_test.py KESTRUM
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import dbus

KESTRUM = sys.argv[1]
WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
MOCK = "org.freedesktop.DBus.Mock"
WAIT = 30


def wait_for(what, condition, logs):
    deadline = time.monotonic() + WAIT
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.2)
    raise AssertionError(f"waited {WAIT} s for {what}\n" + "\n".join(f"--- {name}\n{read(path)}" for name, path in logs))


def read(path):
    try:
        with open(path, errors="replace") as f:
            return f.read()[-4000:]
    except OSError as error:
        return str(error)


def labels(layout):
    """The labels of a dbusmenu layout (id, properties, children), depth first."""
    _, properties, children = layout
    found = [str(properties["label"])] if "label" in properties else []
    for child in children:
        found += labels(child)
    return found


def item_id(layout, label):
    identifier, properties, children = layout
    if str(properties.get("label", "")) == label:
        return int(identifier)
    for child in children:
        found = item_id(child, label)
        if found is not None:
            return found
    return None


def main():
    work = tempfile.mkdtemp(prefix="kestrum-tray-")
    processes = []
    try:
        bus_daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE, text=True)
        processes.append(bus_daemon)
        address = bus_daemon.stdout.readline().strip()
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address)

        watcher_log = os.path.join(work, "watcher.log")
        processes.append(subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--session", WATCHER, "/StatusNotifierWatcher", WATCHER],
                                          env=env, stdout=open(watcher_log, "w"), stderr=subprocess.STDOUT))
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        bus = dbus.bus.BusConnection(address)
        wait_for("the watcher on the bus", lambda: bus.name_has_owner(WATCHER), [("watcher", watcher_log)])
        watcher = bus.get_object(WATCHER, "/StatusNotifierWatcher")
        mock = dbus.Interface(watcher, MOCK)
        mock.AddProperties(WATCHER, {"IsStatusNotifierHostRegistered": dbus.Boolean(True), "ProtocolVersion": dbus.Int32(0),
                                     "RegisteredStatusNotifierItems": dbus.Array([], signature="s")})
        mock.AddMethod(WATCHER, "RegisterStatusNotifierItem", "s", "", "")
        mock.AddMethod(WATCHER, "RegisterStatusNotifierHost", "s", "", "")

        display = f":{90 + os.getpid() % 100}"
        xvfb_log = os.path.join(work, "xvfb.log")
        processes.append(subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                          stdout=open(xvfb_log, "w"), stderr=subprocess.STDOUT))
        wait_for("the X display", lambda: subprocess.run(["xdpyinfo", "-display", display], capture_output=True).returncode == 0,
                 [("xvfb", xvfb_log)])

        home = os.path.join(work, "home")
        runtime = os.path.join(work, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        kestrum_log = os.path.join(work, "kestrum.log")
        kestrum_env = {"PATH": "/usr/bin:/bin", "HOME": home, "XDG_RUNTIME_DIR": runtime, "DISPLAY": display, "QT_QPA_PLATFORM": "xcb",
                       "DBUS_SESSION_BUS_ADDRESS": address, "XDG_CONFIG_HOME": home + "/.config", "XDG_DATA_HOME": home + "/.local/share"}
        kestrum = subprocess.Popen([KESTRUM], env=kestrum_env, stdout=open(kestrum_log, "w"), stderr=subprocess.STDOUT)
        processes.append(kestrum)
        logs = [("kestrum", kestrum_log), ("watcher", watcher_log)]

        def registered():
            calls = [call for call in mock.GetCalls() if call[1] == "RegisterStatusNotifierItem"]
            return str(calls[0][2][0]) if calls else None

        service = wait_for("Kestrum's item to register with the watcher", registered, logs)
        path = "/StatusNotifierItem"
        if service.startswith("/"):
            service, path = None, service
        item = bus.get_object(service, path)
        properties = dbus.Interface(item, "org.freedesktop.DBus.Properties")
        values = properties.GetAll(ITEM)
        assert str(values["Title"]) == "Kestrum", values["Title"]
        assert str(values["Category"]) == "ApplicationStatus", values["Category"]
        assert str(values["Status"]) in ("Active", "Passive"), values["Status"]
        icon = str(values.get("IconName", ""))
        pixmaps = values.get("IconPixmap", [])
        assert icon or len(pixmaps) > 0, "the item shows no icon"
        tooltip = values["ToolTip"]
        assert "paused" in " ".join(str(part) for part in tooltip[2:]), tooltip

        menu = bus.get_object(service, str(values["Menu"]))
        dbusmenu = dbus.Interface(menu, MENU)
        _, layout = dbusmenu.GetLayout(0, -1, dbus.Array([], signature="s"))
        entries = labels(layout)
        for wanted in ("Start", "Show Kestrum", "Quit"):
            assert any(wanted in entry.replace("&", "") for entry in entries), f"{wanted!r} is not in the tray menu {entries}"

        # A click on the counting entry starts counting: the tooltip then says so, and the entry
        # becomes the one that pauses.
        start = next(entry for entry in entries if entry.replace("&", "") == "Start")
        dbusmenu.Event(item_id(layout, start), "clicked", dbus.String("", variant_level=1), dbus.UInt32(0))
        wait_for("the tooltip to say Kestrum is counting",
                 lambda: "counting" in " ".join(str(part) for part in properties.Get(ITEM, "ToolTip")[2:]), logs)
        wait_for("the menu to offer Pause",
                 lambda: "Pause" in [entry.replace("&", "") for entry in labels(dbusmenu.GetLayout(0, -1, dbus.Array([], signature="s"))[1])],
                 logs)

        kestrum.terminate()
        status = kestrum.wait(10)
        assert status == 0, f"kestrum ended with status {status} on SIGTERM:\n{read(kestrum_log)}"
        print("the tray item and its menu are on the bus")
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
