#include "tracking/MemorySettings.h"
#include "tracking/Settings.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>
#include <tuple>
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
        // What reads as neither is read as the default, which is on.
        {QVariant(QStringLiteral("")), true},
        {QVariant(QStringLiteral("off")), true},
        {QVariant(QDateTime(QDate(2026, 1, 5), QTime(9, 0))), true},
        {QVariant(), true},
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
        {QVariant(true), 1},
        {QVariant(false), 0},
        // What is no number is read as the default: zero minutes would make every moment idle.
        {QVariant(QStringLiteral("abc")), 15},
        {QVariant(nan), 15},
        {QVariant(QVariantList{5}), 15},
        {QVariant(inf), std::numeric_limits<qint64>::max()},
        {QVariant(-inf), std::numeric_limits<qint64>::min()},
        {QVariant(1e30), std::numeric_limits<qint64>::max()},
        {QVariant(-1e30), std::numeric_limits<qint64>::min()},
        {QVariant(qint64(1) << 53), qint64(1) << 53},
        {QVariant(), 15},
    };
    MemorySettings settings;
    for (const auto &[stored, expected] : cases) {
        settings.setValue(SettingsKey::MinutesUntilIdle, stored);
        EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), expected)
            << stored.toString().toStdString() << " (" << stored.typeName() << ")";
    }
}

TEST(Settings, TimesOfDayAreReadFromTextOrAStoredDateAndOtherwiseAreTheDefault)
{
    const std::pair<QVariant, QTime> cases[] = {
        {QVariant(QStringLiteral("09:00:30")), QTime(9, 0, 30)},
        {QVariant(QStringLiteral("9:05")), QTime(9, 5)},
        {QVariant(QStringLiteral(" 18:30 ")), QTime(18, 30)},
        {QVariant(QDateTime(PeriodicSaveReferenceDay, QTime(8, 15))), QTime(8, 15)},
        {QVariant(QStringLiteral("25:00")), QTime(19, 0)},
        {QVariant(QStringLiteral("half past six")), QTime(19, 0)},
        {QVariant(900), QTime(19, 0)},
        {QVariant(QDateTime()), QTime(19, 0)},
    };
    MemorySettings settings;
    for (const auto &[stored, expected] : cases) {
        settings.setValue(SettingsKey::PeriodicSaveTime, stored);
        EXPECT_EQ(settings.timeValue(SettingsKey::PeriodicSaveTime), expected) << stored.toString().toStdString();
    }
}

// The warning says which key, which value and what is used instead; a value that reads as its
// kind, and a key Kestrum does not read as a kind, have none.
TEST(Settings, AValueThatCannotBeReadAsItsKindIsToldWithWhatIsUsedInstead)
{
    const std::tuple<QString, QVariant, QString> cases[] = {
        {SettingsKey::PeriodicSaveTime, QStringLiteral("25:00"),
         QStringLiteral("The setting periodicSaveTime is \"25:00\", which is no time of day (HH:MM); 19:00 is used instead.")},
        {SettingsKey::MinutesUntilIdle, QStringLiteral("ten\x1b[2J"),
         QStringLiteral("The setting minutesUntilIdle is \"ten\\x1b[2J\", which is no number; 15 is used instead.")},
        {SettingsKey::EnableIdleDetection, QStringLiteral("maybe"),
         QStringLiteral("The setting enableIdleDetection is \"maybe\", which is neither yes nor no; yes is used instead.")},
        {SettingsKey::PeriodicSaveDirectory, 5,
         QStringLiteral("The setting periodicSaveDirectory is 5, which names no folder; ~/.local/share/Kestrum is used instead.")},
        {SettingsKey::PrivateApplications, QVariantMap{},
         QStringLiteral("The setting privateApplications is a dictionary, which is no list of text; an empty list is used instead.")},
        {SettingsKey::PrivateTitlePatterns, QVariantList{QStringLiteral("bank"), 7, QStringLiteral("mail")},
         QStringLiteral("The setting privateTitlePatterns holds an entry that is not text; only its text is used: \"bank\", \"mail\".")},
        {SettingsKey::PeriodicSaveTime, QStringLiteral("09:00:30"), QString()},
        {SettingsKey::SaveTimerPeriodically, QStringLiteral("YES"), QString()},
        {SettingsKey::PrivateApplications, QStringLiteral("Firefox"), QString()},
        {SettingsKey::Apps, QStringLiteral("anything"), QString()},
    };
    for (const auto &[key, stored, expected] : cases) {
        MemorySettings settings;
        settings.setValue(key, stored);
        EXPECT_EQ(unreadableSettingWarning(settings, key).toStdString(), expected.toStdString());
    }
    const MemorySettings defaults;
    EXPECT_EQ(unreadableSettingWarning(defaults, SettingsKey::PrivateApplications), QString());
    MemorySettings patterns;
    patterns.setValue(SettingsKey::PrivateTitlePatterns, QVariantList{QStringLiteral("bank"), 7, QStringLiteral("mail")});
    EXPECT_EQ(patterns.textListValue(SettingsKey::PrivateTitlePatterns), (QStringList{QStringLiteral("bank"), QStringLiteral("mail")}));
}
