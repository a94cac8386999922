#include "HistoryDatabase.h"

#include "persistence/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>
#include <QSysInfo>

#include <sqlite3.h>

#include <algorithm>

namespace {

constexpr int kSchemaVersion = 1;
constexpr qint64 kLongestStretchMs = 2 * 24 * 3600 * 1000;

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

// A prepared statement, finalised when it goes.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt *get() const { return m_statement; }
    void bind(int index, qint64 value) { sqlite3_bind_int64(m_statement, index, value); }
    void bind(int index, double value) { sqlite3_bind_double(m_statement, index, value); }
    void bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int index) { sqlite3_bind_null(m_statement, index); }
    int step() { return sqlite3_step(m_statement); }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    double real(int column) const { return sqlite3_column_double(m_statement, column); }
    bool isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
                                 sqlite3_column_bytes(m_statement, column));
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

qint64 msecs(const QDateTime &time)
{
    return time.toMSecsSinceEpoch();
}

QDateTime utc(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

// Opens the file and brings its schema to this version. SQLITE_NOTADB and SQLITE_CORRUPT say
// the file is no history Kestrum can read.
int openAndMigrate(const QString &path, int flags, sqlite3 **db, QString *error)
{
    int status = sqlite3_open_v2(QFile::encodeName(path).constData(), db, flags, nullptr);
    // close_v2: a statement still open here is finalised after, and the connection with it.
    const auto fail = [&](int code) {
        if (error)
            *error = lastError(*db);
        sqlite3_close_v2(*db);
        *db = nullptr;
        return code;
    };
    if (status != SQLITE_OK)
        return fail(status);
    sqlite3_busy_timeout(*db, 2000);
    int version = 0;
    {
        Statement pragma(*db, "PRAGMA user_version");
        status = pragma.isValid() ? pragma.step() : sqlite3_errcode(*db);
        if (status != SQLITE_ROW)
            return fail(status);
        version = int(pragma.integer(0));
    }
    if (version > kSchemaVersion) {
        if (error)
            *error = QStringLiteral("the history was written by a newer Kestrum (schema %1)").arg(version);
        sqlite3_close_v2(*db);
        *db = nullptr;
        return SQLITE_MISMATCH;
    }
    if (!(flags & SQLITE_OPEN_READWRITE))
        return SQLITE_OK;
    if (sqlite3_exec(*db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail(sqlite3_errcode(*db));
    // Each version's migration from the one before; the first creates the tables.
    if (version < 1) {
        const QByteArray sql = QByteArray("BEGIN;") + kSchema + "PRAGMA user_version=1; COMMIT;";
        if (sqlite3_exec(*db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return fail(sqlite3_errcode(*db));
    }
    return SQLITE_OK;
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

std::unique_ptr<HistoryDatabase> HistoryDatabase::open(const QString &path, QString *warning, QString *error)
{
    if (!makePrivateDirectory(QFileInfo(path).absolutePath(), error))
        return nullptr;
    if (!QFileInfo::exists(path)) {
        // Readable by the user alone from the first byte; SQLite gives its journals the same.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
            if (error)
                *error = QStringLiteral("cannot create %1: %2").arg(path, file.errorString());
            return nullptr;
        }
    }
    sqlite3 *db = nullptr;
    QString why;
    const int status = openAndMigrate(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &db, &why);
    if (status == SQLITE_NOTADB || status == SQLITE_CORRUPT) {
        const QString aside = path + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(path, aside)) {
            if (error)
                *error = QStringLiteral("%1 cannot be read (%2) nor moved aside").arg(path, why);
            return nullptr;
        }
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        if (warning)
            *warning = QStringLiteral("The history could not be read (%1): it was moved to %2 and a new one started.").arg(why, aside);
        return open(path, nullptr, error);
    }
    if (status != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("cannot open the history %1: %2").arg(path, why);
        return nullptr;
    }
    std::unique_ptr<HistoryDatabase> database(new HistoryDatabase(db));
    const std::optional<qint64> host = database->nameId(QSysInfo::machineHostName(), error);
    if (!host)
        return nullptr;
    database->m_host = *host;
    return database;
}

std::unique_ptr<HistoryDatabase> HistoryDatabase::openToRead(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("there is no history at %1").arg(path);
        return nullptr;
    }
    sqlite3 *db = nullptr;
    QString why;
    if (openAndMigrate(path, SQLITE_OPEN_READONLY, &db, &why) != SQLITE_OK) {
        if (error)
            *error = QStringLiteral("cannot read the history %1: %2").arg(path, why);
        return nullptr;
    }
    return std::unique_ptr<HistoryDatabase>(new HistoryDatabase(db));
}

HistoryDatabase::HistoryDatabase(sqlite3 *db)
    : m_db(db)
{
}

HistoryDatabase::~HistoryDatabase()
{
    sqlite3_close_v2(m_db);
}

bool HistoryDatabase::execute(const char *sql, QString *error) const
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    if (error)
        *error = lastError(m_db);
    return false;
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
        if (error)
            *error = lastError(m_db);
        return std::nullopt;
    }
    m_names.insert(name, select.integer(0));
    return select.integer(0);
}

bool HistoryDatabase::apply(const QList<HistoryOperation> &operations, QString *error)
{
    if (!execute("BEGIN IMMEDIATE", error))
        return false;
    const QHash<QString, qint64> names = m_names;
    const QHash<quint64, qint64> rows = m_rowOfOpenStretch;
    for (const HistoryOperation &operation : operations) {
        const bool ok = operation.kind == HistoryOperation::Kind::Write ? write(operation.stretch, error)
                                                                       : takeBack(operation.application, operation.seconds, error);
        if (!ok) {
            execute("ROLLBACK", nullptr);
            // What the rolled-back transaction added is not in the file.
            m_names = names;
            m_rowOfOpenStretch = rows;
            return false;
        }
    }
    if (execute("COMMIT", error))
        return true;
    execute("ROLLBACK", nullptr);
    m_names = names;
    m_rowOfOpenStretch = rows;
    return false;
}

bool HistoryDatabase::write(const Stretch &stretch, QString *error)
{
    const auto row = m_rowOfOpenStretch.constFind(stretch.id);
    const bool known = row != m_rowOfOpenStretch.constEnd();
    if (stretch.seconds <= 0.0) {
        // Taken back whole before it was closed.
        if (known) {
            Statement remove(m_db, "DELETE FROM stretches WHERE id = ?1");
            remove.bind(1, *row);
            if (remove.step() != SQLITE_DONE) {
                if (error)
                    *error = lastError(m_db);
                return false;
            }
            m_rowOfOpenStretch.remove(stretch.id);
        }
        return true;
    }
    const std::optional<qint64> application = nameId(stretch.application, error);
    const std::optional<qint64> window = stretch.window ? nameId(*stretch.window, error) : std::optional<qint64>(0);
    if (!application || !window)
        return false;
    Statement statement(m_db, known ? "UPDATE stretches SET start=?1, end=?2, seconds=?3, application=?4, window=?5 WHERE id=?7"
                                    : "INSERT INTO stretches(start, end, seconds, application, window, host) "
                                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    statement.bind(1, msecs(stretch.start));
    statement.bind(2, msecs(stretch.end));
    statement.bind(3, stretch.seconds);
    statement.bind(4, *application);
    if (stretch.window)
        statement.bind(5, *window);
    else
        statement.bindNull(5);
    if (known)
        statement.bind(7, *row);
    else
        statement.bind(6, m_host);
    if (statement.step() != SQLITE_DONE) {
        if (error)
            *error = lastError(m_db);
        return false;
    }
    if (stretch.open && !known)
        m_rowOfOpenStretch.insert(stretch.id, sqlite3_last_insert_rowid(m_db));
    else if (!stretch.open)
        m_rowOfOpenStretch.remove(stretch.id);
    return true;
}

bool HistoryDatabase::takeBack(const QString &application, double seconds, QString *error)
{
    const std::optional<qint64> id = nameId(application, error);
    if (!id)
        return false;
    // The latest stretches of the application give back their last seconds, the newest first.
    Statement latest(m_db, "SELECT id, end, seconds FROM stretches WHERE application = ?1 ORDER BY end DESC, id DESC");
    latest.bind(1, *id);
    QList<std::pair<qint64, std::pair<qint64, double>>> changes;
    while (seconds > 0.0 && latest.step() == SQLITE_ROW) {
        const double given = std::min(seconds, latest.real(2));
        seconds -= given;
        changes.append({latest.integer(0), {latest.integer(1) - qint64(given * 1000.0 + 0.5), latest.real(2) - given}});
    }
    for (const auto &[row, change] : changes) {
        const bool empty = change.second <= 0.0;
        Statement update(m_db, empty ? "DELETE FROM stretches WHERE id = ?1" : "UPDATE stretches SET end = ?2, seconds = ?3 WHERE id = ?1");
        update.bind(1, row);
        if (!empty) {
            update.bind(2, change.first);
            update.bind(3, change.second);
        }
        if (update.step() != SQLITE_DONE) {
            if (error)
                *error = lastError(m_db);
            return false;
        }
        if (empty)
            m_rowOfOpenStretch.removeIf([row](auto it) { return it.value() == row; });
    }
    return true;
}

QList<Stretch> HistoryDatabase::stretches(const QDateTime &from, const QDateTime &to) const
{
    Statement select(m_db, "SELECT s.start, s.end, s.seconds, a.name, w.name FROM stretches s "
                           "JOIN names a ON a.id = s.application LEFT JOIN names w ON w.id = s.window "
                           "WHERE s.start >= ?3 AND s.start < ?2 AND s.end > ?1 ORDER BY s.start, s.id");
    select.bind(1, msecs(from));
    select.bind(2, msecs(to));
    // The index on start bounds the search from below too: a stretch reaching into the range
    // began at most this long before it (the recorder closes a stretch after a day).
    select.bind(3, msecs(from) - kLongestStretchMs);
    QList<Stretch> found;
    while (select.step() == SQLITE_ROW) {
        Stretch stretch;
        stretch.start = utc(select.integer(0));
        stretch.end = utc(select.integer(1));
        stretch.seconds = select.real(2);
        stretch.application = select.text(3);
        if (!select.isNull(4))
            stretch.window = select.text(4);
        found.append(stretch);
    }
    return found;
}

QList<HistoryTotal> HistoryDatabase::totals(Grouping grouping, const QDateTime &from, const QDateTime &to) const
{
    QList<HistoryTotal> result;
    if (grouping == Grouping::Day) {
        // Days are the user's local days: counted here rather than in SQL.
        QMap<QDate, double> byDay;
        for (const Stretch &stretch : stretches(from, to)) {
            if (stretch.start >= from)
                byDay[stretch.start.toLocalTime().date()] += stretch.seconds;
        }
        for (auto it = byDay.cbegin(); it != byDay.cend(); ++it)
            result.append({QString(), std::nullopt, it.key(), it.value()});
        return result;
    }
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
    while (select.step() == SQLITE_ROW)
        result.append({select.text(0), select.isNull(1) ? std::nullopt : std::optional(select.text(1)), QDate(), select.real(2)});
    std::stable_sort(result.begin(), result.end(), [](const HistoryTotal &a, const HistoryTotal &b) { return a.seconds > b.seconds; });
    return result;
}

qint64 HistoryDatabase::forget(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error)
{
    Statement remove(m_db, application ? "DELETE FROM stretches WHERE start >= ?1 AND start < ?2 AND application = "
                                         "(SELECT id FROM names WHERE name = ?3)"
                                       : "DELETE FROM stretches WHERE start >= ?1 AND start < ?2");
    remove.bind(1, msecs(from));
    remove.bind(2, msecs(to));
    if (application)
        remove.bind(3, *application);
    if (remove.step() != SQLITE_DONE) {
        if (error)
            *error = lastError(m_db);
        return -1;
    }
    return sqlite3_changes(m_db);
}
