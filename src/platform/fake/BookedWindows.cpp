#include "BookedWindows.h"

void BookedWindows::booked(const QString &application, const std::optional<QString> &window, double, const QDateTime &)
{
    if (!window)
        return;
    QStringList &windows = m_windows[application];
    if (!windows.contains(*window))
        windows.append(*window);
}

void BookedWindows::tookBack(const QString &, double)
{
    // What is taken back leaves the windows named as they were.
}

QStringList BookedWindows::windowsOf(const QString &application) const
{
    QStringList windows = m_windows.value(application);
    windows.sort();
    return windows;
}
