// The history: what the tracker books reaches the database stretch by stretch, so that each
// application's total there is the store's own; a file that cannot be read is moved aside; a
// disk that takes nothing more loses nothing.

#include "../tracking/TimeTrackerFixture.h"

#include "history/HistoryRecorder.h"
#include "history/HistoryWriter.h"
#include "persistence/AtomicFile.h"
#include "persistence/CsvExport.h"
#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QDateTime always() { return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC); }
QDateTime forever() { return QDateTime(QDate(3000, 1, 1), QTime(0, 0), Qt::UTC); }

double historyTotal(const HistoryDatabase &database, const QString &application)
{
    const QList<HistoryTotal> totals = database.totals(HistoryDatabase::Grouping::Application, always(), forever(), nullptr).value();
    for (const HistoryTotal &total : totals) {
        if (total.application == application)
            return total.seconds;
    }
    return 0.0;
}

} // namespace

class HistoryRecording : public TimeTrackerReadyFixture
{
protected:
    void SetUp() override
    {
        TimeTrackerReadyFixture::SetUp();
        path = directory.filePath(QStringLiteral("Kestrum/history.sqlite3"));
        startRecording();
    }

    // A new tracker and a new history, the old ones gone.
    void startRecording()
    {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        createTracker();
        store = std::make_unique<HistoryStore>(path);
        recorder = std::make_unique<HistoryRecorder>([this](const QList<HistoryOperation> &operations) {
            if (const QString message = store->apply(operations, HistoryDatabase::Commit::Fast).message; !message.isEmpty())
                messages.append(message);
        });
        tracker->setBookingListener(recorder.get());
    }

    std::unique_ptr<HistoryDatabase> read() const
    {
        QString error;
        auto database = HistoryDatabase::openToRead(path, &error);
        EXPECT_NE(database, nullptr) << error.toStdString();
        return database;
    }

    QTemporaryDir directory;
    QString path;
    std::unique_ptr<HistoryStore> store;
    std::unique_ptr<HistoryRecorder> recorder;
    QStringList messages;
};

TEST_F(HistoryRecording, EveryEntrysTotalEqualsTheStoresOverGeneratedDaysWithAnswers)
{
    const qint64 pids[] = {EditorPid, BrowserPid, TerminalPid};
    for (quint32 seed = 1; seed <= 5; ++seed) {
        startRecording();
        QRandomGenerator random(seed);
        settings.setValue(SettingsKey::MinutesUntilIdle, 2);
        startCountingInEditor();
        for (int step = 0; step < 300; ++step) {
            switch (random.bounded(6)) {
            case 0: // another application comes to the front
                desktop.bringToFront(pids[random.bounded(3)]);
                desktop.input();
                break;
            case 1: // another document in front
                desktop.setMainWindow(EditorPid, WindowElement(1 + random.bounded(3)), QStringLiteral("doc%1.txt").arg(random.bounded(3)));
                break;
            case 2: // away for a while: idle beyond the limit now and then
                clock.advance(random.bounded(400.0));
                break;
            case 3: // what the time away was, now and then
                if (!tracker->unansweredAway().isEmpty()) {
                    const quint64 oldest = tracker->unansweredAway().first().id;
                    if (random.bounded(3) == 0)
                        tracker->keepAwayAsIdle(oldest);
                    else
                        tracker->answerAway(oldest, {random.bounded(2) ? QStringLiteral("Meeting") : QStringLiteral("Call"), {}});
                }
                break;
            default:
                desktop.input();
                break;
            }
            clock.advance(random.bounded(3.0));
            runFor(int(random.bounded(90)));
        }
        recorder->flush();
        const auto database = read();
        ASSERT_NE(database, nullptr);
        int away = 0;
        for (const auto &node : tracker->fullTimeSet()) {
            away += node->isAway() ? 1 : 0;
            EXPECT_NEAR(historyTotal(*database, *node->name()), node->activeTime(), 0.001) << "seed " << seed << ", " << node->name()->toStdString();
        }
        EXPECT_GT(away, 0) << "seed " << seed << ": no answer was given";
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(HistoryRecording, StretchesFollowSwitchesAndIdleTakesBackWhatTheStoreTakesBack)
{
    settings.setValue(SettingsKey::MinutesUntilIdle, 1);
    startCountingInEditor();
    runFor(30);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("plan.txt"));
    runFor(20);
    desktop.bringToFront(BrowserPid);
    desktop.input();
    runFor(100); // away from the start: the minute goes back from the browser to "Idle"
    desktop.input();
    runFor(10);
    recorder->flush();

    const auto database = read();
    ASSERT_NE(database, nullptr);
    const QList<Stretch> stretches = database->stretches(always(), forever(), nullptr).value();
    QStringList seen;
    for (const Stretch &stretch : stretches)
        seen.append(QStringLiteral("%1 %2").arg(stretch.application, stretch.window.value_or(QStringLiteral("-"))));
    EXPECT_EQ(seen, QStringList({QStringLiteral("Editor notes.txt"), QStringLiteral("Editor plan.txt"), QStringLiteral("Idle -"),
                                 QStringLiteral("Browser -")}));
    for (const QString &name : {editorName(), browserName(), idleName()})
        EXPECT_DOUBLE_EQ(historyTotal(*database, name), appTime(name)) << name.toStdString();
    EXPECT_DOUBLE_EQ(stretches.value(0).seconds, 30.0);
    // Each stretch's span on the wall clock is its seconds.
    for (const Stretch &stretch : stretches)
        EXPECT_EQ(stretch.start.msecsTo(stretch.end), qint64(stretch.seconds * 1000));
}

TEST_F(HistoryRecording, AWindowChangeBetweenTicksEndsTheStretchWhereItCame)
{
    startCountingInEditor();
    runFor(2);
    clock.advance(0.4);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("plan.txt")); // another window
    runFor(2);
    clock.advance(0.7);
    desktop.setMainWindow(EditorPid, WindowElement(2), QStringLiteral("budget.txt")); // the same, now another document
    runFor(1);
    recorder->flush();

    QStringList seen;
    const QList<Stretch> stretches = read()->stretches(always(), forever(), nullptr).value();
    for (const Stretch &stretch : stretches)
        seen.append(QStringLiteral("%1 %2").arg(stretch.window.value_or(QStringLiteral("-"))).arg(stretch.seconds));
    EXPECT_EQ(seen, QStringList({QStringLiteral("notes.txt 2.4"), QStringLiteral("plan.txt 2.7"), QStringLiteral("budget.txt 1")}));
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 2.4);
}

TEST_F(HistoryRecording, AStretchSpansItsSecondsWhateverTheWallClockDoes)
{
    startCountingInEditor();
    runFor(10);
    clock.setWallTime(clock.wallNow().addSecs(2 * 3600)); // set two hours forward
    runFor(10);
    clock.setWallTime(clock.wallNow().addSecs(-3 * 3600)); // and three back
    runFor(10);
    tracker->setIsRunning(false); // a pause: the wall clock runs on, nothing is booked
    clock.advance(600.0);
    tracker->setIsRunning(true);
    runFor(10);
    recorder->flush();

    const QList<Stretch> stretches = read()->stretches(always(), forever(), nullptr).value();
    ASSERT_EQ(stretches.size(), 4);
    for (const Stretch &stretch : stretches) {
        EXPECT_EQ(stretch.start.msecsTo(stretch.end), qint64(stretch.seconds * 1000)) << stretch.start.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(stretch.application, editorName());
    }
    EXPECT_DOUBLE_EQ(historyTotal(*read(), editorName()), appTime(editorName()));
}

TEST_F(HistoryRecording, ForgettingTheOpenStretchKeepsWhatComesAfterTheRange)
{
    const auto written = [this] {
        recorder->flush();
        QStringList seen;
        const QList<Stretch> stretches = read()->stretches(always(), forever(), nullptr).value();
        for (const Stretch &stretch : stretches)
            seen.append(QStringLiteral("%1 %2").arg(stretch.start.toLocalTime().toString(QStringLiteral("HH:mm:ss"))).arg(stretch.seconds));
        return seen;
    };
    // Counting from shortly before midnight into the next day, in one stretch; the first day is
    // forgotten.
    clock.setWallTime(QDateTime(QDate(2026, 1, 5), QTime(23, 59, 0)));
    startCountingInEditor();
    runFor(100);
    const auto [from, to] = HistoryDatabase::localDays(QDate(2026, 1, 5), QDate(2026, 1, 5));
    const HistoryStore::Applied forgotten = store->apply(recorder->forget(from, to, std::nullopt));
    EXPECT_TRUE(forgotten.written);
    EXPECT_EQ(forgotten.forgotten, 1);
    runFor(20);
    EXPECT_EQ(written(), QStringList({QStringLiteral("00:00:00 60")}));

    // Forgetting today while counting: what was booked is gone, what comes next is kept.
    const auto [today, tomorrow] = HistoryDatabase::localDays(QDate(2026, 1, 6), QDate(2026, 1, 6));
    store->apply(recorder->forget(today, tomorrow, editorName()));
    runFor(30);
    EXPECT_EQ(written(), QStringList({QStringLiteral("00:01:00 30")}));
}

TEST_F(HistoryRecording, AnUnreadableHistoryIsMovedAsideAndANewOneStarted)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();

    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(BrowserPid);
    runFor(1);
    recorder->flush();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.constFirst().contains(QStringLiteral("moved to"))) << messages.constFirst().toStdString();
    const QStringList aside = QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("history.sqlite3.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(QFileInfo(path).absolutePath() + u'/' + aside.constFirst());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(8192, 'x'));
    EXPECT_DOUBLE_EQ(historyTotal(*read(), editorName()), 5.0);
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
}

TEST_F(HistoryRecording, AFullDiskKeepsTheHistoryInMemoryAndWritesItWhenItCan)
{
    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(BrowserPid);
    runFor(1);
    recorder->flush();
    ASSERT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();

    // No file of this process may grow any more: as a full disk, without filling one.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit none = previous;
    none.rlim_cur = QFileInfo(path).size();
    setrlimit(RLIMIT_FSIZE, &none);
    for (int i = 0; i < 200; ++i) {
        desktop.bringToFront(i % 2 ? EditorPid : TerminalPid);
        desktop.setMainWindow(EditorPid, WindowElement(10 + i), QStringLiteral("a rather long document name %1.txt").arg(i));
        runFor(3);
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    ASSERT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
    EXPECT_TRUE(messages.constFirst().contains(QStringLiteral("kept in memory")));
    EXPECT_GT(store->keptCount(), 0);

    desktop.bringToFront(BrowserPid);
    runFor(1);
    recorder->flush();
    EXPECT_EQ(store->keptCount(), 0);
    const auto database = read();
    for (const auto &node : tracker->fullTimeSet())
        EXPECT_NEAR(historyTotal(*database, *node->name()), node->activeTime(), 0.001) << node->name()->toStdString();
    EXPECT_LE(QFileInfo(path + QStringLiteral("-wal")).size(), 1024 * 1024) << "the journal is back to its usual size";
}

TEST_F(HistoryRecording, AQuitWithTheDiskStillFullSaysHowMuchHistoryIsLost)
{
    // The writer's thread runs an event loop, in the QCoreApplication of the tests' main.
    HistoryWriter writer(path);
    recorder = std::make_unique<HistoryRecorder>([&writer](const QList<HistoryOperation> &operations) { writer.write(operations); });
    tracker->setBookingListener(recorder.get());
    startCountingInEditor();
    runFor(5);
    desktop.bringToFront(BrowserPid);
    runFor(1);
    writer.writeAndWait(recorder->takeAll(), std::chrono::seconds(10));

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit none = previous;
    none.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &none);
    for (int i = 0; i < 20; ++i) {
        desktop.bringToFront(i % 2 ? EditorPid : TerminalPid);
        runFor(3);
    }
    recorder->flush();
    QString error;
    const double lost = writer.finish(&error);
    setrlimit(RLIMIT_FSIZE, &previous);
    // The browser's last second was written before the disk filled; the minute after was not.
    EXPECT_NEAR(lost, 60.0, 0.01);
    EXPECT_TRUE(error.startsWith(path)) << error.toStdString();
}

TEST_F(HistoryRecording, PrivateTitlesReachNoStoreNoFileAndNoHistory)
{
    settings.setValue(SettingsKey::PrivateApplications, QStringList{browserName()});
    settings.setValue(SettingsKey::PrivateTitlePatterns, QStringList{QStringLiteral("secret"), QStringLiteral("([unbalanced")});
    createTracker();
    tracker->setBookingListener(recorder.get());
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("Top Secret Plan.txt"));
    desktop.setMainWindow(BrowserPid, WindowElement(2), QStringLiteral("bank.example.com — balance"));
    startCountingInEditor();
    desktop.setMainWindow(EditorPid, WindowElement(1), QStringLiteral("Top Secret Plan.txt"));
    runFor(5);
    desktop.bringToFront(BrowserPid);
    runFor(5);
    desktop.bringToFront(EditorPid);
    desktop.setMainWindow(EditorPid, WindowElement(3), QStringLiteral("shopping.txt"));
    runFor(5);
    recorder->flush();

    EXPECT_DOUBLE_EQ(windowTime(editorName(), PrivacyRules::PrivateTitle), 5.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("shopping.txt")), 5.0);
    EXPECT_EQ(windowCount(browserName()), 0);
    EXPECT_DOUBLE_EQ(appTime(browserName()), 5.0);

    QByteArray written = csvForSet(*tracker, ExportScope::All).toUtf8();
    QByteArray document;
    QString error;
    ASSERT_TRUE(PropertyList::serialize(QVariant::fromValue(wrappedDictionaryWithVersioning(*tracker)), &document, &error));
    written += document;
    for (const QString &file : QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files)) {
        QFile history(QFileInfo(path).absolutePath() + u'/' + file);
        ASSERT_TRUE(history.open(QIODevice::ReadOnly));
        written += history.readAll();
    }
    EXPECT_TRUE(written.contains("shopping.txt"));
    EXPECT_FALSE(written.contains("Secret")) << "a title a pattern hides was written";
    EXPECT_FALSE(written.contains("bank.example.com")) << "a private application's title was written";
    EXPECT_EQ(PrivacyRules::invalidPatterns({QStringLiteral("secret"), QStringLiteral("([unbalanced")}).size(), 1);
}
