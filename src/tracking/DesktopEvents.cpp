#include "DesktopEvents.h"

struct DesktopEvents::State
{
    QList<Observer *> observers;
    QList<SwitchSubscription *> switchSubscriptions;
};

class DesktopEvents::Observer : public WindowObserver
{
public:
    Observer(std::weak_ptr<State> state, qint64 pid, std::function<void()> callback, std::function<bool()> canRegister)
        : m_state(std::move(state)), m_pid(pid), m_callback(std::move(callback)), m_canRegister(std::move(canRegister))
    {
    }
    ~Observer() override
    {
        if (const auto state = m_state.lock())
            state->observers.removeAll(this);
    }

    bool addNotification(const AppElement &element, WindowNotification notification) override
    {
        // The desktop behind the check lives as long as the state does.
        if (element.pid != m_pid || m_state.expired() || (m_canRegister && !m_canRegister()))
            return false;
        m_notifications.append(notification);
        return true;
    }
    void attach() override
    {
        const auto state = m_state.lock();
        if (state && !state->observers.contains(this))
            state->observers.append(this);
    }

    std::weak_ptr<State> m_state;
    qint64 m_pid;
    std::function<void()> m_callback;
    std::function<bool()> m_canRegister;
    QList<WindowNotification> m_notifications;
};

class DesktopEvents::SwitchSubscription : public Subscription
{
public:
    SwitchSubscription(std::weak_ptr<State> state, std::function<void()> handler)
        : m_state(std::move(state)), m_handler(std::move(handler))
    {
        if (const auto s = m_state.lock())
            s->switchSubscriptions.append(this);
    }
    ~SwitchSubscription() override
    {
        if (const auto state = m_state.lock())
            state->switchSubscriptions.removeAll(this);
    }

    std::weak_ptr<State> m_state;
    std::function<void()> m_handler;
};

DesktopEvents::DesktopEvents()
    : m_state(std::make_shared<State>())
{
}

DesktopEvents::~DesktopEvents() = default;

std::unique_ptr<Subscription> DesktopEvents::subscribeToApplicationSwitches(std::function<void()> handler)
{
    return std::make_unique<SwitchSubscription>(m_state, std::move(handler));
}

std::unique_ptr<WindowObserver> DesktopEvents::createObserver(qint64 pid, std::function<void()> callback,
                                                              std::function<bool()> canRegister)
{
    return std::make_unique<Observer>(m_state, pid, std::move(callback), std::move(canRegister));
}

void DesktopEvents::notifyApplicationSwitch()
{
    const auto subscriptions = m_state->switchSubscriptions;
    for (SwitchSubscription *s : subscriptions) {
        if (m_state->switchSubscriptions.contains(s) && s->m_handler)
            s->m_handler();
    }
}

void DesktopEvents::notifyWindowChange(qint64 pid, WindowNotification notification)
{
    const auto observers = m_state->observers;
    for (Observer *observer : observers) {
        if (m_state->observers.contains(observer) && observer->m_pid == pid && observer->m_notifications.contains(notification)
            && observer->m_callback)
            observer->m_callback();
    }
}

int DesktopEvents::attachedObserverCount(qint64 pid) const
{
    int count = 0;
    for (const Observer *observer : m_state->observers)
        count += observer->m_pid == pid ? 1 : 0;
    return count;
}
