// For Kestrum's tests only, on a GNOME Shell of their own: org.gnome.Shell.Eval answers only in
// unsafe mode, and the tests drive the Shell through it (focus, keys, the overview).
/* exported init */

function init() {
    return {
        enable() {
            global.context.unsafe_mode = true;
        },
        disable() {
            global.context.unsafe_mode = false;
        },
    };
}
