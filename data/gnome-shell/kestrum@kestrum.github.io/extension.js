// Kestrum's GNOME Shell extension (GNOME 45 and later): tells Kestrum which window has the
// focus, and its title, on the Shell's own session-bus connection.

import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Shell from 'gi://Shell';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {FocusTracker} from './focusTracker.js';

export default class KestrumExtension extends Extension {
    enable() {
        this._tracker = new FocusTracker({
            Gio,
            GLib,
            display: global.display,
            windowTracker: Shell.WindowTracker.get_default(),
            connection: Gio.DBus.session,
        });
    }

    disable() {
        this._tracker?.destroy();
        this._tracker = null;
    }
}
