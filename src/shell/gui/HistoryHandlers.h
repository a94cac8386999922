#pragma once

#include "categories/CategorySet.h"
#include "history/HistoryDatabase.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// How the History window reaches what Kestrum is still writing to the history. Without them it
// reads and forgets on the file alone.
struct HistoryHandlers
{
    // Hands over what was booked but not written yet, and waits until it is written.
    std::function<void()> beforeReading;
    // Forgets the stretches that start in [from, to), of one application or of everyone, after
    // all that was booked before: how many, or -1 with the reason.
    std::function<qint64(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application, QString *error)> forget;
    // Puts the time of [from, to) into `category`, above the rules: false, with the reason,
    // when it is not written yet.
    std::function<bool(const QDateTime &from, const QDateTime &to, const CategoryPath &category, QString *error)> assign;
    // Stores or removes an overlay entry (PutOverlay, RemoveOverlay: added time, a correction)
    // after all that was booked before: false, with the reason, when it is not written yet.
    std::function<bool(const HistoryOperation &operation, QString *error)> overlay;
};
