#pragma once

#include "TimeStoreNode.h"
#include "WindowElement.h"

class TimeStoreApp;

// The time spent in one window or document of an application, and the window it was
// last matched to. The element is not saved; a node read back from disk has none.
class TimeStoreWindow : public TimeStoreNode
{
public:
    explicit TimeStoreWindow(QString name, WindowElement element = {});
    explicit TimeStoreWindow(const QVariantMap &record);
    explicit TimeStoreWindow(const NodeRecord &record);

    TimeStoreApp *app() const { return m_app; }
    WindowElement windowElement() const { return m_windowElement; }
    // A null element changes nothing; the node keeps the element it has.
    void setWindowElement(WindowElement element);

    QString description() const override;

private:
    friend class TimeStoreApp;
    TimeStoreApp *m_app = nullptr; // the owner, which indexes its windows by element
    WindowElement m_windowElement;
};
