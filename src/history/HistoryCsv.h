#pragma once

#include "HistoryDatabase.h"

#include <QString>

// The history as CSV, the same for kestrum-report and the History window's export: local times
// as 2026-01-08T09:00:00, seconds as a decimal number, names as the timings' CSV writes them.
// start,end,seconds,application,window,source (recorded, added, answered, corrected)
QString historyCsv(const QList<Stretch> &stretches);
QString historyTotalsCsv(const QList<HistoryTotal> &totals, HistoryDatabase::Grouping grouping); // application[,window],seconds or day,seconds

// Seconds as the history's CSV writes them: a decimal number to the millisecond.
QString historySeconds(double seconds);

// A time of the history as the CSV and the tools show it: local, to the second, without a zone.
QString historyLocalTime(const QDateTime &time);
