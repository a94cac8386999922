#include "TimeStoreNode.h"

#include "DurationText.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <string>

namespace {

const QString kNameKey = QStringLiteral("Name");
const QString kActiveTimeKey = QStringLiteral("ActiveTime");

// The decimal number a text begins with, after leading white space; 0 when it begins with none.
// Independent of the user's locale: "1234.5678" is always 1234.5678.
double leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    // Only ASCII can belong to a number; the first other character ends it.
    std::string ascii;
    for (qsizetype j = i; j < text.size() && text.at(j).unicode() < 0x80; ++j)
        ascii.push_back(char(text.at(j).unicode()));
    const char *first = ascii.data();
    const char *last = first + ascii.size();
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
        // from_chars takes a sign of its own: a second sign ("--5") must not pass as one.
        if (first != last && (*first == '+' || *first == '-'))
            return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

} // namespace

TimeStoreNode::TimeStoreNode(std::optional<QString> name, const QVariant &timeSpent)
    : m_name(std::move(name))
    , m_activeTime(timeFromStoredValue(timeSpent))
{
}

TimeStoreNode::TimeStoreNode(const NodeRecord &record)
    : TimeStoreNode(record.name, record.time)
{
}

TimeStoreNode::~TimeStoreNode() = default;

double TimeStoreNode::timeFromStoredValue(const QVariant &value)
{
    double seconds = 0.0;
    switch (value.typeId()) {
    case QMetaType::QString:
        seconds = leadingNumber(value.toString());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        seconds = value.toDouble();
        break;
    default:
        // Absent values, booleans, dates, data and containers hold no time.
        return 0.0;
    }
    // -0 counts as 0 too: it would show as "-0:-0:-0".
    return std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
}

NodeRecord TimeStoreNode::recordFrom(const QVariantMap &record)
{
    return recordFrom([&record](const QString &key) { return record.value(key); });
}

NodeRecord TimeStoreNode::recordFrom(const std::function<QVariant(const QString &key)> &valueOf)
{
    NodeRecord record;
    if (const QVariant name = valueOf(kNameKey); name.typeId() == QMetaType::QString)
        record.name = name.toString();
    record.time = valueOf(kActiveTimeKey);
    return record;
}

namespace {

// A load reads a record per window: the reader is found without QMetaType's converter
// registry, which takes a lock and a hash lookup per record.
constinit std::atomic<int> g_recordType = 0;
constinit std::atomic<TimeStoreNode::RecordReader> g_recordReader = nullptr;

} // namespace

bool TimeStoreNode::registerRecordReader(QMetaType type, RecordReader reader)
{
    g_recordReader.store(reader);
    g_recordType.store(type.id());
    return true;
}

NodeRecord TimeStoreNode::recordOf(const QVariant &value)
{
    if (value.typeId() == g_recordType.load() && value.typeId() != QMetaType::UnknownType)
        return g_recordReader.load()(value.constData());
    if (!value.canConvert<QVariantMap>())
        return {};
    return recordFrom(value.toMap());
}

void TimeStoreNode::setName(std::optional<QString> name)
{
    // The tracker names the active window's node again at every tick: only a new name is news.
    if (name == m_name)
        return;
    willChange(ObservedProperty::Name);
    m_name = std::move(name);
    didChange(ObservedProperty::Name);
}

QString TimeStoreNode::activeTimeString() const
{
    return timeStringForDouble(m_activeTime);
}

void TimeStoreNode::addTimeInterval(double seconds)
{
    willChange(ObservedProperty::ActiveTimeString);
    m_activeTime += seconds;
    didChange(ObservedProperty::ActiveTimeString);
}

std::optional<QList<TimeStoreNode *>> TimeStoreNode::children() const
{
    return std::nullopt;
}

bool TimeStoreNode::isLeaf() const
{
    return true;
}

void TimeStoreNode::addChildFromDictionary(const QVariantMap &)
{
}

QString TimeStoreNode::description() const
{
    return m_name.value_or(QString());
}

QVariantMap TimeStoreNode::dictionaryRepresentation() const
{
    QVariantMap record;
    if (m_name) {
        record.insert(kNameKey, *m_name);
        record.insert(kActiveTimeKey, m_activeTime);
    }
    return record;
}

TimeStoreNode *TimeStoreNode::prunedObjectForSearchString(const std::optional<QString> &searchString, float cutoffTime)
{
    return nameContains(searchString) && reaches(cutoffTime) ? this : nullptr;
}

bool TimeStoreNode::nameContains(const std::optional<QString> &searchString) const
{
    return !searchString || m_name.value_or(QString()).contains(*searchString, Qt::CaseInsensitive);
}

bool TimeStoreNode::reaches(float cutoffTime) const
{
    return cutoffTime <= 0.0f || m_activeTime >= double(cutoffTime);
}

void TimeStoreNode::setNotifier(ChangeNotifier *notifier)
{
    m_notifier = notifier;
}

void TimeStoreNode::willChange(ObservedProperty property) const
{
    if (m_notifier)
        m_notifier->willChange(this, property);
}

void TimeStoreNode::didChange(ObservedProperty property) const
{
    if (m_notifier)
        m_notifier->didChange(this, property);
}
