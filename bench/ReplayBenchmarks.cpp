// What a switch into an application costs, however many windows it has collected: replayed as
// kestrum-replay --home replays a long scenario, and recorded as Kestrum records the history,
// one transaction at each switch.

#include "CountingTracker.h"
#include "ScenarioRunner.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryWriter.h"

#include <QJsonObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using Action = ScenarioStep::Action;

constexpr qint64 EditorPid = 1;
constexpr qint64 TerminalPid = 2;

QString documentTitle(qint64 id)
{
    return QStringLiteral("document %1.txt").arg(id);
}

// The steps of a scenario, made as they are run, each with the time of the one before unless moved on.
class ScenarioSteps
{
public:
    explicit ScenarioSteps(ScenarioRunner &runner) : m_runner(runner) {}

    void wait(double seconds) { m_at += seconds; }
    void run(Action action, const QJsonValue &value)
    {
        QString error;
        if (!m_runner.runStep({0, m_at, action, value}, &error))
            qFatal("%s", qPrintable(error));
    }
    void front(const QString &name, qint64 pid)
    {
        run(Action::Front, QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("pid"), pid}});
        run(Action::Input, true);
    }
    void window(qint64 pid, qint64 id)
    {
        run(Action::Window, QJsonObject{{QStringLiteral("pid"), pid}, {QStringLiteral("id"), id}, {QStringLiteral("title"), documentTitle(id)}});
        run(Action::Input, true);
    }

private:
    ScenarioRunner &m_runner;
    double m_at = 0.0;
};

// The editor gets that many windows, one a second, then each iteration is five seconds in the
// terminal and five in a window of the editor's it never had. The history takes each new name,
// and the store timer falls due every 90 iterations. A fixed count of iterations keeps the
// small application small.
void BM_ReplaySwitchIntoApplication(benchmark::State &state)
{
    const int windows = int(state.range(0));
    QTemporaryDir home;
    ScenarioRunner::useHome(home.path());
    const Scenario scenario;
    ScenarioRunner runner(scenario);
    runner.recordHistory(home.filePath(QStringLiteral("history.sqlite3")));
    ScenarioSteps steps(runner);
    steps.front(QStringLiteral("Editor"), EditorPid);
    steps.run(Action::Button, true);
    for (int id = 1; id <= windows; ++id) {
        steps.wait(1.0);
        steps.window(EditorPid, id);
    }

    // The iterations write all the history they make, and only that, whatever the batches.
    runner.writeHistoryNow();
    qint64 next = windows;
    for (auto _ : state) {
        steps.wait(5.0);
        steps.front(QStringLiteral("Terminal"), TerminalPid);
        steps.wait(5.0);
        steps.front(QStringLiteral("Editor"), EditorPid);
        steps.window(EditorPid, ++next);
        if (next - windows == state.max_iterations)
            runner.writeHistoryNow();
    }
    QString error;
    if (!runner.finish(&error))
        state.SkipWithError(qPrintable(error));
    state.counters["windows"] = double(runner.controller().tracker().appForName(QStringLiteral("Editor"))->windowCount());
}
BENCHMARK(BM_ReplaySwitchIntoApplication)->Arg(10)->Arg(100000)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// The same switches on the tracker alone, the history written at each: what Kestrum's writer
// thread does, here on the benchmark's own thread. The history knows the editor's windows.
void BM_HistorySwitchIntoApplication(benchmark::State &state)
{
    const int windows = int(state.range(0));
    QTemporaryDir directory;
    HistoryStore store(directory.filePath(QStringLiteral("history.sqlite3")));
    QList<HistoryOperation> known;
    const QDateTime start(QDate(2026, 1, 5), QTime(9, 0), Qt::UTC);
    for (int id = 1; id <= windows; ++id) {
        const Stretch stretch{quint64(id), false, start.addSecs(id), start.addSecs(id + 1), 1.0, QStringLiteral("Editor"), documentTitle(id)};
        known.append({HistoryOperation::Kind::Write, stretch, {}, 0.0, {}, {}});
    }
    QString problem = store.apply(known).message;
    // Fast commits, as the writer thread makes them: it syncs the journal a while later.
    HistoryRecorder recorder([&](const QList<HistoryOperation> &operations) {
        if (const QString message = store.apply(operations, HistoryDatabase::Commit::Fast).message; !message.isEmpty())
            problem = message;
    });
    CountingTracker t;
    t.tracker.setBookingListener(&recorder);
    t.desktop.addApplication(EditorPid, QStringLiteral("Editor"));
    t.desktop.addApplication(TerminalPid, QStringLiteral("Terminal"));
    t.desktop.bringToFront(EditorPid);
    t.tracker.setIsRunning(true);

    qint64 next = windows;
    for (auto _ : state) {
        t.clock.advance(5.0);
        t.desktop.bringToFront(TerminalPid);
        t.clock.advance(5.0);
        t.desktop.bringToFront(EditorPid);
        ++next;
        t.desktop.setMainWindow(EditorPid, WindowElement(quint64(next)), documentTitle(next));
    }
    t.tracker.setBookingListener(nullptr);
    if (!problem.isEmpty())
        state.SkipWithError(qPrintable(problem));
}
BENCHMARK(BM_HistorySwitchIntoApplication)->Arg(10)->Arg(100000)->Iterations(300)->Unit(benchmark::kMicrosecond);

} // namespace
