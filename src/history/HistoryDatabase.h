#pragma once

#include "HistoryOverlay.h"
#include "categories/CategorySet.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <optional>

struct sqlite3;
class SqliteStatement;
struct HistoryIdentity;

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

    // What the user's word made of it (see OverlayEntry); a recorded stretch as it was otherwise.
    StretchSource source = StretchSource::Recorded;
    qint64 overlay = 0;                    // the overlay entry that made it so
    std::optional<QString> recordedAs = {}; // Answered, Corrected: the application recorded
    std::optional<CategoryPath> category = {}; // the category the user chose with it
    double covered = 0.0;                  // recorded seconds that added time covers, not in `seconds`
    QString note = {};                     // Added: the user's note
    qint64 row = 0;                        // as read: its row in the file (0: added time)
    QString device = {};                   // another computer's id, for its imported time; empty: this computer's
};

// What the recorder asks of the database, in order.
struct HistoryOperation
{
    enum class Kind { Write, TakeBack, Forget, Assign, PutOverlay, RemoveOverlay };
    Kind kind = Kind::Write;
    Stretch stretch;       // Write: the stretch (an empty one is removed); Forget, Assign: from its start to its end
    QString application;   // TakeBack: from whom; Forget: whose stretches (empty: everyone's)
    double seconds = 0.0;  // TakeBack: how many of its latest seconds
    CategoryPath category; // Assign: where the time of the range belongs
    OverlayEntry overlay = {}; // PutOverlay: stored anew (id 0) or in place of its id; RemoveOverlay: its id
};

// The user's word that the time of a range belongs to a category, whatever the rules say.
// Where two overlap, the later one decides.
struct Assignment
{
    qint64 id = 0;
    QDateTime start;
    QDateTime end;
    CategoryPath category;
    qint64 made = 0; // the order in which they were made; parts of one split apart keep it
    QString device = {}; // another computer's id, for one imported with its time; empty: this computer's
};

// Another computer whose history was imported from the shared folder.
struct HistoryDevice
{
    QString id;
    QString name;
    QDate lastDay;        // the latest of its days imported
    QDateTime lastImport; // when its folder was last read
    QString problem;      // what could not be imported the last time, or nothing
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
// names stored once and referred to, marked as Kestrum's with PRAGMA application_id and its
// schema versioned with PRAGMA user_version.
//
// Nothing but a history of Kestrum's own is ever written: a file that is damaged, unreadable or
// another program's is moved aside whole (with its journal files), and what can still be read
// of Kestrum's stretches in it is copied into a new history.
class HistoryDatabase
{
    Q_DECLARE_TR_FUNCTIONS(HistoryDatabase)

public:
    enum class Grouping { Application, Window, Day };
    // Whether opening checks every page of the file (about a second for a million stretches).
    enum class Check { None, Quick };

    // $XDG_DATA_HOME/Kestrum/history.sqlite3
    static QString defaultPath();
    // The range [from, to) of local days `first` to `last`, both included, as the queries take it.
    static std::pair<QDateTime, QDateTime> localDays(QDate first, QDate last);
    // Opens or creates the history at `path`. One that cannot be read, is damaged or is not
    // Kestrum's is moved aside (NAME.corrupt-YYYYMMDD-HHMMSS, its -wal and -shm with it) and a
    // new one started with the stretches that could still be read: `warning` says so. Null,
    // with the reason, when no history can be kept there at all.
    static std::unique_ptr<HistoryDatabase> open(const QString &path, QString *warning, QString *error, Check check = Check::None);
    // Opens an existing history to read, never writing to it; null, with the reason, when
    // there is none or it is not Kestrum's.
    static std::unique_ptr<HistoryDatabase> openToRead(const QString &path, QString *error);
    ~HistoryDatabase();

    const QString &path() const { return m_path; }
    // The file itself, not only its path: the names' ids belong to it.
    const QString &fileIdentity() const { return m_fileIdentity; }

    // Applies the operations in one transaction; false, with the reason, when nothing of them
    // could be written (a full disk, say): then the file is as it was. A durable commit is on
    // the disk when this returns; a fast one is handed to the system, which keeps it through a
    // kill of Kestrum but not through a power cut until the journal is next synced.
    enum class Commit { Durable, Fast };
    // `forgotten` counts the stretches its Forget operations removed.
    bool apply(const QList<HistoryOperation> &operations, QString *error, Commit commit = Commit::Durable, qint64 *forgotten = nullptr);
    // Puts on the disk what fast commits left to the system.
    bool syncJournal(QString *error);
    // Whether the last failure came from a damaged file rather than from the disk.
    bool isDamaged() const { return m_damaged; }
    // The stretches still open as written, to go on writing them in a copy of this history.
    struct OpenStretch
    {
        qint64 row = 0;
        double seconds = 0.0;
    };
    using OpenStretches = QHash<quint64, OpenStretch>; // by the recorder's id
    const OpenStretches &openStretches() const { return m_openStretches; }
    void adoptOpenStretches(const OpenStretches &stretches) { m_openStretches = stretches; }
    // How many seconds the operations would add to a history that holds `written` of the
    // stretches still open.
    static double unwrittenSeconds(const QList<HistoryOperation> &operations, const OpenStretches &written);
    // Writes the journal into the file and empties it.
    bool checkpoint(QString *error);

    // The stretches that end after `from` and start before `to`, oldest first, as the user's word
    // makes them (added time among them, renamed and covered ones so); none, with the reason,
    // when they cannot all be read.
    std::optional<QList<Stretch>> stretches(const QDateTime &from, const QDateTime &to, QString *error) const;
    // The same as the computer recorded them; with Reach::StartingWithin only those that start
    // in [from, to), which the index finds without looking back.
    enum class Reach { Overlapping, StartingWithin };
    std::optional<QList<Stretch>> recordedStretches(const QDateTime &from, const QDateTime &to, QString *error,
                                                    Reach reach = Reach::Overlapping) const;
    // The overlay entries that may touch the stretches of [from, to), in the order they were made.
    std::optional<QList<OverlayEntry>> overlay(const QDateTime &from, const QDateTime &to, QString *error) const;
    // Of the stretches that start in [from, to): those the entries reach, as recorded, and what
    // the entries make of them (added time among them). A total of the recorded stretches less
    // the first plus the second is the total as the user's word makes it.
    struct OverlayChange
    {
        QList<Stretch> recorded;
        QList<Stretch> shown;
    };
    std::optional<OverlayChange> overlayChange(const QDateTime &from, const QDateTime &to, const QList<OverlayEntry> &entries,
                                               QString *error) const;
    // The seconds of the recorded stretches that start in [from, to) by their application's and
    // window's names' ids (window 0: none), summed as they are read (the overlay left out): what sorting them into categories
    // reads, naming each pair once with nameOf.
    struct PairTotal
    {
        qint64 application = 0;
        qint64 window = 0;
        double seconds = 0.0;
    };
    std::optional<QList<PairTotal>> pairTotals(const QDateTime &from, const QDateTime &to, QString *error) const;
    std::optional<QString> nameOf(qint64 id, QString *error) const;
    // Deletes the stretches that start in [from, to), of one application or of all; answers
    // how many, or -1 with the reason. Forgetting all of a range forgets the assignments and the
    // overlay entries that start in it; forgetting an application, the entries that book to it.
    qint64 forget(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error);
    // Totals of the stretches that start in [from, to), longest first (days: in order).
    std::optional<QList<HistoryTotal>> totals(Grouping grouping, const QDateTime &from, const QDateTime &to, QString *error) const;

    // Puts the time of [from, to) into `category`, above the rules and earlier assignments.
    bool assign(const QDateTime &from, const QDateTime &to, const CategoryPath &category, QString *error);
    // The assignments that overlap [from, to), in the order they were made.
    std::optional<QList<Assignment>> assignments(const QDateTime &from, const QDateTime &to, QString *error) const;

    // Stores an overlay entry (id 0: a new one), or removes one.
    bool putOverlay(const OverlayEntry &entry, QString *error);
    bool removeOverlay(qint64 id, QString *error);

    // Other computers' history, imported from the shared folder a whole day at a time: their
    // stretches as their user's word made them, and their assignments. Kept apart from this
    // computer's own, which nothing of it ever changes.
    //
    // Whose time stretches(), totals() and assignments() read, and what the categories are
    // sorted from: this computer's alone (the default), every computer's, or one other
    // computer's (by its id).
    enum class Devices { This, All, Other };
    void readDevices(Devices devices, const QString &other = {});
    bool readsThisComputer() const { return m_devices != Devices::Other; }
    // The imported days of a device and the checksum of each.
    std::optional<QHash<QDate, QString>> importedDays(const QString &device, QString *error) const;
    // Replaces what is kept of the device's day with the day's stretches and assignments, in
    // one transaction; the device is recorded under `name`.
    bool importDay(const QString &device, const QString &name, QDate day, const QString &checksum, const QList<Stretch> &stretches,
                   const QList<Assignment> &assignments, QString *error);
    bool removeImportedDay(const QString &device, QDate day, QString *error);
    // That the device's folder was read now, and what was wrong with it (empty: nothing).
    bool noteImport(const QString &device, const QString &name, const QString &problem, QString *error);
    // The local days from `from` on (none: from the first) on which this computer has stretches,
    // added time or assignments, in order.
    std::optional<QList<QDate>> daysWithStretches(const QDateTime &from, QString *error) const;
    // The end of this computer's latest stretch; invalid when it has none.
    std::optional<QDateTime> latestEnd(QString *error) const;
    // The other computers imported, by name.
    std::optional<QList<HistoryDevice>> devices(QString *error) const;
    // The imported stretches that end after `from` and start before `to` (StartingWithin: that
    // start in [from, to)), oldest first, of the devices read; their assignments likewise.
    std::optional<QList<Stretch>> importedStretches(const QDateTime &from, const QDateTime &to, Reach reach, QString *error) const;
    std::optional<QList<Assignment>> importedAssignments(const QDateTime &from, const QDateTime &to, QString *error) const;

private:
    friend class HistorySalvage;
    // Forgets the stretches of [from, to) that the user's word shows as `application`.
    qint64 forgetShown(const QDateTime &from, const QDateTime &to, const QString &application, QString *error);
    bool forgetOverlay(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error);
    bool hasTable(const char *name, QString *error, bool *found) const;
    // Whether the file may hold the table of imported history: false when it surely does not.
    bool hasImported(const char *table) const;
    bool beginImport(QString *error);
    // This computer's totals by application or window, appended to `totals`.
    bool ownTotals(Grouping grouping, const QDateTime &from, const QDateTime &to, QList<HistoryTotal> *totals, QString *error) const;
    bool addImportedTotals(Grouping grouping, const QDateTime &from, const QDateTime &to, QList<HistoryTotal> *totals, QString *error) const;
    std::optional<QList<Assignment>> ownAssignments(const QDateTime &from, const QDateTime &to, QString *error) const;

    bool forgetAssignments(const QDateTime &from, const QDateTime &to, QString *error);
    HistoryDatabase(sqlite3 *db, QString path);
    // Moves the history at `path` aside and starts a new one with what can be read of it.
    static std::unique_ptr<HistoryDatabase> replace(const QString &path, const HistoryIdentity &found, QString *warning, QString *error);
    bool fail(QString *error) const;
    // A stretch from a row whose first columns are start, end, seconds, application and window.
    static Stretch stretchOfRow(const SqliteStatement &row);
    bool execute(const char *sql, QString *error) const;
    std::optional<qint64> nameId(const QString &name, QString *error);
    bool write(const Stretch &stretch, QString *error);
    bool takeBack(const QString &application, double seconds, QString *error);
    // Inserts the stretch as row `row` (none: the next), or updates row `row` to it.
    enum class Row { Insert, Update };
    bool writeRow(const Stretch &stretch, std::optional<qint64> row, qint64 host, Row kind, QString *error);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_fileIdentity;
    qint64 m_host = 0;
    Commit m_commit = Commit::Durable; // SQLite's own setting: every commit synced
    bool m_empty = false; // read-only, and no history has been written to the file yet
    mutable bool m_damaged = false;
    QHash<QString, qint64> m_names;
    mutable QHash<qint64, QString> m_namesById; // an id keeps its name: names are never removed
    // The names the transaction under way added to m_names: a copy of all of them per
    // transaction would cost as much as the history has names.
    QList<QString> m_namesAdded;
    OpenStretches m_openStretches;
    Devices m_devices = Devices::This;
    QString m_otherDevice;
};
