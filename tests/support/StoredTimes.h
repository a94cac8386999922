#pragma once

#include "persistence/PropertyList.h"

#include <QMap>
#include <QString>
#include <QStringList>

// The times a kestrum that quit stored in its settings file, read with Kestrum's own
// property-list reader. Header-only: the tests that use it link the persistence library.
struct StoredTimes
{
    QMap<QString, double> applications;
    QMap<QString, QMap<QString, double>> windows; // by application, then window
    QString error;
};

inline StoredTimes readStoredTimes(const QString &settingsPath)
{
    StoredTimes times;
    const PropertyListResult settings = PropertyList::readFile(settingsPath);
    if (!settings.ok()) {
        times.error = settings.error;
        return times;
    }
    const QVariant wrapper = settings.value.value<PropertyListDictionary>().value(QStringLiteral("Apps"));
    if (!wrapper.canConvert<PropertyListDictionary>()) {
        times.error = QStringLiteral("no timings under \"Apps\"");
        return times;
    }
    for (const QVariant &entry : wrapper.value<PropertyListDictionary>().value(QStringLiteral("Apps")).toList()) {
        const auto record = entry.value<PropertyListDictionary>();
        const auto app = record.value(QStringLiteral("App")).value<PropertyListDictionary>();
        const QString name = app.value(QStringLiteral("Name")).toString();
        times.applications.insert(name, app.value(QStringLiteral("ActiveTime")).toDouble());
        for (const QVariant &window : record.value(QStringLiteral("Windows")).toList()) {
            const auto node = window.value<PropertyListDictionary>();
            times.windows[name].insert(node.value(QStringLiteral("Name")).toString(), node.value(QStringLiteral("ActiveTime")).toDouble());
        }
    }
    return times;
}

// "name=seconds" of every application, and the windows of each in brackets, for a failure message.
inline QString describe(const StoredTimes &times)
{
    QStringList parts;
    for (auto it = times.applications.cbegin(); it != times.applications.cend(); ++it)
        parts.append(QStringLiteral("%1=%2 [%3]")
                         .arg(it.key())
                         .arg(it.value())
                         .arg(times.windows.value(it.key()).keys().join(QStringLiteral(", "))));
    return parts.join(QStringLiteral(", "));
}
