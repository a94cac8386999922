#include "HistoryRecorder.h"

#include <algorithm>
#include <cmath>

namespace {

// Takes up to `seconds` off the end of the stretch; answers how many it gave.
double trim(Stretch &stretch, double seconds)
{
    const double given = std::min(seconds, stretch.seconds);
    stretch.seconds -= given;
    stretch.end = stretch.end.addMSecs(-qint64(given * 1000.0 + 0.5));
    return given;
}

} // namespace

HistoryRecorder::HistoryRecorder(Writer writer)
    : m_writer(std::move(writer))
{
}

void HistoryRecorder::booked(const QString &application, const std::optional<QString> &window, double seconds, const QDateTime &end)
{
    if (seconds <= 0.0)
        return;
    // The end is kept as the clock gives it (UTC): the database counts milliseconds since 1970
    // whatever the zone, and a conversion on every tick would cost the most here.
    if (m_open && m_open->application == application && m_open->window == window && m_open->seconds < kLongestStretchSeconds
        && std::abs(m_open->start.msecsTo(end) - qint64((m_open->seconds + seconds) * 1000.0 + 0.5)) <= kLargestSkewMs) {
        m_open->end = end;
        m_open->seconds += seconds;
    } else {
        if (m_open) {
            m_open->open = false;
            m_pending.append({HistoryOperation::Kind::Write, *m_open, {}, 0.0, {}, {}});
        }
        m_open = Stretch{++m_lastId, true, end.addMSecs(-qint64(seconds * 1000.0 + 0.5)), end, seconds, application, window};
    }
    // Counted in booked seconds, which follow the clock while counting goes on, and cost no
    // date arithmetic on the tick.
    m_bookedSinceFlush += seconds;
    if (m_bookedSinceFlush * 1000.0 >= double(kLongestWaitMs))
        flush();
}

void HistoryRecorder::tookBack(const QString &application, double seconds)
{
    // The newest seconds go first: the open stretch, those not yet handed over, then the
    // written ones.
    if (m_open && m_open->application == application) {
        seconds -= trim(*m_open, seconds);
        if (m_open->seconds <= 0.0) {
            m_pending.append({HistoryOperation::Kind::Write, *m_open, {}, 0.0, {}, {}});
            m_open.reset();
        }
    }
    for (auto it = m_pending.rbegin(); it != m_pending.rend() && seconds > 0.0; ++it) {
        if (it->kind == HistoryOperation::Kind::Write && it->stretch.application == application && it->stretch.seconds > 0.0
            && !it->stretch.open)
            seconds -= trim(it->stretch, seconds);
    }
    if (seconds > 0.0)
        m_pending.append({HistoryOperation::Kind::TakeBack, {}, application, seconds, {}, {}});
}

void HistoryRecorder::flush()
{
    const QList<HistoryOperation> operations = takeAll();
    if (!operations.isEmpty())
        m_writer(operations);
}

QList<HistoryOperation> HistoryRecorder::takeAll()
{
    QList<HistoryOperation> operations = std::exchange(m_pending, {});
    if (m_open)
        operations.append({HistoryOperation::Kind::Write, *m_open, {}, 0.0, {}, {}});
    m_bookedSinceFlush = 0.0;
    return operations;
}

QList<HistoryOperation> HistoryRecorder::forget(const QDateTime &from, const QDateTime &to, const std::optional<QString> &application)
{
    HistoryOperation forgetting{HistoryOperation::Kind::Forget, {}, application.value_or(QString()), 0.0, {}, {}};
    forgetting.stretch.start = from;
    forgetting.stretch.end = to;
    m_pending.append(forgetting);
    if (m_open && (!application || m_open->application == *application) && m_open->start >= from && m_open->start < to) {
        if (m_open->end > to) {
            // What it holds after the range is kept, as a stretch of its own: its row before is
            // forgotten with the range.
            m_open->seconds = std::min(m_open->seconds, double(to.msecsTo(m_open->end)) / 1000.0);
            m_open->start = to;
            m_open->id = ++m_lastId;
        } else {
            m_open.reset(); // the next booking starts a new stretch
        }
    }
    return takeAll();
}

QList<HistoryOperation> HistoryRecorder::assign(const QDateTime &from, const QDateTime &to, const CategoryPath &category)
{
    HistoryOperation assigning{HistoryOperation::Kind::Assign, {}, {}, 0.0, category, {}};
    assigning.stretch.start = from;
    assigning.stretch.end = to;
    m_pending.append(assigning);
    return takeAll();
}

void HistoryRecorder::awayBoundary()
{
    if (!m_open)
        return;
    m_open->open = false;
    m_pending.append({HistoryOperation::Kind::Write, *m_open, {}, 0.0, {}, {}});
    m_open.reset();
}

void HistoryRecorder::answeredAway(const QDateTime &start, const QDateTime &end, const QString &label, const QStringList &category)
{
    // The time away is "Idle" stretches of its own (see awayBoundary), the first starting where
    // it does.
    OverlayEntry answer;
    answer.kind = StretchSource::Answered;
    answer.start = start.addMSecs(-kAnswerReachMs);
    // The next time away may start where this one ends, rounded a millisecond earlier.
    answer.end = end.addMSecs(-kAnswerReachMs);
    answer.application = label;
    answer.original = QStringLiteral("Idle");
    answer.category = category;
    m_pending.append({HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, answer});
}

QList<HistoryOperation> HistoryRecorder::putOverlay(const OverlayEntry &entry)
{
    m_pending.append({HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, entry});
    return takeAll();
}

QList<HistoryOperation> HistoryRecorder::removeOverlay(const OverlayEntry &removed)
{
    m_pending.append({HistoryOperation::Kind::RemoveOverlay, {}, {}, 0.0, {}, removed});
    return takeAll();
}
