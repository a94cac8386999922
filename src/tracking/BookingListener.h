#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// Hears every change the tracker makes to an application's time, as it makes it. The history
// of booked stretches is kept from these, so that its totals are the store's own.
class BookingListener
{
public:
    virtual ~BookingListener() = default;
    // `seconds` were booked to `application`, in `window` (none: in no window), ending at `end`.
    virtual void booked(const QString &application, const std::optional<QString> &window, double seconds, const QDateTime &end) = 0;
    // The last `seconds` booked to `application` were taken back from it (an idle stretch).
    virtual void tookBack(const QString &application, double seconds) = 0;
    // A stretch of time away begins or ends here: what is booked next is a stretch of its own.
    virtual void awayBoundary() {}
    // The user said what the time away from `start` to `end` was: its "Idle" stretches become
    // `label` (in `category`, if any).
    virtual void answeredAway(const QDateTime &start, const QDateTime &end, const QString &label, const QStringList &category)
    {
        Q_UNUSED(start) Q_UNUSED(end) Q_UNUSED(label) Q_UNUSED(category)
    }
};
