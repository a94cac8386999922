#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include <xcb/xcb.h>

// An X client of the test's own, on a connection of its own: it makes top-level windows as an
// application would, and reads what the window manager and other clients publish. It never
// reads events, so it sees the display exactly as a query shows it.
class TestClient
{
public:
    struct NewWindow
    {
        QString title;           // written as WM_NAME, a Latin-1 STRING
        QByteArray instanceName; // WM_CLASS
        QByteArray className;    // WM_CLASS
        bool setsProcessId = true; // whether _NET_WM_PID names this process
        xcb_window_t id = 0;        // an id of this client's that is free again; 0 for a new one
    };

    struct Property
    {
        QByteArray type; // the name of the property's type, empty when it is not set
        QByteArray value;
    };

    explicit TestClient(const QByteArray &displayName);
    ~TestClient();

    TestClient(const TestClient &) = delete;
    TestClient &operator=(const TestClient &) = delete;

    bool isConnected() const;

    // Creates and maps a top-level window that accepts the input focus. 0 when it cannot.
    xcb_window_t createWindow(const NewWindow &description);
    // Asks again for the window to be shown (a window manager starting up may drop the request).
    void mapWindow(xcb_window_t window);
    void destroyWindow(xcb_window_t window);

    // The windows the window manager manages (_NET_CLIENT_LIST), oldest first.
    QList<xcb_window_t> managedWindows();
    // The first managed window of that WM_CLASS class that is not among `known`; 0 when there is none.
    xcb_window_t newManagedWindowOfClass(const QByteArray &className, const QList<xcb_window_t> &known);
    Property property(xcb_window_t window, const QByteArray &name);
    void deleteProperty(xcb_window_t window, const QByteArray &name);
    // Writes an 8-bit property of the given type, byte for byte.
    void setProperty(xcb_window_t window, const QByteArray &name, const QByteArray &type, const QByteArray &value);
    bool rootHasProperty(const QByteArray &name);
    xcb_window_t root() const { return m_root; }

private:
    xcb_atom_t atom(const QByteArray &name);
    void sync();

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
};
