#include "TimingTable.h"

#include "store/SafeText.h"
#include "tracking/TimeTracker.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>

namespace {

template<typename Node>
QList<const Node *> longestFirst(QList<const Node *> nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(), [](const Node *a, const Node *b) { return a->activeTime() > b->activeTime(); });
    return nodes;
}

// Names come from window titles: they can neither break the table nor drive the terminal.
QString printable(const std::optional<QString> &name)
{
    return printableText(name.value_or(QString()));
}

QString line(const QString &indent, const QString &name, const QString &duration, qsizetype width)
{
    return indent + name.leftJustified(width - indent.size()) + QStringLiteral("  ") + duration + u'\n';
}

} // namespace

QString timingTable(const TimeTracker &tracker)
{
    const QString indent = QStringLiteral("    ");
    const QString totalLabel = QCoreApplication::translate("TimingTable", "Total");
    QList<const TimeStoreApp *> apps;
    qsizetype width = totalLabel.size();
    for (const auto &app : tracker.fullTimeSet()) {
        apps.append(app.get());
        width = std::max(width, printable(app->name()).size());
        for (const auto &window : app->windows())
            width = std::max(width, indent.size() + printable(window->name()).size());
    }

    QString table;
    for (const TimeStoreApp *app : longestFirst(apps)) {
        table += line(QString(), printable(app->name()), app->activeTimeString(), width);
        QList<const TimeStoreWindow *> windows;
        for (const auto &window : app->windows())
            windows.append(window.get());
        for (const TimeStoreWindow *window : longestFirst(windows))
            table += line(indent, printable(window->name()), window->activeTimeString(), width);
    }
    table += line(QString(), totalLabel, TimeTracker::timeStringForDouble(tracker.totalTime()), width);
    return table;
}
