#pragma once

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <utility>

// A property-list dictionary that keeps its keys in the order they were first inserted.
// QVariantMap sorts its keys, but the order of a file's keys carries meaning for its readers.
// Two dictionaries are equal when they hold the same keys in the same order with equal values.
class PropertyListDictionary
{
public:
    using Entry = std::pair<QString, QVariant>;
    using const_iterator = QList<Entry>::const_iterator;

    PropertyListDictionary() = default;
    PropertyListDictionary(std::initializer_list<Entry> entries);

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool contains(const QString &key) const { return indexOf(key) >= 0; }
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    QStringList keys() const;
    const Entry &at(qsizetype index) const { return m_entries.at(index); }

    // A key already present keeps its position and takes the new value; a new key goes last.
    void insert(const QString &key, const QVariant &value);
    void reserve(qsizetype size) { m_entries.reserve(size); }
    bool remove(const QString &key);
    void clear();

    const_iterator begin() const { return m_entries.cbegin(); }
    const_iterator end() const { return m_entries.cend(); }
    const_iterator cbegin() const { return m_entries.cbegin(); }
    const_iterator cend() const { return m_entries.cend(); }

    friend bool operator==(const PropertyListDictionary &a, const PropertyListDictionary &b)
    {
        return a.m_entries == b.m_entries;
    }
    friend bool operator!=(const PropertyListDictionary &a, const PropertyListDictionary &b) { return !(a == b); }

private:
    qsizetype indexOf(const QString &key) const;
    void rebuildIndex();

    QList<Entry> m_entries;
    // Only dictionaries larger than a handful of keys get an index: most are small, and a
    // file with a huge dictionary must not make every lookup a linear scan.
    QHash<QString, qsizetype> m_index;
};

Q_DECLARE_METATYPE(PropertyListDictionary)
