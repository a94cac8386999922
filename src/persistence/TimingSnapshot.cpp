#include "TimingSnapshot.h"

#include "SavedState.h"
#include "tracking/TimeTracker.h"

namespace {

const QString kNameKey = QStringLiteral("Name");
const QString kActiveTimeKey = QStringLiteral("ActiveTime");
const QString kAppKey = QStringLiteral("App");
const QString kWindowsKey = QStringLiteral("Windows");

const bool kConvertsToDictionary =
    QMetaType::registerConverter<TimingSnapshot, PropertyListDictionary>(&TimingSnapshot::toDictionary);

TimingSnapshot::Node nodeOf(const TimeStoreNode &node)
{
    return {node.name(), node.activeTime()};
}

// The node record as TimeStoreNode::dictionaryRepresentation gives it, its keys in the sorted
// order a QVariantMap has, so the file is the same. An order-keeping dictionary of two entries
// costs a fraction of a map, and a large store has hundreds of thousands of them.
QVariant recordOf(const TimingSnapshot::Node &node)
{
    if (!node.name)
        return QVariant::fromValue(PropertyListDictionary());
    return QVariant::fromValue(PropertyListDictionary{{kActiveTimeKey, node.activeTime}, {kNameKey, *node.name}});
}

} // namespace

TimingSnapshot TimingSnapshot::of(const TimeTracker &tracker)
{
    TimingSnapshot snapshot;
    snapshot.m_applications.reserve(tracker.fullTimeSet().size());
    for (const auto &app : tracker.fullTimeSet()) {
        Application &copy = snapshot.m_applications.emplace_back(Application{nodeOf(*app), {}});
        copy.windows.reserve(size_t(app->windowCount()));
        for (const auto &window : app->windows())
            copy.windows.push_back(nodeOf(*window));
    }
    return snapshot;
}

PropertyListDictionary TimingSnapshot::toDictionary() const
{
    QVariantList apps;
    apps.reserve(qsizetype(m_applications.size()));
    for (const Application &app : m_applications) {
        QVariantList windows;
        windows.reserve(qsizetype(app.windows.size()));
        for (const Node &window : app.windows)
            windows.append(recordOf(window));
        apps.append(QVariant::fromValue(PropertyListDictionary{{kAppKey, recordOf(app.node)}, {kWindowsKey, windows}}));
    }
    PropertyListDictionary wrapper;
    wrapper.insert(kTimingVersionKey, kTimingDocumentVersion);
    wrapper.insert(kTimingAppsKey, apps);
    return wrapper;
}
