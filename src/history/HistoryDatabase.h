#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <optional>

struct sqlite3;

// One stretch of booked time: an application (and window) in front from start to end.
struct Stretch
{
    quint64 id = 0;           // the recorder's number for it, so that a stretch still open can be written again
    bool open = false;        // it may still grow: written again until it is closed
    QDateTime start;          // UTC as read from the database; as the clock gave it when recorded
    QDateTime end;
    double seconds = 0.0;     // as booked: the store's own seconds, to the millisecond
    QString application;
    std::optional<QString> window;
};

// What the recorder asks of the database, in order.
struct HistoryOperation
{
    enum class Kind { Write, TakeBack };
    Kind kind = Kind::Write;
    Stretch stretch;       // Write: the stretch (an empty one is removed)
    QString application;   // TakeBack: from whom
    double seconds = 0.0;  // TakeBack: how many of its latest seconds
};

// A total of the history, by application, window or day.
struct HistoryTotal
{
    QString application;           // by application and by window
    std::optional<QString> window; // by window: none for time in no window
    QDate day;                     // by day: the local day
    double seconds = 0.0;
};

// The history of booked stretches in a SQLite file: WAL journal, readable by the user alone,
// names stored once and referred to, the schema versioned with PRAGMA user_version.
class HistoryDatabase
{
public:
    enum class Grouping { Application, Window, Day };

    // $XDG_DATA_HOME/Kestrum/history.sqlite3
    static QString defaultPath();
    // The range [from, to) of local days `first` to `last`, both included, as the queries take it.
    static std::pair<QDateTime, QDateTime> localDays(QDate first, QDate last);
    // Opens or creates the history at `path`. One that cannot be read is moved aside
    // (NAME.corrupt-YYYYMMDD-HHMMSS) and a new one started: `warning` says so. Null, with the
    // reason, when no history can be kept there at all.
    static std::unique_ptr<HistoryDatabase> open(const QString &path, QString *warning, QString *error);
    // Opens an existing history to read; null, with the reason, when there is none.
    static std::unique_ptr<HistoryDatabase> openToRead(const QString &path, QString *error);
    ~HistoryDatabase();

    // Applies the operations in one transaction; false, with the reason, when nothing of them
    // could be written (a full disk, say): then the file is as it was.
    bool apply(const QList<HistoryOperation> &operations, QString *error);

    // The stretches that end after `from` and start before `to`, oldest first.
    QList<Stretch> stretches(const QDateTime &from, const QDateTime &to) const;
    // Deletes the stretches that start in [from, to), of one application or of all; answers
    // how many, or -1 with the reason.
    qint64 forget(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error);
    // Totals of the stretches that start in [from, to), longest first (days: in order).
    QList<HistoryTotal> totals(Grouping grouping, const QDateTime &from, const QDateTime &to) const;

private:
    explicit HistoryDatabase(sqlite3 *db);
    bool execute(const char *sql, QString *error) const;
    std::optional<qint64> nameId(const QString &name, QString *error);
    bool write(const Stretch &stretch, QString *error);
    bool takeBack(const QString &application, double seconds, QString *error);

    sqlite3 *m_db = nullptr;
    qint64 m_host = 0;
    QHash<QString, qint64> m_names;
    QHash<quint64, qint64> m_rowOfOpenStretch; // the recorder's id of a stretch still open -> its row
};
