// Kestrum's window watcher, run inside KWin where KWin does not list its windows to Kestrum
// directly: it tells Kestrum over D-Bus which window is active and each change of a caption.
// Kestrum fills in its own bus name before loading it.
const service = "@KESTRUM_SERVICE@";
const path = "/io/github/kestrum/KWinWindows";
const iface = "io.github.kestrum.KWinWindows";
const watched = {};

function idOf(client) {
    return String(client.internalId);
}

function report(method, client) {
    callDBus(service, path, iface, method, idOf(client), String(client.desktopFileName || client.resourceClass || ""),
             String(client.caption || ""), String(client.pid || 0));
}

function watch(client) {
    const id = idOf(client);
    if (watched[id])
        return;
    watched[id] = true;
    client.captionChanged.connect(function () { report("WindowChanged", client); });
}

workspace.clientActivated.connect(function (client) {
    if (!client)
        return; // the desktop itself: the last window stays in front
    watch(client);
    report("WindowActivated", client);
});

workspace.clientRemoved.connect(function (client) {
    delete watched[idOf(client)];
    callDBus(service, path, iface, "WindowClosed", idOf(client));
});

if (workspace.activeClient) {
    watch(workspace.activeClient);
    report("WindowActivated", workspace.activeClient);
}
