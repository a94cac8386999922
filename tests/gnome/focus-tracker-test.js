// The GNOME Shell extension's focus tracker, run by gjs outside GNOME Shell: fake windows and a
// fake display stand in for the Shell's, the D-Bus export is real, on a private session bus
// (run this under dbus-run-session). Both forms are exercised: the ES module GNOME 45 loads and
// the script GNOME 43-44 loads; the extension entry points of both are checked for syntax.
//   gjs -m focus-tracker-test.js SOURCE_DIR LEGACY_DIR

import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import System from 'system';

const [sourceDir, legacyDir] = ARGV;
let failures = 0;

function check(condition, what) {
    if (!condition) {
        failures++;
        printerr(`FAILED: ${what}`);
    }
}

function same(actual, expected, what) {
    check(JSON.stringify(actual) === JSON.stringify(expected), `${what}: ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
}

// GObject-style signals, as the Shell's objects have them.
class Signals {
    constructor() {
        this._handlers = new Map();
        this._next = 1;
    }

    connect(name, callback) {
        this._handlers.set(this._next, {name, callback});
        return this._next++;
    }

    disconnect(id) {
        check(this._handlers.delete(id), `disconnect of an unknown handler ${id}`);
    }

    emit(name) {
        for (const {name: n, callback} of [...this._handlers.values()])
            if (n === name)
                callback();
    }

    handlerCount() {
        return this._handlers.size;
    }
}

// `appId`: the desktop entry the Shell matched to the window, or null for none; `ids`: the
// window's sandboxed and GTK application ids, where it has them.
class FakeWindow extends Signals {
    constructor(appId, wmClass, title, pid, {sandboxedAppId = null, gtkApplicationId = null} = {}) {
        super();
        Object.assign(this, {appId, wmClass, title, pid, sandboxedAppId, gtkApplicationId});
    }

    get_title() { return this.title; }
    get_wm_class() { return this.wmClass; }
    get_pid() { return this.pid; }
    get_sandboxed_app_id() { return this.sandboxedAppId; }
    get_gtk_application_id() { return this.gtkApplicationId; }

    rename(title) {
        this.title = title;
        this.emit('notify::title');
    }
}

class FakeDisplay extends Signals {
    constructor() {
        super();
        this.focus_window = null;
    }

    focus(window) {
        this.focus_window = window;
        this.emit('notify::focus-window');
    }
}

// As GNOME Shell's: a window that no desktop entry matches gets an app of its own, backed by
// that window, whose id is numbered in the order such windows are first asked about.
const windowBackedApps = new Map();
const windowTracker = {
    get_window_app: window => {
        if (window.appId)
            return {get_id: () => window.appId, is_window_backed: () => false};
        if (!windowBackedApps.has(window)) {
            const id = `window:${windowBackedApps.size + 1}`;
            windowBackedApps.set(window, {get_id: () => id, is_window_backed: () => true});
        }
        return windowBackedApps.get(window);
    },
};

const loop = GLib.MainLoop.new(null, false);

// Runs the main loop until `condition` holds or the time (two seconds) is up.
function waitFor(condition, microseconds = 2000000) {
    const deadline = GLib.get_monotonic_time() + microseconds;
    const context = loop.get_context();
    while (!condition() && GLib.get_monotonic_time() < deadline)
        context.iteration(false) || GLib.usleep(1000);
    return condition();
}

function exercise(FocusTracker, form) {
    const service = Gio.DBus.session;
    const client = Gio.DBusConnection.new_for_address_sync(
        Gio.dbus_address_get_for_bus_sync(Gio.BusType.SESSION, null),
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, null, null);
    // The service answers from this process's main loop: the call must not block it.
    const call = () => {
        let result = null;
        client.call(service.get_unique_name(), '/io/github/kestrum/Kestrum', 'io.github.kestrum.Kestrum.FocusTracker',
            'ActiveWindow', null, null, Gio.DBusCallFlags.NONE, 2000, null, (_c, res) => {
                try {
                    result = {value: client.call_finish(res).deepUnpack()};
                } catch (error) {
                    result = {error};
                }
            });
        check(waitFor(() => result !== null), 'ActiveWindow answers');
        if (result.error)
            throw result.error;
        return result.value;
    };
    const heard = [];
    client.signal_subscribe(service.get_unique_name(), 'io.github.kestrum.Kestrum.FocusTracker', 'ActiveWindowChanged',
        '/io/github/kestrum/Kestrum', null, Gio.DBusSignalFlags.NONE, (_c, _s, _p, _i, _n, args) => heard.push(args.deepUnpack()));

    const display = new FakeDisplay();
    const editor = new FakeWindow('org.example.Editor.desktop', 'Editor', 'notes.txt', 4242);
    const terminal = new FakeWindow(null, 'XTerm', 'bash', 77);
    display.focus_window = editor;

    const tracker = new FocusTracker({Gio, GLib, display, windowTracker, connection: service});
    same(call(), ['org.example.Editor.desktop', 'notes.txt', 4242], `${form}: the focused window at start`);

    display.focus(terminal);
    check(waitFor(() => heard.length >= 2), `${form}: a focus change is announced`);
    same(heard[heard.length - 1], ['XTerm', 'bash', 77], `${form}: a window without a desktop entry is named by its WM class`);
    same(call(), ['XTerm', 'bash', 77], `${form}: ActiveWindow follows the focus`);

    terminal.rename('vim report.txt');
    check(waitFor(() => heard.length >= 3), `${form}: a rename of the focused window is announced`);
    same(heard[heard.length - 1], ['XTerm', 'vim report.txt', 77], `${form}: the new title`);

    // Windows without a desktop entry, each window-backed: their program's own ids name them,
    // the sandbox's first, then GTK's, so every window of one program is one application.
    const secondTerminal = new FakeWindow(null, 'XTerm', 'top', 78);
    const sandboxed = new FakeWindow(null, 'flat', 'Flat', 90, {sandboxedAppId: 'org.example.Flat', gtkApplicationId: 'org.example.FlatGtk'});
    const gtk = new FakeWindow(null, 'gtk-app', 'Gtk', 91, {gtkApplicationId: 'org.example.Gtk'});
    const windows = [secondTerminal, sandboxed, gtk];
    const named = ['XTerm', 'org.example.Flat', 'org.example.Gtk'];
    windows.forEach((window, i) => {
        display.focus(window);
        check(waitFor(() => heard.length >= 4 + i), `${form}: the focus on ${named[i]} is announced`);
        same(heard[heard.length - 1][0], named[i], `${form}: a window without a desktop entry`);
    });
    same(call()[0], 'org.example.Gtk', `${form}: ActiveWindow names a window-backed app's window alike`);

    // The window left no longer tells its renames.
    editor.rename('plan.txt');
    display.focus(null);
    check(waitFor(() => heard.length >= 7), `${form}: losing the focus is announced`);
    same(heard[heard.length - 1], ['', '', 0], `${form}: no focused window`);
    waitFor(() => false, 300000);
    check(heard.length === 7, `${form}: ${heard.length} announcements, expected 7`);

    tracker.destroy();
    check([display, editor, terminal, ...windows].every(o => o.handlerCount() === 0), `${form}: destroy leaves handlers connected`);
    let gone = false;
    try {
        call();
    } catch (e) {
        gone = true;
    }
    check(gone, `${form}: the object is still exported after destroy`);
    client.close_sync(null);
}

// An entry point that would not even parse is a syntax error; one whose imports only the Shell
// can resolve fails otherwise.
async function checkModuleSyntax(path) {
    try {
        await import(`file://${path}`);
    } catch (e) {
        check(!(e instanceof SyntaxError), `${path} does not parse: ${e}`);
    }
}

function checkScriptSyntax(path) {
    const [, bytes] = GLib.file_get_contents(path);
    try {
        new Function(new TextDecoder().decode(bytes));
    } catch (e) {
        check(false, `${path} does not parse: ${e}`);
    }
}

const modern = await import(`file://${sourceDir}/focusTracker.js`);
exercise(modern.FocusTracker, 'module');
imports.searchPath.unshift(legacyDir);
exercise(imports.focusTracker.FocusTracker, 'script');
await checkModuleSyntax(`${sourceDir}/extension.js`);
checkScriptSyntax(`${legacyDir}/extension.js`);
checkScriptSyntax(`${legacyDir}/focusTracker.js`);

print(failures === 0 ? 'all passed' : `${failures} failed`);
System.exit(failures === 0 ? 0 : 1);
