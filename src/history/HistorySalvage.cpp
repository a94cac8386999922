#include "HistorySalvage.h"

#include "HistoryColumns.h"
#include "HistoryDatabase.h"
#include "SqliteStatement.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <limits>

Q_DECLARE_LOGGING_CATEGORY(lcHistory)

namespace {

using Content = HistoryIdentity::Content;

// Reads one value of a query; none, with the status, when it cannot be read.
std::optional<qint64> pragmaValue(sqlite3 *db, const char *sql, int *status)
{
    SqliteStatement pragma(db, sql);
    *status = pragma.step();
    if (*status != SQLITE_ROW)
        return std::nullopt;
    return pragma.integer(0);
}

HistoryIdentity failure(sqlite3 *db, int status)
{
    return {isDamage(status) ? Content::Unreadable : Content::Inaccessible, 0, 0, sqliteError(db)};
}

// Steps through the rows `sql` selects from the id bound to ?1 on, in order of id, and hands
// each to `take`. Where a row cannot be read, the next id from which reading works again is
// searched for: doubling the step until a read works, then halving back to its first id.
void readReadableRows(sqlite3 *db, const char *sql, const std::function<void(const SqliteStatement &)> &take)
{
    const auto readableFrom = [db, sql](qint64 id) {
        SqliteStatement probe(db, sql);
        probe.bind(1, id);
        return probe.step();
    };
    qint64 next = std::numeric_limits<qint64>::min();
    for (;;) {
        SqliteStatement select(db, sql);
        if (!select.isValid())
            return;
        select.bind(1, next);
        int status = SQLITE_ROW;
        while ((status = select.step()) == SQLITE_ROW) {
            take(select);
            const qint64 id = select.integer(0);
            if (id == std::numeric_limits<qint64>::max())
                return;
            next = id + 1;
        }
        if (status == SQLITE_DONE)
            return;
        qCDebug(lcHistory).noquote() << "Cannot read past id" << next << ":" << sqliteError(db);
        qint64 failed = next;
        qint64 works = 0;
        bool found = false;
        for (qint64 step = 1; step > 0 && failed <= std::numeric_limits<qint64>::max() - step; step *= 2) {
            const int probe = readableFrom(failed + step);
            if (probe == SQLITE_DONE)
                return; // nothing readable lies beyond
            if (probe == SQLITE_ROW) {
                works = failed + step;
                found = true;
                break;
            }
            failed += step;
        }
        if (!found)
            return;
        while (works - failed > 1) {
            const qint64 middle = failed + (works - failed) / 2;
            (readableFrom(middle) == SQLITE_ROW ? works : failed) = middle;
        }
        next = works;
    }
}

} // namespace

HistoryIdentity HistorySalvage::identify(sqlite3 *db)
{
    int status = SQLITE_OK;
    const std::optional<qint64> applicationId = pragmaValue(db, "PRAGMA application_id", &status);
    if (!applicationId)
        return failure(db, status);
    const std::optional<qint64> version = pragmaValue(db, "PRAGMA user_version", &status);
    if (!version)
        return failure(db, status);
    QStringList tables;
    {
        SqliteStatement select(db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name");
        while ((status = select.step()) == SQLITE_ROW)
            tables.append(select.text(0));
        if (status != SQLITE_DONE)
            return failure(db, status);
    }
    HistoryIdentity identity{Content::Kestrum, int(*applicationId), int(*version), QString()};
    const bool ours = identity.applicationId == kHistoryApplicationId;
    const bool kestrumTables = tables.contains(QStringLiteral("names")) && tables.contains(QStringLiteral("stretches"));
    if (!ours && identity.applicationId != 0) {
        identity.content = Content::Foreign;
        identity.why = tr("it is another program's database (application id %1)").arg(identity.applicationId);
    } else if (tables.isEmpty() && identity.version == 0) {
        identity.content = Content::Empty;
    } else if (ours && identity.version > kHistorySchemaVersion) {
        identity.content = Content::Newer;
        identity.why = tr("it was written by a newer Kestrum (schema %1)").arg(identity.version);
    } else if (ours && kestrumTables && identity.version >= 1) {
        identity.content = Content::Kestrum;
    } else if (ours) {
        identity.content = Content::Unreadable;
        identity.why = tr("its tables are missing");
    } else if (identity.version == 1 && kestrumTables) {
        identity.content = Content::Kestrum; // written before histories were marked as Kestrum's
    } else {
        identity.content = Content::Foreign;
        identity.why = tables.isEmpty() ? tr("it is another program's database (schema version %1)").arg(identity.version)
                                        : tr("it is another program's database (tables %1)").arg(tables.mid(0, 4).join(QStringLiteral(", ")));
    }
    return identity;
}

sqlite3 *HistorySalvage::openToRead(const QString &path, View view, QString *error)
{
    // The file alone: SQLite takes an immutable file as it is, without looking for a journal.
    const QByteArray name = view == View::FileAlone
        ? "file:" + QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/") + "?immutable=1"
        : QFile::encodeName(path);
    sqlite3 *db = nullptr;
    const int status = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (status != SQLITE_OK) {
        if (error)
            *error = db ? sqliteError(db) : QString::fromUtf8(sqlite3_errstr(status));
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

std::optional<QString> HistorySalvage::moveAside(const QString &path, QString *error)
{
    const QString stamp = QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + stamp;
    // Never over an earlier one moved aside in the same second.
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + QStringLiteral("-wal")); ++n)
        aside = path + stamp + QStringLiteral("-%1").arg(n);
    const auto renameFile = [error](const QString &from, const QString &to) {
        if (!QFileInfo::exists(from) || QFile::rename(from, to))
            return true;
        if (error)
            *error = tr("cannot rename %1 to %2").arg(from, to);
        return false;
    };
    // The journal first: were it left beside a new history, it would be replayed into it.
    const QString wal = QStringLiteral("-wal");
    const QString shm = QStringLiteral("-shm");
    if (!renameFile(path + wal, aside + wal))
        return std::nullopt;
    if (!renameFile(path, aside)) {
        renameFile(aside + wal, path + wal);
        return std::nullopt;
    }
    // The shared-memory index only mirrors the journal; one that cannot go with it goes.
    if (!renameFile(path + shm, aside + shm))
        QFile::remove(path + shm);
    return aside;
}

HistorySalvage::Copied HistorySalvage::copyReadable(const QString &aside, HistoryDatabase &into)
{
    for (const View view : {View::WithJournal, View::FileAlone}) {
        QString why;
        sqlite3 *db = openToRead(aside, view, &why);
        if (!db)
            continue;
        if (identify(db).content != Content::Kestrum) {
            sqlite3_close_v2(db);
            continue;
        }
        QHash<qint64, QString> names;
        readReadableRows(db, "SELECT id, name FROM names WHERE id >= ?1 ORDER BY id",
                         [&names](const SqliteStatement &row) { names.insert(row.integer(0), row.text(1)); });
        Copied copied{0, view == View::FileAlone};
        QString error;
        if (!into.execute("BEGIN IMMEDIATE", &error)) {
            sqlite3_close_v2(db);
            qCWarning(lcHistory).noquote() << "Nothing could be copied into the new history:" << error;
            return {};
        }
        bool writing = true;
        readReadableRows(db, "SELECT id, start, end, seconds, application, window, host FROM stretches WHERE id >= ?1 ORDER BY id",
                         [&](const SqliteStatement &row) {
            const auto application = names.constFind(row.integer(4));
            const auto window = row.isNull(5) ? names.constEnd() : names.constFind(row.integer(5));
            // A stretch is kept only whole: without its application's or its window's name it
            // would count under the wrong one.
            if (!writing || application == names.constEnd() || (!row.isNull(5) && window == names.constEnd()))
                return;
            Stretch stretch;
            stretch.start = HistoryColumns::utc(row.integer(1));
            stretch.end = HistoryColumns::utc(row.integer(2));
            stretch.seconds = row.real(3);
            stretch.application = *application;
            if (window != names.constEnd())
                stretch.window = *window;
            const QString host = names.value(row.integer(6));
            const std::optional<qint64> hostId = host.isEmpty() ? std::optional(into.m_host) : into.nameId(host, &error);
            writing = hostId && into.writeRow(stretch, row.integer(0), *hostId, HistoryDatabase::Row::Insert, &error);
            if (writing)
                ++copied.stretches;
        });
        // The user's assignments too, as they were; a history from before them has none.
        SqliteStatement assign(into.m_db, "INSERT INTO assignments(id, start, end, category, made) VALUES (?1, ?2, ?3, ?4, ?5)");
        readReadableRows(db, "SELECT id, start, end, category, made FROM assignments WHERE id >= ?1 ORDER BY id",
                         [&](const SqliteStatement &row) {
            if (!writing)
                return;
            assign.reset();
            for (int column = 0; column < 5; ++column) {
                if (column == 3)
                    assign.bind(column + 1, row.text(column));
                else
                    assign.bind(column + 1, row.integer(column));
            }
            writing = assign.step() == SQLITE_DONE || into.fail(&error);
        });
        // And the time they added, answered and corrected.
        SqliteStatement put(into.m_db, "INSERT INTO overlay(id, kind, start, end, application, original, category, note, made) "
                                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        readReadableRows(db, "SELECT id, kind, start, end, application, original, category, note, made FROM overlay WHERE id >= ?1 ORDER BY id",
                         [&](const SqliteStatement &row) {
            if (!writing)
                return;
            put.reset();
            for (int column = 0; column < 9; ++column) {
                if (row.isNull(column))
                    put.bindNull(column + 1);
                else if (column >= 4 && column <= 7)
                    put.bind(column + 1, row.text(column));
                else
                    put.bind(column + 1, row.integer(column));
            }
            writing = put.step() == SQLITE_DONE || into.fail(&error);
        });
        sqlite3_close_v2(db);
        if (!writing || !into.execute("COMMIT", &error)) {
            into.execute("ROLLBACK", nullptr);
            into.m_names.clear();
            qCWarning(lcHistory).noquote() << "The stretches that could be read were not copied into the new history:" << error;
            return {};
        }
        return copied;
    }
    return {};
}
