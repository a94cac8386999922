#pragma once

#include <functional>
#include <memory>
#include <vector>

class TimeStoreNode;

// The observable properties of the store and of the tracker.
enum class ObservedProperty {
    Name,             // a node's name
    ActiveTimeString, // a node's time (and so its duration text)
    Children,         // an application node's windows
    IsLeaf,           // whether an application node shows its windows
    TimeSet,          // the tracker's (filtered) set of application nodes
    IsAXEnabled,      // the tracker's view of whether window titles can be read
};

enum class ChangePhase { Will, Did };

// One announcement. `node` is the node that changes, or null for a property of the tracker.
struct ChangeNotice
{
    const TimeStoreNode *node = nullptr;
    ObservedProperty property = ObservedProperty::Name;
    ChangePhase phase = ChangePhase::Will;

    friend bool operator==(const ChangeNotice &, const ChangeNotice &) = default;
};

// Fans paired will/did announcements out to every subscriber, synchronously and in
// subscription order. One notifier serves a whole store, so nodes stay plain objects.
// A listener may subscribe or unsubscribe while a notice goes out: the notice reaches the
// listeners subscribed when it was sent that are still subscribed when their turn comes.
class ChangeNotifier
{
public:
    using Listener = std::function<void(const ChangeNotice &)>;
    using SubscriptionId = int;

    SubscriptionId subscribe(Listener listener);
    void unsubscribe(SubscriptionId id);

    void willChange(const TimeStoreNode *node, ObservedProperty property) const;
    void didChange(const TimeStoreNode *node, ObservedProperty property) const;

private:
    void send(const ChangeNotice &notice) const;

    struct Subscription
    {
        SubscriptionId id;
        std::shared_ptr<const Listener> listener; // shared: it may be unsubscribed while it runs
    };
    std::vector<Subscription> m_subscriptions;
    SubscriptionId m_nextId = 1;
};
