// kestrum-test-toplevels: a Wayland client for the tests. It opens toplevel windows with the
// application id and titles it is given, and retitles, adds or closes windows as its standard
// input says, one command a line:
//   title N TEXT   the Nth window (from 0) is now titled TEXT ("\e" in TEXT is an escape)
//   open ID TEXT   a further window, of the application id ID, titled TEXT; it is window N
//                  where N windows were opened before it
//   close N        the Nth window is closed; the others keep their numbers
//   inhibit N      the Nth window holds an idle inhibitor (zwp_idle_inhibit_manager_v1), as a
//                  video player does while it plays
//   uninhibit N    and lets it go
//   quit           close every window and end
// It prints "ready" once every window is shown, and "ok" after each command took effect.

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>

namespace {

wl_compositor *compositor = nullptr;
wl_shm *shm = nullptr;
xdg_wm_base *wmBase = nullptr;
zwp_idle_inhibit_manager_v1 *inhibitManager = nullptr;

struct Window
{
    wl_surface *surface = nullptr;
    xdg_surface *xdgSurface = nullptr;
    xdg_toplevel *toplevel = nullptr;
    bool shown = false;
    zwp_idle_inhibitor_v1 *inhibitor = nullptr;
};

void onGlobal(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = static_cast<wl_compositor *>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        shm = static_cast<wl_shm *>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        wmBase = static_cast<xdg_wm_base *>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    else if (std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0)
        inhibitManager = static_cast<zwp_idle_inhibit_manager_v1 *>(wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
}

const wl_registry_listener registryListener = {onGlobal, [](void *, wl_registry *, uint32_t) {}};
const xdg_wm_base_listener wmBaseListener = {[](void *, xdg_wm_base *base, uint32_t serial) { xdg_wm_base_pong(base, serial); }};

// A plain grey buffer: a surface is only shown once it has content.
wl_buffer *greyBuffer(int width, int height)
{
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("kestrum-test-toplevel", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0)
        return nullptr;
    void *pixels = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels != MAP_FAILED) {
        std::memset(pixels, 0x80, size_t(size));
        munmap(pixels, size_t(size));
    }
    wl_shm_pool *pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer *buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

wl_buffer *sharedBuffer = nullptr;

const xdg_surface_listener surfaceListener = {[](void *data, xdg_surface *surface, uint32_t serial) {
    auto *window = static_cast<Window *>(data);
    xdg_surface_ack_configure(surface, serial);
    if (!window->shown) {
        wl_surface_attach(window->surface, sharedBuffer, 0, 0);
        window->shown = true;
    }
    wl_surface_commit(window->surface);
}};

const xdg_toplevel_listener toplevelListener = {
    [](void *, xdg_toplevel *, int32_t, int32_t, wl_array *) {},
    [](void *, xdg_toplevel *) {},
};

std::string unescaped(std::string text)
{
    for (size_t at = text.find("\\e"); at != std::string::npos; at = text.find("\\e", at))
        text.replace(at, 2, "\x1b");
    return text;
}

// A deque: the listeners hold each window's address, which must not move as windows are added.
std::deque<Window> windows;

void openWindow(const std::string &appId, const std::string &title)
{
    Window &window = windows.emplace_back();
    window.surface = wl_compositor_create_surface(compositor);
    window.xdgSurface = xdg_wm_base_get_xdg_surface(wmBase, window.surface);
    xdg_surface_add_listener(window.xdgSurface, &surfaceListener, &window);
    window.toplevel = xdg_surface_get_toplevel(window.xdgSurface);
    xdg_toplevel_add_listener(window.toplevel, &toplevelListener, &window);
    xdg_toplevel_set_app_id(window.toplevel, appId.c_str());
    xdg_toplevel_set_title(window.toplevel, title.c_str());
    wl_surface_commit(window.surface);
}

void closeWindow(Window &window)
{
    if (!window.toplevel)
        return;
    if (window.inhibitor)
        zwp_idle_inhibitor_v1_destroy(window.inhibitor);
    xdg_toplevel_destroy(window.toplevel);
    xdg_surface_destroy(window.xdgSurface);
    wl_surface_destroy(window.surface);
    window = Window{};
}

// The first configure of new windows, the buffers attached in answer, and their showing.
void waitUntilShown(wl_display *display)
{
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
}

// The first word of `text` and what follows the space after it.
std::pair<std::string, std::string> firstWordAndRest(const std::string &text)
{
    const size_t space = text.find(' ');
    return {text.substr(0, space), space == std::string::npos ? std::string() : text.substr(space + 1)};
}

size_t windowNumber(const std::string &word)
{
    return size_t(std::atoi(word.c_str()));
}

} // namespace

int main(int argc, char *argv[])
{
    std::string appId = "kestrum-test";
    std::string title = "Window";
    int count = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--app-id")
            appId = argv[i + 1];
        else if (option == "--title")
            title = unescaped(argv[i + 1]);
        else if (option == "--count")
            count = std::atoi(argv[i + 1]);
    }

    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "kestrum-test-toplevels: no Wayland display\n");
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!compositor || !shm || !wmBase) {
        std::fprintf(stderr, "kestrum-test-toplevels: the compositor lacks wl_compositor, wl_shm or xdg_wm_base\n");
        return 1;
    }
    xdg_wm_base_add_listener(wmBase, &wmBaseListener, nullptr);
    sharedBuffer = greyBuffer(160, 100);

    const int shown = std::max(count, 1);
    for (int i = 0; i < shown; ++i)
        openWindow(appId, shown == 1 ? title : title + " " + std::to_string(i));
    waitUntilShown(display);
    std::puts("ready");
    std::fflush(stdout);

    std::string line;
    pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    while (true) {
        wl_display_flush(display);
        if (poll(fds, 2, -1) < 0)
            break;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (wl_display_dispatch(display) < 0)
                return 1;
        }
        if (!(fds[1].revents & (POLLIN | POLLHUP)))
            continue;
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, size_t(n));
        for (size_t end = line.find('\n'); end != std::string::npos; end = line.find('\n')) {
            const std::string command = line.substr(0, end);
            line.erase(0, end + 1);
            if (command == "quit")
                return 0;
            if (command.rfind("title ", 0) == 0) {
                const auto [number, text] = firstWordAndRest(command.substr(6));
                const size_t index = windowNumber(number);
                if (index < windows.size() && windows[index].toplevel) {
                    xdg_toplevel_set_title(windows[index].toplevel, unescaped(text).c_str());
                    wl_surface_commit(windows[index].surface);
                }
            } else if (command.rfind("open ", 0) == 0) {
                const auto [id, text] = firstWordAndRest(command.substr(5));
                openWindow(id, unescaped(text));
                waitUntilShown(display);
            } else if (command.rfind("close ", 0) == 0) {
                const size_t index = windowNumber(command.substr(6));
                if (index < windows.size())
                    closeWindow(windows[index]);
            } else if (command.rfind("inhibit ", 0) == 0) {
                const size_t index = windowNumber(command.substr(8));
                if (!inhibitManager) {
                    std::fprintf(stderr, "kestrum-test-toplevels: the compositor offers no idle inhibitors\n");
                    continue;
                }
                if (index < windows.size() && windows[index].surface && !windows[index].inhibitor)
                    windows[index].inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(inhibitManager, windows[index].surface);
            } else if (command.rfind("uninhibit ", 0) == 0) {
                const size_t index = windowNumber(command.substr(10));
                if (index < windows.size() && windows[index].inhibitor) {
                    zwp_idle_inhibitor_v1_destroy(windows[index].inhibitor);
                    windows[index].inhibitor = nullptr;
                }
            }
            wl_display_roundtrip(display);
            std::puts("ok");
            std::fflush(stdout);
        }
    }
    return 0;
}
