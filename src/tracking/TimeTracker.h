#pragma once

#include "AwayStretch.h"
#include "BookingListener.h"
#include "PrivacyRules.h"
#include "Accessibility.h"
#include "Clock.h"
#include "QuestionDialog.h"
#include "Workspace.h"
#include "store/ChangeNotifier.h"
#include "store/TimeStoreApp.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QLoggingCategory>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class IdleTimeReader;
class QuestionDialog;
class Settings;


Q_DECLARE_LOGGING_CATEGORY(lcTracking)

// The desktop services and the settings the tracker works with; they outlive it.
struct TrackerPorts
{
    Workspace &workspace;
    Accessibility &accessibility;
    IdleTimeReader &idleTime;
    Clock &clock;
    Settings &settings;
    QuestionDialog &questions;
};

// Books elapsed time to the application in front and its main window, moves idle stretches
// to the "Idle" entry, and owns the time store. Driven by the one-second tick
// (updateDisplayTime), application switches (appDidChange), the window observer
// (mainWindowDidChange), Start/Pause (setIsRunning), wake (awakeFromSleep) and clearing (reset).
//
// Intervals are measured on the monotonic clock, so a change of the wall clock never books time.
// Operations nest (a tick may run an application change, which runs a tick), so they are
// serialised on a recursive monitor.
class TimeTracker
{
    Q_DECLARE_TR_FUNCTIONS(TimeTracker)

public:
    using MonotonicTime = Clock::MonotonicTime;
    using AppList = std::vector<std::unique_ptr<TimeStoreApp>>;

    static inline const QString IdleAppName = QStringLiteral("Idle"); // not translated: the stored entry name
    static inline const QString ScreenSaverAppName = QStringLiteral("ScreenSaverEngine"); // not translated: an application's name

    explicit TimeTracker(TrackerPorts ports);
    ~TimeTracker();

    TimeTracker(const TimeTracker &) = delete;
    TimeTracker &operator=(const TimeTracker &) = delete;

    static QString timeStringForDouble(double seconds);

    // --- booking ---------------------------------------------------------------------
    // Hears every booking to an application from now on (null: nobody).
    void setBookingListener(BookingListener *listener) { m_bookingListener = listener; }
    void updateDisplayTime(bool idle); // the tick
    void appDidChange();
    void mainWindowDidChange();
    void setIsRunning(bool running);
    bool isRunning() const { return m_isRunning; }
    void awakeFromSleep();
    // The screen is meant to stay awake now (a film, a call): no idle stretch reaches back before now.
    void keepAwake();
    void reset();
    void setCurrentApp(const std::optional<QString> &name);
    void updateActiveTimeInStore(TimeStoreNode *node, std::optional<MonotonicTime> from);
    // Books the time since `from` to the active application, and tells the listener.
    void bookActiveApp(std::optional<MonotonicTime> from);
    void bookActiveApp(double seconds);
    void resetInternalTimes();

    // Sum of all application nodes; "Idle" only when the settings include it.
    double totalTime() const;
    // The same sum over these applications alone.
    double totalTimeOf(const QList<TimeStoreApp *> &apps) const;

    // --- time away ----------------------------------------------------------------------------
    // The stretches moved to "Idle" that are long enough to ask about and not yet answered,
    // oldest first. One is added when the user comes back while counting; none is for time
    // while counting was off (paused, asleep, the session away).
    const QList<AwayStretch> &unansweredAway() const { return m_unansweredAway; }
    // Called whenever that list changes.
    void setAwayQuestionHandler(std::function<void()> handler) { m_awayQuestionHandler = std::move(handler); }
    // Moves exactly that stretch's seconds from "Idle" (at most what it holds) to the entry
    // `answer.label`, marked as time away, and tells the listener. False for no such stretch.
    bool answerAway(quint64 id, const AwayAnswer &answer);
    // Keeps that stretch as "Idle": it is no longer asked about.
    bool keepAwayAsIdle(quint64 id);

    // --- the store ---------------------------------------------------------------------
    // Every application node, in the order they were added. Use at once; do not keep.
    const AppList &fullTimeSet() const { return m_timeSet; }
    // The same nodes as a new list, for code that takes any set of applications (the exports).
    QList<TimeStoreApp *> allApplications() const;
    // The node that receives the time of the application of that name, if any.
    TimeStoreApp *appForName(const QString &name) const { return m_timeDictionary.value(name, nullptr); }
    ChangeNotifier &notifier() { return m_notifier; }

    // --- the timing snapshot: the whole store as property-list values ------------------------
    // [{"App": {"Name", "ActiveTime"}, "Windows": [{"Name", "ActiveTime"}, ...]}, ...]
    QVariantList arrayRepresentation() const;
    // Adds the snapshot's applications and windows to the store (callers reset it first).
    // Entries without an application name are skipped with a warning; entries of one name,
    // and windows of one name within an application, add their times into one node.
    void setArrayRepresentation(const QVariant &snapshot);
    // Adds one application node with that name and stored time, and no windows.
    void addWindowWithName(const QString &name, const QVariant &timeSpent);

    // The filtered set the outline shows: the applications whose time reaches the cut-off and
    // whose name, or the name of one of whose windows, contains the search text (any case).
    // A new list of live nodes.
    QList<TimeStoreApp *> timeSet() const;
    // The windows of an application the outline lists: all of them when the application's name
    // contains the search text (or there is none), else those whose names contain it.
    QList<TimeStoreWindow *> shownWindows(const TimeStoreApp &app) const;
    void setSearchString(const std::optional<QString> &searchString);
    void setCutoffTime(float seconds);
    std::optional<QString> searchString() const;
    float cutoffTime() const;

    // --- window reading ------------------------------------------------------------------
    bool isAXEnabled() const { return m_isAXEnabled; }
    bool trackDocumentTiming() const { return m_trackDocumentTiming; }
    bool waitForUniversalAccessChange() const { return m_waitForUniversalAccessChange; }
    void openUniversalAccessPreferences();

    // --- state, for the controller and for tests -------------------------------------------
    TimeStoreApp *activeStoreApp() const { return m_activeStoreApp; }
    TimeStoreWindow *activeStoreWindow() const { return m_activeStoreWindow; }
    bool wasIdle() const { return m_wasIdle; }
    bool isObservingWindows() const { return m_observation.observer != nullptr; }

    // The question asked when window titles cannot be read at start.
    static Question accessibilityAlert();

private:
    // Where a booking finds the window the time was spent in: the desktop's main window of the
    // application now, or the window the tracker saw last (at a switch, when the desktop has
    // moved on to the next application).
    enum class WindowReading { AskDesktop, LastSeen };

    struct Observation
    {
        std::unique_ptr<WindowObserver> observer;
        std::optional<AppElement> element;
        WindowElement windowElement;
        // Set by each completed application change: the current application has an open
        // interval that the next change books before switching.
        std::optional<WindowNotification> notification;
        std::optional<MonotonicTime> startDate;
        std::optional<MonotonicTime> windowStartDate;
    };

    // A name read from the desktop as the store keeps it, so that the live name is the stored
    // one: characters a saved file cannot hold become U+FFFD.
    static std::optional<QString> storableName(const std::optional<QString> &name);
    void setupAppChangeNotification();
    void askForAccessibility();
    void recheckAccessibility();
    bool setupObserver(qint64 pid);
    // Books the time since the last booking: the tick's work, with the window found so.
    void book(bool idle, WindowReading reading);
    // Books the time since the window's last booking to the window node in front (if any).
    void bookWindowInterval();
    void becomeIdle();
    // The user is back from the idle stretch under way: it is asked about if it is long enough.
    void closeAwayStretch();
    // The stretch under way ends without a question (counting stops, sleep, a clearing).
    void dropAwayStretch();
    // Takes that stretch off the unanswered list; none when it is not there.
    std::optional<AwayStretch> takeUnanswered(quint64 id);
    double secondsBeforeAsking() const;
    // Answers the seconds the node gave back.
    double takeBack(TimeStoreNode *node, double seconds, std::optional<MonotonicTime> bookedUntil);
    static bool isIdleNode(const TimeStoreNode *node);
    static double countedInTotal(const TimeStoreApp &app, bool includeIdle);
    void addNode(std::unique_ptr<TimeStoreApp> app);
    void addOrMerge(std::unique_ptr<TimeStoreApp> app);

    TrackerPorts m_ports;
    BookingListener *m_bookingListener = nullptr;
    PrivacyRules m_privacy;
    mutable std::recursive_mutex m_monitor;
    ChangeNotifier m_notifier;
    std::unique_ptr<Subscription> m_appSwitchSubscription;

    AppList m_timeSet;
    QHash<QString, TimeStoreApp *> m_timeDictionary;
    // The total of every application but the one counting, which alone changes at a tick: kept
    // until another application's time or the set changes, so a tick costs the same however
    // many applications there are.
    struct OthersTotal
    {
        const TimeStoreApp *counting;
        bool includeIdle;
        double seconds;
    };
    mutable std::optional<OthersTotal> m_othersTotal;
    Observation m_observation;
    TimeStoreApp *m_activeStoreApp = nullptr;
    TimeStoreWindow *m_activeStoreWindow = nullptr;
    std::optional<QString> m_searchString;
    MonotonicTime m_startingTime{};
    // No idle stretch reaches back before this moment: counting was switched on then (Start or
    // wake), or the time up to it is already in "Idle".
    MonotonicTime m_idleCountedUntil{};
    float m_cutoffTime = 0.0f;
    bool m_waitForUniversalAccessChange = false;
    bool m_trackDocumentTiming = false;
    bool m_isAXEnabled = false;
    bool m_isRunning = false;
    bool m_wasIdle = false;
    // The idle stretch under way, while counting.
    std::optional<AwayStretch> m_openAway;
    QList<AwayStretch> m_unansweredAway;
    quint64 m_lastAwayId = 0;
    std::function<void()> m_awayQuestionHandler;
};
