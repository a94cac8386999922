#pragma once

#include "HistoryDatabase.h"

#include <QString>

// The history as CSV, the same for kestrum-report and the History window's export: local times
// as 2026-01-08T09:00:00, seconds as a decimal number, names as the timings' CSV writes them.
// start,end,seconds,application,window,source (recorded, added, answered, corrected),device
//
// The device column names the computer each stretch was recorded on: this one by its name,
// another by the name it shares its history under (its id where it gave none).
struct DeviceNames
{
    QString thisComputer;
    QHash<QString, QString> others; // by id
    QString of(const QString &device) const;
    static DeviceNames of(const QString &thisComputer, const QList<HistoryDevice> &devices);
};
QString historyCsv(const QList<Stretch> &stretches, const DeviceNames &devices = {});
QString historyTotalsCsv(const QList<HistoryTotal> &totals, HistoryDatabase::Grouping grouping); // application[,window],seconds or day,seconds

// Seconds as the history's CSV writes them: a decimal number to the millisecond.
QString historySeconds(double seconds);

// A time of the history as the CSV and the tools show it: local, to the second, without a zone.
QString historyLocalTime(const QDateTime &time);
