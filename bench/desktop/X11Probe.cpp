// kestrum-x11-probe: bench-desktop's hands and eyes on its display. It reads one command a line
// on its standard input and answers on its standard output:
//
//   map NAME         "armed" at once; then "mapped MONOTONIC_NS WINDOW" when a top-level window
//                    holding a window of that WM_CLASS (instance or class) is mapped
//   activate WINDOW  asks the window manager to activate the window, and answers
//                    "active REALTIME_NS MONOTONIC_NS" when _NET_ACTIVE_WINDOW names it, or
//                    "timeout" after three seconds
//
// The times are taken when the event arrives, which is when any X client (Kestrum) hears of it.
// A map is the MapNotify on the root window: under openbox, that of the frame it reparented the
// program's window into; the client's own map inside the frame comes just before it.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include <poll.h>
#include <unistd.h>

namespace {

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

int64_t now(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

class Probe
{
public:
    explicit Probe(xcb_connection_t *connection)
        : m_connection(connection)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root)
        , m_activeWindowAtom(atom("_NET_ACTIVE_WINDOW"))
    {
        const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
        // A round trip: the events are selected before "ready" is said.
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    int run()
    {
        answer("ready");
        std::string input;
        for (;;) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                handle(event);
                std::free(event);
            }
            if (xcb_connection_has_error(m_connection))
                return 1;
            if (m_activating && now(CLOCK_MONOTONIC) > m_activationDeadline) {
                m_activating.reset();
                answer("timeout");
            }
            pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(m_connection), POLLIN, 0}};
            if (::poll(fds, 2, m_activating ? 50 : -1) < 0)
                return 1;
            if (fds[0].revents & (POLLIN | POLLHUP)) {
                char buffer[256];
                const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (got <= 0)
                    return 0;
                input.append(buffer, size_t(got));
                for (size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1))
                    command(input.substr(0, end));
            }
        }
    }

private:
    xcb_atom_t atom(const char *name)
    {
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr), std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    static void answer(const std::string &line)
    {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    void command(const std::string &line)
    {
        if (line.rfind("map ", 0) == 0) {
            m_awaitedName = line.substr(4);
            answer("armed");
        } else if (line.rfind("activate ", 0) == 0) {
            activate(xcb_window_t(std::strtoul(line.c_str() + 9, nullptr, 0)));
        } else {
            answer("error unknown command");
        }
    }

    void activate(xcb_window_t window)
    {
        if (activeWindow() == window) {
            answer("active " + std::to_string(now(CLOCK_REALTIME)) + ' ' + std::to_string(now(CLOCK_MONOTONIC)));
            return;
        }
        // Source 2: a pager's request, which openbox follows without asking whose turn it is.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_activeWindowAtom;
        message.data.data32[0] = 2;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char *>(&message));
        xcb_flush(m_connection);
        m_activating = window;
        m_activationDeadline = now(CLOCK_MONOTONIC) + 3'000'000'000;
    }

    xcb_window_t activeWindow()
    {
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection, xcb_get_property(m_connection, 0, m_root, m_activeWindowAtom, XCB_ATOM_WINDOW, 0, 1), nullptr),
            std::free);
        if (!reply || xcb_get_property_value_length(reply.get()) < 4)
            return XCB_WINDOW_NONE;
        return *static_cast<xcb_window_t *>(xcb_get_property_value(reply.get()));
    }

    bool hasName(xcb_window_t window, const std::string &name)
    {
        Reply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(m_connection, xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr),
            std::free);
        if (!reply)
            return false;
        // "instance\0class\0"
        const std::string value(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                size_t(xcb_get_property_value_length(reply.get())));
        const size_t split = value.find('\0');
        const std::string instance = value.substr(0, split);
        const std::string klass = split == std::string::npos ? std::string() : value.substr(split + 1, value.find('\0', split + 1) - split - 1);
        return instance == name || klass == name;
    }

    // The window of that name at or below `window`: openbox puts a client two levels down.
    std::optional<xcb_window_t> find(xcb_window_t window, const std::string &name, int depth)
    {
        if (hasName(window, name))
            return window;
        if (depth == 0)
            return std::nullopt;
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr), std::free);
        if (!tree)
            return std::nullopt;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            if (const auto found = find(children[i], name, depth - 1))
                return found;
        }
        return std::nullopt;
    }

    void handle(const xcb_generic_event_t *event)
    {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY && !m_awaitedName.empty()) {
            const int64_t mapped = now(CLOCK_MONOTONIC);
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
            if (map->event != m_root || map->override_redirect)
                return;
            if (const auto client = find(map->window, m_awaitedName, 3)) {
                m_awaitedName.clear();
                answer("mapped " + std::to_string(mapped) + ' ' + std::to_string(*client));
            }
        } else if (type == XCB_PROPERTY_NOTIFY && m_activating) {
            const int64_t realtime = now(CLOCK_REALTIME);
            const int64_t monotonic = now(CLOCK_MONOTONIC);
            const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (property->window != m_root || property->atom != m_activeWindowAtom || activeWindow() != *m_activating)
                return;
            m_activating.reset();
            answer("active " + std::to_string(realtime) + ' ' + std::to_string(monotonic));
        }
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_activeWindowAtom;
    std::string m_awaitedName;
    std::optional<xcb_window_t> m_activating;
    int64_t m_activationDeadline = 0;
};

} // namespace

int main()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("kestrum-x11-probe: cannot open the display\n", stderr);
        return 1;
    }
    const int status = Probe(connection).run();
    xcb_disconnect(connection);
    return status;
}
