#include "IdleInhibitors.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcIdleInhibitors, "kestrum.idle.inhibitors")

namespace {

// GNOME's session manager: the flag of InhibitedActions that keeps the session from going idle.
constexpr uint kGnomeInhibitIdle = 8;

bool isAbsence(const QString &errorName)
{
    static const QStringList absent = {
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
        QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
    };
    return absent.contains(errorName);
}

// logind's ListInhibitors: a(ssssuu) of what, who, why, mode, uid, pid. The blocking "idle" ones.
QStringList idleInhibitorsOf(const QDBusMessage &reply, bool *ok)
{
    *ok = false;
    if (reply.arguments().size() != 1 || !reply.arguments().first().canConvert<QDBusArgument>())
        return {};
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    if (list.currentSignature() != QLatin1String("a(ssssuu)"))
        return {};
    QStringList by;
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        if (mode == QLatin1String("block") && what.split(QLatin1Char(':')).contains(QLatin1String("idle")))
            by.append(why.isEmpty() ? who : QStringLiteral("%1 (%2)").arg(who, why));
    }
    list.endArray();
    *ok = true;
    return by;
}

} // namespace

IdleInhibitors::IdleInhibitors(const QDBusConnection &systemBus, const QDBusConnection &sessionBus, QObject *parent)
    : QObject(parent)
    , m_systemBus(systemBus)
    , m_sessionBus(sessionBus)
    , m_sources({{QStringLiteral("logind")}, {QStringLiteral("gnome-session")}, {QStringLiteral("kde-power-management")}})
{
}

IdleInhibitors::~IdleInhibitors() = default;

QString IdleInhibitors::describe(Source::State state)
{
    // Words kestrum-probe prints in its JSON, and tests read: they stay English.
    switch (state) {
    case Source::State::NotAsked:
        return QStringLiteral("not asked"); // not translated: a JSON value of kestrum-probe
    case Source::State::Absent:
        return QStringLiteral("absent");
    case Source::State::Failed:
        return QStringLiteral("failed");
    case Source::State::Free:
        return QStringLiteral("free");
    case Source::State::Inhibited:
        return QStringLiteral("inhibited");
    }
    return {};
}

IdleInhibition IdleInhibitors::idleInhibition()
{
    if (m_waiting == 0 && (!m_answeredOnce || m_answeredAt.elapsed() >= kFreshFor.count()))
        refresh();
    return current();
}

IdleInhibition IdleInhibitors::current() const
{
    if (!m_answeredOnce)
        return {IdleInhibition::State::Unknown, {}};
    IdleInhibition inhibition;
    for (const Source &source : m_sources) {
        if (source.state == Source::State::Inhibited) {
            inhibition.state = IdleInhibition::State::Inhibited;
            inhibition.by += source.by;
        }
    }
    return inhibition;
}

void IdleInhibitors::refresh()
{
    if (m_waiting > 0)
        return;
    m_waiting = int(m_sources.size());
    ask(Logind);
    ask(GnomeSession);
    ask(KdePowerManagement);
}

void IdleInhibitors::ask(Index index)
{
    QDBusConnection *bus = index == Logind ? &m_systemBus : &m_sessionBus;
    QDBusMessage call;
    switch (index) {
    case Logind:
        call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                                              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors"));
        break;
    case GnomeSession:
        call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
                                              QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        call << QStringLiteral("org.gnome.SessionManager") << QStringLiteral("InhibitedActions");
        break;
    case KdePowerManagement:
        call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PowerManagement"),
                                              QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                                              QStringLiteral("org.freedesktop.PowerManagement.Inhibit"), QStringLiteral("HasInhibit"));
        break;
    }
    if (!bus->isConnected()) {
        m_sources[index].state = Source::State::Absent;
        // Answered at once, but after the caller has its answer, as a reply would be.
        QMetaObject::invokeMethod(this, &IdleInhibitors::finishOne, Qt::QueuedConnection);
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(bus->asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, index](QDBusPendingCallWatcher *finished) {
        take(index, finished);
    });
}

void IdleInhibitors::take(Index index, QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    Source &source = m_sources[index];
    const Source::State before = source.state;
    const QDBusMessage reply = watcher->reply();
    source.by.clear();
    source.error.clear();
    if (reply.type() == QDBusMessage::ErrorMessage) {
        source.state = isAbsence(reply.errorName()) ? Source::State::Absent : Source::State::Failed;
        source.error = reply.errorMessage();
    } else {
        bool ok = false;
        switch (index) {
        case Logind:
            source.by = idleInhibitorsOf(reply, &ok);
            break;
        case GnomeSession: {
            const QVariant value = reply.arguments().value(0).value<QDBusVariant>().variant();
            ok = value.typeId() == QMetaType::UInt;
            if (ok && (value.toUInt() & kGnomeInhibitIdle))
                source.by = {QStringLiteral("GNOME session")}; // not translated: named in kestrum-probe's JSON
            break;
        }
        case KdePowerManagement: {
            const QVariant value = reply.arguments().value(0);
            ok = value.typeId() == QMetaType::Bool;
            if (ok && value.toBool())
                source.by = {QStringLiteral("KDE power management")}; // not translated: named in kestrum-probe's JSON
            break;
        }
        }
        source.state = !ok ? Source::State::Failed : source.by.isEmpty() ? Source::State::Free : Source::State::Inhibited;
        if (!ok)
            source.error = QStringLiteral("an answer of an unexpected form (%1)").arg(reply.signature()); // not translated: log only
    }
    if (source.state == Source::State::Failed && before != Source::State::Failed)
        qCWarning(lcIdleInhibitors).noquote() << "Idle inhibitors cannot be read from" << source.name << "and are taken as none:" << source.error;
    finishOne();
}

void IdleInhibitors::finishOne()
{
    if (--m_waiting == 0) {
        m_answeredOnce = true;
        m_answeredAt.start();
        Q_EMIT answered();
    }
}
