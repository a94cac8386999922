#include "IdleTime.h"

#include "Settings.h"

#include <cstdio>

IdleTimeReader::IdleTimeReader(IdleSource &source)
    : m_source(source)
{
}

quint64 IdleTimeReader::idleTime()
{
    const IdleReading reading = m_source.read();
    if (reading.status == IdleReading::Status::Pending)
        return 0;
    if (reading.status != IdleReading::Status::Ok) {
        reportFailure(reading);
        return 0;
    }
    m_reportedFailure.reset();
    return reading.nanoseconds / 1'000'000'000u;
}

void IdleTimeReader::reportFailure(const IdleReading &reading)
{
    if (m_reportedFailure == reading.status)
        return;
    m_reportedFailure = reading.status;

    using Status = IdleReading::Status;
    switch (reading.status) {
    case Status::ServiceUnreachable:
        std::puts("Error accessing IOHIDSystem"); // not translated: diagnostic output, like a log line
        break;
    case Status::NoService:
        std::puts("Iterator's empty!"); // not translated: diagnostic output, like a log line
        break;
    case Status::PropertiesUnreadable:
        std::puts("Couldn't grab properties of system"); // not translated: diagnostic output, like a log line
        std::puts("Can't find idle time"); // not translated: diagnostic output, like a log line
        break;
    case Status::NotFound:
        std::puts("Can't find idle time"); // not translated: diagnostic output, like a log line
        break;
    case Status::UnsupportedType:
        std::printf("%d: unsupported type\n", reading.typeId); // not translated: diagnostic output, like a log line
        break;
    case Status::Ok:
    case Status::Pending:
        break;
    }
    std::fflush(stdout);
}

bool isIdle(const Settings &settings, IdleTimeReader &idleTime)
{
    if (!settings.boolValue(SettingsKey::EnableIdleDetection))
        return false;
    const qint64 minutes = settings.integerValue(SettingsKey::MinutesUntilIdle);
    const double idleSeconds = double(idleTime.idleTime());
    return !(double(float(minutes)) > idleSeconds / 60.0);
}

IdleException idleException(const Settings &settings, IdleTimeReader &idleTime, IdleInhibitionSource &inhibition,
                            const std::optional<QString> &frontApplication, bool *thresholdPassed)
{
    const bool passed = isIdle(settings, idleTime);
    if (thresholdPassed)
        *thresholdPassed = passed;
    if (!passed)
        return IdleException::None;
    if (frontApplication && settings.boolValue(SettingsKey::EnableNeverIdleApplications)
        && settings.textListValue(SettingsKey::NeverIdleApplications).contains(*frontApplication))
        return IdleException::ApplicationInFront;
    if (!settings.boolValue(SettingsKey::NeverIdleWhileInhibited))
        return IdleException::None;
    switch (inhibition.idleInhibition().state) {
    case IdleInhibition::State::Inhibited:
        return IdleException::Inhibited;
    case IdleInhibition::State::Unknown:
        // Going idle a moment late costs nothing: the whole stretch since the last input moves.
        return IdleException::InhibitionUnknown;
    case IdleInhibition::State::Free:
        break;
    }
    return IdleException::None;
}
