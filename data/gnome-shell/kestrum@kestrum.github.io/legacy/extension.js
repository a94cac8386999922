// Kestrum's GNOME Shell extension (GNOME 43 and 44): tells Kestrum which window has the focus,
// and its title, on the Shell's own session-bus connection.
/* exported init */

const {Gio, GLib, Shell} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;

class KestrumExtension {
    enable() {
        const {FocusTracker} = ExtensionUtils.getCurrentExtension().imports.focusTracker;
        this._tracker = new FocusTracker({
            Gio,
            GLib,
            display: global.display,
            windowTracker: Shell.WindowTracker.get_default(),
            connection: Gio.DBus.session,
        });
    }

    disable() {
        if (this._tracker)
            this._tracker.destroy();
        this._tracker = null;
    }
}

function init() {
    return new KestrumExtension();
}
