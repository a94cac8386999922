#include "ScreenSaverWatcher.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcScreenSaver, "kestrum.screensaver")

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

} // namespace

ScreenSaverWatcher::ScreenSaverWatcher(QObject *parent)
    : QObject(parent)
{
}

bool ScreenSaverWatcher::start(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kService)) {
        qCInfo(lcScreenSaver, "No org.freedesktop.ScreenSaver on the session bus; the X11 screen saver and the "
                              "login session's lock state still count.");
        return false;
    }
    QDBusConnection connection(bus);
    connection.connect(kService, kPath, kService, QStringLiteral("ActiveChanged"), this, SLOT(onActiveChanged(bool)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetActive"));
    const QDBusReply<bool> reply = connection.call(call, QDBus::Block, 5000);
    if (reply.isValid())
        m_active = reply.value();
    return true;
}

void ScreenSaverWatcher::onActiveChanged(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    Q_EMIT activeChanged(active);
}
