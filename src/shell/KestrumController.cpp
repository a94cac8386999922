#include "KestrumController.h"

#include "BackgroundSaver.h"
#include "persistence/SavedState.h"

#include <QLoggingCategory>
#include <QSet>
#include <QThread>

#include <utility>

Q_LOGGING_CATEGORY(lcController, "kestrum.controller")

namespace {

KestrumController *g_current = nullptr;

// For a desktop that cannot tell about idle inhibitors.
class NoIdleInhibition : public IdleInhibitionSource
{
public:
    IdleInhibition idleInhibition() override { return {}; }
};

NoIdleInhibition g_noIdleInhibition;

} // namespace

KestrumController::KestrumController(ControllerPorts ports, QObject *parent)
    : QObject(parent)
    , m_ports(ports)
    , m_idleTime(ports.idleSource)
    , m_idleInhibition(&g_noIdleInhibition)
    , m_tracker({ports.workspace, ports.accessibility, m_idleTime, ports.scheduler, ports.settings, ports.questions})
    , m_periodicSave(ports.scheduler, ports.settings, m_tracker)
{
    SettingsStore::ensureSupportDirectory();
    loadDictionary(m_ports.settings.value(SettingsKey::Apps));
    // The settings hold the timings as read until the next save; a snapshot in their place
    // shares the store's names and lets the whole read tree go. With a large store that
    // touches every name, so it waits until the window is up.
    if (m_ports.settings.value(SettingsKey::Apps).isValid()) {
        m_releaseReadTimings = m_ports.scheduler.startOneShot(ReleaseReadTimingsDelay, [this] {
            m_releaseReadTimings.reset();
            storeTimingsInSettings(m_tracker, m_ports.settings);
        });
    }
    clickInTable();
    // The files hold everything up to the moment of the save, not only up to the last tick.
    m_periodicSave.setBookingHandler([this] { computeTime(); });
    m_periodicSave.setSavedHandler([this] {
        // The store started over: the label and the stored timings follow at once, so a restart
        // does not bring back what the dated files hold.
        computeTime();
        storeTimings();
    });
    m_periodicSave.setFailureHandler([this](const QString &error) { Q_EMIT periodicSaveFailed(error); });
    updatedSaveTimerPeriodically();
    m_notificationThread = QThread::currentThread();
    g_current = this;
}

KestrumController::~KestrumController()
{
    cancelTick();
    if (m_storeTimer)
        m_ports.scheduler.stop(*m_storeTimer);
    if (m_releaseReadTimings)
        m_ports.scheduler.stop(*m_releaseReadTimings);
    if (g_current == this)
        g_current = nullptr;
}

KestrumController *KestrumController::current()
{
    return g_current;
}

void KestrumController::finishLaunching()
{
    if (!m_storeTimer)
        m_storeTimer = m_ports.scheduler.startRepeating(StoreInterval, [this] { storeTimings(); });
    if (m_ports.settings.boolValue(SettingsKey::StartCountingAtLaunch) && !isTicking())
        startTimer();
}

// --- counting -----------------------------------------------------------------------------------

void KestrumController::toggleCounting()
{
    // The user's own choice: a sleep or a session switch that paused counting no longer decides
    // what happens on wake or on return.
    m_wasRunning = false;
    m_sessionAway = false;
    if (m_buttonTitle == StartTitle)
        startTimer();
    else
        stopTimer();
}

void KestrumController::startTimer()
{
    m_tracker.setIsRunning(true);
    // There is never more than one tick.
    cancelTick();
    m_tick = m_ports.scheduler.startRepeating(TickInterval, [this] { computeTime(); });
    computeTime();
    setButtonTitle(PauseTitle);
}

void KestrumController::stopTimer()
{
    cancelTick();
    m_tracker.setIsRunning(false);
    setButtonTitle(StartTitle);
}

void KestrumController::computeTime()
{
    m_tracker.updateDisplayTime(isIdle());
    clickInTable();
}

bool KestrumController::isIdle()
{
    bool thresholdPassed = false;
    const IdleException exception = idleException(m_ports.settings, m_idleTime, *m_idleInhibition,
                                                  m_ports.workspace.activeApplication().name, &thresholdPassed);
    if (exception == IdleException::ApplicationInFront || exception == IdleException::Inhibited) {
        // Time while the screen is meant to stay awake is not time away: once that ends, the
        // idle threshold counts from there, and no idle stretch reaches back before it.
        m_keptAwakeAt = m_ports.scheduler.monotonicNow();
        m_tracker.keepAwake();
        return false;
    }
    if (!thresholdPassed || exception != IdleException::None)
        return false;
    const double threshold = 60.0 * double(m_ports.settings.integerValue(SettingsKey::MinutesUntilIdle));
    return !m_keptAwakeAt || m_ports.scheduler.secondsSince(*m_keptAwakeAt) >= threshold;
}

void KestrumController::setIdleInhibition(IdleInhibitionSource *source)
{
    m_idleInhibition = source ? source : &g_noIdleInhibition;
}

void KestrumController::setButtonTitle(const QString &title)
{
    if (m_buttonTitle == title)
        return;
    m_buttonTitle = title;
    Q_EMIT countingChanged(title == PauseTitle);
}

void KestrumController::cancelTick()
{
    if (m_tick)
        m_ports.scheduler.stop(*m_tick);
    m_tick.reset();
}

// --- session, sleep, quitting ---------------------------------------------------------------------

void KestrumController::switchHandler(SessionEvent event)
{
    switch (event) {
    case SessionEvent::Resigned:
        // Counting stops while the user is in another session: it resumes when the session comes
        // back, also when a sleep had paused it, never at a wake. Nothing that happens meanwhile
        // (an application switch, a sleep and a wake) books the time away or starts counting.
        cancelTick();
        if (m_tracker.isRunning() || m_wasRunning) {
            m_tracker.setIsRunning(false);
            m_sessionAway = true;
            m_wasRunning = false;
        }
        storeTimings();
        break;
    case SessionEvent::BecameActive:
        // Resume as after a wake: the time in the other session is booked nowhere.
        if (m_sessionAway && !m_tick) {
            m_tracker.awakeFromSleep();
            startTimer();
        }
        m_sessionAway = false;
        break;
    }
}

void KestrumController::stopTimerWithCondition()
{
    if (!m_tracker.isRunning())
        return;
    m_wasRunning = true;
    stopTimer();
}

void KestrumController::conditionallyStartTimer()
{
    if (m_wasRunning) {
        m_wasRunning = false;
        m_tracker.awakeFromSleep();
        startTimer();
    }
    // The schedule's timer stood still while the machine slept. Counting resumes first, so a
    // save missed during the sleep is made now with the timings it would have written.
    m_periodicSave.rearm();
}

Question KestrumController::quitQuestion()
{
    return {
        tr("Timer still running."),
        tr("There is a timer currently running. Kestrum must remain open in order to keep track of time. "
           "Are you sure you wish to quit?"),
        tr("Remain Open", "button: do not quit"),
        tr("Quit", "button: quit although counting"),
        QString(),
    };
}

bool KestrumController::applicationShouldTerminate()
{
    if (!m_tick)
        return true;
    if (m_ports.questions.ask(quitQuestion()) != QuestionAnswer::Alternate)
        return false;
    storeTimings();
    return true;
}

void KestrumController::applicationWillTerminate()
{
    storeTimings();
}

// --- timings on disk --------------------------------------------------------------------------------

bool KestrumController::saveSettingsToDisk(QString *error)
{
    QString reason;
    storeTimingsInSettings(m_tracker, m_ports.settings);
    const SettingsFileWrite write = m_ports.settings.pendingWrite();
    if (m_saver ? m_saver->saveNow(write, &reason) : write.perform(&reason))
        return true;
    Q_EMIT saveFailed(reason);
    if (error)
        *error = reason;
    return false;
}

void KestrumController::storeTimings()
{
    if (m_storeTiming == StoreTiming::Deferred) {
        m_storeDue = true;
        return;
    }
    if (!m_saver) {
        saveSettingsToDisk();
        return;
    }
    storeTimingsInSettings(m_tracker, m_ports.settings);
    m_saver->save(m_ports.settings.pendingWrite());
}

bool KestrumController::storeDueTimings(QString *error)
{
    return !std::exchange(m_storeDue, false) || saveSettingsToDisk(error);
}

void KestrumController::setBackgroundSaver(BackgroundSaver *saver)
{
    m_saver = saver;
    connect(saver, &BackgroundSaver::failed, this, &KestrumController::saveFailed);
}

void KestrumController::loadDictionary(const QVariant &dictionary)
{
    if (::loadDictionary(m_tracker, dictionary))
        computeTime();
}

bool KestrumController::loadSettingsFromDisk(const QString &path, QString *error)
{
    const PropertyListResult document = readTimingDocument(path);
    if (!document.ok()) {
        qCWarning(lcController).noquote() << document.error;
        if (error)
            *error = document.error;
        return false;
    }
    loadDictionary(document.value);
    return true;
}

bool KestrumController::writeDocument(const QString &path, QString *error)
{
    return writeTimingDocument(m_tracker, path, error);
}

void KestrumController::clearTimersConfirmed()
{
    m_tracker.reset();
    computeTime();
    storeTimings();
}

// --- the periodic save --------------------------------------------------------------------------

void KestrumController::updatedSaveTimerPeriodically()
{
    m_periodicSave.rebuild();
}

void KestrumController::performPeriodicSave()
{
    m_periodicSave.fire();
}

PeriodicSaveOutcome KestrumController::doPeriodicSave()
{
    return m_periodicSave.save();
}

void KestrumController::setPeriodicDaysOfWeek(const WeekdaySelection &selection)
{
    m_ports.settings.setValue(SettingsKey::PeriodicDaysOfWeek, PeriodicSave::maskForSelection(selection));
    updatedSaveTimerPeriodically();
}

WeekdaySelection KestrumController::selectProperPeriodicDaysOfWeek() const
{
    return PeriodicSave::selectionForMask(quint64(m_ports.settings.integerValue(SettingsKey::PeriodicDaysOfWeek)));
}

void KestrumController::setPeriodicSaveDirectory(const QString &directory)
{
    m_ports.settings.setValue(SettingsKey::PeriodicSaveDirectory, directory);
}

void KestrumController::rescheduleAfterClockChange()
{
    m_periodicSave.rearm();
}

// --- the relay ------------------------------------------------------------------------------------

void KestrumController::processNotification(const Notification &notification)
{
    if (QThread::currentThread() != m_notificationThread) {
        {
            QMutexLocker locker(&m_notificationLock);
            m_notificationQueue.append(notification);
        }
        QMetaObject::invokeMethod(this, &KestrumController::drainNotifications, Qt::QueuedConnection);
        return;
    }
    if (notification.name == LoadFileNotification)
        loadSettingsFromDisk(notification.object.toString());
}

void KestrumController::drainNotifications()
{
    for (;;) {
        Notification next;
        {
            QMutexLocker locker(&m_notificationLock);
            if (m_notificationQueue.isEmpty())
                return;
            next = m_notificationQueue.takeFirst();
        }
        processNotification(next);
    }
}

// --- totals -------------------------------------------------------------------------------------------

double KestrumController::selectionTotal(const QList<TimeStoreNode *> &selected, const TimeTracker &tracker)
{
    QSet<TimeStoreNode *> nodes(selected.cbegin(), selected.cend());
    if (nodes.isEmpty())
        return tracker.totalTime();
    // A window whose application is selected too counts once, through the application.
    QSet<TimeStoreNode *> counted;
    for (TimeStoreNode *node : std::as_const(nodes)) {
        if (!node->isLeaf()) {
            for (TimeStoreNode *child : node->children().value_or(QList<TimeStoreNode *>()))
                counted.insert(child);
        }
    }
    double total = 0.0;
    for (TimeStoreNode *node : std::as_const(nodes)) {
        if (!counted.contains(node))
            total += node->activeTime();
    }
    return total;
}

void KestrumController::clickInTable()
{
    const QList<TimeStoreNode *> selected = m_selection ? m_selection() : QList<TimeStoreNode *>();
    const QString text = TimeTracker::timeStringForDouble(selectionTotal(selected, m_tracker));
    if (text == m_timeSum)
        return;
    m_timeSum = text;
    Q_EMIT timeSumChanged(text);
}
