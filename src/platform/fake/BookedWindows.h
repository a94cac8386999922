#pragma once

#include "tracking/BookingListener.h"

#include <QHash>
#include <QStringList>

// Hears the tracker's bookings as the history does, and keeps for each application the windows
// they named: a window booked under another application shows here.
class BookedWindows : public BookingListener
{
public:
    void booked(const QString &application, const std::optional<QString> &window, double seconds, const QDateTime &end) override;
    void tookBack(const QString &application, double seconds) override;

    // The windows the bookings to this application named, in order of name.
    QStringList windowsOf(const QString &application) const;

private:
    QHash<QString, QStringList> m_windows;
};
