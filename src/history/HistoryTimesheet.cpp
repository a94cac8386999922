#include "HistoryTimesheet.h"

#include "HistoryCsv.h"
#include "persistence/CsvExport.h"
#include "store/DurationText.h"
#include "store/SafeText.h"

std::optional<Timesheet> Timesheet::read(const HistoryDatabase &database, Classifier &classifier, QDate first, QDate last, Rows rows,
                                         int depth, const CategoryPath &within, QString *error)
{
    Timesheet sheet;
    QHash<QString, qsizetype> rowOf;
    QList<QHash<QString, double>> perDay;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const auto [start, end] = HistoryDatabase::localDays(day, day);
        const std::optional<QList<HistoryCategories::Share>> shares = HistoryCategories::shares(database, classifier, start, end, error);
        if (!shares)
            return std::nullopt;
        QHash<QString, double> cells;
        if (rows == Rows::Category) {
            for (const HistoryCategories::CategoryTotal &total : HistoryCategories::categoryTotals(*shares, depth, within)) {
                const QString name = categoryPathText(total.category);
                cells[name] += total.seconds;
                if (!rowOf.contains(name)) {
                    rowOf.insert(name, sheet.rows.size());
                    sheet.rows.append({name, total.category, int(total.category.size() - std::max<qsizetype>(within.size(), 1)), {}, 0.0});
                }
            }
        } else {
            for (const HistoryCategories::Share &share : *shares) {
                if (!HistoryCategories::isWithin(share.classification.category, within))
                    continue;
                cells[share.application] += share.seconds;
                if (!rowOf.contains(share.application)) {
                    rowOf.insert(share.application, sheet.rows.size());
                    sheet.rows.append({share.application, {}, 0, {}, 0.0});
                }
            }
        }
        sheet.days.append(day);
        perDay.append(cells);
    }
    for (Row &row : sheet.rows) {
        for (const QHash<QString, double> &cells : std::as_const(perDay)) {
            row.days.append(cells.value(row.name));
            row.total += row.days.constLast();
        }
    }
    // Siblings longest first over the whole range (equals by name); for categories each
    // followed by what lies beneath it.
    const auto longer = [](const Row &a, const Row &b) { return a.total != b.total ? a.total > b.total : a.name < b.name; };
    if (rows == Rows::Category) {
        QHash<QString, QList<Row>> children;
        QList<Row> top;
        for (const Row &row : std::as_const(sheet.rows)) {
            if (row.level == 0)
                top.append(row);
            else
                children[categoryPathText(row.path.mid(0, row.path.size() - 1))].append(row);
        }
        QList<Row> ordered;
        const auto visit = [&](const auto &self, QList<Row> level) -> void {
            std::sort(level.begin(), level.end(), longer);
            for (const Row &row : level) {
                ordered.append(row);
                self(self, children.value(row.name));
            }
        };
        visit(visit, top);
        sheet.rows = ordered;
    } else {
        std::sort(sheet.rows.begin(), sheet.rows.end(), longer);
    }
    sheet.dayTotals = QList<double>(sheet.days.size(), 0.0);
    for (const Row &row : std::as_const(sheet.rows)) {
        if (row.level > 0)
            continue;
        for (qsizetype i = 0; i < row.days.size(); ++i)
            sheet.dayTotals[i] += row.days.at(i);
        sheet.total += row.total;
    }
    return sheet;
}

QString Timesheet::csv(Rows kind) const
{
    // not translated: the CSV's headings and its total row are read by programs
    QString text = kind == Rows::Category ? QStringLiteral("category") : QStringLiteral("application");
    for (const QDate &day : days)
        text += u',' + day.toString(Qt::ISODate);
    text += QStringLiteral(",total\n");
    const auto line = [&text](const QString &name, const QList<double> &cells, double total) {
        text += csvNameField(name);
        for (double seconds : cells)
            text += u',' + historySeconds(seconds);
        text += u',' + historySeconds(total) + u'\n';
    };
    for (const Row &row : rows)
        line(row.name, row.days, row.total);
    line(QStringLiteral("Total"), dayTotals, total); // not translated: a CSV cell
    return text;
}

QString Timesheet::table(Rows kind) const
{
    // Names as wide as the widest, then a column per day as wide as its heading.
    const auto shownName = [](const Row &row) { return QString(2 * row.level, u' ') + printableText(row.name); };
    const QString totalText = tr("Total");
    const QString heading = kind == Rows::Category ? tr("Category") : tr("Application");
    qsizetype nameWidth = totalText.size();
    for (const Row &row : rows)
        nameWidth = std::max(nameWidth, shownName(row).size());
    QString text = heading.leftJustified(nameWidth);
    for (const QDate &day : days)
        text += QStringLiteral("  ") + day.toString(Qt::ISODate);
    text += QStringLiteral("  ") + totalText.rightJustified(10) + u'\n';
    const auto line = [&](const QString &name, const QList<double> &cells, double total) {
        text += name.leftJustified(nameWidth);
        for (double seconds : cells)
            text += QStringLiteral("  ") + (seconds > 0.0 ? timeStringForDouble(seconds) : QStringLiteral("-")).rightJustified(10);
        text += QStringLiteral("  ") + timeStringForDouble(total).rightJustified(10) + u'\n';
    };
    for (const Row &row : rows)
        line(shownName(row), row.days, row.total);
    line(totalText, dayTotals, total);
    return text;
}
