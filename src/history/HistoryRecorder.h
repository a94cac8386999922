#pragma once

#include "HistoryDatabase.h"
#include "tracking/BookingListener.h"

#include <functional>

// Turns the tracker's bookings into stretches: bookings to the same application and window
// extend the open stretch, a switch starts a new one, a take-back trims the latest ones. What
// has come is handed to the writer every half minute of booked time, so that a kill loses at
// most that much, and a switch costs the history nothing; and whenever asked (before the
// history is read, at quit).
//
// A stretch's span on the wall clock is its seconds: when the wall clock has moved otherwise
// since the last booking (it was set, or counting paused in between), the open stretch ends
// where it was and the booking starts a new one.
class HistoryRecorder : public BookingListener
{
public:
    using Writer = std::function<void(const QList<HistoryOperation> &)>;
    static constexpr qint64 kLongestWaitMs = 30'000;
    // How far a stretch's span may stray from its seconds before it is split.
    static constexpr qint64 kLargestSkewMs = 1'000;
    // A stretch is closed after this long even without a switch: the history finds a range's
    // stretches by their start, and looks back no further than twice this.
    static constexpr double kLongestStretchSeconds = 24 * 3600;
    // An answer reaches the "Idle" stretches that start from this long before the time away to
    // this long before its end: the same moments, rounded.
    static constexpr qint64 kAnswerReachMs = 5;

    explicit HistoryRecorder(Writer writer);

    void booked(const QString &application, const std::optional<QString> &window, double seconds, const QDateTime &end) override;
    void tookBack(const QString &application, double seconds) override;
    // The open stretch ends here.
    void awayBoundary() override;
    // The "Idle" stretches of the time away become the answer's, as an overlay entry.
    void answeredAway(const QDateTime &start, const QDateTime &end, const QString &label, const QStringList &category) override;
    // Hands over all that has come, the open stretch as it is now (at quit, say).
    void flush();
    // All that has come, the open stretch as it is now, for the caller to hand over.
    QList<HistoryOperation> takeAll();
    // Forgets the stretches that start in [from, to), of one application or of everyone:
    // answers all that has come with the forgetting after it. An open stretch that started in
    // the range loses what it holds up to the range's end and goes on from there.
    QList<HistoryOperation> forget(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application);
    // Puts the time of [from, to) into `category`: answers all that has come with the
    // assignment after it.
    QList<HistoryOperation> assign(const QDateTime &from, const QDateTime &to, const CategoryPath &category);

    // Stores an overlay entry (added time, a correction), or removes one: answers all that has
    // come with it after.
    QList<HistoryOperation> putOverlay(const OverlayEntry &entry);
    QList<HistoryOperation> removeOverlay(const OverlayEntry &removed); // by its id; its span, for those who follow

private:
    Writer m_writer;
    std::optional<Stretch> m_open;
    QList<HistoryOperation> m_pending;
    double m_bookedSinceFlush = 0.0;
    quint64 m_lastId = 0;
};
