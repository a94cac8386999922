// The settings file: defaults on a first run, the user's values across restarts, unreadable
// files moved aside, and the support directory.

#include "FileTestSupport.h"

#include "persistence/PropertyList.h"
#include "persistence/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Sets or (given none) unsets an environment variable for the length of a test.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const std::optional<QString> &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_wasSet(qEnvironmentVariableIsSet(name))
    {
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }
    ~EnvironmentGuard()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

    EnvironmentGuard(const EnvironmentGuard &) = delete;
    EnvironmentGuard &operator=(const EnvironmentGuard &) = delete;

private:
    const char *m_name;
    QByteArray m_old;
    bool m_wasSet;
};

// Every test runs in a home directory of its own, with the XDG directories at their defaults.
class SettingsStoreTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_directory.filePath(name); }

    // The names in the settings directory other than the settings file itself.
    QStringList keptAside() const
    {
        QStringList names = directoryEntries(m_settingsDirectory);
        names.removeAll(QStringLiteral("Kestrum.plist"));
        return names;
    }

    QTemporaryDir m_directory;
    const EnvironmentGuard m_home{"HOME", path(QStringLiteral("home"))};
    const EnvironmentGuard m_configHome{"XDG_CONFIG_HOME", std::nullopt};
    const EnvironmentGuard m_dataHome{"XDG_DATA_HOME", std::nullopt};
    const QString m_settingsDirectory = path(QStringLiteral("config/Kestrum"));
    const QString m_file = m_settingsDirectory + QStringLiteral("/Kestrum.plist");
};

void expectRegisteredDefaults(const Settings &settings)
{
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 15);
    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableIdleDetection));
    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableDocumentMonitoring));
    EXPECT_FALSE(settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes));
    EXPECT_FALSE(settings.boolValue(SettingsKey::SaveTimerPeriodically));
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicFormatType), 2);
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicDaysOfWeek), 16);
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("~/.local/share/Kestrum"));
    const QDateTime saveTime = settings.value(SettingsKey::PeriodicSaveTime).toDateTime();
    EXPECT_TRUE(saveTime.isValid());
    EXPECT_EQ(saveTime.toLocalTime().time(), QTime(19, 0));
    EXPECT_FALSE(settings.contains(SettingsKey::Apps));
}

} // namespace

// --- a first run and the user's values ---------------------------------------------------------------

TEST_F(SettingsStoreTest, AFirstRunSeesTheDefaultsAndWritesNothing)
{
    SettingsStore settings(m_file);
    QString warning;
    EXPECT_TRUE(settings.load(&warning));
    EXPECT_EQ(warning, QString());
    expectRegisteredDefaults(settings);
    EXPECT_FALSE(QFileInfo::exists(m_settingsDirectory));
}

TEST_F(SettingsStoreTest, TheFileIsFoundThroughTheXdgConfigDirectoryOrHome)
{
    {
        const EnvironmentGuard config("XDG_CONFIG_HOME", path(QStringLiteral("config")));
        EXPECT_EQ(SettingsStore::defaultPath(), m_file);
        EXPECT_EQ(SettingsStore().path(), m_file);
    }
    EXPECT_EQ(SettingsStore::defaultPath(), path(QStringLiteral("home/.config/Kestrum/Kestrum.plist")));
}

TEST_F(SettingsStoreTest, UserValuesSurviveARestart)
{
    const QDateTime saveTime(QDate(2026, 1, 5), QTime(8, 30), QTimeZone::systemTimeZone());
    const PropertyListDictionary app{{QStringLiteral("Name"), QStringLiteral("Editor")}, {QStringLiteral("ActiveTime"), 840.5}};
    const PropertyListDictionary entry{{QStringLiteral("App"), QVariant::fromValue(app)}, {QStringLiteral("Windows"), QVariantList()}};
    const PropertyListDictionary timings{{QStringLiteral("Version"), QStringLiteral("1.3")},
                                         {QStringLiteral("Apps"), QVariantList{QVariant::fromValue(entry)}}};
    {
        SettingsStore settings(m_file);
        ASSERT_TRUE(settings.load());
        settings.setValue(SettingsKey::EnableIdleDetection, false);
        settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
        settings.setValue(SettingsKey::MinutesUntilIdle, 5);
        settings.setValue(SettingsKey::PeriodicDaysOfWeek, 127u);
        settings.setValue(SettingsKey::PeriodicSaveDirectory, QStringLiteral("/home/ada/Timings, weekly"));
        settings.setValue(SettingsKey::PeriodicSaveTime, saveTime);
        settings.setValue(SettingsKey::Apps, QVariant::fromValue(timings));
        QString error;
        ASSERT_TRUE(settings.synchronize(&error)) << error.toStdString();
    }
    EXPECT_EQ(fileMode(m_file), mode_t(0600));

    SettingsStore settings(m_file);
    ASSERT_TRUE(settings.load());
    EXPECT_FALSE(settings.boolValue(SettingsKey::EnableIdleDetection));
    EXPECT_TRUE(settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes));
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 5);
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicDaysOfWeek), 127);
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("/home/ada/Timings, weekly"));
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveTime).toDateTime(), saveTime);
    EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveTime).toDateTime().toLocalTime().time(), QTime(8, 30));
    EXPECT_EQ(settings.value(SettingsKey::Apps).value<PropertyListDictionary>(), timings);
    // Untouched keys keep their defaults.
    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableDocumentMonitoring));
    EXPECT_EQ(settings.integerValue(SettingsKey::PeriodicFormatType), 2);
}

// Kestrum reads its file ahead, before it holds the lock: a Kestrum that was still quitting may
// save once more meanwhile. Only a read of the file as it still is counts.
TEST_F(SettingsStoreTest, AFileReadAheadIsReadAgainWhenItWasSavedSince)
{
    SettingsStore quitting(m_file);
    ASSERT_TRUE(quitting.load());
    quitting.setValue(SettingsKey::MinutesUntilIdle, 5);
    ASSERT_TRUE(quitting.synchronize());
    const SettingsFileRead readAhead = SettingsStore::readFile(m_file);

    SettingsStore unchanged(m_file);
    ASSERT_TRUE(unchanged.load(readAhead));
    EXPECT_EQ(unchanged.integerValue(SettingsKey::MinutesUntilIdle), 5);

    quitting.setValue(SettingsKey::MinutesUntilIdle, 7);
    ASSERT_TRUE(quitting.synchronize());
    SettingsStore starting(m_file);
    ASSERT_TRUE(starting.load(readAhead));
    EXPECT_EQ(starting.integerValue(SettingsKey::MinutesUntilIdle), 7);
}

TEST_F(SettingsStoreTest, RemovingAValueBringsTheDefaultBack)
{
    SettingsStore settings(m_file);
    settings.setValue(SettingsKey::MinutesUntilIdle, 5);
    settings.setValue(SettingsKey::Apps, QVariant::fromValue(PropertyListDictionary{{QStringLiteral("Version"), 1}}));
    ASSERT_TRUE(settings.synchronize());
    ASSERT_TRUE(settings.load());
    ASSERT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 5);

    settings.removeValue(SettingsKey::MinutesUntilIdle);
    settings.removeValue(SettingsKey::Apps);
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 15);
    EXPECT_FALSE(settings.contains(SettingsKey::Apps));
    ASSERT_TRUE(settings.synchronize());

    SettingsStore reread(m_file);
    ASSERT_TRUE(reread.load());
    expectRegisteredDefaults(reread);
    const PropertyListResult file = PropertyList::readFile(m_file);
    ASSERT_TRUE(file.ok()) << file.error.toStdString();
    EXPECT_EQ(file.value.value<PropertyListDictionary>(), PropertyListDictionary());
}

TEST_F(SettingsStoreTest, TheDefaultsAreNeverWrittenToTheFile)
{
    SettingsStore settings(m_file);
    settings.setValue(SettingsKey::MinutesUntilIdle, 5);
    ASSERT_TRUE(settings.synchronize());
    const PropertyListResult file = PropertyList::readFile(m_file);
    ASSERT_TRUE(file.ok()) << file.error.toStdString();
    EXPECT_EQ(file.value.value<PropertyListDictionary>().keys(), QStringList{SettingsKey::MinutesUntilIdle});
}

// --- files that cannot be read ------------------------------------------------------------------------

TEST_F(SettingsStoreTest, AnUnreadableFileIsMovedAsideAndTheDefaultsApply)
{
    const QList<std::pair<const char *, QByteArray>> files{
        {"garbage", QByteArray("not a property list\x00\xff", 21)},
        {"empty", QByteArray()},
        {"truncated", QByteArrayLiteral("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>minutesUntilIdle</key>")},
        {"array", QByteArrayLiteral("<plist version=\"1.0\"><array><integer>5</integer></array></plist>")},
        {"string", QByteArrayLiteral("<plist version=\"1.0\"><string>minutesUntilIdle</string></plist>")},
    };
    const QRegularExpression asideName(QStringLiteral("^Kestrum\\.plist\\.corrupt-(\\d{8}-\\d{6})$"));
    for (const auto &[what, contents] : files) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(QDir().mkpath(m_settingsDirectory));
        for (const QString &name : directoryEntries(m_settingsDirectory))
            ASSERT_TRUE(QFile::remove(m_settingsDirectory + u'/' + name));
        ASSERT_TRUE(writeRawFile(m_file, contents));

        SettingsStore settings(m_file);
        settings.setValue(SettingsKey::MinutesUntilIdle, 3); // from before the load: forgotten
        const QDateTime before = QDateTime::currentDateTime();
        QString warning;
        LogCapture log;
        EXPECT_FALSE(settings.load(&warning));
        const QDateTime after = QDateTime::currentDateTime();

        // The original bytes, under a name that says when.
        const QStringList aside = keptAside();
        ASSERT_EQ(aside.size(), 1) << aside.join(u' ').toStdString();
        const QRegularExpressionMatch match = asideName.match(aside.first());
        ASSERT_TRUE(match.hasMatch()) << aside.first().toStdString();
        const QDateTime stamp = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
        EXPECT_GE(stamp, before.addMSecs(-before.time().msec()));
        EXPECT_LE(stamp, after);
        const QString asidePath = m_settingsDirectory + u'/' + aside.first();
        EXPECT_EQ(fileContents(asidePath), contents);
        EXPECT_FALSE(QFileInfo::exists(m_file));

        // The warning names both files, in the out-parameter and in the log.
        EXPECT_TRUE(warning.contains(m_file)) << warning.toStdString();
        EXPECT_TRUE(warning.contains(asidePath)) << warning.toStdString();
        EXPECT_EQ(LogCapture::warnings(), QStringList{warning});

        expectRegisteredDefaults(settings);

        // The next save writes a fresh file and keeps the old one beside it.
        settings.setValue(SettingsKey::MinutesUntilIdle, 7);
        QString error;
        ASSERT_TRUE(settings.synchronize(&error)) << error.toStdString();
        EXPECT_EQ(fileContents(asidePath), contents);
        SettingsStore reread(m_file);
        EXPECT_TRUE(reread.load());
        EXPECT_EQ(reread.integerValue(SettingsKey::MinutesUntilIdle), 7);
        EXPECT_EQ(keptAside(), aside);
    }
}

// A file written by hand (here by Python's plistlib) with values Kestrum cannot read as their
// kinds: the file is read, those values are read as their defaults and named in one warning,
// and they stay in the file through the next save.
TEST_F(SettingsStoreTest, ValuesThatCannotBeReadAsTheirKindAreToldReadAsDefaultsAndKept)
{
    ASSERT_TRUE(QDir().mkpath(m_settingsDirectory));
    runPython(QStringLiteral("import plistlib, sys\n"
                             "plistlib.dump({'periodicSaveTime': 'half past six', 'minutesUntilIdle': 'ten',\n"
                             "               'enableIdleDetection': 'maybe', 'startCountingAtLaunch': True}, open(sys.argv[1], 'wb'))"),
              {m_file});

    SettingsStore settings(m_file);
    QString warning;
    LogCapture log;
    EXPECT_TRUE(settings.load(&warning));
    const QStringList expected{
        QStringLiteral("The setting enableIdleDetection is \"maybe\", which is neither yes nor no; yes is used instead."),
        QStringLiteral("The setting minutesUntilIdle is \"ten\", which is no number; 15 is used instead."),
        QStringLiteral("The setting periodicSaveTime is \"half past six\", which is no time of day (HH:MM); 19:00 is used instead."),
    };
    EXPECT_EQ(warning, QStringLiteral("Some settings in %1 cannot be read; until they are set again in Preferences:\n").arg(m_file)
                           + expected.join(u'\n'));
    QStringList logged;
    for (const QString &line : expected)
        logged.append(m_file + QStringLiteral(": ") + line);
    EXPECT_EQ(LogCapture::warnings(), logged);
    EXPECT_TRUE(keptAside().isEmpty());

    EXPECT_TRUE(settings.boolValue(SettingsKey::EnableIdleDetection));
    EXPECT_EQ(settings.integerValue(SettingsKey::MinutesUntilIdle), 15);
    EXPECT_EQ(settings.timeValue(SettingsKey::PeriodicSaveTime), QTime(19, 0));
    EXPECT_TRUE(settings.boolValue(SettingsKey::StartCountingAtLaunch));

    ASSERT_TRUE(settings.synchronize());
    const PropertyListDictionary saved = PropertyList::readFile(m_file).value.value<PropertyListDictionary>();
    EXPECT_EQ(saved.value(SettingsKey::PeriodicSaveTime), QStringLiteral("half past six"));
    EXPECT_EQ(saved.value(SettingsKey::MinutesUntilIdle), QStringLiteral("ten"));
}

TEST_F(SettingsStoreTest, AnUnreadableFileIsNeverSavedOverWhenItsPlaceAsideIsTaken)
{
    // Files kept from earlier starts hold every name the next seconds could give.
    ASSERT_TRUE(QDir().mkpath(m_settingsDirectory));
    const QDateTime now = QDateTime::currentDateTime();
    QStringList kept;
    for (int second = -2; second <= 30; ++second) {
        const QString name = QStringLiteral("Kestrum.plist.corrupt-") + now.addSecs(second).toString(QStringLiteral("yyyyMMdd-HHmmss"));
        ASSERT_TRUE(writeRawFile(m_settingsDirectory + u'/' + name, name.toUtf8()));
        kept.append(name);
    }
    ASSERT_TRUE(writeRawFile(m_file, "unreadable"));

    SettingsStore settings(m_file);
    QString warning;
    EXPECT_FALSE(settings.load(&warning));
    EXPECT_TRUE(warning.contains(m_file)) << warning.toStdString();
    expectRegisteredDefaults(settings);

    settings.setValue(SettingsKey::MinutesUntilIdle, 5);
    QString error;
    EXPECT_FALSE(settings.synchronize(&error));
    EXPECT_TRUE(error.contains(m_file)) << error.toStdString();
    EXPECT_EQ(fileContents(m_file), "unreadable");
    for (const QString &name : kept)
        EXPECT_EQ(fileContents(m_settingsDirectory + u'/' + name), name.toUtf8());
    EXPECT_EQ(directoryEntries(m_settingsDirectory).size(), kept.size() + 1);
}

TEST_F(SettingsStoreTest, AFileThatCannotBeMovedAsideIsNeverOverwritten)
{
    // Unreadable to an ordinary user, in a directory it cannot change.
    ASSERT_TRUE(QDir().mkpath(m_settingsDirectory));
    ASSERT_TRUE(writeRawFile(m_file, "<plist version=\"1.0\"><dict/></plist>", 0600));
    ASSERT_EQ(::chmod(QFile::encodeName(m_directory.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("config"))).constData(), 0755), 0);

    const Outcome outcome = inReadOnlyDirectoryAsUser(m_settingsDirectory, [&] {
        SettingsStore settings(m_file);
        QString warning;
        if (settings.load(&warning))
            return Outcome{true, QStringLiteral("loaded")};
        settings.setValue(SettingsKey::MinutesUntilIdle, 5);
        QString error;
        if (settings.synchronize(&error))
            return Outcome{true, QStringLiteral("saved over it")};
        return Outcome{false, warning + u'\n' + error};
    });

    EXPECT_FALSE(outcome.ok) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.error.startsWith(QStringLiteral("Could not read the settings file ") + m_file)) << outcome.error.toStdString();
    EXPECT_EQ(fileContents(m_file), "<plist version=\"1.0\"><dict/></plist>");
    EXPECT_EQ(directoryEntries(m_settingsDirectory), QStringList{QStringLiteral("Kestrum.plist")});
}

// --- the support directory -----------------------------------------------------------------------------

TEST_F(SettingsStoreTest, TheSettingsFolderIsTheUsersAloneAndAFolderThatCannotBeMadeIsNamed)
{
    const mode_t previous = ::umask(022);
    SettingsStore settings(m_file);
    settings.setValue(SettingsKey::MinutesUntilIdle, 5);
    EXPECT_TRUE(settings.synchronize());
    ::umask(previous);
    EXPECT_EQ(fileMode(m_settingsDirectory), mode_t(0700));

    // A folder that exists keeps the mode its owner gave it.
    ASSERT_EQ(::chmod(QFile::encodeName(m_settingsDirectory).constData(), 0750), 0);
    EXPECT_TRUE(settings.synchronize());
    EXPECT_EQ(fileMode(m_settingsDirectory), mode_t(0750));

    // The reason is the one the failing call gave, with the folder it concerns.
    ASSERT_TRUE(writeRawFile(path(QStringLiteral("blocked")), "a file where a folder should be"));
    SettingsStore blocked(path(QStringLiteral("blocked/Kestrum/Kestrum.plist")));
    QString error;
    EXPECT_FALSE(blocked.synchronize(&error));
    EXPECT_EQ(error, QStringLiteral("cannot create the folder \"%1\": Not a directory").arg(path(QStringLiteral("blocked"))));
}

TEST_F(SettingsStoreTest, PeriodicSavesGoToTheSupportDirectoryUnlessTheUserChoosesAnother)
{
    EXPECT_EQ(SettingsStore::supportDirectory(), path(QStringLiteral("home/.local/share/Kestrum")));
    EXPECT_EQ(SettingsStore(m_file).value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("~/.local/share/Kestrum"));
    {
        const EnvironmentGuard data("XDG_DATA_HOME", path(QStringLiteral("home/data")));
        EXPECT_EQ(SettingsStore(m_file).value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("~/data/Kestrum"));
    }
    {
        const EnvironmentGuard data("XDG_DATA_HOME", path(QStringLiteral("home-data")));
        EXPECT_EQ(SettingsStore::supportDirectory(), path(QStringLiteral("home-data/Kestrum")));
        SettingsStore settings(m_file);
        EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), path(QStringLiteral("home-data/Kestrum")));
        settings.setValue(SettingsKey::PeriodicSaveDirectory, QStringLiteral("/srv/timings"));
        EXPECT_EQ(settings.value(SettingsKey::PeriodicSaveDirectory).toString(), QStringLiteral("/srv/timings"));
    }
}

TEST_F(SettingsStoreTest, TheSupportDirectoryIsCreatedForTheUserAlone)
{
    const EnvironmentGuard data("XDG_DATA_HOME", path(QStringLiteral("data")));
    const QString support = path(QStringLiteral("data/Kestrum"));
    EXPECT_EQ(SettingsStore::supportDirectory(), support);

    const mode_t previous = ::umask(0);
    SettingsStore::ensureSupportDirectory();
    ::umask(previous);
    EXPECT_TRUE(QFileInfo(support).isDir());
    EXPECT_EQ(fileMode(support), mode_t(0700));

    // Not created again: what is inside stays.
    ASSERT_TRUE(writeRawFile(support + QStringLiteral("/2026-01-05.csv"), "kept"));
    const LogCapture log;
    SettingsStore::ensureSupportDirectory();
    EXPECT_EQ(LogCapture::warnings(), QStringList());
    EXPECT_EQ(directoryEntries(support), QStringList{QStringLiteral("2026-01-05.csv")});
}

TEST_F(SettingsStoreTest, WhateverIsAtTheSupportPathIsLeftAlone)
{
    const EnvironmentGuard data("XDG_DATA_HOME", path(QStringLiteral("data")));
    const QString support = path(QStringLiteral("data/Kestrum"));
    ASSERT_TRUE(QDir().mkpath(support));
    ASSERT_EQ(::chmod(QFile::encodeName(support).constData(), 0755), 0);
    const LogCapture log;
    SettingsStore::ensureSupportDirectory();
    EXPECT_EQ(fileMode(support), mode_t(0755));

    ASSERT_TRUE(QDir(support).removeRecursively());
    ASSERT_TRUE(writeRawFile(support, "a file, not a directory"));
    SettingsStore::ensureSupportDirectory();
    EXPECT_TRUE(QFileInfo(support).isFile());
    EXPECT_EQ(fileContents(support), "a file, not a directory");
    EXPECT_EQ(LogCapture::warnings(), QStringList());
}
