#pragma once

#include "history/HistoryDatabase.h"

#include <QByteArray>
#include <QDate>

#include <optional>

// kestrum-report --history: the stretches of a range of days, or their totals.
struct HistoryReport
{
    enum class Format { Table, Csv, JsonLines };

    QDate from; // local days, both included
    QDate to;
    std::optional<HistoryDatabase::Grouping> by;
    Format format = Format::Table;

    // The report of the history at `path`; false, with the reason, when it cannot be read.
    bool print(const QString &path, QByteArray *output, QString *error) const;
};
