#pragma once

#include "Scenario.h"
#include "persistence/SettingsStore.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeQuestionDialog.h"
#include "platform/fake/VirtualScheduler.h"
#include "shell/KestrumController.h"

#include <memory>

// Runs a scenario against the real controller and tracker, on the fake desktop and virtual time.
// Settings and files live under the home directory that the environment names.
class ScenarioRunner
{
public:
    explicit ScenarioRunner(const Scenario &scenario);

    // Runs every step up to the end (or the last line). Answers false with the reason when a
    // step could not be carried out (a document that could not be saved, say).
    bool run(QString *error);

    KestrumController &controller() { return *m_controller; }
    FakeDesktop &desktop() { return m_desktop; }
    VirtualScheduler &scheduler() { return m_scheduler; }
    int powerChangesAllowed() const { return m_powerChangesAllowed; }

private:
    bool perform(const ScenarioStep &step, QString *error);
    void applySettings(const QJsonObject &values, int line);
    static QString expandPath(const QString &path);

    const Scenario &m_scenario;
    VirtualScheduler m_scheduler;
    FakeDesktop m_desktop{m_scheduler};
    FakeQuestionDialog m_questions;
    SettingsStore m_settings;
    std::unique_ptr<KestrumController> m_controller;
    int m_powerChangesAllowed = 0;
};
