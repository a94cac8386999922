// The daily save of the timings into dated files: when it fires, on which weekdays, which files
// it writes and under which names, and what happens to the store when a write fails.

#include "ControllerFixture.h"

#include "shell/PeriodicSave.h"

#include <QFileInfo>

#include <ctime>

namespace {

const QDate Monday(2026, 1, 5);
const QDate Wednesday(2026, 1, 7);
const QDate Thursday(2026, 1, 8);

QDateTime at(QDate date, int hour, int minute = 0, int second = 0)
{
    return QDateTime(date, QTime(hour, minute, second));
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

// --- the first fire ---------------------------------------------------------------------------------

struct FirstFireRow
{
    QTime builtAt;
    int daysLater;
    QTime firesAt;
};

class PeriodicFirstFire : public ::testing::TestWithParam<FirstFireRow>
{
};

TEST_P(PeriodicFirstFire, IsTheNextSevenOClock)
{
    const FirstFireRow row = GetParam();
    const QDateTime built(Thursday, row.builtAt);
    EXPECT_EQ(PeriodicSave::nextOccurrence(built, QTime(19, 0)), QDateTime(Thursday.addDays(row.daysLater), row.firesAt));
}

INSTANTIATE_TEST_SUITE_P(At1900, PeriodicFirstFire,
                         ::testing::Values(FirstFireRow{QTime(14, 37, 12), 0, QTime(19, 0)},
                                           FirstFireRow{QTime(18, 30, 0), 0, QTime(19, 0)},
                                           FirstFireRow{QTime(18, 59, 59), 0, QTime(19, 0)},
                                           FirstFireRow{QTime(19, 0, 0), 1, QTime(19, 0)},
                                           FirstFireRow{QTime(19, 20, 0), 1, QTime(19, 0)},
                                           FirstFireRow{QTime(23, 5, 0), 1, QTime(19, 0)},
                                           FirstFireRow{QTime(0, 30, 0), 0, QTime(19, 0)}));

TEST(PeriodicFirstFireRule, OnlyTheHourAndMinuteOfTheSettingCount)
{
    const QDateTime now = at(Thursday, 9, 15);
    EXPECT_EQ(PeriodicSave::nextOccurrence(now, QDateTime(QDate(2001, 1, 1), QTime(17, 0)).time()), at(Thursday, 17));
    EXPECT_EQ(PeriodicSave::nextOccurrence(now, QTime(9, 30, 45)), at(Thursday, 9, 30));
    // A time set two seconds before the minute before it still fires at that minute.
    EXPECT_EQ(PeriodicSave::nextOccurrence(at(Thursday, 1, 29, 58), QTime(1, 31)), at(Thursday, 1, 31));
}

// --- the weekday mask ----------------------------------------------------------------------------------

TEST(PeriodicWeekdays, SundayIsZeroAndSaturdaySix)
{
    EXPECT_EQ(PeriodicSave::weekdayNumber(QDate(2026, 1, 4)), 0);
    EXPECT_EQ(PeriodicSave::weekdayNumber(Monday), 1);
    EXPECT_EQ(PeriodicSave::weekdayNumber(Thursday), 4);
    EXPECT_EQ(PeriodicSave::weekdayNumber(QDate(2026, 1, 10)), 6);
}

TEST(PeriodicWeekdays, BitIStandsForWeekdayIAndHigherBitsAreIgnored)
{
    EXPECT_TRUE(PeriodicSave::savesOnWeekday(16, 4));
    EXPECT_FALSE(PeriodicSave::savesOnWeekday(16, 3));
    EXPECT_FALSE(PeriodicSave::savesOnWeekday(0, 4));
    for (int day = 0; day < 7; ++day)
        EXPECT_FALSE(PeriodicSave::savesOnWeekday(0xFF80, day)) << day;
    EXPECT_TRUE(PeriodicSave::savesOnWeekday(0xFF81, 0));
    EXPECT_TRUE(PeriodicSave::savesOnWeekday(127, 6));
}

TEST(PeriodicWeekdays, MondayAndTuesdayAreTheMaskSix)
{
    const WeekdaySelection mondayAndTuesday{false, true, true, false, false, false, false};
    EXPECT_EQ(PeriodicSave::maskForSelection(mondayAndTuesday), 6u);
    EXPECT_EQ(PeriodicSave::selectionForMask(6), mondayAndTuesday);
    EXPECT_EQ(PeriodicSave::selectionForMask(6 | 128), mondayAndTuesday);
    EXPECT_EQ(PeriodicSave::maskForSelection(PeriodicSave::selectionForMask(127)), 127u);
}

// --- the schedule and the save, on the controller ---------------------------------------------------------

class PeriodicSaving : public ControllerFixture
{
protected:
    // The controller as the application builds it at 18:00 on `date`, with idle detection off
    // so that a long stretch stays with the editor.
    void startAt(QDate date, int hour = 18)
    {
        scheduler.setWallTime(at(date, hour));
        createController();
        settings->setValue(SettingsKey::EnableIdleDetection, false);
    }

    // Switches the daily save on at 19:00 and rebuilds the schedule, as the preferences window does.
    void switchOn(int format = 2, quint64 mask = 16)
    {
        settings->setValue(SettingsKey::PeriodicFormatType, format);
        settings->setValue(SettingsKey::PeriodicDaysOfWeek, mask);
        settings->setValue(SettingsKey::PeriodicSaveTime, QDateTime(QDate(2001, 1, 1), QTime(19, 0)));
        settings->setValue(SettingsKey::SaveTimerPeriodically, true);
        controller->updatedSaveTimerPeriodically();
    }

    QString saveDirectory() const { return home.filePath(QStringLiteral(".local/share/Kestrum")); }
    QString savedFile(const QString &name) const { return QDir(saveDirectory()).filePath(name); }
    QStringList savedFiles() const
    {
        return QDir(saveDirectory()).entryList(QDir::Files, QDir::Name);
    }
};

TEST_F(PeriodicSaving, SwitchedOffThereIsNoTimerAndNothingIsEverSaved)
{
    startAt(Thursday);
    controller->updatedSaveTimerPeriodically();
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
    EXPECT_FALSE(controller->periodicSave().isScheduled());

    switchOn();
    EXPECT_EQ(scheduler.activeTimerCount(), 1);

    settings->setValue(SettingsKey::SaveTimerPeriodically, false);
    controller->updatedSaveTimerPeriodically();
    EXPECT_EQ(scheduler.activeTimerCount(), 0);
    controller->toggleCounting();
    scheduler.advance(2 * 86400);
    EXPECT_TRUE(savedFiles().isEmpty());
}

TEST_F(PeriodicSaving, TheScheduleIsBuiltAtStartFromTheStoredSettings)
{
    ASSERT_NO_FATAL_FAILURE(writeSettings({{SettingsKey::SaveTimerPeriodically, true}}));
    scheduler.setWallTime(at(Thursday, 14, 37, 12));
    createController();
    ASSERT_TRUE(controller->periodicSave().nextFire().has_value());
    EXPECT_EQ(*controller->periodicSave().nextFire(), at(Thursday, 19));
    EXPECT_EQ(scheduler.activeTimerCount(), 1);
}

TEST_F(PeriodicSaving, AThursdayFireWritesBothFilesUnderTheDateAndStartsTheStoreOver)
{
    startAt(Thursday);
    switchOn();
    controller->toggleCounting();

    scheduler.advance(3599);
    EXPECT_TRUE(savedFiles().isEmpty());
    scheduler.advance(1);
    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("2026-01-08.csv"), QStringLiteral("2026-01-08.kestrum")}));

    // The files hold the whole hour; the store holds only what came after.
    EXPECT_TRUE(readText(savedFile(QStringLiteral("2026-01-08.csv"))).contains(QStringLiteral(",Editor,01:00:00,notes.txt,01:00:00")));
    const PropertyListResult document = readTimingDocument(savedFile(QStringLiteral("2026-01-08.kestrum")));
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    const QVariantList apps = document.value.value<PropertyListDictionary>().value(QStringLiteral("Apps")).toList();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_DOUBLE_EQ(apps.constFirst().toMap().value(QStringLiteral("App")).toMap().value(QStringLiteral("ActiveTime")).toDouble(), 3600.0);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 0.0);
    // The stored timings started over too, so a restart does not bring the hour back.
    EXPECT_DOUBLE_EQ(savedAppTimes().value(editorName(), -1.0), 0.0);

    scheduler.advance(60);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 60.0);
    // The next fire is a day later at the same time.
    EXPECT_EQ(*controller->periodicSave().nextFire(), at(Thursday.addDays(1), 19));
}

TEST_F(PeriodicSaving, AWednesdayFireWritesNothingAndKeepsTheStore)
{
    startAt(Wednesday);
    switchOn();
    controller->toggleCounting();
    scheduler.advance(3660);
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3660.0);
}

TEST_F(PeriodicSaving, AFireWhileCountingIsPausedWritesNothingAndKeepsTheStore)
{
    startAt(Thursday);
    switchOn();
    controller->toggleCounting();
    scheduler.advance(600);
    controller->toggleCounting();
    scheduler.advance(3600);
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_DOUBLE_EQ(appTime(editorName()), 600.0);
}

TEST_F(PeriodicSaving, TheMaskSixSavesOnMondayAndTuesdayOnly)
{
    startAt(Monday);
    controller->setPeriodicDaysOfWeek({false, true, true, false, false, false, false});
    EXPECT_EQ(settings->integerValue(SettingsKey::PeriodicDaysOfWeek), 6);
    EXPECT_EQ(controller->selectProperPeriodicDaysOfWeek(), PeriodicSave::selectionForMask(6));
    switchOn(1, 6);
    controller->toggleCounting();
    // Monday, Tuesday and Wednesday at 19:00.
    scheduler.advance(2 * 86400 + 3660);
    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("2026-01-05.kestrum"), QStringLiteral("2026-01-06.kestrum")}));
}

TEST_F(PeriodicSaving, EachFormatWritesItsOwnFiles)
{
    const QList<std::pair<int, QStringList>> formats{
        {0, {QStringLiteral("2026-01-08.csv")}},
        {1, {QStringLiteral("2026-01-08.kestrum")}},
        {2, {QStringLiteral("2026-01-08.csv"), QStringLiteral("2026-01-08.kestrum")}},
    };
    startAt(Thursday);
    controller->toggleCounting();
    for (const auto &[format, files] : formats) {
        QDir(saveDirectory()).removeRecursively();
        QDir().mkpath(saveDirectory());
        settings->setValue(SettingsKey::PeriodicFormatType, format);
        scheduler.advance(10);
        EXPECT_EQ(controller->doPeriodicSave(), PeriodicSaveOutcome::Saved) << format;
        EXPECT_EQ(savedFiles(), files) << format;
        EXPECT_DOUBLE_EQ(appTime(editorName()), 0.0) << format;
    }
}

TEST_F(PeriodicSaving, ALaterSaveOnTheSameDateNeverOverwritesAndBothFilesShareOneName)
{
    startAt(Thursday);
    controller->toggleCounting();
    scheduler.advance(10);
    ASSERT_EQ(controller->doPeriodicSave(), PeriodicSaveOutcome::Saved);
    scheduler.advance(20);
    ASSERT_EQ(controller->doPeriodicSave(), PeriodicSaveOutcome::Saved);

    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("2026-01-08 2.csv"), QStringLiteral("2026-01-08 2.kestrum"),
                                         QStringLiteral("2026-01-08.csv"), QStringLiteral("2026-01-08.kestrum")}));
    EXPECT_TRUE(readText(savedFile(QStringLiteral("2026-01-08.csv"))).contains(QStringLiteral(",Editor,00:00:10,")));
    EXPECT_TRUE(readText(savedFile(QStringLiteral("2026-01-08 2.csv"))).contains(QStringLiteral(",Editor,00:00:20,")));

    // A document of the date alone is enough to move both files of the next save on.
    QDir(saveDirectory()).removeRecursively();
    QDir().mkpath(saveDirectory());
    QFile(savedFile(QStringLiteral("2026-01-08.kestrum"))).open(QIODevice::WriteOnly);
    scheduler.advance(5);
    ASSERT_EQ(controller->doPeriodicSave(), PeriodicSaveOutcome::Saved);
    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("2026-01-08 2.csv"), QStringLiteral("2026-01-08 2.kestrum"),
                                         QStringLiteral("2026-01-08.kestrum")}));
    EXPECT_EQ(QFileInfo(savedFile(QStringLiteral("2026-01-08.kestrum"))).size(), 0);
}

TEST_F(PeriodicSaving, AFailedWriteKeepsTheStoreAndIsReportedOnce)
{
    startAt(Thursday);
    // A plain file where the directory should be: no file can be written into it.
    const QString blocked = home.filePath(QStringLiteral("not-a-directory"));
    QFile(blocked).open(QIODevice::WriteOnly);
    controller->setPeriodicSaveDirectory(blocked);
    QStringList reported;
    QObject::connect(controller.get(), &KestrumController::periodicSaveFailed,
                     [&reported](const QString &error) { reported.append(error); });
    switchOn();
    controller->toggleCounting();

    scheduler.advance(3600);
    EXPECT_EQ(reported.size(), 1);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3600.0);
    scheduler.advance(60);
    EXPECT_DOUBLE_EQ(appTime(editorName()), 3660.0);
}

TEST_F(PeriodicSaving, AnUnknownFormatWritesNothingAndResetsNothing)
{
    startAt(Thursday);
    controller->toggleCounting();
    settings->setValue(SettingsKey::PeriodicFormatType, 7);
    scheduler.advance(30);
    EXPECT_EQ(controller->doPeriodicSave(), PeriodicSaveOutcome::UnknownFormat);
    EXPECT_TRUE(savedFiles().isEmpty());
    EXPECT_DOUBLE_EQ(appTime(editorName()), 30.0);
}

TEST_F(PeriodicSaving, ALeadingTildeInTheDirectoryIsTheHomeDirectory)
{
    startAt(Thursday);
    QDir(home.path()).mkdir(QStringLiteral("dated"));
    controller->setPeriodicSaveDirectory(QStringLiteral("~/dated"));
    settings->setValue(SettingsKey::PeriodicFormatType, 0);
    controller->toggleCounting();
    scheduler.advance(5);
    ASSERT_EQ(controller->doPeriodicSave(), PeriodicSaveOutcome::Saved);
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("dated/2026-01-08.csv"))));
}

TEST_F(PeriodicSaving, AFireMissedDuringSleepHappensOnceOnWake)
{
    startAt(Thursday);
    switchOn();
    controller->toggleCounting();
    scheduler.advance(1800);

    // Asleep from 18:30 to 23:00: the monotonic clock stands still, the wall clock jumps.
    controller->stopTimerWithCondition();
    scheduler.setWallTime(at(Thursday, 23));
    controller->conditionallyStartTimer();

    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("2026-01-08.csv"), QStringLiteral("2026-01-08.kestrum")}));
    EXPECT_TRUE(readText(savedFile(QStringLiteral("2026-01-08.csv"))).contains(QStringLiteral(",Editor,00:30:00,")));
    EXPECT_EQ(*controller->periodicSave().nextFire(), at(Thursday.addDays(1), 19));
    // The timer armed before the sleep is gone: nothing more is saved tonight.
    scheduler.advance(3 * 3600);
    EXPECT_EQ(savedFiles().size(), 2);
    EXPECT_EQ(scheduler.activeTimerCount(), 2); // the tick and the schedule
}

TEST_F(PeriodicSaving, ASleepOverSeveralDaysStillSavesOnlyOnce)
{
    startAt(Thursday);
    switchOn(0, 127);
    controller->toggleCounting();
    controller->stopTimerWithCondition();
    scheduler.setWallTime(at(Thursday.addDays(3), 20));
    controller->conditionallyStartTimer();
    EXPECT_EQ(savedFiles(), QStringList({QStringLiteral("2026-01-11.csv")}));
    EXPECT_EQ(*controller->periodicSave().nextFire(), at(Thursday.addDays(4), 19));
}

TEST_F(PeriodicSaving, AClockChangeMovesTheFireToTheNewWallClock)
{
    startAt(Thursday);
    switchOn();
    controller->toggleCounting();

    // The clock is set 50 minutes forward: 19:00 is now ten minutes away.
    scheduler.setWallTime(at(Thursday, 18, 50));
    controller->rescheduleAfterClockChange();
    scheduler.advance(599);
    EXPECT_TRUE(savedFiles().isEmpty());
    scheduler.advance(1);
    EXPECT_EQ(savedFiles().size(), 2);
}

TEST_F(PeriodicSaving, ATimerThatRunsOutBeforeTheTimeOfDayWaitsForIt)
{
    startAt(Thursday);
    switchOn();
    controller->toggleCounting();
    // The clock is set back ten minutes, and nothing tells Kestrum.
    scheduler.setWallTime(at(Thursday, 17, 50));
    scheduler.advance(3600);
    EXPECT_TRUE(savedFiles().isEmpty());
    scheduler.advance(600);
    EXPECT_EQ(savedFiles().size(), 2);
}

TEST_F(PeriodicSaving, TheDailyFireKeepsItsWallClockTimeAcrossADaylightSavingChange)
{
    // In Berlin the clocks go forward in the night to Sunday, 29 March 2026.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QDate saturday(2026, 3, 28);
    startAt(saturday);
    switchOn(0, 127);
    controller->toggleCounting();
    scheduler.advance(3600);
    EXPECT_EQ(savedFiles(), QStringList{QStringLiteral("2026-03-28.csv")});
    // That night is an hour short: Sunday's save comes 23 hours after Saturday's, at 19:00.
    EXPECT_EQ(*controller->periodicSave().nextFire(), at(saturday.addDays(1), 19));
    scheduler.advance(23 * 3600 - 1);
    EXPECT_EQ(savedFiles().size(), 1);
    scheduler.advance(1);
    EXPECT_EQ(savedFiles().size(), 2);
    EXPECT_EQ(scheduler.wallNow().time(), QTime(19, 0));
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    tzset();
}

TEST_F(PeriodicSaving, OneScheduleServesTheWholeProcess)
{
    startAt(Thursday);
    switchOn();
    ASSERT_EQ(scheduler.activeTimerCount(), 1);
    {
        KestrumController second(ControllerPorts{scheduler, desktop, desktop, desktop, *settings, questions});
        // The second schedule replaces the first: one save a day, not two.
        EXPECT_EQ(scheduler.activeTimerCount(), 1);
    }
}
