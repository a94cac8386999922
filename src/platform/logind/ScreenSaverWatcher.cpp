#include "ScreenSaverWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcScreenSaver, "kestrum.screensaver")

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
constexpr int kCallTimeoutMs = 2000;

} // namespace

ScreenSaverWatcher::ScreenSaverWatcher(QObject *parent)
    : QObject(parent)
{
}

bool ScreenSaverWatcher::start(const QDBusConnection &bus)
{
    const auto absent = [] {
        qCInfo(lcScreenSaver, "No org.freedesktop.ScreenSaver on the session bus; the X11 screen saver and the "
                              "login session's lock state still count.");
    };
    if (!bus.isConnected()) {
        absent();
        return false;
    }
    QDBusConnection connection(bus);
    connection.connect(kService, kPath, kService, QStringLiteral("ActiveChanged"), this, SLOT(onActiveChanged(bool)));
    // Whether the service is there at all shows in the answer; nothing waits for it.
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetActive"));
    auto *watcher = new QDBusPendingCallWatcher(connection.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, absent](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<bool> reply = *finished;
        if (reply.isError())
            absent();
        else
            onActiveChanged(reply.value());
    });
    return true;
}

void ScreenSaverWatcher::onActiveChanged(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    Q_EMIT activeChanged(active);
}
