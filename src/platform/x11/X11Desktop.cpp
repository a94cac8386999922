#include "X11Desktop.h"

#include "CompoundText.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <xcb/res.h>
#include <xcb/screensaver.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <poll.h>

Q_LOGGING_CATEGORY(lcX11, "kestrum.x11")

namespace {

template<typename T>
struct FreeDeleter
{
    void operator()(T *p) const { std::free(p); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

// The user counts as away once this long has passed without input: the alarms tell when that
// begins and ends, and below it the idle time is known to be less. Under a second, so that the
// whole seconds the tracker reads are exact.
constexpr quint64 kAwayAfterMs = 1000;

qint64 toInt64(const xcb_sync_int64_t &value)
{
    return qint64((quint64(quint32(value.hi)) << 32) | value.lo);
}

xcb_sync_int64_t fromInt64(qint64 value)
{
    return {qint32(value >> 32), quint32(quint64(value) & 0xffffffffu)};
}

} // namespace

struct X11Desktop::Ewmh
{
    xcb_ewmh_connection_t connection{};
};

namespace {

// Connects to the display; null, with the reason, when no X server can be reached there.
xcb_connection_t *connectToDisplay(const QByteArray &displayName, int *screen, QString *error)
{
    xcb_connection_t *connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), screen);
    const int failure = connection ? xcb_connection_has_error(connection) : XCB_CONN_ERROR;
    if (failure == 0)
        return connection;
    if (connection)
        xcb_disconnect(connection);
    if (error) {
        const QString why = failure == XCB_CONN_CLOSED_PARSE_ERR
            ? QCoreApplication::translate("X11Desktop", "the display name is malformed")
            : failure == XCB_CONN_CLOSED_INVALID_SCREEN ? QCoreApplication::translate("X11Desktop", "it has no such screen")
                                                        : QCoreApplication::translate("X11Desktop", "no X server answers there");
        *error = QCoreApplication::translate("X11Desktop", "cannot open the X display \"%1\": %2")
                     .arg(QString::fromLocal8Bit(displayName.isEmpty() ? qgetenv("DISPLAY") : displayName), why);
    }
    return nullptr;
}

} // namespace

bool X11Desktop::canOpen(const QByteArray &displayName, QString *error)
{
    int screen = 0;
    xcb_connection_t *connection = connectToDisplay(displayName, &screen, error);
    if (connection)
        xcb_disconnect(connection);
    return connection != nullptr;
}

std::unique_ptr<X11Desktop> X11Desktop::open(const QByteArray &displayName, QString *error)
{
    int screen = 0;
    xcb_connection_t *connection = connectToDisplay(displayName, &screen, error);
    if (!connection)
        return nullptr;
    std::unique_ptr<X11Desktop> desktop(new X11Desktop(connection, screen));
    if (!desktop->initialize(error))
        return nullptr;
    return desktop;
}

X11Desktop::X11Desktop(xcb_connection_t *connection, int screenNumber)
    : m_connection(connection)
    , m_ewmh(std::make_unique<Ewmh>())
    , m_screenNumber(screenNumber)
{
}

X11Desktop::~X11Desktop()
{
    for (xcb_generic_event_t *event : m_keptEvents)
        std::free(event);
    if (m_connection) {
        xcb_ewmh_connection_wipe(&m_ewmh->connection);
        xcb_disconnect(m_connection);
    }
}

bool X11Desktop::initialize(QString *error)
{
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(m_connection, &m_ewmh->connection);
    if (!xcb_ewmh_init_atoms_replies(&m_ewmh->connection, cookies, nullptr)) {
        if (error)
            *error = tr("the X display does not answer");
        return false;
    }
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < m_screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    m_root = screens.data->root;
    m_activeWindowAtom = m_ewmh->connection._NET_ACTIVE_WINDOW;
    m_netWmNameAtom = m_ewmh->connection._NET_WM_NAME;
    m_wmNameAtom = XCB_ATOM_WM_NAME;
    m_clientListAtom = m_ewmh->connection._NET_CLIENT_LIST;
    m_supportedAtom = m_ewmh->connection._NET_SUPPORTED;
    m_wmPidAtom = m_ewmh->connection._NET_WM_PID;
    static constexpr char compoundText[] = "COMPOUND_TEXT";
    XcbReply<xcb_intern_atom_reply_t> compoundTextAtom(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, sizeof compoundText - 1, compoundText), nullptr));
    if (compoundTextAtom)
        m_compoundTextAtom = compoundTextAtom->atom;

    const uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &rootEvents);

    const xcb_query_extension_reply_t *screensaver = xcb_get_extension_data(m_connection, &xcb_screensaver_id);
    if (screensaver && screensaver->present) {
        m_screenSaverEvent = screensaver->first_event;
        xcb_screensaver_select_input(m_connection, m_root, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
        XcbReply<xcb_screensaver_query_info_reply_t> info(
            xcb_screensaver_query_info_reply(m_connection, xcb_screensaver_query_info(m_connection, m_root), nullptr));
        if (info && info->state == XCB_SCREENSAVER_STATE_ON)
            setScreenLocked(LockSource::ScreenSaverExtension, true);
    }
    followIdleTime();
    if (m_idleCounter == 0 && m_screenSaverEvent < 0)
        qCWarning(lcX11, "The X server has neither the SYNC nor the XScreenSaver extension: idle time cannot be read.");
    const xcb_query_extension_reply_t *res = xcb_get_extension_data(m_connection, &xcb_res_id);
    m_hasResExtension = res && res->present;
    xcb_flush(m_connection);

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Desktop::drainEvents);
    m_drainKept = new QTimer(this);
    m_drainKept->setSingleShot(true);
    m_drainKept->setInterval(0);
    connect(m_drainKept, &QTimer::timeout, this, &X11Desktop::drainEvents);

    refreshActiveWindow();
    keepQueuedEvents();
    return checkConnection();
}

void X11Desktop::followIdleTime()
{
    const xcb_query_extension_reply_t *sync = xcb_get_extension_data(m_connection, &xcb_sync_id);
    if (!sync || !sync->present)
        return;
    const xcb_sync_initialize_cookie_t version = xcb_sync_initialize(m_connection, XCB_SYNC_MAJOR_VERSION, XCB_SYNC_MINOR_VERSION);
    std::free(xcb_sync_initialize_reply(m_connection, version, nullptr));
    XcbReply<xcb_sync_list_system_counters_reply_t> counters(
        xcb_sync_list_system_counters_reply(m_connection, xcb_sync_list_system_counters(m_connection), nullptr));
    if (!counters)
        return;
    // Read by hand: libxcb's iterator over this list assumes a padding the protocol does not
    // have, and misreads every name after the first.
    const auto *entry = reinterpret_cast<const uint8_t *>(counters.get() + 1);
    const uint8_t *const end = entry + size_t(counters->length) * 4;
    for (uint32_t i = 0; i < counters->counters_len && entry + 14 <= end; ++i) {
        xcb_sync_counter_t counter;
        uint16_t nameLength;
        std::memcpy(&counter, entry, sizeof counter);
        std::memcpy(&nameLength, entry + 12, sizeof nameLength);
        if (entry + 14 + nameLength > end)
            break;
        if (QByteArrayView(reinterpret_cast<const char *>(entry + 14), nameLength) == "IDLETIME")
            m_idleCounter = counter;
        entry += (14 + nameLength + 3) & ~3u;
    }
    if (m_idleCounter == 0)
        return;

    const auto createAlarm = [this](uint32_t testType, qint64 milliseconds) {
        const xcb_sync_alarm_t alarm = xcb_generate_id(m_connection);
        xcb_sync_create_alarm_value_list_t values{};
        values.counter = m_idleCounter;
        values.valueType = XCB_SYNC_VALUETYPE_ABSOLUTE;
        values.value = fromInt64(milliseconds);
        values.testType = testType;
        values.delta = fromInt64(0); // a transition alarm stays armed after it fired
        values.events = 1;
        xcb_sync_create_alarm_aux(m_connection, alarm,
                                  XCB_SYNC_CA_COUNTER | XCB_SYNC_CA_VALUE_TYPE | XCB_SYNC_CA_VALUE | XCB_SYNC_CA_TEST_TYPE
                                      | XCB_SYNC_CA_DELTA | XCB_SYNC_CA_EVENTS,
                                  &values);
        return alarm;
    };
    m_syncEvent = sync->first_event;
    m_awayAlarm = createAlarm(XCB_SYNC_TESTTYPE_POSITIVE_TRANSITION, qint64(kAwayAfterMs));
    // Just below the other: it may fire at exactly its value, and input must always cross this one.
    m_backAlarm = createAlarm(XCB_SYNC_TESTTYPE_NEGATIVE_TRANSITION, qint64(kAwayAfterMs) - 1);
    // Asked after the alarms exist, so that no change falls between the two.
    XcbReply<xcb_sync_query_counter_reply_t> now(
        xcb_sync_query_counter_reply(m_connection, xcb_sync_query_counter(m_connection, m_idleCounter), nullptr));
    if (!now) {
        m_idleCounter = 0;
        return;
    }
    m_idleAtMark = quint64(std::max<qint64>(0, toInt64(now->counter_value)));
    m_away = m_idleAtMark >= kAwayAfterMs;
    m_sinceMark.start();
}

bool X11Desktop::checkConnection()
{
    if (!m_connection)
        return false;
    if (!xcb_connection_has_error(m_connection))
        return true;
    qCWarning(lcX11, "Lost the connection to the X display: windows and idle time can no longer be read. "
                     "Kestrum goes on counting; the timings are kept.");
    if (m_notifier)
        m_notifier->setEnabled(false);
    xcb_ewmh_connection_wipe(&m_ewmh->connection);
    xcb_disconnect(m_connection);
    m_connection = nullptr;
    Q_EMIT connectionLost();
    return false;
}

bool X11Desktop::serverHungUp() const
{
    // Noticed by the event loop sooner or later; a reading in between must not pass off what
    // was kept as the state of a display that is gone.
    if (xcb_connection_has_error(m_connection))
        return true;
    pollfd socket{xcb_get_file_descriptor(m_connection), POLLRDHUP, 0};
    return ::poll(&socket, 1, 0) > 0 && (socket.revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0;
}

void X11Desktop::keepQueuedEvents() const
{
    // A reply read outside drainEvents() can bring events along: they wait here, in order, for
    // the event loop, since the socket they came through will not wake it again.
    if (!m_connection)
        return;
    while (xcb_generic_event_t *event = xcb_poll_for_queued_event(m_connection))
        m_keptEvents.push_back(event);
    if (!m_keptEvents.empty() && m_drainKept)
        m_drainKept->start();
}

void X11Desktop::drainEvents()
{
    while (m_connection) {
        xcb_generic_event_t *event = nullptr;
        if (!m_keptEvents.empty()) {
            event = m_keptEvents.front();
            m_keptEvents.pop_front();
        } else {
            event = xcb_poll_for_event(m_connection);
        }
        if (event) {
            handleEvent(event);
            std::free(event);
        } else if (std::exchange(m_activeWindowChanged, false)) {
            // A window manager may change it twice in one go: only the last one counts.
            refreshActiveWindow();
        } else {
            break;
        }
    }
    checkConnection();
}

void X11Desktop::handleEvent(const xcb_generic_event_t *event)
{
    const int type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (property->window == m_root && property->atom == m_activeWindowAtom) {
            m_activeWindowChanged = true;
        } else if (property->window == m_root && property->atom == m_clientListAtom) {
            m_titleCurrent = false; // the active window may have closed
            forgetWindows();
        } else if (property->window == m_root && property->atom == m_supportedAtom) {
            forgetWindows(); // another window manager
            m_listsWindows.reset();
        } else if (property->atom == XCB_ATOM_WM_CLASS || property->atom == m_wmPidAtom) {
            forgetWindow(property->window);
        } else if (property->atom == m_netWmNameAtom || property->atom == m_wmNameAtom) {
            if (WindowElement(property->window) == m_titleWindow)
                m_titleCurrent = false;
            if (const auto known = m_knownWindows.find(property->window); known != m_knownWindows.end())
                known->titleCurrent = false;
            windowTitleChanged(WindowElement(property->window));
        }
    } else if (m_syncEvent >= 0 && type == m_syncEvent + XCB_SYNC_ALARM_NOTIFY) {
        idleAlarm(reinterpret_cast<const xcb_sync_alarm_notify_event_t *>(event));
    } else if (m_screenSaverEvent >= 0 && type == m_screenSaverEvent + XCB_SCREENSAVER_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_screensaver_notify_event_t *>(event);
        setScreenLocked(LockSource::ScreenSaverExtension, notify->state == XCB_SCREENSAVER_STATE_ON);
    }
}

void X11Desktop::idleAlarm(const xcb_sync_alarm_notify_event_t *alarm)
{
    if (alarm->alarm != m_awayAlarm && alarm->alarm != m_backAlarm)
        return;
    m_away = alarm->alarm == m_awayAlarm;
    m_idleAtMark = quint64(std::max<qint64>(0, toInt64(alarm->counter_value)));
    m_sinceMark.start();
}

void X11Desktop::refreshActiveWindow()
{
    if (!m_connection)
        return;
    xcb_window_t window = 0;
    if (!xcb_ewmh_get_active_window_reply(&m_ewmh->connection,
                                          xcb_ewmh_get_active_window(&m_ewmh->connection, m_screenNumber), &window, nullptr)) {
        checkConnection();
        return;
    }
    // Some window managers set 0 for a moment between two windows: keep the last one.
    if (window == 0 || WindowElement(window) == activeWindow())
        return;
    const WindowElement active(window);
    const WindowElement leaving = activeWindow();
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &events);
    // Everything the new window is asked about goes out at once: one round trip answers all.
    const auto known = m_knownWindows.constFind(window);
    const bool isKnown = known != m_knownWindows.constEnd();
    const bool titleKnown = isKnown && known->titleCurrent;
    const std::optional<QString> knownTitle = titleKnown ? known->title : std::nullopt;
    xcb_get_property_cookie_t pidCookie{};
    xcb_get_property_cookie_t classCookie{};
    if (!isKnown) {
        pidCookie = xcb_ewmh_get_wm_pid(&m_ewmh->connection, window);
        classCookie = xcb_icccm_get_wm_class(m_connection, window);
    }
    const std::optional<TitleRequest> title = titleKnown ? std::nullopt : std::optional(askTitle(active));
    const FrontApplication front = isKnown ? known->front : applicationFrom(active, pidCookie, classCookie);
    if (m_titleCurrent) {
        if (const auto left = m_knownWindows.find(xcb_window_t(m_titleWindow.id())); left != m_knownWindows.end())
            *left = {left->front, m_title, true};
    }
    m_titleWindow = active;
    m_title = title ? titleFrom(*title) : knownTitle;
    m_titleCurrent = true;
    if (!isKnown)
        rememberWindow(active, front);
    // The window that left is heard from no more, unless it is known (it may be gone, which
    // the server answers with an error that is ignored).
    if (!leaving.isNull() && !m_knownWindows.contains(xcb_window_t(leaving.id())))
        stopWatching(xcb_window_t(leaving.id()));
    setActiveWindow(active, front);
}

FrontApplication X11Desktop::applicationFrom(WindowElement window, xcb_get_property_cookie_t pidCookie,
                                             xcb_get_property_cookie_t classCookie)
{
    uint32_t pid = 0;
    if (!xcb_ewmh_get_wm_pid_reply(&m_ewmh->connection, pidCookie, &pid, nullptr) || pid == 0)
        pid = uint32_t(pidFromServer(window));
    return {applicationName(classCookie, pid), qint64(pid)};
}

void X11Desktop::rememberWindow(WindowElement window, const FrontApplication &front)
{
    if (!front.name || !m_connection)
        return; // asked again next time: the window may not have said yet
    if (!m_listsWindows) {
        xcb_ewmh_get_atoms_reply_t supported;
        m_listsWindows = false;
        if (xcb_ewmh_get_supported_reply(&m_ewmh->connection, xcb_ewmh_get_supported(&m_ewmh->connection, m_screenNumber),
                                         &supported, nullptr)) {
            m_listsWindows = std::find(supported.atoms, supported.atoms + supported.atoms_len, m_clientListAtom)
                != supported.atoms + supported.atoms_len;
            xcb_ewmh_get_atoms_reply_wipe(&supported);
        }
    }
    // Bounded for a window manager that lists its windows but seldom changes the list.
    constexpr qsizetype kMostWindowsKept = 512;
    if (!*m_listsWindows)
        return;
    if (m_knownWindows.size() >= kMostWindowsKept)
        forgetWindows();
    m_knownWindows.insert(xcb_window_t(window.id()), {front, std::nullopt, false});
}

void X11Desktop::forgetWindow(xcb_window_t window)
{
    if (m_knownWindows.remove(window) && WindowElement(window) != activeWindow())
        stopWatching(window);
}

void X11Desktop::forgetWindows()
{
    for (auto it = m_knownWindows.cbegin(); it != m_knownWindows.cend(); ++it) {
        if (WindowElement(it.key()) != activeWindow())
            stopWatching(it.key());
    }
    m_knownWindows.clear();
}

void X11Desktop::stopWatching(xcb_window_t window)
{
    if (!m_connection)
        return;
    const uint32_t none = 0;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &none);
}

qint64 X11Desktop::pidFromServer(WindowElement window) const
{
    if (!m_hasResExtension)
        return 0;
    // A client that does not say its process id: ask the server which process owns the window.
    xcb_res_client_id_spec_t spec{xcb_window_t(window.id()), XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    XcbReply<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(m_connection, xcb_res_query_client_ids(m_connection, 1, &spec), nullptr));
    if (!reply)
        return 0;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem; xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) && xcb_res_client_id_value_value_length(it.data) >= 1)
            return *xcb_res_client_id_value_value(it.data);
    }
    return 0;
}

std::optional<QString> X11Desktop::applicationName(xcb_get_property_cookie_t wmClassCookie, qint64 pid)
{
    xcb_icccm_get_wm_class_reply_t wmClass;
    if (xcb_icccm_get_wm_class_reply(m_connection, wmClassCookie, &wmClass, nullptr)) {
        const QString instance = QString::fromLocal8Bit(wmClass.instance_name);
        const QString className = QString::fromLocal8Bit(wmClass.class_name);
        xcb_icccm_get_wm_class_reply_wipe(&wmClass);
        const QString key = className + u'\n' + instance;
        auto cached = m_namesByClass.constFind(key);
        if (cached == m_namesByClass.constEnd()) {
            std::optional<QString> name = m_desktopEntries.nameForWindowClass(className, instance);
            if (!name && !className.isEmpty())
                name = className;
            cached = m_namesByClass.insert(key, name);
        }
        if (*cached)
            return *cached;
    }
    if (pid > 0) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid)); // not translated: a file name
        if (comm.open(QIODevice::ReadOnly)) {
            const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
            if (!name.isEmpty())
                return name;
        }
    }
    return std::nullopt;
}

X11Desktop::TitleRequest X11Desktop::askTitle(WindowElement window) const
{
    const auto id = xcb_window_t(window.id());
    return {xcb_ewmh_get_wm_name(&m_ewmh->connection, id), xcb_icccm_get_wm_name(m_connection, id)};
}

std::optional<QString> X11Desktop::titleFrom(const TitleRequest &request) const
{
    xcb_ewmh_get_utf8_strings_reply_t utf8;
    if (xcb_ewmh_get_wm_name_reply(&m_ewmh->connection, request.netWmName, &utf8, nullptr)) {
        const QString title = QString::fromUtf8(utf8.strings, qsizetype(utf8.strings_len));
        xcb_ewmh_get_utf8_strings_reply_wipe(&utf8);
        xcb_discard_reply(m_connection, request.wmName.sequence);
        return title;
    }
    xcb_icccm_get_text_property_reply_t text;
    if (!xcb_icccm_get_wm_name_reply(m_connection, request.wmName, &text, nullptr))
        return std::nullopt; // no title, or the window is gone
    QString title;
    if (text.encoding == m_ewmh->connection.UTF8_STRING)
        title = QString::fromUtf8(text.name, qsizetype(text.name_len));
    else if (m_compoundTextAtom != 0 && text.encoding == m_compoundTextAtom)
        title = decodeCompoundText(QByteArrayView(text.name, qsizetype(text.name_len))); // Xt and Xlib clients
    else
        title = QString::fromLatin1(text.name, qsizetype(text.name_len)); // STRING is Latin-1
    xcb_icccm_get_text_property_reply_wipe(&text);
    return title;
}

std::optional<QString> X11Desktop::windowTitle(WindowElement window) const
{
    if (!m_connection || window.isNull() || serverHungUp())
        return std::nullopt;
    const bool active = window == m_titleWindow;
    if (active && m_titleCurrent)
        return m_title;
    std::optional<QString> title = titleFrom(askTitle(window));
    keepQueuedEvents();
    if (active) {
        m_title = title;
        m_titleCurrent = true;
    }
    return title;
}

IdleReading X11Desktop::read()
{
    if (!m_connection)
        return {IdleReading::Status::ServiceUnreachable};
    if (m_idleCounter == 0 || serverHungUp())
        return queryIdleTime();
    quint64 milliseconds = m_idleAtMark + quint64(m_sinceMark.elapsed());
    if (!m_away)
        milliseconds = std::min(milliseconds, kAwayAfterMs - 1); // input since the mark goes unannounced
    return {IdleReading::Status::Ok, milliseconds * 1'000'000u};
}

IdleReading X11Desktop::queryIdleTime()
{
    // Without the alarms every reading asks the server; so does one that must find out
    // whether the server is still there.
    quint64 milliseconds = 0;
    if (m_idleCounter != 0) {
        XcbReply<xcb_sync_query_counter_reply_t> counter(
            xcb_sync_query_counter_reply(m_connection, xcb_sync_query_counter(m_connection, m_idleCounter), nullptr));
        if (!counter) {
            checkConnection();
            return {IdleReading::Status::PropertiesUnreadable};
        }
        milliseconds = quint64(std::max<qint64>(0, toInt64(counter->counter_value)));
    } else if (m_screenSaverEvent >= 0) {
        XcbReply<xcb_screensaver_query_info_reply_t> info(
            xcb_screensaver_query_info_reply(m_connection, xcb_screensaver_query_info(m_connection, m_root), nullptr));
        if (!info) {
            checkConnection();
            return {IdleReading::Status::PropertiesUnreadable};
        }
        milliseconds = info->ms_since_user_input;
    } else {
        return {IdleReading::Status::NotFound};
    }
    keepQueuedEvents();
    return {IdleReading::Status::Ok, milliseconds * 1'000'000u};
}
