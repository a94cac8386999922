#include "Settings.h"

#include "store/SafeText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QSysInfo>

#include <cmath>
#include <limits>

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return !std::isnan(v.toDouble());
    default:
        return false;
    }
}

QVariant readBoolean(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (isNumber(v))
        return v.toDouble() != 0;
    if (v.typeId() != QMetaType::QString)
        return {};
    const QString text = v.toString().trimmed();
    for (const auto &[word, meaning] : {std::pair{u"yes", true}, {u"true", true}, {u"no", false}, {u"false", false}}) {
        if (text.compare(word, Qt::CaseInsensitive) == 0)
            return meaning;
    }
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    return ok ? QVariant(number != 0) : QVariant();
}

QVariant readInteger(const QVariant &v)
{
    if (v.typeId() != QMetaType::Bool && v.typeId() != QMetaType::QString && !isNumber(v))
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    // Infinities are clamped like any other value out of range: an infinite number of
    // minutes must not read as 0 and make the user idle at once.
    if (!ok || std::isnan(d))
        return {};
    if (d >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(std::trunc(d));
}

QVariant readTimeOfDay(const QVariant &v)
{
    if (v.typeId() == QMetaType::QTime)
        return v.toTime().isValid() ? v : QVariant();
    if (v.typeId() == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        for (const QString &format : {QStringLiteral("H:mm:ss"), QStringLiteral("H:mm")}) {
            const QTime time = QTime::fromString(text, format);
            if (time.isValid())
                return time;
        }
        return {};
    }
    // A date read back from the settings file is in UTC: its time of day is taken in local time.
    if (v.typeId() == QMetaType::QDateTime && v.toDateTime().isValid())
        return v.toDateTime().toLocalTime().time();
    return {};
}

QVariant readTextList(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString)
        return QStringList{v.toString()};
    if (v.typeId() == QMetaType::QStringList)
        return v;
    if (v.typeId() != QMetaType::QVariantList)
        return {};
    QStringList texts;
    for (const QVariant &entry : v.toList()) {
        if (entry.typeId() == QMetaType::QString)
            texts.append(entry.toString());
    }
    return texts;
}

// A value as a message quotes it: text in quotes with its controls escaped, and cut short.
// Values are shown as the settings file holds them ("true", a number, an ISO date).
QString describedValue(const QVariant &v)
{
    constexpr qsizetype kLongest = 80;
    switch (v.typeId()) {
    case QMetaType::QString: {
        const QString text = v.toString();
        return u'"' + escapedText(text.left(kLongest)) + (text.size() > kLongest ? QStringLiteral("…\"") : QStringLiteral("\""));
    }
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false"); // not translated: the file's own words
    case QMetaType::QDateTime:
        return QCoreApplication::translate("Settings", "the date %1").arg(v.toDateTime().toUTC().toString(Qt::ISODate));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QByteArray: {
        const int size = int(qMin<qsizetype>(v.toByteArray().size(), std::numeric_limits<int>::max()));
        return QCoreApplication::translate("Settings", "data of %Ln byte(s)", nullptr, size);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return QCoreApplication::translate("Settings", "a list");
    default:
        if (isNumber(v) || v.typeId() == QMetaType::Double)
            return v.toString();
        // The one kind of value a property list holds that is left.
        return QCoreApplication::translate("Settings", "a dictionary");
    }
}

QString describedReading(SettingKind kind, const QVariant &reading)
{
    switch (kind) {
    case SettingKind::Boolean:
        return reading.toBool() ? QCoreApplication::translate("Settings", "yes", "a setting's value")
                                : QCoreApplication::translate("Settings", "no", "a setting's value");
    case SettingKind::TimeOfDay:
        return reading.toTime().toString(QStringLiteral("HH:mm"));
    case SettingKind::Folder:
        return escapedText(reading.toString());
    case SettingKind::TextList: {
        const QStringList texts = reading.toStringList();
        return texts.isEmpty() ? QCoreApplication::translate("Settings", "an empty list") : u'"' + escapedText(texts.join(QStringLiteral("\", \""))) + u'"';
    }
    case SettingKind::Integer:
    case SettingKind::Other:
        break;
    }
    return reading.toString();
}

// The warning for a value that cannot be read as `kind`: %1 the key, %2 the value, %3 what is
// used instead.
const char *unreadableSentence(SettingKind kind)
{
    switch (kind) {
    case SettingKind::Boolean:
        return QT_TRANSLATE_NOOP("Settings", "The setting %1 is %2, which is neither yes nor no; %3 is used instead.");
    case SettingKind::Integer:
        return QT_TRANSLATE_NOOP("Settings", "The setting %1 is %2, which is no number; %3 is used instead.");
    case SettingKind::TimeOfDay:
        return QT_TRANSLATE_NOOP("Settings", "The setting %1 is %2, which is no time of day (HH:MM); %3 is used instead.");
    case SettingKind::Folder:
        return QT_TRANSLATE_NOOP("Settings", "The setting %1 is %2, which names no folder; %3 is used instead.");
    case SettingKind::TextList:
        return QT_TRANSLATE_NOOP("Settings", "The setting %1 is %2, which is no list of text; %3 is used instead.");
    case SettingKind::Other:
        break;
    }
    return nullptr;
}

} // namespace

SettingKind settingKind(const QString &key)
{
    static const QHash<QString, SettingKind> kinds = {
        {SettingsKey::MinutesUntilIdle, SettingKind::Integer},
        {SettingsKey::EnableIdleDetection, SettingKind::Boolean},
        {SettingsKey::EnableDocumentMonitoring, SettingKind::Boolean},
        {SettingsKey::IncludeIdleInSumOfTimes, SettingKind::Boolean},
        {SettingsKey::PeriodicSaveTime, SettingKind::TimeOfDay},
        {SettingsKey::SaveTimerPeriodically, SettingKind::Boolean},
        {SettingsKey::PeriodicFormatType, SettingKind::Integer},
        {SettingsKey::PeriodicDaysOfWeek, SettingKind::Integer},
        {SettingsKey::PeriodicSaveDirectory, SettingKind::Folder},
        {SettingsKey::StartCountingAtLaunch, SettingKind::Boolean},
        {SettingsKey::PrivateApplications, SettingKind::TextList},
        {SettingsKey::PrivateTitlePatterns, SettingKind::TextList},
        {SettingsKey::NeverIdleWhileInhibited, SettingKind::Boolean},
        {SettingsKey::EnableNeverIdleApplications, SettingKind::Boolean},
        {SettingsKey::NeverIdleApplications, SettingKind::TextList},
        {SettingsKey::AskAboutTimeAway, SettingKind::Boolean},
        {SettingsKey::MinutesAwayBeforeAsking, SettingKind::Integer},
        {SettingsKey::RecentAwayAnswers, SettingKind::TextList},
        {SettingsKey::SharedFolder, SettingKind::Folder},
        {SettingsKey::ShareWindowTitles, SettingKind::Boolean},
        {SettingsKey::CategoriesInSharedFolder, SettingKind::Boolean},
    };
    return kinds.value(key, SettingKind::Other);
}

QVariant readSetting(SettingKind kind, const QVariant &value)
{
    switch (kind) {
    case SettingKind::Boolean:
        return readBoolean(value);
    case SettingKind::Integer:
        return readInteger(value);
    case SettingKind::TimeOfDay:
        return readTimeOfDay(value);
    case SettingKind::Folder:
        return value.typeId() == QMetaType::QString && !value.toString().isEmpty() ? value : QVariant();
    case SettingKind::TextList:
        return readTextList(value);
    case SettingKind::Other:
        break;
    }
    return value;
}

QVariant Settings::reading(const QString &key, SettingKind kind) const
{
    const QVariant read = readSetting(kind, value(key));
    return read.isValid() ? read : readSetting(kind, defaultValue(key));
}

bool Settings::boolValue(const QString &key) const
{
    return reading(key, SettingKind::Boolean).toBool();
}

qint64 Settings::integerValue(const QString &key) const
{
    return reading(key, SettingKind::Integer).toLongLong();
}

QTime Settings::timeValue(const QString &key) const
{
    return reading(key, SettingKind::TimeOfDay).toTime();
}

QString expandedFolder(const QString &folder)
{
    if (folder == u"~" || folder.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + folder.mid(1);
    return folder;
}

QString Settings::folderValue(const QString &key) const
{
    return reading(key, SettingKind::Folder).toString();
}

QStringList Settings::textListValue(const QString &key) const
{
    return reading(key, SettingKind::TextList).toStringList();
}

QString unreadableSettingWarning(const Settings &settings, const QString &key)
{
    const SettingKind kind = settingKind(key);
    const QVariant value = settings.value(key);
    if (kind == SettingKind::Other || !value.isValid())
        return {};
    const QVariant read = readSetting(kind, value);
    if (!read.isValid()) {
        QVariant fallback = readSetting(kind, settings.defaultValue(key));
        if (!fallback.isValid() && kind == SettingKind::TextList)
            fallback = QStringList();
        return QCoreApplication::translate("Settings", unreadableSentence(kind))
            .arg(key, describedValue(value),
                 fallback.isValid() ? describedReading(kind, fallback) : QCoreApplication::translate("Settings", "nothing"));
    }
    // Of a list only the text counts: a privacy rule is not dropped for a neighbour's sake.
    if (kind == SettingKind::TextList && value.typeId() == QMetaType::QVariantList && read.toStringList().size() != value.toList().size()) {
        const int passedOver = int(qMin<qsizetype>(value.toList().size() - read.toStringList().size(), std::numeric_limits<int>::max()));
        return QCoreApplication::translate("Settings", "The setting %1 holds %n entry(s) that are not text; only its text is used: %2.",
                                           nullptr, passedOver)
            .arg(key, describedReading(kind, read));
    }
    return {};
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
        {SettingsKey::NeverIdleWhileInhibited, true},
        {SettingsKey::EnableNeverIdleApplications, true},
        // Presentation programs and video players, by the names their desktop entries give.
        {SettingsKey::NeverIdleApplications, // not translated: application names, matched as the desktop reports them
         QStringList{QStringLiteral("LibreOffice Impress"), QStringLiteral("VLC media player"), QStringLiteral("mpv Media Player"), // not translated: as above
                     QStringLiteral("Videos"), QStringLiteral("Celluloid"), QStringLiteral("Kodi")}},
        {SettingsKey::AskAboutTimeAway, true},
        // 0: the idle threshold alone decides.
        {SettingsKey::MinutesAwayBeforeAsking, 0},
        {SettingsKey::DeviceName, QSysInfo::machineHostName()},
        {SettingsKey::ShareWindowTitles, true},
    };
}
