#pragma once

#include "Accessibility.h"
#include "Workspace.h"

#include <QList>

#include <functional>
#include <memory>

// The event bookkeeping every desktop backend needs: who wants to hear of application
// switches, which window observers exist and what they listen to. Subscriptions and observers
// may outlive it; they then simply hear nothing more.
class DesktopEvents
{
public:
    DesktopEvents();
    ~DesktopEvents();

    std::unique_ptr<Subscription> subscribeToApplicationSwitches(std::function<void()> handler);
    // An observer of one process's windows. `canRegister` tells whether notifications can be
    // registered for that process now (the desktop can read its windows).
    std::unique_ptr<WindowObserver> createObserver(qint64 pid, std::function<void()> callback, std::function<bool()> canRegister);

    // Calls every switch handler; a handler may subscribe or unsubscribe meanwhile.
    void notifyApplicationSwitch();
    // Calls the attached observers of `pid` that registered `notification`.
    void notifyWindowChange(qint64 pid, WindowNotification notification);

    int attachedObserverCount(qint64 pid) const;

private:
    struct State;
    class Observer;
    class SwitchSubscription;
    std::shared_ptr<State> m_state;
};
