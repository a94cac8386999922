#include "DesktopBackend.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDesktop, "kestrum.desktop")

namespace {

// The application name the tracker books the screen saver's time under.
const QString kScreenSaverName = QStringLiteral("ScreenSaverEngine");

bool sameApplication(const FrontApplication &a, const FrontApplication &b)
{
    return a.name == b.name && a.pid == b.pid;
}

} // namespace

DesktopBackend::DesktopBackend(QObject *parent)
    : QObject(parent)
{
}

void DesktopBackend::setActiveWindow(WindowElement window, const FrontApplication &front)
{
    const FrontApplication previous = m_front;
    m_activeWindow = window;
    m_front = front;
    m_lastWindowOfProcess.insert(m_front.pid, m_activeWindow);
    const FrontApplication reported = m_reportedFront;
    updateFront();
    if (sameApplication(reported, m_reportedFront) && sameApplication(previous, m_front) && !isScreenSaverActive())
        m_events.notifyWindowChange(m_front.pid, WindowNotification::MainWindowChanged);
    Q_EMIT changed();
}

void DesktopBackend::windowTitleChanged(WindowElement window)
{
    if (window != m_activeWindow)
        return;
    if (!isScreenSaverActive())
        m_events.notifyWindowChange(m_front.pid, WindowNotification::FocusedWindowChanged);
    Q_EMIT changed();
}

void DesktopBackend::updateFront()
{
    const FrontApplication next = isScreenSaverActive() ? FrontApplication{kScreenSaverName, 0} : m_front;
    if (sameApplication(next, m_reportedFront))
        return;
    m_reportedFront = next;
    m_events.notifyApplicationSwitch();
}

void DesktopBackend::setScreenLocked(LockSource source, bool locked)
{
    if (locked == m_lockedBy.contains(source))
        return;
    if (locked)
        m_lockedBy.append(source);
    else
        m_lockedBy.removeAll(source);
    updateFront();
    Q_EMIT changed();
}

std::unique_ptr<Subscription> DesktopBackend::subscribeToApplicationSwitches(std::function<void()> handler)
{
    return m_events.subscribeToApplicationSwitches(std::move(handler));
}

std::unique_ptr<WindowObserver> DesktopBackend::createObserver(qint64 pid, std::function<void()> callback)
{
    if (!isConnected())
        return nullptr;
    return m_events.createObserver(pid, std::move(callback), [this] { return isConnected(); });
}

std::optional<WindowElement> DesktopBackend::mainWindow(const AppElement &application) const
{
    if (!isConnected() || isScreenSaverActive())
        return std::nullopt;
    if (application.pid == m_front.pid && !m_activeWindow.isNull())
        return m_activeWindow;
    const auto it = m_lastWindowOfProcess.constFind(application.pid);
    return it != m_lastWindowOfProcess.constEnd() ? std::optional(*it) : std::nullopt;
}

std::optional<QString> DesktopBackend::applicationTitle(const AppElement &) const
{
    // Applications have no title of their own here; their windows do.
    return isConnected() ? std::optional(QString()) : std::nullopt;
}

void DesktopBackend::openAccessibilitySettings()
{
    // Window titles can always be read where a backend runs: there is nothing to turn on.
    qCInfo(lcDesktop, "Window titles can be read on this desktop; no setting needs to change.");
}
