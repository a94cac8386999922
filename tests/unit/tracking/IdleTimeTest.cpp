#include "platform/fake/FakeDesktop.h"
#include "platform/fake/ManualClock.h"
#include "tracking/IdleTime.h"
#include "tracking/MemorySettings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

// An idle source that answers a set reading and counts how often it was read.
class ScriptedIdleSource : public IdleSource
{
public:
    IdleReading read() override
    {
        ++reads;
        return reading;
    }

    void setNanoseconds(quint64 nanoseconds) { reading = {IdleReading::Status::Ok, nanoseconds, 0}; }

    IdleReading reading;
    int reads = 0;
};

using Status = IdleReading::Status;

// Real seconds of no input, on the manual clock.
class IdleDecision : public testing::Test
{
protected:
    void idleFor(double seconds)
    {
        desktop.input();
        clock.advance(seconds);
    }

    ManualClock clock;
    FakeDesktop desktop{clock};
    IdleTimeReader reader{desktop};
    MemorySettings settings;
};

} // namespace

// --- Deciding idleness ------------------------------------------------------------------------

TEST_F(IdleDecision, DefaultsMakeTheUserIdleAfterFifteenMinutes)
{
    idleFor(899);
    EXPECT_FALSE(isIdle(settings, reader));
    clock.advance(0.999);
    EXPECT_FALSE(isIdle(settings, reader));
    clock.advance(0.001);
    EXPECT_TRUE(isIdle(settings, reader));
    clock.advance(3600);
    EXPECT_TRUE(isIdle(settings, reader));

    desktop.input();
    EXPECT_FALSE(isIdle(settings, reader));
}

TEST_F(IdleDecision, OneMinute)
{
    settings.setValue(SettingsKey::MinutesUntilIdle, 1);
    idleFor(59);
    EXPECT_FALSE(isIdle(settings, reader));
    idleFor(60);
    EXPECT_TRUE(isIdle(settings, reader));
}

TEST_F(IdleDecision, FractionalMinutesAreCutTowardsZero)
{
    settings.setValue(SettingsKey::MinutesUntilIdle, 1.9);
    idleFor(60);
    EXPECT_TRUE(isIdle(settings, reader));
    idleFor(59);
    EXPECT_FALSE(isIdle(settings, reader));
}

TEST_F(IdleDecision, ZeroOrNegativeMinutesMeanAlwaysIdle)
{
    for (const QVariant &minutes : {QVariant(0), QVariant(-5), QVariant(-0.5), QVariant(std::numeric_limits<int>::min())}) {
        settings.setValue(SettingsKey::MinutesUntilIdle, minutes);
        idleFor(0);
        EXPECT_TRUE(isIdle(settings, reader)) << minutes.toString().toStdString();
        idleFor(1);
        EXPECT_TRUE(isIdle(settings, reader)) << minutes.toString().toStdString();
    }
}

TEST_F(IdleDecision, NoMinutesSettingMeansAlwaysIdle)
{
    // Without a value, the minutes read as 0.
    MemorySettings bare({{SettingsKey::EnableIdleDetection, true}});
    idleFor(0);
    EXPECT_TRUE(isIdle(bare, reader));
}

TEST_F(IdleDecision, LargeMinuteSettings)
{
    settings.setValue(SettingsKey::MinutesUntilIdle, 60 * 24 * 365);
    idleFor(60.0 * 60 * 24 * 365 - 1);
    EXPECT_FALSE(isIdle(settings, reader));
    clock.advance(1);
    EXPECT_TRUE(isIdle(settings, reader));
}

TEST(IdleDetectionOff, NeverIdleAndTheSourceIsNotRead)
{
    ScriptedIdleSource source;
    source.setNanoseconds(quint64(10'000) * 1'000'000'000u);
    IdleTimeReader reader(source);
    MemorySettings settings;
    settings.setValue(SettingsKey::EnableIdleDetection, false);
    settings.setValue(SettingsKey::MinutesUntilIdle, 0);

    EXPECT_FALSE(isIdle(settings, reader));
    EXPECT_FALSE(isIdle(settings, reader));
    EXPECT_EQ(source.reads, 0);

    // Nor is a failing source read, so it prints nothing.
    source.reading = {Status::NotFound, 0, 0};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(isIdle(settings, reader));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(source.reads, 0);

    settings.removeValue(SettingsKey::EnableIdleDetection);
    source.setNanoseconds(quint64(10'000) * 1'000'000'000u);
    EXPECT_TRUE(isIdle(settings, reader));
    EXPECT_EQ(source.reads, 1);
}

// --- Reading the idle time --------------------------------------------------------------

TEST(IdleTimeReader, NanosecondsAreWholeRealSeconds)
{
    const std::pair<quint64, quint64> cases[] = {
        {0, 0},
        {999'999'999, 0},
        {1'000'000'000, 1},
        {1'073'741'823, 1}, // one nanosecond short of 2^30: a full real second has passed
        {1'999'999'999, 1},
        {2'000'000'000, 2},
        {quint64(1) << 31, 2},
        {quint64(900) * 1'000'000'000u, 900},
        {std::numeric_limits<quint64>::max(), 18'446'744'073},
    };
    ScriptedIdleSource source;
    IdleTimeReader reader(source);
    for (const auto &[nanoseconds, seconds] : cases) {
        source.setNanoseconds(nanoseconds);
        EXPECT_EQ(reader.idleTime(), seconds) << nanoseconds << " ns";
    }
    EXPECT_EQ(source.reads, int(std::size(cases)));
}

TEST(IdleTimeReader, EachFailureAnswersZeroAndIsPrintedOnce)
{
    const std::pair<IdleReading, std::string> cases[] = {
        {{Status::ServiceUnreachable, 0, 0}, "Error accessing IOHIDSystem\n"},
        {{Status::NoService, 0, 0}, "Iterator's empty!\n"},
        {{Status::PropertiesUnreadable, 0, 0}, "Couldn't grab properties of system\nCan't find idle time\n"},
        {{Status::NotFound, 0, 0}, "Can't find idle time\n"},
        {{Status::UnsupportedType, 0, 7}, "7: unsupported type\n"},
        {{Status::UnsupportedType, 0, -3}, "-3: unsupported type\n"},
    };
    for (const auto &[reading, message] : cases) {
        ScriptedIdleSource source;
        source.reading = reading;
        source.reading.nanoseconds = quint64(5000) * 1'000'000'000u; // ignored on failure
        IdleTimeReader reader(source);

        testing::internal::CaptureStdout();
        for (int tick = 0; tick < 5; ++tick)
            EXPECT_EQ(reader.idleTime(), 0u) << message;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), message);
        EXPECT_EQ(source.reads, 5);
    }
}

TEST(IdleTimeReader, AFailureThatComesBackIsPrintedAgain)
{
    ScriptedIdleSource source;
    IdleTimeReader reader(source);

    testing::internal::CaptureStdout();
    source.reading = {Status::NotFound, 0, 0};
    reader.idleTime();
    reader.idleTime();
    source.setNanoseconds(3'000'000'000u);
    EXPECT_EQ(reader.idleTime(), 3u);
    EXPECT_EQ(reader.idleTime(), 3u);
    source.reading = {Status::NotFound, 0, 0};
    EXPECT_EQ(reader.idleTime(), 0u);
    reader.idleTime();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can't find idle time\nCan't find idle time\n");
}

TEST(IdleTimeReader, AFirstAnswerStillToComeAnswersZeroAndPrintsNothing)
{
    ScriptedIdleSource source;
    IdleTimeReader reader(source);

    testing::internal::CaptureStdout();
    source.reading = {Status::Pending, quint64(5000) * 1'000'000'000u, 0};
    EXPECT_EQ(reader.idleTime(), 0u);
    EXPECT_EQ(reader.idleTime(), 0u);
    source.setNanoseconds(4'000'000'000u);
    EXPECT_EQ(reader.idleTime(), 4u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(IdleTimeReader, AnotherFailurePrintsItsOwnMessage)
{
    ScriptedIdleSource source;
    IdleTimeReader reader(source);

    testing::internal::CaptureStdout();
    source.reading = {Status::NotFound, 0, 0};
    reader.idleTime();
    source.reading = {Status::PropertiesUnreadable, 0, 0};
    reader.idleTime();
    reader.idleTime();
    source.reading = {Status::NotFound, 0, 0};
    reader.idleTime();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Can't find idle time\n"
              "Couldn't grab properties of system\nCan't find idle time\n"
              "Can't find idle time\n");
}

TEST_F(IdleDecision, AFailingSourceNeverMakesTheUserIdle)
{
    settings.setValue(SettingsKey::MinutesUntilIdle, 1);
    idleFor(3600);
    ASSERT_TRUE(isIdle(settings, reader));

    desktop.setIdleFailure(Status::NotFound);
    testing::internal::CaptureStdout();
    for (int tick = 0; tick < 60; ++tick) {
        clock.advance(1);
        EXPECT_FALSE(isIdle(settings, reader));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can't find idle time\n");

    desktop.setIdleFailure(Status::Ok);
    EXPECT_TRUE(isIdle(settings, reader));
}
