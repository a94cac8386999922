#include "AwayNotifier.h"

#include "AwayQuestionWindow.h"
#include "tracking/Settings.h"
#include "tracking/TimeTracker.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcAwayNotifier, "kestrum.away.notifications")

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAnswerPrefix = QStringLiteral("answer:");
const QString kKeepAsIdle = QStringLiteral("keep-idle");
const QString kOpen = QStringLiteral("default");

// Why the service closed a notification, as org.freedesktop.Notifications numbers the reasons.
constexpr uint kExpired = 1;
constexpr uint kDismissed = 2;

} // namespace

AwayNotifier::AwayNotifier(TimeTracker &tracker, Settings &settings, AwayQuestionWindow &window, const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_tracker(tracker)
    , m_settings(settings)
    , m_window(window)
    , m_bus(bus)
{
}

void AwayNotifier::start()
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint, uint)));
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QStringList> reply = *finished;
        if (reply.isError())
            qCInfo(lcAwayNotifier).noquote() << "No notifications to ask with; Kestrum asks in a window of its own:" << reply.error().message();
        m_actions = !reply.isError() && reply.value().contains(QStringLiteral("actions"));
        Q_EMIT started();
        refresh();
    });
}

void AwayNotifier::refresh()
{
    if (m_settling)
        return;
    if (m_tracker.unansweredAway().isEmpty()) {
        close();
        m_inWindow = false;
        m_window.refresh();
        return;
    }
    if (!usesNotifications()) {
        close();
        m_window.refresh();
        return;
    }
    m_window.hide();
    notify();
}

void AwayNotifier::notify()
{
    QStringList actions{kOpen, tr("Answer…")};
    for (const QString &label : m_settings.textListValue(SettingsKey::RecentAwayAnswers).mid(0, kAnswerButtons))
        actions << kAnswerPrefix + label << label;
    actions << kKeepAsIdle << tr("Keep as Idle");
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("kestrum")},
                            {QStringLiteral("category"), QStringLiteral("presence")},
                            {QStringLiteral("resident"), true}};
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // It never expires by itself: the question stays until it is answered.
    call << QStringLiteral("Kestrum") << m_id << QStringLiteral("kestrum") << tr("What were you doing?")
         << AwayQuestionWindow::summaryText(m_tracker.unansweredAway()) << actions << hints << 0;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<uint> reply = *finished;
        if (reply.isError()) {
            qCWarning(lcAwayNotifier).noquote() << "The question could not be shown as a notification; a window asks instead:"
                                                << reply.error().message();
            m_inWindow = true;
            m_window.refresh();
            return;
        }
        m_id = reply.value();
        // Answered in the window meanwhile: it is not wanted any more.
        if (m_tracker.unansweredAway().isEmpty() || m_inWindow)
            close();
    });
}

void AwayNotifier::close()
{
    if (!m_id)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << m_id;
    m_id = 0;
    m_bus.asyncCall(call, 5000);
}

void AwayNotifier::settleAll(const QString &label)
{
    m_settling = true;
    const QList<AwayStretch> waiting = m_tracker.unansweredAway();
    for (const AwayStretch &stretch : waiting) {
        if (label.isEmpty())
            m_tracker.keepAwayAsIdle(stretch.id);
        else
            m_tracker.answerAway(stretch.id, {label, {}});
    }
    if (!label.isEmpty())
        AwayQuestionWindow::rememberAnswer(m_settings, label);
    m_settling = false;
    refresh();
}

void AwayNotifier::actionInvoked(uint id, const QString &key)
{
    if (id == 0 || id != m_id)
        return;
    if (key == kKeepAsIdle) {
        settleAll(QString());
    } else if (key.startsWith(kAnswerPrefix)) {
        settleAll(key.mid(kAnswerPrefix.size()));
    } else if (key == kOpen) {
        // The user asked for it: the window may take the focus.
        m_inWindow = true;
        close();
        m_window.refresh();
        m_window.raise();
        m_window.activateWindow();
    }
}

void AwayNotifier::notificationClosed(uint id, uint reason)
{
    if (id == 0 || id != m_id)
        return;
    m_id = 0;
    if (reason == kDismissed) {
        settleAll(QString());
    } else if (reason == kExpired) {
        m_inWindow = true;
        m_window.refresh();
    }
}
