#pragma once

// A store to save, load and export: a tracker without a desktop, the notices it sends, and
// short ways to write down timings and to compare them exactly.

#include "FileTestSupport.h"

#include "store/ChangeNotifier.h"
#include "tracking/MemorySettings.h"
#include "tracking/OfflineTracker.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <utility>

// A node record of the timing snapshot.
inline QVariantMap record(const QString &name, double seconds)
{
    return {{QStringLiteral("Name"), name}, {QStringLiteral("ActiveTime"), seconds}};
}

// An application entry of the timing snapshot, with its windows' names and times.
inline QVariantMap entry(const QString &name, double seconds, const QList<std::pair<QString, double>> &windows = {})
{
    QVariantList records;
    for (const auto &[windowName, windowSeconds] : windows)
        records.append(record(windowName, windowSeconds));
    return {{QStringLiteral("App"), record(name, seconds)}, {QStringLiteral("Windows"), records}};
}

// A time written so that two different doubles never read the same.
inline QString exact(double seconds)
{
    return QString::number(seconds, 'g', 17);
}

// The whole store, one application a line in the store's order:
// "Editor 840 [report 600, notes 240]".
inline QString describe(const TimeTracker &tracker)
{
    QString text;
    for (const auto &app : tracker.fullTimeSet()) {
        QStringList windows;
        for (const auto &window : app->windows())
            windows.append(window->name().value_or(QStringLiteral("<none>")) + u' ' + exact(window->activeTime()));
        text += app->name().value_or(QStringLiteral("<none>")) + u' ' + exact(app->activeTime()) + QStringLiteral(" [")
            + windows.join(QStringLiteral(", ")) + QStringLiteral("]\n");
    }
    return text;
}

// A tracker with no desktop behind it, on settings held in memory, and the notices it sent.
class TrackerTest : public ::testing::Test
{
protected:
    TrackerTest()
    {
        tracker().notifier().subscribe([this](const ChangeNotice &notice) {
            if (notice.property == ObservedProperty::TimeSet)
                notices.append(notice);
        });
    }

    TimeTracker &tracker() { return m_offline.tracker(); }

    // A store with the applications of the export's worked example, in this order.
    void loadWorkedExample()
    {
        tracker().setArrayRepresentation(QVariantList{
            entry(QStringLiteral("Editor"), 840, {{QStringLiteral("report"), 600}, {QStringLiteral("notes"), 240}}),
            entry(QStringLiteral("Terminal"), 65),
            entry(QStringLiteral("Idle"), 300),
        });
    }

    static QList<ChangeNotice> timeSetPair()
    {
        return {{nullptr, ObservedProperty::TimeSet, ChangePhase::Will}, {nullptr, ObservedProperty::TimeSet, ChangePhase::Did}};
    }

    MemorySettings settings;
    // The "timeSet" notices only.
    QList<ChangeNotice> notices;

private:
    OfflineTracker m_offline{settings};
};
