#pragma once

#include <QString>

class TimeTracker;

// The timings as a plain-text table: applications longest first, each with its windows
// indented beneath (longest first), every entry with its duration text, and the total last.
QString timingTable(const TimeTracker &tracker);
