// What one tick and one application switch cost, and that the cost does not grow with the store.

#include "CountingTracker.h"

#include "shell/OutlineModel.h"

#include <benchmark/benchmark.h>

namespace {

// Counting in the editor, in front with that many windows; the one in the middle is active.
TimeStoreApp &countInEditorWithWindows(CountingTracker &t, int windows)
{
    t.desktop.addApplication(1, QStringLiteral("Editor"));
    t.desktop.bringToFront(1);
    t.tracker.setIsRunning(true);
    TimeStoreApp *editor = t.tracker.appForName(QStringLiteral("Editor"));
    for (int i = 1; i <= windows; ++i)
        editor->windowStoreForName(QStringLiteral("document %1.txt").arg(i), WindowElement(quint64(i)));
    t.desktop.setMainWindow(1, WindowElement(quint64(windows / 2 + 1)),
                            QStringLiteral("document %1.txt (edited)").arg(windows / 2 + 1));
    return *editor;
}

void BM_TickActiveWindow(benchmark::State &state)
{
    CountingTracker t;
    TimeStoreApp &editor = countInEditorWithWindows(t, int(state.range(0)));
    for (auto _ : state) {
        t.clock.advance(1.0);
        t.tracker.updateDisplayTime(false);
    }
    benchmark::DoNotOptimize(editor.activeTime());
    state.counters["windows"] = double(editor.windowCount());
}
BENCHMARK(BM_TickActiveWindow)->Arg(10)->Arg(1000)->Arg(100000);

// The same tick with the window's outline following the store, as it does while counting.
void BM_TickWithOutline(benchmark::State &state)
{
    CountingTracker t;
    countInEditorWithWindows(t, int(state.range(0)));
    const OutlineModel outline(t.tracker);
    for (auto _ : state) {
        t.clock.advance(1.0);
        t.tracker.updateDisplayTime(false);
    }
    state.counters["rows"] = double(outline.rowCount(outline.index(0, 0)));
}
BENCHMARK(BM_TickWithOutline)->Arg(10)->Arg(1000)->Arg(100000);

// The outline made for a store of that many windows over a hundred applications, as at
// start-up with the applications collapsed, and then one application's windows put in order
// by name, as when it is expanded; the titles share their start.
void BM_OutlineOfStore(benchmark::State &state)
{
    CountingTracker t;
    const int windows = int(state.range(0));
    for (int a = 0; a < 100; ++a) {
        const QString name = QStringLiteral("Application %1").arg(a);
        t.tracker.addWindowWithName(name, 0.0);
        TimeStoreApp *app = t.tracker.appForName(name);
        for (int w = a; w < windows; w += 100)
            app->windowStoreForName(QStringLiteral("document %1.txt").arg(w * 7919 % windows), WindowElement(quint64(w + 1)));
    }
    for (auto _ : state) {
        const OutlineModel outline(t.tracker);
        benchmark::DoNotOptimize(outline.index(0, 0, outline.index(0, 0)));
    }
}
BENCHMARK(BM_OutlineOfStore)->Arg(10000)->Unit(benchmark::kMillisecond);

// The tick with the total the window shows beneath the outline.
void BM_TickWithTotal(benchmark::State &state)
{
    const auto apps = int(state.range(0));
    CountingTracker t;
    for (int i = 0; i < apps; ++i) {
        t.tracker.setCurrentApp(QStringLiteral("Application %1").arg(i));
        t.tracker.appForName(QStringLiteral("Application %1").arg(i))->addTimeInterval(60.0);
    }
    countInEditorWithWindows(t, 10);
    double total = 0.0;
    for (auto _ : state) {
        t.clock.advance(1.0);
        t.tracker.updateDisplayTime(false);
        total = t.tracker.totalTime();
    }
    benchmark::DoNotOptimize(total);
    state.counters["apps"] = double(t.tracker.fullTimeSet().size());
}
BENCHMARK(BM_TickWithTotal)->Arg(10)->Arg(10000);

// What deciding idleness costs a tick: before the threshold (0), and past it with the
// never-idle list and the inhibitors asked (1).
void BM_IdleDecision(benchmark::State &state)
{
    CountingTracker t;
    t.desktop.input();
    if (state.range(0) == 1)
        t.clock.advance(3600.0);
    const std::optional<QString> front = QStringLiteral("Editor");
    bool idle = false;
    for (auto _ : state) {
        bool passed = false;
        idle = idleException(t.settings, t.idle, t.desktop, front, &passed) == IdleException::None && passed;
    }
    benchmark::DoNotOptimize(idle);
}
BENCHMARK(BM_IdleDecision)->Arg(0)->Arg(1);

void BM_AppSwitch(benchmark::State &state)
{
    const auto apps = int(state.range(0));
    CountingTracker t;
    for (int i = 0; i < apps; ++i)
        t.tracker.setCurrentApp(QStringLiteral("Application %1").arg(i));
    t.desktop.addApplication(1, QStringLiteral("Application 1"));
    t.desktop.addApplication(2, QStringLiteral("Application %1").arg(apps - 1));
    t.desktop.setMainWindow(1, WindowElement(11), QStringLiteral("first"));
    t.desktop.setMainWindow(2, WindowElement(22), QStringLiteral("second"));
    t.desktop.bringToFront(1);
    t.tracker.setIsRunning(true);

    qint64 front = 1;
    for (auto _ : state) {
        t.clock.advance(1.0);
        front = front == 1 ? 2 : 1;
        t.desktop.bringToFront(front);
    }
    state.counters["apps"] = double(t.tracker.fullTimeSet().size());
}
BENCHMARK(BM_AppSwitch)->Arg(10)->Arg(10000);

} // namespace
