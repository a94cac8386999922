#include "HistoryReport.h"

#include "history/HistoryCsv.h"
#include "store/SafeText.h"
#include "tracking/TimeTracker.h"

#include <QJsonDocument>
#include <QJsonObject>

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

QJsonValue jsonNameOrNull(const std::optional<QString> &text)
{
    return text ? jsonName(*text) : QJsonValue(QJsonValue::Null);
}

} // namespace

bool HistoryReport::print(const QString &path, QByteArray *output, QString *error) const
{
    const std::unique_ptr<HistoryDatabase> database = HistoryDatabase::openToRead(path, error);
    if (!database)
        return false;
    const auto [start, end] = HistoryDatabase::localDays(from, to);
    QString text;

    if (!by) {
        const std::optional<QList<Stretch>> stretches = database->stretches(start, end, error);
        if (!stretches)
            return false;
        if (format == Format::Csv) {
            output->append(historyCsv(*stretches).toUtf8());
            return true;
        }
        for (const Stretch &stretch : *stretches) {
            if (format == Format::JsonLines) {
                output->append(jsonLine({{QStringLiteral("start"), historyLocalTime(stretch.start)},
                                         {QStringLiteral("end"), historyLocalTime(stretch.end)},
                                         {QStringLiteral("seconds"), stretch.seconds},
                                         {QStringLiteral("application"), jsonName(stretch.application)},
                                         {QStringLiteral("window"), jsonNameOrNull(stretch.window)}}));
            } else {
                text += QStringLiteral("%1  %2  %3  %4%5\n")
                            .arg(historyLocalTime(stretch.start), stretch.end.toLocalTime().toString(QStringLiteral("HH:mm:ss")),
                                 TimeTracker::timeStringForDouble(stretch.seconds).rightJustified(10),
                                 printableText(stretch.application),
                                 stretch.window ? QStringLiteral("  ") + printableText(*stretch.window) : QString());
            }
        }
        output->append(text.toUtf8());
        return true;
    }

    const std::optional<QList<HistoryTotal>> totals = database->totals(*by, start, end, error);
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
