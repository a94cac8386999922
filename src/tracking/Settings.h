#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
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
// Kestrum's own: time is never idle while something keeps the screen awake (an idle inhibitor).
inline const QString NeverIdleWhileInhibited = QStringLiteral("neverIdleWhileInhibited");
// Kestrum's own: time is never idle while one of these applications is in front (a list of
// names), when the list is enabled.
inline const QString EnableNeverIdleApplications = QStringLiteral("enableNeverIdleApplications");
inline const QString NeverIdleApplications = QStringLiteral("neverIdleApplications");
// Kestrum's own: on coming back from an idle stretch of at least this many minutes (and at least
// the idle threshold), Kestrum asks what the time away was, when asking is enabled.
inline const QString AskAboutTimeAway = QStringLiteral("askAboutTimeAway");
inline const QString MinutesAwayBeforeAsking = QStringLiteral("minutesAwayBeforeAsking");
// Kestrum's own: the latest answers to that question, newest first, offered as choices.
inline const QString RecentAwayAnswers = QStringLiteral("recentAwayAnswers");
// Kestrum's own: this computer's name among the user's computers (the host name at first).
inline const QString DeviceName = QStringLiteral("deviceName");
// Kestrum's own: the folder that a sync tool keeps in step with the user's other computers
// (unset: nothing leaves this computer), and whether window titles go there or application
// names alone.
inline const QString SharedFolder = QStringLiteral("sharedFolder");
inline const QString ShareWindowTitles = QStringLiteral("shareWindowTitles");
// Kestrum's own: whether the categories are kept in the shared folder (yes) or on this computer
// (no), as the user answered when sharing began; unset until asked.
inline const QString CategoriesInSharedFolder = QStringLiteral("categoriesInSharedFolder");
} // namespace SettingsKey

// What a setting's value is read as. A value that cannot be read as its kind is read as the
// registered default, and whoever reads the settings file says so (unreadableSettingWarning);
// of a list of text only the entries that are not text are passed over.
enum class SettingKind { Other, Boolean, Integer, TimeOfDay, Folder, TextList };
SettingKind settingKind(const QString &key);

// `value` read as `kind`: a bool, a qint64, a QTime, a QString or a QStringList; an invalid
// QVariant when it cannot be read so. Text reads as the platform's settings read it ("YES",
// "no", a number), a time of day as "HH:MM" or "HH:MM:SS" or a stored date's local time.
QVariant readSetting(SettingKind kind, const QVariant &value);

// The per-user settings: the user's own values over registered defaults.
class Settings
{
public:
    virtual ~Settings() = default;

    // The user's value, else the registered default, else an invalid QVariant.
    virtual QVariant value(const QString &key) const = 0;
    virtual QVariant defaultValue(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QVariant &value) = 0;
    virtual void removeValue(const QString &key) = 0;

    bool contains(const QString &key) const { return value(key).isValid(); }
    // The value read as the key's kind, or its default where it cannot be.
    bool boolValue(const QString &key) const;
    qint64 integerValue(const QString &key) const; // fractions cut towards zero
    QTime timeValue(const QString &key) const;
    QString folderValue(const QString &key) const;
    QStringList textListValue(const QString &key) const;

private:
    QVariant reading(const QString &key, SettingKind kind) const;
};

// A folder as the user may type it, "~" and "~/…" standing for the home folder.
QString expandedFolder(const QString &folder);

// For a user's value of `key` that cannot be read as its kind: a sentence naming the key, the
// value and what is used instead. Empty where the value reads as it should.
QString unreadableSettingWarning(const Settings &settings, const QString &key);

// periodicSaveTime is stored as a date of which only the time of day counts; this is its date.
inline const QDate PeriodicSaveReferenceDay(2001, 1, 1);

// Kestrum's registered defaults.
QVariantMap registeredDefaults();
