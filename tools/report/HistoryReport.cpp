#include "HistoryReport.h"

#include "persistence/CsvExport.h"
#include "store/SafeText.h"
#include "tracking/TimeTracker.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString localTime(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString seconds(double value)
{
    return QString::number(value, 'f', 3);
}

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
    const QDateTime start = from.startOfDay().toUTC();
    const QDateTime end = to.addDays(1).startOfDay().toUTC();
    QString text;

    if (!by) {
        const QList<Stretch> stretches = database->stretches(start, end);
        if (format == Format::Csv)
            text += QStringLiteral("start,end,seconds,application,window\n");
        for (const Stretch &stretch : stretches) {
            const QString window = stretch.window.value_or(QString());
            switch (format) {
            case Format::Csv:
                text += QStringLiteral("%1,%2,%3,%4,%5\n")
                            .arg(localTime(stretch.start), localTime(stretch.end), seconds(stretch.seconds),
                                 csvNameField(stretch.application), csvNameField(window));
                break;
            case Format::JsonLines:
                output->append(jsonLine({{QStringLiteral("start"), localTime(stretch.start)},
                                         {QStringLiteral("end"), localTime(stretch.end)},
                                         {QStringLiteral("seconds"), stretch.seconds},
                                         {QStringLiteral("application"), stretch.application},
                                         {QStringLiteral("window"), textOrNull(stretch.window)}}));
                break;
            case Format::Table:
                text += QStringLiteral("%1  %2  %3  %4%5\n")
                            .arg(localTime(stretch.start), stretch.end.toLocalTime().toString(QStringLiteral("HH:mm:ss")),
                                 TimeTracker::timeStringForDouble(stretch.seconds).rightJustified(10),
                                 printableText(stretch.application),
                                 stretch.window ? QStringLiteral("  ") + printableText(*stretch.window) : QString());
                break;
            }
        }
        output->append(text.toUtf8());
        return true;
    }

    const QList<HistoryTotal> totals = database->totals(*by, start, end);
    if (format == Format::Csv) {
        text += *by == HistoryDatabase::Grouping::Application ? QStringLiteral("application,seconds\n")
              : *by == HistoryDatabase::Grouping::Window    ? QStringLiteral("application,window,seconds\n")
                                                            : QStringLiteral("day,seconds\n");
    }
    for (const HistoryTotal &total : totals) {
        const QString day = total.day.toString(Qt::ISODate);
        switch (format) {
        case Format::Csv:
            if (*by == HistoryDatabase::Grouping::Day)
                text += QStringLiteral("%1,%2\n").arg(day, seconds(total.seconds));
            else if (*by == HistoryDatabase::Grouping::Window)
                text += QStringLiteral("%1,%2,%3\n").arg(csvNameField(total.application), csvNameField(total.window.value_or(QString())),
                                                          seconds(total.seconds));
            else
                text += QStringLiteral("%1,%2\n").arg(csvNameField(total.application), seconds(total.seconds));
            break;
        case Format::JsonLines: {
            QJsonObject object{{QStringLiteral("seconds"), total.seconds}};
            if (*by == HistoryDatabase::Grouping::Day) {
                object.insert(QStringLiteral("day"), day);
            } else {
                object.insert(QStringLiteral("application"), total.application);
                if (*by == HistoryDatabase::Grouping::Window)
                    object.insert(QStringLiteral("window"), textOrNull(total.window));
            }
            output->append(jsonLine(object));
            break;
        }
        case Format::Table: {
            const QString name = *by == HistoryDatabase::Grouping::Day ? day
                               : total.window                          ? total.application + QStringLiteral("  ") + *total.window
                                                                       : total.application;
            text += QStringLiteral("%1  %2\n").arg(TimeTracker::timeStringForDouble(total.seconds).rightJustified(10), printableText(name));
            break;
        }
        }
    }
    output->append(text.toUtf8());
    return true;
}
