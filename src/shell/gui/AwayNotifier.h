#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

class AwayQuestionWindow;
class Settings;
class TimeTracker;

// "What were you doing?" as one of the desktop's notifications, where the notification service
// offers actions: the latest answers and "Keep as Idle" as its buttons, a click on it opening the
// small window to type an answer or choose a category. Dismissing it keeps the time as Idle; a
// notification that expires unanswered leaves the question to the small window. Without such a
// service the small window asks by itself.
class AwayNotifier : public QObject
{
    Q_OBJECT

public:
    static constexpr int kAnswerButtons = 3;

    AwayNotifier(TimeTracker &tracker, Settings &settings, AwayQuestionWindow &window, const QDBusConnection &bus, QObject *parent = nullptr);

    // Asks the service what it offers; until it answers, the small window asks.
    void start();
    bool usesNotifications() const { return m_actions && !m_inWindow; }
    // The questions changed: the notification (or the window) shows those waiting now.
    void refresh();
    uint notificationId() const { return m_id; }

Q_SIGNALS:
    // The service answered what it offers.
    void started();

private Q_SLOTS:
    void actionInvoked(uint id, const QString &key);
    void notificationClosed(uint id, uint reason);

private:
    void notify();
    void close();
    // Answers, or keeps as Idle (an empty label), every stretch waiting; then shows what is left.
    void settleAll(const QString &label);

    TimeTracker &m_tracker;
    Settings &m_settings;
    AwayQuestionWindow &m_window;
    QDBusConnection m_bus;
    bool m_actions = false;  // the service shows notifications with actions
    bool m_inWindow = false; // the window asks, until no question is left
    uint m_id = 0;           // the notification shown, or 0
    bool m_settling = false; // answering several at once: one refresh at the end
};
