#include "TestClient.h"

#include <xcb/xcb_icccm.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

TestClient::TestClient(const QByteArray &displayName)
{
    int screenNumber = 0;
    m_connection = xcb_connect(displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;
}

TestClient::~TestClient()
{
    xcb_disconnect(m_connection);
}

bool TestClient::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection);
}

xcb_atom_t TestClient::atom(const QByteArray &name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void TestClient::sync()
{
    // A round trip: every request sent before it has been carried out when it returns.
    Reply<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

xcb_window_t TestClient::createWindow(const NewWindow &description)
{
    if (!isConnected())
        return 0;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const xcb_window_t window = description.id != 0 ? description.id : xcb_generate_id(m_connection);
    const uint32_t background = screen->white_pixel;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 40, 40, 320, 200, 1,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);

    const QByteArray title = description.title.toLatin1();
    xcb_icccm_set_wm_name(m_connection, window, XCB_ATOM_STRING, 8, uint32_t(title.size()), title.constData());
    const QByteArray wmClass = description.instanceName + '\0' + description.className + '\0';
    xcb_icccm_set_wm_class(m_connection, window, uint32_t(wmClass.size()), wmClass.constData());
    xcb_icccm_wm_hints_t hints{};
    xcb_icccm_wm_hints_set_input(&hints, 1);
    xcb_icccm_wm_hints_set_normal(&hints);
    xcb_icccm_set_wm_hints(m_connection, window, &hints);
    if (description.setsProcessId) {
        const uint32_t pid = uint32_t(::getpid());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(QByteArrayLiteral("_NET_WM_PID")),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
    }
    xcb_map_window(m_connection, window);
    sync();
    return isConnected() ? window : 0;
}

void TestClient::mapWindow(xcb_window_t window)
{
    if (!isConnected())
        return;
    xcb_map_window(m_connection, window);
    sync();
}

void TestClient::destroyWindow(xcb_window_t window)
{
    if (!isConnected())
        return;
    xcb_destroy_window(m_connection, window);
    sync();
}

QList<xcb_window_t> TestClient::managedWindows()
{
    QList<xcb_window_t> windows;
    if (!isConnected())
        return windows;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, m_root, atom(QByteArrayLiteral("_NET_CLIENT_LIST")), XCB_ATOM_WINDOW, 0, 4096),
        nullptr));
    if (!reply || reply->format != 32)
        return windows;
    const auto *ids = static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i)
        windows.append(ids[i]);
    return windows;
}

xcb_window_t TestClient::newManagedWindowOfClass(const QByteArray &className, const QList<xcb_window_t> &known)
{
    const QList<xcb_window_t> windows = managedWindows();
    for (xcb_window_t window : windows) {
        // WM_CLASS holds the instance and the class, each ended by a NUL.
        const QList<QByteArray> wmClass = property(window, QByteArrayLiteral("WM_CLASS")).value.split('\0');
        if (!known.contains(window) && wmClass.size() >= 2 && wmClass.at(1) == className)
            return window;
    }
    return 0;
}

TestClient::Property TestClient::property(xcb_window_t window, const QByteArray &name)
{
    Property result;
    if (!isConnected())
        return result;
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 65536), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return result;
    Reply<xcb_get_atom_name_reply_t> typeName(
        xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, reply->type), nullptr));
    if (typeName)
        result.type = QByteArray(xcb_get_atom_name_name(typeName.get()), xcb_get_atom_name_name_length(typeName.get()));
    const int bytes = xcb_get_property_value_length(reply.get());
    result.value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())), bytes);
    return result;
}

void TestClient::deleteProperty(xcb_window_t window, const QByteArray &name)
{
    if (!isConnected())
        return;
    xcb_delete_property(m_connection, window, atom(name));
    sync();
}

void TestClient::setProperty(xcb_window_t window, const QByteArray &name, const QByteArray &type, const QByteArray &value)
{
    if (!isConnected())
        return;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(name), atom(type), 8, uint32_t(value.size()),
                        value.constData());
    sync();
}

bool TestClient::rootHasProperty(const QByteArray &name)
{
    return !property(m_root, name).type.isEmpty();
}
