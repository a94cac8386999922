#pragma once

#include "IdleInhibition.h"
#include "IdleSource.h"

#include <QtGlobal>

#include <QString>

#include <optional>

class Settings;

// Turns the idle source's reading into whole seconds since the last input.
// A source that cannot be read answers 0 (the user is never idle while it fails) and its
// failure is printed once when it begins, not at every tick; the process always goes on.
// A source whose first answer is still to come answers 0 too, and says nothing.
class IdleTimeReader
{
public:
    explicit IdleTimeReader(IdleSource &source);

    quint64 idleTime();

private:
    void reportFailure(const IdleReading &reading);

    IdleSource &m_source;
    std::optional<IdleReading::Status> m_reportedFailure;
};

// Whether the user counts as idle now: idle detection is on and at least `minutesUntilIdle`
// minutes have passed since the last input. The idle source is not read when detection is off.
bool isIdle(const Settings &settings, IdleTimeReader &idleTime);

// Why time without input is not idle now, though the threshold has passed.
enum class IdleException {
    None,                // it is idle
    ApplicationInFront,  // an application of the never-idle list is in front
    Inhibited,           // something keeps the screen awake
    InhibitionUnknown,   // the inhibitors were asked and have not answered yet
};

// isIdle(), then the exceptions the settings enable: an application of the never-idle list in
// front, or an idle inhibitor held. The inhibitors are asked only once the threshold has passed.
IdleException idleException(const Settings &settings, IdleTimeReader &idleTime, IdleInhibitionSource &inhibition,
                            const std::optional<QString> &frontApplication, bool *thresholdPassed = nullptr);
