#include "FakeDesktop.h"


FakeDesktop::FakeDesktop(const Clock &clock)
    : m_clock(clock)
    , m_lastInput(clock.monotonicNow())
{
}

void FakeDesktop::addApplication(qint64 pid, std::optional<QString> name, bool accessible)
{
    Application &app = m_applications[pid];
    app.name = std::move(name);
    app.accessible = accessible;
}

void FakeDesktop::bringToFront(qint64 pid)
{
    m_frontPid = pid;
    m_events.notifyApplicationSwitch();
}

void FakeDesktop::showApplication(qint64 pid, const QString &name, WindowElement window, const QString &title)
{
    Application &app = m_applications[pid];
    app.name = name;
    app.mainWindow = window;
    m_titles.insert(window, title);
    bringToFront(pid);
}

void FakeDesktop::setMainWindow(qint64 pid, std::optional<WindowElement> window, std::optional<QString> title)
{
    Application &app = m_applications[pid];
    app.mainWindow = window;
    if (window)
        m_titles.insert(*window, std::move(title));
    m_events.notifyWindowChange(pid, WindowNotification::MainWindowChanged);
}

void FakeDesktop::setWindowTitle(WindowElement window, std::optional<QString> title)
{
    m_titles.insert(window, std::move(title));
}

void FakeDesktop::notifyFocusedWindowChanged(qint64 pid)
{
    m_events.notifyWindowChange(pid, WindowNotification::FocusedWindowChanged);
}

void FakeDesktop::input()
{
    m_lastInput = m_clock.monotonicNow();
}

void FakeDesktop::setObserverFailure(qint64 pid, bool fails)
{
    m_applications[pid].observerFails = fails;
}

FrontApplication FakeDesktop::activeApplication() const
{
    const auto it = m_applications.constFind(m_frontPid);
    if (it == m_applications.constEnd())
        return {std::nullopt, m_frontPid};
    return {it->name, m_frontPid};
}

std::unique_ptr<Subscription> FakeDesktop::subscribeToApplicationSwitches(std::function<void()> handler)
{
    if (m_subscriptionFails)
        return nullptr;
    return m_events.subscribeToApplicationSwitches(std::move(handler));
}

std::unique_ptr<WindowObserver> FakeDesktop::createObserver(qint64 pid, std::function<void()> callback)
{
    const Application *app = accessibleApplication(pid);
    if (!app || app->observerFails)
        return nullptr;
    return m_events.createObserver(pid, std::move(callback), [this, pid] { return accessibleApplication(pid) != nullptr; });
}

std::optional<WindowElement> FakeDesktop::mainWindow(const AppElement &application) const
{
    const Application *app = accessibleApplication(application.pid);
    return app ? app->mainWindow : std::nullopt;
}

std::optional<QString> FakeDesktop::applicationTitle(const AppElement &application) const
{
    const Application *app = accessibleApplication(application.pid);
    if (!app)
        return std::nullopt;
    return app->name.value_or(QString());
}

std::optional<QString> FakeDesktop::windowTitle(WindowElement window) const
{
    if (!m_accessEnabled)
        return std::nullopt;
    return m_titles.value(window, std::nullopt);
}

IdleReading FakeDesktop::read()
{
    if (m_idleFailure != IdleReading::Status::Ok)
        return {m_idleFailure, 0, m_idleFailure == IdleReading::Status::UnsupportedType ? 7 : 0};
    const auto idle = m_clock.monotonicNow() - m_lastInput;
    return {IdleReading::Status::Ok, quint64(std::max<qint64>(0, idle.count())), 0};
}

const FakeDesktop::Application *FakeDesktop::accessibleApplication(qint64 pid) const
{
    if (!m_accessEnabled)
        return nullptr;
    const auto it = m_applications.constFind(pid);
    return it != m_applications.constEnd() && it->accessible ? &*it : nullptr;
}
