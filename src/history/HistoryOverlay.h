#pragma once

#include "categories/CategorySet.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

struct Stretch;

// Where a stretch of the history comes from: what the computer recorded, time the user added
// for what it did not see, time away the user said something about, or a recorded stretch the
// user renamed.
enum class StretchSource { Recorded, Added, Answered, Corrected };

// "recorded", "added", "answered", "corrected": as the report's CSV and JSON give it.
QString stretchSourceName(StretchSource source);

// The user's word laid over the recorded stretches; the recorded ones are never changed by it.
//  - Added: time from start to end booked to `application`; for its span it covers whatever was
//    recorded (and earlier added time), which is then shown as covered but not counted.
//  - Answered, Corrected: the recorded stretches of `original` that start in [start, end) are
//    counted as `application`.
// Where two renames meet one stretch, the later made decides.
struct OverlayEntry
{
    qint64 id = 0; // 0: not stored yet
    StretchSource kind = StretchSource::Added;
    QDateTime start = {};
    QDateTime end = {};
    QString application = {};
    QString original = {};     // Answered, Corrected: whose recorded stretches it renames
    CategoryPath category = {}; // the category the user chose with it; empty: the rules decide
    QString note = {};
    qint64 made = 0;      // the order they were made in
};

// The stretches as the user's word makes them: `recorded` (oldest first, as the history reads
// them) renamed and covered as `overlay` says, with the added time among them, oldest first.
// A recorded stretch covered in part keeps the part of its seconds that is not covered (in
// proportion to its span); one covered whole stays, with no seconds, as covered.
QList<Stretch> applyOverlay(const QList<Stretch> &recorded, QList<OverlayEntry> overlay);
