#include "HistoryOverlay.h"

#include "HistoryDatabase.h"

#include <algorithm>

namespace {

struct Span
{
    qint64 start;
    qint64 end;
};

// How much of [start, end) the spans cover, counting what several cover once.
qint64 coveredLength(qint64 start, qint64 end, QList<Span> spans)
{
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.start < b.start; });
    qint64 covered = 0;
    qint64 at = start;
    for (const Span &span : spans) {
        const qint64 from = std::max(at, span.start);
        const qint64 to = std::min(end, span.end);
        if (to > from) {
            covered += to - from;
            at = to;
        }
    }
    return covered;
}

// Takes off a stretch the part the spans cover.
void cover(Stretch &stretch, const QList<Span> &spans)
{
    const qint64 start = stretch.start.toMSecsSinceEpoch();
    const qint64 end = stretch.end.toMSecsSinceEpoch();
    QList<Span> touching;
    for (const Span &span : spans) {
        // A stretch of no length lies where it starts.
        if (end > start ? span.start < end && span.end > start : span.start <= start && span.end > start)
            touching.append(span);
    }
    if (touching.isEmpty())
        return;
    const double share = end > start ? double(coveredLength(start, end, touching)) / double(end - start) : 1.0;
    const double covered = share >= 1.0 ? stretch.seconds : stretch.seconds * share;
    stretch.covered += covered;
    stretch.seconds -= covered;
}

} // namespace

QString stretchSourceName(StretchSource source)
{
    // not translated: the names the day files, the report's CSV and JSON carry
    switch (source) {
    case StretchSource::Recorded:
        return QStringLiteral("recorded");
    case StretchSource::Added:
        return QStringLiteral("added");
    case StretchSource::Answered:
        return QStringLiteral("answered");
    case StretchSource::Corrected:
        return QStringLiteral("corrected");
    }
    return {};
}

QList<Stretch> applyOverlay(const QList<Stretch> &recorded, QList<OverlayEntry> overlay)
{
    if (overlay.isEmpty())
        return recorded;
    std::stable_sort(overlay.begin(), overlay.end(), [](const OverlayEntry &a, const OverlayEntry &b) { return a.made < b.made; });
    QList<Span> added;
    for (const OverlayEntry &entry : std::as_const(overlay)) {
        if (entry.kind == StretchSource::Added)
            added.append({entry.start.toMSecsSinceEpoch(), entry.end.toMSecsSinceEpoch()});
    }

    QList<Stretch> result;
    result.reserve(recorded.size() + added.size());
    for (Stretch stretch : recorded) {
        // The latest rename that takes this stretch decides its name.
        for (auto it = overlay.crbegin(); it != overlay.crend(); ++it) {
            if (it->kind == StretchSource::Added || it->original != stretch.application || stretch.start < it->start
                || stretch.start >= it->end)
                continue;
            stretch.recordedAs = stretch.application;
            stretch.application = it->application;
            stretch.source = it->kind;
            stretch.overlay = it->id;
            if (!it->category.isEmpty())
                stretch.category = it->category;
            // Time away belongs to no window, as "Idle" did.
            if (it->kind == StretchSource::Answered)
                stretch.window.reset();
            break;
        }
        cover(stretch, added);
        result.append(stretch);
    }
    // Added time is covered only by what was added after it.
    for (qsizetype i = 0; i < overlay.size(); ++i) {
        const OverlayEntry &entry = overlay.at(i);
        if (entry.kind != StretchSource::Added)
            continue;
        Stretch stretch;
        stretch.start = entry.start;
        stretch.end = entry.end;
        stretch.seconds = double(entry.start.msecsTo(entry.end)) / 1000.0;
        stretch.application = entry.application;
        stretch.source = StretchSource::Added;
        stretch.overlay = entry.id;
        if (!entry.category.isEmpty())
            stretch.category = entry.category;
        stretch.note = entry.note;
        QList<Span> later;
        for (qsizetype j = i + 1; j < overlay.size(); ++j) {
            if (overlay.at(j).kind == StretchSource::Added)
                later.append({overlay.at(j).start.toMSecsSinceEpoch(), overlay.at(j).end.toMSecsSinceEpoch()});
        }
        cover(stretch, later);
        result.append(stretch);
    }
    std::stable_sort(result.begin(), result.end(), [](const Stretch &a, const Stretch &b) { return a.start < b.start; });
    return result;
}
