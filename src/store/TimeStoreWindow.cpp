#include "TimeStoreWindow.h"

#include "TimeStoreApp.h"

TimeStoreWindow::TimeStoreWindow(QString name, WindowElement element)
    : TimeStoreNode(std::move(name))
    , m_windowElement(element)
{
}

TimeStoreWindow::TimeStoreWindow(const QVariantMap &record)
    : TimeStoreNode(recordFrom(record))
{
}

TimeStoreWindow::TimeStoreWindow(const NodeRecord &record)
    : TimeStoreNode(record)
{
}

void TimeStoreWindow::setWindowElement(WindowElement element)
{
    if (element.isNull())
        return;
    const WindowElement old = m_windowElement;
    m_windowElement = element;
    if (m_app && old != element)
        m_app->elementChanged(this, old);
}

QString TimeStoreWindow::description() const
{
    // One arg() call: a "%2" in the title must not be taken for the time's placeholder.
    return QStringLiteral("(%1 -> %2)").arg(name().value_or(QString()), QString::number(activeTime(), 'f', 6));
}
