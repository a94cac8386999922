#include "Settings.h"

#include <QDateTime>

#include <cmath>
#include <limits>

bool Settings::boolValue(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QString) {
        // Text reads as the platform's settings read it: "YES", "true" or a non-zero number.
        const QString text = v.toString().trimmed();
        return text.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0
            || text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 || text.toLongLong() != 0;
    }
    return v.toBool();
}

qint64 Settings::integerValue(const QString &key) const
{
    const QVariant v = value(key);
    bool ok = false;
    const double d = v.toDouble(&ok);
    // Infinities are clamped like any other value out of range: an infinite number of
    // minutes must not read as 0 and make the user idle at once.
    if (!ok || std::isnan(d))
        return 0;
    if (d >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(std::trunc(d));
}

QVariantMap registeredDefaults()
{
    const QDateTime periodicSaveTime(PeriodicSaveReferenceDay, QTime(19, 0));
    return {
        {SettingsKey::MinutesUntilIdle, 15},
        {SettingsKey::EnableIdleDetection, true},
        {SettingsKey::EnableDocumentMonitoring, true},
        {SettingsKey::IncludeIdleInSumOfTimes, false},
        {SettingsKey::PeriodicSaveTime, periodicSaveTime},
        {SettingsKey::SaveTimerPeriodically, false},
        {SettingsKey::PeriodicFormatType, 2},
        {SettingsKey::PeriodicDaysOfWeek, 16u},
        {SettingsKey::PeriodicSaveDirectory, QStringLiteral("~/.local/share/Kestrum")},
        {SettingsKey::StartCountingAtLaunch, false},
    };
}
