#pragma once

#include "Scenario.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryWriter.h"
#include "persistence/SettingsStore.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/VirtualScheduler.h"
#include "shell/KestrumController.h"

#include <QCoreApplication>

#include <memory>
#include <optional>

// Runs a scenario against the real controller and tracker, on the fake desktop and virtual time.
// Settings and files live under the home directory that the environment names.
class ScenarioRunner
{
    Q_DECLARE_TR_FUNCTIONS(ScenarioRunner)

public:
    explicit ScenarioRunner(const Scenario &scenario);
    ~ScenarioRunner();

    // Makes `home` the home directory of this process and of everything it reads and writes;
    // before a runner is made.
    static void useHome(const QString &home);

    // Records the history at `path` from now on, as Kestrum does, on the scenario's clock.
    void recordHistory(const QString &path);
    // Writes what the history has come to so far now, rather than with the next batch.
    void writeHistoryNow();

    // Runs every step up to the end (or the last line), then finishes. Answers false with the
    // reason when a step could not be carried out (a document that could not be saved, say).
    bool run(QString *error);
    // Moves virtual time on to the step's moment, firing the timers due by then, and carries the
    // step out (an end step does nothing more).
    bool runStep(const ScenarioStep &step, QString *error);
    // Ends the run as Kestrum quits: the history and the timings are stored.
    bool finish(QString *error);

    KestrumController &controller() { return *m_controller; }
    FakeDesktop &desktop() { return m_desktop; }
    VirtualScheduler &scheduler() { return m_scheduler; }
    int powerChangesAllowed() const { return m_powerChangesAllowed; }

private:
    bool perform(const ScenarioStep &step, QString *error);
    bool storeDueTimings(QString *error);
    void applySettings(const QJsonObject &values, int line);
    void writeHistory(const QList<HistoryOperation> &operations, qsizetype batch);
    // Once the settings name a shared folder: the history follows it, as Kestrum's does.
    void followSharedFolder();
    static QString expandPath(const QString &path);

    const Scenario &m_scenario;
    VirtualScheduler m_scheduler;
    const Clock::MonotonicTime m_start = m_scheduler.monotonicNow();
    FakeDesktop m_desktop{m_scheduler};
    FakeQuestionDialog m_questions;
    SettingsStore m_settings;
    std::unique_ptr<KestrumController> m_controller;
    int m_powerChangesAllowed = 0;
    // The history, when recorded: the recorder's operations wait in a batch of their own.
    std::optional<HistoryStore> m_history;
    std::optional<HistoryRecorder> m_recorder;
    QList<HistoryOperation> m_historyBatch;
};
