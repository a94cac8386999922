#include "HistoryReport.h"

#include "history/HistoryCalendar.h"
#include "history/HistoryCategories.h"
#include "history/HistoryTimesheet.h"
#include "history/HistoryCsv.h"
#include "persistence/CsvExport.h"
#include "store/SafeText.h"
#include "tracking/TimeTracker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace {

QByteArray jsonLine(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

// A name as the JSON carries it: JSON escapes C0 controls itself, but would hand DEL, C1
// controls and bidirectional overrides to the terminal as they are.
QJsonValue jsonName(const QString &text)
{
    return printableText(text, LineFeeds::Keep);
}

// How the text listing marks a stretch's source for people (the CSV and JSON name it as
// stretchSourceName() does).
QString sourceLabel(StretchSource source)
{
    switch (source) {
    case StretchSource::Recorded:
        return QCoreApplication::translate("HistoryReport", "recorded", "a stretch's source: as Kestrum counted it");
    case StretchSource::Added:
        return QCoreApplication::translate("HistoryReport", "added", "a stretch's source: time the user added");
    case StretchSource::Answered:
        return QCoreApplication::translate("HistoryReport", "answered", "a stretch's source: time away the user said what it was");
    case StretchSource::Corrected:
        return QCoreApplication::translate("HistoryReport", "corrected", "a stretch's source: time the user corrected");
    }
    return {};
}

// How the text listing marks what is not simply recorded: "  (added)", "  (covered)".
QString sourceMarker(const Stretch &stretch)
{
    QStringList marks;
    if (stretch.source != StretchSource::Recorded)
        marks.append(sourceLabel(stretch.source));
    if (stretch.covered > 0.0) {
        marks.append(stretch.seconds > 0.0
                         ? QCoreApplication::translate("HistoryReport", "partly covered", "a stretch partly covered by added time")
                         : QCoreApplication::translate("HistoryReport", "covered", "a stretch wholly covered by added time"));
    }
    return marks.isEmpty() ? QString() : QStringLiteral("  (%1)").arg(marks.join(QStringLiteral(", ")));
}

QJsonValue jsonNameOrNull(const std::optional<QString> &text)
{
    return text ? jsonName(*text) : QJsonValue(QJsonValue::Null);
}

// The totals of one subtree of categories, by application, window or day.
std::optional<QList<HistoryTotal>> totalsWithin(const HistoryDatabase &database, Classifier &classifier, HistoryDatabase::Grouping by,
                                                const CategoryPath &within, const QDateTime &start, const QDateTime &end, QString *error)
{
    QList<HistoryTotal> result;
    if (by == HistoryDatabase::Grouping::Day) {
        const std::optional<QList<HistoryCategories::Piece>> pieces = HistoryCategories::pieces(database, classifier, start, end, error);
        if (!pieces)
            return std::nullopt;
        QMap<QDate, double> byDay;
        for (const HistoryCategories::Piece &piece : *pieces) {
            if (piece.stretch.start >= start && piece.stretch.start < end && HistoryCategories::isWithin(piece.classification.category, within))
                byDay[piece.stretch.start.toLocalTime().date()] += piece.stretch.seconds;
        }
        for (auto it = byDay.cbegin(); it != byDay.cend(); ++it)
            result.append({QString(), std::nullopt, it.key(), it.value()});
        return result;
    }
    const std::optional<QList<HistoryCategories::Share>> shares = HistoryCategories::shares(database, classifier, start, end, error);
    if (!shares)
        return std::nullopt;
    QHash<QString, qsizetype> index;
    for (const HistoryCategories::Share &share : *shares) {
        if (!HistoryCategories::isWithin(share.classification.category, within))
            continue;
        const bool byWindow = by == HistoryDatabase::Grouping::Window;
        const QString key = byWindow ? QString::number(share.application.size()) + (share.window ? u'w' : u'-') + share.application
                                           + share.window.value_or(QString())
                                     : share.application;
        const auto it = index.constFind(key);
        if (it != index.cend()) {
            result[*it].seconds += share.seconds;
        } else {
            index.insert(key, result.size());
            result.append({share.application, byWindow ? share.window : std::nullopt, QDate(), share.seconds});
        }
    }
    std::stable_sort(result.begin(), result.end(), [](const HistoryTotal &a, const HistoryTotal &b) { return a.seconds > b.seconds; });
    return result;
}

} // namespace

std::unique_ptr<HistoryDatabase> HistoryReport::open(const QString &path, DeviceNames *names, QString *error, QStringList *notes) const
{
    std::unique_ptr<HistoryDatabase> database;
    if (shared) {
        // The other computers' latest days first; this computer's own are never written here.
        QString warning;
        database = HistoryDatabase::open(path, &warning, error);
        if (!database)
            return nullptr;
        SharedFolder folder(*shared);
        const SharedFolder::Imported imported = folder.importAll(*database);
        if (notes) {
            if (!warning.isEmpty())
                notes->append(warning);
            notes->append(imported.problems);
        }
    } else {
        database = HistoryDatabase::openToRead(path, error);
        if (!database)
            return nullptr;
    }
    const std::optional<QList<HistoryDevice>> devices = database->devices(error);
    if (!devices)
        return nullptr;
    *names = DeviceNames::of(thisComputer, *devices);
    const QString wanted = device.trimmed();
    if (wanted.isEmpty()) {
        database->readDevices(devices->isEmpty() ? HistoryDatabase::Devices::This : HistoryDatabase::Devices::All);
        return database;
    }
    if (wanted == u"all" || wanted == u"this") {
        database->readDevices(wanted == u"all" ? HistoryDatabase::Devices::All : HistoryDatabase::Devices::This);
        return database;
    }
    if (wanted == thisId || wanted.compare(thisComputer, Qt::CaseInsensitive) == 0) {
        database->readDevices(HistoryDatabase::Devices::This);
        return database;
    }
    QStringList matching;
    QStringList known{thisComputer + QStringLiteral(" (this)")}; // not translated: "this" is the value --device takes for it
    for (const HistoryDevice &other : *devices) {
        known.append(QStringLiteral("%1 (%2)").arg(other.name, other.id));
        if (other.id == wanted || other.name.compare(wanted, Qt::CaseInsensitive) == 0)
            matching.append(other.id);
    }
    if (matching.size() != 1) {
        *error = matching.isEmpty() ? tr("--device %1 names no computer the history knows: %2")
                                          .arg(printableText(wanted), printableText(known.join(QStringLiteral(", "))))
                                    : tr("--device %1 names %2 computers: give the id of one (%3)")
                                          .arg(printableText(wanted), QString::number(matching.size()), matching.join(QStringLiteral(", ")));
        return nullptr;
    }
    database->readDevices(HistoryDatabase::Devices::Other, matching.constFirst());
    return database;
}

bool HistoryReport::print(const QString &path, QByteArray *output, QString *error, QStringList *notes) const
{
    DeviceNames names;
    const std::unique_ptr<HistoryDatabase> database = open(path, &names, error, notes);
    if (!database)
        return false;
    const auto [start, end] = HistoryDatabase::localDays(from, to);
    Classifier classifier(categories);
    QString text;

    if (timesheet) {
        const Timesheet::Rows rows = by ? Timesheet::Rows::Application : Timesheet::Rows::Category;
        const std::optional<Timesheet> sheet = Timesheet::read(*database, classifier, from, to, rows, depth, within, error);
        if (!sheet)
            return false;
        output->append((format == Format::Csv ? sheet->csv(rows) : sheet->table(rows)).toUtf8());
        return true;
    }
    if (calendar) {
        std::optional<QList<HistoryCategories::Piece>> pieces = HistoryCategories::pieces(*database, classifier, start, end, error);
        if (!pieces)
            return false;
        pieces->removeIf([&](const HistoryCategories::Piece &piece) {
            return piece.stretch.start < start || !HistoryCategories::isWithin(piece.classification.category, within);
        });
        output->append(historyCalendar(*pieces, joinGapMs, QDateTime::currentDateTimeUtc()));
        return true;
    }

    if (byCategory) {
        const std::optional<QList<HistoryCategories::Share>> shares = HistoryCategories::shares(*database, classifier, start, end, error);
        if (!shares)
            return false;
        const QList<HistoryCategories::CategoryTotal> totals = HistoryCategories::categoryTotals(*shares, depth, within);
        if (format == Format::Csv)
            text = QStringLiteral("category,seconds\n");
        for (const HistoryCategories::CategoryTotal &total : totals) {
            const QString name = categoryPathText(total.category);
            if (format == Format::JsonLines)
                output->append(jsonLine({{QStringLiteral("category"), jsonName(name)}, {QStringLiteral("seconds"), total.seconds}}));
            else if (format == Format::Csv)
                text += QStringLiteral("%1,%2\n").arg(csvNameField(name), historySeconds(total.seconds));
            else
                text += QStringLiteral("%1  %2\n").arg(TimeTracker::timeStringForDouble(total.seconds).rightJustified(10), printableText(name));
        }
        output->append(text.toUtf8());
        return true;
    }

    if (!by) {
        // Sorted into categories only when asked: a plain listing reads the stretches alone.
        QList<HistoryCategories::Piece> pieces;
        if (explain || !within.isEmpty()) {
            const std::optional<QList<HistoryCategories::Piece>> read = HistoryCategories::pieces(*database, classifier, start, end, error);
            if (!read)
                return false;
            for (const HistoryCategories::Piece &piece : *read) {
                if (HistoryCategories::isWithin(piece.classification.category, within))
                    pieces.append(piece);
            }
        } else {
            const std::optional<QList<Stretch>> stretches = database->stretches(start, end, error);
            if (!stretches)
                return false;
            for (const Stretch &stretch : *stretches)
                pieces.append({stretch, {}});
        }
        if (format == Format::Csv) {
            QList<Stretch> stretches;
            for (const HistoryCategories::Piece &piece : std::as_const(pieces))
                stretches.append(piece.stretch);
            if (!explain) {
                output->append(historyCsv(stretches, names).toUtf8());
                return true;
            }
            // The stretches' columns, then what sorted each.
            const QStringList lines = historyCsv(stretches, names).split(u'\n', Qt::SkipEmptyParts);
            text = lines.value(0) + QStringLiteral(",category,explanation\n");
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const Classification &classification = pieces.at(i - 1).classification;
                text += lines.at(i) + QStringLiteral(",%1,%2\n").arg(csvNameField(categoryPathText(classification.category)),
                                                                     csvNameField(classification.explanation()));
            }
            output->append(text.toUtf8());
            return true;
        }
        for (const HistoryCategories::Piece &piece : std::as_const(pieces)) {
            const Stretch &stretch = piece.stretch;
            if (format == Format::JsonLines) {
                QJsonObject object{{QStringLiteral("start"), historyLocalTime(stretch.start)},
                                   {QStringLiteral("end"), historyLocalTime(stretch.end)},
                                   {QStringLiteral("seconds"), stretch.seconds},
                                   {QStringLiteral("application"), jsonName(stretch.application)},
                                   {QStringLiteral("window"), jsonNameOrNull(stretch.window)},
                                   {QStringLiteral("source"), stretchSourceName(stretch.source)}};
                if (stretch.covered > 0.0)
                    object.insert(QStringLiteral("covered"), stretch.covered);
                if (stretch.recordedAs)
                    object.insert(QStringLiteral("recorded"), jsonName(*stretch.recordedAs));
                if (!stretch.note.isEmpty())
                    object.insert(QStringLiteral("note"), jsonName(stretch.note));
                object.insert(QStringLiteral("device"), jsonName(names.of(stretch.device)));
                if (explain) {
                    object.insert(QStringLiteral("category"), jsonName(categoryPathText(piece.classification.category)));
                    object.insert(QStringLiteral("explanation"), jsonName(piece.classification.explanation()));
                }
                output->append(jsonLine(object));
            } else {
                text += QStringLiteral("%1  %2  %3  %4%5%6%7%8\n")
                            .arg(historyLocalTime(stretch.start), stretch.end.toLocalTime().toString(QStringLiteral("HH:mm:ss")),
                                 TimeTracker::timeStringForDouble(stretch.seconds).rightJustified(10),
                                 printableText(stretch.application),
                                 stretch.window ? QStringLiteral("  ") + printableText(*stretch.window) : QString(),
                                 sourceMarker(stretch),
                                 explain ? QStringLiteral("  [%1: %2]").arg(printableText(categoryPathText(piece.classification.category)),
                                                                           printableText(piece.classification.shownExplanation()))
                                         : QString(),
                                 stretch.device.isEmpty() ? QString() : QStringLiteral("  @%1").arg(printableText(names.of(stretch.device))));
            }
        }
        output->append(text.toUtf8());
        return true;
    }

    const std::optional<QList<HistoryTotal>> totals = within.isEmpty() ? database->totals(*by, start, end, error)
                                                                       : totalsWithin(*database, classifier, *by, within, start, end, error);
    if (!totals)
        return false;
    if (format == Format::Csv) {
        output->append(historyTotalsCsv(*totals, *by).toUtf8());
        return true;
    }
    for (const HistoryTotal &total : *totals) {
        const QString day = total.day.toString(Qt::ISODate);
        if (format == Format::JsonLines) {
            QJsonObject object{{QStringLiteral("seconds"), total.seconds}};
            if (*by == HistoryDatabase::Grouping::Day) {
                object.insert(QStringLiteral("day"), day);
            } else {
                object.insert(QStringLiteral("application"), jsonName(total.application));
                if (*by == HistoryDatabase::Grouping::Window)
                    object.insert(QStringLiteral("window"), jsonNameOrNull(total.window));
            }
            output->append(jsonLine(object));
        } else {
            const QString name = *by == HistoryDatabase::Grouping::Day ? day
                               : total.window                          ? total.application + QStringLiteral("  ") + *total.window
                                                                       : total.application;
            text += QStringLiteral("%1  %2\n").arg(TimeTracker::timeStringForDouble(total.seconds).rightJustified(10), printableText(name));
        }
    }
    output->append(text.toUtf8());
    return true;
}
