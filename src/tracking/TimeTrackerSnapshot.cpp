// The tracker's conversion of its store to and from the timing snapshot.

#include "TimeTracker.h"

namespace {

const QString kAppKey = QStringLiteral("App");
const QString kWindowsKey = QStringLiteral("Windows");

// Dictionaries arrive as QVariantMap or as any type that converts to one (the property-list
// reader's order-keeping dictionary does); anything else holds no record.
QVariantMap asMap(const QVariant &value)
{
    return value.canConvert<QVariantMap>() ? value.toMap() : QVariantMap();
}

QVariantList asList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
        return {};
    return value.canConvert<QVariantList>() ? value.toList() : QVariantList();
}

} // namespace

QVariantList TimeTracker::arrayRepresentation() const
{
    QVariantList snapshot;
    snapshot.reserve(qsizetype(m_timeSet.size()));
    for (const auto &app : m_timeSet) {
        QVariantList windows;
        windows.reserve(app->windowCount());
        for (const auto &window : app->windows())
            windows.append(window->dictionaryRepresentation());
        snapshot.append(QVariantMap{{kAppKey, app->dictionaryRepresentation()}, {kWindowsKey, windows}});
    }
    return snapshot;
}

void TimeTracker::setArrayRepresentation(const QVariant &snapshot)
{
    m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
    const QVariantList entries = asList(snapshot);
    int skipped = 0;
    for (const QVariant &entryValue : entries) {
        const QVariantMap entry = asMap(entryValue);
        auto app = std::make_unique<TimeStoreApp>(asMap(entry.value(kAppKey)));
        if (!app->name()) {
            ++skipped;
            continue;
        }
        // Read through a const list: a loop over the temporary itself would copy every record.
        const QVariantList windows = asList(entry.value(kWindowsKey));
        app->reserveWindows(windows.size());
        for (const QVariant &record : windows)
            app->addChildFromRecord(TimeStoreNode::recordOf(record));
        addOrMerge(std::move(app));
    }
    if (skipped > 0)
        qCWarning(lcTracking, "Skipped %d saved application entries without a name.", skipped);
    m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
}

void TimeTracker::addOrMerge(std::unique_ptr<TimeStoreApp> app)
{
    // Loading never replaces: two entries of one name, or an entry of the name of a node
    // already here (the front application's, when loading while counting), are one node.
    if (TimeStoreApp *existing = m_timeDictionary.value(*app->name(), nullptr))
        existing->absorb(std::move(app));
    else
        addNode(std::move(app));
}

void TimeTracker::addWindowWithName(const QString &name, const QVariant &timeSpent)
{
    auto app = std::make_unique<TimeStoreApp>(name, timeSpent);
    m_notifier.willChange(nullptr, ObservedProperty::TimeSet);
    addOrMerge(std::move(app));
    m_notifier.didChange(nullptr, ObservedProperty::TimeSet);
}
