#pragma once

#include "categories/CategorySet.h"
#include "history/HistoryCsv.h"
#include "history/HistoryDatabase.h"
#include "sync/SharedFolder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>

#include <optional>

// kestrum-report --history: the stretches of a range of days, or their totals.
struct HistoryReport
{
    Q_DECLARE_TR_FUNCTIONS(HistoryReport)

public:
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
    // Instead of stretches or totals: the days as a timesheet (by category, or by application
    // with `by`), or as an iCalendar file, runs of a category apart by less than `joinGapMs` one event.
    bool timesheet = false;
    bool calendar = false;
    qint64 joinGapMs = 15 * 60 * 1000;

    // Whose time: empty for every computer's once the history holds others' (else this one's),
    // "all", "this", or one computer by its name or id.
    QString device;
    // The shared folder whose other computers' days are imported first; none: the history as it is.
    std::optional<SharedFolder::Options> shared;
    QString thisComputer; // this computer's name and id
    QString thisId;

    // The report of the history at `path`; false, with the reason, when it cannot be read.
    // `notes`: what the user should know besides (what the import could not take).
    bool print(const QString &path, QByteArray *output, QString *error, QStringList *notes = nullptr) const;

private:
    // Opens the history, importing first when there is a shared folder, and reads the devices chosen.
    std::unique_ptr<HistoryDatabase> open(const QString &path, DeviceNames *names, QString *error, QStringList *notes) const;
};
