#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <cstring>

// A prepared statement, finalised when it goes.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~SqliteStatement() { sqlite3_finalize(m_statement); }
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    void bind(int index, qint64 value) { sqlite3_bind_int64(m_statement, index, value); }
    void bind(int index, double value) { sqlite3_bind_double(m_statement, index, value); }
    void bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int index) { sqlite3_bind_null(m_statement, index); }
    // Ready to be stepped again, with new values bound.
    void reset() { sqlite3_reset(m_statement); }
    // SQLITE_MISUSE for a statement that could not be prepared, so that no caller takes it
    // for the end of its rows.
    int step() { return m_statement ? sqlite3_step(m_statement) : SQLITE_MISUSE; }
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

// What SQLite said of the last failure on `db`, with the system's own reason where there is one:
// "unable to open database file (Permission denied)", "disk I/O error (while writing)".
inline QString sqliteError(sqlite3 *db)
{
    QString message = QString::fromUtf8(sqlite3_errmsg(db));
    // The system's error number stays from the last failed call: it belongs to this failure
    // only when SQLite says the failure came from the file system.
    const int extended = sqlite3_extended_errcode(db);
    const int status = extended & 0xff;
    const bool fromTheSystem = status == SQLITE_IOERR || status == SQLITE_CANTOPEN || status == SQLITE_READONLY
        || status == SQLITE_FULL || status == SQLITE_PERM;
    if (const int systemError = sqlite3_system_errno(db); fromTheSystem && systemError != 0) {
        message += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(systemError)));
    } else if (status == SQLITE_IOERR) {
        // Not every failed call leaves its number: at least what SQLite was doing.
        const char *doing = extended == SQLITE_IOERR_WRITE      ? QT_TRANSLATE_NOOP("SqliteStatement", "while writing")
                          : extended == SQLITE_IOERR_READ       ? QT_TRANSLATE_NOOP("SqliteStatement", "while reading")
                          : extended == SQLITE_IOERR_SHORT_READ ? QT_TRANSLATE_NOOP("SqliteStatement", "while reading")
                          : extended == SQLITE_IOERR_FSYNC      ? QT_TRANSLATE_NOOP("SqliteStatement", "while syncing to the disk")
                          : extended == SQLITE_IOERR_TRUNCATE   ? QT_TRANSLATE_NOOP("SqliteStatement", "while truncating")
                                                                : nullptr;
        if (doing)
            message += QStringLiteral(" (%1)").arg(QCoreApplication::translate("SqliteStatement", doing));
    }
    return message;
}

// Whether SQLite's answer says the file is damaged, or no database at all.
inline bool isDamage(int status)
{
    return (status & 0xff) == SQLITE_CORRUPT || (status & 0xff) == SQLITE_NOTADB;
}
