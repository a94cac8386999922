#include "TimeStoreApp.h"

#include <QStringList>

TimeStoreApp::TimeStoreApp(std::optional<QString> name, const QVariant &timeSpent)
    : TimeStoreNode(std::move(name), timeSpent)
{
}

TimeStoreApp::TimeStoreApp(const QVariantMap &record)
    : TimeStoreNode(recordFrom(record))
{
}

TimeStoreApp::~TimeStoreApp() = default;

TimeStoreWindow *TimeStoreApp::windowStoreForName(const std::optional<QString> &name, WindowElement windowElement)
{
    willChange(ObservedProperty::Children);
    willChange(ObservedProperty::IsLeaf);

    TimeStoreWindow *result = nullptr;
    if (name) {
        // A window keeps its node across renames: match by element first.
        if (!windowElement.isNull())
            result = m_byElement.value(windowElement, nullptr);
        if (!result) {
            const auto it = m_indexByKey.constFind(*name);
            if (it != m_indexByKey.constEnd()) {
                result = m_windows[size_t(*it)].get();
                result->setWindowElement(windowElement);
            } else {
                result = store(*name, std::make_unique<TimeStoreWindow>(*name, windowElement));
            }
        }
    }

    didChange(ObservedProperty::Children);
    didChange(ObservedProperty::IsLeaf);
    return result;
}

std::optional<QList<TimeStoreNode *>> TimeStoreApp::children() const
{
    QList<TimeStoreNode *> list;
    list.reserve(qsizetype(m_windows.size()));
    for (const auto &window : m_windows)
        list.append(window.get());
    return list;
}

bool TimeStoreApp::isLeaf() const
{
    return m_windows.size() <= 1;
}

void TimeStoreApp::addChildFromDictionary(const QVariantMap &record)
{
    addChildFromRecord(recordFrom(record));
}

void TimeStoreApp::addChildFromRecord(const NodeRecord &record)
{
    // A record without a name holds no window.
    if (record.name)
        addWindow(std::make_unique<TimeStoreWindow>(record));
}

void TimeStoreApp::absorb(std::unique_ptr<TimeStoreApp> other)
{
    addTimeInterval(other->activeTime());
    for (auto &window : other->m_windows)
        addWindow(std::move(window));
}

void TimeStoreApp::reserveWindows(qsizetype count)
{
    m_windows.reserve(m_windows.size() + size_t(count));
    m_indexByKey.reserve(qsizetype(m_windows.size()) + count);
}

void TimeStoreApp::addWindow(std::unique_ptr<TimeStoreWindow> window)
{
    const QString key = *window->name();
    const auto it = m_indexByKey.constFind(key);
    if (it != m_indexByKey.constEnd())
        m_windows[size_t(*it)]->addTimeInterval(window->activeTime());
    else
        store(key, std::move(window));
}

QString TimeStoreApp::description() const
{
    QStringList parts;
    for (const auto &window : m_windows)
        parts.append(window->description());
    return name().value_or(QString()) + QStringLiteral(" [") + parts.join(QStringLiteral(", ")) + QStringLiteral("]");
}

void TimeStoreApp::setNotifier(ChangeNotifier *notifier)
{
    TimeStoreNode::setNotifier(notifier);
    for (const auto &window : m_windows)
        window->setNotifier(notifier);
}

TimeStoreWindow *TimeStoreApp::store(const QString &key, std::unique_ptr<TimeStoreWindow> window)
{
    window->m_app = this;
    window->setNotifier(notifier());
    TimeStoreWindow *stored = window.get();
    m_indexByKey.insert(key, qsizetype(m_windows.size()));
    m_windows.push_back(std::move(window));
    if (!stored->windowElement().isNull())
        m_byElement.insert(stored->windowElement(), stored);
    return stored;
}

void TimeStoreApp::elementChanged(TimeStoreWindow *window, WindowElement oldElement)
{
    if (!oldElement.isNull())
        m_byElement.remove(oldElement, window);
    // An element denotes one window: the node that took it last is the one it is found by.
    m_byElement.insert(window->windowElement(), window);
}
