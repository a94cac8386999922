#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The days kestrum-report --history reads, both included.
struct DayRange
{
    QDate first;
    QDate last;
};

// The range that --from and --to name (either may be missing: the first day is then `today`,
// the last the first). Where a value names no day, or the last day comes before the first,
// answers nothing, and `error` names the option, its value and what is wrong.
std::optional<DayRange> dayRange(const std::optional<QString> &from, const std::optional<QString> &to, QDate today, QString *error);
