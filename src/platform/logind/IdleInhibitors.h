#pragma once

#include "tracking/IdleInhibition.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>

class QDBusPendingCallWatcher;

// The idle inhibitors a desktop offers over D-Bus, asked in the background: those held through
// logind ("idle" in ListInhibitors, blocking), the GNOME session's InhibitedActions (the idle
// bit), and KDE's PowerManagement HasInhibit. A service that is not there counts as nothing
// held; one that fails is logged once. Wayland compositors honour inhibitors in their own idle
// notification, so there the idle time itself already stays at zero.
class IdleInhibitors : public QObject, public IdleInhibitionSource
{
    Q_OBJECT

public:
    // An answer older than this is asked again when it is next needed.
    static constexpr std::chrono::milliseconds kFreshFor{5000};
    static constexpr int kCallTimeoutMs = 2000;

    struct Source
    {
        enum class State { NotAsked, Absent, Failed, Free, Inhibited };
        QString name; // "logind", "gnome-session", "kde-power-management"
        State state = State::NotAsked;
        QStringList by = {};
        QString error = {}; // for Failed
    };

    IdleInhibitors(const QDBusConnection &systemBus, const QDBusConnection &sessionBus, QObject *parent = nullptr);
    ~IdleInhibitors() override;

    // What the last answers said; Unknown until the first ones are in. Asks again when they are stale.
    IdleInhibition idleInhibition() override;
    // logind is asked on this bus from the next round (the system bus, once it answers).
    void setSystemBus(const QDBusConnection &bus) { m_systemBus = bus; }
    // Asks every source now, unless a round is under way.
    void refresh();
    const QList<Source> &sources() const { return m_sources; }
    static QString describe(Source::State state);

Q_SIGNALS:
    // Every source of a round has answered.
    void answered();

private:
    enum Index { Logind, GnomeSession, KdePowerManagement };
    void ask(Index index);
    void take(Index index, QDBusPendingCallWatcher *watcher);
    // One source of the round has answered.
    void finishOne();
    IdleInhibition current() const;

    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
    QList<Source> m_sources;
    int m_waiting = 0;        // calls of the round under way
    bool m_answeredOnce = false;
    QElapsedTimer m_answeredAt;
};
