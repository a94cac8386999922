// The history: a day's totals on a small and a five-year history, what a stretch takes on
// disk, and what recording costs a tick.

#include "CountingTracker.h"
#include "history/HistoryCategories.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryRecorder.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

namespace {

// A working day's worth of stretches: 500 a day, eight hours from nine o'clock.
constexpr int kStretchesADay = 500;
const QDateTime kFirstDay(QDate(2021, 1, 4), QTime(9, 0), Qt::UTC);

// A history of `count` stretches, made once per size for the whole run.
const QString &historyOf(qint64 count)
{
    static QTemporaryDir directory;
    static std::map<qint64, QString> made;
    if (const auto it = made.find(count); it != made.end())
        return it->second;
    const QString path = directory.filePath(QStringLiteral("history-%1.sqlite3").arg(count));
    QString error;
    auto database = HistoryDatabase::open(path, nullptr, &error);
    QList<HistoryOperation> batch;
    for (qint64 i = 0; i < count; ++i) {
        const QDateTime start = kFirstDay.addDays(i / kStretchesADay).addSecs((i % kStretchesADay) * 57);
        const Stretch stretch{quint64(i + 1), false, start, start.addSecs(57), 57.0, QStringLiteral("Application %1").arg(i % 23),
                              QStringLiteral("document %1.txt").arg(i % 211)};
        batch.append({HistoryOperation::Kind::Write, stretch, {}, 0.0, {}, {}});
        if (batch.size() == 20000 || i + 1 == count) {
            database->apply(batch, &error);
            batch.clear();
        }
    }
    return made.emplace(count, path).first->second;
}

// The same history with the user's word over its last month: twenty stretches renamed and
// twenty hours of added time, each over what was recorded.
const QString &overlaidHistoryOf(qint64 count)
{
    static std::map<qint64, QString> made;
    if (const auto it = made.find(count); it != made.end())
        return it->second;
    const QString &plain = historyOf(count);
    const QString path = QString(plain).replace(QStringLiteral(".sqlite3"), QStringLiteral("-overlaid.sqlite3"));
    QFile::copy(plain, path);
    QString error;
    auto database = HistoryDatabase::open(path, nullptr, &error);
    const QDateTime last = kFirstDay.addDays(count / kStretchesADay - 1);
    QList<HistoryOperation> operations;
    for (int i = 0; i < 20; ++i) {
        OverlayEntry renamed;
        renamed.kind = StretchSource::Corrected;
        renamed.start = last.addDays(-i).addSecs(600);
        renamed.end = renamed.start.addSecs(1);
        renamed.application = QStringLiteral("Renamed");
        renamed.original = QStringLiteral("Application %1").arg(i % 23);
        OverlayEntry added;
        added.kind = StretchSource::Added;
        added.start = last.addDays(-i).addSecs(3600);
        added.end = added.start.addSecs(3600);
        added.application = QStringLiteral("Meeting");
        operations.append({HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, renamed});
        operations.append({HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, added});
    }
    database->apply(operations, &error);
    return made.emplace(count, path).first->second;
}

void BM_HistoryDaySummary(benchmark::State &state)
{
    const qint64 count = state.range(0);
    const QString &path = historyOf(count);
    QString error;
    const auto database = HistoryDatabase::openToRead(path, &error);
    // The last full day: as deep into the history as it goes.
    const QDateTime day = kFirstDay.addDays(count / kStretchesADay - 1).addSecs(-9 * 3600);
    double total = 0.0;
    for (auto _ : state) {
        const QList<HistoryTotal> totals = database->totals(HistoryDatabase::Grouping::Application, day, day.addDays(1), &error).value();
        for (const HistoryTotal &t : totals)
            total += t.seconds;
    }
    benchmark::DoNotOptimize(total);
    state.counters["bytes/stretch"] = double(QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size()) / double(count);
}
BENCHMARK(BM_HistoryDaySummary)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A month of a five-year history by application (0), by window (1), and by category with 200
// rules: as the window shows it again with the same rules (2), and after they changed (3),
// every name classified afresh. 4 to 7: the same with the user's word over the month.
void BM_HistoryMonthBy(benchmark::State &state)
{
    const bool overlaid = state.range(0) >= 4;
    const int kind = int(state.range(0) % 4);
    const QString &path = overlaid ? overlaidHistoryOf(1000000) : historyOf(1000000);
    QString error;
    const auto database = HistoryDatabase::openToRead(path, &error);
    const QDateTime last = kFirstDay.addDays(1000000 / kStretchesADay - 1).addSecs(-9 * 3600);
    const QDateTime first = last.addDays(-30);
    CategorySet set;
    for (int i = 0; i < 200; ++i) {
        CategoryRule rule;
        rule.category = {QStringLiteral("Project %1").arg(i % 20), QStringLiteral("Part %1").arg(i)};
        rule.field = i % 3 == 0 ? CategoryRule::Field::Application : i % 3 == 1 ? CategoryRule::Field::Window : CategoryRule::Field::Either;
        rule.match = i % 2 ? CategoryRule::Match::Contains : CategoryRule::Match::Regex;
        // Most names go through every rule: the last few claim what is left.
        rule.pattern = i < 195  ? QStringLiteral("nothing %1 here").arg(i)
                     : i % 2    ? QStringLiteral("document %1").arg(i - 194)
                                : QStringLiteral("^Application 1[0-9]$");
        set.categories.append({rule.category, {}, {}, 0});
        set.rules.append(rule);
    }
    double total = 0.0;
    Classifier kept(set);
    for (auto _ : state) {
        if (kind < 2) {
            const auto by = kind == 0 ? HistoryDatabase::Grouping::Application : HistoryDatabase::Grouping::Window;
            const QList<HistoryTotal> totals = database->totals(by, first, last.addDays(1), &error).value();
            for (const HistoryTotal &t : totals)
                total += t.seconds;
        } else {
            std::optional<Classifier> fresh;
            if (kind == 3)
                fresh.emplace(set);
            Classifier &classifier = fresh ? *fresh : kept;
            const auto shares = HistoryCategories::shares(*database, classifier, first, last.addDays(1), &error).value();
            for (const HistoryCategories::CategoryTotal &t : HistoryCategories::categoryTotals(shares, 1))
                total += t.seconds;
        }
    }
    benchmark::DoNotOptimize(total);
}
BENCHMARK(BM_HistoryMonthBy)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// What the History window reads for a month: its windows' totals and its first day's stretches.
void BM_HistoryMonthView(benchmark::State &state)
{
    const QString &path = historyOf(state.range(0));
    QString error;
    const auto database = HistoryDatabase::openToRead(path, &error);
    const QDateTime last = kFirstDay.addDays(state.range(0) / kStretchesADay - 1).addSecs(-9 * 3600);
    const QDateTime first = last.addDays(-30);
    qsizetype rows = 0;
    for (auto _ : state) {
        rows += database->totals(HistoryDatabase::Grouping::Window, first, last.addDays(1), &error).value().size();
        rows += database->stretches(first, first.addDays(1), &error).value().size();
    }
    benchmark::DoNotOptimize(rows);
}
BENCHMARK(BM_HistoryMonthView)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Opening the history as Kestrum does at start, on the writer's thread: every page checked.
void BM_HistoryOpenAndCheck(benchmark::State &state)
{
    const QString &path = historyOf(state.range(0));
    for (auto _ : state) {
        QString error;
        const auto database = HistoryDatabase::open(path, nullptr, &error, HistoryDatabase::Check::Quick);
        if (!database)
            state.SkipWithError(error.toUtf8().constData());
    }
}
BENCHMARK(BM_HistoryOpenAndCheck)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What an application switch costs the history's thread: the closed stretch and the new one
// in one transaction, synced to the disk (1) or only handed to the system (0).
void BM_HistorySwitchCommit(benchmark::State &state)
{
    QTemporaryDir directory;
    QString error;
    auto database = HistoryDatabase::open(directory.filePath(QStringLiteral("history.sqlite3")), nullptr, &error);
    const auto commit = state.range(0) ? HistoryDatabase::Commit::Durable : HistoryDatabase::Commit::Fast;
    quint64 id = 0;
    QDateTime start = kFirstDay;
    for (auto _ : state) {
        const Stretch closed{++id, false, start, start.addSecs(5), 5.0, QStringLiteral("Editor"), QStringLiteral("notes.txt")};
        const Stretch open{++id, true, start.addSecs(5), start.addSecs(6), 1.0, QStringLiteral("Browser"), QStringLiteral("News")};
        start = start.addSecs(6);
        database->apply({{HistoryOperation::Kind::Write, closed, {}, 0.0, {}, {}}, {HistoryOperation::Kind::Write, open, {}, 0.0, {}, {}}}, &error, commit);
    }
}
BENCHMARK(BM_HistorySwitchCommit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The tick of BM_TickActiveWindow with the history listening: a booking extends the open
// stretch in memory; nothing is written on the tick.
void BM_TickRecordingHistory(benchmark::State &state)
{
    CountingTracker t;
    qint64 handedOver = 0;
    HistoryRecorder recorder([&handedOver](const QList<HistoryOperation> &operations) { handedOver += operations.size(); });
    t.tracker.setBookingListener(&recorder);
    t.desktop.addApplication(1, QStringLiteral("Editor"));
    t.desktop.bringToFront(1);
    t.desktop.setMainWindow(1, WindowElement(1), QStringLiteral("document.txt (edited)"));
    t.tracker.setIsRunning(true);
    for (auto _ : state) {
        t.clock.advance(1.0);
        t.tracker.updateDisplayTime(false);
    }
    state.counters["handed over"] = double(handedOver);
}
BENCHMARK(BM_TickRecordingHistory);

} // namespace
