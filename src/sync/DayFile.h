#pragma once

#include "history/HistoryDatabase.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QMap>
#include <QString>

#include <optional>

// One local day of one device's history as the shared folder holds it, in JSON Lines: a header
//   {"format": 1, "device": "<id>", "day": "2026-01-05"}
// then a line per stretch, its times in UTC to the millisecond,
//   {"start": "2026-01-05T08:00:00.000Z", "end": "…", "seconds": 600, "application": "Editor",
//    "window": "notes.txt" or null, "source": "recorded", "category": [...], "note": "…"}
// (category and note only where the user gave them), then a line per assignment of the day,
//   {"assignment": {"start": "…", "end": "…", "category": ["Work", "Docs"], "made": 12}}
// ("made": the order the device made them in, which decides where two overlap).
// Another device reads it whole or not at all.
struct DayFile
{
    Q_DECLARE_TR_FUNCTIONS(DayFile)

public:
    static constexpr int kFormat = 1;

    QString device;
    QDate day;
    QList<Stretch> stretches;
    QList<Assignment> assignments;

    QByteArray toJsonLines() const;
    // The day a file holds; none, with the line and what is wrong with it, for a file that is
    // not one (a later format, a truncated or half-synced file among them).
    static std::optional<DayFile> fromJsonLines(const QByteArray &text, QString *error);
    // "2026-01-05.jsonl"
    static QString fileName(QDate day);
};

// What a device's folder holds: its name and, for each day it shares, the checksum of that day's
// file, so that a reader skips the days that did not change.
//   {"format": 1, "device": "<id>", "name": "Laptop", "windowTitles": true, "days": {"2026-01-05": "sha256:…"}}
struct DayManifest
{
    static constexpr int kFormat = 1;

    QString device;
    QString name;
    QMap<QDate, QString> days;
    bool windowTitles = true; // whether its days carry window titles ("windowTitles")

    QByteArray toJson() const;
    static std::optional<DayManifest> fromJson(const QByteArray &text, QString *error);
    // "sha256:" and the hex of the file's SHA-256.
    static QString checksum(const QByteArray &contents);
};
