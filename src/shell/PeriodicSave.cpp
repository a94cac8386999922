#include "PeriodicSave.h"

#include "persistence/CsvExport.h"
#include "persistence/SavedState.h"
#include "tracking/Settings.h"
#include "tracking/TimeTracker.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcPeriodicSave, "kestrum.periodicsave")

namespace {

PeriodicSave *g_armed = nullptr;

const QString CsvExtension = QStringLiteral("csv");
const QString DocumentExtension = QStringLiteral("kestrum");

} // namespace

PeriodicSave::PeriodicSave(Scheduler &scheduler, Settings &settings, TimeTracker &tracker)
    : m_scheduler(scheduler)
    , m_settings(settings)
    , m_tracker(tracker)
{
}

PeriodicSave::~PeriodicSave()
{
    disarm();
}

void PeriodicSave::rebuild()
{
    disarm();
    m_nextFire.reset();
    if (!m_settings.boolValue(SettingsKey::SaveTimerPeriodically))
        return;
    const QDateTime now = m_scheduler.wallNow();
    arm(nextOccurrence(now, timeOfDay(m_settings)));
}

void PeriodicSave::rearm()
{
    if (!m_nextFire)
        return;
    if (*m_nextFire <= m_scheduler.wallNow()) {
        fire();
        return;
    }
    arm(*m_nextFire);
}

void PeriodicSave::fire()
{
    if (!m_nextFire)
        return;
    disarm();
    // The next fire is the following occurrence of the chosen time on the wall clock, however
    // long the machine slept and whatever daylight saving did meanwhile.
    const QDateTime due = std::max(*m_nextFire, m_scheduler.wallNow());
    m_nextFire = nextOccurrence(due, timeOfDay(m_settings));

    const quint64 mask = quint64(m_settings.integerValue(SettingsKey::PeriodicDaysOfWeek));
    if (savesOnWeekday(mask, weekdayNumber(due.date())))
        save();
    // The save may have rebuilt or stopped the schedule through its handlers.
    if (m_nextFire && !m_timer)
        arm(*m_nextFire);
}

PeriodicSaveOutcome PeriodicSave::save()
{
    if (!m_tracker.isRunning())
        return PeriodicSaveOutcome::NotCounting;

    const qint64 format = m_settings.integerValue(SettingsKey::PeriodicFormatType);
    if (format < PeriodicFormat::CsvOnly || format > PeriodicFormat::CsvAndDocument) {
        qCWarning(lcPeriodicSave, "The periodic save format %lld is unknown; nothing was saved.", format);
        return PeriodicSaveOutcome::UnknownFormat;
    }
    const bool writeCsv = format == PeriodicFormat::CsvOnly || format == PeriodicFormat::CsvAndDocument;
    const bool writeDocument = format == PeriodicFormat::DocumentOnly || format == PeriodicFormat::CsvAndDocument;
    if (m_onBooking)
        m_onBooking();
    QStringList extensions;
    if (writeCsv)
        extensions.append(CsvExtension);
    if (writeDocument)
        extensions.append(DocumentExtension);

    const QString directory = expandedDirectory(m_settings.folderValue(SettingsKey::PeriodicSaveDirectory));
    const QString base = QDir(directory).filePath(freeBaseName(directory, m_scheduler.wallNow().date(), extensions));

    // Each file is attempted whatever became of the other; the store is kept unless both made it.
    QStringList errors;
    if (writeCsv) {
        QString error;
        if (!exportCSVSet(m_tracker, ExportScope::All, base + u'.' + CsvExtension, &error))
            errors.append(error);
    }
    if (writeDocument) {
        QString error;
        if (!writeTimingDocument(m_tracker, base + u'.' + DocumentExtension, &error))
            errors.append(error);
    }

    if (!errors.isEmpty()) {
        const QString message = tr("The periodic save into %1 failed, and the timings were kept: %2")
                                    .arg(directory, errors.join(QStringLiteral("; ")));
        qCWarning(lcPeriodicSave).noquote() << message;
        if (m_onFailed)
            m_onFailed(message);
        return PeriodicSaveOutcome::Failed;
    }

    m_tracker.reset();
    if (m_onSaved)
        m_onSaved();
    return PeriodicSaveOutcome::Saved;
}

void PeriodicSave::arm(const QDateTime &fireDate)
{
    disarm();
    // Another schedule in this process stops: two would save the same timings twice.
    if (g_armed && g_armed != this)
        g_armed->disarm();
    m_nextFire = fireDate;
    const double delay = std::max<qint64>(0, m_scheduler.wallNow().msecsTo(fireDate)) / 1000.0;
    m_timer = m_scheduler.startOneShot(delay, [this] {
        m_timer.reset();
        // A timer that ran out before the wall clock reached the date (it slept, or the clock
        // was set back) waits for the rest.
        rearm();
    });
    g_armed = this;
}

void PeriodicSave::disarm()
{
    if (m_timer)
        m_scheduler.stop(*m_timer);
    m_timer.reset();
    if (g_armed == this)
        g_armed = nullptr;
}

QDateTime PeriodicSave::nextOccurrence(const QDateTime &after, QTime timeOfDay)
{
    // Built from the date each time, so that a day of 23 or 25 hours does not move the time.
    const QTime time(timeOfDay.hour(), timeOfDay.minute());
    for (QDate day = after.date();; day = day.addDays(1)) {
        const QDateTime candidate(day, time, after.timeSpec());
        if (candidate > after)
            return candidate;
    }
}

int PeriodicSave::weekdayNumber(QDate date)
{
    return date.dayOfWeek() % 7; // Qt counts Monday = 1 to Sunday = 7
}

bool PeriodicSave::savesOnWeekday(quint64 mask, int weekday)
{
    return weekday >= 0 && weekday < 7 && (mask & (quint64(1) << weekday)) != 0;
}

quint64 PeriodicSave::maskForSelection(const WeekdaySelection &selection)
{
    quint64 mask = 0;
    for (int day = 0; day < 7; ++day) {
        if (selection[std::size_t(day)])
            mask |= quint64(1) << day;
    }
    return mask;
}

WeekdaySelection PeriodicSave::selectionForMask(quint64 mask)
{
    WeekdaySelection selection{};
    for (int day = 0; day < 7; ++day)
        selection[std::size_t(day)] = savesOnWeekday(mask, day);
    return selection;
}

QTime PeriodicSave::timeOfDay(const Settings &settings)
{
    return settings.timeValue(SettingsKey::PeriodicSaveTime);
}

void PeriodicSave::setTimeOfDay(Settings &settings, QTime time)
{
    settings.setValue(SettingsKey::PeriodicSaveTime, QDateTime(PeriodicSaveReferenceDay, QTime(time.hour(), time.minute())));
}

QString PeriodicSave::expandedDirectory(const QString &directory)
{
    return expandedFolder(directory);
}

QString PeriodicSave::freeBaseName(const QString &directory, QDate date, const QStringList &extensions)
{
    const QString dated = date.toString(QStringLiteral("yyyy-MM-dd"));
    const QDir dir(directory);
    for (int number = 1;; ++number) {
        const QString base = number == 1 ? dated : QStringLiteral("%1 %2").arg(dated).arg(number);
        const bool taken = std::any_of(extensions.cbegin(), extensions.cend(), [&](const QString &extension) {
            return QFileInfo::exists(dir.filePath(base + u'.' + extension));
        });
        if (!taken)
            return base;
    }
}
