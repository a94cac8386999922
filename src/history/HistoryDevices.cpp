// Other computers' history in this computer's database: whole days imported from the shared
// folder, kept apart from the stretches this computer recorded.
#include "HistoryDatabase.h"
#include "HistoryColumns.h"
#include "SqliteStatement.h"

#include <sqlite3.h>

#include <limits>

using namespace HistoryColumns;
using Statement = SqliteStatement;

bool HistoryDatabase::hasImported(const char *table) const
{
    // A history from before other computers' days were kept has none, nor one read before
    // Kestrum brought it to this version. A file that cannot say is damaged: the query that
    // follows says so.
    bool found = false;
    return !m_empty && (!hasTable(table, nullptr, &found) || found);
}

bool HistoryDatabase::beginImport(QString *error)
{
    // What is imported can be imported again from the folder: its commits are left to the
    // system to sync, and the next durable commit of this computer's own history syncs them.
    if (m_commit != Commit::Fast && !execute("PRAGMA synchronous=NORMAL", error))
        return false;
    m_commit = Commit::Fast;
    return execute("BEGIN IMMEDIATE", error);
}

void HistoryDatabase::readDevices(Devices devices, const QString &other)
{
    m_devices = devices;
    m_otherDevice = devices == Devices::Other ? other : QString();
}

std::optional<QHash<QDate, QString>> HistoryDatabase::importedDays(const QString &device, QString *error) const
{
    QHash<QDate, QString> result;
    if (!hasImported("device_days"))
        return result;
    Statement select(m_db, "SELECT d.day, d.checksum FROM device_days d JOIN devices v ON v.id = d.device WHERE v.uuid = ?1");
    select.bind(1, device);
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW)
        result.insert(QDate::fromString(select.text(0), Qt::ISODate), select.text(1));
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return result;
}

bool HistoryDatabase::importDay(const QString &device, const QString &name, QDate day, const QString &checksum,
                                const QList<Stretch> &stretches, const QList<Assignment> &assignments, QString *error)
{
    if (!beginImport(error))
        return false;
    m_namesAdded.clear();
    const auto body = [&]() -> bool {
        Statement upsert(m_db, "INSERT INTO devices(uuid, name) VALUES (?1, ?2) ON CONFLICT(uuid) DO UPDATE SET name = ?2");
        upsert.bind(1, device);
        upsert.bind(2, name);
        Statement id(m_db, "SELECT id FROM devices WHERE uuid = ?1");
        id.bind(1, device);
        if (upsert.step() != SQLITE_DONE || id.step() != SQLITE_ROW)
            return fail(error);
        const qint64 deviceRow = id.integer(0);
        const QString dayText = day.toString(Qt::ISODate);
        for (const char *sql : {"DELETE FROM device_stretches WHERE device = ?1 AND day = ?2",
                                "DELETE FROM device_assignments WHERE device = ?1 AND day = ?2"}) {
            Statement remove(m_db, sql);
            remove.bind(1, deviceRow);
            remove.bind(2, dayText);
            if (remove.step() != SQLITE_DONE)
                return fail(error);
        }
        Statement insert(m_db, "INSERT INTO device_stretches(device, day, start, end, seconds, application, window, source, category, note) "
                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
        for (const Stretch &stretch : stretches) {
            const std::optional<qint64> application = nameId(stretch.application, error);
            const std::optional<qint64> window = stretch.window ? nameId(*stretch.window, error) : std::optional<qint64>(0);
            if (!application || !window)
                return false;
            insert.reset();
            insert.bind(1, deviceRow);
            insert.bind(2, dayText);
            insert.bind(3, msecs(stretch.start));
            insert.bind(4, msecs(stretch.end));
            insert.bind(5, stretch.seconds);
            insert.bind(6, *application);
            stretch.window ? insert.bind(7, *window) : insert.bindNull(7);
            insert.bind(8, qint64(stretch.source));
            stretch.category ? insert.bind(9, categoryColumn(*stretch.category)) : insert.bindNull(9);
            stretch.note.isEmpty() ? insert.bindNull(10) : insert.bind(10, stretch.note);
            if (insert.step() != SQLITE_DONE)
                return fail(error);
        }
        Statement assign(m_db, "INSERT INTO device_assignments(device, day, start, end, category, made) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
        for (const Assignment &assignment : assignments) {
            assign.reset();
            assign.bind(1, deviceRow);
            assign.bind(2, dayText);
            assign.bind(3, msecs(assignment.start));
            assign.bind(4, msecs(assignment.end));
            assign.bind(5, categoryColumn(assignment.category));
            assign.bind(6, assignment.made);
            if (assign.step() != SQLITE_DONE)
                return fail(error);
        }
        Statement mark(m_db, "INSERT INTO device_days(device, day, checksum) VALUES (?1, ?2, ?3) "
                             "ON CONFLICT(device, day) DO UPDATE SET checksum = ?3");
        mark.bind(1, deviceRow);
        mark.bind(2, dayText);
        mark.bind(3, checksum);
        return mark.step() == SQLITE_DONE || fail(error);
    };
    if (body() && execute("COMMIT", error))
        return true;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    for (const QString &added : std::as_const(m_namesAdded))
        m_names.remove(added);
    return false;
}

bool HistoryDatabase::removeImportedDay(const QString &device, QDate day, QString *error)
{
    if (!beginImport(error))
        return false;
    bool ok = true;
    for (const char *sql : {"DELETE FROM device_stretches WHERE device = (SELECT id FROM devices WHERE uuid = ?1) AND day = ?2",
                            "DELETE FROM device_assignments WHERE device = (SELECT id FROM devices WHERE uuid = ?1) AND day = ?2",
                            "DELETE FROM device_days WHERE device = (SELECT id FROM devices WHERE uuid = ?1) AND day = ?2"}) {
        Statement remove(m_db, sql);
        remove.bind(1, device);
        remove.bind(2, day.toString(Qt::ISODate));
        if (ok && remove.step() != SQLITE_DONE)
            ok = fail(error);
    }
    if (ok && execute("COMMIT", error))
        return true;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool HistoryDatabase::noteImport(const QString &device, const QString &name, const QString &problem, QString *error)
{
    Statement upsert(m_db, "INSERT INTO devices(uuid, name, imported, problem) VALUES (?1, ?2, ?3, ?4) "
                           "ON CONFLICT(uuid) DO UPDATE SET name = ?2, imported = ?3, problem = ?4");
    upsert.bind(1, device);
    upsert.bind(2, name);
    upsert.bind(3, QDateTime::currentMSecsSinceEpoch());
    problem.isEmpty() ? upsert.bindNull(4) : upsert.bind(4, problem);
    return upsert.step() == SQLITE_DONE || fail(error);
}

std::optional<QList<QDate>> HistoryDatabase::daysWithStretches(const QDateTime &from, QString *error) const
{
    QList<QDate> days;
    if (m_empty)
        return days;
    // Read in order of start through each table's index, one local day a step.
    Statement select(m_db, "SELECT start FROM stretches WHERE start >= ?1 UNION SELECT start FROM overlay WHERE start >= ?1 "
                           "UNION SELECT start FROM assignments WHERE start >= ?1 ORDER BY 1");
    select.bind(1, from.isValid() ? msecs(from) : std::numeric_limits<qint64>::min());
    qint64 dayEnds = std::numeric_limits<qint64>::min();
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        if (select.integer(0) < dayEnds)
            continue;
        const QDate day = utc(select.integer(0)).toLocalTime().date();
        days.append(day);
        dayEnds = day.addDays(1).startOfDay().toMSecsSinceEpoch();
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return days;
}

std::optional<QDateTime> HistoryDatabase::latestEnd(QString *error) const
{
    if (m_empty)
        return QDateTime();
    Statement select(m_db, "SELECT end FROM stretches ORDER BY start DESC LIMIT 1");
    const int status = select.step();
    if (status == SQLITE_ROW)
        return utc(select.integer(0));
    if (status == SQLITE_DONE)
        return QDateTime();
    fail(error);
    return std::nullopt;
}

std::optional<QList<HistoryDevice>> HistoryDatabase::devices(QString *error) const
{
    QList<HistoryDevice> result;
    if (!hasImported("devices"))
        return result;
    Statement select(m_db, "SELECT v.uuid, v.name, v.imported, v.problem, (SELECT max(day) FROM device_days d WHERE d.device = v.id) "
                           "FROM devices v ORDER BY v.name, v.uuid");
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        HistoryDevice device{select.text(0), select.text(1), QDate::fromString(select.text(4), Qt::ISODate),
                             select.isNull(2) ? QDateTime() : utc(select.integer(2)), select.text(3)};
        result.append(device);
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return result;
}

std::optional<QList<Stretch>> HistoryDatabase::importedStretches(const QDateTime &from, const QDateTime &to, Reach reach, QString *error) const
{
    QList<Stretch> found;
    if (m_devices == Devices::This || !hasImported("device_stretches"))
        return found;
    Statement select(m_db, "SELECT s.start, s.end, s.seconds, a.name, w.name, s.source, s.category, s.note, v.uuid FROM device_stretches s "
                           "JOIN devices v ON v.id = s.device JOIN names a ON a.id = s.application LEFT JOIN names w ON w.id = s.window "
                           "WHERE s.start >= ?3 AND s.start < ?2 AND s.end > ?1 AND (?4 = '' OR v.uuid = ?4) ORDER BY s.start, s.id");
    const bool within = reach == Reach::StartingWithin;
    select.bind(1, msecs(from) - (within ? 1 : 0));
    select.bind(2, msecs(to));
    select.bind(3, msecs(from) - (within ? 0 : kLongestStretchMs));
    select.bind(4, m_otherDevice);
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        Stretch stretch = stretchOfRow(select);
        stretch.source = StretchSource(std::clamp<qint64>(select.integer(5), 0, qint64(StretchSource::Corrected)));
        if (!select.isNull(6))
            stretch.category = categoryOfColumn(select.text(6));
        stretch.note = select.text(7);
        stretch.device = select.text(8);
        found.append(stretch);
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return found;
}

std::optional<QList<Assignment>> HistoryDatabase::importedAssignments(const QDateTime &from, const QDateTime &to, QString *error) const
{
    QList<Assignment> result;
    if (m_devices == Devices::This || !hasImported("device_assignments"))
        return result;
    // A day's file carries every assignment that reaches into the day: one reaching over
    // several days is read once.
    Statement select(m_db, "SELECT min(a.id), a.start, a.end, a.category, a.made, v.uuid FROM device_assignments a "
                           "JOIN devices v ON v.id = a.device WHERE a.start < ?2 AND a.end > ?1 AND (?3 = '' OR v.uuid = ?3) "
                           "GROUP BY a.device, a.made, a.start, a.end, a.category ORDER BY a.made, min(a.id)");
    select.bind(1, msecs(from));
    select.bind(2, msecs(to));
    select.bind(3, m_otherDevice);
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        Assignment assignment{select.integer(0), utc(select.integer(1)), utc(select.integer(2)), categoryOfColumn(select.text(3)), select.integer(4),
                              select.text(5)};
        if (!assignment.category.isEmpty())
            result.append(assignment);
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return result;
}

bool HistoryDatabase::addImportedTotals(Grouping grouping, const QDateTime &from, const QDateTime &to, QList<HistoryTotal> *totals,
                                        QString *error) const
{
    if (!hasImported("device_stretches"))
        return true;
    const bool byWindow = grouping == Grouping::Window;
    Statement select(m_db, byWindow ? "SELECT a.name, w.name, t.seconds FROM (SELECT s.application, s.window, sum(s.seconds) AS seconds "
                                      "FROM device_stretches s JOIN devices v ON v.id = s.device WHERE s.start >= ?1 AND s.start < ?2 "
                                      "AND (?3 = '' OR v.uuid = ?3) GROUP BY s.application, s.window) t "
                                      "JOIN names a ON a.id = t.application LEFT JOIN names w ON w.id = t.window"
                                    : "SELECT a.name, NULL, t.seconds FROM (SELECT s.application, sum(s.seconds) AS seconds "
                                      "FROM device_stretches s JOIN devices v ON v.id = s.device WHERE s.start >= ?1 AND s.start < ?2 "
                                      "AND (?3 = '' OR v.uuid = ?3) GROUP BY s.application) t JOIN names a ON a.id = t.application");
    select.bind(1, msecs(from));
    select.bind(2, msecs(to));
    select.bind(3, m_otherDevice);
    // No name holds a NUL: the key of an application and a window is unique.
    const auto keyOf = [byWindow](const QString &application, const std::optional<QString> &window) {
        return byWindow ? application + QChar(0) + window.value_or(QStringLiteral("\u0001")) : application;
    };
    QHash<QString, qsizetype> index;
    for (qsizetype i = 0; i < totals->size(); ++i)
        index.insert(keyOf(totals->at(i).application, totals->at(i).window), i);
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        const QString application = select.text(0);
        const std::optional<QString> window = select.isNull(1) ? std::nullopt : std::optional(select.text(1));
        const QString key = keyOf(application, window);
        if (const auto it = index.constFind(key); it != index.cend()) {
            (*totals)[*it].seconds += select.real(2);
        } else {
            index.insert(key, totals->size());
            totals->append({application, window, QDate(), select.real(2)});
        }
    }
    return status == SQLITE_DONE || fail(error);
}
