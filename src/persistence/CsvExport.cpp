#include "CsvExport.h"

#include "AtomicFile.h"
#include "store/DurationText.h"
#include "store/SafeText.h"
#include "tracking/TimeTracker.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcExport, "kestrum.export")

QString formatString(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvNameField(const QString &name)
{
    QString field = printableText(name, LineFeeds::Keep);
    static const QString formulaStarts = QStringLiteral("=+-@");
    if (!field.isEmpty() && formulaStarts.contains(field.front()))
        field.prepend(u'\'');
    const bool needsQuotes = field.contains(u',') || field.contains(u'"') || field.contains(u'\n');
    return needsQuotes ? formatString(field) : field;
}

QString csvForSet(const TimeTracker &tracker, ExportScope scope)
{
    const QList<TimeStoreApp *> apps = scope == ExportScope::Shown ? tracker.timeSet() : tracker.allApplications();
    QString text = QStringLiteral("Total,Per Application,,Per Window\n"); // not translated: CSV header, read by spreadsheets and scripts
    // The total of what is listed, with "Idle" as the settings say.
    text += timeStringForDouble(tracker.totalTimeOf(apps)) + QStringLiteral(",Application,Time,Window,Time\n"); // not translated: CSV header
    for (const TimeStoreApp *app : apps) {
        QString appName = csvNameField(app->name().value_or(QString()));
        QString appTime = app->activeTimeString();
        QList<const TimeStoreWindow *> windows;
        if (scope == ExportScope::Shown) {
            for (const TimeStoreWindow *window : tracker.shownWindows(*app))
                windows.append(window);
        } else {
            for (const auto &window : app->windows())
                windows.append(window.get());
        }
        if (windows.empty()) {
            text += u',' + appName + u',' + appTime + QStringLiteral(",,\n");
            continue;
        }
        for (const TimeStoreWindow *window : std::as_const(windows)) {
            text += u',' + appName + u',' + appTime + u',' + csvNameField(window->name().value_or(QString())) + u','
                + window->activeTimeString() + u'\n';
            // Only the first window line names the application.
            appName.clear();
            appTime.clear();
        }
    }
    return text;
}

bool exportCSVSet(const TimeTracker &tracker, ExportScope scope, const QString &path, QString *error)
{
    if (writeFileAtomically(path, csvForSet(tracker, scope).toUtf8(), error))
        return true;
    qCWarning(lcExport, "Error Exporting");
    return false;
}
