// kestrum-probe: prints what Kestrum sees right now, one JSON object a line, every second and
// on every change: the backend in use, the front application, the active window, idle seconds,
// idle inhibitors, the screen saver.

#include "platform/logind/IdleInhibitors.h"
#include "platform/logind/LogindWiring.h"
#include "platform/DesktopChoice.h"
#include "i18n/Translations.h"
#include "tracking/DocumentName.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>

namespace {

QJsonValue textOrNull(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// The login session as logind sees it; null where logind cannot be asked.
QJsonObject sessionState(const LogindMonitor *logind)
{
    const bool known = logind && logind->isStarted() && !logind->sessionPath().isEmpty();
    return {{QStringLiteral("active"), known ? QJsonValue(logind->isSessionActive()) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("locked"), known ? QJsonValue(logind->isLocked()) : QJsonValue(QJsonValue::Null)}};
}

// Whether idle is inhibited now and by what, and what each source said. Null until the
// sources have answered.
QJsonObject inhibitionState(IdleInhibitors &inhibitors, const DesktopBackend &desktop)
{
    const IdleInhibition now = inhibitors.idleInhibition();
    QJsonObject sources;
    for (const IdleInhibitors::Source &source : inhibitors.sources())
        sources.insert(source.name, IdleInhibitors::describe(source.state));
    // The compositor keeps the idle time itself at zero while an inhibitor is held; it does not say so.
    if (!desktop.idleProtocol().isEmpty())
        sources.insert(QStringLiteral("compositor"),
                       QStringLiteral("honoured by %1").arg(desktop.idleProtocol())); // not translated: a value of the JSON output
    return {{QStringLiteral("inhibited"), now.state == IdleInhibition::State::Unknown
                                              ? QJsonValue(QJsonValue::Null)
                                              : QJsonValue(now.state == IdleInhibition::State::Inhibited)},
            {QStringLiteral("by"), QJsonArray::fromStringList(now.by)},
            {QStringLiteral("sources"), sources}};
}

QJsonObject snapshot(DesktopBackend &desktop, const LogindMonitor *logind, IdleInhibitors &inhibitors)
{
    const FrontApplication front = desktop.activeApplication();
    const WindowElement window = desktop.activeWindow();
    const std::optional<QString> title = desktop.windowTitle(window);
    const IdleReading idle = desktop.read();

    QJsonObject line;
    line.insert(QStringLiteral("backend"), desktop.backendName());
    line.insert(QStringLiteral("front"), QJsonObject{{QStringLiteral("name"), textOrNull(front.name)},
                                                     {QStringLiteral("pid"), front.pid}});
    line.insert(QStringLiteral("window"),
                QJsonObject{{QStringLiteral("id"), window.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(qint64(window.id()))},
                            {QStringLiteral("title"), textOrNull(title)},
                            {QStringLiteral("document"), textOrNull(title ? getDocStringNameForName(*title) : std::nullopt)}});
    line.insert(QStringLiteral("idleSeconds"), idle.status == IdleReading::Status::Ok
                                                   ? QJsonValue(qint64(idle.nanoseconds / 1000000000u))
                                                   : QJsonValue(QJsonValue::Null));
    line.insert(QStringLiteral("idleInhibition"), inhibitionState(inhibitors, desktop));
    line.insert(QStringLiteral("screenSaver"), desktop.isScreenSaverActive());
    line.insert(QStringLiteral("session"), sessionState(logind));
    line.insert(QStringLiteral("connected"), desktop.isConnected());
    return line;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    installTranslations(app);
    QCoreApplication::setApplicationName(QStringLiteral("kestrum-probe"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "KestrumProbe",
        "Prints what Kestrum sees on this desktop, one JSON object a line, every second and on every\n"
        "change: the front application, the active window with its title and document name, the\n"
        "seconds since the last input, whether idle is inhibited and by what, whether the screen\n"
        "saver runs, and the login session's state."));
    parser.addHelpOption();
    const QCommandLineOption countOption(QStringLiteral("count"), QCoreApplication::translate("KestrumProbe", "Stop after N lines."),
                                         QCoreApplication::translate("KestrumProbe", "N", "value name of --count in --help"));
    parser.addOption(countOption);
    parser.process(app);

    bool countOk = true;
    const int count = parser.isSet(countOption) ? parser.value(countOption).toInt(&countOk) : -1;
    if (!countOk || (parser.isSet(countOption) && count < 1)) {
        const QString problem = QCoreApplication::translate("KestrumProbe", "--count takes a positive number");
        // not translated: the program's name, then its message
        std::fprintf(stderr, "kestrum-probe: %s\n", qPrintable(problem));
        return 2;
    }
    DesktopChoice choice = chooseDesktop(QDBusConnection::sessionBus());
    std::unique_ptr<DesktopBackend> &desktop = choice.desktop;
    if (!desktop) {
        // not translated: the program's name, then its message
        std::fprintf(stderr, "kestrum-probe: %s\n", qPrintable(choice.limitation));
        return 1;
    }

    // The session's state, where logind is there to ask; the probe's output stays JSON lines only.
    std::unique_ptr<LogindMonitor> logind;
    const QDBusConnection systemBus = QDBusConnection::systemBus();
    if (systemBus.isConnected() && systemBus.interface()
        && systemBus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1"))) {
        logind = std::make_unique<LogindMonitor>();
        connectLogindMonitor(*logind, {.locked = [&desktop](bool locked) {
                                 desktop->setScreenLocked(DesktopBackend::LockSource::LoginSession, locked);
                             }});
        logind->start(systemBus);
    }
    IdleInhibitors inhibitors(systemBus, QDBusConnection::sessionBus());

    int printed = 0;
    QByteArray last;
    const auto print = [&](bool onlyIfChanged) {
        const QByteArray line = QJsonDocument(snapshot(*desktop, logind.get(), inhibitors)).toJson(QJsonDocument::Compact);
        if (onlyIfChanged && line == last)
            return;
        last = line;
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        if (count > 0 && ++printed >= count)
            QCoreApplication::quit();
    };
    QObject::connect(desktop.get(), &DesktopBackend::changed, &app, [&] { print(true); });
    QObject::connect(desktop.get(), &DesktopBackend::connectionLost, &app, [&] { print(false); });
    QObject::connect(&inhibitors, &IdleInhibitors::answered, &app, [&] { print(true); });
    if (logind) {
        // The session's state is known once logind has answered the start.
        QObject::connect(logind.get(), &LogindMonitor::startFinished, &app, [&] { print(true); });
        QObject::connect(logind.get(), &LogindMonitor::sessionActiveChanged, &app, [&] { print(true); });
    }
    QTimer everySecond;
    QObject::connect(&everySecond, &QTimer::timeout, &app, [&] { print(false); });
    everySecond.start(1000);
    QTimer::singleShot(0, &app, [&] { print(false); });
    return QCoreApplication::exec();
}
