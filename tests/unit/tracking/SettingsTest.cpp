#include "tracking/MemorySettings.h"
#include "tracking/Settings.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>
#include <limits>

TEST(Settings, AFirstRunSeesTheRegisteredDefaults)
{
    const MemorySettings settings;
    EXPECT_TRUE(settings.userValues().isEmpty());

    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 15);
    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableIdleDetection));
    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableDocumentMonitoring));
    EXPECT_FALSE(settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes));
    EXPECT_FALSE(settings.boolValue(SettingsKey::SaveTimerPeriodically));
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicFormatType), 2);
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicDaysOfWeek), 16); // Thursday only
    // Stored with its tilde; readers expand it.
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("~/.local/share/Kestrum"));

    const QVariant saveTime = settings.value(SettingsKey::PeriodicSaveTime);
    ASSERT_EQ(saveTime.typeId(), QMetaType::QDateTime);
    EXPECT_TRUE(saveTime.toDateTime().isValid());
    EXPECT_EQ(saveTime.toDateTime().time(), QTime(19, 0));

    // No saved timings on a first run.
    EXPECT_FALSE(settings.contains(SettingsKey::Apps));
    EXPECT_FALSE(settings.value(SettingsKey::Apps).isValid());
}

TEST(Settings, AUserValueOverridesTheDefaultUntilRemoved)
{
    MemorySettings settings;
    settings.setValue(SettingsKey::MinutesUntilIdle, 5);
    settings.setValue(SettingsKey::EnableIdleDetection, false);
    settings.setValue(SettingsKey::PeriodicSaveDirectory, QStringLiteral("/srv/timings"));
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 5);
    EXPECT_FALSE(settings.boolValue(SettingsKey::EnableIdleDetection));
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("/srv/timings"));

    // Other settings, and other stores, keep their defaults.
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicFormatType), 2);
    EXPECT_EQ(MemorySettings().integerValue(SettingsKey::MinutesUntilIdle), 15);

    settings.removeValue(SettingsKey::MinutesUntilIdle);
    settings.removeValue(SettingsKey::EnableIdleDetection);
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 15);
    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableIdleDetection));
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("/srv/timings"));

    // Removing what the user never set changes nothing.
    settings.removeValue(SettingsKey::MinutesUntilIdle);
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 15);
}

TEST(Settings, AKeyWithoutDefaultIsAbsentAgainOnceRemoved)
{
    MemorySettings settings;
    const QVariantMap saved{{QStringLiteral("Version"), QStringLiteral("1.3")}};
    settings.setValue(SettingsKey::Apps, saved);
    EXPECT_TRUE(settings.contains(SettingsKey::Apps));
    EXPECT_EQ(settings.value(SettingsKey::Apps).toMap(), saved);

    settings.removeValue(SettingsKey::Apps);
    EXPECT_FALSE(settings.contains(SettingsKey::Apps));
}

TEST(Settings, BoolValues)
{
    const std::pair<QVariant, bool> cases[] = {
        {QVariant(true), true},
        {QVariant(false), false},
        {QVariant(1), true},
        {QVariant(2), true},
        {QVariant(0), false},
        {QVariant(QStringLiteral("YES")), true},
        {QVariant(QStringLiteral("yes")), true},
        {QVariant(QStringLiteral("true")), true},
        {QVariant(QStringLiteral("TRUE")), true},
        {QVariant(QStringLiteral("1")), true},
        {QVariant(QStringLiteral(" 1 ")), true},
        {QVariant(QStringLiteral("NO")), false},
        {QVariant(QStringLiteral("no")), false},
        {QVariant(QStringLiteral("false")), false},
        {QVariant(QStringLiteral("0")), false},
        {QVariant(QStringLiteral("")), false},
        {QVariant(), false},
    };
    MemorySettings settings;
    for (const auto &[stored, expected] : cases) {
        settings.setValue(SettingsKey::EnableIdleDetection, stored);
        EXPECT_EQ(settings.boolValue(SettingsKey::EnableIdleDetection), expected)
            << stored.toString().toStdString() << " (" << stored.typeName() << ")";
    }
    EXPECT_FALSE(settings.boolValue(QStringLiteral("noSuchKey")));
}

TEST(Settings, IntegerValuesCutFractionsTowardsZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<QVariant, qint64> cases[] = {
        {QVariant(15), 15},
        {QVariant(16u), 16},
        {QVariant(12.7), 12},
        {QVariant(12.0), 12},
        {QVariant(-12.7), -12},
        {QVariant(-0.5), 0},
        {QVariant(0.999), 0},
        {QVariant(QStringLiteral("12.7")), 12},
        {QVariant(QStringLiteral(" 42 ")), 42},
        {QVariant(QStringLiteral("-3")), -3},
        {QVariant(QStringLiteral("abc")), 0},
        {QVariant(true), 1},
        {QVariant(false), 0},
        {QVariant(nan), 0},
        {QVariant(inf), std::numeric_limits<qint64>::max()},
        {QVariant(-inf), std::numeric_limits<qint64>::min()},
        {QVariant(1e30), std::numeric_limits<qint64>::max()},
        {QVariant(-1e30), std::numeric_limits<qint64>::min()},
        {QVariant(qint64(1) << 53), qint64(1) << 53},
        {QVariant(), 0},
    };
    MemorySettings settings;
    for (const auto &[stored, expected] : cases) {
        settings.setValue(SettingsKey::MinutesUntilIdle, stored);
        EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), expected)
            << stored.toString().toStdString() << " (" << stored.typeName() << ")";
    }
}
