#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>

// Runs the event loop until the condition holds or the time is up; answers whether it holds.
// The loop really waits, as the application's does.
template<typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const QDeadlineTimer deadline(timeout);
    QTimer wake;
    wake.start(10);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the event loop for a while, whatever happens.
inline void runEventLoopFor(std::chrono::milliseconds duration)
{
    waitUntil([] { return false; }, duration);
}
