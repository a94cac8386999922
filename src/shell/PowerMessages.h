#pragma once

#include <QString>

#include <functional>
#include <optional>

class KestrumController;

// What the system says about sleep.
enum class PowerMessage {
    CanSleep,     // the system asks whether it may sleep
    WillSleep,    // sleep is about to happen
    WillNotSleep, // a requested sleep was cancelled
    HasPoweredOn, // the machine woke
};

std::optional<PowerMessage> powerMessageFromName(const QString &name); // "can-sleep", "will-sleep", ...

// Hands a power message to the controller, if one exists: counting pauses before sleep and
// resumes on wake. Sleep is never refused: `allowPowerChange` acknowledges every can-sleep and
// will-sleep message, also while no controller exists.
void handlePowerMessage(KestrumController *controller, PowerMessage message, const std::function<void()> &allowPowerChange);
