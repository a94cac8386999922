#include "HistoryCsv.h"

#include "persistence/CsvExport.h"

QString historySeconds(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

QString historyLocalTime(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QString DeviceNames::of(const QString &device) const
{
    if (device.isEmpty())
        return thisComputer;
    const QString name = others.value(device);
    return name.isEmpty() ? device : name;
}

DeviceNames DeviceNames::of(const QString &thisComputer, const QList<HistoryDevice> &devices)
{
    DeviceNames names{thisComputer, {}};
    for (const HistoryDevice &device : devices)
        names.others.insert(device.id, device.name);
    return names;
}

QString historyCsv(const QList<Stretch> &stretches, const DeviceNames &devices)
{
    // not translated: the CSV's headings are read by programs
    QString text = QStringLiteral("start,end,seconds,application,window,source,device\n");
    for (const Stretch &stretch : stretches) {
        text += QStringLiteral("%1,%2,%3,%4,%5,%6,%7\n")
                    .arg(historyLocalTime(stretch.start), historyLocalTime(stretch.end), historySeconds(stretch.seconds),
                         csvNameField(stretch.application), csvNameField(stretch.window.value_or(QString())),
                         stretchSourceName(stretch.source), csvNameField(devices.of(stretch.device)));
    }
    return text;
}

QString historyTotalsCsv(const QList<HistoryTotal> &totals, HistoryDatabase::Grouping grouping)
{
    QString text = grouping == HistoryDatabase::Grouping::Application ? QStringLiteral("application,seconds\n")
                 : grouping == HistoryDatabase::Grouping::Window      ? QStringLiteral("application,window,seconds\n")
                                                                      : QStringLiteral("day,seconds\n");
    for (const HistoryTotal &total : totals) {
        if (grouping == HistoryDatabase::Grouping::Day)
            text += QStringLiteral("%1,%2\n").arg(total.day.toString(Qt::ISODate), historySeconds(total.seconds));
        else if (grouping == HistoryDatabase::Grouping::Window)
            text += QStringLiteral("%1,%2,%3\n").arg(csvNameField(total.application), csvNameField(total.window.value_or(QString())),
                                                      historySeconds(total.seconds));
        else
            text += QStringLiteral("%1,%2\n").arg(csvNameField(total.application), historySeconds(total.seconds));
    }
    return text;
}
