#pragma once

#include <QDBusConnection>
#include <QObject>

// Whether the desktop's screen saver or locker runs, as org.freedesktop.ScreenSaver on the
// session bus says (GetActive, ActiveChanged). Without that service it stays inactive.
class ScreenSaverWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ScreenSaverWatcher(QObject *parent = nullptr);

    // Watches the service, without waiting for the bus: the state found at start comes as a
    // change when it is active. Answers whether the bus is connected.
    bool start(const QDBusConnection &bus = QDBusConnection::sessionBus());
    bool isActive() const { return m_active; }

Q_SIGNALS:
    void activeChanged(bool active);

private Q_SLOTS:
    void onActiveChanged(bool active);

private:
    bool m_active = false;
};
