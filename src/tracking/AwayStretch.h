#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// A stretch of time away from the keyboard that was moved to "Idle" and that the user may still
// say something about ("What were you doing?").
struct AwayStretch
{
    quint64 id = 0;
    QDateTime start; // UTC, on the wall clock
    QDateTime end;
    double seconds = 0.0; // what "Idle" was given for it
};

// What the user said the time away was.
struct AwayAnswer
{
    QString label;         // the entry the time goes to
    QStringList category;  // the category path chosen with it; empty: none
};
