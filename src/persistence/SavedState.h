#pragma once

#include "PropertyList.h"

#include <QString>
#include <QVariant>

class SettingsStore;
class TimeTracker;

// The timings as they are kept: the versioned wrapper {"Version": "1.3", "Apps": snapshot},
// stored under "Apps" in the settings and as the whole of a timing document (".kestrum").
// An older bare form, {application name: seconds, ...}, is still read.

inline const QString kTimingDocumentVersion = QStringLiteral("1.3");
// The wrapper's two keys.
inline const QString kTimingVersionKey = QStringLiteral("Version");
inline const QString kTimingAppsKey = QStringLiteral("Apps");

PropertyListDictionary wrappedDictionaryWithVersioning(const TimeTracker &tracker);

// Puts a snapshot of the timings into the settings, to be written with them. Cheap: the
// snapshot shares the store's names.
void storeTimingsInSettings(const TimeTracker &tracker, SettingsStore &settings);
// Stores the timings in the settings and writes the settings file at once.
bool saveSettingsToDisk(const TimeTracker &tracker, SettingsStore &settings, QString *error = nullptr);

// Replaces the store's contents with a saved dictionary, in either form. Answers whether a
// tick should follow, as after any load: false when an absent or empty dictionary left the
// store alone, and when a bare form stopped at an "Apps" array.
bool loadDictionary(TimeTracker &tracker, const QVariant &dictionary);

// Timing documents. Reading checks that the file holds a dictionary; writing is atomic.
PropertyListResult readTimingDocument(const QString &path);
bool writeTimingDocument(const TimeTracker &tracker, const QString &path, QString *error);

// Reads a timing document and loads it. A file that cannot be read leaves the store as it was
// and answers false with the reason.
bool loadSettingsFromDisk(TimeTracker &tracker, const QString &path, QString *error);
