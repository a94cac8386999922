#pragma once

#include "HistoryCategories.h"

#include <QByteArray>

// The history as an iCalendar file (RFC 5545): one event per run of consecutive time in one
// category, its summary the category's path and its description the applications in it with
// their times. Time in "Idle" is left out; runs of one category apart by less than `joinGap`
// are one event. Lines end in CRLF and are folded at 75 octets, as the format wants.
QByteArray historyCalendar(const QList<HistoryCategories::Piece> &pieces, qint64 joinGapMs, const QDateTime &stamp);
