#pragma once

#include "PeriodicSave.h"
#include "persistence/SettingsStore.h"
#include "tracking/IdleTime.h"
#include "tracking/Scheduler.h"
#include "tracking/TimeTracker.h"

#include <QMutex>
#include <QObject>

#include <functional>
#include <optional>

class BackgroundSaver;
class QThread;

// The desktop services and the settings the controller works with; they outlive it.
struct ControllerPorts
{
    Scheduler &scheduler;
    Workspace &workspace;
    Accessibility &accessibility;
    IdleSource &idleSource;
    SettingsStore &settings; // loaded already
    QuestionDialog &questions;
};

// A notification handed to the controller, possibly from another thread.
struct Notification
{
    QString name;
    QVariant object;
};

enum class SessionEvent { Resigned, BecameActive };

// When storeTimings() writes the settings file: at once, or when storeDueTimings() is called.
enum class StoreTiming { AtOnce, Deferred };

// The application's brain, without widgets: it owns the tracker and the one-second tick,
// switches counting on and off (Start/Pause, sleep, session switches), decides whether the
// application may quit, loads and stores the timings, and relays notifications from other
// threads. One controller per process; the window connects to its signals.
class KestrumController : public QObject
{
    Q_OBJECT

public:
    // Which title the button has; the window shows it in the user's language.
    static inline const QString StartTitle = QStringLiteral("Start");
    static inline const QString PauseTitle = QStringLiteral("Pause");
    static inline const QString LoadFileNotification = QStringLiteral("LoadFile");
    static constexpr double TickInterval = 1.0;
    static constexpr double StoreInterval = 900.0;
    // Seconds after the start at which the timings as read give way to a snapshot.
    static constexpr double ReleaseReadTimingsDelay = 2.0;

    explicit KestrumController(ControllerPorts ports, QObject *parent = nullptr);
    ~KestrumController() override;

    // The controller the power messages go to: the one created last, while it lives.
    static KestrumController *current();

    TimeTracker &tracker() { return m_tracker; }
    const TimeTracker &tracker() const { return m_tracker; }
    SettingsStore &settings() { return m_ports.settings; }

    // End of launching: the timings are stored every 15 minutes from now on, and counting starts
    // when the user asked for that at every launch.
    void finishLaunching();

    // --- counting -----------------------------------------------------------------------------
    // The Start/Pause button: its title says what pressing it does (StartTitle or PauseTitle).
    QString buttonTitle() const { return m_buttonTitle; }
    bool isTicking() const { return m_tick.has_value(); }
    void toggleCounting();
    void startTimer();
    void stopTimer();
    void computeTime(); // one tick
    // Whether the time without input now is idle: past the threshold, and no exception holds.
    bool isIdle();
    // Where the idle inhibitors are asked from now on (null: nothing ever keeps the screen awake).
    void setIdleInhibition(IdleInhibitionSource *source);

    // --- the login session, sleep and quitting --------------------------------------------------
    void switchHandler(SessionEvent event);
    void stopTimerWithCondition(); // sleep is near: counting pauses, to resume on wake
    void conditionallyStartTimer(); // awake again, or the sleep was cancelled
    bool isSuspendedForSleep() const { return m_wasRunning; }
    bool isSessionAway() const { return m_sessionAway; }
    // Whether the application may quit now; asks the user while counting.
    bool applicationShouldTerminate();
    void applicationWillTerminate();
    static Question quitQuestion();

    // --- the timings on disk ------------------------------------------------------------------
    // Stores the timings in the settings file now, after any write still under way; a failure
    // is signalled and, when asked, described. The quit path's save.
    bool saveSettingsToDisk(QString *error = nullptr);
    // Stores the timings in the settings file: on the saver's thread once one is set, else at
    // once. The window's thread only takes a snapshot.
    void storeTimings();
    // From now on, storeTimings() leaves writing to `saver`, which outlives the controller.
    void setBackgroundSaver(BackgroundSaver *saver);
    // Deferred: storeTimings() only notes that the timings are due to be stored. A replay runs
    // days of virtual time in seconds, and storing a large store every 15 minutes of it would
    // cost as much as the store has windows, again and again, for a file only the last store
    // leaves behind.
    void setStoreTiming(StoreTiming timing) { m_storeTiming = timing; }
    // Stores the timings if a deferred store is due, as saveSettingsToDisk() does.
    bool storeDueTimings(QString *error = nullptr);
    // Replaces the timings with a saved dictionary and ticks, as after any load.
    void loadDictionary(const QVariant &dictionary);
    // Loads a timing document; on failure the timings stay as they were.
    bool loadSettingsFromDisk(const QString &path, QString *error = nullptr);
    bool writeDocument(const QString &path, QString *error = nullptr);
    // Clear Timers, once the user has confirmed it.
    void clearTimersConfirmed();

    // --- the periodic save ---------------------------------------------------------------------
    // Rebuilds the daily schedule from the settings; after any change of saveTimerPeriodically,
    // periodicSaveTime or periodicDaysOfWeek.
    void updatedSaveTimerPeriodically();
    // The schedule's daily fire: saves when today's weekday is selected.
    void performPeriodicSave();
    // Writes the dated files and starts the store over, when counting.
    PeriodicSaveOutcome doPeriodicSave();
    // Stores the weekday selection (index 0 = Sunday) as the weekday mask and rebuilds the schedule.
    void setPeriodicDaysOfWeek(const WeekdaySelection &selection);
    // The weekday selection the stored mask stands for, as the preferences window shows it.
    WeekdaySelection selectProperPeriodicDaysOfWeek() const;
    // Stores the directory that receives the dated files; read at each save.
    void setPeriodicSaveDirectory(const QString &directory);
    // The system time or time zone changed: the schedule follows the wall clock.
    void rescheduleAfterClockChange();
    const PeriodicSave &periodicSave() const { return m_periodicSave; }

    // --- notifications from any thread ---------------------------------------------------------
    // Handled at once on the controller's thread; queued and handled there, in order, from others.
    void processNotification(const Notification &notification);

    // --- the totals label -----------------------------------------------------------------------
    // The nodes selected in the outline; none selected means all.
    void setSelectionProvider(std::function<QList<TimeStoreNode *>()> provider) { m_selection = std::move(provider); }
    void clickInTable();
    QString timeSum() const { return m_timeSum; }
    static double selectionTotal(const QList<TimeStoreNode *> &selected, const TimeTracker &tracker);

Q_SIGNALS:
    void countingChanged(bool counting); // the button's title changed
    void timeSumChanged(const QString &text);
    void saveFailed(const QString &error);
    void periodicSaveFailed(const QString &error);

private:
    void setButtonTitle(const QString &title);
    void cancelTick();
    void drainNotifications();

    ControllerPorts m_ports;
    IdleTimeReader m_idleTime;
    IdleInhibitionSource *m_idleInhibition;
    // When an exception last kept the time from being idle (an inhibitor, a never-idle application).
    std::optional<Clock::MonotonicTime> m_keptAwakeAt;
    TimeTracker m_tracker;
    PeriodicSave m_periodicSave;
    BackgroundSaver *m_saver = nullptr;
    StoreTiming m_storeTiming = StoreTiming::AtOnce;
    bool m_storeDue = false;
    std::optional<Scheduler::TimerId> m_tick;
    std::optional<Scheduler::TimerId> m_storeTimer;
    std::optional<Scheduler::TimerId> m_releaseReadTimings;
    QString m_buttonTitle = StartTitle;
    QString m_timeSum;
    std::function<QList<TimeStoreNode *>()> m_selection;
    bool m_wasRunning = false;
    bool m_sessionAway = false; // counting was on, or paused by a sleep, when the session was switched away

    QThread *m_notificationThread = nullptr;
    QMutex m_notificationLock;
    QList<Notification> m_notificationQueue;
};
