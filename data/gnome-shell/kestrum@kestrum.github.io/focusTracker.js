// Kestrum's focus tracker, inside GNOME Shell: follows the focused window and its title, and
// tells Kestrum over D-Bus. It imports nothing itself (the extension hands it what it needs),
// so that GNOME 45's module loader and GNOME 43-44's script loader both run this same file.

const INTERFACE = `
<node>
  <interface name="io.github.kestrum.Kestrum.FocusTracker">
    <method name="ActiveWindow">
      <arg name="appId" type="s" direction="out"/>
      <arg name="title" type="s" direction="out"/>
      <arg name="pid" type="u" direction="out"/>
    </method>
    <signal name="ActiveWindowChanged">
      <arg name="appId" type="s"/>
      <arg name="title" type="s"/>
      <arg name="pid" type="u"/>
    </signal>
  </interface>
</node>`;

const OBJECT_PATH = '/io/github/kestrum/Kestrum';

export class FocusTracker {
    // `Gio`, `GLib`: those namespaces; `display`: global.display; `windowTracker`:
    // Shell.WindowTracker.get_default(); `connection`: the Shell's session-bus connection.
    constructor({Gio, GLib, display, windowTracker, connection}) {
        this._GLib = GLib;
        this._display = display;
        this._windowTracker = windowTracker;
        this._window = null;
        this._titleHandler = 0;
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._object.export(connection, OBJECT_PATH);
        this._focusHandler = display.connect('notify::focus-window', () => this._follow());
        this._follow();
    }

    destroy() {
        this._display.disconnect(this._focusHandler);
        this._watch(null);
        this._object.unexport();
    }

    // What the D-Bus method answers: the focused window now.
    ActiveWindow() {
        return this._describe(this._window);
    }

    _follow() {
        this._watch(this._display.focus_window);
        this._announce();
    }

    _watch(window) {
        if (this._window && this._titleHandler)
            this._window.disconnect(this._titleHandler);
        this._window = window;
        this._titleHandler = window ? window.connect('notify::title', () => this._announce()) : 0;
    }

    _announce() {
        const [appId, title, pid] = this._describe(this._window);
        this._object.emit_signal('ActiveWindowChanged', new this._GLib.Variant('(ssu)', [appId, title, pid]));
    }

    _describe(window) {
        if (!window)
            return ['', '', 0];
        return [this._applicationId(window), window.get_title() || '', Math.max(0, window.get_pid() || 0)];
    }

    // The desktop entry's id where one matched the window. A window that none matched gets a
    // window-backed app from the Shell, whose id ("window:N") differs for every window and every
    // login: such a window is named by its own ids instead, which all its program's windows share.
    _applicationId(window) {
        const app = this._windowTracker.get_window_app(window);
        if (app && !app.is_window_backed() && app.get_id())
            return app.get_id();
        return window.get_sandboxed_app_id() || window.get_gtk_application_id() || window.get_wm_class() || '';
    }
}
