#pragma once

#include "HistoryDatabase.h"
#include "tracking/BookingListener.h"

#include <functional>

// Turns the tracker's bookings into stretches: bookings to the same application and window
// extend the open stretch, a switch starts a new one, a take-back trims the latest ones. What
// has come is handed to the writer at each switch of application and at least once a minute.
class HistoryRecorder : public BookingListener
{
public:
    using Writer = std::function<void(const QList<HistoryOperation> &)>;
    static constexpr qint64 kLongestWaitMs = 60'000;
    // A stretch is closed after this long even without a switch: the history finds a range's
    // stretches by their start, and looks back no further than twice this.
    static constexpr double kLongestStretchSeconds = 24 * 3600;

    explicit HistoryRecorder(Writer writer);

    void booked(const QString &application, const std::optional<QString> &window, double seconds, const QDateTime &end) override;
    void tookBack(const QString &application, double seconds) override;
    // Hands over all that has come, the open stretch as it is now (at quit, say).
    void flush();

private:
    Writer m_writer;
    std::optional<Stretch> m_open;
    QList<HistoryOperation> m_pending;
    double m_bookedSinceFlush = 0.0;
    quint64 m_lastId = 0;
};
