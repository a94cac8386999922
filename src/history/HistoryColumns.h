#pragma once

#include "categories/CategorySet.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

// How the history's columns hold times and categories, for the files that read and write them.
namespace HistoryColumns {

// The recorder closes a stretch after at most this long: one reaching into a range began at
// most this long before it.
constexpr qint64 kLongestStretchMs = 2 * 24 * 3600 * 1000;

// Times: milliseconds since 1970, UTC.
inline qint64 msecs(const QDateTime &time)
{
    return time.toMSecsSinceEpoch();
}

inline QDateTime utc(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

// A category path: a JSON list of names.
inline QString categoryColumn(const CategoryPath &path)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(path)).toJson(QJsonDocument::Compact));
}

inline CategoryPath categoryOfColumn(const QString &text)
{
    CategoryPath path;
    for (const QJsonValue &name : QJsonDocument::fromJson(text.toUtf8()).array())
        path.append(name.toString());
    return path;
}

} // namespace HistoryColumns
