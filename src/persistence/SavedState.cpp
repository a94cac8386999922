#include "SavedState.h"

#include "AtomicFile.h"
#include "SettingsStore.h"
#include "TimingSnapshot.h"
#include "tracking/TimeTracker.h"

#include <QCoreApplication>

namespace {

// A dictionary in the order it was read; a QVariantMap gives its (sorted) order.
PropertyListDictionary asDictionary(const QVariant &value)
{
    if (value.canConvert<PropertyListDictionary>())
        return value.value<PropertyListDictionary>();
    PropertyListDictionary dictionary;
    if (value.canConvert<QVariantMap>()) {
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            dictionary.insert(it.key(), it.value());
    }
    return dictionary;
}

bool isArray(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

} // namespace

PropertyListDictionary wrappedDictionaryWithVersioning(const TimeTracker &tracker)
{
    return TimingSnapshot::of(tracker).toDictionary();
}

void storeTimingsInSettings(const TimeTracker &tracker, SettingsStore &settings)
{
    settings.setValue(SettingsKey::Apps, QVariant::fromValue(TimingSnapshot::of(tracker)));
}

bool saveSettingsToDisk(const TimeTracker &tracker, SettingsStore &settings, QString *error)
{
    storeTimingsInSettings(tracker, settings);
    return settings.synchronize(error);
}

bool loadDictionary(TimeTracker &tracker, const QVariant &value)
{
    const PropertyListDictionary dictionary = asDictionary(value);
    if (dictionary.isEmpty())
        return false;

    tracker.reset();
    bool complete = true;
    if (dictionary.contains(kTimingVersionKey)) {
        tracker.setArrayRepresentation(dictionary.value(kTimingAppsKey));
    } else {
        // The bare form: one application per key. An "Apps" array marks a damaged versioned
        // wrapper; loading stops there, keeping what came before it, and no tick follows.
        for (const auto &[name, seconds] : dictionary) {
            if (name == kTimingAppsKey && isArray(seconds)) {
                complete = false;
                break;
            }
            tracker.addWindowWithName(name, seconds);
        }
    }
    return complete;
}

PropertyListResult readTimingDocument(const QString &path)
{
    PropertyListResult result = PropertyList::readFile(path);
    if (result.ok() && !result.value.canConvert<PropertyListDictionary>())
        result.error = QCoreApplication::translate("SavedState", "%1 holds no timings").arg(path);
    return result;
}

bool writeTimingDocument(const TimeTracker &tracker, const QString &path, QString *error)
{
    QByteArray xml;
    return PropertyList::serialize(QVariant::fromValue(TimingSnapshot::of(tracker)), &xml, error)
        && writeFileAtomically(path, xml, error);
}

bool loadSettingsFromDisk(TimeTracker &tracker, const QString &path, QString *error)
{
    const PropertyListResult document = readTimingDocument(path);
    if (!document.ok()) {
        if (error)
            *error = document.error;
        return false;
    }
    loadDictionary(tracker, document.value);
    return true;
}
