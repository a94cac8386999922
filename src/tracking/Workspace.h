#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The application in front, as the desktop describes it.
struct FrontApplication
{
    std::optional<QString> name; // the display name; none when the desktop gives none
    qint64 pid = 0;              // 0 when unknown
};

// Ends a subscription when destroyed.
class Subscription
{
public:
    virtual ~Subscription() = default;
};

// The desktop's view of which application is in front, and the event that it changed.
class Workspace
{
public:
    virtual ~Workspace() = default;
    virtual FrontApplication activeApplication() const = 0;
    // Calls `handler` on the tracker's thread each time another application comes to the
    // front. Answers null when the subscription cannot be made.
    virtual std::unique_ptr<Subscription> subscribeToApplicationSwitches(std::function<void()> handler) = 0;
};
