#include "HistoryDatabase.h"

#include "HistoryColumns.h"
#include "HistorySalvage.h"
#include "SqliteStatement.h"
#include "persistence/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMap>
#include <QSet>
#include <QStandardPaths>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcHistory)

using namespace HistoryColumns;

namespace {

using Content = HistoryIdentity::Content;
using Statement = SqliteStatement;

// Past this the journal is cut back to it whenever it has been written into the file: a log that
// only grew would fill a small disk again once it had room.
constexpr qint64 kJournalSizeLimit = 1024 * 1024;

const char *const kSchema = R"(
CREATE TABLE names (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE stretches (
    id INTEGER PRIMARY KEY,
    start INTEGER NOT NULL,   -- milliseconds since 1970, UTC
    end INTEGER NOT NULL,
    seconds REAL NOT NULL,    -- as booked
    application INTEGER NOT NULL REFERENCES names(id),
    window INTEGER REFERENCES names(id),
    host INTEGER NOT NULL REFERENCES names(id)
);
CREATE INDEX stretches_by_start ON stretches(start);
)";

// Version 2.
const char *const kAssignmentsSchema = R"(
CREATE TABLE assignments (
    id INTEGER PRIMARY KEY,
    start INTEGER NOT NULL,   -- milliseconds since 1970, UTC
    end INTEGER NOT NULL,
    category TEXT NOT NULL,   -- the path, as a JSON list of names
    made INTEGER NOT NULL     -- the later made decides where two overlap
);
CREATE INDEX assignments_by_start ON assignments(start);
)";

// Version 3: the user's word over what was recorded.
const char *const kOverlaySchema = R"(
CREATE TABLE overlay (
    id INTEGER PRIMARY KEY,
    kind INTEGER NOT NULL,    -- 1 added, 2 answered, 3 corrected
    start INTEGER NOT NULL,   -- milliseconds since 1970, UTC
    end INTEGER NOT NULL,
    application TEXT NOT NULL,
    original TEXT,            -- answered, corrected: whose recorded stretches it renames
    category TEXT,            -- the path, as a JSON list of names, or NULL
    note TEXT,
    made INTEGER NOT NULL
);
CREATE INDEX overlay_by_start ON overlay(start);
)";

// Version 4: other computers' history, imported from the shared folder by device and day.
const char *const kDevicesSchema = R"(
CREATE TABLE devices (
    id INTEGER PRIMARY KEY,
    uuid TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL,
    imported INTEGER,         -- milliseconds since 1970, UTC: when its folder was last read
    problem TEXT              -- what could not be imported then
);
CREATE TABLE device_days (
    device INTEGER NOT NULL REFERENCES devices(id),
    day TEXT NOT NULL,        -- its local day, YYYY-MM-DD
    checksum TEXT NOT NULL,   -- of the day's file as imported
    PRIMARY KEY (device, day)
) WITHOUT ROWID;
CREATE TABLE device_stretches (
    id INTEGER PRIMARY KEY,
    device INTEGER NOT NULL REFERENCES devices(id),
    day TEXT NOT NULL,
    start INTEGER NOT NULL,
    end INTEGER NOT NULL,
    seconds REAL NOT NULL,
    application INTEGER NOT NULL REFERENCES names(id),
    window INTEGER REFERENCES names(id),
    source INTEGER NOT NULL,  -- 0 recorded, 1 added, 2 answered, 3 corrected
    category TEXT,            -- the path the user gave, as a JSON list of names
    note TEXT
);
CREATE INDEX device_stretches_by_start ON device_stretches(start);
CREATE INDEX device_stretches_by_day ON device_stretches(device, day);
CREATE TABLE device_assignments (
    id INTEGER PRIMARY KEY,
    device INTEGER NOT NULL REFERENCES devices(id),
    day TEXT NOT NULL,
    start INTEGER NOT NULL,
    end INTEGER NOT NULL,
    category TEXT NOT NULL,
    made INTEGER NOT NULL
);
CREATE INDEX device_assignments_by_day ON device_assignments(device, day);
CREATE INDEX device_assignments_by_start ON device_assignments(start);
)";

// Added time is its span; a rename reaches the stretches that start in it.
constexpr qint64 kLongestOverlayMs = 7 * 24 * 3600 * 1000LL;

// What the file at `path` holds, read without writing anything to it: SQLite replays the journal
// it finds into its view of the file, and only a connection that may write would ever put what
// it replayed into the file itself.
HistoryIdentity identifyFile(const QString &path)
{
    QString why;
    sqlite3 *db = HistorySalvage::openToRead(path, HistorySalvage::View::WithJournal, &why);
    if (!db)
        return {Content::Inaccessible, 0, 0, why};
    const HistoryIdentity identity = HistorySalvage::identify(db);
    sqlite3_close_v2(db);
    return identity;
}

// Opens Kestrum's history (or an empty file) at `path` to write, and brings it to this schema.
// Null, with SQLite's status and reason.
sqlite3 *openToWrite(const QString &path, const HistoryIdentity &identity, int *status, QString *error)
{
    sqlite3 *db = nullptr;
    *status = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto fail = [&] {
        if (*status == SQLITE_OK)
            *status = sqlite3_errcode(db);
        if (error)
            *error = db ? sqliteError(db) : QString::fromUtf8(sqlite3_errstr(*status));
        sqlite3_close_v2(db);
        return nullptr;
    };
    if (*status != SQLITE_OK)
        return fail();
    sqlite3_busy_timeout(db, 2000);
    const auto run = [db](const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
    const QByteArray sizeLimit = "PRAGMA journal_size_limit=" + QByteArray::number(kJournalSizeLimit);
    if (!run("PRAGMA journal_mode=WAL") || !run(sizeLimit.constData()))
        return fail();
    // Each version's migration from the one before; the first creates the tables. A history of
    // Kestrum's from before they were marked is marked now.
    const QByteArray mark = "PRAGMA application_id=" + QByteArray::number(kHistoryApplicationId) + ";";
    if (identity.content == Content::Empty) {
        const QByteArray sql =
            "BEGIN;" + QByteArray(kSchema) + kAssignmentsSchema + kOverlaySchema + kDevicesSchema + mark + "PRAGMA user_version=4; COMMIT;";
        if (!run(sql.constData()))
            return fail();
        return db;
    }
    if (identity.applicationId != kHistoryApplicationId && !run(mark.constData()))
        return fail();
    if (identity.version < 2) {
        const QByteArray sql = "BEGIN;" + QByteArray(kAssignmentsSchema) + "PRAGMA user_version=2; COMMIT;";
        if (!run(sql.constData()))
            return fail();
    }
    if (identity.version < 3) {
        const QByteArray sql = "BEGIN;" + QByteArray(kOverlaySchema) + "PRAGMA user_version=3; COMMIT;";
        if (!run(sql.constData()))
            return fail();
    }
    if (identity.version < 4) {
        const QByteArray sql = "BEGIN;" + QByteArray(kDevicesSchema) + "PRAGMA user_version=4; COMMIT;";
        if (!run(sql.constData()))
            return fail();
    }
    return db;
}

// Checks every page of the file; the first trouble found in one line, or nothing.
QString quickCheck(sqlite3 *db)
{
    Statement check(db, "PRAGMA quick_check");
    QStringList troubles;
    int status = SQLITE_ROW;
    while ((status = check.step()) == SQLITE_ROW) {
        for (const QString &line : check.text(0).split(u'\n', Qt::SkipEmptyParts)) {
            if (line != u"ok" && !line.startsWith(QStringLiteral("*** in database"))) // not translated: SQLite's own output
                troubles.append(line);
        }
    }
    if (status != SQLITE_DONE)
        return sqliteError(db);
    if (troubles.size() > 1) {
        const int more = int(troubles.size()) - 1;
        return QCoreApplication::translate("HistoryDatabase", "%1, and %n more", nullptr, more).arg(troubles.constFirst());
    }
    return troubles.value(0);
}

} // namespace

QString HistoryDatabase::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kestrum/history.sqlite3");
}

std::pair<QDateTime, QDateTime> HistoryDatabase::localDays(QDate first, QDate last)
{
    return {first.startOfDay().toUTC(), last.addDays(1).startOfDay().toUTC()};
}

std::unique_ptr<HistoryDatabase> HistoryDatabase::open(const QString &path, QString *warning, QString *error, Check check)
{
    if (!makePrivateDirectory(QFileInfo(path).absolutePath(), error))
        return nullptr;
    if (!QFileInfo::exists(path)) {
        // Readable by the user alone from the first byte; SQLite gives its journals the same.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
            if (error)
                *error = tr("cannot create %1: %2").arg(path, file.errorString());
            return nullptr;
        }
    }
    HistoryIdentity identity = identifyFile(path);
    switch (identity.content) {
    case Content::Inaccessible:
        if (error)
            *error = tr("cannot open the history %1: %2").arg(path, identity.why);
        return nullptr;
    case Content::Newer:
        if (error)
            *error = tr("%1 is left as it is: %2").arg(path, identity.why);
        return nullptr;
    case Content::Foreign:
    case Content::Unreadable:
        return replace(path, identity, warning, error);
    case Content::Empty:
    case Content::Kestrum:
        break;
    }
    int status = SQLITE_OK;
    QString why;
    sqlite3 *db = openToWrite(path, identity, &status, &why);
    if (!db && isDamage(status))
        return replace(path, {Content::Unreadable, 0, 0, why}, warning, error);
    if (!db) {
        if (error)
            *error = tr("cannot open the history %1: %2").arg(path, why);
        return nullptr;
    }
    if (check == Check::Quick) {
        if (const QString damage = quickCheck(db); !damage.isEmpty()) {
            sqlite3_close_v2(db);
            return replace(path, {Content::Unreadable, 0, 0, tr("it is damaged: %1").arg(damage)}, warning, error);
        }
    }
    std::unique_ptr<HistoryDatabase> database(new HistoryDatabase(db, path));
    const std::optional<qint64> host = database->nameId(QSysInfo::machineHostName(), error);
    if (!host)
        return nullptr;
    database->m_host = *host;
    return database;
}

std::unique_ptr<HistoryDatabase> HistoryDatabase::replace(const QString &path, const HistoryIdentity &found, QString *warning, QString *error)
{
    QString why;
    const std::optional<QString> aside = HistorySalvage::moveAside(path, &why);
    if (!aside) {
        if (error)
            *error = tr("%1 cannot be used (%2) nor moved aside: %3").arg(path, found.why, why);
        return nullptr;
    }
    std::unique_ptr<HistoryDatabase> database = open(path, nullptr, error);
    if (!database)
        return nullptr;
    const HistorySalvage::Copied copied = HistorySalvage::copyReadable(*aside, *database);
    const QString reason = copied.fromFileAlone && found.content == Content::Foreign
        ? tr("the journal beside it, %1-wal, belongs to another database").arg(QFileInfo(path).fileName())
        : found.why;
    const int stretches = int(std::min<qint64>(copied.stretches, std::numeric_limits<int>::max()));
    const QString message = stretches > 0
        ? tr("The history %1 could not be used (%2): it was moved to %3 and a new one started, with the %n stretch(es) that "
             "could still be read in it.", nullptr, stretches)
              .arg(path, reason, *aside)
        : tr("The history %1 could not be used (%2): it was moved to %3 and a new one started; no stretch in it could be read.")
              .arg(path, reason, *aside);
    qCWarning(lcHistory).noquote() << message;
    if (warning)
        *warning = message;
    return database;
}

std::unique_ptr<HistoryDatabase> HistoryDatabase::openToRead(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = tr("there is no history at %1").arg(path);
        return nullptr;
    }
    QString why;
    sqlite3 *db = HistorySalvage::openToRead(path, HistorySalvage::View::WithJournal, &why);
    const HistoryIdentity identity = db ? HistorySalvage::identify(db) : HistoryIdentity{Content::Inaccessible, 0, 0, why};
    if (identity.content != Content::Kestrum && identity.content != Content::Empty) {
        sqlite3_close_v2(db);
        if (error) {
            *error = identity.content == Content::Foreign ? tr("%1 is not Kestrum's history: %2").arg(path, identity.why)
                                                          : tr("cannot read the history %1: %2").arg(path, identity.why);
        }
        return nullptr;
    }
    std::unique_ptr<HistoryDatabase> database(new HistoryDatabase(db, path));
    database->m_empty = identity.content == Content::Empty;
    return database;
}

HistoryDatabase::HistoryDatabase(sqlite3 *db, QString path)
    : m_db(db)
    , m_path(std::move(path))
{
    // A history moved aside and started anew keeps the path but not the file.
    struct stat status {};
    m_fileIdentity = ::stat(QFile::encodeName(m_path).constData(), &status) == 0
        ? QStringLiteral("%1:%2:%3").arg(m_path).arg(quint64(status.st_dev)).arg(quint64(status.st_ino))
        : m_path;
}

HistoryDatabase::~HistoryDatabase()
{
    sqlite3_close_v2(m_db);
}

Stretch HistoryDatabase::stretchOfRow(const SqliteStatement &row)
{
    Stretch stretch;
    stretch.start = utc(row.integer(0));
    stretch.end = utc(row.integer(1));
    stretch.seconds = row.real(2);
    stretch.application = row.text(3);
    if (!row.isNull(4))
        stretch.window = row.text(4);
    return stretch;
}

bool HistoryDatabase::fail(QString *error) const
{
    if (isDamage(sqlite3_errcode(m_db)))
        m_damaged = true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(m_path, sqliteError(m_db));
    return false;
}

bool HistoryDatabase::execute(const char *sql, QString *error) const
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail(error);
}

std::optional<qint64> HistoryDatabase::nameId(const QString &name, QString *error)
{
    if (const auto it = m_names.constFind(name); it != m_names.constEnd())
        return *it;
    Statement insert(m_db, "INSERT INTO names(name) VALUES (?1) ON CONFLICT(name) DO NOTHING");
    insert.bind(1, name);
    Statement select(m_db, "SELECT id FROM names WHERE name = ?1");
    select.bind(1, name);
    if (insert.step() != SQLITE_DONE || select.step() != SQLITE_ROW) {
        fail(error);
        return std::nullopt;
    }
    m_names.insert(name, select.integer(0));
    m_namesAdded.append(name);
    return select.integer(0);
}

bool HistoryDatabase::apply(const QList<HistoryOperation> &operations, QString *error, Commit commit, qint64 *forgotten)
{
    // A fast commit leaves the syncing of the journal to the caller.
    if (commit != m_commit && !execute(commit == Commit::Durable ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL", error))
        return false;
    m_commit = commit;
    if (!execute("BEGIN IMMEDIATE", error))
        return false;
    m_namesAdded.clear();
    const OpenStretches open = m_openStretches;
    qint64 removedInAll = 0;
    bool ok = true;
    for (const HistoryOperation &operation : operations) {
        switch (operation.kind) {
        case HistoryOperation::Kind::Write:
            ok = write(operation.stretch, error);
            break;
        case HistoryOperation::Kind::TakeBack:
            ok = takeBack(operation.application, operation.seconds, error);
            break;
        case HistoryOperation::Kind::Forget: {
            const qint64 removed = forget(operation.stretch.start, operation.stretch.end,
                                          operation.application.isEmpty() ? std::nullopt : std::optional(operation.application), error);
            ok = removed >= 0;
            removedInAll += std::max<qint64>(removed, 0);
            break;
        }
        case HistoryOperation::Kind::Assign:
            ok = assign(operation.stretch.start, operation.stretch.end, operation.category, error);
            break;
        case HistoryOperation::Kind::PutOverlay:
            ok = putOverlay(operation.overlay, error);
            break;
        case HistoryOperation::Kind::RemoveOverlay:
            ok = removeOverlay(operation.overlay.id, error);
            break;
        }
        if (!ok)
            break;
    }
    if (ok && execute("COMMIT", error)) {
        if (forgotten)
            *forgotten = removedInAll;
        return true;
    }
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    // What the rolled-back transaction added is not in the file.
    for (const QString &name : std::as_const(m_namesAdded))
        m_names.remove(name);
    m_openStretches = open;
    return false;
}

double HistoryDatabase::unwrittenSeconds(const QList<HistoryOperation> &operations, const OpenStretches &written)
{
    // A stretch written several times counts as its last writing, less what the file holds of it.
    QHash<quint64, double> latest;
    for (const HistoryOperation &operation : operations) {
        if (operation.kind == HistoryOperation::Kind::Write)
            latest.insert(operation.stretch.id, operation.stretch.seconds);
    }
    double seconds = 0.0;
    for (auto it = latest.cbegin(); it != latest.cend(); ++it)
        seconds += std::max(0.0, it.value() - written.value(it.key()).seconds);
    return seconds;
}

bool HistoryDatabase::syncJournal(QString *error)
{
    // The journal holds every commit not yet in the file; syncing it is what a durable commit
    // would have done. No journal: all is in the file, which checkpoints sync.
    const QByteArray journal = QFile::encodeName(m_path + QStringLiteral("-wal"));
    const int fd = ::open(journal.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return true;
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("%1-wal: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const bool synced = ::fdatasync(fd) == 0;
    const int reason = errno;
    ::close(fd);
    if (!synced && error)
        *error = QStringLiteral("%1-wal: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(reason)));
    return synced;
}

bool HistoryDatabase::checkpoint(QString *error)
{
    return sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) == SQLITE_OK || fail(error);
}

bool HistoryDatabase::writeRow(const Stretch &stretch, std::optional<qint64> row, qint64 host, Row kind, QString *error)
{
    const std::optional<qint64> application = nameId(stretch.application, error);
    const std::optional<qint64> window = stretch.window ? nameId(*stretch.window, error) : std::optional<qint64>(0);
    if (!application || !window)
        return false;
    Statement statement(m_db, kind == Row::Update
                                  ? "UPDATE stretches SET start=?1, end=?2, seconds=?3, application=?4, window=?5 WHERE id=?7"
                                  : "INSERT INTO stretches(start, end, seconds, application, window, host, id) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    statement.bind(1, msecs(stretch.start));
    statement.bind(2, msecs(stretch.end));
    statement.bind(3, stretch.seconds);
    statement.bind(4, *application);
    if (stretch.window)
        statement.bind(5, *window);
    else
        statement.bindNull(5);
    if (kind == Row::Insert)
        statement.bind(6, host);
    if (row)
        statement.bind(7, *row);
    else
        statement.bindNull(7);
    return statement.step() == SQLITE_DONE || fail(error);
}

bool HistoryDatabase::write(const Stretch &stretch, QString *error)
{
    const auto known = m_openStretches.constFind(stretch.id);
    std::optional<qint64> row = known != m_openStretches.constEnd() ? std::optional(known->row) : std::nullopt;
    if (stretch.seconds <= 0.0) {
        // Taken back whole before it was closed.
        if (row) {
            Statement remove(m_db, "DELETE FROM stretches WHERE id = ?1");
            remove.bind(1, *row);
            if (remove.step() != SQLITE_DONE)
                return fail(error);
            m_openStretches.remove(stretch.id);
        }
        return true;
    }
    if (row) {
        if (!writeRow(stretch, row, m_host, Row::Update, error))
            return false;
        // Its row is gone (a copy of a damaged history could not read it): written anew.
        if (sqlite3_changes(m_db) == 0)
            row.reset();
    }
    if (!row) {
        if (!writeRow(stretch, std::nullopt, m_host, Row::Insert, error))
            return false;
        row = sqlite3_last_insert_rowid(m_db);
    }
    if (stretch.open)
        m_openStretches.insert(stretch.id, {*row, stretch.seconds});
    else
        m_openStretches.remove(stretch.id);
    return true;
}

bool HistoryDatabase::takeBack(const QString &application, double seconds, QString *error)
{
    const std::optional<qint64> id = nameId(application, error);
    if (!id)
        return false;
    // The latest stretches of the application give back their last seconds, the newest first.
    // They are the latest of all, an idle stretch being the last thing booked: the search goes
    // back from the newest start only as far as they can reach, through the index on start.
    Statement latest(m_db, "SELECT id, end, seconds FROM stretches WHERE application = ?1 "
                           "AND start >= (SELECT max(start) FROM stretches) - ?2 ORDER BY end DESC, id DESC");
    latest.bind(1, *id);
    latest.bind(2, qint64(seconds * 1000.0) + kLongestStretchMs);
    QList<std::pair<qint64, std::pair<qint64, double>>> changes;
    int status = SQLITE_ROW;
    while (seconds > 0.0 && (status = latest.step()) == SQLITE_ROW) {
        const double given = std::min(seconds, latest.real(2));
        seconds -= given;
        changes.append({latest.integer(0), {latest.integer(1) - qint64(given * 1000.0 + 0.5), latest.real(2) - given}});
    }
    if (status != SQLITE_ROW && status != SQLITE_DONE)
        return fail(error);
    for (const auto &[row, change] : changes) {
        const bool empty = change.second <= 0.0;
        Statement update(m_db, empty ? "DELETE FROM stretches WHERE id = ?1" : "UPDATE stretches SET end = ?2, seconds = ?3 WHERE id = ?1");
        update.bind(1, row);
        if (!empty) {
            update.bind(2, change.first);
            update.bind(3, change.second);
        }
        if (update.step() != SQLITE_DONE)
            return fail(error);
        // An open stretch's row given back whole is written anew should it grow again.
        if (empty)
            m_openStretches.removeIf([row](auto it) { return it.value().row == row; });
    }
    return true;
}

std::optional<QList<Stretch>> HistoryDatabase::stretches(const QDateTime &from, const QDateTime &to, QString *error) const
{
    const std::optional<QList<OverlayEntry>> entries = overlay(from, to, error);
    if (!entries)
        return std::nullopt;
    std::optional<QList<Stretch>> found = recordedStretches(from, to, error);
    if (!found)
        return std::nullopt;
    QList<Stretch> result = entries->isEmpty() ? *std::move(found) : applyOverlay(*found, *entries);
    // Added time that only touches the range from outside it is not in it.
    result.removeIf([&](const Stretch &stretch) {
        return stretch.source == StretchSource::Added && (stretch.start >= to || (stretch.end <= from && stretch.start < from));
    });
    if (m_devices == Devices::This)
        return result;
    const std::optional<QList<Stretch>> imported = importedStretches(from, to, Reach::Overlapping, error);
    if (!imported)
        return std::nullopt;
    // This computer's first where two start together, each device's in its own order.
    QList<Stretch> merged;
    merged.reserve(result.size() + imported->size());
    std::merge(result.cbegin(), result.cend(), imported->cbegin(), imported->cend(), std::back_inserter(merged),
               [](const Stretch &a, const Stretch &b) { return a.start < b.start; });
    return merged;
}

std::optional<QList<Stretch>> HistoryDatabase::recordedStretches(const QDateTime &from, const QDateTime &to, QString *error, Reach reach) const
{
    if (m_empty || !readsThisComputer())
        return QList<Stretch>();
    Statement select(m_db, "SELECT s.start, s.end, s.seconds, a.name, w.name, s.id FROM stretches s "
                           "JOIN names a ON a.id = s.application LEFT JOIN names w ON w.id = s.window "
                           "WHERE s.start >= ?3 AND s.start < ?2 AND s.end > ?1 ORDER BY s.start, s.id");
    const bool within = reach == Reach::StartingWithin;
    // A stretch that starts in the range ends in it or after it, however short.
    select.bind(1, within ? msecs(from) - 1 : msecs(from));
    select.bind(2, msecs(to));
    // The index on start bounds the search from below too: a stretch reaching into the range
    // began at most this long before it (the recorder closes a stretch after a day).
    select.bind(3, within ? msecs(from) : msecs(from) - kLongestStretchMs);
    QList<Stretch> found;
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        Stretch stretch = stretchOfRow(select);
        stretch.row = select.integer(5);
        found.append(stretch);
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return found;
}

std::optional<QList<HistoryDatabase::PairTotal>> HistoryDatabase::pairTotals(const QDateTime &from, const QDateTime &to, QString *error) const
{
    QList<PairTotal> result;
    if (m_empty || !readsThisComputer())
        return result;
    // Summed in a hash rather than by GROUP BY: no sort, and a month's thousands of rows are
    // read once through the index on start.
    Statement select(m_db, "SELECT application, window, seconds FROM stretches WHERE start >= ?1 AND start < ?2");
    select.bind(1, msecs(from));
    select.bind(2, msecs(to));
    QHash<std::pair<qint64, qint64>, qsizetype> index;
    index.reserve(4096); // a month's pairs, without growing step by step
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        const std::pair<qint64, qint64> pair{select.integer(0), select.isNull(1) ? 0 : select.integer(1)};
        const auto it = index.constFind(pair);
        if (it != index.cend()) {
            result[*it].seconds += select.real(2);
        } else {
            index.insert(pair, result.size());
            result.append({pair.first, pair.second, select.real(2)});
        }
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return result;
}

std::optional<QString> HistoryDatabase::nameOf(qint64 id, QString *error) const
{
    if (const auto it = m_namesById.constFind(id); it != m_namesById.cend())
        return *it;
    Statement select(m_db, "SELECT name FROM names WHERE id = ?1");
    select.bind(1, id);
    if (select.step() != SQLITE_ROW) {
        if (sqlite3_errcode(m_db) == SQLITE_OK || sqlite3_errcode(m_db) == SQLITE_ROW || sqlite3_errcode(m_db) == SQLITE_DONE) {
            if (error)
                *error = tr("%1: a stretch names name %2, which is not in the file").arg(m_path).arg(id);
            m_damaged = true;
        } else {
            fail(error);
        }
        return std::nullopt;
    }
    return *m_namesById.insert(id, select.text(0));
}

std::optional<QList<HistoryTotal>> HistoryDatabase::totals(Grouping grouping, const QDateTime &from, const QDateTime &to, QString *error) const
{
    QList<HistoryTotal> result;
    if (m_empty)
        return result;
    if (grouping == Grouping::Day) {
        // Days are the user's local days: counted here rather than in SQL, from the stretches as
        // the user's word makes them.
        const std::optional<QList<Stretch>> all = stretches(from, to, error);
        if (!all)
            return std::nullopt;
        QMap<QDate, double> byDay;
        for (const Stretch &stretch : *all) {
            if (stretch.start >= from)
                byDay[stretch.start.toLocalTime().date()] += stretch.seconds;
        }
        for (auto it = byDay.cbegin(); it != byDay.cend(); ++it)
            result.append({QString(), std::nullopt, it.key(), it.value()});
        return result;
    }
    if (readsThisComputer() && !ownTotals(grouping, from, to, &result, error))
        return std::nullopt;
    // Other computers' time: summed as their own totals sum it, and added to this one's.
    if (m_devices != Devices::This && !addImportedTotals(grouping, from, to, &result, error))
        return std::nullopt;
    std::stable_sort(result.begin(), result.end(), [](const HistoryTotal &a, const HistoryTotal &b) { return a.seconds > b.seconds; });
    return result;
}

bool HistoryDatabase::ownTotals(Grouping grouping, const QDateTime &from, const QDateTime &to, QList<HistoryTotal> *totals, QString *error) const
{
    QList<HistoryTotal> &result = *totals;
    // Summed by id first, and only the few sums named: a month holds thousands of stretches.
    const char *sql = grouping == Grouping::Application
        ? "SELECT a.name, NULL, t.seconds FROM (SELECT application, sum(seconds) AS seconds FROM stretches "
          "WHERE start >= ?1 AND start < ?2 GROUP BY application) t JOIN names a ON a.id = t.application"
        : "SELECT a.name, w.name, t.seconds FROM (SELECT application, window, sum(seconds) AS seconds FROM stretches "
          "WHERE start >= ?1 AND start < ?2 GROUP BY application, window) t JOIN names a ON a.id = t.application "
          "LEFT JOIN names w ON w.id = t.window";
    Statement select(m_db, sql);
    select.bind(1, msecs(from));
    select.bind(2, msecs(to));
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW)
        result.append({select.text(0), select.isNull(1) ? std::nullopt : std::optional(select.text(1)), QDate(), select.real(2)});
    if (status != SQLITE_DONE)
        return fail(error);
    // The user's word changes only the stretches its entries reach: those come out as recorded
    // and go back in as it makes them.
    const std::optional<QList<OverlayEntry>> entries = overlay(from, to, error);
    if (!entries)
        return false;
    if (!entries->isEmpty()) {
        const std::optional<OverlayChange> change = overlayChange(from, to, *entries, error);
        if (!change)
            return false;
        const auto keyOf = [grouping](const QString &application, const std::optional<QString> &window) {
            // No name holds a NUL: the key of an application and a window is unique.
            return grouping == Grouping::Application ? application : application + QChar(0) + window.value_or(QStringLiteral("\u0001"));
        };
        QHash<QString, qsizetype> index;
        for (qsizetype i = 0; i < result.size(); ++i)
            index.insert(keyOf(result.at(i).application, result.at(i).window), i);
        QSet<QString> shown;
        const auto add = [&](const Stretch &stretch, double sign) {
            const std::optional<QString> window = grouping == Grouping::Window ? stretch.window : std::nullopt;
            const QString key = keyOf(stretch.application, window);
            if (sign > 0)
                shown.insert(key);
            const auto it = index.constFind(key);
            if (it != index.cend()) {
                result[*it].seconds += sign * stretch.seconds;
            } else {
                index.insert(key, result.size());
                result.append({stretch.application, window, QDate(), sign * stretch.seconds});
            }
        };
        for (const Stretch &stretch : change->recorded)
            add(stretch, -1.0);
        for (const Stretch &stretch : change->shown)
            add(stretch, 1.0);
        // What the user's word took all of away is no total; what it covers whole stays, at nothing.
        result.removeIf([&](const HistoryTotal &total) {
            return std::abs(total.seconds) < 1e-6 && !shown.contains(keyOf(total.application, total.window));
        });
    }
    return true;
}

std::optional<HistoryDatabase::OverlayChange> HistoryDatabase::overlayChange(const QDateTime &from, const QDateTime &to,
                                                                             const QList<OverlayEntry> &entries, QString *error) const
{
    // Every recorded stretch that an entry may reach, once: added time reaches what it overlaps,
    // a rename what starts in its span.
    QList<Stretch> reached;
    QSet<qint64> rows;
    for (const OverlayEntry &entry : entries) {
        const Reach reach = entry.kind == StretchSource::Added ? Reach::Overlapping : Reach::StartingWithin;
        const std::optional<QList<Stretch>> near = recordedStretches(entry.start, std::max(entry.end, entry.start.addMSecs(1)), error, reach);
        if (!near)
            return std::nullopt;
        for (const Stretch &stretch : *near) {
            if (!rows.contains(stretch.row)) {
                rows.insert(stretch.row);
                reached.append(stretch);
            }
        }
    }
    std::sort(reached.begin(), reached.end(), [](const Stretch &a, const Stretch &b) { return a.start < b.start; });
    const auto inRange = [&](const Stretch &stretch) { return stretch.start >= from && stretch.start < to; };
    OverlayChange change;
    for (const Stretch &stretch : applyOverlay(reached, entries)) {
        if (inRange(stretch))
            change.shown.append(stretch);
    }
    for (const Stretch &stretch : std::as_const(reached)) {
        if (inRange(stretch))
            change.recorded.append(stretch);
    }
    return change;
}

qint64 HistoryDatabase::forget(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error)
{
    if (application) {
        const std::optional<QList<OverlayEntry>> entries = overlay(from, to, error);
        if (!entries)
            return -1;
        if (!entries->isEmpty())
            return forgetShown(from, to, *application, error);
    }
    Statement remove(m_db, application ? "DELETE FROM stretches WHERE start >= ?1 AND start < ?2 AND application = "
                                         "(SELECT id FROM names WHERE name = ?3) RETURNING id"
                                       : "DELETE FROM stretches WHERE start >= ?1 AND start < ?2 RETURNING id");
    remove.bind(1, msecs(from));
    remove.bind(2, msecs(to));
    if (application)
        remove.bind(3, *application);
    qint64 removed = 0;
    int status = SQLITE_ROW;
    while ((status = remove.step()) == SQLITE_ROW) {
        const qint64 row = remove.integer(0);
        m_openStretches.removeIf([row](auto it) { return it.value().row == row; });
        ++removed;
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return -1;
    }
    if (!forgetOverlay(from, to, application, error))
        return -1;
    if (!application && !forgetAssignments(from, to, error))
        return -1;
    return removed;
}

qint64 HistoryDatabase::forgetShown(const QDateTime &from, const QDateTime &to, const QString &application, QString *error)
{
    const std::optional<QList<Stretch>> shown = stretches(from, to, error);
    if (!shown)
        return -1;
    Statement remove(m_db, "DELETE FROM stretches WHERE id = ?1");
    qint64 removed = 0;
    for (const Stretch &stretch : *shown) {
        if (stretch.row == 0 || stretch.application != application || stretch.start < from || stretch.start >= to)
            continue;
        remove.reset();
        remove.bind(1, stretch.row);
        if (remove.step() != SQLITE_DONE) {
            fail(error);
            return -1;
        }
        m_openStretches.removeIf([row = stretch.row](auto it) { return it.value().row == row; });
        ++removed;
    }
    return forgetOverlay(from, to, application, error) ? removed : -1;
}

bool HistoryDatabase::forgetAssignments(const QDateTime &from, const QDateTime &to, QString *error)
{
    // What reaches out of the range keeps its part outside: the part after it as a row of its
    // own, with the same place in the order.
    Statement after(m_db, "INSERT INTO assignments(start, end, category, made) SELECT ?2, end, category, made FROM assignments "
                          "WHERE start < ?1 AND end > ?2");
    Statement before(m_db, "UPDATE assignments SET end = ?1 WHERE start < ?1 AND end > ?1");
    Statement later(m_db, "UPDATE assignments SET start = ?2 WHERE start >= ?1 AND start < ?2 AND end > ?2");
    Statement inside(m_db, "DELETE FROM assignments WHERE start >= ?1 AND end <= ?2");
    for (Statement *statement : {&after, &before, &later, &inside}) {
        statement->bind(1, msecs(from));
        statement->bind(2, msecs(to));
        if (statement->step() != SQLITE_DONE)
            return fail(error);
    }
    return true;
}

bool HistoryDatabase::assign(const QDateTime &from, const QDateTime &to, const CategoryPath &category, QString *error)
{
    if (from >= to || category.isEmpty())
        return true;
    Statement insert(m_db, "INSERT INTO assignments(start, end, category, made) "
                           "VALUES (?1, ?2, ?3, (SELECT coalesce(max(made), 0) + 1 FROM assignments))");
    insert.bind(1, msecs(from));
    insert.bind(2, msecs(to));
    insert.bind(3, categoryColumn(category));
    return insert.step() == SQLITE_DONE || fail(error);
}

std::optional<QList<Assignment>> HistoryDatabase::assignments(const QDateTime &from, const QDateTime &to, QString *error) const
{
    std::optional<QList<Assignment>> own = ownAssignments(from, to, error);
    if (!own || m_devices == Devices::This)
        return own;
    const std::optional<QList<Assignment>> imported = importedAssignments(from, to, error);
    if (!imported)
        return std::nullopt;
    return *own + *imported;
}

std::optional<QList<Assignment>> HistoryDatabase::ownAssignments(const QDateTime &from, const QDateTime &to, QString *error) const
{
    QList<Assignment> result;
    if (m_empty || !readsThisComputer())
        return result;
    // A history of version 1 read before Kestrum has brought it to this one has none.
    bool found = false;
    if (!hasTable("assignments", error, &found))
        return std::nullopt;
    if (!found)
        return result;
    Statement select(m_db, "SELECT id, start, end, category, made FROM assignments WHERE start < ?2 AND end > ?1 ORDER BY made, id");
    select.bind(1, msecs(from));
    select.bind(2, msecs(to));
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        const Assignment assignment{select.integer(0), utc(select.integer(1)), utc(select.integer(2)), categoryOfColumn(select.text(3)),
                                    select.integer(4)};
        if (assignment.category.isEmpty() || assignment.category.contains(QString())) {
            qCWarning(lcHistory).noquote()
                << QStringLiteral("%1: assignment %2 names no category (%3): left out").arg(m_path).arg(assignment.id).arg(select.text(3));
            continue;
        }
        result.append(assignment);
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return result;
}

bool HistoryDatabase::hasTable(const char *name, QString *error, bool *found) const
{
    Statement table(m_db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    table.bind(1, QString::fromLatin1(name));
    const int status = table.step();
    *found = status == SQLITE_ROW;
    return status == SQLITE_ROW || status == SQLITE_DONE || fail(error);
}

std::optional<QList<OverlayEntry>> HistoryDatabase::overlay(const QDateTime &from, const QDateTime &to, QString *error) const
{
    QList<OverlayEntry> result;
    if (m_empty || !readsThisComputer())
        return result;
    // A history of an earlier version read before Kestrum has brought it to this one has none.
    bool found = false;
    if (!hasTable("overlay", error, &found))
        return std::nullopt;
    if (!found)
        return result;
    // Whatever reaches the stretches read: those reach back two days before `from`.
    Statement select(m_db, "SELECT id, kind, start, end, application, original, category, note, made FROM overlay "
                           "WHERE start >= ?3 AND start < ?2 AND end > ?1 ORDER BY made, id");
    select.bind(1, msecs(from) - kLongestStretchMs);
    select.bind(2, msecs(to));
    select.bind(3, msecs(from) - kLongestStretchMs - kLongestOverlayMs);
    int status = SQLITE_ROW;
    while ((status = select.step()) == SQLITE_ROW) {
        OverlayEntry entry;
        entry.id = select.integer(0);
        const qint64 kind = select.integer(1);
        entry.start = utc(select.integer(2));
        entry.end = utc(select.integer(3));
        entry.application = select.text(4);
        entry.original = select.isNull(5) ? QString() : select.text(5);
        if (!select.isNull(6))
            entry.category = categoryOfColumn(select.text(6));
        entry.note = select.isNull(7) ? QString() : select.text(7);
        entry.made = select.integer(8);
        if (kind < 1 || kind > 3 || entry.application.isEmpty() || entry.end < entry.start) {
            qCWarning(lcHistory).noquote() << QStringLiteral("%1: overlay entry %2 cannot be read (kind %3, \"%4\"): left out")
                                                  .arg(m_path).arg(entry.id).arg(kind).arg(entry.application);
            continue;
        }
        entry.kind = kind == 1 ? StretchSource::Added : kind == 2 ? StretchSource::Answered : StretchSource::Corrected;
        result.append(entry);
    }
    if (status != SQLITE_DONE) {
        fail(error);
        return std::nullopt;
    }
    return result;
}

bool HistoryDatabase::putOverlay(const OverlayEntry &entry, QString *error)
{
    if (entry.application.isEmpty() || entry.end < entry.start || entry.start.msecsTo(entry.end) > kLongestOverlayMs) {
        // The recorder and the windows never hand over such an entry; one would be left out on reading.
        qCWarning(lcHistory).noquote() << "An overlay entry without a name or a span was not written:" << entry.application;
        return true;
    }
    const int kind = entry.kind == StretchSource::Added ? 1 : entry.kind == StretchSource::Answered ? 2 : 3;
    Statement put(m_db, entry.id ? "UPDATE overlay SET kind = ?1, start = ?2, end = ?3, application = ?4, original = ?5, category = ?6, "
                                   "note = ?7 WHERE id = ?8"
                                 : "INSERT INTO overlay(kind, start, end, application, original, category, note, made) "
                                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, (SELECT coalesce(max(made), 0) + 1 FROM overlay))");
    put.bind(1, qint64(kind));
    put.bind(2, msecs(entry.start));
    put.bind(3, msecs(entry.end));
    put.bind(4, entry.application);
    if (!entry.original.isEmpty())
        put.bind(5, entry.original);
    if (!entry.category.isEmpty())
        put.bind(6, categoryColumn(entry.category));
    if (!entry.note.isEmpty())
        put.bind(7, entry.note);
    if (entry.id)
        put.bind(8, entry.id);
    return put.step() == SQLITE_DONE || fail(error);
}

bool HistoryDatabase::removeOverlay(qint64 id, QString *error)
{
    Statement remove(m_db, "DELETE FROM overlay WHERE id = ?1");
    remove.bind(1, id);
    return remove.step() == SQLITE_DONE || fail(error);
}

bool HistoryDatabase::forgetOverlay(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error)
{
    // Forgetting an application forgets the time the user gave it too; everyone's, all of the range.
    Statement remove(m_db, application ? "DELETE FROM overlay WHERE start >= ?1 AND start < ?2 AND application = ?3"
                                       : "DELETE FROM overlay WHERE start >= ?1 AND start < ?2");
    remove.bind(1, msecs(from));
    remove.bind(2, msecs(to));
    if (application)
        remove.bind(3, *application);
    return remove.step() == SQLITE_DONE || fail(error);
}
