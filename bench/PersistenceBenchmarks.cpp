// What saving, loading and exporting the timings cost for large stores. A running Kestrum
// writes the settings every 15 minutes on a thread of its own, but takes the snapshot on the
// window's thread, and the quit save and the start-up load hold up everything: the snapshot
// must be a small part of the save, and save and load must each stay under half the time of
// Python's plistlib on the same document.

#include "persistence/CsvExport.h"
#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"
#include "persistence/TimingSnapshot.h"
#include "tracking/MemorySettings.h"
#include "tracking/OfflineTracker.h"

#include <QFileInfo>
#include <QProcess>
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

// The timing document of a store of state.range(0) windows, as written.
QByteArray timingDocument(benchmark::State &state)
{
    FilledStore written(int(state.range(0)));
    QByteArray xml;
    QString error;
    if (!PropertyList::serialize(QVariant::fromValue(wrappedDictionaryWithVersioning(written.offline.tracker())), &xml, &error))
        state.SkipWithError(qPrintable(error));
    return xml;
}

// The part of a load that parses the file: at start-up a thread of its own does it while the
// window's thread sets up the application.
void BM_ParseTimings(benchmark::State &state)
{
    const QByteArray xml = timingDocument(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::parse(xml));
}
BENCHMARK(BM_ParseTimings)->Arg(10000)->Unit(benchmark::kMillisecond);

// The part of a load that builds the store from the parsed file: at start-up it is what the
// window's thread does with the timings, the file having been read and parsed on another.
void BM_LoadParsedTimings(benchmark::State &state)
{
    const PropertyListResult parsed = PropertyList::parse(timingDocument(state));
    MemorySettings settings;
    OfflineTracker reader(settings);
    for (auto _ : state)
        loadDictionary(reader.tracker(), parsed.value);
}
BENCHMARK(BM_LoadParsedTimings)->Arg(10000)->Unit(benchmark::kMillisecond);

// What the window's thread does for a save before it hands the write over. The saver's thread
// lets the snapshot go once a newer one is written, so that is not timed here.
void BM_TakeTimingSnapshot(benchmark::State &state)
{
    FilledStore store(int(state.range(0)));
    for (auto _ : state) {
        TimingSnapshot snapshot = TimingSnapshot::of(store.offline.tracker());
        benchmark::DoNotOptimize(snapshot);
        state.PauseTiming();
        snapshot = {};
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TakeTimingSnapshot)->Arg(100000)->Unit(benchmark::kMillisecond);

// Python's plistlib reading (file read and parse) and writing (dump and file write) the
// document BM_SaveSnapshot writes, timed by Python itself in CPU seconds: the yardstick for
// BM_SaveSnapshot and BM_LoadSnapshot, taken in the same run.
void plistlibTime(benchmark::State &state, const char *which)
{
    FilledStore store(int(state.range(0)));
    const QString path = store.dir.filePath(QStringLiteral("timings.kestrum"));
    QString error;
    if (!writeTimingDocument(store.offline.tracker(), path, &error))
        state.SkipWithError(qPrintable(error));
    static const QString script = QStringLiteral(
        "import plistlib, sys, time\n"
        "t = time.process_time(); doc = plistlib.loads(open(sys.argv[1], 'rb').read()); load = time.process_time() - t\n"
        "t = time.process_time(); open(sys.argv[1] + '.py', 'wb').write(plistlib.dumps(doc)); save = time.process_time() - t\n"
        "print(load, save)\n");
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, path});
        if (!python.waitForFinished(-1) || python.exitCode() != 0) {
            state.SkipWithError("python3 with plistlib did not run");
            break;
        }
        const QList<QByteArray> times = python.readAllStandardOutput().trimmed().split(' ');
        state.SetIterationTime(times.value(qstrcmp(which, "load") == 0 ? 0 : 1).toDouble());
    }
}
void BM_PlistlibLoad(benchmark::State &state)
{
    plistlibTime(state, "load");
}
void BM_PlistlibSave(benchmark::State &state)
{
    plistlibTime(state, "save");
}
BENCHMARK(BM_PlistlibLoad)->Arg(100000)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlistlibSave)->Arg(100000)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

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
