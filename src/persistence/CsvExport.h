#pragma once

#include <QList>
#include <QString>

class TimeStoreApp;

// The export file: two header lines, then one line per window (the first window line of an
// application also carries the application), or one line for an application without windows.
//
//   Total,Per Application,,Per Window
//   00:15:05,Application,Time,Window,Time
//   ,Editor,00:14:00,report,00:10:00
//   ,,,notes,00:04:00
//   ,Terminal,00:01:05,,
//
// `totalTime` is the tracker's total, whichever applications are listed.
QString csvForSet(const QList<TimeStoreApp *> &apps, double totalTime);

// Builds the export file and writes it atomically. On failure answers false with the reason
// in `error` (the file is then left as it was) and logs "Error Exporting".
bool exportCSVSet(const QList<TimeStoreApp *> &apps, double totalTime, const QString &path, QString *error);

// A text as one CSV field, in double quotes with inner quotes doubled.
QString formatString(const QString &text);
// A name as a CSV field: quoted only when it holds a comma, quote or line break, and with a
// leading "'" when a spreadsheet would otherwise read it as a formula.
QString csvNameField(const QString &name);
