#pragma once

#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/ManualClock.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"
#include "tracking/TimeTracker.h"

// A tracker counting on a fake desktop.
struct CountingTracker
{
    ManualClock clock;
    FakeDesktop desktop{clock};
    MemorySettings settings;
    FakeQuestionDialog questions;
    IdleTimeReader idle{desktop};
    TimeTracker tracker{{desktop, desktop, idle, clock, settings, questions}};
};
