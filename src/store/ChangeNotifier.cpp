#include "ChangeNotifier.h"

#include <algorithm>

ChangeNotifier::SubscriptionId ChangeNotifier::subscribe(Listener listener)
{
    const SubscriptionId id = m_nextId++;
    m_subscriptions.push_back({id, std::move(listener)});
    return id;
}

void ChangeNotifier::unsubscribe(SubscriptionId id)
{
    std::erase_if(m_subscriptions, [id](const Subscription &s) { return s.id == id; });
}

void ChangeNotifier::willChange(const TimeStoreNode *node, ObservedProperty property) const
{
    send({node, property, ChangePhase::Will});
}

void ChangeNotifier::didChange(const TimeStoreNode *node, ObservedProperty property) const
{
    send({node, property, ChangePhase::Did});
}

void ChangeNotifier::send(const ChangeNotice &notice) const
{
    for (const Subscription &s : m_subscriptions)
        s.listener(notice);
}
