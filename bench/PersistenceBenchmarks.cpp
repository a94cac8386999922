// What saving, loading and exporting the timings cost for large stores. The settings save runs
// every 15 minutes and at quit on the window's thread, so it must stay well under a second.

#include "persistence/CsvExport.h"
#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"
#include "tracking/MemorySettings.h"
#include "tracking/OfflineTracker.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// `windows` window nodes spread evenly over 1000 applications, with fractional times.
QVariantList snapshotOf(int windows)
{
    constexpr int apps = 1000;
    QVariantList snapshot;
    for (int a = 0; a < apps; ++a) {
        QVariantList records;
        for (int w = a; w < windows; w += apps)
            records.append(QVariantMap{{QStringLiteral("Name"), QStringLiteral("document %1 - a window title.txt").arg(w)},
                                       {QStringLiteral("ActiveTime"), w * 1.37 + 0.25}});
        snapshot.append(QVariantMap{
            {QStringLiteral("App"), QVariantMap{{QStringLiteral("Name"), QStringLiteral("Application %1").arg(a)},
                                                {QStringLiteral("ActiveTime"), a * 61.3 + 0.5}}},
            {QStringLiteral("Windows"), records}});
    }
    return snapshot;
}

struct FilledStore
{
    explicit FilledStore(int windows) { offline.tracker().setArrayRepresentation(snapshotOf(windows)); }

    MemorySettings settings;
    OfflineTracker offline{settings};
    QTemporaryDir dir;
};

void BM_SaveSnapshot(benchmark::State &state)
{
    FilledStore store(int(state.range(0)));
    const QString path = store.dir.filePath(QStringLiteral("timings.kestrum"));
    QString error;
    for (auto _ : state) {
        if (!writeTimingDocument(store.offline.tracker(), path, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_SaveSnapshot)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadSnapshot(benchmark::State &state)
{
    FilledStore written(int(state.range(0)));
    const QString path = written.dir.filePath(QStringLiteral("timings.kestrum"));
    QString error;
    if (!writeTimingDocument(written.offline.tracker(), path, &error))
        state.SkipWithError(qPrintable(error));

    MemorySettings settings;
    OfflineTracker reader(settings);
    for (auto _ : state) {
        if (!loadSettingsFromDisk(reader.tracker(), path, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["apps"] = double(reader.tracker().fullTimeSet().size());
}
BENCHMARK(BM_LoadSnapshot)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State &state)
{
    FilledStore store(int(state.range(0)));
    const QString path = store.dir.filePath(QStringLiteral("timings.csv"));
    QString error;
    for (auto _ : state) {
        if (!exportCSVSet(store.offline.tracker(), ExportScope::All, path, &error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_ExportCsv)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
