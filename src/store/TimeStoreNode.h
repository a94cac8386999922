#pragma once

#include "ChangeNotifier.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// What a saved node's record holds: its name where the record holds text under "Name", and
// its time as stored (timeFromStoredValue reads it).
struct NodeRecord
{
    std::optional<QString> name;
    QVariant time;
};

// A named entry of the time store with its accumulated active time in seconds.
// Nodes are compared by identity only; names need not be unique.
// Changes are announced through the store's ChangeNotifier, if the node has one.
class TimeStoreNode
{
public:
    // The time is a stored value: a number, or text counting as the decimal number it
    // begins with. Negative, non-numeric, non-finite and absent values all give 0.
    explicit TimeStoreNode(std::optional<QString> name = std::nullopt, const QVariant &timeSpent = {});
    explicit TimeStoreNode(const NodeRecord &record);
    virtual ~TimeStoreNode();

    TimeStoreNode(const TimeStoreNode &) = delete;
    TimeStoreNode &operator=(const TimeStoreNode &) = delete;

    // Node records {"Name", "ActiveTime"}; other entries are ignored. The record in a
    // QVariantMap, in the dictionary type a record reader is registered for (a large file's
    // records, read without a map each), or in a type that converts to a QVariantMap; anything
    // else holds none.
    static NodeRecord recordOf(const QVariant &value);
    static NodeRecord recordFrom(const QVariantMap &record);
    // The record of a dictionary type of its own, read through a lookup of the keys: a record
    // reader is written with it.
    static NodeRecord recordFrom(const std::function<QVariant(const QString &key)> &valueOf);
    // Registers the reader of records held in `type`, the one dictionary type of another layer
    // whose records are read directly; registered once, before any record is read.
    using RecordReader = NodeRecord (*)(const void *dictionary);
    static bool registerRecordReader(QMetaType type, RecordReader reader);

    const std::optional<QString> &name() const { return m_name; }
    void setName(std::optional<QString> name);

    double activeTime() const { return m_activeTime; }
    QString activeTimeString() const;
    // Adds a signed interval; nothing clamps, a negative interval may take the time below 0.
    void addTimeInterval(double seconds);

    // The application node's windows, or nullopt for a node that has none by nature.
    virtual std::optional<QList<TimeStoreNode *>> children() const;
    virtual bool isLeaf() const;
    virtual void addChildFromDictionary(const QVariantMap &record);
    virtual QString description() const;

    // The node record: "Name" and "ActiveTime"; a node without a name gives an empty record.
    QVariantMap dictionaryRepresentation() const;

    // The filter test of the outline: the node itself when it passes, else null.
    TimeStoreNode *prunedObjectForSearchString(const std::optional<QString> &searchString, float cutoffTime);
    // Its two halves: the name holds the search text (any case; no text: yes), and the time
    // reaches the cut-off (0 or less: no cut-off).
    bool nameContains(const std::optional<QString> &searchString) const;
    bool reaches(float cutoffTime) const;

    ChangeNotifier *notifier() const { return m_notifier; }
    virtual void setNotifier(ChangeNotifier *notifier);

    // Turns a stored value into seconds as the constructor does.
    static double timeFromStoredValue(const QVariant &value);

protected:
    void willChange(ObservedProperty property) const;
    void didChange(ObservedProperty property) const;

private:
    std::optional<QString> m_name;
    double m_activeTime = 0.0;
    ChangeNotifier *m_notifier = nullptr;
};
