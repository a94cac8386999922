#include "PropertyListDictionary.h"

#include "store/TimeStoreNode.h"

namespace {

// Below this size a linear scan is faster than hashing and saves the index's memory.
constexpr qsizetype kIndexThreshold = 16;

// Code that needs no key order (the tracker reading its timing snapshot) reads dictionaries
// as QVariantMap: QVariant::toMap() and canConvert<QVariantMap>() work on this type too.
const bool kConvertsToVariantMap = QMetaType::registerConverter<PropertyListDictionary, QVariantMap>(
    [](const PropertyListDictionary &dictionary) {
        QVariantMap map;
        for (const auto &[key, value] : dictionary)
            map.insert(key, value);
        return map;
    });

// The timings' records are read without a map each: a large file holds a record per window.
const bool kReadsNodeRecords = TimeStoreNode::registerRecordReader(
    QMetaType::fromType<PropertyListDictionary>(), [](const void *dictionary) {
        const auto &entries = *static_cast<const PropertyListDictionary *>(dictionary);
        return TimeStoreNode::recordFrom([&entries](const QString &key) { return entries.value(key); });
    });

} // namespace

PropertyListDictionary::PropertyListDictionary(std::initializer_list<Entry> entries)
{
    m_entries.reserve(qsizetype(entries.size()));
    for (const Entry &entry : entries)
        insert(entry.first, entry.second);
}

QVariant PropertyListDictionary::value(const QString &key, const QVariant &defaultValue) const
{
    const qsizetype index = indexOf(key);
    return index >= 0 ? m_entries.at(index).second : defaultValue;
}

QStringList PropertyListDictionary::keys() const
{
    QStringList result;
    result.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        result.append(entry.first);
    return result;
}

void PropertyListDictionary::insert(const QString &key, const QVariant &value)
{
    const qsizetype index = indexOf(key);
    if (index >= 0) {
        m_entries[index].second = value;
        return;
    }
    m_entries.append(Entry(key, value));
    if (!m_index.isEmpty())
        m_index.insert(key, m_entries.size() - 1);
    else if (m_entries.size() > kIndexThreshold)
        rebuildIndex();
}

bool PropertyListDictionary::remove(const QString &key)
{
    const qsizetype index = indexOf(key);
    if (index < 0)
        return false;
    m_entries.removeAt(index);
    rebuildIndex();
    return true;
}

void PropertyListDictionary::clear()
{
    m_entries.clear();
    m_index.clear();
}

qsizetype PropertyListDictionary::indexOf(const QString &key) const
{
    if (!m_index.isEmpty())
        return m_index.value(key, -1);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).first == key)
            return i;
    }
    return -1;
}

void PropertyListDictionary::rebuildIndex()
{
    m_index.clear();
    if (m_entries.size() <= kIndexThreshold)
        return;
    m_index.reserve(m_entries.size());
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        m_index.insert(m_entries.at(i).first, i);
}
