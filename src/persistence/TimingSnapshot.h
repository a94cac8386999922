#pragma once

#include "PropertyListDictionary.h"

#include <QMetaType>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TimeTracker;

// The store's names and times at one moment, cheap enough to take on the window's thread
// whatever the store's size: the names are shared with the store's nodes, not copied. It is
// written out (or turned into the property-list dictionary of a timing document) elsewhere,
// on a thread of its own, while the store goes on counting.
class TimingSnapshot
{
public:
    struct Node
    {
        std::optional<QString> name; // a node without a name is saved as an empty record
        double activeTime = 0.0;

        friend bool operator==(const Node &, const Node &) = default;
    };
    struct Application
    {
        Node node;
        std::vector<Node> windows;

        friend bool operator==(const Application &, const Application &) = default;
    };

    TimingSnapshot() = default;
    static TimingSnapshot of(const TimeTracker &tracker);

    const std::vector<Application> &applications() const;
    // The versioned wrapper {"Version": "1.3", "Apps": [...]} of the timings, as they are kept.
    // A QVariant holding a snapshot converts to it, so the settings can hold a snapshot and the
    // property-list writer writes it as this dictionary.
    PropertyListDictionary toDictionary() const;

    friend bool operator==(const TimingSnapshot &a, const TimingSnapshot &b)
    {
        return a.m_applications == b.m_applications || a.applications() == b.applications();
    }

private:
    // Shared when the snapshot is copied, as a QVariant copies the value it is made from: a
    // copy of a large store's names would double the window's thread's part of a save.
    std::shared_ptr<const std::vector<Application>> m_applications;
};

Q_DECLARE_METATYPE(TimingSnapshot)
