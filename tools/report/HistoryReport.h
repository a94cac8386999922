#pragma once

#include "categories/CategorySet.h"
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
    bool byCategory = false;
    Format format = Format::Table;
    // Categories: the rules and categories to sort by, how deep the tree is shown (0: whole),
    // the one subtree kept (empty: all), and whether each stretch says what sorted it.
    CategorySet categories;
    int depth = 0;
    CategoryPath within;
    bool explain = false;

    // The report of the history at `path`; false, with the reason, when it cannot be read.
    bool print(const QString &path, QByteArray *output, QString *error) const;
};
