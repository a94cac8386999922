#include "PowerMessages.h"

#include "KestrumController.h"

std::optional<PowerMessage> powerMessageFromName(const QString &name)
{
    if (name == u"can-sleep")
        return PowerMessage::CanSleep;
    if (name == u"will-sleep")
        return PowerMessage::WillSleep;
    if (name == u"will-not-sleep")
        return PowerMessage::WillNotSleep;
    if (name == u"powered-on")
        return PowerMessage::HasPoweredOn;
    return std::nullopt;
}

void handlePowerMessage(KestrumController *controller, PowerMessage message, const std::function<void()> &allowPowerChange)
{
    switch (message) {
    case PowerMessage::CanSleep:
    case PowerMessage::WillSleep:
        if (controller)
            controller->stopTimerWithCondition();
        if (allowPowerChange)
            allowPowerChange();
        break;
    case PowerMessage::WillNotSleep:
    case PowerMessage::HasPoweredOn:
        if (controller)
            controller->conditionallyStartTimer();
        break;
    }
}
