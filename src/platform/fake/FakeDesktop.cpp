#include "FakeDesktop.h"


class FakeDesktop::Observer : public WindowObserver
{
public:
    Observer(FakeDesktop &desktop, qint64 pid, std::function<void()> callback)
        : m_desktop(desktop), m_pid(pid), m_callback(std::move(callback))
    {
    }
    ~Observer() override { m_desktop.m_observers.removeAll(this); }

    bool addNotification(const AppElement &element, WindowNotification notification) override
    {
        if (element.pid != m_pid || !m_desktop.accessibleApplication(m_pid))
            return false;
        m_notifications.append(notification);
        return true;
    }
    void attach() override
    {
        if (!m_desktop.m_observers.contains(this))
            m_desktop.m_observers.append(this);
    }

    FakeDesktop &m_desktop;
    qint64 m_pid;
    std::function<void()> m_callback;
    QList<WindowNotification> m_notifications;
};

class FakeDesktop::SwitchSubscription : public Subscription
{
public:
    SwitchSubscription(FakeDesktop &desktop, std::function<void()> handler)
        : m_desktop(desktop), m_handler(std::move(handler))
    {
        m_desktop.m_switchSubscriptions.append(this);
    }
    ~SwitchSubscription() override { m_desktop.m_switchSubscriptions.removeAll(this); }

    FakeDesktop &m_desktop;
    std::function<void()> m_handler;
};

FakeDesktop::FakeDesktop(const Clock &clock)
    : m_clock(clock)
    , m_lastInput(clock.monotonicNow())
{
}

FakeDesktop::~FakeDesktop()
{
    // Outstanding observers and subscriptions must not reach back into a destroyed desktop.
    for (Observer *observer : std::as_const(m_observers))
        observer->m_callback = nullptr;
    m_observers.clear();
    m_switchSubscriptions.clear();
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
    // Copy: a handler may subscribe or unsubscribe while it runs.
    const auto subscriptions = m_switchSubscriptions;
    for (SwitchSubscription *s : subscriptions) {
        if (m_switchSubscriptions.contains(s) && s->m_handler)
            s->m_handler();
    }
}

void FakeDesktop::setMainWindow(qint64 pid, std::optional<WindowElement> window, std::optional<QString> title)
{
    Application &app = m_applications[pid];
    app.mainWindow = window;
    if (window)
        m_titles.insert(*window, std::move(title));
    deliver(pid, WindowNotification::MainWindowChanged);
}

void FakeDesktop::setWindowTitle(WindowElement window, std::optional<QString> title)
{
    m_titles.insert(window, std::move(title));
}

void FakeDesktop::notifyFocusedWindowChanged(qint64 pid)
{
    deliver(pid, WindowNotification::FocusedWindowChanged);
}

void FakeDesktop::input()
{
    m_lastInput = m_clock.monotonicNow();
}

void FakeDesktop::setObserverFailure(qint64 pid, bool fails)
{
    m_applications[pid].observerFails = fails;
}

int FakeDesktop::attachedObserverCount(qint64 pid) const
{
    int count = 0;
    for (const Observer *observer : m_observers)
        count += observer->m_pid == pid ? 1 : 0;
    return count;
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
    return std::make_unique<SwitchSubscription>(*this, std::move(handler));
}

std::unique_ptr<WindowObserver> FakeDesktop::createObserver(qint64 pid, std::function<void()> callback)
{
    const Application *app = accessibleApplication(pid);
    if (!app || app->observerFails)
        return nullptr;
    return std::make_unique<Observer>(*this, pid, std::move(callback));
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

void FakeDesktop::deliver(qint64 pid, WindowNotification notification)
{
    const auto observers = m_observers;
    for (Observer *observer : observers) {
        if (m_observers.contains(observer) && observer->m_pid == pid && observer->m_notifications.contains(notification)
            && observer->m_callback)
            observer->m_callback();
    }
}

const FakeDesktop::Application *FakeDesktop::accessibleApplication(qint64 pid) const
{
    if (!m_accessEnabled)
        return nullptr;
    const auto it = m_applications.constFind(pid);
    return it != m_applications.constEnd() && it->accessible ? &*it : nullptr;
}
