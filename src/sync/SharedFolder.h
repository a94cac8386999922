#pragma once

#include "DayFile.h"
#include "history/HistoryDatabase.h"
#include "tracking/Settings.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>

#include <optional>

// The folder a sync tool keeps in step between the user's computers, as this computer uses it:
//   devices/<id>/manifest.json      (DayManifest)
//   devices/<id>/days/YYYY-MM-DD.jsonl (DayFile)
// This computer writes beneath its own devices/<id>/ alone, each file atomically under a name
// the sync tool does not carry until it is whole; the other computers' folders it only reads,
// importing their days into the history. What it does not know there (a sync tool's temporary
// or conflict files, a later format, a file cut short) it leaves alone and reports once.
class SharedFolder
{
    Q_DECLARE_TR_FUNCTIONS(SharedFolder)

public:
    struct Options
    {
        QString folder;
        QString device; // this computer's id
        QString name;   // and its name
        bool shareWindowTitles = true;
    };
    explicit SharedFolder(Options options);
    // The folder the settings share this computer's history through (`device`: its id); none
    // while they name none, or without an id.
    static std::optional<Options> fromSettings(const Settings &settings, const QString &device);

    const Options &options() const { return m_options; }
    // FOLDER/devices/ID
    QString deviceFolder(const QString &device) const;

    // Writes this computer's `days` as `database` holds them, those that differ from what the
    // folder holds, then the manifest once; a day left with nothing leaves the folder. False,
    // with the reason, when one cannot be written (those before it are).
    bool exportDays(const HistoryDatabase &database, const QList<QDate> &days, QString *error);

    struct Imported
    {
        int days = 0;        // days imported or replaced
        int removed = 0;     // days their device no longer shares
        int waiting = 0;     // days whose file and manifest disagree: still being synced
        QStringList problems; // each reported once
    };
    // Imports every other computer's days that changed since the last import.
    Imported importAll(HistoryDatabase &database);

    // The latest day the folder holds of this computer (invalid: none, or every day is to be
    // written again, as when window titles were shared and are no longer), or none with the reason.
    std::optional<QDate> latestOwnDay(QString *error);
    // Whether this computer's folder goes on past what `database` recorded: another computer,
    // started from a copy of this one's data folder, writes under the same id.
    bool ownFolderIsAhead(const HistoryDatabase &database);
    // The folders whose changes call for an import.
    QStringList watchedFolders() const;

private:
    std::optional<DayManifest> ownManifest(QString *error);
    bool exportDay(const HistoryDatabase &database, QDate day, DayManifest *manifest, bool *changed, QString *error);
    void importDevice(HistoryDatabase &database, const QString &device, Imported *imported);
    // `problem` for the user the first time it is met; the device's problems take it each time.
    void report(const QString &problem, QStringList *deviceProblems, Imported *imported);

    Options m_options;
    std::optional<DayManifest> m_manifest; // ours, as last written
    QSet<QString> m_reported;
};
