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

QJsonValue textOrNull(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
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
        const QList<Stretch> stretches = database->stretches(start, end);
        if (format == Format::Csv) {
            output->append(historyCsv(stretches).toUtf8());
            return true;
        }
        for (const Stretch &stretch : stretches) {
            if (format == Format::JsonLines) {
                output->append(jsonLine({{QStringLiteral("start"), historyLocalTime(stretch.start)},
                                         {QStringLiteral("end"), historyLocalTime(stretch.end)},
                                         {QStringLiteral("seconds"), stretch.seconds},
                                         {QStringLiteral("application"), stretch.application},
                                         {QStringLiteral("window"), textOrNull(stretch.window)}}));
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

    const QList<HistoryTotal> totals = database->totals(*by, start, end);
    if (format == Format::Csv) {
        output->append(historyTotalsCsv(totals, *by).toUtf8());
        return true;
    }
    for (const HistoryTotal &total : totals) {
        const QString day = total.day.toString(Qt::ISODate);
        if (format == Format::JsonLines) {
            QJsonObject object{{QStringLiteral("seconds"), total.seconds}};
            if (*by == HistoryDatabase::Grouping::Day) {
                object.insert(QStringLiteral("day"), day);
            } else {
                object.insert(QStringLiteral("application"), total.application);
                if (*by == HistoryDatabase::Grouping::Window)
                    object.insert(QStringLiteral("window"), textOrNull(total.window));
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
