#pragma once

#include <QString>

class TimeTracker;

// Which applications an export lists: all of them, or those the outline shows.
enum class ExportScope { All, Shown };

// The export file: two header lines, then one line per window (the first window line of an
// application also carries the application), or one line for an application without windows.
//
//   Total,Per Application,,Per Window
//   00:15:05,Application,Time,Window,Time
//   ,Editor,00:14:00,report,00:10:00
//   ,,,notes,00:04:00
//   ,Terminal,00:01:05,,
//
// The total is that of the applications listed, "Idle" counted as the settings say. Every
// export (File > Export, the periodic save, kestrum-report --csv) is made here, so the same
// store gives the same bytes.
QString csvForSet(const TimeTracker &tracker, ExportScope scope);

// Builds the export file and writes it atomically. On failure answers false with the reason
// in `error` (the file is then left as it was) and logs "Error Exporting".
bool exportCSVSet(const TimeTracker &tracker, ExportScope scope, const QString &path, QString *error);

// A text as one CSV field, in double quotes with inner quotes doubled.
QString formatString(const QString &text);
// A name as a CSV field: control characters shown as U+FFFD (a line feed stays, quoted), quoted
// only when it holds a comma, quote or line feed, and with a leading "'" when a spreadsheet would
// otherwise read it as a formula.
QString csvNameField(const QString &name);
