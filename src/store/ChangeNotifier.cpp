#include "ChangeNotifier.h"

#include <algorithm>

ChangeNotifier::SubscriptionId ChangeNotifier::subscribe(Listener listener)
{
    const SubscriptionId id = m_nextId++;
    m_subscriptions.push_back({id, std::make_shared<const Listener>(std::move(listener))});
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
    if (m_subscriptions.empty())
        return;
    // Listeners may change the subscriptions: go through a copy of them.
    const std::vector<Subscription> recipients = m_subscriptions;
    for (const Subscription &recipient : recipients) {
        const bool subscribed = std::any_of(m_subscriptions.begin(), m_subscriptions.end(),
                                            [&](const Subscription &s) { return s.id == recipient.id; });
        if (subscribed)
            (*recipient.listener)(notice);
    }
}
