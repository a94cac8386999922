#include "ScenarioRunner.h"

#include "shell/PeriodicSave.h"
#include "shell/PowerMessages.h"
#include "sync/DeviceIdentity.h"
#include "sync/SharedFolderSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLoggingCategory>

#include <cmath>
#include <cstdio>
#include <utility>

Q_LOGGING_CATEGORY(lcReplay, "kestrum.replay")

namespace {

// The history's operations are written this many at a time, in fast commits that are synced
// once, at the end. Kestrum writes at each switch and once a minute, so that a kill loses
// little; a replay books hours in a moment, and a transaction for each of them cost it the most.
constexpr qsizetype kHistoryBatch = 4096;

void warn(const QString &message)
{
    if (!message.isEmpty())
        // not translated: the program's name, then its message
        std::fprintf(stderr, "kestrum-replay: %s\n", qPrintable(message));
}

} // namespace

ScenarioRunner::ScenarioRunner(const Scenario &scenario)
    : m_scenario(scenario)
    , m_scheduler(scenario.wallStart)
{
    m_settings.load();
    // The application at launch: counting is off until the button is pressed.
    m_controller = std::make_unique<KestrumController>(
        ControllerPorts{m_scheduler, m_desktop, m_desktop, m_desktop, m_settings, m_questions});
    m_controller->setIdleInhibition(&m_desktop);
    // The settings file is written when the run ends: what the store timer would write every
    // fifteen virtual minutes, each time the whole store, only the last write would leave.
    m_controller->setStoreTiming(StoreTiming::Deferred);
    m_controller->finishLaunching();
}

ScenarioRunner::~ScenarioRunner()
{
    m_controller->tracker().setBookingListener(nullptr);
}

void ScenarioRunner::useHome(const QString &home)
{
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
}

void ScenarioRunner::recordHistory(const QString &path)
{
    m_history.emplace(path);
    warn(m_history->open());
    m_recorder.emplace([this](const QList<HistoryOperation> &operations) { writeHistory(operations, kHistoryBatch); });
    m_controller->tracker().setBookingListener(&*m_recorder);
    followSharedFolder();
}

void ScenarioRunner::followSharedFolder()
{
    if (!m_history || m_history->follower())
        return;
    QString message;
    QString error;
    DeviceIdentity device = DeviceIdentity::load(DeviceIdentity::defaultPath(), DeviceIdentity::machineId(), &message, &error);
    warn(message);
    warn(error);
    // Twice at most: a copy of this home writing under its id makes it take one of its own.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::optional<SharedFolder::Options> shared = SharedFolder::fromSettings(m_settings, device.id());
        if (!shared)
            return;
        auto sync = std::make_unique<SharedFolderSync>(*shared);
        const SharedFolderSync *following = sync.get();
        for (const QString &said : m_history->follow(std::move(sync)))
            warn(said);
        if (!following->renounced())
            return;
        device = DeviceIdentity::renew(DeviceIdentity::defaultPath(), DeviceIdentity::machineId(), device.id(), &message, &error);
        warn(device.isValid() ? message : error);
        if (!device.isValid())
            return;
    }
}

void ScenarioRunner::writeHistory(const QList<HistoryOperation> &operations, qsizetype batch)
{
    m_historyBatch.append(operations);
    if (m_historyBatch.size() < batch)
        return;
    warn(m_history->apply(std::exchange(m_historyBatch, {}), HistoryDatabase::Commit::Fast).message);
}

void ScenarioRunner::writeHistoryNow()
{
    if (!m_recorder)
        return;
    m_recorder->flush();
    writeHistory({}, 0);
}

bool ScenarioRunner::run(QString *error)
{
    bool ok = true;
    for (const ScenarioStep &step : m_scenario.steps) {
        ok = runStep(step, error);
        if (!ok || step.action == ScenarioStep::Action::End)
            break;
    }
    // A step that failed ends the run too, and what was booked until then is kept.
    QString reason;
    const bool finished = finish(&reason);
    if (!finished && error)
        *error = ok ? reason : *error + QStringLiteral("; ") + reason;
    return ok && finished;
}

bool ScenarioRunner::runStep(const ScenarioStep &step, QString *error)
{
    // Timers due up to this moment fire first, a tick due now included.
    m_scheduler.advanceTo(m_start + ManualClock::durationOf(step.at));
    if (step.action == ScenarioStep::Action::End)
        return true;
    if (!perform(step, error))
        return false;
    // Deliver what was queued for the controller's thread (notifications from the relay).
    QCoreApplication::processEvents();
    return true;
}

bool ScenarioRunner::finish(QString *error)
{
    QStringList problems;
    writeHistoryNow();
    if (m_history) {
        // A shared folder set during the run is followed from its end.
        followSharedFolder();
        for (const QString &said : m_history->finishFollowing())
            warn(said);
        warn(m_history->sync());
        if (const double lost = m_history->unwrittenSeconds(); lost > 0.0)
            problems.append(tr("%n second(s) of history could not be written: %1", nullptr, int(std::ceil(lost)))
                                .arg(m_history->lastError()));
    }
    m_controller->applicationWillTerminate();
    QString reason;
    if (!storeDueTimings(&reason))
        problems.append(reason);
    if (error && !problems.isEmpty())
        *error = problems.join(QStringLiteral("; "));
    return problems.isEmpty();
}

bool ScenarioRunner::storeDueTimings(QString *error)
{
    QString reason;
    if (m_controller->storeDueTimings(&reason))
        return true;
    if (error)
        *error = tr("cannot store the timings: %1").arg(reason);
    return false;
}

bool ScenarioRunner::perform(const ScenarioStep &step, QString *error)
{
    using Action = ScenarioStep::Action;
    const QJsonObject o = step.value.toObject();
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = tr("line %1: %2").arg(step.line).arg(reason);
        return false;
    };
    const auto text = [](const QJsonValue &v) { return v.isString() ? std::optional<QString>(v.toString()) : std::nullopt; };

    switch (step.action) {
    case Action::Settings:
        applySettings(o, step.line);
        break;
    case Action::Front: {
        const qint64 pid = qint64(o.value(QStringLiteral("pid")).toDouble());
        m_desktop.addApplication(pid, text(o.value(QStringLiteral("name"))), o.value(QStringLiteral("accessible")).toBool(true));
        m_desktop.bringToFront(pid);
        break;
    }
    case Action::Window: {
        const QJsonValue id = o.value(QStringLiteral("id"));
        m_desktop.setMainWindow(qint64(o.value(QStringLiteral("pid")).toDouble()),
                                id.isNull() ? std::nullopt : std::optional(WindowElement(quint64(id.toDouble()))),
                                text(o.value(QStringLiteral("title"))));
        break;
    }
    case Action::Title:
        m_desktop.setWindowTitle(WindowElement(quint64(o.value(QStringLiteral("id")).toDouble())), text(o.value(QStringLiteral("title"))));
        break;
    case Action::Input:
        m_desktop.input();
        break;
    case Action::Button:
        m_controller->toggleCounting();
        break;
    case Action::Power:
        handlePowerMessage(KestrumController::current(), *powerMessageFromName(step.value.toString()),
                           [this] { ++m_powerChangesAllowed; });
        break;
    case Action::Session:
        m_controller->switchHandler(step.value.toString() == u"resign" ? SessionEvent::Resigned : SessionEvent::BecameActive);
        break;
    case Action::Accessibility:
        m_desktop.setAccessEnabled(step.value.toBool());
        break;
    case Action::Clear:
        m_controller->clearTimersConfirmed();
        break;
    case Action::Open: {
        // The document may be the settings file itself: it holds the timings stored until now.
        QString reason;
        if (!storeDueTimings(&reason))
            return fail(reason);
        // As File > Open does: the document is announced, and loaded on the controller's thread.
        m_controller->processNotification({KestrumController::LoadFileNotification, expandPath(step.value.toString())});
        break;
    }
    case Action::Save: {
        QString reason;
        if (!m_controller->writeDocument(expandPath(step.value.toString()), &reason))
            return fail(reason);
        break;
    }
    case Action::InhibitIdle: {
        QStringList by;
        for (const QJsonValue &who : step.value.toArray())
            by.append(who.toString());
        m_desktop.setIdleInhibitedBy(by);
        break;
    }
    case Action::Forget: {
        if (!m_recorder)
            return fail(tr("\"forget\": no history is recorded (run with --home)"));
        const QString application = o.value(QStringLiteral("application")).toString();
        writeHistory(m_recorder->forget(QDateTime::fromString(o.value(QStringLiteral("from")).toString(), Qt::ISODate).toUTC(),
                                        QDateTime::fromString(o.value(QStringLiteral("to")).toString(), Qt::ISODate).toUTC(),
                                        application.isEmpty() ? std::nullopt : std::optional(application)),
                     0);
        break;
    }
    case Action::AnswerAway: {
        TimeTracker &tracker = m_controller->tracker();
        if (tracker.unansweredAway().isEmpty())
            return fail(tr("\"answerAway\": no time away is waiting for an answer"));
        const quint64 oldest = tracker.unansweredAway().first().id;
        if (o.value(QStringLiteral("keepIdle")).toBool()) {
            tracker.keepAwayAsIdle(oldest);
            break;
        }
        AwayAnswer answer{o.value(QStringLiteral("label")).toString(), {}};
        for (const QJsonValue &name : o.value(QStringLiteral("category")).toArray())
            answer.category.append(name.toString());
        tracker.answerAway(oldest, answer);
        break;
    }
    case Action::End:
        break;
    }
    return true;
}

void ScenarioRunner::applySettings(const QJsonObject &values, int line)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        QVariant value = it.value().toVariant();
        // A whole number is an integer setting; one beyond an integer's range stays a number.
        if (it.value().isDouble() && std::trunc(it.value().toDouble()) == it.value().toDouble()
            && std::abs(it.value().toDouble()) < 0x1p63)
            value = qint64(it.value().toDouble());
        m_settings.setValue(it.key(), value);
        // Stored as Kestrum stores it; a value that cannot be read is kept, and read as the
        // default, as it would be in the settings file.
        if (const QString problem = unreadableSettingWarning(m_settings, it.key()); !problem.isEmpty())
            qCWarning(lcReplay).noquote() << QStringLiteral("line %1: %2").arg(line).arg(problem);
        else if (it.key() == SettingsKey::PeriodicSaveTime)
            PeriodicSave::setTimeOfDay(m_settings, m_settings.timeValue(it.key()));
    }
    m_settings.synchronize();
    // As the preferences window does, the settings of the schedule rebuild it.
    if (values.contains(SettingsKey::SaveTimerPeriodically) || values.contains(SettingsKey::PeriodicSaveTime)
        || values.contains(SettingsKey::PeriodicDaysOfWeek))
        m_controller->updatedSaveTimerPeriodically();
}

QString ScenarioRunner::expandPath(const QString &path)
{
    if (path == u"~" || path.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + path.mid(1);
    return QDir::current().absoluteFilePath(path);
}
