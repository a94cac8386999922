#pragma once

#include "IdleSource.h"

#include <QtGlobal>

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
