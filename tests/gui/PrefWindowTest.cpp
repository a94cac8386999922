// The preferences window: every control writes its setting at once, the periodic save's
// controls rebuild its schedule, and showing the window shows what is stored now.

#include "MainWindowFixture.h"
#include "shell/gui/PrefWindow.h"
#include "sync/SharedCategories.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QSysInfo>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

namespace {

// The weekdays whose toggles are on, by index (0 = Sunday).
QList<int> checkedWeekdays(const PrefWindow &prefs)
{
    QList<int> days;
    for (int day = 0; day < 7; ++day) {
        if (prefs.periodicDaysOfWeek()[size_t(day)]->isChecked())
            days.append(day);
    }
    return days;
}

} // namespace

class PrefWindowTest : public MainWindowFixture
{
protected:
    // The window as the Preferences… command shows it.
    PrefWindow &showPreferences()
    {
        if (!window)
            openWindow();
        window->showPreferences();
        PrefWindow &prefs = window->prefWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&prefs));
        return prefs;
    }

    void reopen(PrefWindow &prefs)
    {
        prefs.close();
        window->showPreferences();
    }

    // A click near the left edge, where a check box's box is, whatever the width of its row.
    void click(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(qMin(8, button->width() / 2), button->height() / 2));
    }

    qint64 stored(const QString &key) const { return settings->integerValue(key); }
    bool storedFlag(const QString &key) const { return settings->boolValue(key); }
};

namespace {
QStringList g_logged;
void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_logged.append(message);
}
} // namespace

TEST_F(PrefWindowTest, ShowingTheWindowWritesNothingToTheLogUnlessAskedTo)
{
    openWindow();
    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    showPreferences();
    reopen(window->prefWindow());
    qInstallMessageHandler(previous);
    EXPECT_TRUE(g_logged.filter(QStringLiteral("Weekday")).isEmpty()) << g_logged.join(u'\n').toStdString();
}

TEST_F(PrefWindowTest, SelectingMondayAndTuesdayStoresSixAndShowsExactlyThoseWhenShownAgain)
{
    PrefWindow &prefs = showPreferences();
    click(prefs.periodicSaveBox());
    EXPECT_EQ(checkedWeekdays(prefs), QList<int>{4}) << "Thursday is the default";

    click(prefs.periodicDaysOfWeek()[4]); // Thursday off
    click(prefs.periodicDaysOfWeek()[1]); // Monday
    click(prefs.periodicDaysOfWeek()[2]); // Tuesday
    EXPECT_EQ(stored(SettingsKey::PeriodicDaysOfWeek), 6);

    reopen(prefs);
    EXPECT_EQ(checkedWeekdays(prefs), (QList<int>{1, 2}));
}

TEST_F(PrefWindowTest, ShowingTheWindowShowsTheMaskStoredMeanwhile)
{
    PrefWindow &prefs = showPreferences();
    prefs.close();
    // Sunday and Saturday, and a high bit that selects no weekday.
    settings->setValue(SettingsKey::PeriodicDaysOfWeek, 1u | 64u | 256u);
    window->showPreferences();
    EXPECT_EQ(checkedWeekdays(prefs), (QList<int>{0, 6}));
    // Showing alone writes nothing back.
    EXPECT_EQ(stored(SettingsKey::PeriodicDaysOfWeek), 1 | 64 | 256);

    // Asked for again while it is open, it shows what is stored by then.
    settings->setValue(SettingsKey::PeriodicDaysOfWeek, 2u);
    window->showPreferences();
    EXPECT_EQ(checkedWeekdays(prefs), QList<int>{1});
}

TEST_F(PrefWindowTest, CountingControlsWriteTheirSettingsAtOnce)
{
    PrefWindow &prefs = showPreferences();
    EXPECT_TRUE(prefs.idleDetectionBox()->isChecked());
    EXPECT_EQ(prefs.idleMinutesBox()->value(), 15);

    prefs.idleMinutesBox()->setValue(20);
    EXPECT_EQ(stored(SettingsKey::MinutesUntilIdle), 20);
    // The minutes cannot go below one: zero would make every moment idle.
    prefs.idleMinutesBox()->setValue(0);
    EXPECT_EQ(stored(SettingsKey::MinutesUntilIdle), 1);

    click(prefs.idleDetectionBox());
    EXPECT_FALSE(storedFlag(SettingsKey::EnableIdleDetection));
    EXPECT_FALSE(prefs.idleMinutesBox()->isEnabled());

    click(prefs.documentMonitoringBox());
    EXPECT_FALSE(storedFlag(SettingsKey::EnableDocumentMonitoring));

    click(prefs.startCountingBox());
    EXPECT_TRUE(storedFlag(SettingsKey::StartCountingAtLaunch));
}

TEST_F(PrefWindowTest, IncludingIdleChangesTheTotalAtOnce)
{
    writeSavedTimings({{editorName(), 60.0, {}}, {QStringLiteral("Idle"), 600.0, {}}});
    PrefWindow &prefs = showPreferences();
    EXPECT_EQ(totalText(), TimeTracker::timeStringForDouble(60.0));
    click(prefs.idleInTotalBox());
    EXPECT_TRUE(storedFlag(SettingsKey::IncludeIdleInSumOfTimes));
    EXPECT_EQ(totalText(), TimeTracker::timeStringForDouble(660.0));
}

TEST_F(PrefWindowTest, ThePeriodicSaveControlsRebuildTheSchedule)
{
    // Tuesday 10:30: a save time of 12:30 lies later today, and is today's, not tomorrow's.
    scheduler.setWallTime(QDateTime(QDate(2026, 12, 8), QTime(10, 30)));
    PrefWindow &prefs = showPreferences();
    EXPECT_FALSE(controller->periodicSave().isScheduled());
    EXPECT_FALSE(prefs.periodicTimeEdit()->isEnabled());

    click(prefs.periodicSaveBox());
    EXPECT_TRUE(storedFlag(SettingsKey::SaveTimerPeriodically));
    EXPECT_TRUE(controller->periodicSave().isScheduled());
    EXPECT_TRUE(prefs.periodicTimeEdit()->isEnabled());

    prefs.periodicTimeEdit()->setTime(QTime(12, 30));
    EXPECT_EQ(PeriodicSave::timeOfDay(*settings), QTime(12, 30));
    ASSERT_TRUE(controller->periodicSave().nextFire());
    EXPECT_EQ(*controller->periodicSave().nextFire(), QDateTime(QDate(2026, 12, 8), QTime(12, 30)));

    click(prefs.periodicSaveBox());
    EXPECT_FALSE(controller->periodicSave().isScheduled());
}

TEST_F(PrefWindowTest, TheFormatChoiceIsTheSettingsValueAndAnUnknownOneShowsNoChoice)
{
    PrefWindow &prefs = showPreferences();
    EXPECT_EQ(prefs.formatBox()->currentData().toInt(), PeriodicFormat::CsvAndDocument);
    prefs.formatBox()->setCurrentIndex(prefs.formatBox()->findData(PeriodicFormat::CsvOnly));
    EXPECT_EQ(stored(SettingsKey::PeriodicFormatType), 0);

    prefs.close();
    settings->setValue(SettingsKey::PeriodicFormatType, 7);
    window->showPreferences();
    EXPECT_EQ(prefs.formatBox()->currentIndex(), -1);
    EXPECT_EQ(stored(SettingsKey::PeriodicFormatType), 7);
}

// What the window shows of a value that cannot be read as its kind is what Kestrum uses instead,
// the default; the value stays until the user sets it here.
TEST_F(PrefWindowTest, ValuesThatCannotBeReadShowWhatIsUsedInsteadAndStayUntilSet)
{
    openWindow();
    settings->setValue(SettingsKey::PeriodicSaveTime, QStringLiteral("half past six"));
    settings->setValue(SettingsKey::MinutesUntilIdle, QStringLiteral("ten"));
    settings->setValue(SettingsKey::EnableIdleDetection, QStringLiteral("maybe"));
    settings->setValue(SettingsKey::PeriodicSaveDirectory, 5);
    PrefWindow &prefs = showPreferences();
    EXPECT_EQ(prefs.periodicTimeEdit()->time(), QTime(19, 0));
    EXPECT_EQ(prefs.idleMinutesBox()->value(), 15);
    EXPECT_TRUE(prefs.idleDetectionBox()->isChecked());
    EXPECT_EQ(prefs.directoryField()->text(), home.filePath(QStringLiteral(".local/share/Kestrum")));
    EXPECT_EQ(settings->value(SettingsKey::MinutesUntilIdle), QStringLiteral("ten"));

    click(prefs.periodicSaveBox());
    prefs.periodicTimeEdit()->setTime(QTime(6, 30));
    EXPECT_EQ(settings->timeValue(SettingsKey::PeriodicSaveTime), QTime(6, 30));
    EXPECT_EQ(unreadableSettingWarning(*settings, SettingsKey::PeriodicSaveTime), QString());
}

TEST_F(PrefWindowTest, TheChosenFolderIsStoredAbsoluteAndShown)
{
    PrefWindow &prefs = showPreferences();
    EXPECT_EQ(prefs.directoryField()->text(), home.filePath(QStringLiteral(".local/share/Kestrum")));
    const QString chosen = home.filePath(QStringLiteral("Timings"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    prefs.chooseDirectory(home.filePath(QStringLiteral("Timings/../Timings")));
    EXPECT_EQ(settings->value(SettingsKey::PeriodicSaveDirectory).toString(), chosen);
    EXPECT_EQ(prefs.directoryField()->text(), chosen);
}

TEST_F(PrefWindowTest, OpenAtLoginWritesAndRemovesTheAutostartEntry)
{
    const QString entry = home.filePath(QStringLiteral(".config/autostart/kestrum.desktop"));
    PrefWindow &prefs = showPreferences();
    EXPECT_FALSE(prefs.openAtLoginBox()->isChecked());

    click(prefs.openAtLoginBox());
    ASSERT_TRUE(QFile::exists(entry));
    EXPECT_EQ(QFile::permissions(entry) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    reopen(prefs);
    EXPECT_TRUE(prefs.openAtLoginBox()->isChecked());

    click(prefs.openAtLoginBox());
    EXPECT_FALSE(QFile::exists(entry));
}

TEST_F(PrefWindowTest, AnAutostartEntryThatCannotBeWrittenIsReportedAndNotShownAsOn)
{
    // A plain file where the autostart folder belongs.
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral(".config"))));
    QFile blocker(home.filePath(QStringLiteral(".config/autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    PrefWindow &prefs = showPreferences();
    const ModalSeen seen = runAnsweringMessageBox([&] { click(prefs.openAtLoginBox()); }, QStringLiteral("OK"));
    EXPECT_EQ(seen.count, 1);
    EXPECT_TRUE(seen.text.contains(QStringLiteral("open at login"))) << seen.text.toStdString();
    EXPECT_FALSE(seen.informativeText.isEmpty());
    EXPECT_FALSE(prefs.openAtLoginBox()->isChecked());
}

TEST_F(PrefWindowTest, TheDesktopNoteShowsOnlyWhereThereIsOneAndFollowsChanges)
{
    openWindow();
    // Given before the preferences window exists, as at start on GNOME.
    window->setDesktopNote(QStringLiteral("Kestrum's GNOME Shell extension is installed but not enabled."));
    PrefWindow &prefs = showPreferences();
    EXPECT_TRUE(prefs.desktopNoteLabel()->isVisible());
    EXPECT_EQ(prefs.desktopNoteLabel()->text(), QStringLiteral("Kestrum's GNOME Shell extension is installed but not enabled."));
    window->setDesktopNote(QString());
    EXPECT_FALSE(prefs.desktopNoteLabel()->isVisible());
}

TEST_F(PrefWindowTest, PrivacyRulesAreStoredAsEditedAndABadPatternIsPointedOut)
{
    PrefWindow &prefs = showPreferences();
    prefs.privateApplicationsEdit()->setPlainText(QStringLiteral("Browser\n\n  Mail  "));
    EXPECT_EQ(settings->value(SettingsKey::PrivateApplications).toStringList(), QStringList({QStringLiteral("Browser"), QStringLiteral("Mail")}));
    prefs.privatePatternsEdit()->setPlainText(QStringLiteral("bank\n(unclosed"));
    EXPECT_EQ(settings->value(SettingsKey::PrivateTitlePatterns).toStringList(), QStringList({QStringLiteral("bank"), QStringLiteral("(unclosed")}));
    EXPECT_TRUE(prefs.invalidPatternsLabel()->isVisible());
    EXPECT_TRUE(prefs.invalidPatternsLabel()->text().contains(QStringLiteral("(unclosed")));

    reopen(prefs);
    EXPECT_EQ(prefs.privatePatternsEdit()->toPlainText(), QStringLiteral("bank\n(unclosed"));
}

TEST_F(PrefWindowTest, ThisComputersNameIsTheHostNameUntilTheUserGivesOneAndItsIdIsShown)
{
    openWindow();
    window->setDeviceId(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301"));
    PrefWindow &prefs = showPreferences();
    EXPECT_EQ(prefs.deviceIdLabel()->text(), QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301"));
    EXPECT_EQ(prefs.deviceNameField()->text(), QSysInfo::machineHostName());

    prefs.deviceNameField()->setText(QStringLiteral("  Laptop  "));
    Q_EMIT prefs.deviceNameField()->editingFinished();
    EXPECT_EQ(settings->value(SettingsKey::DeviceName).toString(), QStringLiteral("Laptop"));
    EXPECT_EQ(prefs.deviceNameField()->text(), QStringLiteral("Laptop"));
    prefs.deviceNameField()->clear();
    Q_EMIT prefs.deviceNameField()->editingFinished();
    EXPECT_EQ(prefs.deviceNameField()->text(), QSysInfo::machineHostName());
}

TEST_F(PrefWindowTest, TheSharedFolderIsChosenOrStoppedTitlesCanStayHomeAndTheOtherComputersAreListed)
{
    openWindow();
    int changes = 0;
    QObject::connect(window.get(), &MainWindow::sharingChanged, [&changes] { ++changes; });
    PrefWindow &prefs = showPreferences();
    EXPECT_TRUE(prefs.sharedFolderField()->text().isEmpty());
    EXPECT_FALSE(prefs.stopSharingButton()->isEnabled());
    EXPECT_TRUE(prefs.shareWindowTitlesBox()->isChecked());
    EXPECT_EQ(prefs.devicesLabel()->text(), QStringLiteral("None seen yet"));

    prefs.chooseSharedFolder(QStringLiteral("/home/someone/Sync"));
    EXPECT_EQ(settings->value(SettingsKey::SharedFolder).toString(), QStringLiteral("/home/someone/Sync"));
    EXPECT_TRUE(prefs.stopSharingButton()->isEnabled());
    prefs.shareWindowTitlesBox()->setChecked(false);
    EXPECT_FALSE(settings->boolValue(SettingsKey::ShareWindowTitles));
    prefs.stopSharingButton()->click();
    EXPECT_FALSE(settings->value(SettingsKey::SharedFolder).isValid());
    EXPECT_EQ(changes, 3);

    prefs.setDevices({{QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301"), QStringLiteral("Laptop <1>"), QDate(2026, 1, 5),
                       QDateTime::currentDateTimeUtc(), QStringLiteral("a conflict copy: left alone")}});
    EXPECT_TRUE(prefs.devicesLabel()->text().contains(QStringLiteral("Laptop &lt;1&gt;")));
    EXPECT_TRUE(prefs.devicesLabel()->text().contains(QStringLiteral("a conflict copy")));
}

TEST_F(PrefWindowTest, TheCategoriesMoveToTheSharedFolderWhenTheUserAgreesAndAConflictCopyIsSettledByTheUsersChoice)
{
    QTemporaryDir directory;
    const QString local = directory.filePath(QStringLiteral("config/categories.json"));
    const QString shared = directory.filePath(QStringLiteral("Sync"));
    ASSERT_TRUE(QDir().mkpath(shared) && QDir().mkpath(directory.filePath(QStringLiteral("config"))));
    CategorySet mine = CategorySet::defaults();
    mine.categories.append({{QStringLiteral("Clients"), QStringLiteral("Acme")}, QStringLiteral("#123456"), {}, 0});
    QString error;
    ASSERT_TRUE(CategoriesFile::writeFile(local, mine, &error)) << error.toStdString();
    openWindow();
    QStringList asked;
    int answer = 0;
    window->setQuestionAsker([&](const QString &question, const QString &, const QStringList &) {
        asked.append(question);
        return answer;
    });

    // Not sharing: nothing is asked, and this computer's categories are read.
    window->followSharedCategories(local);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(window->categories().path(), local);
    settings->setValue(SettingsKey::SharedFolder, shared);
    window->followSharedCategories(local);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(window->categories().path(), SharedCategories::sharedPath(shared));
    EXPECT_FALSE(QFileInfo::exists(local));
    EXPECT_EQ(window->categories().set(), mine);
    window->followSharedCategories(local);
    EXPECT_EQ(asked.size(), 1) << "asked once";

    // Another computer's version, kept beside by the sync tool: the user takes it.
    const QString copy = shared + QStringLiteral("/categories.sync-conflict-20260105-101010-ABCDEFG.json");
    ASSERT_TRUE(CategoriesFile::writeFile(copy, CategorySet::defaults(), &error)) << error.toStdString();
    answer = -1; // not now: asked again later
    window->followSharedCategories(local);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(QFileInfo::exists(copy));
    answer = 1;
    window->followSharedCategories(local);
    EXPECT_EQ(asked.size(), 3);
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(window->categories().set(), CategorySet::defaults());
}
