// Several computers, one history: a year of another computer's days imported, an unchanged
// folder checked again, a year written out the first time, and a month's totals of all
// computers against this one's.

#include "sync/SharedFolderSync.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kDays = 250;     // a working year
constexpr int kStretchesADay = 500;
const QString kLaptop = QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301");
const QString kDesktop = QStringLiteral("6ba7b810-9dad-11d1-80b4-00c04fd430c8");
const QDate kFirstDay(2025, 1, 6);

QTemporaryDir &scratch()
{
    static QTemporaryDir directory;
    return directory;
}

// A computer's year of history at `name`: five working days a week, 500 stretches a day.
QString yearOfHistory(const QString &name)
{
    const QString path = scratch().filePath(name);
    if (QFileInfo::exists(path))
        return path;
    QString error;
    auto database = HistoryDatabase::open(path, nullptr, &error);
    QList<HistoryOperation> batch;
    quint64 id = 0;
    for (int day = 0, working = 0; working < kDays; ++day) {
        const QDate date = kFirstDay.addDays(day);
        if (date.dayOfWeek() > 5)
            continue;
        ++working;
        const QDateTime nine = QDateTime(date, QTime(9, 0)).toUTC();
        for (int i = 0; i < kStretchesADay; ++i) {
            const Stretch stretch{++id, false, nine.addSecs(i * 57), nine.addSecs(i * 57 + 57), 57.0, QStringLiteral("Application %1").arg(i % 23),
                                  QStringLiteral("document %1.txt").arg((i + day) % 211)};
            batch.append({HistoryOperation::Kind::Write, stretch, {}, 0.0, {}, {}});
        }
        if (batch.size() >= 20000) {
            database->apply(batch, &error);
            batch.clear();
        }
    }
    database->apply(batch, &error);
    return path;
}

QString sharedFolder()
{
    return scratch().filePath(QStringLiteral("Sync"));
}

// The laptop's year written to the shared folder once for the whole run.
void laptopShared()
{
    static bool done = false;
    if (done)
        return;
    QDir().mkpath(sharedFolder());
    auto laptop = HistoryDatabase::open(yearOfHistory(QStringLiteral("laptop.sqlite3")), nullptr, nullptr);
    SharedFolderSync(SharedFolder::Options{sharedFolder(), kLaptop, QStringLiteral("Laptop"), true}).opened(*laptop);
    done = true;
}

// The first sharing of a year: every day written and its manifest.
void BM_SyncWriteYear(benchmark::State &state)
{
    auto laptop = HistoryDatabase::open(yearOfHistory(QStringLiteral("laptop.sqlite3")), nullptr, nullptr);
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = scratch().filePath(QStringLiteral("write-%1").arg(++run));
        QDir().mkpath(folder);
        state.ResumeTiming();
        SharedFolderSync(SharedFolder::Options{folder, kLaptop, QStringLiteral("Laptop"), true}).opened(*laptop);
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_SyncWriteYear)->Iterations(2)->Unit(benchmark::kMillisecond);

// Another computer's year imported into a history that has none of it.
void BM_SyncImportYear(benchmark::State &state)
{
    laptopShared();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto desktop = HistoryDatabase::open(scratch().filePath(QStringLiteral("import-%1.sqlite3").arg(++run)), nullptr, nullptr);
        SharedFolder folder(SharedFolder::Options{sharedFolder(), kDesktop, QStringLiteral("Desktop"), true});
        state.ResumeTiming();
        benchmark::DoNotOptimize(folder.importAll(*desktop).days);
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_SyncImportYear)->Iterations(2)->Unit(benchmark::kMillisecond);

// The folder read again with nothing changed, as every few minutes: per day, a manifest entry
// compared and nothing more.
void BM_SyncRecheckUnchanged(benchmark::State &state)
{
    laptopShared();
    auto desktop = HistoryDatabase::open(scratch().filePath(QStringLiteral("recheck.sqlite3")), nullptr, nullptr);
    SharedFolder folder(SharedFolder::Options{sharedFolder(), kDesktop, QStringLiteral("Desktop"), true});
    folder.importAll(*desktop);
    for (auto _ : state)
        benchmark::DoNotOptimize(folder.importAll(*desktop).days);
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_SyncRecheckUnchanged)->Unit(benchmark::kMillisecond);

// A month's totals by application: this computer's alone (0), and with another's year imported (1).
void BM_SyncMonthByApplication(benchmark::State &state)
{
    laptopShared();
    static std::unique_ptr<HistoryDatabase> desktop = [] {
        auto database = HistoryDatabase::open(yearOfHistory(QStringLiteral("desktop.sqlite3")), nullptr, nullptr);
        SharedFolder(SharedFolder::Options{sharedFolder(), kDesktop, QStringLiteral("Desktop"), true}).importAll(*database);
        return database;
    }();
    desktop->readDevices(state.range(0) ? HistoryDatabase::Devices::All : HistoryDatabase::Devices::This);
    const auto [from, to] = HistoryDatabase::localDays(QDate(2025, 6, 1), QDate(2025, 6, 30));
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(desktop->totals(HistoryDatabase::Grouping::Application, from, to, &error));
}
BENCHMARK(BM_SyncMonthByApplication)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
