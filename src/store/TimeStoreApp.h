#pragma once

#include "TimeStoreNode.h"
#include "TimeStoreWindow.h"

#include <QHash>

#include <memory>
#include <vector>

// The time spent in one application, by name, and its window nodes.
// Window nodes are kept under the name they were first stored with (their key), which
// a later rename does not change. Lookups by key and by element are constant time,
// so a tick costs the same however many windows an application has collected.
class TimeStoreApp : public TimeStoreNode
{
public:
    explicit TimeStoreApp(std::optional<QString> name = std::nullopt, const QVariant &timeSpent = {});
    explicit TimeStoreApp(const QVariantMap &record);
    ~TimeStoreApp() override;

    // The window node that the given window's time goes to: the node holding this element,
    // else the node stored under the name (which then takes the element), else a new node.
    // No name gives no node. Announces "children" and "isLeaf" on every call.
    TimeStoreWindow *windowStoreForName(const std::optional<QString> &name, WindowElement windowElement);

    std::optional<QList<TimeStoreNode *>> children() const override;
    // An application with at most one window is shown as a leaf.
    bool isLeaf() const override;
    // Adds a window node read from a record; a node of that name already here takes its time.
    void addChildFromDictionary(const QVariantMap &record) override;
    void addChildFromRecord(const NodeRecord &record);
    // Adds the time and the windows of another node of this application's name: one node per name.
    void absorb(std::unique_ptr<TimeStoreApp> other);
    // Makes room for `count` more windows at once, for a load that knows how many come.
    void reserveWindows(qsizetype count);
    QString description() const override;
    void setNotifier(ChangeNotifier *notifier) override;

    // Time away from the computer that the user named ("Meeting"), not an application.
    bool isAway() const { return m_isAway; }
    void setAway(bool away) { m_isAway = away; }

    qsizetype windowCount() const { return qsizetype(m_windows.size()); }
    // The window nodes in the order they were first stored.
    const std::vector<std::unique_ptr<TimeStoreWindow>> &windows() const { return m_windows; }

private:
    friend class TimeStoreWindow;
    TimeStoreWindow *store(const QString &key, std::unique_ptr<TimeStoreWindow> window);
    void addWindow(std::unique_ptr<TimeStoreWindow> window);
    void elementChanged(TimeStoreWindow *window, WindowElement oldElement);

    std::vector<std::unique_ptr<TimeStoreWindow>> m_windows;
    bool m_isAway = false;
    QHash<QString, qsizetype> m_indexByKey;
    // Every node that holds an element, under it. Nodes given an element directly may share
    // one; the node that took it last is found first.
    QMultiHash<WindowElement, TimeStoreWindow *> m_byElement;
};
