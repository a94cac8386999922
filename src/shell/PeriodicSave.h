#pragma once

#include "tracking/Scheduler.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class Settings;
class TimeTracker;

// What one periodic save did.
enum class PeriodicSaveOutcome {
    Saved, // every file was written and the store started over
    NotCounting, // counting was off: nothing written, the store kept
    UnknownFormat, // the format setting names no known format: nothing written, the store kept
    Failed, // a file could not be written: the store kept
};

// What the periodic save writes, as the values of its format setting; any other value writes nothing.
namespace PeriodicFormat {
constexpr int CsvOnly = 0;
constexpr int DocumentOnly = 1;
constexpr int CsvAndDocument = 2;
} // namespace PeriodicFormat

// The weekday selection, index 0 = Sunday to 6 = Saturday, as the bits of the weekday mask.
using WeekdaySelection = std::array<bool, 7>;

// The daily save of the timings into dated files, at a chosen time of day on chosen weekdays,
// after which the store starts over.
//
// The next fire is kept as a wall-clock date and served by a one-shot timer on the scheduler.
// A timer runs on the monotonic clock, which stands still while the machine sleeps, so after a
// wake or a change of the system time the timer is armed again from that date (rearm), and a
// date that passed meanwhile fires once at once. At most one schedule is armed per process.
class PeriodicSave
{
    Q_DECLARE_TR_FUNCTIONS(PeriodicSave)

public:
    PeriodicSave(Scheduler &scheduler, Settings &settings, TimeTracker &tracker);
    ~PeriodicSave();

    PeriodicSave(const PeriodicSave &) = delete;
    PeriodicSave &operator=(const PeriodicSave &) = delete;

    // Called before the files are written, to book the time counted since the last tick.
    void setBookingHandler(std::function<void()> handler) { m_onBooking = std::move(handler); }
    // Called after a save that wrote every file and reset the store.
    void setSavedHandler(std::function<void()> handler) { m_onSaved = std::move(handler); }
    // Called once per save that could not write all its files, with the reasons.
    void setFailureHandler(std::function<void(const QString &)> handler) { m_onFailed = std::move(handler); }

    // Rebuilds the schedule from the settings: none while the periodic save is off, otherwise a
    // first fire computed from the present moment.
    void rebuild();
    // Arms the timer again from the kept fire date; a date already passed fires now, once.
    void rearm();
    // The timer's action: saves when today's weekday is selected, then arms the next day's fire.
    void fire();
    // Writes the dated files and, when all were written, resets the store.
    PeriodicSaveOutcome save();

    bool isScheduled() const { return m_nextFire.has_value(); }
    std::optional<QDateTime> nextFire() const { return m_nextFire; }

    // --- the rules, as plain functions ------------------------------------------------------------
    // The first moment after `after` (local time) at the hour and minute of `timeOfDay`: the
    // first fire of a schedule built then, and each fire's successor.
    static QDateTime nextOccurrence(const QDateTime &after, QTime timeOfDay);
    // 0 = Sunday to 6 = Saturday.
    static int weekdayNumber(QDate date);
    // Whether the mask selects that weekday; bits 7 and up are ignored.
    static bool savesOnWeekday(quint64 mask, int weekday);
    static quint64 maskForSelection(const WeekdaySelection &selection);
    static WeekdaySelection selectionForMask(quint64 mask);
    // The time of day of the save, as the settings hold it; setTimeOfDay keeps hours and minutes.
    static QTime timeOfDay(const Settings &settings);
    static void setTimeOfDay(Settings &settings, QTime time);
    // A directory setting with a leading "~" made absolute against the home directory.
    static QString expandedDirectory(const QString &directory);
    // The base name of a save on `date` in `directory` for files with these extensions:
    // "yyyy-MM-dd", or with " 2", " 3", ... added, the smallest for which none of them exists.
    static QString freeBaseName(const QString &directory, QDate date, const QStringList &extensions);

private:
    void arm(const QDateTime &fireDate);
    void disarm();

    Scheduler &m_scheduler;
    Settings &m_settings;
    TimeTracker &m_tracker;
    std::optional<QDateTime> m_nextFire;
    std::optional<Scheduler::TimerId> m_timer;
    std::function<void()> m_onBooking;
    std::function<void()> m_onSaved;
    std::function<void(const QString &)> m_onFailed;
};
