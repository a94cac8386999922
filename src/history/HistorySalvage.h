#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>

struct sqlite3;
class HistoryDatabase;

// How Kestrum marks its history files, and which schema they hold.
constexpr int kHistoryApplicationId = 0x4b53544d; // "KSTM"
constexpr int kHistorySchemaVersion = 4; // 2: assignments, 3: the overlay, 4: other computers' days

// What a file at the history's place holds, as far as Kestrum is concerned.
struct HistoryIdentity
{
    enum class Content {
        Empty,        // no tables yet: a new history
        Kestrum,      // Kestrum's history, of this schema or an earlier one
        Newer,        // Kestrum's history of a schema this Kestrum does not know
        Foreign,      // another program's database
        Unreadable,   // damaged, or no database at all
        Inaccessible, // cannot be opened (permissions, a missing folder)
    };
    Content content = Content::Empty;
    int applicationId = 0;
    int version = 0;
    QString why; // what was found, for every content but Empty and Kestrum
};

// Tells whether a file is Kestrum's history, moves one that must not be written out of the way,
// and copies what can still be read of it into a new history.
class HistorySalvage
{
    Q_DECLARE_TR_FUNCTIONS(HistorySalvage)

public:
    // What the open connection shows.
    static HistoryIdentity identify(sqlite3 *db);
    // Opens `path` read-only: as SQLite shows it with the journal beside it (which it replays
    // only in memory), or the file alone, with no journal replayed. Null, with the reason.
    enum class View { WithJournal, FileAlone };
    static sqlite3 *openToRead(const QString &path, View view, QString *error);
    // Renames the history and its -wal and -shm under one stamp (NAME.corrupt-YYYYMMDD-HHMMSS);
    // answers where the history went, or none with the reason, with nothing renamed.
    static std::optional<QString> moveAside(const QString &path, QString *error);

    // What could be copied from a history moved aside.
    struct Copied
    {
        qint64 stretches = 0;
        bool fromFileAlone = false; // the journal beside it was not Kestrum's, or unreadable
    };
    // Copies the stretches that can still be read in the history at `aside` into `into`, each
    // with its own number. Reads it with its journal when that shows Kestrum's history, else
    // the file alone; where a part of the file cannot be read, reading goes on past it.
    static Copied copyReadable(const QString &aside, HistoryDatabase &into);
};
