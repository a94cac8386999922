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
    std::vector<Application> applications;
    applications.reserve(tracker.fullTimeSet().size());
    for (const auto &app : tracker.fullTimeSet()) {
        Application &copy = applications.emplace_back(Application{nodeOf(*app), {}});
        copy.windows.reserve(size_t(app->windowCount()));
        for (const auto &window : app->windows())
            copy.windows.push_back(nodeOf(*window));
    }
    TimingSnapshot snapshot;
    snapshot.m_applications = std::make_shared<const std::vector<Application>>(std::move(applications));
    return snapshot;
}

const std::vector<TimingSnapshot::Application> &TimingSnapshot::applications() const
{
    static const std::vector<Application> none;
    return m_applications ? *m_applications : none;
}

PropertyListDictionary TimingSnapshot::toDictionary() const
{
    QVariantList apps;
    apps.reserve(qsizetype(applications().size()));
    for (const Application &app : applications()) {
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
