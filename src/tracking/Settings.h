#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// The keys of Kestrum's settings.
namespace SettingsKey {
inline const QString MinutesUntilIdle = QStringLiteral("minutesUntilIdle");
inline const QString EnableIdleDetection = QStringLiteral("enableIdleDetection");
inline const QString EnableDocumentMonitoring = QStringLiteral("enableDocumentMonitoring");
inline const QString IncludeIdleInSumOfTimes = QStringLiteral("includeIdleInSumofTimes");
inline const QString PeriodicSaveTime = QStringLiteral("periodicSaveTime");
inline const QString SaveTimerPeriodically = QStringLiteral("saveTimerPeriodically");
inline const QString PeriodicFormatType = QStringLiteral("periodicFormatType");
inline const QString PeriodicDaysOfWeek = QStringLiteral("periodicDaysOfWeek");
inline const QString PeriodicSaveDirectory = QStringLiteral("periodicSaveDirectory");
inline const QString Apps = QStringLiteral("Apps");
// Kestrum's own: counting starts as soon as Kestrum opens.
inline const QString StartCountingAtLaunch = QStringLiteral("startCountingAtLaunch");
// Kestrum's own: applications whose window titles are never recorded, and title patterns
// (regular expressions) whose windows are recorded as "(private)"; lists of strings.
inline const QString PrivateApplications = QStringLiteral("privateApplications");
inline const QString PrivateTitlePatterns = QStringLiteral("privateTitlePatterns");
} // namespace SettingsKey

// The per-user settings: the user's own values over registered defaults.
class Settings
{
public:
    virtual ~Settings() = default;

    // The user's value, else the registered default, else an invalid QVariant.
    virtual QVariant value(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QVariant &value) = 0;
    virtual void removeValue(const QString &key) = 0;

    bool contains(const QString &key) const { return value(key).isValid(); }
    bool boolValue(const QString &key) const;
    qint64 integerValue(const QString &key) const; // fractions cut towards zero
};

// periodicSaveTime is stored as a date of which only the time of day counts; this is its date.
inline const QDate PeriodicSaveReferenceDay(2001, 1, 1);

// Kestrum's registered defaults.
QVariantMap registeredDefaults();
