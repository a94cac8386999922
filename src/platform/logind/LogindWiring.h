#pragma once

#include "platform/logind/LogindMonitor.h"

#include <functional>
#include <utility>

// What the application does with logind's news. Any handler may be left empty.
struct LogindHandlers
{
    // Receives every power message with the acknowledgement that lets a coming sleep go on;
    // handlePowerMessage() takes exactly these.
    std::function<void(PowerMessage message, const std::function<void()> &allowPowerChange)> power = {};
    std::function<void(bool active)> sessionActive = {};
    // Receives the lock state found at start, once the start is answered, and every change.
    std::function<void(bool locked)> locked = {};
};

// Hands the monitor's signals to the handlers for as long as the monitor lives. Connect before
// start().
inline void connectLogindMonitor(LogindMonitor &monitor, LogindHandlers handlers)
{
    if (handlers.power) {
        QObject::connect(&monitor, &LogindMonitor::powerMessage, &monitor,
                         [&monitor, power = std::move(handlers.power)](PowerMessage message) {
                             power(message, [&monitor] { monitor.allowPowerChange(); });
                         });
    }
    if (handlers.sessionActive)
        QObject::connect(&monitor, &LogindMonitor::sessionActiveChanged, &monitor, std::move(handlers.sessionActive));
    if (handlers.locked) {
        QObject::connect(&monitor, &LogindMonitor::startFinished, &monitor, [&monitor, locked = handlers.locked] {
            if (monitor.isStarted())
                locked(monitor.isLocked());
        });
        QObject::connect(&monitor, &LogindMonitor::lockedChanged, &monitor, std::move(handlers.locked));
    }
}
