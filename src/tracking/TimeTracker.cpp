#include "TimeTracker.h"

#include "DocumentName.h"
#include "IdleTime.h"
#include "QuestionDialog.h"
#include "Settings.h"
#include "Workspace.h"
#include "store/DurationText.h"
#include "store/SafeText.h"

#include <algorithm>

Q_LOGGING_CATEGORY(lcTracking, "kestrum.tracking")

using Lock = std::lock_guard<std::recursive_mutex>;

TimeTracker::TimeTracker(TrackerPorts ports)
    : m_ports(ports)
{
    setupAppChangeNotification();
    m_isAXEnabled = m_ports.accessibility.isAccessEnabled();
    m_trackDocumentTiming = m_isAXEnabled && m_ports.settings.boolValue(SettingsKey::EnableDocumentMonitoring);
    m_waitForUniversalAccessChange = false;
    if (m_ports.settings.boolValue(SettingsKey::EnableDocumentMonitoring) && !m_isAXEnabled)
        askForAccessibility();
    m_startingTime = m_ports.clock.monotonicNow();
    m_idleCountedUntil = m_startingTime;
    m_notifier.subscribe([this](const ChangeNotice &notice) {
        if (notice.phase != ChangePhase::Did || !m_othersTotal)
            return;
        if (notice.property == ObservedProperty::TimeSet
            || (notice.property == ObservedProperty::ActiveTimeString && notice.node != m_othersTotal->counting
                && dynamic_cast<const TimeStoreApp *>(notice.node)))
            m_othersTotal.reset();
    });
}

TimeTracker::~TimeTracker()
{
    // Stop the desktop's callbacks before the store goes.
    m_appSwitchSubscription.reset();
    m_observation.observer.reset();
}

QString TimeTracker::timeStringForDouble(double seconds)
{
    return ::timeStringForDouble(seconds);
}

std::optional<QString> TimeTracker::storableName(const std::optional<QString> &name)
{
    return name ? std::optional(xmlSafeText(*name)) : std::nullopt;
}

// --- observation -------------------------------------------------------------------------------

void TimeTracker::setupAppChangeNotification()
{
    m_appSwitchSubscription = m_ports.workspace.subscribeToApplicationSwitches([this] { appDidChange(); });
    if (!m_appSwitchSubscription)
        qCWarning(lcTracking, "Could not install app change handler.");
}

Question TimeTracker::accessibilityAlert()
{
    return {
        tr("Kestrum is now able to keep track of the active time spent in each document as well as in "
           "each application. However to enable this support you must turn on support for assistive "
           "devices in the Universal Access preference panel."),
        QString(),
        tr("Open System Preferences"),
        tr("Disable and Don't Ask Again"),
        tr("Ignore This Time"),
    };
}

void TimeTracker::askForAccessibility()
{
    switch (m_ports.questions.ask(accessibilityAlert())) {
    case QuestionAnswer::Default:
        openUniversalAccessPreferences();
        break;
    case QuestionAnswer::Alternate:
        m_ports.settings.setValue(SettingsKey::EnableDocumentMonitoring, false);
        break;
    case QuestionAnswer::Other:
        break;
    }
}

void TimeTracker::openUniversalAccessPreferences()
{
    m_ports.accessibility.openAccessibilitySettings();
    if (!m_isAXEnabled)
        m_waitForUniversalAccessChange = true;
}

void TimeTracker::recheckAccessibility()
{
    if (!m_waitForUniversalAccessChange)
        return;
    const bool enabled = m_ports.accessibility.isAccessEnabled();
    if (enabled == m_isAXEnabled)
        return;
    m_notifier.willChange(nullptr, ObservedProperty::IsAXEnabled);
    m_isAXEnabled = enabled;
    m_notifier.didChange(nullptr, ObservedProperty::IsAXEnabled);
    m_trackDocumentTiming = m_isAXEnabled && m_ports.settings.contains(SettingsKey::EnableDocumentMonitoring);
    m_waitForUniversalAccessChange = false;
}

bool TimeTracker::setupObserver(qint64 pid)
{
    m_observation.observer.reset();
    m_observation.observer = m_ports.accessibility.createObserver(pid, [this] { mainWindowDidChange(); });
    WindowObserver *observer = m_observation.observer.get();
    const AppElement element = *m_observation.element;
    const bool ok = observer && observer->addNotification(element, *m_observation.notification)
        && observer->addNotification(element, WindowNotification::FocusedWindowChanged);
    if (!ok)
        return false;
    observer->attach();
    return true;
}

void TimeTracker::mainWindowDidChange()
{
    Lock lock(m_monitor);
    if (!m_isRunning || !m_observation.element)
        return;

    Accessibility &ax = m_ports.accessibility;
    const std::optional<WindowElement> window = ax.mainWindow(*m_observation.element);
    if (!window)
        return;
    if (!ax.applicationTitle(*m_observation.element))
        return;
    // What the user keeps private never gets further than this.
    m_privacy.update(m_ports.settings);
    const std::optional<QString> title =
        storableName(m_activeStoreApp && m_activeStoreApp->name() ? m_privacy.recordedTitle(*m_activeStoreApp->name(), ax.windowTitle(*window))
                                                                  : ax.windowTitle(*window));
    const bool sameWindow = !m_observation.windowElement.isNull() && m_observation.windowElement == *window;
    if (!title && sameWindow)
        return;

    if (m_observation.windowStartDate && isIdleNode(m_activeStoreApp)) {
        // Idle and screen-saver time belongs to no window.
        m_activeStoreWindow = nullptr;
        m_observation.windowStartDate = m_ports.clock.monotonicNow();
    } else if (m_observation.windowStartDate) {
        // A private window's node is named so, whatever a document name would make of it.
        const std::optional<QString> documentName =
            title == PrivacyRules::PrivateTitle ? title : title ? getDocStringNameForName(*title) : std::nullopt;
        if (!sameWindow || (m_activeStoreWindow && documentName && documentName != m_activeStoreWindow->name())) {
            // The time since the last booking was spent in the window that was main until now,
            // under its name: the application's too, so that its stretch in the history ends
            // here rather than at the next tick.
            bookWindowInterval();
            bookActiveApp(m_observation.startDate);
            resetInternalTimes();
        }
        if (!sameWindow)
            m_activeStoreWindow = nullptr;
        if (m_activeStoreWindow) {
            // A window reused for another document: its node follows the new name. A title
            // that names no document leaves the node's name as it is, so the node is never
            // left nameless (its time would be lost on the next save).
            if (documentName)
                m_activeStoreWindow->setName(documentName);
        } else if (title && m_activeStoreApp) {
            m_activeStoreWindow = m_activeStoreApp->windowStoreForName(documentName, *window);
        }
        bookWindowInterval();
    }
    // A window whose title cannot be read yet is remembered too: it collects time from the
    // moment its title can be read.
    m_observation.windowElement = *window;
}

// --- booking -----------------------------------------------------------------------------------

void TimeTracker::setCurrentApp(const std::optional<QString> &name)
{
    if (!name || name->isEmpty())
        return;
    const QString &appName = *name == ScreenSaverAppName ? IdleAppName : *name;

    if (TimeStoreApp *existing = m_timeDictionary.value(appName, nullptr)) {
        m_activeStoreApp = existing;
        return;
    }
    m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
    auto app = std::make_unique<TimeStoreApp>(appName);
    m_activeStoreApp = app.get();
    {
        Lock lock(m_monitor);
        addNode(std::move(app));
    }
    m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
}

void TimeTracker::addNode(std::unique_ptr<TimeStoreApp> app)
{
    app->setNotifier(&m_notifier);
    m_timeDictionary.insert(*app->name(), app.get());
    m_timeSet.push_back(std::move(app));
}

void TimeTracker::appDidChange()
{
    recheckAccessibility();
    if (!m_isRunning)
        return;
    {
        Lock lock(m_monitor);
        if (m_observation.notification) {
            // Book the open interval to the application and window it belongs to. The desktop
            // has moved on already: asked now, it may name the next application's window for
            // the previous one (one process can show windows of several applications, and on
            // wlroots every process id is 0), so the window is the one last seen.
            m_observation.observer.reset();
            book(false, WindowReading::LastSeen);
        }
        const FrontApplication front = m_ports.workspace.activeApplication();
        const TimeStoreApp *previousApp = m_activeStoreApp;
        setCurrentApp(storableName(front.name));
        // The window node belongs to the application it was found under.
        if (m_activeStoreApp != previousApp)
            m_activeStoreWindow = nullptr;
        m_observation.notification = WindowNotification::MainWindowChanged;
        bool observing = true;
        if (front.name && !front.name->isEmpty()) {
            m_observation.element = m_ports.accessibility.elementForProcess(front.pid);
            observing = !m_trackDocumentTiming || setupObserver(front.pid);
        } else {
            // The previous application's node takes the time of an application without a name,
            // but that application's windows are none of its windows: no window time is booked.
            m_activeStoreWindow = nullptr;
            m_observation.element.reset();
        }
        if (observing)
            resetInternalTimes();
        else
            m_observation.notification.reset(); // the intervals go on; the ticks read the windows
        // The new application's main window is known from the start, so that its first
        // stretch is booked to it when the next window comes.
        if (m_trackDocumentTiming)
            mainWindowDidChange();
        if (!observing)
            return;
    }
    m_startingTime = m_ports.clock.monotonicNow();
}

void TimeTracker::updateActiveTimeInStore(TimeStoreNode *node, std::optional<MonotonicTime> from)
{
    if (!from || !node)
        return;
    node->addTimeInterval(m_ports.clock.secondsSince(*from));
}

void TimeTracker::bookWindowInterval()
{
    if (!m_observation.windowStartDate)
        return;
    updateActiveTimeInStore(m_activeStoreWindow, m_observation.windowStartDate);
    m_observation.windowStartDate = m_ports.clock.monotonicNow();
}

void TimeTracker::resetInternalTimes()
{
    const MonotonicTime now = m_ports.clock.monotonicNow();
    m_observation.startDate = now;
    m_observation.windowStartDate = now;
}

bool TimeTracker::isIdleNode(const TimeStoreNode *node)
{
    return node && node->name() == IdleAppName;
}

double TimeTracker::takeBack(TimeStoreNode *node, double seconds, std::optional<MonotonicTime> bookedUntil)
{
    if (!node)
        return 0.0;
    // The seconds since the node was last booked were never given to it.
    const double unbooked = bookedUntil ? std::max(0.0, m_ports.clock.secondsSince(*bookedUntil)) : 0.0;
    const double given = std::max(0.0, seconds - unbooked);
    // A node gives back at most what it holds.
    const double taken = std::clamp(node->activeTime(), 0.0, given);
    node->addTimeInterval(-taken);
    return taken;
}

void TimeTracker::bookActiveApp(std::optional<MonotonicTime> from)
{
    if (from)
        bookActiveApp(m_ports.clock.secondsSince(*from));
}

void TimeTracker::bookActiveApp(double seconds)
{
    if (!m_activeStoreApp)
        return;
    m_activeStoreApp->addTimeInterval(seconds);
    if (m_openAway && isIdleNode(m_activeStoreApp)) {
        m_openAway->seconds += seconds;
        m_openAway->end = m_ports.clock.wallNowUtc();
    }
    if (m_bookingListener && m_activeStoreApp->name()) {
        // Idle time belongs to no window, whatever window was last in front.
        const bool inWindow = m_activeStoreWindow && !isIdleNode(m_activeStoreApp);
        const std::optional<QString> window = inWindow ? m_activeStoreWindow->name() : std::nullopt;
        m_bookingListener->booked(*m_activeStoreApp->name(), window, seconds, m_ports.clock.wallNowUtc());
    }
}

void TimeTracker::becomeIdle()
{
    m_wasIdle = true;
    if (!m_isRunning) {
        // Nothing is counted, so nothing is moved: only the starts follow.
        resetInternalTimes();
        return;
    }
    const MonotonicTime now = m_ports.clock.monotonicNow();
    // The idle stretch reaches back neither before counting was switched on nor into time
    // already counted as idle.
    const double idleSeconds =
        std::min(double(m_ports.idleTime.idleTime()), std::max(0.0, m_ports.clock.secondsSince(m_idleCountedUntil)));
    // Only the part spent in the current application can be taken back from it; what earlier
    // applications were given stays with them, so no second is counted twice.
    const double sinceAppChange = std::max(0.0, std::chrono::duration<double>(now - m_startingTime).count());
    const double moved = std::min(idleSeconds, sinceAppChange);
    const double taken = takeBack(m_activeStoreApp, moved, m_observation.startDate);
    if (m_bookingListener && taken > 0.0 && m_activeStoreApp && m_activeStoreApp->name())
        m_bookingListener->tookBack(*m_activeStoreApp->name(), taken);
    takeBack(m_activeStoreWindow, moved, m_observation.windowStartDate);
    setCurrentApp(IdleAppName);
    const QDateTime wallNow = m_ports.clock.wallNowUtc();
    m_openAway = AwayStretch{0, wallNow.addMSecs(-qint64(std::llround(moved * 1000.0))), wallNow, 0.0};
    if (m_bookingListener)
        m_bookingListener->awayBoundary();
    bookActiveApp(moved);
    resetInternalTimes();
    m_idleCountedUntil = now;
}

double TimeTracker::secondsBeforeAsking() const
{
    const qint64 threshold = m_ports.settings.integerValue(SettingsKey::MinutesUntilIdle);
    const qint64 minimum = m_ports.settings.integerValue(SettingsKey::MinutesAwayBeforeAsking);
    return 60.0 * double(std::max<qint64>({threshold, minimum, 0}));
}

void TimeTracker::closeAwayStretch()
{
    const std::optional<AwayStretch> stretch = std::exchange(m_openAway, std::nullopt);
    if (stretch && m_bookingListener)
        m_bookingListener->awayBoundary();
    // Whole seconds of idle time decide the move: a stretch of the threshold may fall short of it
    // by less than a second.
    if (!stretch || !m_ports.settings.boolValue(SettingsKey::AskAboutTimeAway) || stretch->seconds + 1.0 < secondsBeforeAsking())
        return;
    AwayStretch asked = *stretch;
    asked.id = ++m_lastAwayId;
    m_unansweredAway.append(asked);
    if (m_awayQuestionHandler)
        m_awayQuestionHandler();
}

void TimeTracker::dropAwayStretch()
{
    m_openAway.reset();
}

std::optional<AwayStretch> TimeTracker::takeUnanswered(quint64 id)
{
    const auto found = std::find_if(m_unansweredAway.begin(), m_unansweredAway.end(), [id](const AwayStretch &s) { return s.id == id; });
    if (found == m_unansweredAway.end())
        return std::nullopt;
    const AwayStretch stretch = *found;
    m_unansweredAway.erase(found);
    return stretch;
}

bool TimeTracker::answerAway(quint64 id, const AwayAnswer &answer)
{
    Lock lock(m_monitor);
    const QString label = answer.label.trimmed();
    if (label.isEmpty() || label == IdleAppName)
        return false;
    const std::optional<AwayStretch> taken = takeUnanswered(id);
    if (!taken)
        return false;
    const AwayStretch &stretch = *taken;
    TimeStoreApp *idle = appForName(IdleAppName);
    const double moved = idle ? std::clamp(idle->activeTime(), 0.0, stretch.seconds) : 0.0;
    if (idle)
        idle->addTimeInterval(-moved);
    TimeStoreApp *entry = appForName(label);
    if (!entry) {
        m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
        auto app = std::make_unique<TimeStoreApp>(label);
        app->setAway(true);
        entry = app.get();
        addNode(std::move(app));
        m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
    }
    entry->addTimeInterval(moved);
    m_othersTotal.reset();
    if (m_bookingListener)
        m_bookingListener->answeredAway(stretch.start, stretch.end, label, answer.category);
    if (m_awayQuestionHandler)
        m_awayQuestionHandler();
    return true;
}

bool TimeTracker::keepAwayAsIdle(quint64 id)
{
    Lock lock(m_monitor);
    if (!takeUnanswered(id))
        return false;
    if (m_awayQuestionHandler)
        m_awayQuestionHandler();
    return true;
}

void TimeTracker::updateDisplayTime(bool idle)
{
    book(idle, WindowReading::AskDesktop);
}

void TimeTracker::book(bool idle, WindowReading reading)
{
    Lock lock(m_monitor);
    if (idle && !m_wasIdle) {
        becomeIdle();
    } else if (!idle && m_wasIdle) {
        m_wasIdle = false;
        // The time up to now belongs to the stretch away; the user is back from here on.
        if (m_isRunning && m_openAway) {
            bookActiveApp(m_observation.startDate);
            resetInternalTimes();
        }
        closeAwayStretch();
        appDidChange();
    }
    if (m_isRunning) {
        if (!idle && m_trackDocumentTiming) {
            if (reading == WindowReading::AskDesktop)
                mainWindowDidChange();
            else if (!isIdleNode(m_activeStoreApp))
                bookWindowInterval();
        }
        bookActiveApp(m_observation.startDate);
        resetInternalTimes();
        if (isIdleNode(m_activeStoreApp))
            m_idleCountedUntil = m_ports.clock.monotonicNow();
    }
}

void TimeTracker::setIsRunning(bool running)
{
    Lock lock(m_monitor);
    dropAwayStretch();
    m_isRunning = running;
    resetInternalTimes();
    if (running) {
        m_idleCountedUntil = m_ports.clock.monotonicNow();
        appDidChange();
    }
}

void TimeTracker::keepAwake()
{
    Lock lock(m_monitor);
    m_idleCountedUntil = std::max(m_idleCountedUntil, m_ports.clock.monotonicNow());
}

void TimeTracker::awakeFromSleep()
{
    dropAwayStretch();
    m_wasIdle = true;
    m_idleCountedUntil = m_ports.clock.monotonicNow();
    resetInternalTimes();
}

void TimeTracker::reset()
{
    {
        Lock lock(m_monitor);
        dropAwayStretch();
        m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
        m_activeStoreWindow = nullptr;
        m_activeStoreApp = nullptr;
        m_timeDictionary.clear();
        m_timeSet.clear();
        m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
        m_observation.notification.reset();
    }
    appDidChange();
}

double TimeTracker::totalTime() const
{
    Lock lock(m_monitor);
    const bool includeIdle = m_ports.settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes);
    if (!m_othersTotal || m_othersTotal->counting != m_activeStoreApp || m_othersTotal->includeIdle != includeIdle) {
        double others = 0.0;
        for (const auto &app : m_timeSet) {
            if (app.get() != m_activeStoreApp)
                others += countedInTotal(*app, includeIdle);
        }
        m_othersTotal = OthersTotal{m_activeStoreApp, includeIdle, others};
    }
    return m_othersTotal->seconds + (m_activeStoreApp ? countedInTotal(*m_activeStoreApp, includeIdle) : 0.0);
}

double TimeTracker::totalTimeOf(const QList<TimeStoreApp *> &apps) const
{
    const bool includeIdle = m_ports.settings.boolValue(SettingsKey::IncludeIdleInSumOfTimes);
    double total = 0.0;
    for (const TimeStoreApp *app : apps)
        total += countedInTotal(*app, includeIdle);
    return total;
}

double TimeTracker::countedInTotal(const TimeStoreApp &app, bool includeIdle)
{
    return includeIdle || app.name() != IdleAppName ? app.activeTime() : 0.0;
}

QList<TimeStoreApp *> TimeTracker::allApplications() const
{
    QList<TimeStoreApp *> apps;
    apps.reserve(qsizetype(m_timeSet.size()));
    for (const auto &app : m_timeSet)
        apps.append(app.get());
    return apps;
}

// --- the filtered set --------------------------------------------------------------------------

QList<TimeStoreApp *> TimeTracker::timeSet() const
{
    Lock lock(m_monitor);
    QList<TimeStoreApp *> result;
    result.reserve(qsizetype(m_timeSet.size()));
    const auto windowMatches = [this](const auto &window) { return window->nameContains(m_searchString); };
    for (const auto &app : m_timeSet) {
        const auto &windows = app->windows();
        if (app->reaches(m_cutoffTime)
            && (app->nameContains(m_searchString) || std::any_of(windows.cbegin(), windows.cend(), windowMatches)))
            result.append(app.get());
    }
    return result;
}

QList<TimeStoreWindow *> TimeTracker::shownWindows(const TimeStoreApp &app) const
{
    Lock lock(m_monitor);
    const bool all = app.nameContains(m_searchString);
    QList<TimeStoreWindow *> windows;
    for (const auto &window : app.windows()) {
        if (all || window->nameContains(m_searchString))
            windows.append(window.get());
    }
    return windows;
}

void TimeTracker::setSearchString(const std::optional<QString> &searchString)
{
    m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
    {
        Lock lock(m_monitor);
        m_searchString = searchString && !searchString->isEmpty() ? searchString : std::nullopt;
    }
    m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
}

void TimeTracker::setCutoffTime(float seconds)
{
    m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
    {
        Lock lock(m_monitor);
        m_cutoffTime = seconds;
    }
    m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
}

std::optional<QString> TimeTracker::searchString() const
{
    Lock lock(m_monitor);
    return m_searchString;
}

float TimeTracker::cutoffTime() const
{
    Lock lock(m_monitor);
    return m_cutoffTime;
}
