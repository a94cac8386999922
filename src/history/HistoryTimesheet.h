#pragma once

#include "HistoryCategories.h"

#include <QCoreApplication>
#include <QDate>

// Days as columns, categories (or applications) as rows, with a total row and a total column:
// the history of a range of days as a timesheet, for kestrum-report and the History window.
struct Timesheet
{
    Q_DECLARE_TR_FUNCTIONS(Timesheet)

public:
    enum class Rows { Category, Application };

    struct Row
    {
        QString name;         // the category's path as " ▸ " joins it, or the application
        CategoryPath path;    // categories: the category
        int level = 0;        // categories: how deep in the tree (0: at the top)
        QList<double> days;   // seconds per day, in the order of `days`
        double total = 0.0;
    };

    QList<QDate> days;
    QList<Row> rows;          // categories as a tree, parents first; the longest first among equals
    QList<double> dayTotals;  // what the top rows hold each day
    double total = 0.0;

    // Local days `first` to `last`. Categories are folded to `depth` (0: all) and kept to the
    // subtree `within` (empty: all) as kestrum-report --by category does.
    static std::optional<Timesheet> read(const HistoryDatabase &database, Classifier &classifier, QDate first, QDate last, Rows rows,
                                         int depth, const CategoryPath &within, QString *error);

    // category|application,YYYY-MM-DD…,total, seconds as decimals; then the total row.
    QString csv(Rows rows) const;
    // The same for a terminal: HH:MM:SS, the tree indented, the headings in the user's language.
    QString table(Rows rows) const;
};
